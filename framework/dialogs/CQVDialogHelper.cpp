#include "framework/dialogs/CQVDialogHelper.h"

#include "platform/ui/afx/CDialog.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/gdi/CFont.h"

CQVDialogHelper::CQVDialogHelper(CWnd* owner) : m_pOwner(owner) {}

// ---- Item map ---------------------------------------------------------------------------------

void CQVDialogHelper::BeginIDMap(LPCWSTR name) {
  m_strIDMapName = name ? name : u"";
  m_strIDMapName.Trim();
  m_items.clear();
}

void CQVDialogHelper::DlgItem(int id, LPCWSTR name, BOOL translate) {
  if (id == 0 || !name) return;
  CString key(name);
  key.Trim();
  m_items.push_back({id, key, translate});
}

BOOL CQVDialogHelper::GetDialogID(CString& name) const {
  name = m_strIDMapName;
  return !name.IsEmpty();
}

BOOL CQVDialogHelper::GetDlgItemID(int id, CString& name) const {
  if (id == 0) return FALSE;
  for (const __CQVDlgItemIDMapItem& item : m_items)
    if (item.id == id) {
      name = item.name;
      return TRUE;
    }
  return FALSE;
}

BOOL CQVDialogHelper::GetDlgItemID(LPCWSTR name, int& id) const {
  CString key(name ? name : u"");
  key.Trim();
  if (key.IsEmpty()) return FALSE;
  auto find = [this, &id](const CString& wanted) {
    for (const __CQVDlgItemIDMapItem& item : m_items)
      if (item.name == wanted) {
        id = item.id;
        return TRUE;
      }
    return FALSE;
  };
  if (find(key)) return TRUE;
  if (m_strIDMapName.IsEmpty() || key.Left(m_strIDMapName.GetLength()) == m_strIDMapName) return FALSE;
  return find(m_strIDMapName + u"_" + key);
}

// ---- Items ------------------------------------------------------------------------------------

CWnd* CQVDialogHelper::Item(int id) const {
  if (!m_pOwner || !m_pOwner->GetSafeHwnd()) return nullptr;
  CWnd* item = m_pOwner->GetDlgItem(id);
  return item && item->GetSafeHwnd() ? item : nullptr;
}

BOOL CQVDialogHelper::ItemRect(CWnd* item, CRect& rect) const {
  if (!item) return FALSE;
  item->GetWindowRect(&rect);
  m_pOwner->ScreenToClient(&rect);
  return TRUE;
}

void CQVDialogHelper::ShowDlgItem(int id, BOOL show) {
  if (CWnd* item = Item(id)) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CQVDialogHelper::EnableDlgItem(int id, BOOL enable) {
  if (CWnd* item = Item(id)) item->EnableWindow(enable);
}

void CQVDialogHelper::SizeDlgItem(int id, int cx, int cy, BOOL repaint) {
  CWnd* item = Item(id);
  CRect rect;
  if (!ItemRect(item, rect)) return;
  item->MoveWindow(rect.left, rect.top, cx, cy, repaint);
}

void CQVDialogHelper::MoveDlgItem(int id, CRect rect, BOOL repaint) {
  if (CWnd* item = Item(id)) item->MoveWindow(&rect, repaint);
}

void CQVDialogHelper::MoveDlgItem(int id, int x, int y, int anchor, BOOL repaint) {
  if (anchor < 1 || anchor > 9) return;
  CWnd* item = Item(id);
  CRect rect;
  if (!ItemRect(item, rect)) return;
  const int w = rect.Width();
  const int h = rect.Height();
  // Anchors run down the columns: 1..3 left, 4..6 centre, 7..9 right; top, centre, bottom in each.
  const int column = (anchor - 1) / 3;
  const int row = (anchor - 1) % 3;
  const int left = x - (column == 0 ? 0 : column == 1 ? w / 2 : w);
  const int top = y - (row == 0 ? 0 : row == 1 ? h / 2 : h);
  item->MoveWindow(left, top, w, h, repaint);
}

void CQVDialogHelper::AlignDlgItems(int referenceId, int itemId, int xMode, int yMode, int dx, int dy, BOOL repaint) {
  if (xMode < 1 || xMode > 9 || yMode < 1 || yMode > 9) return;
  CWnd* reference = Item(referenceId);
  CWnd* item = Item(itemId);
  CRect ref, rect;
  if (!ItemRect(reference, ref) || !ItemRect(item, rect)) return;
  // Mode 1..9: the item's near edge, centre or far edge (by thirds) against the reference's near
  // edge, centre or far edge.
  auto place = [](int mode, int near, int far, int extent) {
    const int edges[3] = {near, (near + far) / 2, far};
    const int own[3] = {0, extent / 2, extent};
    return edges[(mode - 1) % 3] - own[(mode - 1) / 3];
  };
  const int w = rect.Width();
  const int h = rect.Height();
  item->MoveWindow(place(xMode, ref.left, ref.right, w) + dx, place(yMode, ref.top, ref.bottom, h) + dy, w, h, repaint);
}

BOOL CQVDialogHelper::GetDlgItemTemplate(int id, CRect& rect, DWORD& style, DWORD& exStyle, BOOL destroy) {
  CWnd* item = Item(id);
  if (!ItemRect(item, rect)) return FALSE;
  style = item->GetStyle();
  exStyle = item->GetExStyle();
  if (destroy) item->DestroyWindow();
  return TRUE;
}

BOOL CQVDialogHelper::GetDlgItemTemplate(int id, CRect& rect, BOOL destroy) {
  DWORD style = 0, exStyle = 0;
  return GetDlgItemTemplate(id, rect, style, exStyle, destroy);
}

void CQVDialogHelper::RestyleDlgItemFont(CWnd& wnd, CFont& font, BOOL bold, BOOL italic, BOOL underline, BOOL strikeOut) {
  if (!wnd.GetSafeHwnd() || !::IsWindow(wnd.GetSafeHwnd())) return;
  HFONT current = reinterpret_cast<HFONT>(wnd.SendMessage(WM_GETFONT));
  LOGFONTW description {};
  if (!current || !::GetObjectW(current, sizeof(description), &description)) return;
  description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = italic ? 1 : 0;
  description.lfUnderline = underline ? 1 : 0;
  description.lfStrikeOut = strikeOut ? 1 : 0;
  if (font.GetSafeHandle()) font.DeleteObject();
  if (!font.CreateFontIndirect(&description)) return;
  wnd.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
}

void CQVDialogHelper::RestyleDlgItemFont(int id, CFont& font, BOOL bold, BOOL italic, BOOL underline, BOOL strikeOut) {
  if (CWnd* item = Item(id)) RestyleDlgItemFont(*item, font, bold, italic, underline, strikeOut);
}

// ---- Translation ------------------------------------------------------------------------------

CString CQVDialogHelper::Text(LPCWSTR key) {
  CString text;
  if (!key || !LoadText(key, text)) text.Empty();
  return text;
}

void CQVDialogHelper::TranslateDlgItemText(int id, CString& text) {
  CString name;
  text = GetDlgItemID(id, name) ? Text(CString(u"TXT_") + name) : CString();
}

void CQVDialogHelper::TranslateDlgItemTip(int id, CString& text) {
  CString name;
  text = GetDlgItemID(id, name) ? Text(CString(u"TIP_") + name) : CString();
}

void CQVDialogHelper::TranslateDlgItem(int id) {
  CWnd* item = Item(id);
  if (!item) return;
  CString text;
  TranslateDlgItemText(id, text);
  item->SetWindowText(text);
}

void CQVDialogHelper::AutoTranslateDlgItems() {
  for (const __CQVDlgItemIDMapItem& item : m_items)
    if (item.translate) TranslateDlgItem(item.id);
}

void CQVDialogHelper::TranslateDlgTitleText(CString& text) {
  text = m_strIDMapName.IsEmpty() ? CString() : Text(m_strIDMapName);
}

void CQVDialogHelper::TranslateDlgTitle() {
  if (!m_pOwner || !m_pOwner->GetSafeHwnd() || !m_pOwner->IsKindOf(RUNTIME_CLASS(CDialog))) return;
  CString title;
  TranslateDlgTitleText(title);
  m_pOwner->SetWindowText(title);
}

BOOL CQVDialogHelper::GetToolTipText(UINT id, CString& text) {
  TranslateDlgItemTip(static_cast<int>(id), text);
  return !text.IsEmpty();
}

BOOL CQVDialogHelper::_OnToolTipNotify(UINT, NMHDR* nmhdr, LRESULT*) {
  m_strToolTip.Empty();
  auto* request = reinterpret_cast<TOOLTIPTEXTW*>(nmhdr);
  if (!request || !(request->uFlags & TTF_IDISHWND)) return FALSE;
  const UINT id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(request->hdr.idFrom)));
  if (!GetToolTipText(id, m_strToolTip)) return FALSE;
  request->lpszText = const_cast<LPWSTR>(m_strToolTip.GetString());
  request->hinst = nullptr;
  return TRUE;
}

// ---- Message boxes ----------------------------------------------------------------------------

int CQVDialogHelper::ShowBox(LPCWSTR text, LPCWSTR caption, UINT type) {
  CWnd* parent = m_pOwner && m_pOwner->GetSafeHwnd() ? m_pOwner : AfxGetMainWnd();
  // Close-on-deactivate must not take the box's activation for the user leaving the dialog.
  ++m_nShowingMessage;
  const int answer = ::MessageBoxW(parent ? parent->GetSafeHwnd() : nullptr, text ? text : u"", caption, type);
  --m_nShowingMessage;
  return answer;
}

int CQVDialogHelper::ShowBox(LPCWSTR text, LPCWSTR caption, LPCWSTR defaultCaptionKey, UINT type) {
  const CString fallback = caption ? CString() : Text(defaultCaptionKey);
  return ShowBox(text, caption ? caption : fallback.GetString(), type);
}

int CQVDialogHelper::MsgBox(LPCWSTR textKey, LPCWSTR captionKey, UINT type) {
  if (captionKey) return ShowBox(Text(textKey), Text(captionKey), type);
  // Without a caption key the box gets the default caption of its kind.
  LPCWSTR key = u"QVDH_DEFAULTCAPTION_INFOMSG";
  switch (type & MB_TYPEMASK) {
  case MB_YESNO: key = u"QVDH_DEFAULTCAPTION_YESNOMSG"; break;
  case MB_OKCANCEL: key = u"QVDH_DEFAULTCAPTION_OKCANCELMSG"; break;
  case MB_YESNOCANCEL: key = u"QVDH_DEFAULTCAPTION_YESNOCANCELMSG"; break;
  default:
    if ((type & MB_ICONMASK) == MB_ICONERROR) key = u"QVDH_DEFAULTCAPTION_ERRORMSG";
    break;
  }
  return ShowBox(Text(textKey), Text(key), type);
}

int CQVDialogHelper::_MsgBox(LPCWSTR text, LPCWSTR caption, UINT type) { return ShowBox(text, caption, type); }

void CQVDialogHelper::_ErrorMsg(LPCWSTR text, LPCWSTR caption) {
  ShowBox(text, caption, u"QVDH_DEFAULTCAPTION_ERRORMSG", MB_ICONERROR);
}

void CQVDialogHelper::_InfoMsg(LPCWSTR text, LPCWSTR caption) {
  ShowBox(text, caption, u"QVDH_DEFAULTCAPTION_INFOMSG", MB_ICONINFORMATION);
}

BOOL CQVDialogHelper::_YesNoMsg(LPCWSTR text, LPCWSTR caption) {
  return ShowBox(text, caption, u"QVDH_DEFAULTCAPTION_YESNOMSG", MB_ICONQUESTION | MB_YESNO) == IDYES;
}

BOOL CQVDialogHelper::_OKCancelMsg(LPCWSTR text, LPCWSTR caption) {
  return ShowBox(text, caption, u"QVDH_DEFAULTCAPTION_OKCANCELMSG", MB_ICONQUESTION | MB_OKCANCEL) == IDOK;
}

int CQVDialogHelper::_YesNoCancelMsg(LPCWSTR text, LPCWSTR caption) {
  return ShowBox(text, caption, u"QVDH_DEFAULTCAPTION_YESNOCANCELMSG", MB_ICONQUESTION | MB_YESNOCANCEL);
}

namespace {
// A caption key's text, or null (the default caption) without a key.
struct KeyedCaption {
  CString text;
  LPCWSTR Get(LPCWSTR key) const { return key ? text.GetString() : nullptr; }
};
}  // namespace

void CQVDialogHelper::ErrorMsg(LPCWSTR textKey, LPCWSTR captionKey) {
  const KeyedCaption caption {Text(captionKey)};
  _ErrorMsg(Text(textKey), caption.Get(captionKey));
}

void CQVDialogHelper::InfoMsg(LPCWSTR textKey, LPCWSTR captionKey) {
  const KeyedCaption caption {Text(captionKey)};
  _InfoMsg(Text(textKey), caption.Get(captionKey));
}

BOOL CQVDialogHelper::YesNoMsg(LPCWSTR textKey, LPCWSTR captionKey) {
  const KeyedCaption caption {Text(captionKey)};
  return _YesNoMsg(Text(textKey), caption.Get(captionKey));
}

BOOL CQVDialogHelper::OKCancelMsg(LPCWSTR textKey, LPCWSTR captionKey) {
  const KeyedCaption caption {Text(captionKey)};
  return _OKCancelMsg(Text(textKey), caption.Get(captionKey));
}

int CQVDialogHelper::YesNoCancelMsg(LPCWSTR textKey, LPCWSTR captionKey) {
  const KeyedCaption caption {Text(captionKey)};
  return _YesNoCancelMsg(Text(textKey), caption.Get(captionKey));
}
