// The folder browser: a tree of folders that opens as it is explored, with an optional edit line
// and status text, and a callback that hears of the browser's events and may steer it.

#include "platform/ui/shell/shlobj.h"

#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/DialogManager.h"
#include "platform/ui/internal/UiModule.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <vector>

namespace qvui {

namespace {

struct Browser {
  BROWSEINFOW* info {};
  std::vector<QString> paths;          // item data indexes this
  std::vector<bool> filled;
  QString chosen;
  bool ok {};
};

Browser* BrowserOf(HWND dialog) { return reinterpret_cast<Browser*>(GetWindowLongPtrW(dialog, GWLP_USERDATA)); }

HWND Tree(HWND dialog) { return GetDlgItem(dialog, IDC_BROWSE_TREE); }

HTREEITEM AddFolder(HWND dialog, Browser& b, HTREEITEM parent, const QString& path, const QString& name) {
  b.paths.push_back(QDir::cleanPath(path));
  b.filled.push_back(false);
  std::u16string text = name.toStdU16String();
  bool children = !QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty();
  TVINSERTSTRUCTW is {parent, TVI_LAST,
                      TVITEMW {TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN, nullptr, 0, 0, text.data(), 0, 0, 0,
                               children ? 1 : 0, static_cast<LPARAM>(b.paths.size() - 1)}};
  return reinterpret_cast<HTREEITEM>(SendMessageW(Tree(dialog), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&is)));
}

LPARAM IndexOf(HWND dialog, HTREEITEM item) {
  TVITEMW tv {TVIF_PARAM | TVIF_HANDLE, item, 0, 0, nullptr, 0, 0, 0, 0, -1};
  return SendMessageW(Tree(dialog), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) ? tv.lParam : -1;
}

void Fill(HWND dialog, Browser& b, HTREEITEM item) {
  LPARAM index = IndexOf(dialog, item);
  if (index < 0 || b.filled[static_cast<size_t>(index)]) return;
  b.filled[static_cast<size_t>(index)] = true;
  QDir dir(b.paths[static_cast<size_t>(index)]);
  QDir::Filters filter = QDir::Dirs | QDir::NoDotAndDotDot;
  if (b.info->ulFlags & BIF_BROWSEINCLUDEFILES) filter |= QDir::Files;
  for (const QFileInfo& entry : dir.entryInfoList(filter, QDir::Name | QDir::IgnoreCase))
    AddFolder(dialog, b, item, entry.absoluteFilePath(), entry.fileName());
}

LPITEMIDLIST ListOf(const QString& path) { return ILCreateFromPathW(reinterpret_cast<LPCWSTR>(path.utf16())); }

int Callback(HWND dialog, Browser& b, UINT message, LPARAM param) {
  return b.info->lpfn ? b.info->lpfn(dialog, message, param, b.info->lParam) : 0;
}

// Opens the tree down to the path and selects it; FALSE when it is not under the root.
bool SelectPath(HWND dialog, Browser& b, const QString& wanted, bool expand) {
  QString path = QDir::cleanPath(wanted);
  HWND tree = Tree(dialog);
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  HTREEITEM found = nullptr;
  while (item) {
    QString here = b.paths[static_cast<size_t>(IndexOf(dialog, item))];
    if (here == path) {
      found = item;
      break;
    }
    QString prefix = here.endsWith(QLatin1Char('/')) ? here : here + QLatin1Char('/');
    if (path.startsWith(prefix)) {
      Fill(dialog, b, item);
      SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
      item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    } else {
      item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
  }
  if (!found) return false;
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(found));
  if (expand) {
    Fill(dialog, b, found);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(found));
  }
  return true;
}

QString Selected(HWND dialog, Browser& b) {
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(dialog), TVM_GETNEXTITEM, TVGN_CARET, 0));
  LPARAM index = item ? IndexOf(dialog, item) : -1;
  return index >= 0 ? b.paths[static_cast<size_t>(index)] : QString();
}

void Init(HWND dialog, Browser& b) {
  UINT flags = b.info->ulFlags;
  SetDlgItemTextW(dialog, IDC_BROWSE_TITLE, b.info->lpszTitle ? b.info->lpszTitle : u"");
  ShowWindow(GetDlgItem(dialog, IDC_BROWSE_STATUS), (flags & BIF_STATUSTEXT) ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_BROWSE_EDIT), (flags & BIF_EDITBOX) ? SW_SHOW : SW_HIDE);
  bool newFolder = (flags & BIF_NEWDIALOGSTYLE) && !(flags & BIF_NONEWFOLDERBUTTON);
  ShowWindow(GetDlgItem(dialog, IDC_BROWSE_NEWFOLDER), newFolder ? SW_SHOW : SW_HIDE);
  WCHAR root[MAX_PATH];
  if (b.info->pidlRoot && SHGetPathFromIDListW(b.info->pidlRoot, root)) {
    QString path = ToQt(root);
    HTREEITEM item = AddFolder(dialog, b, TVI_ROOT, path, path == QStringLiteral("/") ? path : QFileInfo(path).fileName());
    Fill(dialog, b, item);
    SendMessageW(Tree(dialog), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
  } else {
    AddFolder(dialog, b, TVI_ROOT, QDir::homePath(), QFileInfo(QDir::homePath()).fileName());
    AddFolder(dialog, b, TVI_ROOT, QStringLiteral("/"), QStringLiteral("/"));
  }
  // The first folder is where the browser starts.
  auto first = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(dialog), TVM_GETNEXTITEM, TVGN_ROOT, 0));
  SendMessageW(Tree(dialog), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
  SetFocus(Tree(dialog));
  Callback(dialog, b, BFFM_INITIALIZED, 0);
}

void OnOk(HWND dialog, Browser& b) {
  QString chosen = Selected(dialog, b);
  if (b.info->ulFlags & BIF_EDITBOX) {
    WCHAR text[MAX_PATH * 4];
    GetDlgItemTextW(dialog, IDC_BROWSE_EDIT, text, MAX_PATH * 4);
    QString typed = ToQt(text).trimmed();
    QString base = chosen.isEmpty() ? QDir::homePath() : chosen;
    if (!typed.isEmpty()) {
      QString path = QDir::isAbsolutePath(typed) ? typed : QDir(base).filePath(typed);
      QFileInfo info(path);
      bool fits = info.isDir() || ((b.info->ulFlags & BIF_BROWSEINCLUDEFILES) && info.exists());
      if (!fits) {
        // The callback may keep the browser open; otherwise it ends without a choice.
        if (Callback(dialog, b, BFFM_VALIDATEFAILEDW, reinterpret_cast<LPARAM>(text))) return;
        b.ok = false;
        EndDialog(dialog, IDCANCEL);
        return;
      }
      chosen = QDir::cleanPath(info.absoluteFilePath());
    }
  }
  if (chosen.isEmpty()) return;
  b.chosen = chosen;
  b.ok = true;
  EndDialog(dialog, IDOK);
}

void MakeNewFolder(HWND dialog, Browser& b) {
  QString parent = Selected(dialog, b);
  if (parent.isEmpty()) return;
  QDir dir(parent);
  QString name = QStringLiteral("New Folder");
  for (int n = 2; dir.exists(name); ++n) name = QStringLiteral("New Folder (%1)").arg(n);
  if (!dir.mkdir(name)) {
    MessageBeep(0);
    return;
  }
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(dialog), TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item && b.filled[static_cast<size_t>(IndexOf(dialog, item))]) AddFolder(dialog, b, item, dir.filePath(name), name);
  SelectPath(dialog, b, dir.filePath(name), false);
}

INT_PTR BrowseProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Browser* b = BrowserOf(dialog);
  switch (message) {
  case WM_INITDIALOG:
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    Init(dialog, *reinterpret_cast<Browser*>(lParam));
    return FALSE;
  case WM_NOTIFY: {
    auto* nm = reinterpret_cast<NMTREEVIEWW*>(lParam);
    if (!b || nm->hdr.idFrom != IDC_BROWSE_TREE) return FALSE;
    if (nm->hdr.code == TVN_ITEMEXPANDINGW) Fill(dialog, *b, nm->itemNew.hItem);
    if (nm->hdr.code == TVN_SELCHANGEDW && nm->itemNew.hItem) {
      QString path = b->paths[static_cast<size_t>(nm->itemNew.lParam)];
      SetDlgItemTextW(dialog, IDC_BROWSE_EDIT, reinterpret_cast<LPCWSTR>(QFileInfo(path).fileName().utf16()));
      LPITEMIDLIST list = ListOf(path);
      Callback(dialog, *b, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(list));
      ILFree(list);
    }
    return TRUE;
  }
  case WM_COMMAND:
    if (!b) return FALSE;
    if (LOWORD(wParam) == IDOK) OnOk(dialog, *b);
    else if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    else if (LOWORD(wParam) == IDC_BROWSE_NEWFOLDER && HIWORD(wParam) == BN_CLICKED) MakeNewFolder(dialog, *b);
    else return FALSE;
    return TRUE;
  case BFFM_ENABLEOK: EnableWindow(GetDlgItem(dialog, IDOK), lParam != 0); return TRUE;
  case BFFM_SETOKTEXT: SetDlgItemTextW(dialog, IDOK, reinterpret_cast<LPCWSTR>(lParam)); return TRUE;
  case BFFM_SETSTATUSTEXTW: SetDlgItemTextW(dialog, IDC_BROWSE_STATUS, reinterpret_cast<LPCWSTR>(lParam)); return TRUE;
  case BFFM_SETSELECTIONW:
  case BFFM_SETEXPANDED: {
    if (!b || !lParam) return TRUE;
    WCHAR path[MAX_PATH];
    QString wanted = wParam ? ToQt(reinterpret_cast<LPCWSTR>(lParam))
                            : (SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), path) ? ToQt(path) : QString());
    SelectPath(dialog, *b, wanted, message == BFFM_SETEXPANDED);
    return TRUE;
  }
  default: return FALSE;
  }
}

}  // namespace

}  // namespace qvui

using namespace qvui;

LPITEMIDLIST SHBrowseForFolderW(LPBROWSEINFOW info) {
  if (!info) return nullptr;
  const DialogTemplate* t = UiTemplate(u"QVUI_IDD_BROWSEFOLDER");
  if (!t) return nullptr;
  Browser b;
  b.info = info;
  INT_PTR result = DialogBoxIndirectParamW(UiModule(), t, info->hwndOwner, &BrowseProc, reinterpret_cast<LPARAM>(&b));
  if (result != IDOK || !b.ok) return nullptr;
  if (info->pszDisplayName) CopyOut(QFileInfo(b.chosen).fileName().isEmpty() ? b.chosen : QFileInfo(b.chosen).fileName(),
                                    info->pszDisplayName, MAX_PATH);
  return ListOf(b.chosen);
}
