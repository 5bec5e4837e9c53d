// Property sheets and pages, form views and tool tips of dialogs.

#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/afx/CFormView.h"
#include "platform/ui/afx/CHtmlView.h"
#include "platform/ui/afx/CPropertySheet.h"
#include "platform/ui/afx/CTabCtrl.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

enum : int { IDC_TITLE = 1100, IDC_DRAFT, IDC_COPIES };

class GeneralPage : public CPropertyPage {
public:
  GeneralPage() : CPropertyPage(u"IDD_PAGE_GENERAL") {}
  BOOL OnInitDialog() override {
    ++inits;
    return CPropertyPage::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, IDC_TITLE, title); }
  void OnOK() override { ++oks; }
  CString title {u"Report"};
  int inits = 0, oks = 0;
};

class AdvancedPage : public CPropertyPage {
public:
  AdvancedPage() : CPropertyPage(u"IDD_PAGE_ADVANCED") {}
  BOOL OnInitDialog() override {
    ++inits;
    return CPropertyPage::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, IDC_COPIES, copies);
    DDV_MinMaxInt(dx, copies, 1, 100);
  }
  void OnOK() override { ++oks; }
  int copies = 2, inits = 0, oks = 0;
};

struct QuietBoxes {
  QuietBoxes() { before = SetMessageBoxHandler([](HWND, LPCWSTR, LPCWSTR, UINT) { return IDOK; }); }
  ~QuietBoxes() { SetMessageBoxHandler(before); }
  MessageBoxHandler before;
};

TEST(PropertySheets, PagesAreMadeWhenFirstShownAndTheSheetEndsWithOk) {
  GeneralPage general;
  AdvancedPage advanced;
  advanced.m_psp.dwFlags |= PSP_USETITLE;
  advanced.m_psp.pszTitle = u"More";
  CPropertySheet sheet(u"Options");
  sheet.AddPage(&general);
  sheet.AddPage(&advanced);
  INT_PTR result = RunModal(sheet, [&](CDialog& d) {
    auto& s = static_cast<CPropertySheet&>(d);
    CTabCtrl* tab = s.GetTabControl();
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(s.SendMessage(PSM_GETTABCONTROL)), tab->GetSafeHwnd());
    ASSERT_EQ(tab->GetItemCount(), 2);
    WCHAR text[32] {};
    TCITEMW item {TCIF_TEXT, 0, 0, text, 32, 0, 0};
    tab->SendMessage(TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::u16string(text), u"General") << "the page template's caption";
    tab->SendMessage(TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::u16string(text), u"More") << "the page's own title";
    EXPECT_NE(general.GetSafeHwnd(), nullptr);
    EXPECT_EQ(advanced.GetSafeHwnd(), nullptr) << "a page is made when it is first shown";
    CString title;
    general.GetDlgItemText(IDC_TITLE, title);
    EXPECT_EQ(title, CString(u"Report"));

    EXPECT_TRUE(s.SetActivePage(1));
    EXPECT_NE(advanced.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(advanced.IsWindowVisible());
    EXPECT_FALSE(general.IsWindowVisible());
    EXPECT_EQ(tab->GetCurSel(), 1);
    // The page lies in the tab control's display area, above it.
    CRect page, display;
    advanced.GetWindowRect(&page);
    tab->GetWindowRect(&display);
    tab->AdjustRect(FALSE, &display);
    EXPECT_EQ(page, display);
    EXPECT_TRUE(s.SetActivePage(0));
    EXPECT_EQ(general.inits, 1) << "a page is made once";

    general.SetDlgItemText(IDC_TITLE, u"Summary");
    ::SetFocus(general.GetDlgItem(IDC_TITLE)->GetSafeHwnd());
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  });
  EXPECT_EQ(result, IDOK) << "Enter in a page ends the sheet with OK";
  EXPECT_EQ(general.title, CString(u"Summary")) << "the page left last took its data";
  EXPECT_EQ(general.oks, 1);
  EXPECT_EQ(advanced.oks, 1);
  EXPECT_EQ(advanced.inits, 1);
}

TEST(PropertySheets, APageWithBadDataIsNotLeft) {
  QuietBoxes boxes;
  GeneralPage general;
  AdvancedPage advanced;
  CPropertySheet sheet(u"Options", nullptr, 1);
  sheet.AddPage(&general);
  sheet.AddPage(&advanced);
  INT_PTR result = RunModal(sheet, [&](CDialog& d) {
    auto& s = static_cast<CPropertySheet&>(d);
    EXPECT_EQ(s.GetActiveIndex(), 1) << "the sheet opens on the page it was told";
    advanced.SetDlgItemText(IDC_COPIES, u"500");
    EXPECT_FALSE(s.SetActivePage(0));
    EXPECT_EQ(s.GetActiveIndex(), 1);
    // A click on the other tab is refused the same way.
    CTabCtrl* tab = s.GetTabControl();
    CRect first;
    tab->GetItemRect(0, &first);
    tab->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.CenterPoint().x, first.CenterPoint().y));
    tab->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(first.CenterPoint().x, first.CenterPoint().y));
    EXPECT_EQ(tab->GetCurSel(), 1);
    EXPECT_EQ(s.GetActiveIndex(), 1);
    PressKey(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(general.GetSafeHwnd(), nullptr);
}

TEST(PropertySheets, AChildSheetHasTabsOnlyAndItsPagesFollowTheTabs) {
  HWND frame = ::CreateWindowExW(0, u"AfxWnd", u"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 400, nullptr,
                                 nullptr, nullptr, nullptr);
  GeneralPage general;
  CPropertySheet sheet;
  sheet.AddPage(&general);
  ASSERT_TRUE(sheet.Create(CWnd::FromHandle(frame), WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(sheet.GetDlgItem(IDOK), nullptr) << "no buttons on a modeless sheet";
  EXPECT_EQ(sheet.GetStyle() & WS_CHILD, static_cast<DWORD>(WS_CHILD));
  sheet.MoveWindow(0, 0, 400, 300);
  sheet.GetTabControl()->MoveWindow(0, 0, 400, 300);
  ASSERT_TRUE(PumpUntil([&] {
    CRect page;
    general.GetWindowRect(&page);
    return page.Width() > 350;
  })) << "the page grows with the tab control";
  sheet.DestroyWindow();
  ::DestroyWindow(frame);
}

class TestForm : public CFormView {
public:
  TestForm() : CFormView(u"IDD_FORM") {}
  void DoDataExchange(CDataExchange* dx) override { DDX_Check(dx, IDC_DRAFT, draft); }
  LRESULT OnInit(WPARAM, LPARAM) {
    ++inits;
    return 0;
  }
  void PostNcDestroy() override {}
  int inits = 0, draft = 1;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestForm, CFormView)
  ON_MESSAGE(WM_INITDIALOG, &TestForm::OnInit)
END_MESSAGE_MAP()

TEST(FormViews, TheViewIsTheTemplatesWindowInsideItsParent) {
  HWND frame = ::CreateWindowExW(0, u"AfxWnd", u"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
  TestForm form;
  ASSERT_TRUE(form.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), CWnd::FromHandle(frame),
                          AFX_IDW_PANE_FIRST));
  EXPECT_EQ(form.inits, 1) << "the view gets WM_INITDIALOG";
  EXPECT_EQ(form.GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
  EXPECT_EQ(::GetParent(form.GetSafeHwnd()), frame);
  EXPECT_NE(form.GetDlgItem(IDC_TITLE), nullptr);
  form.OnInitialUpdate();
  EXPECT_EQ(form.IsDlgButtonChecked(IDC_DRAFT), static_cast<UINT>(BST_CHECKED));
  ::SetFocus(form.GetDlgItem(IDC_TITLE)->GetSafeHwnd());
  MSG tab {form.GetDlgItem(IDC_TITLE)->GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
  EXPECT_TRUE(form.PreTranslateMessage(&tab));
  EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDC_DRAFT) << "Tab moves within the form";
  form.DestroyWindow();
  ::DestroyWindow(frame);
}

class TipDialog : public CDialog {
public:
  TipDialog() : CDialog(MAKEINTRESOURCEW(200)) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    EnableToolTips(TRUE);
    return TRUE;
  }
  BOOL OnTip(UINT, NMHDR* hdr, LRESULT*) {
    auto* info = reinterpret_cast<TOOLTIPTEXTW*>(hdr);
    if (!(info->uFlags & TTF_IDISHWND)) return FALSE;
    asked = ::GetDlgCtrlID(reinterpret_cast<HWND>(hdr->idFrom));
    info->lpszText = const_cast<LPWSTR>(u"Type the name here");
    return TRUE;
  }
  int asked = 0;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TipDialog, CDialog)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, &TipDialog::OnTip)
END_MESSAGE_MAP()

TEST(ToolTips, TheDialogIsAskedForTheTextOfTheChildUnderTheMouse) {
  TipDialog dialog;
  QString shown;
  RunModal(dialog, [&](CDialog& d) {
    QWidget* edit = ClientOf(d.GetDlgItem(1001)->GetSafeHwnd());
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(edit, &help);
    shown = QToolTip::text();
    d.EndDialog(IDOK);
  });
  EXPECT_EQ(dialog.asked, 1001);
  EXPECT_EQ(shown, QStringLiteral("Type the name here"));
}

void WriteFile(const QString& path, const char* text) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}

TEST(HtmlViews, LocalPagesAndTheirLinksShowAndTheViewKeepsItsPlace) {
  QTemporaryDir dir;
  WriteFile(dir.filePath(QStringLiteral("index.html")),
            "<html><body><h1>Welcome</h1><a href=\"other.html\">more</a></body></html>");
  WriteFile(dir.filePath(QStringLiteral("other.html")), "<html><body><p>Second page</p></body></html>");
  HWND frame = ::CreateWindowExW(0, u"AfxWnd", u"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
  auto* view = new CHtmlView;
  ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), CWnd::FromHandle(frame),
                           AFX_IDW_PANE_FIRST));
  auto* browser = dynamic_cast<QTextBrowser*>(ClientOf(view->GetBrowserWindow()->GetSafeHwnd()));
  ASSERT_NE(browser, nullptr);
  std::u16string index = dir.filePath(QStringLiteral("index.html")).toStdU16String();
  ASSERT_TRUE(view->Navigate(index.c_str()));
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Welcome")));
  EXPECT_EQ(view->GetLocationURL(), CString(index.c_str()));
  emit browser->anchorClicked(QUrl(QStringLiteral("other.html")));
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Second page"))) << "local links are followed";
  view->GoBack();
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Welcome")));
  EXPECT_FALSE(view->Navigate(u"/no/such/page.html"));
  view->MoveWindow(0, 0, 350, 250);
  CRect pane;
  view->GetBrowserWindow()->GetWindowRect(&pane);
  EXPECT_EQ(pane.Width(), 350) << "the pane fills the view";
  ::DestroyWindow(frame);
}

}  // namespace
