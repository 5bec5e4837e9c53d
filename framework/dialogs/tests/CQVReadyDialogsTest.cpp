// The about box, the logon and the change-password dialogs: what each shows in English and German,
// what the hooks are asked and which message keeps a dialog open. Screenshots of them, of a
// dialog laid out by its script and of a sortable list, in both languages, go to build/artifacts.

#include "framework/dialogs/CQVAboutDialog.h"
#include "framework/dialogs/CQVListCtrl.h"
#include "framework/dialogs/CQVLogonDialog.h"

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QImage>
#include <QTimer>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

std::string U8(const CString& text) { return text.ToUtf8(); }

bool Shows(CWnd& dialog, int id) {
  CWnd* item = dialog.GetDlgItem(id);
  return item && item->IsWindowVisible();
}

std::string Title(CWnd& wnd) {
  CString text;
  wnd.GetWindowText(text);
  return U8(text);
}

class About : public CQVAboutDialog {
public:
  int sysInfo = 0;

protected:
  void OnShowSysInfo() override { ++sysInfo; }
};

TEST(AboutDialog, ShowsTheApplicationsTextsAndOnlyThePartsItsFlagsAskFor) {
  UseLanguage(u"en-us");
  struct Case {
    bool moreInfo, sysInfo;
  } cases[] = {{true, true}, {false, true}, {true, false}, {false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("more info ") + (c.moreInfo ? "on" : "off") + ", system info " + (c.sysInfo ? "on" : "off"));
    About seen;
    seen.m_bShowMoreInfo = c.moreInfo;
    seen.m_bShowSysInfo = c.sysInfo;
    seen.m_strProductName = u"Brisk lane viewer";
    bool head = false, place = true, button = false, pane = false, logo = true;
    std::string name, version, title, close;
    RunModal(seen, [&](CDialog& d) {
      head = Shows(d, 1005);
      place = Shows(d, 1004);
      button = Shows(d, 1009);
      logo = Shows(d, 1006);
      pane = seen.GetHtmlWnd().GetSafeHwnd() != nullptr;
      name = U8(ItemText(d, 1001));
      version = U8(ItemText(d, 1002));
      title = Title(d);
      close = U8(ItemText(d, 1007));
      d.SendMessage(WM_COMMAND, MAKEWPARAM(1009, BN_CLICKED), 0);
      d.SendMessage(WM_COMMAND, MAKEWPARAM(1007, BN_CLICKED), 0);
    });
    EXPECT_EQ(head, c.moreInfo);
    EXPECT_FALSE(place) << "the pane stands in its place";
    EXPECT_EQ(pane, c.moreInfo);
    EXPECT_EQ(button, c.sysInfo);
    EXPECT_FALSE(logo);
    EXPECT_EQ(name, "Brisk lane viewer");
    EXPECT_EQ(version, "Version x.x.xxxxxxxx") << "the placeholder until the application says";
    EXPECT_EQ(title, "About");
    EXPECT_EQ(close, "Close");
    EXPECT_EQ(seen.sysInfo, 1) << "the button's action is the derived class's";
  }
}

TEST(AboutDialog, PaintsTheLogoStretchedWhereItsPlaceIsAndNothingWithoutOne) {
  UseLanguage(u"en-us");
  for (bool withLogo : {false, true}) {
    CQVAboutDialog about;
    about.m_bShowMoreInfo = FALSE;
    if (withLogo) {
      ASSERT_TRUE(about.m_logo.Create(8, 8, 24));
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) about.m_logo.SetPixelColor(x, y, RGB(200, 0, 0));
    }
    QRgb middle = 0;
    bool open = false;
    RunModal(about, [&](CDialog& d) {
      open = d.IsWindowVisible();
      CRect place = ItemRect(d, 1006);
      d.Invalidate();
      Pump(50);
      QWidget* host = HostOf(d.GetSafeHwnd());
      CPoint centre = place.CenterPoint();
      d.ClientToScreen(&centre);
      const QPoint at = host->mapFromGlobal(QPoint(centre.x, centre.y));
      middle = host->grab().toImage().pixel(at);
      d.EndDialog(IDOK);
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(middle == qRgb(200, 0, 0), withLogo) << (withLogo ? "with" : "without") << " a logo";
  }
}

// A logon dialog that knows one user and counts what it is asked.
class KnownUser : public CQVLogonDialog {
public:
  int asked = 0;

protected:
  BOOL Logon(LPCWSTR user, LPCWSTR password) override {
    ++asked;
    return CString(user) == u"anna" && CString(password) == u"secret";
  }
};

TEST(LogonDialog, OffersTheTrimmedNameAndStaysOpenUntilTheHookAccepts) {
  UseLanguage(u"en-us");
  {
    CQVLogonDialog base;
    BoxRecorder boxes({IDOK});
    std::string shownName, shownPassword;
    bool masked = false;
    bool stillOpen = false;
    const INT_PTR result = RunModal(base, [&](CDialog& d) {
      shownName = U8(ItemText(d, 1016));
      shownPassword = U8(ItemText(d, 1017));
      masked = (d.GetDlgItem(1017)->GetStyle() & ES_PASSWORD) != 0;
      d.SetDlgItemText(1017, u"anything");
      d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      stillOpen = d.GetSafeHwnd() && d.IsWindowVisible();
      d.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    (void)result;
    ASSERT_EQ(boxes.asked.size(), 1u) << "nobody may log on without a derived class";
    EXPECT_EQ(U8(boxes.asked[0].text), "The user name or the password is wrong.");
    EXPECT_EQ(U8(boxes.asked[0].caption), "Information");
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(masked);
    EXPECT_EQ(shownPassword, "");
  }
  KnownUser logon;
  std::string shownName;
  BoxRecorder boxes;
  QTimer::singleShot(0, [&] {
    HWND dialog = logon.GetSafeHwnd();
    if (!dialog) return;
    shownName = U8(ItemText(logon, 1016));
    logon.SetDlgItemText(1017, u"wrong");
    logon.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    logon.SetDlgItemText(1017, u"secret");
    logon.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_TRUE(logon.DoLogon(u"  anna  "));
  EXPECT_EQ(shownName, "anna");
  EXPECT_EQ(logon.asked, 2);
  EXPECT_EQ(boxes.asked.size(), 1u);
  EXPECT_EQ(U8(logon.GetUserName()), "anna");
  EXPECT_EQ(U8(logon.GetPassword()), "secret");

  // Cancel asks nothing.
  KnownUser cancelled;
  QTimer::singleShot(0, [&] { cancelled.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
  EXPECT_FALSE(cancelled.DoLogon(u"anna"));
  EXPECT_EQ(cancelled.asked, 0);
}

// A change-password dialog whose user's password is "old1" and whose store may refuse.
class PasswordStore : public CQVChangePasswordDialog {
public:
  bool storeRefuses = false;
  std::vector<std::string> asked;

protected:
  BOOL CheckUserPassword(LPCWSTR old) override {
    asked.push_back("check " + U8(CString(old)));
    return CString(old) == u"old1";
  }
  BOOL ChangePassword(LPCWSTR password) override {
    asked.push_back("change " + U8(CString(password)));
    return !storeRefuses;
  }
};

TEST(ChangePasswordDialog, ChecksInOrderAndTellsTheFirstThingThatIsWrong) {
  UseLanguage(u"en-us");
  const std::string twenty(20, 'x'), twentyOne(21, 'x');
  struct Case {
    const char* what;
    std::string old, fresh, retyped;
    bool storeRefuses;
    const char* message;  // null: the dialog ends with OK
  } cases[] = {
      {"wrong old password", "old2", "abcd", "abcd", false, "The old password is wrong."},
      {"retyped differs, before the length", "old1", "abc", "abd", false,
       "The new password and the retyped one are not the same."},
      {"retyped differs in case", "old1", "abcd", "ABCD", false, "The new password and the retyped one are not the same."},
      {"three characters", "old1", "abc", "abc", false, "The new password must have at least 4 characters."},
      {"four characters", "old1", "abcd", "abcd", false, nullptr},
      {"twenty characters", "old1", twenty, twenty, false, nullptr},
      {"twenty-one characters", "old1", twentyOne, twentyOne, false, "The new password may have at most 20 characters."},
      {"the store refuses", "old1", "abcd", "abcd", true, "The password could not be changed."},
  };
  for (const Case& c : cases) {
    PasswordStore dialog;
    dialog.storeRefuses = c.storeRefuses;
    BoxRecorder boxes;
    UINT limit = 0;
    bool masked = true;
    QTimer::singleShot(0, [&] {
      if (!dialog.GetSafeHwnd()) return;
      limit = static_cast<UINT>(dialog.GetDlgItem(1020)->SendMessage(EM_GETLIMITTEXT));
      for (int id : {1024, 1020, 1022}) masked = masked && (dialog.GetDlgItem(id)->GetStyle() & ES_PASSWORD);
      dialog.SetDlgItemText(1024, CString::FromUtf8(c.old));
      dialog.SetDlgItemText(1020, CString::FromUtf8(c.fresh));
      dialog.SetDlgItemText(1022, CString::FromUtf8(c.retyped));
      dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      if (dialog.GetSafeHwnd() && dialog.IsWindowVisible()) dialog.EndDialog(-5);
    });
    const BOOL changed = dialog.DoChangePassword(u" anna ");
    EXPECT_EQ(U8(dialog.GetUserName()), " anna ") << c.what;
    EXPECT_EQ(changed, c.message == nullptr) << c.what;
    EXPECT_EQ(limit, 21u) << c.what;
    EXPECT_TRUE(masked) << c.what;
    if (c.message) {
      ASSERT_EQ(boxes.asked.size(), 1u) << c.what;
      EXPECT_EQ(U8(boxes.asked[0].text), c.message) << c.what;
    } else {
      EXPECT_TRUE(boxes.asked.empty()) << c.what;
      EXPECT_EQ(dialog.asked.back(), "change " + c.fresh) << c.what;
    }
  }
  // Without a derived class every old password is wrong; Cancel asks nothing.
  CQVChangePasswordDialog base;
  BoxRecorder boxes;
  QTimer::singleShot(0, [&] {
    base.SetDlgItemText(1024, u"old1");
    base.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    base.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_FALSE(base.DoChangePassword(u"anna"));
  ASSERT_EQ(boxes.asked.size(), 1u);
  EXPECT_EQ(U8(boxes.asked[0].text), "The old password is wrong.");
}

TEST(ReadyDialogs, ShowTheirGermanTextsAndTheGermanLayout) {
  UseLanguage(u"de-de");
  CQVChangePasswordDialog dialog;
  std::string title, retype, cancel;
  CRect client, field, label, ok, cancelRect;
  RunModal(dialog, [&](CDialog& d) {
    title = Title(d);
    retype = U8(ItemText(d, 1021));
    cancel = U8(ItemText(d, IDCANCEL));
    d.GetClientRect(&client);
    field = ItemRect(d, 1022);
    label = ItemRect(d, 1021);
    ok = ItemRect(d, IDOK);
    cancelRect = ItemRect(d, IDCANCEL);
    d.EndDialog(IDCANCEL);
  });
  UseLanguage(u"en-us");
  EXPECT_EQ(title, "Kennwort ändern");
  EXPECT_EQ(retype, "Neues Kennwort wiederholen:");
  EXPECT_EQ(cancel, "Abbrechen");
  EXPECT_EQ(client, CRect(0, 0, 420, 156));
  EXPECT_EQ(label.Width(), 180);
  EXPECT_EQ(field.left, label.right + 8);
  EXPECT_EQ(cancelRect.right, 409);
  EXPECT_EQ(cancelRect.bottom, 145);
  EXPECT_EQ(ok.right, cancelRect.left - 8);
}

// Screenshots of each dialog in both languages, for people to look at.
TEST(ReadyDialogs, ScreenshotsInEnglishAndGerman) {
  QTemporaryDir folder;
  const QString page = folder.filePath(QStringLiteral("about.html"));
  WriteTextFile(page,
                "<html><body><h3>Brisk lane</h3><p>Document imaging for scanned batches.</p>"
                "<p>Support: see the manual.</p></body></html>");
  for (const char16_t* language : {u"en-us", u"de-de"}) {
    UseLanguage(language);
    const std::string suffix = "-" + U8(CString(language));

    CQVAboutDialog about;
    about.m_strProductName = u"Brisk lane viewer";
    about.m_strVersion = u"Version 0.1.2005080301";
    about.m_strCopyright = u"Brisk lane makers";
    about.m_strMoreInfoURL = CString::FromUtf8(page.toStdString());
    about.m_logo.Create(64, 64, 24);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) about.m_logo.SetPixelColor(x, y, (x / 16 + y / 16) % 2 ? RGB(30, 90, 160) : RGB(240, 200, 40));
    RunModal(about, [&](CDialog& d) {
      EXPECT_TRUE(SaveScreenshot(d.GetSafeHwnd(), "dialogs-about" + suffix));
      d.EndDialog(IDOK);
    });

    CQVLogonDialog logon;
    QTimer::singleShot(0, [&] {
      logon.SetDlgItemText(1017, u"secret");
      EXPECT_TRUE(SaveScreenshot(logon.GetSafeHwnd(), "dialogs-logon" + suffix));
      logon.EndDialog(IDCANCEL);
    });
    logon.DoLogon(u"anna");

    CQVChangePasswordDialog password;
    QTimer::singleShot(0, [&] {
      password.SetDlgItemText(1024, u"old1");
      password.SetDlgItemText(1020, u"new2");
      EXPECT_TRUE(SaveScreenshot(password.GetSafeHwnd(), "dialogs-changepassword" + suffix));
      password.EndDialog(IDCANCEL);
    });
    password.DoChangePassword(u"anna");

    // The test dialog laid out by its script, with a sortable list under it.
    HookedDialog laidOut;
    RunModal(laidOut, [&](CDialog& d) {
      d.SetDlgItemText(IDC_TEST_NAME, u"Anna");
      laidOut.ShowDlgItem(IDC_TEST_NOTE, FALSE);
      CQVListCtrl list;
      list.AddColumnInfo(U8(CString(language)) == "de-de" ? u"Stapel" : u"Batch", LVCFMT_LEFT, 100, TRUE);
      list.AddColumnInfo(U8(CString(language)) == "de-de" ? u"Seiten" : u"Pages", LVCFMT_RIGHT, 80, TRUE);
      list.AddColumnInfo(U8(CString(language)) == "de-de" ? u"Gescannt" : u"Scanned", LVCFMT_LEFT, 100, TRUE);
      CRect client;
      d.GetClientRect(&client);
      ASSERT_TRUE(list.Create(WS_CHILD | WS_BORDER | LVS_REPORT, LVS_EX_FULLROWSELECT,
                              CRect(8, 40, client.right - 8, client.bottom - 40), &d, 2000));
      const char16_t* rows[][3] = {{u"Invoices", u"12", u"2024-03-05"},
                                   {u"letters", u"9", u"2023-11-12"},
                                   {u"Contracts", u"100", u"2025-01-01"}};
      for (int i = 0; i < 3; ++i) {
        list.InsertItem(i, rows[i][0]);
        list.SetItemText(i, 1, rows[i][1]);
        list.SetItemText(i, 2, rows[i][2]);
      }
      list.SortItems(1, TRUE);
      EXPECT_TRUE(SaveScreenshot(d.GetSafeHwnd(), "dialogs-layout-and-list" + suffix));
      list.DestroyWindow();
      d.EndDialog(IDOK);
    });
  }
  UseLanguage(u"en-us");
}

}  // namespace
