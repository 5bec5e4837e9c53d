#pragma once
// Internal to platform/ui: included only by its own files (a test of the build checks this).
// Inside the window layer: making dialogs from templates and running their modal loops, shared by
// the dialog functions and CDialog.

#include "platform/ui/win/dialogtemplate.h"
#include "platform/ui/win/winctrl.h"

class CWnd;

namespace qvui {

// Where a dialog that lives inside another window goes (property pages, form views, the panels of
// file dialogs): a child with these styles added, this ID, at this rectangle (the template's
// place and size when null).
struct ChildPlacement {
  DWORD style {};
  UINT id {};
  const RECT* rect {};
};

// Makes the dialog window (attached to `object` when given, before its first message), its items
// in template order with the dialog's font, and sends WM_INITDIALOG. `param` goes to WM_CREATE (as
// the creation parameter) and to WM_INITDIALOG. The window is shown only when the template says
// WS_VISIBLE. Null when the window or an item cannot be made.
HWND CreateDialogWindow(const DialogTemplate& dialogTemplate, HINSTANCE instance, HWND parent, DLGPROC proc,
                        LPARAM param, CWnd* object, const ChildPlacement* child = nullptr);

// What a modal loop offers each message to first; TRUE eats it.
using DialogFilter = BOOL (*)(HWND dialog, MSG* msg);
// Shows the dialog and runs its loop until EndDialog (at once when it ended already); answers the
// code EndDialog was given. The dialog is not destroyed.
INT_PTR RunModalLoop(HWND dialog, DialogFilter filter);

// The owner a modal dialog disables: the top-level window of `parent`, or of the main window.
HWND ModalOwner(HWND parent);

}  // namespace qvui
