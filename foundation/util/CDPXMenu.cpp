#include "foundation/util/CDPXMenu.h"

#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/CDPXException.h"

#include <vector>

IMPLEMENT_DYNCREATE(__CDPXMenuItem, CObject)
IMPLEMENT_DYNCREATE(CDPXMenu, CMenu)

namespace {

bool IsEmptyPopup(const __CDPXMenuItem* item);

// An item that is written: a command, or a pop-up with at least one written item below it.
bool IsWritten(const __CDPXMenuItem* item) { return !IsEmptyPopup(item); }

bool IsEmptyPopup(const __CDPXMenuItem* item) {
  if (!(item->m_nFlags & MF_POPUP)) return false;
  CDPXObList& children = const_cast<CDPXObList&>(item->m_children);
  for (POSITION pos = children.GetHeadPosition(); pos;)
    if (IsWritten(static_cast<__CDPXMenuItem*>(children.GetNext(pos)))) return false;
  return true;
}

void PutWord(CDPXMemBuffer& buffer, DWORD& position, WORD value) {
  if (position + 2 > buffer.GetSize()) {
    DWORD grown = buffer.GetSize() * 2 + 64;
    if (!buffer.ReAlloc(grown)) DPXThrowException();
  }
  LPBYTE bytes = buffer.Lock();
  bytes[position] = static_cast<BYTE>(value & 0xFF);
  bytes[position + 1] = static_cast<BYTE>(value >> 8);
  position += 2;
}

// Writes the items below `parent`, depth-first; the last written item of the level gets MF_END.
void WriteLevel(const __CDPXMenuItem* parent, CDPXMemBuffer& buffer, DWORD& position) {
  CDPXObList& children = const_cast<CDPXObList&>(parent->m_children);
  std::vector<const __CDPXMenuItem*> written;
  for (POSITION pos = children.GetHeadPosition(); pos;) {
    auto* child = static_cast<const __CDPXMenuItem*>(children.GetNext(pos));
    if (IsWritten(child)) written.push_back(child);
  }
  for (size_t i = 0; i < written.size(); ++i) {
    const __CDPXMenuItem* item = written[i];
    bool popup = item->m_nFlags & MF_POPUP;
    WORD option = static_cast<WORD>(item->m_nFlags | (i + 1 == written.size() ? MF_END : 0));
    PutWord(buffer, position, option);
    if (!popup) PutWord(buffer, position, static_cast<WORD>(item->m_nID));
    for (int c = 0; c < item->m_strText.GetLength(); ++c) PutWord(buffer, position, item->m_strText.GetAt(c));
    PutWord(buffer, position, 0);
    if (popup) WriteLevel(item, buffer, position);
  }
}

}  // namespace

CDPXMenu::~CDPXMenu() { delete m_pRoot; }

void CDPXMenu::ResetDefinition() {
  m_levels.RemoveAll();
  delete m_pRoot;
  m_pRoot = nullptr;
  m_bBreakPending = FALSE;
  m_bBreakWithBar = FALSE;
  m_bOwnerDraw = FALSE;
}

void CDPXMenu::BeginMenu() {
  if (m_levels.GetCount() != 0) DPXThrowException();
  ResetDefinition();
  m_pRoot = new __CDPXMenuItem;
  m_pRoot->m_bRoot = TRUE;
  if (!m_levels.AddTail(m_pRoot)) DPXThrowException();
}

__CDPXMenuItem* CDPXMenu::AddChild(WORD flags, UINT id, LPCWSTR text) {
  if (m_levels.GetCount() == 0) DPXThrowException();
  auto* level = static_cast<__CDPXMenuItem*>(m_levels.GetAt(m_levels.GetTailPosition()));
  auto* item = static_cast<__CDPXMenuItem*>(level->m_children.AddNewTail(RUNTIME_CLASS(__CDPXMenuItem)));
  if (!item) DPXThrowException();
  item->m_nFlags = flags;
  item->m_nID = id;
  item->m_strText = text;
  return item;
}

void CDPXMenu::BeginPopup(UINT id, LPCWSTR text) {
  WORD flags = MF_POPUP | (m_bOwnerDraw ? MF_OWNERDRAW : 0);
  __CDPXMenuItem* popup = AddChild(flags, id, text);
  m_bBreakPending = FALSE;
  if (!m_levels.AddTail(popup)) DPXThrowException();
}

void CDPXMenu::AddItem(UINT id, LPCWSTR text, BOOL checked, BOOL grayed) {
  WORD flags = 0;
  if (checked) flags |= MF_CHECKED;
  if (grayed) flags |= MF_GRAYED;
  if (m_bOwnerDraw) flags |= MF_OWNERDRAW;
  if (m_bBreakPending) flags |= m_bBreakWithBar ? MF_MENUBARBREAK : MF_MENUBREAK;
  AddChild(flags, id, text);
  m_bBreakPending = FALSE;
}

void CDPXMenu::EndPopup() {
  if (m_levels.GetCount() < 2) DPXThrowException();
  m_bBreakPending = FALSE;
  m_levels.RemoveAt(m_levels.GetTailPosition());
}

void CDPXMenu::EndMenu() {
  if (m_levels.GetCount() != 1) DPXThrowException();
  // The definition is closed from here on; a failure leaves its items until the next BeginMenu.
  m_levels.RemoveAll();
  CDPXMemBuffer buffer;
  if (!buffer.Alloc(256)) DPXThrowException();
  DWORD position = 0;
  PutWord(buffer, position, 0);  // version
  PutWord(buffer, position, 0);  // header offset
  WriteLevel(m_pRoot, buffer, position);
  // The new menu must load before the one held goes: a failure leaves the menu as it was.
  HMENU menu = ::LoadMenuIndirectW(buffer.Lock(), position);
  if (!menu) DPXThrowException();
  DestroyMenu();
  Attach(menu);
  ResetDefinition();
}
