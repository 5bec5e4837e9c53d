// Printers and their settings: enumeration, defaults, DEVMODEW and its QPrinter form, and the
// spooler's functions.

#include "platform/ui/internal/PrinterList.h"

#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/WindowHost.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstring>
#include <mutex>

namespace qvui {

namespace {

std::mutex& ListLock() {
  static std::mutex lock;
  return lock;
}

std::optional<std::vector<PrinterEntry>>& Replacement() {
  static std::optional<std::vector<PrinterEntry>> list;
  return list;
}

struct PaperCode {
  short code;
  QPageSize::PageSizeId id;
};
const PaperCode kPapers[] = {
    {DMPAPER_LETTER, QPageSize::Letter}, {DMPAPER_LEGAL, QPageSize::Legal}, {DMPAPER_A3, QPageSize::A3},
    {DMPAPER_A4, QPageSize::A4},         {DMPAPER_A5, QPageSize::A5},
};

void CopyName(WCHAR* out, size_t room, const QString& text) {
  size_t n = std::min(static_cast<size_t>(text.size()), room - 1);
  std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, out);
  out[n] = 0;
}

struct PrinterHandle {
  QString name;
};

}  // namespace

std::vector<PrinterEntry> Printers() {
  {
    std::lock_guard<std::mutex> guard(ListLock());
    if (Replacement()) return *Replacement();
  }
  std::vector<PrinterEntry> list;
  QString def = QPrinterInfo::defaultPrinterName();
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
    list.push_back({info.printerName(), info.makeAndModel(), info.location(), info.description(),
                    info.printerName() == def});
  return list;
}

std::optional<PrinterEntry> FindPrinter(const QString& name) {
  for (PrinterEntry& p : Printers())
    if (p.name == name) return p;
  return std::nullopt;
}

QString DefaultPrinterName() {
  for (const PrinterEntry& p : Printers())
    if (p.isDefault) return p.name;
  return QString();
}

void SetPrinterList(std::optional<std::vector<PrinterEntry>> printers) {
  std::lock_guard<std::mutex> guard(ListLock());
  Replacement() = std::move(printers);
}

DEVMODEW SettingsOf(const QString& printer, const DEVMODEW* input) {
  DEVMODEW dm {};
  CopyName(dm.dmDeviceName, CCHDEVICENAME, printer);
  dm.dmSpecVersion = 0x0401;
  dm.dmSize = sizeof(DEVMODEW);
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION | DM_COLOR | DM_DUPLEX |
                DM_COLLATE;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_A4;
  dm.dmCopies = 1;
  dm.dmPrintQuality = dm.dmYResolution = 300;
  dm.dmColor = DMCOLOR_COLOR;
  dm.dmDuplex = DMDUP_SIMPLEX;
  dm.dmCollate = DMCOLLATE_TRUE;
  dm.dmScale = 100;
  QPrinterInfo info = QPrinterInfo::printerInfo(printer);
  if (!info.isNull()) {
    QPageSize size = info.defaultPageSize();
    for (const PaperCode& p : kPapers)
      if (p.id == size.id()) dm.dmPaperSize = p.code;
  }
  if (input) {
    if (input->dmFields & DM_ORIENTATION) dm.dmOrientation = input->dmOrientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (input->dmFields & DM_PAPERSIZE) dm.dmPaperSize = input->dmPaperSize;
    if (input->dmFields & DM_COPIES) dm.dmCopies = static_cast<short>(std::clamp<int>(input->dmCopies, 1, 999));
    if ((input->dmFields & DM_PRINTQUALITY) && input->dmPrintQuality > 0) dm.dmPrintQuality = input->dmPrintQuality;
    if ((input->dmFields & DM_YRESOLUTION) && input->dmYResolution > 0) dm.dmYResolution = input->dmYResolution;
    if (input->dmFields & DM_COLOR) dm.dmColor = input->dmColor;
    if (input->dmFields & DM_DUPLEX) dm.dmDuplex = input->dmDuplex;
    if (input->dmFields & DM_COLLATE) dm.dmCollate = input->dmCollate;
  }
  return dm;
}

void ApplySettings(QPrinter& printer, const DEVMODEW& dm) {
  QPageSize::PageSizeId paper = QPageSize::A4;
  for (const PaperCode& p : kPapers)
    if (p.code == dm.dmPaperSize) paper = p.id;
  printer.setPageSize(QPageSize(paper));
  printer.setPageOrientation(dm.dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.setCopyCount(std::max<int>(dm.dmCopies, 1));
  printer.setCollateCopies(dm.dmCollate == DMCOLLATE_TRUE);
  // Pages are drawn in memory: keep them at printing resolutions a page image can hold.
  printer.setResolution(std::clamp<int>(dm.dmPrintQuality > 0 ? dm.dmPrintQuality : 300, 72, 600));
  printer.setColorMode(dm.dmColor == DMCOLOR_MONOCHROME ? QPrinter::GrayScale : QPrinter::Color);
  printer.setDuplex(dm.dmDuplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                    : dm.dmDuplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                      : QPrinter::DuplexNone);
}

void ReadSettings(const QPrinter& printer, DEVMODEW& dm) {
  dm.dmOrientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  for (const PaperCode& p : kPapers)
    if (p.id == printer.pageLayout().pageSize().id()) dm.dmPaperSize = p.code;
  dm.dmCopies = static_cast<short>(std::clamp(printer.copyCount(), 1, 999));
  dm.dmColor = printer.colorMode() == QPrinter::GrayScale ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR;
}

}  // namespace qvui

using namespace qvui;

BOOL EnumPrintersW(DWORD flags, LPWSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
  if (!needed || !returned || (level != 1 && level != 2 && level != 4)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<PrinterEntry> printers;
  if (flags & (PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS | PRINTER_ENUM_DEFAULT))
    for (PrinterEntry& p : Printers())
      if (!(flags & PRINTER_ENUM_DEFAULT) || (flags & (PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS)) || p.isDefault)
        printers.push_back(p);
  size_t record = level == 1 ? sizeof(PRINTER_INFO_1W) : level == 2 ? sizeof(PRINTER_INFO_2W) : sizeof(PRINTER_INFO_4W);
  // Records first, then the settings of level 2, then the texts.
  size_t total = record * printers.size();
  size_t settingsAt = total;
  if (level == 2) total += sizeof(DEVMODEW) * printers.size();
  auto textBytes = [](const QString& s) { return (static_cast<size_t>(s.size()) + 1) * sizeof(WCHAR); };
  for (const PrinterEntry& p : printers)
    total += textBytes(p.name) + textBytes(p.driver) + textBytes(p.port) + textBytes(p.comment);
  *needed = static_cast<DWORD>(total);
  *returned = 0;
  if (!buffer || size < total) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memset(buffer, 0, total);
  size_t textAt = settingsAt + (level == 2 ? sizeof(DEVMODEW) * printers.size() : 0);
  auto put = [&](const QString& s) {
    auto* out = reinterpret_cast<LPWSTR>(buffer + textAt);
    std::copy_n(reinterpret_cast<const char16_t*>(s.utf16()), s.size(), out);
    out[s.size()] = 0;
    textAt += textBytes(s);
    return out;
  };
  for (size_t i = 0; i < printers.size(); ++i) {
    const PrinterEntry& p = printers[i];
    BYTE* at = buffer + record * i;
    DWORD attributes = (p.isDefault ? PRINTER_ATTRIBUTE_DEFAULT : 0) | PRINTER_ATTRIBUTE_LOCAL;
    if (level == 1) {
      auto* info = reinterpret_cast<PRINTER_INFO_1W*>(at);
      info->pName = put(p.name);
      info->pDescription = put(p.driver);
      info->pComment = put(p.comment);
      put(p.port);
    } else if (level == 2) {
      auto* info = reinterpret_cast<PRINTER_INFO_2W*>(at);
      auto* dm = reinterpret_cast<DEVMODEW*>(buffer + settingsAt + sizeof(DEVMODEW) * i);
      *dm = SettingsOf(p.name, nullptr);
      info->pPrinterName = put(p.name);
      info->pDriverName = put(p.driver);
      info->pPortName = put(p.port);
      info->pComment = put(p.comment);
      info->pDevMode = dm;
      info->Attributes = attributes;
    } else {
      auto* info = reinterpret_cast<PRINTER_INFO_4W*>(at);
      info->pPrinterName = put(p.name);
      info->Attributes = attributes;
      put(p.driver);
      put(p.port);
      put(p.comment);
    }
  }
  *returned = static_cast<DWORD>(printers.size());
  return TRUE;
}

BOOL GetDefaultPrinterW(LPWSTR buffer, LPDWORD size) {
  if (!size) return FALSE;
  QString name = DefaultPrinterName();
  if (name.isEmpty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  DWORD room = *size;
  *size = static_cast<DWORD>(name.size() + 1);
  if (!buffer || room < *size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  CopyOut(name, buffer, static_cast<int>(room));
  return TRUE;
}

BOOL OpenPrinterW(LPWSTR name, HANDLE* printer, PRINTER_DEFAULTSW*) {
  if (!printer) return FALSE;
  *printer = nullptr;
  QString wanted = name ? ToQt(name) : DefaultPrinterName();
  if (wanted != ToQt(PDF_PRINTER_NAME) && !FindPrinter(wanted)) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
  }
  *printer = reinterpret_cast<HANDLE>(new PrinterHandle {wanted});
  return TRUE;
}

BOOL ClosePrinter(HANDLE printer) {
  if (!printer) return FALSE;
  delete reinterpret_cast<PrinterHandle*>(printer);
  return TRUE;
}

LONG DocumentPropertiesW(HWND owner, HANDLE printer, LPWSTR deviceName, PDEVMODEW output, PDEVMODEW input, DWORD mode) {
  QString name = deviceName ? ToQt(deviceName) : printer ? reinterpret_cast<PrinterHandle*>(printer)->name : QString();
  if (name.isEmpty()) return -1;
  if (mode == 0) return sizeof(DEVMODEW);
  DEVMODEW settings = SettingsOf(name, (mode & DM_IN_BUFFER) ? input : nullptr);
  if (mode & DM_IN_PROMPT) {
    QPrinter qprinter;
    if (name != ToQt(PDF_PRINTER_NAME)) qprinter.setPrinterName(name);
    ApplySettings(qprinter, settings);
    WindowRecord* rec = owner ? Find(owner) : nullptr;
    QPageSetupDialog dialog(&qprinter, rec ? rec->host.data() : nullptr);
    if (dialog.exec() != QDialog::Accepted) return IDCANCEL;
    ReadSettings(qprinter, settings);
  }
  if ((mode & DM_OUT_BUFFER) && output) *output = settings;
  return IDOK;
}
