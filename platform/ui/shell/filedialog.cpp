// The file dialog: a folder, its files by the chosen filter, a name, and the program's panel below.

#include "platform/ui/afx/CFileDialog.h"

#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/DialogManager.h"
#include "platform/ui/internal/UiModule.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <vector>

namespace qvui {

namespace {

struct Filter {
  QString text;
  QStringList patterns;
};

std::vector<Filter> ParseFilters(LPCWSTR filter) {
  std::vector<Filter> out;
  for (LPCWSTR p = filter; p && *p;) {
    QString text = ToQt(p);
    p += text.size() + 1;
    if (!*p) break;
    QString patterns = ToQt(p);
    p += patterns.size() + 1;
    out.push_back({text, patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)});
  }
  return out;
}

bool MatchesAny(const QString& name, const QStringList& patterns) {
  if (patterns.isEmpty()) return true;
  for (QString pattern : patterns) {
    pattern = pattern.trimmed();
    if (pattern == QStringLiteral("*.*") || pattern == QStringLiteral("*")) return true;
    QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern), QRegularExpression::CaseInsensitiveOption);
    if (re.match(name).hasMatch()) return true;
  }
  return false;
}

// The panel of GetOpenFileNameW callers: a template with their hook as its procedure.
const DialogTemplate& EmptyPanel() {
  static const DialogTemplate panel = [] {
    DialogTemplate t;
    t.style = WS_CHILD | DS_CONTROL;
    return t;
  }();
  return panel;
}

}  // namespace

class FileDialogFrame : public CDialog {
public:
  FileDialogFrame(OPENFILENAMEW& ofn, bool open, CFileDialog* panel) : m_ofn(ofn), m_open(open), m_panel(panel) {}

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetWindowText(m_ofn.lpstrTitle ? m_ofn.lpstrTitle : m_open ? u"Open" : u"Save As");
    SetDlgItemText(IDOK, m_open ? u"&Open" : u"&Save");
    m_filters = ParseFilters(m_ofn.lpstrFilter);
    for (size_t i = 0; i < m_filters.size(); ++i)
      SendDlgItemMessage(IDC_FILE_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_filters[i].text.utf16()));
    int index = m_ofn.nFilterIndex >= 1 && m_ofn.nFilterIndex <= m_filters.size() ? static_cast<int>(m_ofn.nFilterIndex) - 1 : 0;
    if (!m_filters.empty()) SendDlgItemMessage(IDC_FILE_TYPE, CB_SETCURSEL, static_cast<WPARAM>(index));
    QString file = m_ofn.lpstrFile ? ToQt(m_ofn.lpstrFile) : QString();
    QString folder = m_ofn.lpstrInitialDir ? ToQt(m_ofn.lpstrInitialDir) : QString();
    if (QFileInfo(file).isAbsolute()) {
      folder = QFileInfo(file).absolutePath();
      file = QFileInfo(file).fileName();
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::currentPath();
    SetDlgItemText(IDC_FILE_NAME, reinterpret_cast<LPCWSTR>(file.utf16()));
    Navigate(folder);
    MakePanel();
    ::SetFocus(GetDlgItem(IDC_FILE_NAME)->GetSafeHwnd());
    ::SendDlgItemMessageW(m_hWnd, IDC_FILE_NAME, EM_SETSEL, 0, -1);
    return FALSE;
  }

  void OnOK() override {
    HWND focus = ::GetFocus();
    if (focus == ::GetDlgItem(m_hWnd, IDC_FILE_FOLDER)) {
      CString typed;
      GetDlgItemText(IDC_FILE_FOLDER, typed);
      if (!Navigate(ToQt(typed).trimmed())) MessageBeep(0);
      return;
    }
    CString typedName;
    GetDlgItemText(IDC_FILE_NAME, typedName);
    QString name = ToQt(typedName).trimmed();
    if (name.isEmpty()) {
      int sel = static_cast<int>(SendDlgItemMessage(IDC_FILE_LIST, LB_GETCURSEL));
      if (sel >= 0 && SendDlgItemMessage(IDC_FILE_LIST, LB_GETITEMDATA, static_cast<WPARAM>(sel)))
        Navigate(QDir(m_folder).filePath(m_entries[static_cast<size_t>(sel)]));
      return;
    }
    QString path = QDir::isAbsolutePath(name) ? name : QDir(m_folder).filePath(name);
    if (QFileInfo(path).isDir()) {
      Navigate(path);
      SetDlgItemText(IDC_FILE_NAME, u"");
      return;
    }
    if (QFileInfo(path).suffix().isEmpty() && m_ofn.lpstrDefExt && *m_ofn.lpstrDefExt) {
      QString ext = ToQt(m_ofn.lpstrDefExt);
      if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
      path += QLatin1Char('.') + ext;
    }
    path = QDir::cleanPath(path);
    if (!Check(path)) return;
    if (!Deliver(path)) {
      EndDialog(IDABORT);
      return;
    }
    if (m_panel && m_panel->OnFileNameOK()) return;
    EndDialog(IDOK);
  }

  void OnCancel() override { EndDialog(IDCANCEL); }

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == IDC_FILE_UP && code == BN_CLICKED) {
      Navigate(QFileInfo(m_folder).absolutePath());
      return TRUE;
    }
    if (id == IDC_FILE_TYPE && code == CBN_SELCHANGE) {
      m_ofn.nFilterIndex = static_cast<DWORD>(SendDlgItemMessage(IDC_FILE_TYPE, CB_GETCURSEL) + 1);
      Navigate(m_folder);
      return TRUE;
    }
    if (id == IDC_FILE_LIST && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
      int sel = static_cast<int>(SendDlgItemMessage(IDC_FILE_LIST, LB_GETCURSEL));
      if (sel < 0) return TRUE;
      bool folder = SendDlgItemMessage(IDC_FILE_LIST, LB_GETITEMDATA, static_cast<WPARAM>(sel)) != 0;
      const QString& entry = m_entries[static_cast<size_t>(sel)];
      if (!folder) SetDlgItemText(IDC_FILE_NAME, reinterpret_cast<LPCWSTR>(entry.utf16()));
      if (code == LBN_DBLCLK) {
        if (folder) Navigate(QDir(m_folder).filePath(entry));
        else OnOK();
      }
      return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
  }

private:
  bool Navigate(const QString& wanted) {
    QString folder = QDir::isAbsolutePath(wanted) ? wanted : QDir(m_folder).filePath(wanted);
    if (!QFileInfo(folder).isDir()) return false;
    m_folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    SetDlgItemText(IDC_FILE_FOLDER, reinterpret_cast<LPCWSTR>(m_folder.utf16()));
    SendDlgItemMessage(IDC_FILE_LIST, LB_RESETCONTENT);
    m_entries.clear();
    QDir dir(m_folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
      QString shown = info.fileName() + QLatin1Char('/');
      int at = static_cast<int>(SendDlgItemMessage(IDC_FILE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.utf16())));
      SendDlgItemMessage(IDC_FILE_LIST, LB_SETITEMDATA, static_cast<WPARAM>(at), 1);
      m_entries.push_back(info.fileName());
    }
    int index = static_cast<int>(SendDlgItemMessage(IDC_FILE_TYPE, CB_GETCURSEL));
    QStringList patterns = index >= 0 && index < static_cast<int>(m_filters.size()) ? m_filters[static_cast<size_t>(index)].patterns : QStringList();
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
      if (!MatchesAny(info.fileName(), patterns)) continue;
      SendDlgItemMessage(IDC_FILE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(info.fileName().utf16()));
      m_entries.push_back(info.fileName());
    }
    return true;
  }

  // The checks the flags ask for; FALSE keeps the dialog open (the user has been told why).
  bool Check(const QString& path) {
    QFileInfo info(path);
    std::u16string shown = path.toStdU16String();
    CString text;
    if ((m_ofn.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !QFileInfo(info.absolutePath()).isDir()) {
      text.Format(u"%s\nThe folder does not exist.\nCheck the path and try again.", shown.c_str());
      ::MessageBoxW(m_hWnd, text.GetString(), Title(), MB_OK | MB_ICONEXCLAMATION);
      return false;
    }
    if ((m_ofn.Flags & OFN_FILEMUSTEXIST) && !info.exists()) {
      text.Format(u"%s\nFile not found.\nCheck the file name and try again.", shown.c_str());
      ::MessageBoxW(m_hWnd, text.GetString(), Title(), MB_OK | MB_ICONEXCLAMATION);
      return false;
    }
    if (!m_open && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && info.exists()) {
      text.Format(u"%s already exists.\nDo you want to replace it?", shown.c_str());
      if (::MessageBoxW(m_hWnd, text.GetString(), Title(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return false;
    }
    if ((m_ofn.Flags & OFN_CREATEPROMPT) && !info.exists()) {
      text.Format(u"%s does not exist.\nDo you want to create it?", shown.c_str());
      if (::MessageBoxW(m_hWnd, text.GetString(), Title(), MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    }
    return true;
  }

  LPCWSTR Title() {
    GetWindowText(m_title);
    return m_title.GetString();
  }

  // Hands the path to the caller's record; FALSE when the caller's buffer is too small.
  bool Deliver(const QString& path) {
    if (!m_ofn.lpstrFile || static_cast<DWORD>(path.size()) + 1 > m_ofn.nMaxFile) {
      SetCommonDialogError(FNERR_BUFFERTOOSMALL);
      if (m_ofn.lpstrFile && m_ofn.nMaxFile >= 2) *reinterpret_cast<WORD*>(m_ofn.lpstrFile) = static_cast<WORD>(path.size() + 1);
      return false;
    }
    CopyOut(path, m_ofn.lpstrFile, static_cast<int>(m_ofn.nMaxFile));
    int slash = static_cast<int>(path.lastIndexOf(QLatin1Char('/')));
    m_ofn.nFileOffset = static_cast<WORD>(slash + 1);
    int dot = static_cast<int>(path.lastIndexOf(QLatin1Char('.')));
    m_ofn.nFileExtension = static_cast<WORD>(dot > slash ? dot + 1 : path.size());
    if (m_ofn.lpstrFileTitle && m_ofn.nMaxFileTitle)
      CopyOut(path.mid(slash + 1), m_ofn.lpstrFileTitle, static_cast<int>(m_ofn.nMaxFileTitle));
    m_ofn.nFilterIndex = static_cast<DWORD>(SendDlgItemMessage(IDC_FILE_TYPE, CB_GETCURSEL) + 1);
    return true;
  }

  // The program's panel goes below the dialog's own items; the dialog grows to hold it.
  void MakePanel() {
    const DialogTemplate* t = nullptr;
    if (m_ofn.Flags & OFN_ENABLETEMPLATE) {
      t = FindDialogTemplate(m_ofn.hInstance, m_ofn.lpTemplateName);
      if (!t) t = FindDialogTemplate(nullptr, m_ofn.lpTemplateName);
    }
    if (!t && !m_panel && !(m_ofn.Flags & OFN_ENABLEHOOK)) return;
    if (!t) t = &EmptyPanel();
    CRect client;
    GetClientRect(&client);
    RECT place {0, client.bottom, 0, client.bottom};
    RECT size {0, 0, t->cx, t->cy};
    ::MapDialogRect(m_hWnd, &size);
    place.right = std::max<LONG>(client.right, size.right);
    place.bottom = client.bottom + size.bottom;
    ChildPlacement child {WS_VISIBLE, 0, &place};
    auto hook = (m_ofn.Flags & OFN_ENABLEHOOK) ? reinterpret_cast<DLGPROC>(m_ofn.lpfnHook) : nullptr;
    HWND panel = CreateDialogWindow(*t, m_ofn.hInstance, m_hWnd, hook, reinterpret_cast<LPARAM>(&m_ofn), m_panel, &child);
    if (!panel) return;
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width() + (place.right - client.right), window.Height() + size.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  OPENFILENAMEW& m_ofn;
  bool m_open {};
  CFileDialog* m_panel {};
  std::vector<Filter> m_filters;
  std::vector<QString> m_entries;  // the list's entries, folders first
  QString m_folder;
  CString m_title;
};

namespace {

BOOL RunFileDialog(OPENFILENAMEW& ofn, bool open, CFileDialog* panel, CWnd* parent) {
  SetCommonDialogError(0);
  const DialogTemplate* t = UiTemplate(u"QVUI_IDD_FILEDIALOG");
  if (!t) {
    SetCommonDialogError(CDERR_FINDRESFAILURE);
    return FALSE;
  }
  FileDialogFrame frame(ofn, open, panel);
  frame.InitModalIndirect(t, parent ? parent : CWnd::FromHandle(ofn.hwndOwner));
  return frame.DoModal() == IDOK;
}

}  // namespace

}  // namespace qvui

using namespace qvui;

BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn) { return ofn && RunFileDialog(*ofn, true, nullptr, nullptr); }
BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn) { return ofn && RunFileDialog(*ofn, false, nullptr, nullptr); }
namespace {
DWORD g_commonDialogError = 0;
}
void qvui::SetCommonDialogError(DWORD error) { g_commonDialogError = error; }
DWORD CommDlgExtendedError() { return g_commonDialogError; }

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL openFileDialog, LPCWSTR defaultExtension, LPCWSTR fileName, DWORD flags, LPCWSTR filter,
                         CWnd* parent)
    : m_bOpenFileDialog(openFileDialog), m_defaultExtension(defaultExtension) {
  m_pParentWnd = parent;
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.Flags = flags | OFN_EXPLORER;
  m_ofn.lpstrFile = m_fileName;
  m_ofn.nMaxFile = static_cast<DWORD>(std::size(m_fileName));
  m_ofn.lpstrFileTitle = m_fileTitle;
  m_ofn.nMaxFileTitle = static_cast<DWORD>(std::size(m_fileTitle));
  m_ofn.lpstrDefExt = defaultExtension ? m_defaultExtension.GetString() : nullptr;
  m_ofn.nFilterIndex = 1;
  if (fileName) CopyOut(ToQt(fileName), m_fileName, static_cast<int>(std::size(m_fileName)));
  if (filter) {
    // "A|*.a|B|*.b||" becomes the null-separated list of the record.
    m_filter = filter;
    m_filter.Replace(u'|', u'\0');
    m_ofn.lpstrFilter = m_filter.GetString();
  }
}

INT_PTR CFileDialog::DoModal() {
  return RunFileDialog(m_ofn, m_bOpenFileDialog, this, m_pParentWnd) ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile); }

CString CFileDialog::GetFileName() const {
  QString path = ToQt(m_ofn.lpstrFile);
  return FromQt(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

CString CFileDialog::GetFileExt() const {
  QString name = ToQt(GetFileName());
  int dot = static_cast<int>(name.lastIndexOf(QLatin1Char('.')));
  return dot < 0 ? CString() : FromQt(name.mid(dot + 1));
}

CString CFileDialog::GetFileTitle() const {
  QString name = ToQt(GetFileName());
  int dot = static_cast<int>(name.lastIndexOf(QLatin1Char('.')));
  return FromQt(dot < 0 ? name : name.left(dot));
}

CString CFileDialog::GetFolderPath() const {
  QString path = ToQt(m_ofn.lpstrFile);
  return FromQt(path.left(std::max(0, static_cast<int>(path.lastIndexOf(QLatin1Char('/'))))));
}

void CFileDialog::SetControlText(int id, LPCWSTR text) {
  if (CWnd* frame = GetParent()) frame->SetDlgItemText(id, text);
}

void CFileDialog::HideControl(int id) {
  if (CWnd* frame = GetParent())
    if (CWnd* item = frame->GetDlgItem(id)) item->ShowWindow(SW_HIDE);
}
