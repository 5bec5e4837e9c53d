// The file dialog with a program's panel, and the folder browser with its callback.

#include "platform/ui/afx/CFileDialog.h"
#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/shell/shlobj.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

void Touch(const QString& path) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

std::vector<CString> ListEntries(HWND frame) {
  std::vector<CString> out;
  HWND list = ::GetDlgItem(frame, IDC_FILE_LIST);
  int n = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    WCHAR text[MAX_PATH] {};
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    out.emplace_back(text);
  }
  return out;
}

// Answers message boxes from a list of answers, counting them.
struct Answers {
  explicit Answers(std::vector<int> list) {
    s_list = std::move(list);
    s_asked = 0;
    before = SetMessageBoxHandler([](HWND, LPCWSTR, LPCWSTR, UINT) {
      int answer = s_asked < static_cast<int>(s_list.size()) ? s_list[static_cast<size_t>(s_asked)] : IDOK;
      ++s_asked;
      return answer;
    });
  }
  ~Answers() { SetMessageBoxHandler(before); }
  static inline std::vector<int> s_list;
  static inline int s_asked = 0;
  MessageBoxHandler before;
};


class Files : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Touch(dir.filePath(QStringLiteral("old.pdf")));
    Touch(dir.filePath(QStringLiteral("notes.txt")));
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    Touch(dir.filePath(QStringLiteral("sub/inner.pdf")));
    folder = dir.path().toStdU16String();
  }
  QString Path(const char* name) const { return QDir::cleanPath(dir.filePath(QString::fromUtf8(name))); }
  QTemporaryDir dir;
  std::u16string folder;
};

TEST_F(Files, ASaveDialogListsByFilterAddsTheExtensionAndAsksBeforeReplacing) {
  Answers answers({IDNO, IDYES});
  CFileDialog dialog(FALSE, u".pdf", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, u"PDF File (*.pdf)|*.pdf|All files (*.*)|*.*||");
  dialog.m_ofn.lpstrInitialDir = folder.c_str();
  bool stayed = false;
  std::vector<CString> pdfOnly, all;
  INT_PTR result = RunModal(dialog, [&](CDialog& panel) {
    HWND frame = ::GetParent(panel.GetSafeHwnd());
    pdfOnly = ListEntries(frame);
    ::SendDlgItemMessageW(frame, IDC_FILE_TYPE, CB_SETCURSEL, 1, 0);
    ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDC_FILE_TYPE, CBN_SELCHANGE), 0);
    all = ListEntries(frame);
    ::SendDlgItemMessageW(frame, IDC_FILE_TYPE, CB_SETCURSEL, 0, 0);
    ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDC_FILE_TYPE, CBN_SELCHANGE), 0);
    ::SetDlgItemTextW(frame, IDC_FILE_NAME, u"old");
    ::SetFocus(::GetDlgItem(frame, IDC_FILE_NAME));
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    stayed = ::IsWindowVisible(frame);
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  });
  EXPECT_EQ(pdfOnly, (std::vector<CString> {u"sub/", u"old.pdf"})) << "folders first, files by the filter";
  EXPECT_EQ(all, (std::vector<CString> {u"sub/", u"notes.txt", u"old.pdf"}));
  EXPECT_TRUE(stayed) << "No to the replace question keeps the dialog";
  EXPECT_EQ(Answers::s_asked, 2);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(QString::fromStdU16String(dialog.GetPathName().Str()), Path("old.pdf"));
  EXPECT_EQ(dialog.GetFileTitle(), CString(u"old"));
  EXPECT_EQ(dialog.GetFileExt(), CString(u"pdf"));
  EXPECT_EQ(dialog.m_ofn.nFilterIndex, 1u);
}

TEST_F(Files, AnOpenDialogEntersFoldersAndWantsAFileThatExists) {
  Answers answers({});
  CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, u"PDF File (*.pdf)|*.pdf||");
  dialog.m_ofn.lpstrInitialDir = folder.c_str();
  INT_PTR result = RunModal(dialog, [&](CDialog& panel) {
    HWND frame = ::GetParent(panel.GetSafeHwnd());
    ::SetFocus(::GetDlgItem(frame, IDC_FILE_NAME));
    ::SetDlgItemTextW(frame, IDC_FILE_NAME, u"missing.pdf");
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(Answers::s_asked, 1) << "the user is told the file is not there";
    ::SetDlgItemTextW(frame, IDC_FILE_NAME, u"sub");
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(ListEntries(frame), (std::vector<CString> {u"inner.pdf"})) << "a folder's name opens it";
    ::SendDlgItemMessageW(frame, IDC_FILE_LIST, LB_SETCURSEL, 0, 0);
    ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_DBLCLK), 0);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(QString::fromStdU16String(dialog.GetPathName().Str()), Path("sub/inner.pdf"));
}

// A derived dialog with a panel, as the program's export and PDF dialogs are made.
class PanelDialog : public CFileDialog {
public:
  PanelDialog() : CFileDialog(FALSE, u"csv", nullptr, OFN_HIDEREADONLY, u"CSV file (*.csv)|*.csv||") {
    m_ofn.Flags |= OFN_ENABLETEMPLATE;
    m_ofn.lpTemplateName = u"IDD_TEST_FILEPANEL";
  }
  BOOL OnInitDialog() override {
    CFileDialog::OnInitDialog();
    CWnd* frame = GetParent();
    typeLabelFound = frame && frame->GetDlgItem(IDC_FILE_TYPE_LABEL) && frame->GetDlgItem(IDC_FILE_TYPE);
    CheckDlgButton(1001, BST_CHECKED);
    return TRUE;
  }
  BOOL OnFileNameOK() override {
    ++checks;
    headings = IsDlgButtonChecked(1001);
    return checks == 1;  // the first name is refused
  }
  bool typeLabelFound = false;
  int checks = 0;
  UINT headings = 0;
};

TEST_F(Files, APanelSitsBelowTheDialogsItemsAndChecksTheName) {
  PanelDialog dialog;
  dialog.m_ofn.lpstrInitialDir = folder.c_str();
  CRect panelRect, typeRect;
  INT_PTR result = RunModal(dialog, [&](CDialog& panel) {
    HWND frame = ::GetParent(panel.GetSafeHwnd());
    panel.GetWindowRect(&panelRect);
    ::GetWindowRect(::GetDlgItem(frame, IDC_FILE_TYPE), &typeRect);
    ::SetFocus(::GetDlgItem(frame, IDC_FILE_NAME));
    ::SetDlgItemTextW(frame, IDC_FILE_NAME, u"export");
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_TRUE(::IsWindowVisible(frame)) << "the panel refused the first name";
    panel.CheckDlgButton(1001, BST_UNCHECKED);
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  });
  EXPECT_TRUE(dialog.typeLabelFound);
  EXPECT_GE(panelRect.top, typeRect.bottom);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.checks, 2);
  EXPECT_EQ(dialog.headings, static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(QString::fromStdU16String(dialog.GetPathName().Str()), Path("export.csv"));
}

TEST_F(Files, ACallersBufferTooSmallFailsWithItsError) {
  WCHAR small[8] {};
  OPENFILENAMEW ofn {};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFile = small;
  ofn.nMaxFile = 8;
  ofn.lpstrInitialDir = folder.c_str();
  QTimer::singleShot(0, [] {
    HWND frame = ShownDialog();
    ASSERT_NE(frame, nullptr);
    ::SetDlgItemTextW(frame, IDC_FILE_NAME, u"a-long-file-name.txt");
    ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_FALSE(GetSaveFileNameW(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
}

// The folder browser, steered from its callback as the program's pickers do.
struct Browse {
  Browse() {
    // A browser still open when the time is up is cancelled, so a failing test does not hang.
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
      ADD_FAILURE() << "the browser was still open when the time was up";
      ::EndDialog(ShownDialog(), IDCANCEL);
    });
    guard.start(5000);
  }
  QTimer guard;
  std::function<void(HWND)> onInit;
  std::vector<QString> selections;
  int validateAnswer = 0;
  int validations = 0;
};

int BrowseCallback(HWND dialog, UINT message, LPARAM param, LPARAM data) {
  auto* b = reinterpret_cast<Browse*>(data);
  if (message == BFFM_INITIALIZED && b->onInit) QTimer::singleShot(0, [b, dialog] { b->onInit(dialog); });
  if (message == BFFM_SELCHANGED) {
    WCHAR path[MAX_PATH];
    if (SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(param), path)) b->selections.push_back(QString::fromUtf16(path));
  }
  if (message == BFFM_VALIDATEFAILEDW) {
    ++b->validations;
    return b->validateAnswer;
  }
  return 0;
}

TEST_F(Files, TheFolderBrowserSelectsWhatItsCallbackAsksAndAnswersTheChoice) {
  std::u16string start = Path("sub").toStdU16String();
  Browse b;
  b.onInit = [&start](HWND dialog) {
    ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start.c_str()));
    ::SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(u"Pick one"));
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
  LPITEMIDLIST root = ILCreateFromPathW(folder.c_str());
  WCHAR name[MAX_PATH] {};
  BROWSEINFOW info {nullptr, root, name, u"Choose a folder", BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT, &BrowseCallback,
                    reinterpret_cast<LPARAM>(&b), 0};
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  ASSERT_NE(chosen, nullptr);
  WCHAR path[MAX_PATH];
  ASSERT_TRUE(SHGetPathFromIDListW(chosen, path));
  EXPECT_EQ(QString::fromUtf16(path), Path("sub"));
  EXPECT_EQ(std::u16string(name), u"sub");
  ASSERT_FALSE(b.selections.empty());
  EXPECT_EQ(b.selections.back(), Path("sub")) << "the callback hears of the selection";
  CoTaskMemFree(chosen);
  ILFree(root);
}

TEST_F(Files, ATypedFolderThatIsMissingGoesToTheCallback) {
  Browse b;
  b.validateAnswer = 1;
  b.onInit = [&b](HWND dialog) {
    ::SetDlgItemTextW(dialog, IDC_BROWSE_EDIT, u"no-such-folder");
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "a non-zero answer keeps the browser";
    EXPECT_EQ(b.validations, 1);
    ::SetDlgItemTextW(dialog, IDC_BROWSE_EDIT, u"sub");
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
  LPITEMIDLIST root = ILCreateFromPathW(folder.c_str());
  BROWSEINFOW info {nullptr, root, nullptr, u"Choose", BIF_EDITBOX, &BrowseCallback, reinterpret_cast<LPARAM>(&b), 0};
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  ASSERT_NE(chosen, nullptr);
  WCHAR path[MAX_PATH];
  ASSERT_TRUE(SHGetPathFromIDListW(chosen, path));
  EXPECT_EQ(QString::fromUtf16(path), Path("sub")) << "a typed name is taken below the selected folder";
  CoTaskMemFree(chosen);
  ILFree(root);
}

TEST(Shell, ItemListsArePathsAndTheUsersFoldersAreKnown) {
  EXPECT_EQ(ILCreateFromPathW(u"relative/path"), nullptr);
  LPITEMIDLIST list = nullptr;
  ASSERT_EQ(SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, &list), S_OK);
  WCHAR path[MAX_PATH];
  ASSERT_TRUE(SHGetPathFromIDListW(list, path));
  EXPECT_EQ(std::u16string(path), u"/");
  LPMALLOC allocator = nullptr;
  ASSERT_EQ(SHGetMalloc(&allocator), S_OK);
  allocator->Free(list);
  allocator->Release();
  std::u16string longPath = u"/" + std::u16string(MAX_PATH, u'a');
  list = ILCreateFromPathW(longPath.c_str());
  EXPECT_FALSE(SHGetPathFromIDListW(list, path)) << "a path longer than the buffer fails";
  ILFree(list);
}

TEST_F(Files, TheBrowsersTreeAndEditGoByTheClassNamesItsCallbacksLookFor) {
  Browse b;
  std::vector<std::u16string> classes;
  int treeItems = -1;
  b.onInit = [&](HWND dialog) {
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM found) {
          WCHAR name[64] {};
          ::GetClassNameW(child, name, 64);
          reinterpret_cast<std::vector<std::u16string>*>(found)->push_back(name);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&classes));
    treeItems = static_cast<int>(::SendDlgItemMessageW(dialog, IDC_BROWSE_TREE, TVM_GETCOUNT, 0, 0));
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  };
  LPITEMIDLIST root = ILCreateFromPathW(folder.c_str());
  BROWSEINFOW info {nullptr, root, nullptr, u"Choose", BIF_EDITBOX | BIF_NEWDIALOGSTYLE, &BrowseCallback,
                    reinterpret_cast<LPARAM>(&b), 0};
  EXPECT_EQ(SHBrowseForFolderW(&info), nullptr) << "cancelled";
  ILFree(root);
  auto has = [&classes](const std::u16string& name) { return std::count(classes.begin(), classes.end(), name) == 1; };
  EXPECT_TRUE(has(WC_BROWSEFOLDERTREEW));
  EXPECT_TRUE(has(u"Edit"));
  EXPECT_GT(treeItems, 0) << "the tree by that name is the folder tree";
}

// Records what ShellExecuteW would have the desktop open.
std::vector<QString> g_opened;
BOOL RecordOpen(LPCWSTR url) {
  g_opened.push_back(QString::fromUtf16(url));
  return TRUE;
}

TEST_F(Files, ShellExecuteOpensDocumentsFoundIgnoringCaseAndAddresses) {
  Touch(Path("Report.PDF"));
  DocumentOpener before = SetDocumentOpener(&RecordOpen);
  struct Case {
    const char16_t* verb;
    std::u16string file;
    const char16_t* directory;
    std::uintptr_t answer;
    QString opened;
  };
  const Case cases[] = {
      {u"open", folder + u"/old.pdf", nullptr, 33, QUrl::fromLocalFile(Path("old.pdf")).toString()},
      {nullptr, u"sub/inner.pdf", folder.c_str(), 33, QUrl::fromLocalFile(Path("sub/inner.pdf")).toString()},
      {u"open", folder + u"/report.pdf", nullptr, 33, QUrl::fromLocalFile(Path("Report.PDF")).toString()},
      {u"open", folder + u"\\sub\\inner.pdf", nullptr, 33, QUrl::fromLocalFile(Path("sub/inner.pdf")).toString()},
      {u"open", u"https://example.org/help", nullptr, 33, QStringLiteral("https://example.org/help")},
      {u"open", folder + u"/missing.pdf", nullptr, SE_ERR_FNF, QString()},
      {u"print", folder + u"/old.pdf", nullptr, SE_ERR_NOASSOC, QString()},
      {u"open", u"", nullptr, SE_ERR_FNF, QString()},
  };
  for (const Case& c : cases) {
    g_opened.clear();
    HINSTANCE answer = ShellExecuteW(nullptr, c.verb, c.file.c_str(), nullptr, c.directory, SW_SHOWMAXIMIZED);
    QString what = QString::fromStdU16String(c.file);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(answer), c.answer) << what.toStdString();
    EXPECT_EQ(g_opened, c.opened.isEmpty() ? std::vector<QString>() : std::vector<QString> {c.opened}) << what.toStdString();
  }
  SetDocumentOpener([](LPCWSTR) { return FALSE; });
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ShellExecuteW(nullptr, u"open", (folder + u"/old.pdf").c_str(), nullptr, nullptr, 1)),
            static_cast<std::uintptr_t>(SE_ERR_NOASSOC))
      << "nothing takes the document";
  SetDocumentOpener(before);
}

}  // namespace
