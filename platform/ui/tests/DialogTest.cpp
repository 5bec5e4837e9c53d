// Dialogs from templates: item places in dialog units, tab order and the dialog manager's keys,
// modal runs with their end codes, message boxes inside them, data exchange.

#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/afx/CDialog.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/dialogtemplate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A dialog that counts what reaches OnOK and OnCancel and can lock either, as dialogs of the
// framework lock Enter and Escape while they work.
class CountingDialog : public CDialog {
public:
  explicit CountingDialog(LPCWSTR name, CWnd* parent = nullptr) : CDialog(name, parent) {}
  void OnOK() override {
    ++oks;
    if (!lockOk) CDialog::OnOK();
  }
  void OnCancel() override {
    ++cancels;
    if (!lockCancel) CDialog::OnCancel();
  }
  BOOL OnInitDialog() override {
    ++inits;
    return CDialog::OnInitDialog();
  }
  int oks = 0, cancels = 0, inits = 0;
  bool lockOk = false, lockCancel = false;
};

HWND Item(CDialog& dialog, int id) { return ::GetDlgItem(dialog.GetSafeHwnd(), id); }

CRect ItemRect(CDialog& dialog, int id) {
  CRect r;
  ::GetWindowRect(Item(dialog, id), &r);
  dialog.ScreenToClient(&r);
  return r;
}

int Round(int value, int base, int divisor) { return (value * base + divisor / 2) / divisor; }

TEST(DialogTemplates, ItemsSitAtTheirPlacesInDialogUnits) {
  CountingDialog dialog(u"IDD_ALL_CONTROLS");
  const DialogTemplate* t = FindDialogTemplate(nullptr, u"idd_all_controls");
  ASSERT_NE(t, nullptr) << "template names are found without regard to case";
  RunModal(dialog, [&](CDialog& d) {
    CRect client;
    d.GetClientRect(&client);
    EXPECT_EQ(client.Width(), Round(t->cx, 6, 4));
    EXPECT_EQ(client.Height(), Round(t->cy, 13, 8));
    for (const DialogItemTemplate& item : t->items) {
      if (item.id == IDC_STATIC) continue;
      CRect r = ItemRect(d, item.id);
      SCOPED_TRACE("item " + std::to_string(item.id));
      EXPECT_EQ(r.left, Round(item.x, 6, 4));
      EXPECT_EQ(r.top, Round(item.y, 13, 8));
      EXPECT_EQ(r.Width(), Round(item.x + item.cx, 6, 4) - Round(item.x, 6, 4));
      if (item.id != IDC_KIND) {
        EXPECT_EQ(r.Height(), Round(item.y + item.cy, 13, 8) - Round(item.y, 13, 8));
      }
    }
    // A combo box is as high as its closed box; the template gives the height with the list down.
    EXPECT_LT(ItemRect(d, IDC_KIND).Height(), 30);
    EXPECT_GT(ItemRect(d, IDC_KIND).Height(), 15);
    d.EndDialog(IDOK);
  });
}

TEST(DialogTemplates, TabVisitsTheTabStopsInTemplateOrder) {
  CountingDialog dialog(u"IDD_ALL_CONTROLS");
  RunModal(dialog, [](CDialog& d) {
    // The disabled Apply button, the statics, the group box, the progress bar and the scroll bar
    // are no stops; of a radio group only its first button is one.
    const int order[] = {IDC_NAME, IDC_PASSWORD, IDC_COUNT, IDC_KIND, IDC_CHECK, IDC_SMALL, IDC_NOTES, IDC_LIST,
                         IDOK,     IDCANCEL,     IDC_NAME};
    EXPECT_EQ(::GetFocus(), Item(d, IDC_NAME)) << "the first stop has the focus when the dialog opens";
    for (size_t i = 1; i < std::size(order); ++i) {
      PressKey(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
      EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), order[i]) << "after " << i << " Tab presses";
    }
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDCANCEL) << "Shift+Tab goes back";
    d.EndDialog(IDOK);
  });
}

TEST(DialogTemplates, TabGoesThroughTheEditFieldOfAComboBox) {
  CountingDialog dialog(u"IDD_ALL_CONTROLS");
  RunModal(dialog, [](CDialog& d) {
    HWND kind = Item(d, IDC_KIND);
    CWnd::ModifyStyle(kind, 3, CBS_DROPDOWN, 0);
    ::SetWindowTextW(kind, u"Letter");
    HWND field = ::GetDlgItem(kind, 1001);
    EXPECT_NE(field, nullptr);
    ::SetFocus(Item(d, IDC_COUNT));
    PressKey(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    EXPECT_EQ(::GetFocus(), field) << "the box hands the focus on to its field";
    DWORD start = 1, end = 0;
    ::SendMessageW(kind, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 6u) << "with its text selected";
    PressKey(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDC_CHECK) << "from the field Tab goes on after the box";
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(::GetFocus(), field);
    d.EndDialog(IDOK);
  });
}

TEST(DialogTemplates, ArrowsMoveWithinARadioGroupAndCheckTheButton) {
  CountingDialog dialog(u"IDD_ALL_CONTROLS");
  RunModal(dialog, [](CDialog& d) {
    ::SetFocus(Item(d, IDC_SMALL));
    d.CheckRadioButton(IDC_SMALL, IDC_LARGE, IDC_SMALL);
    PressKey(Qt::Key_Right);
    EXPECT_EQ(::GetFocus(), Item(d, IDC_MEDIUM));
    EXPECT_EQ(d.GetCheckedRadioButton(IDC_SMALL, IDC_LARGE), IDC_MEDIUM);
    PressKey(Qt::Key_Right);
    PressKey(Qt::Key_Right);
    EXPECT_EQ(::GetFocus(), Item(d, IDC_SMALL)) << "the arrows wrap within the group";
    EXPECT_EQ(d.GetCheckedRadioButton(IDC_SMALL, IDC_LARGE), IDC_SMALL);
    EXPECT_EQ(d.IsDlgButtonChecked(IDC_LARGE), 0u);
    d.EndDialog(IDOK);
  });
}

TEST(DialogTemplates, AltAndAMarkedLetterReachTheControl) {
  CountingDialog dialog(u"IDD_ALL_CONTROLS");
  RunModal(dialog, [](CDialog& d) {
    PressKey(Qt::Key_P, Qt::AltModifier, QStringLiteral("p"));
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDC_PASSWORD) << "a label hands the focus to the control after it";
    PressKey(Qt::Key_K, Qt::AltModifier, QStringLiteral("k"));
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDC_KIND);
    PressKey(Qt::Key_R, Qt::AltModifier, QStringLiteral("r"));
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDC_CHECK);
    EXPECT_EQ(d.IsDlgButtonChecked(IDC_CHECK), static_cast<UINT>(BST_CHECKED)) << "a button is pressed";
    PressKey(Qt::Key_A, Qt::AltModifier, QStringLiteral("a"));
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDC_CHECK) << "the disabled Apply button is not reached";
    d.EndDialog(IDOK);
  });
}

struct KeyCase {
  const char* name;
  int focus;    // the control with the focus, 0 for the first stop
  int key;
  bool lockOk;
  bool lockCancel;
  int oks, cancels;
  INT_PTR result;  // -99: still open (ended by the test)
};

class DialogKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DialogKeys, EnterAndEscapeReachOnOkAndOnCancel) {
  const KeyCase& c = GetParam();
  CountingDialog dialog(u"IDD_ALL_CONTROLS");
  dialog.lockOk = c.lockOk;
  dialog.lockCancel = c.lockCancel;
  INT_PTR result = RunModal(dialog, [&](CDialog& d) {
    if (c.focus == IDC_APPLY) ::EnableWindow(Item(d, IDC_APPLY), TRUE);
    if (c.focus) ::SetFocus(Item(d, c.focus));
    PressKey(c.key, Qt::NoModifier, c.key == Qt::Key_Return ? QStringLiteral("\r") : QStringLiteral("\x1b"));
    if (::IsWindowVisible(d.GetSafeHwnd())) ::EndDialog(d.GetSafeHwnd(), -99);
  });
  EXPECT_EQ(dialog.oks, c.oks);
  EXPECT_EQ(dialog.cancels, c.cancels);
  EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogKeys,
    ::testing::Values(KeyCase {"EnterInAnEdit", 0, Qt::Key_Return, false, false, 1, 0, IDOK},
                      KeyCase {"EscapeInAnEdit", 0, Qt::Key_Escape, false, false, 0, 1, IDCANCEL},
                      KeyCase {"EnterOnCancel", IDCANCEL, Qt::Key_Return, false, false, 0, 1, IDCANCEL},
                      KeyCase {"EnterInAComboBox", IDC_KIND, Qt::Key_Return, false, false, 1, 0, IDOK},
                      KeyCase {"EnterLocked", 0, Qt::Key_Return, true, false, 1, 0, -99},
                      KeyCase {"EscapeLocked", 0, Qt::Key_Escape, false, true, 0, 1, -99},
                      KeyCase {"EnterOnAnotherButton", IDC_APPLY, Qt::Key_Return, false, false, 0, 0, -99},
                      KeyCase {"EnterInAMultiLineEditTypesALine", IDC_NOTES, Qt::Key_Return, false, false, 0, 0, -99}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(DialogTemplates, EnterInAMultiLineEditThatWantsReturnStartsALine) {
  CountingDialog dialog(u"IDD_ALL_CONTROLS");
  RunModal(dialog, [](CDialog& d) {
    ::SetFocus(Item(d, IDC_NOTES));
    TypeText(QStringLiteral("ab"));
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    TypeText(QStringLiteral("c"));
    CString text;
    d.GetDlgItemText(IDC_NOTES, text);
    EXPECT_EQ(text, CString(u"ab\r\nc"));
    d.EndDialog(IDOK);
  });
}

// A dialog nested in another as a control parent (a panel of fields made at run time) is part of
// the dialog around it: Enter and Escape in its fields reach the outer dialog's OK and Cancel, Tab
// goes on to the outer controls, and the outer default button keeps its look.
TEST(DialogTemplates, KeysInANestedDialogAreTheOuterDialogs) {
  constexpr int kTitle = 1100, kDraft = 1101;  // the fields of IDD_PAGE_GENERAL
  struct Case {
    const char* name;
    int focus;
    int key;
    int oks, cancels;
    INT_PTR result;
  };
  const Case cases[] = {
      {"Enter in a nested field", kTitle, Qt::Key_Return, 1, 0, IDOK},
      {"Escape in a nested field", kTitle, Qt::Key_Escape, 0, 1, IDCANCEL},
      {"Tab from the last nested field", kDraft, Qt::Key_Tab, 0, 0, -99},
  };
  for (const Case& c : cases) {
    CountingDialog outer(MAKEINTRESOURCEW(200));
    CountingDialog panel(u"IDD_PAGE_GENERAL");
    // The panel's own OK and Cancel do nothing, as a panel's should.
    panel.lockOk = panel.lockCancel = true;
    HWND focusAfter = nullptr, firstField = nullptr;
    bool okLooksDefault = false;
    INT_PTR result = RunModal(outer, [&](CDialog& d) {
      ASSERT_TRUE(panel.Create(u"IDD_PAGE_GENERAL", &d));
      panel.ShowWindow(SW_SHOW);
      ::SetFocus(Item(d, IDCANCEL));
      ::SendMessageW(d.GetSafeHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(panel, c.focus)), TRUE);
      okLooksDefault = (::GetWindowLongW(Item(d, IDOK), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      PressKey(c.key, Qt::NoModifier, c.key == Qt::Key_Return ? QStringLiteral("\r")
                                      : c.key == Qt::Key_Escape ? QStringLiteral("\x1b") : QString());
      focusAfter = ::GetFocus();
      firstField = Item(d, IDC_NAME);
      if (::IsWindowVisible(d.GetSafeHwnd())) ::EndDialog(d.GetSafeHwnd(), -99);
    });
    EXPECT_TRUE(okLooksDefault) << c.name << ": OK is the default again once the focus left Cancel";
    EXPECT_EQ(outer.oks, c.oks) << c.name;
    EXPECT_EQ(outer.cancels, c.cancels) << c.name;
    EXPECT_EQ(panel.oks + panel.cancels, 0) << c.name;
    EXPECT_EQ(result, c.result) << c.name;
    if (c.key == Qt::Key_Tab) {
      EXPECT_EQ(focusAfter, firstField) << c.name << ": Tab wraps to the first outer field";
    }
  }
}

TEST(DialogModal, DoModalAnswersTheEndCodeAndFreesTheOwner) {
  HWND owner = ::CreateWindowExW(0, u"AfxWnd", u"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  CountingDialog dialog(MAKEINTRESOURCEW(200), CWnd::FromHandle(owner));
  bool ownerWasDisabled = false;
  HWND dialogOwner = nullptr;
  INT_PTR result = RunModal(dialog, [&](CDialog& d) {
    ownerWasDisabled = !::IsWindowEnabled(owner);
    dialogOwner = ::GetWindow(d.GetSafeHwnd(), GW_OWNER);
    d.EndDialog(42);
  });
  EXPECT_EQ(result, 42);
  EXPECT_EQ(dialog.inits, 1);
  EXPECT_TRUE(ownerWasDisabled) << "a modal dialog disables its owner";
  EXPECT_EQ(dialogOwner, owner);
  EXPECT_TRUE(::IsWindowEnabled(owner)) << "and gives it back afterwards";
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr) << "the window is gone once DoModal returns";
  ::DestroyWindow(owner);
}

TEST(DialogModal, AMissingTemplateFailsWithMinusOne) {
  CDialog dialog(u"NO_SUCH_DIALOG");
  EXPECT_EQ(dialog.DoModal(), -1);
  CDialog byId(4711);
  EXPECT_EQ(byId.DoModal(), -1);
}

TEST(DialogModal, EndDialogDuringInitDialogEndsWithoutALoop) {
  class Quick : public CDialog {
  public:
    Quick() : CDialog(MAKEINTRESOURCEW(200)) {}
    BOOL OnInitDialog() override {
      CDialog::OnInitDialog();
      EndDialog(7);
      return TRUE;
    }
  } dialog;
  EXPECT_EQ(dialog.DoModal(), 7);
}

TEST(DialogModal, TheCloseBoxDoesWhatCancelDoes) {
  CountingDialog dialog(MAKEINTRESOURCEW(200));
  INT_PTR result = RunModal(dialog, [](CDialog& d) { d.PostMessage(WM_CLOSE); });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(dialog.cancels, 1);
}

// A message box inside a modal dialog: its own loop runs inside the dialog's, and the dialog
// goes on afterwards with the answer.
class AskingDialog : public CDialog {
public:
  AskingDialog() : CDialog(MAKEINTRESOURCEW(200)) {}
  void OnOK() override {
    answer = ::MessageBoxW(m_hWnd, u"Save the changes?", u"Question", MB_YESNO | MB_ICONQUESTION);
    dialogStillOpen = ::IsWindowVisible(m_hWnd);
    dialogDisabledDuringBox = disabledSeen;
    EndDialog(answer == IDYES ? 100 : 200);
  }
  int answer = 0;
  bool dialogStillOpen = false;
  bool dialogDisabledDuringBox = false;
  bool disabledSeen = false;
};

TEST(DialogModal, AMessageBoxInsideAModalDialogAnswersAndTheDialogGoesOn) {
  AskingDialog dialog;
  QString seenText;
  INT_PTR result = RunModal(dialog, [&](CDialog& d) {
    // When the box is up, press its Yes button as a user would.
    QTimer::singleShot(50, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr) << "no message box is shown";
      seenText = box->text();
      dialog.disabledSeen = !::IsWindowEnabled(d.GetSafeHwnd());
      box->button(QMessageBox::Yes)->click();
    });
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  });
  EXPECT_EQ(seenText, QStringLiteral("Save the changes?"));
  EXPECT_EQ(dialog.answer, IDYES);
  EXPECT_TRUE(dialog.dialogStillOpen);
  EXPECT_TRUE(dialog.dialogDisabledDuringBox) << "the box disables the dialog that owns it";
  EXPECT_EQ(result, 100);
}

struct BoxCase {
  UINT type;
  QMessageBox::StandardButton press;  // NoButton: Escape
  int answer;                         // 0: the box stays after Escape (closed by the test with the first button)
};

TEST(MessageBoxes, ButtonsAndEscapeAnswerAsOnTheOriginalPlatform) {
  const BoxCase cases[] = {
      {MB_OK, QMessageBox::Ok, IDOK},
      {MB_OK, QMessageBox::NoButton, IDOK},
      {MB_OKCANCEL, QMessageBox::NoButton, IDCANCEL},
      {MB_YESNOCANCEL, QMessageBox::No, IDNO},
      {MB_YESNOCANCEL, QMessageBox::NoButton, IDCANCEL},
      {MB_YESNO, QMessageBox::NoButton, 0},
      {MB_RETRYCANCEL, QMessageBox::Retry, IDRETRY},
      {MB_ABORTRETRYIGNORE, QMessageBox::Ignore, IDIGNORE},
  };
  for (const BoxCase& c : cases) {
    bool stayed = false;
    QTimer::singleShot(30, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      if (c.press != QMessageBox::NoButton) {
        box->button(c.press)->click();
        return;
      }
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QCoreApplication::sendEvent(box, &escape);
      if (c.answer) return;
      QTimer::singleShot(30, [&stayed] {
        auto* still = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        stayed = still != nullptr;
        if (still) still->buttons().front()->click();
      });
    });
    int answer = ::MessageBoxW(nullptr, u"Text", u"Caption", c.type);
    SCOPED_TRACE("type " + std::to_string(c.type));
    if (c.answer) EXPECT_EQ(answer, c.answer);
    else EXPECT_TRUE(stayed) << "Escape does nothing in a Yes/No box";
  }
}

TEST(MessageBoxes, AHandlerAnswersInsteadOfTheBox) {
  static UINT seenType;
  static std::u16string seenText;
  MessageBoxHandler before = SetMessageBoxHandler([](HWND, LPCWSTR text, LPCWSTR, UINT type) {
    seenType = type;
    seenText = text;
    return IDNO;
  });
  EXPECT_EQ(::MessageBoxW(nullptr, u"Delete?", u"Q", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(seenType, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(seenText, u"Delete?");
  SetMessageBoxHandler(before);
}

// Data exchange through UpdateData: values go into the controls at the start and come back,
// checked, on OK; a bad value keeps the dialog open with the focus on its control.
class FormDialog : public CDialog {
public:
  FormDialog() : CDialog(u"IDD_ALL_CONTROLS") {}
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, IDC_NAME, name);
    DDV_MaxChars(dx, name, 8);
    DDX_Text(dx, IDC_COUNT, count);
    DDV_MinMaxInt(dx, count, 1, 99);
    DDX_Check(dx, IDC_CHECK, remember);
    DDX_Radio(dx, IDC_SMALL, size);
    DDX_CBIndex(dx, IDC_KIND, kind);
  }
  BOOL OnInitDialog() override {
    SendDlgItemMessage(IDC_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Letter"));
    SendDlgItemMessage(IDC_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Invoice"));
    return CDialog::OnInitDialog();
  }
  CString name {u"Smith"};
  int count = 5, remember = 1, size = 2, kind = 1;
};

TEST(DialogData, UpdateDataFillsTheControlsAndReadsThemBack) {
  int boxes = 0;
  static int* counter = nullptr;
  counter = &boxes;
  MessageBoxHandler before = SetMessageBoxHandler([](HWND, LPCWSTR, LPCWSTR, UINT) {
    ++*counter;
    return IDOK;
  });
  FormDialog dialog;
  bool stayedOpen = false;
  int focusAfterFailure = 0;
  INT_PTR result = RunModal(dialog, [&](CDialog& d) {
    CString text;
    d.GetDlgItemText(IDC_NAME, text);
    EXPECT_EQ(text, CString(u"Smith"));
    EXPECT_EQ(d.GetDlgItemInt(IDC_COUNT), 5u);
    EXPECT_EQ(d.IsDlgButtonChecked(IDC_CHECK), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(d.GetCheckedRadioButton(IDC_SMALL, IDC_LARGE), IDC_LARGE);
    EXPECT_EQ(d.SendDlgItemMessage(IDC_KIND, CB_GETCURSEL), 1);
    d.SetDlgItemText(IDC_COUNT, u"120");  // out of range
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    stayedOpen = ::IsWindowVisible(d.GetSafeHwnd());
    focusAfterFailure = ::GetDlgCtrlID(::GetFocus());
    d.SetDlgItemText(IDC_COUNT, u"12");
    d.SetDlgItemText(IDC_NAME, u"Jones");
    d.CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
    d.CheckRadioButton(IDC_SMALL, IDC_LARGE, IDC_SMALL);
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  });
  SetMessageBoxHandler(before);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(boxes, 1) << "the user is told once of the bad value";
  EXPECT_EQ(focusAfterFailure, IDC_COUNT);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.name, CString(u"Jones"));
  EXPECT_EQ(dialog.count, 12);
  EXPECT_EQ(dialog.remember, 0);
  EXPECT_EQ(dialog.size, 0);
}

TEST(DialogModeless, CreateShowsTheDialogAndEndDialogOnlyHidesIt) {
  CountingDialog dialog(u"IDD_ALL_CONTROLS");
  ASSERT_TRUE(dialog.Create(u"IDD_ALL_CONTROLS"));
  dialog.ShowWindow(SW_SHOW);
  EXPECT_EQ(dialog.inits, 1);
  // Without a message loop of its own the dialog's keys come through IsDialogMessage.
  ::SetFocus(Item(dialog, IDC_NAME));
  MSG msg {Item(dialog, IDC_NAME), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  EXPECT_TRUE(::IsDialogMessageW(dialog.GetSafeHwnd(), &msg));
  EXPECT_EQ(dialog.cancels, 1);
  EXPECT_FALSE(dialog.IsWindowVisible());
  EXPECT_TRUE(::IsWindow(dialog.GetSafeHwnd()));
  MSG other {nullptr, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  EXPECT_FALSE(::IsDialogMessageW(dialog.GetSafeHwnd(), &other)) << "messages for other windows are not the dialog's";
  dialog.DestroyWindow();
}

}  // namespace
