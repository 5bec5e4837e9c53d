#include "platform/ui/ole/COleDropTarget.h"

#include "platform/ui/afx/CWnd.h"
#include "platform/ui/internal/WindowTable.h"

#include <map>

IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

namespace {

std::map<HWND, qvui::DropRegistration>& Registrations() {
  static std::map<HWND, qvui::DropRegistration> registrations;
  return registrations;
}

}  // namespace

namespace qvui {

DropRegistration DropTargetOf(HWND hwnd) {
  auto it = Registrations().find(hwnd);
  return it == Registrations().end() ? DropRegistration {} : it->second;
}

void RevokeDropTargetOf(HWND hwnd) {
  if (COleDropTarget* target = DropTargetOf(hwnd).target) target->Revoke();
}

}  // namespace qvui

COleDropTarget::~COleDropTarget() { Revoke(); }

BOOL COleDropTarget::Register(CWnd* wnd) {
  HWND hwnd = wnd ? wnd->GetSafeHwnd() : nullptr;
  if (m_hWnd || !qvui::IsUiThread() || !::IsWindow(hwnd) || Registrations().count(hwnd)) return FALSE;
  static unsigned serial = 0;
  Registrations()[hwnd] = qvui::DropRegistration {this, ++serial};
  m_hWnd = hwnd;
  return TRUE;
}

void COleDropTarget::Revoke() {
  if (!m_hWnd) return;
  Registrations().erase(m_hWnd);
  m_hWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }

DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint) { return DROPEFFECT_NONE; }

void COleDropTarget::OnDragLeave(CWnd*) {}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }

DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint) {
  return static_cast<DROPEFFECT>(-1);
}
