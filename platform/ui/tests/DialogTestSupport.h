#pragma once
// Pieces the dialog and control tests share: the IDs of the test dialogs (res/testdialogs.dlg),
// keys sent as the desktop sends them, and a modal run driven from inside its loop.

#include "platform/ui/afx/CDialog.h"

#include <Qt>
#include <QString>

#include <functional>

enum : int {
  IDC_LABEL = 1000,
  IDC_NAME,
  IDC_PASSWORD,
  IDC_COUNT,
  IDC_KIND,
  IDC_LIST,
  IDC_CHECK,
  IDC_SMALL,
  IDC_MEDIUM,
  IDC_LARGE,
  IDC_OPTIONS,
  IDC_PROGRESS,
  IDC_SCROLL,
  IDC_NOTES,
  IDC_APPLY,
};

// Presses and releases a key in the window that has the focus, with the text the key types.
void PressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = QString());
// Types the text into the focused window, one key per character.
void TypeText(const QString& text);
// Clicks the control's widget with the left button, near its left edge.
void ClickControl(HWND control);
// The dialog on the screen (for the layer's own dialogs, which run loops of their own).
HWND ShownDialog();
// Runs the dialog modally; `script` runs inside its loop once the dialog shows. A dialog still
// open after the time is up is ended with -99, so a failing test does not hang.
INT_PTR RunModal(CDialog& dialog, const std::function<void(CDialog&)>& script, int timeoutMs = 5000);
// The same for a dialog that `start` shows modally (through the dialog's own entry, say), answering
// what `start` answers. `start` must show the dialog.
INT_PTR RunModal(CDialog& dialog, const std::function<INT_PTR()>& start, const std::function<void(CDialog&)>& script,
                 int timeoutMs = 5000);
