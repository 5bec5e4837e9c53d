#pragma once
// Dialog templates: what a dialog and its items are made of, read from the dialog scripts of a
// module's res/ folder. A module's scripts are built into it (qv_add_dialog_templates in CMake)
// and read the first time one of its templates is asked for.
//
// A script holds dialogs, one after the other; '#' starts a comment line, words are separated by
// blanks, texts are in double quotes ("" is a quote inside one; \n and \t are a new line and a
// tab), flags are joined with '|' and may be numbers. Places and sizes are in dialog units.
//
//   define IDC_NAME 1001                   a name for an item ID, for the dialogs after it
//   dialog IDD_LOGON 0 0 186 95            by name; a number instead names the dialog by ID
//     style WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
//     exstyle WS_EX_TOOLWINDOW
//     caption "Log on"
//     font 8 "MS Shell Dlg"
//     item Static IDC_STATIC "&Name:" 7 9 40 8
//     item Edit IDC_NAME "" 50 7 129 14 WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL
//     item Button IDOK "OK" 75 74 50 14 WS_TABSTOP | BS_DEFPUSHBUTTON
//     item Button 1005 "Hidden" 0 0 10 10 NOT WS_VISIBLE
//     item Button 1006 "Edge" 0 0 10 10 WS_TABSTOP exstyle WS_EX_CLIENTEDGE
//   end
//
// Items are child windows, visible unless "NOT WS_VISIBLE"; the item's class is a window class
// name (Button, Static, Edit, ComboBox, ListBox, ScrollBar, msctls_progress32 or one registered by
// the program), in double quotes when it has blanks. Item IDs are numbers, IDOK to IDNO, IDHELP, IDC_STATIC or names defined before.

#include "platform/core/CString.h"
#include "platform/core/wintypes.h"

#include <string>
#include <string_view>
#include <vector>

struct DialogItemTemplate {
  CString className;
  int id {};
  CString text;
  DWORD style {};
  DWORD exStyle {};
  short x {}, y {}, cx {}, cy {};
};

struct DialogTemplate {
  CString name;  // empty for a dialog named by ID
  WORD id {};
  DWORD style {};
  DWORD exStyle {};
  short x {}, y {}, cx {}, cy {};
  CString caption;
  WORD pointSize {};  // 0: no font given (the system's dialog font)
  CString faceName;
  std::vector<DialogItemTemplate> items;
};

// Reads a script. Dialogs with errors are left out; each error is added to `errors` (when given)
// as "line N: what".
std::vector<DialogTemplate> ParseDialogScript(std::string_view text, std::vector<std::string>* errors = nullptr);

// Adds a script to a module's templates (the code qv_add_dialog_templates generates calls this
// when the module loads). `text` must stay valid as long as the module.
void RegisterDialogScript(HINSTANCE module, const char* scriptName, const char* text);

// A template by name (compared without case) or MAKEINTRESOURCEW(id). With a module, only that
// module's templates are searched; with none, the resource module, the program and the modules of
// the chain (CDynLinkLibrary), in that order, then any other module that has templates.
const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCWSTR name);
// The module whose template FindDialogTemplate finds, or null.
HINSTANCE FindDialogTemplateModule(LPCWSTR name);
