#include "framework/dialogs/CQVTreeCtrl.h"

#include "platform/ui/afx/CMenu.h"

namespace {

constexpr int kScrollMargin = 20;
constexpr UINT kOnItem = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;

HTREEITEM ParentOrRoot(HTREEITEM parent) { return parent ? parent : TVI_ROOT; }

}  // namespace

// ---- Drop target --------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(__CQVTreeDropTarget, COleDropTarget)

CQVTreeCtrl* __CQVTreeDropTarget::OwnDragOf(CWnd* wnd) {
  auto* tree = dynamic_cast<CQVTreeCtrl*>(wnd);
  return tree && tree->m_bOwnDrag ? tree : nullptr;
}

DROPEFFECT __CQVTreeDropTarget::Answer(CQVTreeCtrl* tree) {
  return tree->CanDrop(tree->GetSelectedItem(), tree->GetDropHilightItem()) ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
}

DROPEFFECT __CQVTreeDropTarget::OnDragEnter(CWnd* wnd, COleDataObject*, DWORD, CPoint) {
  CQVTreeCtrl* tree = OwnDragOf(wnd);
  return tree ? Answer(tree) : DROPEFFECT_NONE;
}

DROPEFFECT __CQVTreeDropTarget::OnDragOver(CWnd* wnd, COleDataObject*, DWORD, CPoint point) {
  CQVTreeCtrl* tree = OwnDragOf(wnd);
  if (!tree) return DROPEFFECT_NONE;
  UINT flags = 0;
  HTREEITEM hit = tree->HitTest(point, &flags);
  if (hit && (flags & kOnItem)) {
    tree->ExpandItem(hit);
    tree->SelectDropTarget(hit);
  }
  // The answer is for the item under the cursor now, so that a release drops where it shows.
  DROPEFFECT answer = Answer(tree);

  CRect client;
  tree->GetClientRect(&client);
  tree->ClientToScreen(&client);
  CPoint screen = point;
  tree->ClientToScreen(&screen);
  if (screen.y >= client.bottom - kScrollMargin) tree->SendMessage(WM_VSCROLL, SB_LINEDOWN);
  else if (screen.y <= client.top + kScrollMargin) tree->SendMessage(WM_VSCROLL, SB_LINEUP);
  if (screen.x <= client.left + kScrollMargin) tree->SendMessage(WM_HSCROLL, SB_LINELEFT);
  else if (screen.x >= client.right - kScrollMargin) tree->SendMessage(WM_HSCROLL, SB_LINERIGHT);
  return answer;
}

void __CQVTreeDropTarget::OnDragLeave(CWnd* wnd) {
  if (CQVTreeCtrl* tree = OwnDragOf(wnd)) tree->SelectDropTarget(nullptr);
}

BOOL __CQVTreeDropTarget::OnDrop(CWnd* wnd, COleDataObject*, DROPEFFECT, CPoint) {
  CQVTreeCtrl* tree = OwnDragOf(wnd);
  if (!tree) return FALSE;
  HTREEITEM dragged = tree->GetSelectedItem();
  HTREEITEM target = tree->GetDropHilightItem();
  // The highlight goes first: the drop may delete the items.
  tree->SelectDropTarget(nullptr);
  return tree->CanDrop(dragged, target) && tree->Drop(dragged, target);
}

// ---- Tree ---------------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CQVTreeCtrl, CTreeCtrl)

BEGIN_MESSAGE_MAP(CQVTreeCtrl, CTreeCtrl)
  ON_NOTIFY_REFLECT(TVN_SELCHANGEDW, &CQVTreeCtrl::OnSelChanged)
  ON_NOTIFY_REFLECT(NM_RCLICK, &CQVTreeCtrl::OnRClick)
  ON_NOTIFY_REFLECT(TVN_BEGINDRAGW, &CQVTreeCtrl::OnBeginDrag)
END_MESSAGE_MAP()

CQVTreeCtrl::CQVTreeCtrl() : m_pDropTarget(new __CQVTreeDropTarget) {}

CQVTreeCtrl::~CQVTreeCtrl() {
  if (m_pDropTarget) {
    m_pDropTarget->Revoke();
    delete m_pDropTarget;
  }
}

BOOL CQVTreeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (!m_pDropTarget) return FALSE;
  if (!CTreeCtrl::Create(style, rect, parent, id)) return FALSE;
  return m_pDropTarget->Register(this);
}

BOOL CQVTreeCtrl::Create(const RECT& rect, CWnd* parent, UINT id) {
  return Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                rect, parent, id);
}

void CQVTreeCtrl::OnMoveItem(HTREEITEM, HTREEITEM) {}

BOOL CQVTreeCtrl::CanDrag(HTREEITEM item) { return item != nullptr; }

BOOL CQVTreeCtrl::CanDrop(HTREEITEM dragged, HTREEITEM target) {
  return dragged && target && !IsInSubtree(target, dragged);
}

BOOL CQVTreeCtrl::Drop(HTREEITEM dragged, HTREEITEM target) {
  if (dragged == target) return FALSE;
  return Move(dragged, target, 0, nullptr) != nullptr;
}

BOOL CQVTreeCtrl::OnSelectChanged(HTREEITEM) { return TRUE; }

void CQVTreeCtrl::ExpandItem(HTREEITEM item) {
  if (GetKeyState(VK_SHIFT) < 0) Expand(item, TVE_EXPAND);
  else if (GetKeyState(VK_CONTROL) < 0) Expand(item, TVE_COLLAPSE);
}

HTREEITEM CQVTreeCtrl::GetNearNode(HTREEITEM item) const {
  if (!item) return nullptr;
  if (HTREEITEM next = GetNextSiblingItem(item)) return next;
  if (HTREEITEM previous = GetPrevSiblingItem(item)) return previous;
  return GetParentItem(item);
}

BOOL CQVTreeCtrl::CompareData(HTREEITEM a, HTREEITEM b) { return GetItemData(a) == GetItemData(b); }

HMENU CQVTreeCtrl::CreatePopupMenu(UINT) { return nullptr; }

void CQVTreeCtrl::GetPopupMenuID(HTREEITEM, UINT&) {}

HTREEITEM CQVTreeCtrl::PlaceAfter(int mode, HTREEITEM sibling) const {
  if (mode != 1) return sibling ? sibling : TVI_LAST;
  HTREEITEM previous = sibling ? GetPrevSiblingItem(sibling) : nullptr;
  return previous ? previous : TVI_FIRST;
}

HTREEITEM CQVTreeCtrl::Insert(LPCWSTR text, void* data, HTREEITEM parent, int mode, HTREEITEM sibling) {
  if (!text) return nullptr;
  return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, text, 0, 0, 0, 0,
                    reinterpret_cast<LPARAM>(data), ParentOrRoot(parent), PlaceAfter(mode, sibling));
}

BOOL CQVTreeCtrl::Update(LPCWSTR text, HTREEITEM item) { return item && text && SetItemText(item, text); }

BOOL CQVTreeCtrl::SetData(HTREEITEM item, void* data) {
  return item && SetItemData(item, reinterpret_cast<DWORD_PTR>(data));
}

BOOL CQVTreeCtrl::GetData(HTREEITEM item, void*& data) {
  if (!item) return FALSE;
  data = reinterpret_cast<void*>(GetItemData(item));
  return TRUE;
}

BOOL CQVTreeCtrl::SelectItem(HTREEITEM item) {
  {
    CSingleLock lock(&m_cs, TRUE);
    m_bProgrammatic = TRUE;
  }
  BOOL result = CTreeCtrl::SelectItem(item);
  CSingleLock lock(&m_cs, TRUE);
  m_bProgrammatic = FALSE;
  return result;
}

void CQVTreeCtrl::SelectQuietly(HTREEITEM item) {
  SelectItem(item);
  m_hLastSelected = item;
}

BOOL CQVTreeCtrl::Remove(HTREEITEM, HTREEITEM item) {
  if (!item) return FALSE;
  if (HTREEITEM near = GetNearNode(item)) SelectQuietly(near);
  return DeleteItem(item);
}

BOOL CQVTreeCtrl::IsInSubtree(HTREEITEM item, HTREEITEM root) const {
  for (HTREEITEM at = item; at; at = GetParentItem(at))
    if (at == root) return TRUE;
  return FALSE;
}

HTREEITEM CQVTreeCtrl::Move(HTREEITEM item, HTREEITEM parent, int mode, HTREEITEM sibling) {
  if (!item || item == sibling || IsInSubtree(parent, item)) return nullptr;
  HTREEITEM copy = CopyItem(item, parent, PlaceAfter(mode, sibling));
  if (!copy) return nullptr;
  return MoveWithChild(item, copy) ? copy : nullptr;
}

HTREEITEM CQVTreeCtrl::FindNode(HTREEITEM start, void* data) const {
  if (!start) return nullptr;
  if (GetItemData(start) == reinterpret_cast<DWORD_PTR>(data)) return start;
  for (HTREEITEM child = GetChildItem(start); child; child = GetNextSiblingItem(child))
    if (HTREEITEM found = FindNode(child, data)) return found;
  return nullptr;
}

BOOL CQVTreeCtrl::AtSameLevel(HTREEITEM a, HTREEITEM b) { return GetParentItem(a) == GetParentItem(b); }

HTREEITEM CQVTreeCtrl::AddItem(LPCWSTR text, int image, int selectedImage, void* data, HTREEITEM parent,
                               HTREEITEM after) {
  UINT mask = TVIF_TEXT | TVIF_PARAM;
  if (image != -1) mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  return InsertItem(mask, text, image, selectedImage, 0, 0, reinterpret_cast<LPARAM>(data), ParentOrRoot(parent),
                    after ? after : TVI_LAST);
}

HTREEITEM CQVTreeCtrl::CopyItem(HTREEITEM item, HTREEITEM parent, HTREEITEM after) {
  if (!item) return nullptr;
  int image = 0, selectedImage = 0;
  GetItemImage(item, image, selectedImage);
  return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, GetItemText(item), image,
                    selectedImage, 0, 0, static_cast<LPARAM>(GetItemData(item)), ParentOrRoot(parent),
                    after ? after : TVI_LAST);
}

BOOL CQVTreeCtrl::MoveWithChild(HTREEITEM from, HTREEITEM to) {
  if (!from || !to || IsInSubtree(to, from)) return FALSE;
  HTREEITEM next = nullptr;
  for (HTREEITEM child = GetChildItem(from); child; child = next) {
    next = GetNextSiblingItem(child);  // the child is gone once its subtree has moved
    HTREEITEM copy = CopyItem(child, to, TVI_LAST);
    if (!copy || !MoveWithChild(child, copy)) {
      // Children moved before keep their new place under `to`; an empty `to` goes.
      if (!GetChildItem(to)) DeleteItem(to);
      return FALSE;
    }
  }
  OnMoveItem(to, from);
  DeleteItem(from);
  return TRUE;
}

HTREEITEM CQVTreeCtrl::CopySubtree(HTREEITEM item, HTREEITEM parent, HTREEITEM after) {
  HTREEITEM copy = CopyItem(item, parent, after);
  if (copy && GetChildItem(item) && !CopySiblings(GetChildItem(item), copy)) {
    DeleteItem(copy);
    return nullptr;
  }
  return copy;
}

BOOL CQVTreeCtrl::CopySiblings(HTREEITEM first, HTREEITEM parent) {
  HTREEITEM firstCopy = nullptr;
  for (HTREEITEM at = first; at; at = GetNextSiblingItem(at)) {
    HTREEITEM copy = CopySubtree(at, parent, TVI_LAST);
    if (!copy) {
      // Remove this call's copies: from the first one to the end of the parent's children.
      for (HTREEITEM made = firstCopy, following = nullptr; made; made = following) {
        following = GetNextSiblingItem(made);
        DeleteItem(made);
      }
      return FALSE;
    }
    if (!firstCopy) firstCopy = copy;
  }
  return TRUE;
}

BOOL CQVTreeCtrl::MergeItems(HTREEITEM source, HTREEITEM target) {
  if (!source || !target || IsInSubtree(target, source)) return FALSE;
  if (HTREEITEM first = GetChildItem(source); first && !CopySiblings(first, target)) return FALSE;
  SelectQuietly(target);
  return DeleteItem(source);
}

BOOL CQVTreeCtrl::SplitItems(HTREEITEM first, LPCWSTR text, void* data) {
  HTREEITEM parent = first ? GetParentItem(first) : nullptr;
  HTREEITEM grandparent = parent ? GetParentItem(parent) : nullptr;
  if (!grandparent || !text) return FALSE;
  int image = 0, selectedImage = 0;
  GetItemImage(parent, image, selectedImage);
  HTREEITEM split = AddItem(text, image, selectedImage, data, grandparent, parent);
  if (!split) return FALSE;
  if (!CopySiblings(first, split)) {
    DeleteItem(split);
    return FALSE;
  }
  SelectQuietly(GetChildItem(split));
  HTREEITEM next = nullptr;
  for (HTREEITEM at = first; at; at = next) {
    next = GetNextSiblingItem(at);
    DeleteItem(at);
  }
  return TRUE;
}

void CQVTreeCtrl::LoadPopupMenu(UINT menuId) {
  HMENU handle = CreatePopupMenu(menuId);
  if (!handle) return;
  CMenu menu;
  menu.Attach(handle);
  if (CMenu* popup = menu.GetSubMenu(0)) {
    POINT at {};
    GetCursorPos(&at);
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, this);
  }
  menu.DestroyMenu();
}

void CQVTreeCtrl::OnSelChanged(NMHDR*, LRESULT* result) {
  if (result) *result = 0;
  HTREEITEM item = GetSelectedItem();
  if (!item || item == m_hLastSelected) return;
  BOOL programmatic = FALSE;
  {
    CSingleLock lock(&m_cs, TRUE);
    programmatic = m_bProgrammatic;
  }
  // The item is recorded first: the hook may select again or change the tree.
  m_hLastSelected = item;
  if (!programmatic) OnSelectChanged(item);
}

void CQVTreeCtrl::OnRClick(NMHDR*, LRESULT* result) {
  if (result) *result = 0;
  CPoint at;
  GetCursorPos(&at);
  ScreenToClient(&at);
  UINT flags = 0;
  HTREEITEM item = HitTest(at, &flags);
  if (!item || !(flags & kOnItem)) return;
  UINT menuId = 0;
  GetPopupMenuID(item, menuId);
  LoadPopupMenu(menuId);
  SelectItem(item);
  if (result) *result = 1;
}

void CQVTreeCtrl::OnBeginDrag(NMHDR* header, LRESULT* result) {
  if (result) *result = 0;
  HTREEITEM item = reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem;
  SelectItem(item);
  if (!CanDrag(item)) return;
  COleDataSource source;
  m_bOwnDrag = TRUE;
  source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
  m_bOwnDrag = FALSE;
}
