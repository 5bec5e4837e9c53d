// Printer device contexts: the WINSPOOL driver of the drawing layer. Each page is drawn into an
// image of the printable area at the printer's resolution and handed to Qt's printer when it
// ends; a page in black and white only goes as a 1-bit image, one in grey as 8-bit grey.
//
// A job for a printer is written to a private spool file (PDF) first and handed to the print
// server only when the document ends, so that an aborted job never reaches the printer in part
// and a job the server refuses is reported by EndDoc.

#include "platform/ui/internal/PrinterList.h"

#include "platform/gdi/CDCSurface.h"
#include "platform/ui/internal/ControlWidget.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <memory>

namespace qvui {

namespace {

class PrinterSurface : public CDCSurface {
public:
  PrinterSurface(const QString& name, const DEVMODEW& settings)
      : m_name(name), m_settings(settings), m_pdfOnly(name == ToQt(PDF_PRINTER_NAME)) {
    if (!m_pdfOnly) m_printer.setPrinterName(name);
    ApplySettings(m_printer, settings);
    m_printer.setFullPage(false);
    m_dpi = m_printer.resolution();
    m_page = m_printer.pageLayout().paintRectPixels(m_dpi);
    m_paper = m_printer.pageLayout().fullRectPixels(m_dpi);
  }

  QImage* BeginAccess() override {
    if (m_image.isNull()) {
      m_image = QImage(m_page.size(), QImage::Format_RGB32);
      m_image.fill(Qt::white);
    }
    return &m_image;
  }
  QSize GetSize() const override { return m_page.size(); }

  int GetDeviceCaps(int index) const override {
    switch (index) {
    case TECHNOLOGY: return DT_RASPRINTER;
    case HORZRES: return m_page.width();
    case VERTRES: return m_page.height();
    case HORZSIZE: return static_cast<int>(m_page.width() * 254L / (m_dpi * 10L));
    case VERTSIZE: return static_cast<int>(m_page.height() * 254L / (m_dpi * 10L));
    case LOGPIXELSX:
    case LOGPIXELSY: return m_dpi;
    case PHYSICALWIDTH: return m_paper.width();
    case PHYSICALHEIGHT: return m_paper.height();
    case PHYSICALOFFSETX: return m_page.left() - m_paper.left();
    case PHYSICALOFFSETY: return m_page.top() - m_paper.top();
    case BITSPIXEL: return 24;
    case ASPECTX:
    case ASPECTY: return m_dpi;
    case ASPECTXY: return static_cast<int>(m_dpi * 1.414);
    default: return CDCSurface::GetDeviceCaps(index);
    }
  }

  int StartDoc(const DOCINFOW* info) override {
    if (m_inDoc) return SP_ERROR;
    QString output = info && info->lpszOutput ? ToQt(info->lpszOutput) : QString();
    if (output.isEmpty() && m_pdfOnly) return SP_ERROR;
    if (output.isEmpty()) {
      // The job goes to the printer: spooled privately until it is whole.
      m_spool = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/qvprint-XXXXXX.pdf"));
      if (!m_spool->open()) {
        m_spool.reset();
        return SP_ERROR;
      }
      m_spool->close();
      output = m_spool->fileName();
      m_printer.setCopyCount(1);  // the server makes the copies
    }
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setOutputFileName(output);
    m_output = output;
    m_title = info && info->lpszDocName ? ToQt(info->lpszDocName) : QString();
    m_printer.setDocName(m_title);
    // Pages are placed on the whole paper where the printer's printable area lies.
    m_printer.setFullPage(true);
    if (!m_painter.begin(&m_printer)) {
      m_spool.reset();
      return SP_ERROR;
    }
    m_inDoc = true;
    m_pages = 0;
    static int jobs = 0;
    return ++jobs;
  }

  int StartPage() override {
    if (!m_inDoc || m_inPage) return SP_ERROR;
    if (m_pages > 0 && !m_printer.newPage()) return SP_ERROR;
    m_inPage = true;
    m_image = QImage();
    return 1;
  }

  int EndPage() override {
    if (!m_inDoc || !m_inPage) return SP_ERROR;
    m_inPage = false;
    ++m_pages;
    if (!m_image.isNull()) m_painter.drawImage(QRect(m_page.topLeft() - m_paper.topLeft(), m_page.size()), Compact(m_image));
    m_image = QImage();
    return 1;
  }

  int EndDoc() override {
    if (!m_inDoc) return SP_ERROR;
    if (m_inPage) EndPage();
    m_inDoc = false;
    if (!m_painter.end()) {
      m_spool.reset();
      return SP_ERROR;
    }
    return m_spool ? Submit() : 1;
  }

  int AbortDoc() override {
    if (!m_inDoc) return SP_ERROR;
    m_inDoc = m_inPage = false;
    m_painter.end();
    if (m_spool) m_spool.reset();
    else QFile::remove(m_output);
    return 1;
  }

  ~PrinterSurface() override {
    if (m_inDoc) AbortDoc();
  }

private:
  // The page in the fewest bits that keep it: black and white pages stay sharp that way.
  static QImage Compact(const QImage& page) {
    bool grey = true, mono = true;
    for (int y = 0; y < page.height() && grey; ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
      for (int x = 0; x < page.width(); ++x) {
        QRgb p = line[x];
        int r = qRed(p), g = qGreen(p), b = qBlue(p);
        if (r != g || g != b) {
          grey = false;
          break;
        }
        if (r != 0 && r != 255) mono = false;
      }
    }
    if (mono && grey) return page.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    if (grey) return page.convertToFormat(QImage::Format_Grayscale8);
    return page;
  }

  // Hands the spooled job to the print server with the settings it must apply; 1 when the server
  // took it.
  int Submit() {
    std::vector<std::pair<QByteArray, QByteArray>> options;
    options.emplace_back("media", m_printer.pageLayout().pageSize().key().toUtf8());
    const int copies = std::max<int>(m_settings.dmCopies, 1);
    if (copies > 1) {
      options.emplace_back("copies", QByteArray::number(copies));
      options.emplace_back("Collate", m_settings.dmCollate == DMCOLLATE_TRUE ? "True" : "False");
    }
    options.emplace_back("sides", m_settings.dmDuplex == DMDUP_VERTICAL     ? "two-sided-long-edge"
                                  : m_settings.dmDuplex == DMDUP_HORIZONTAL ? "two-sided-short-edge"
                                                                            : "one-sided");
    if (m_settings.dmOrientation == DMORIENT_LANDSCAPE) options.emplace_back("landscape", "");
    std::vector<cups_option_t> list;
    for (auto& [key, value] : options) list.push_back({key.data(), value.data()});
    // A printer name may carry an instance after "/"; the server knows the queue without it.
    const QByteArray queue = m_name.section(QLatin1Char('/'), 0, 0).toUtf8();
    const int job = cupsPrintFile(queue.constData(), QFile::encodeName(m_spool->fileName()).constData(),
                                  m_title.toUtf8().constData(), static_cast<int>(list.size()), list.data());
    m_spool.reset();
    return job > 0 ? 1 : SP_ERROR;
  }

  QString m_name;
  DEVMODEW m_settings;
  std::unique_ptr<QTemporaryFile> m_spool;
  QString m_title;
  QPrinter m_printer {QPrinter::HighResolution};
  QPainter m_painter;
  QImage m_image;
  QRect m_page;
  QRect m_paper;
  QString m_output;
  int m_dpi {300};
  int m_pages {};
  bool m_pdfOnly {};
  bool m_inDoc {};
  bool m_inPage {};
};

std::shared_ptr<CDCSurface> OpenPrinter(LPCWSTR device, LPCWSTR, const DEVMODEW* settings) {
  QString name = device && *device ? ToQt(device) : DefaultPrinterName();
  if (name.isEmpty() || (name != ToQt(PDF_PRINTER_NAME) && !FindPrinter(name))) return nullptr;
  return std::make_shared<PrinterSurface>(name, SettingsOf(name, settings));
}

// The drawing layer learns of printers when this library loads.
const bool g_registered = [] {
  RegisterDCDriver(u"WINSPOOL", &OpenPrinter);
  return true;
}();

}  // namespace

}  // namespace qvui
