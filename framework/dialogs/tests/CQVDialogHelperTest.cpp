// The dialog helper: item lookups by ID and name, texts, tips and titles in two languages and
// after a switch, message boxes with keyed texts and default captions, tool-tip requests, fonts.

#include "framework/dialogs/CQVDialogHelper.h"

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/gdi/CFont.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

std::string U8(const CString& text) { return text.ToUtf8(); }

TEST(DialogHelperItemMap, NamesFindTheFirstRecordByFullOrShortNameWithCase) {
  CQVDialogHelper helper(nullptr);
  helper.BeginIDMap(u"OLD");
  helper.DlgItem(5, u"OLD_GONE", FALSE);
  helper.BeginIDMap(u"  DLG_SPR ");
  helper.DlgItem(1001, u" DLG_SPR_STOP ", TRUE);
  helper.DlgItem(1002, u"DLG_SPR_NAME", FALSE);
  helper.DlgItem(1001, u"DLG_SPR_SECOND", FALSE);
  helper.DlgItem(1003, u"DLG_SPR_STOP", FALSE);
  helper.DlgItem(0, u"DLG_SPR_ZERO", FALSE);
  helper.DlgItem(1004, nullptr, FALSE);
  helper.EndIDMap();

  CString name;
  ASSERT_TRUE(helper.GetDialogID(name));
  EXPECT_EQ(U8(name), "DLG_SPR");
  struct Case {
    const char16_t* name;
    int id;  // 0: not found
  } byName[] = {
      {u"STOP", 1001},          {u"DLG_SPR_STOP", 1001}, {u"  DLG_SPR_STOP  ", 1001}, {u"dlg_spr_stop", 0},
      {u"stop", 0},             {u"NAME", 1002},         {u"SECOND", 1001},           {u"DLG_SPR", 0},
      {u"DLG_SPRX_STOP", 0},    {u"GONE", 0},            {u"ZERO", 0},                {u"   ", 0},
  };
  for (const Case& c : byName) {
    int id = -1;
    const BOOL found = helper.GetDlgItemID(c.name, id);
    EXPECT_EQ(found, c.id != 0) << U8(c.name);
    if (c.id) {
      EXPECT_EQ(id, c.id) << U8(c.name);
    }
  }
  struct IdCase {
    int id;
    const char* name;  // null: not found
  } byId[] = {{1001, "DLG_SPR_STOP"}, {1003, "DLG_SPR_STOP"}, {1002, "DLG_SPR_NAME"}, {0, nullptr}, {1004, nullptr}, {5, nullptr}};
  for (const IdCase& c : byId) {
    CString found = u"unchanged";
    EXPECT_EQ(helper.GetDlgItemID(c.id, found), c.name != nullptr) << c.id;
    EXPECT_EQ(U8(found), c.name ? c.name : "unchanged") << c.id;
  }
  int none = 0;
  EXPECT_FALSE(helper.GetDlgItemID(nullptr, none));
}

// Everything a user sees of the test dialog in one language.
struct Seen {
  std::string title, label, note, ok, cancel, tip;
  CRect name, labelRect;
};

Seen Look(HookedDialog& d) {
  Seen s;
  CString text;
  d.GetWindowText(text);
  s.title = U8(text);
  s.label = U8(ItemText(d, IDC_TEST_LABEL));
  s.note = U8(ItemText(d, IDC_TEST_NOTE));
  s.ok = U8(ItemText(d, IDOK));
  s.cancel = U8(ItemText(d, IDCANCEL));
  QWidget* edit = ClientOf(d.GetDlgItem(IDC_TEST_NAME)->GetSafeHwnd());
  QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(edit, &help);
  s.tip = QToolTip::text().toStdString();
  QToolTip::hideText();
  s.name = ItemRect(d, IDC_TEST_NAME);
  s.labelRect = ItemRect(d, IDC_TEST_LABEL);
  return s;
}

TEST(DialogHelperTranslation, ADialogShowsTheTextsTipsTitleAndLayoutOfItsLanguageAndFollowsASwitch) {
  struct Case {
    const char16_t* language;
    const char *title, *label, *ok, *cancel, *tip;
    CRect name;
  } cases[] = {
      {u"en-us", "Test dialog", "Name:", "Apply", "Close", "Type your name", CRect(60, 8, 260, 30)},
      {u"de-de", "Testdialog", "Vollständiger Name:", "Anwenden", "Schließen", "Geben Sie Ihren Namen ein",
       CRect(120, 8, 280, 30)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.language));
    UseLanguage(c.language);
    HookedDialog dialog;
    Seen seen;
    RunModal(dialog, [&](CDialog& d) {
      seen = Look(dialog);
      d.EndDialog(IDOK);
    });
    EXPECT_EQ(seen.title, c.title);
    EXPECT_EQ(seen.label, c.label);
    EXPECT_EQ(seen.note, "Template note") << "an item the map does not translate keeps its text";
    EXPECT_EQ(seen.ok, c.ok);
    EXPECT_EQ(seen.cancel, c.cancel);
    EXPECT_EQ(seen.tip, c.tip);
    EXPECT_EQ(seen.name, c.name);
    EXPECT_EQ(seen.labelRect.right, c.name.left - 6) << "the label ends 6 pixels before the field";
    EXPECT_EQ(seen.labelRect.CenterPoint().y, c.name.CenterPoint().y);
  }

  // Switching while the dialog is open: translating again brings the other language.
  UseLanguage(u"en-us");
  HookedDialog dialog;
  Seen before, after;
  RunModal(dialog, [&](CDialog& d) {
    before = Look(dialog);
    UseLanguage(u"de-de");
    dialog.AutoTranslateDlgItems();
    dialog.TranslateDlgTitle();
    after = Look(dialog);
    d.EndDialog(IDOK);
  });
  UseLanguage(u"en-us");
  EXPECT_EQ(before.label, "Name:");
  EXPECT_EQ(after.label, "Vollständiger Name:");
  EXPECT_EQ(after.title, "Testdialog");
  EXPECT_EQ(after.tip, "Geben Sie Ihren Namen ein") << "tips are asked for each time";
}

TEST(DialogHelperTranslation, TitlesGoToDialogsOnlyAndAMissingKeyGivesAnEmptyText) {
  UseLanguage(u"en-us");
  // A window that is not a dialog keeps its title.
  HWND parent = MakeParentWindow(u"HelperTitleParent", ::DefWindowProcW);
  ::SetWindowTextW(parent, u"Own title");
  CQVDialogHelper onWindow(CWnd::FromHandle(parent));
  onWindow.BeginIDMap(u"DLG_TEST");
  onWindow.TranslateDlgTitle();
  CString title;
  CWnd::FromHandle(parent)->GetWindowText(title);
  EXPECT_EQ(U8(title), "Own title");
  CString text;
  onWindow.TranslateDlgTitleText(text);
  EXPECT_EQ(U8(text), "Test dialog");
  ::DestroyWindow(parent);

  // An empty map name, and a map whose keys are missing: empty title and texts, applied.
  for (const char16_t* map : {u"", u"DLG_UNKNOWN"}) {
    HookedDialog dialog(map);
    dialog.SetLayout(FALSE);
    std::string shownTitle, shownLabel;
    RunModal(dialog, [&](CDialog& d) {
      CString t;
      d.GetWindowText(t);
      shownTitle = U8(t);
      shownLabel = U8(ItemText(d, IDC_TEST_LABEL));
      d.EndDialog(IDOK);
    });
    EXPECT_EQ(shownTitle, "") << U8(map);
    EXPECT_EQ(shownLabel, "") << U8(map);
  }
}

TEST(DialogHelperMessages, BoxesShowTheTextsOfTheirKeysUnderTheirOwnOrTheDefaultCaption) {
  UseLanguage(u"en-us");
  HWND parent = MakeParentWindow(u"HelperBoxParent", ::DefWindowProcW);
  CQVDialogHelper helper(CWnd::FromHandle(parent));
  struct Case {
    const char* what;
    std::function<int()> ask;
    UINT type;
    const char* caption;
    int answer;   // what the box answers
    int result;   // what the call returns
  } cases[] = {
      {"error, default caption", [&] { helper.ErrorMsg(u"MSG_TEST"); return 0; }, MB_ICONERROR, "Error", IDOK, 0},
      {"error, keyed caption", [&] { helper.ErrorMsg(u"MSG_TEST", u"CAP_TEST"); return 0; }, MB_ICONERROR,
       "Test caption", IDOK, 0},
      {"info", [&] { helper.InfoMsg(u"MSG_TEST"); return 0; }, MB_ICONINFORMATION, "Information", IDOK, 0},
      {"yes/no, yes", [&] { return helper.YesNoMsg(u"MSG_TEST"); }, MB_ICONQUESTION | MB_YESNO, "Question", IDYES, TRUE},
      {"yes/no, no", [&] { return helper.YesNoMsg(u"MSG_TEST"); }, MB_ICONQUESTION | MB_YESNO, "Question", IDNO, FALSE},
      {"ok/cancel", [&] { return helper.OKCancelMsg(u"MSG_TEST"); }, MB_ICONQUESTION | MB_OKCANCEL, "Confirmation",
       IDCANCEL, FALSE},
      {"yes/no/cancel", [&] { return helper.YesNoCancelMsg(u"MSG_TEST"); }, MB_ICONQUESTION | MB_YESNOCANCEL,
       "Question", IDNO, IDNO},
      {"keyed box", [&] { return helper.MsgBox(u"MSG_TEST", u"CAP_TEST", MB_RETRYCANCEL); }, MB_RETRYCANCEL,
       "Test caption", IDRETRY, IDRETRY},
      // A null caption key is no lookup of nothing: the box gets the default caption of its kind.
      {"keyed box without caption key", [&] { return helper.MsgBox(u"MSG_TEST", nullptr, MB_YESNO); }, MB_YESNO,
       "Question", IDYES, IDYES},
      {"keyed error box without caption key", [&] { return helper.MsgBox(u"MSG_TEST", nullptr, MB_ICONERROR); },
       MB_ICONERROR, "Error", IDOK, IDOK},
  };
  for (const Case& c : cases) {
    BoxRecorder boxes({c.answer});
    EXPECT_EQ(c.ask(), c.result) << c.what;
    ASSERT_EQ(boxes.asked.size(), 1u) << c.what;
    const AskedBox& box = boxes.asked[0];
    EXPECT_EQ(U8(box.text), "Something happened") << c.what;
    EXPECT_EQ(U8(box.caption), c.caption) << c.what;
    EXPECT_EQ(box.type, c.type) << c.what;
    EXPECT_EQ(box.owner, parent) << c.what;
  }
  {
    // The literal twins take the texts as they are; _MsgBox passes a null caption on.
    BoxRecorder boxes;
    helper._InfoMsg(u"MSG_TEST", nullptr);
    helper._MsgBox(u"plain", nullptr, MB_OK);
    ASSERT_EQ(boxes.asked.size(), 2u);
    EXPECT_EQ(U8(boxes.asked[0].text), "MSG_TEST");
    EXPECT_EQ(U8(boxes.asked[0].caption), "Information");
    EXPECT_FALSE(boxes.asked[1].hasCaption);
  }
  ::DestroyWindow(parent);

  // Without an owner the box goes over the application's main window, or has no parent.
  CQVDialogHelper alone(nullptr);
  BoxRecorder boxes;
  alone.InfoMsg(u"MSG_TEST");
  ASSERT_EQ(boxes.asked.size(), 1u);
  CWnd* main = AfxGetMainWnd();
  EXPECT_EQ(boxes.asked[0].owner, main ? main->GetSafeHwnd() : nullptr);
}

TEST(DialogHelperMessages, EscapeClosesARealYesNoCancelBoxWithCancel) {
  UseLanguage(u"en-us");
  CQVDialogHelper helper(nullptr);
  QTimer::singleShot(100, [] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &escape);
  });
  EXPECT_EQ(helper.YesNoCancelMsg(u"MSG_TEST"), IDCANCEL);
}

TEST(DialogHelperItems, TipRequestsForToolsNotNamedByHandleAreLeftAndFontsChangeOnlyWhereThereIsOne) {
  UseLanguage(u"en-us");
  HookedDialog dialog;
  RunModal(dialog, [&](CDialog& d) {
    TOOLTIPTEXTW request {};
    request.hdr.idFrom = reinterpret_cast<UINT_PTR>(d.GetDlgItem(IDC_TEST_NAME)->GetSafeHwnd());
    request.hdr.code = TTN_NEEDTEXTW;
    LRESULT result = 0;
    HookedDialog& probe = dialog;
    EXPECT_FALSE(probe._OnToolTipNotify(0, &request.hdr, &result)) << "not named by handle";
    EXPECT_EQ(request.lpszText, nullptr);
    request.uFlags = TTF_IDISHWND;
    EXPECT_TRUE(probe._OnToolTipNotify(0, &request.hdr, &result));
    ASSERT_NE(request.lpszText, nullptr);
    EXPECT_EQ(U8(CString(request.lpszText)), "Type your name");
    request.hdr.idFrom = reinterpret_cast<UINT_PTR>(d.GetDlgItem(IDC_TEST_NOTE)->GetSafeHwnd());
    EXPECT_FALSE(probe._OnToolTipNotify(0, &request.hdr, &result)) << "an item without a tip";

    // Restyling: the label has the dialog's font and becomes bold; a window without one is left.
    CFont bold;
    dialog.RestyleDlgItemFont(IDC_TEST_LABEL, bold, TRUE, FALSE, TRUE, FALSE);
    ASSERT_NE(bold.GetSafeHandle(), nullptr);
    LOGFONTW made {};
    bold.GetObject(sizeof made, &made);
    EXPECT_EQ(made.lfWeight, FW_BOLD);
    EXPECT_EQ(made.lfUnderline, 1);
    EXPECT_EQ(reinterpret_cast<HFONT>(d.GetDlgItem(IDC_TEST_LABEL)->SendMessage(WM_GETFONT)),
              static_cast<HFONT>(bold.GetSafeHandle()));
    CWnd plain;
    ASSERT_TRUE(plain.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &d, 4000));
    CFont untouched;
    CQVDialogHelper::RestyleDlgItemFont(plain, untouched, TRUE, TRUE, TRUE, TRUE);
    EXPECT_EQ(untouched.GetSafeHandle(), nullptr);
    plain.DestroyWindow();
    d.EndDialog(IDOK);
  });
}

}  // namespace
