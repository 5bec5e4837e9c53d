// Dialog scripts: reads a script as a module's res/*.dlg would be read, and checks what the reader
// promises of the templates it keeps and of the errors it reports.

#include "platform/ui/win/dialogtemplate.h"
#include "tools/fuzz/FuzzSupport.h"

#include <algorithm>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> errors;
  const std::vector<DialogTemplate> dialogs = ParseDialogScript(text, &errors);
  const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  for (const std::string& error : errors)
    fuzz::Check(error.rfind("line ", 0) == 0, "an error names its line");
  size_t items = 0;
  for (const DialogTemplate& dialog : dialogs) {
    fuzz::Check(!dialog.name.IsEmpty() || dialog.id != 0, "a dialog is named by a text or an ID");
    items += dialog.items.size();
  }
  // Each dialog takes a line and its end another; each item a line of its own.
  fuzz::Check(dialogs.size() * 2 + items <= lines, "the script holds more than its lines");
  return 0;
}
