#pragma once
// Internal to platform/ui: included only by its own files (a test of the build checks this).
// Inside the window layer: what the standard controls share. A control is a window whose client
// area is a Qt widget. Qt's input to that widget (and to the widgets inside it) becomes window
// messages first, so that the dialog manager, subclassed controls and message maps see it; what
// reaches the control's default processing is handed back to the widget as the event it was.

#include "platform/core/CString.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/win/winctrl.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QLineEdit;

namespace qvui {

// Joins the widget (and the widgets it holds now) to the control `hwnd`: input becomes messages,
// Qt's focus becomes the window's focus, and Qt's own Tab handling is left out.
void AdoptControlWidget(HWND hwnd, QWidget* widget);

// The default processing of every control: input messages go back to the widget, WM_SETFONT,
// WM_ENABLE and the focus messages act on it, WM_GETDLGCODE answers `dialogCode`; the rest goes
// to DefWindowProcW.
LRESULT DefControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT dialogCode = 0);

// The control's widget as its own type, or null.
template <class T> T* ControlOf(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  return rec ? dynamic_cast<T*>(rec->clientWidget.data()) : nullptr;
}

// WM_COMMAND (id, code) from the control to its parent.
void NotifyParent(HWND hwnd, int code);

// While one lives, the control's Qt signals send no notifications: the program itself is
// changing the control, and Win32 controls notify only the user's changes.
class QuietChange {
public:
  explicit QuietChange(HWND hwnd);
  ~QuietChange();
  QuietChange(const QuietChange&) = delete;
  QuietChange& operator=(const QuietChange&) = delete;
  static bool IsQuiet(HWND hwnd);

private:
  HWND m_hwnd {};
  bool m_was {};
};

// The control ID of a combo box's edit field.
constexpr int kComboEditId = 1001;
// Makes the edit field of a combo box: an EDIT child window over the box's own line edit.
HWND CreateComboEdit(HWND combo, QLineEdit* line);

// A control class of the layer: its procedure, its widget, the system colour of its background
// (-1: none), its cursor and class styles.
struct ControlClass {
  LPCWSTR name {};
  WNDPROC proc {};
  QWidget* (*make)(HWND hwnd, QWidget* host) {};
  int background {-1};
  LPCWSTR cursor {IDC_ARROW};
  UINT style {CS_DBLCLKS | CS_PARENTDC};
};
void RegisterControl(const ControlClass& control);

// Registers the layer's standard control classes (once), each kind in its own file.
void RegisterControlClasses();
void RegisterButtonClass();
void RegisterStaticClass();
void RegisterEditClass();
void RegisterComboBoxClass();
void RegisterListBoxClass();
void RegisterScrollBarClass();
void RegisterProgressClass();
void RegisterUpDownClass();
void RegisterTabControlClass();
void RegisterTreeViewClass();
void RegisterHeaderClass();
void RegisterListViewClass();
void RegisterHtmlPaneClass();
void RegisterStatusBarClass();
void RegisterToolBarClass();
// The size a tool bar's buttons would take with rows breaking after the buttons whose entry in
// `wraps` (one per button) is set, rather than after those with TBSTATE_WRAP; empty when the
// entries do not match the buttons.
QSize ToolBarLayout(HWND toolbar, const std::vector<bool>& wraps);
// The label of a button.
QString ToolBarText(HWND toolbar, int index);
// The height a header control wants, and its scroll offset (a list view scrolled sideways).
int HeaderHeight(HWND header);
void SetHeaderOffset(HWND header, int offset);

QString ToQt(LPCWSTR text);
QString ToQt(const CString& text);
CString FromQt(const QString& text);
// A button's text for Qt, which reads '&' prefixes as Win32 does; with noPrefix every '&' shows.
QString MnemonicText(LPCWSTR text, bool noPrefix);
// A label's text with the prefixes taken out ("&&" shows one '&'), unless noPrefix.
QString PlainText(LPCWSTR text, bool noPrefix);
// The first item from after + 1 on (wrapping around) whose text starts with (or, when exact, equals)
// the text, without regard to case; -1 when none does.
int FindItemText(int count, int after, const QString& text, bool exact, const std::function<QString(int)>& itemText);
// Where an item goes in a list sorted without regard to case: after the items equal to it.
int SortedPosition(int count, const QString& text, const std::function<QString(int)>& itemText);
// Copies into a caller's buffer of `count` units as WM_GETTEXT does; answers the length copied.
int CopyOut(const QString& text, LPWSTR out, int count);

}  // namespace qvui
