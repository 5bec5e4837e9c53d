#pragma once
// Internal to platform/ui: included only by its own files (a test of the build checks this).
// Inside the window layer: the printers the spooler functions and the print dialogs show, and the
// settings of a printer job in both forms (DEVMODEW and Qt's QPrinter).

#include "platform/ui/shell/winspool.h"

#include <QString>

#include <optional>
#include <vector>

class QPrinter;

namespace qvui {

struct PrinterEntry {
  QString name;
  QString driver;   // make and model
  QString port;     // where the printer is (its location or device address)
  QString comment;
  bool isDefault {};
};

// The desktop's printers (through Qt's print support), or the list a test put in their place.
std::vector<PrinterEntry> Printers();
std::optional<PrinterEntry> FindPrinter(const QString& name);
QString DefaultPrinterName();
// Replaces the desktop's printers (for tests); nullopt gives them back.
void SetPrinterList(std::optional<std::vector<PrinterEntry>> printers);

// The settings of a printer: its defaults, changed by `input` where its dmFields say so.
DEVMODEW SettingsOf(const QString& printer, const DEVMODEW* input);
// Puts settings onto a QPrinter (orientation, paper, copies, resolution, colour, duplex).
void ApplySettings(QPrinter& printer, const DEVMODEW& settings);
// Reads them back from a QPrinter a dialog has changed.
void ReadSettings(const QPrinter& printer, DEVMODEW& settings);

}  // namespace qvui
