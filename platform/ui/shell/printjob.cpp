// Printer device contexts: the WINSPOOL driver of the drawing layer. Each page is drawn into an
// image of the printable area at the printer's resolution and handed to Qt's printer when it
// ends; a page in black and white only goes as a 1-bit image, one in grey as 8-bit grey.

#include "platform/ui/internal/PrinterList.h"

#include "platform/gdi/CDCSurface.h"
#include "platform/ui/internal/ControlWidget.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>

#include <memory>

namespace qvui {

namespace {

class PrinterSurface : public CDCSurface {
public:
  PrinterSurface(const QString& name, const DEVMODEW& settings) : m_pdfOnly(name == ToQt(PDF_PRINTER_NAME)) {
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
    if (!output.isEmpty()) {
      m_printer.setOutputFormat(QPrinter::PdfFormat);
      m_printer.setOutputFileName(output);
      m_output = output;
    }
    if (info && info->lpszDocName) m_printer.setDocName(ToQt(info->lpszDocName));
    if (!m_painter.begin(&m_printer)) return SP_ERROR;
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
    if (!m_image.isNull()) m_painter.drawImage(QRect(QPoint(0, 0), m_page.size()), Compact(m_image));
    m_image = QImage();
    return 1;
  }

  int EndDoc() override {
    if (!m_inDoc) return SP_ERROR;
    if (m_inPage) EndPage();
    m_inDoc = false;
    return m_painter.end() ? 1 : SP_ERROR;
  }

  int AbortDoc() override {
    if (!m_inDoc) return SP_ERROR;
    m_inDoc = m_inPage = false;
    m_printer.abort();
    m_painter.end();
    if (!m_output.isEmpty()) QFile::remove(m_output);
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
