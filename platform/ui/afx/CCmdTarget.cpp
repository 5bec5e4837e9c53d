#include "platform/ui/afx/CCmdTarget.h"

#include "platform/ui/afx/CMenu.h"
#include "platform/ui/afx/CWnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxKind::End, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->kind != AfxKind::End; ++e)
      if (e->nMessage == message && e->kind == AfxKind::Message) return e;
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  // A notification comes as MAKELONG(code, WM_NOTIFY) (or a reflected message); commands and
  // control notifications as their bare code.
  UINT message = WM_COMMAND;
  UINT code = static_cast<UINT>(nCode);
  if (code != CN_UPDATE_COMMAND_UI && HIWORD(code) != 0) {
    message = HIWORD(code);
    code = LOWORD(code);
  }
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->kind != AfxKind::End; ++e) {
      // Notification codes are matched on their low word (they come packed with the message).
      UINT entryCode = message == WM_COMMAND ? e->nCode : LOWORD(e->nCode);
      if (e->nMessage != message || entryCode != code || nID < e->nID || nID > e->nLastID) continue;
      if (e->kind == AfxKind::Message) continue;
      if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        return TRUE;
      }
      if (e->kind == AfxKind::UpdateUI || e->kind == AfxKind::UpdateUIRange) {
        auto* cmdUI = static_cast<CCmdUI*>(pExtra);
        cmdUI->m_bContinueRouting = FALSE;
        e->pfn(this, nID, 0, 0, pExtra);
        return !cmdUI->m_bContinueRouting;
      }
      return e->pfn(this, nID, 0, 0, pExtra) != 0;
    }
  }
  return FALSE;
}

// ---- CCmdUI ---------------------------------------------------------------------------------------

void CCmdUI::Enable(BOOL on) {
  if (m_pMenu) {
    if (m_pSubMenu) return;  // a pop-up follows its first item's command, but is not disabled by it
    m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (m_pOther) {
    ::EnableWindow(m_pOther->GetSafeHwnd(), on);
  }
  m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int check) {
  if (m_pMenu) m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}

void CCmdUI::SetRadio(BOOL on) { SetCheck(on ? 1 : 0); }

void CCmdUI::SetText(LPCWSTR text) {
  if (!m_pMenu || !text) return;
  UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION);
  state &= ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP | 0xFF00);
  m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, text);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
  if (m_nID == 0 || !target) return TRUE;
  m_bEnableChanged = FALSE;
  BOOL handled = target->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
  if (!handled && disableIfNoHandler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info {nullptr};
    BOOL hasHandler = target->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
    Enable(hasHandler);
  }
  return handled;
}
