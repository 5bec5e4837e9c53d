// CQVMainFrame: the assistant panel. The frame makes it on first use, owns it, hides it while the
// program is minimised or inactive and shows it again afterwards.
//
// Help may be asked for from any thread, but windows live on the user-interface thread: another
// thread leaves its request here and posts the frame's window a message, touching no window
// object; the frame's thread makes the panel if need be and passes the request on. Only the last
// request waiting counts, as the panel shows one page.

#include "framework/app/CQVAssistantDialog.h"
#include "framework/app/CQVMainFrame.h"
#include "framework/app/CQVWinApp.h"
#include "platform/core/sysinfo.h"

#include <atomic>
#include <mutex>

namespace {

struct HelpRequest {
  std::mutex lock;
  BOOL waiting { FALSE };
  BOOL byKey { FALSE };
  CString text;
};

HelpRequest& PendingHelp() {
  static HelpRequest request;
  return request;
}

std::atomic<HWND>& HelpTarget() {
  static std::atomic<HWND> target { nullptr };
  return target;
}

void PassOn(CQVAssistantDialog* panel, LPCWSTR text, BOOL byKey) {
  if (!panel) return;
  if (byKey) panel->ShowHelpID(text);
  else panel->ShowHelp(text);
}

// Asked for on the frame's own thread, the request is carried out at once; from another thread it
// waits for the frame's thread.
void RequestHelp(LPCWSTR text, BOOL byKey) {
  const HWND hwnd = HelpTarget().load();
  const DWORD uiThread = hwnd ? GetWindowThreadProcessId(hwnd, nullptr) : 0;
  if (!uiThread) return;
  if (uiThread == GetCurrentThreadId()) {
    PassOn(CQVMainFrame::GetAssistant(), text, byKey);
    return;
  }
  HelpRequest& pending = PendingHelp();
  {
    std::lock_guard<std::mutex> guard(pending.lock);
    pending.waiting = TRUE;
    pending.byKey = byKey;
    pending.text = text ? text : u"";
  }
  ::PostMessageW(hwnd, CQVMainFrame::WM_QV_HELPREQUEST, 0, 0);
}

}  // namespace

void CQVMainFrame::SetHelpTarget(HWND hwnd) { HelpTarget() = hwnd; }

CQVAssistantDialog* CQVMainFrame::GetAssistant() {
  CQVMainFrame* frame = CQVWinApp::GetMainFrame();
  if (!frame) return nullptr;
  if (!frame->m_pAssistant) {
    CRuntimeClass* cls = frame->m_pAssistantClass;
    if (!cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CQVAssistantDialog))) return nullptr;
    frame->m_pAssistant.reset(static_cast<CQVAssistantDialog*>(cls->CreateObject()));
  }
  return frame->m_pAssistant.get();
}

void CQVMainFrame::ShowAssistant() {
  if (CQVAssistantDialog* panel = GetAssistant()) panel->ShowAssistant();
}

void CQVMainFrame::ShowAssistant(int x, int y) {
  if (CQVAssistantDialog* panel = GetAssistant()) panel->ShowAssistant(x, y);
}

void CQVMainFrame::HideAssistant() {
  CQVAssistantDialog* panel = GetAssistant();
  if (!panel) return;
  // Hidden on purpose: it stays hidden when the program comes back.
  CQVWinApp::GetMainFrame()->m_bAssistantWasVisible = FALSE;
  panel->HideAssistant();
}

BOOL CQVMainFrame::IsAssistantVisible() {
  CQVAssistantDialog* panel = GetAssistant();
  return panel && panel->IsAssistantVisible();
}

BOOL CQVMainFrame::GetAssistantPosition(int& x, int& y) {
  x = CQVAssistantDialog::kNoPosition;
  y = CQVAssistantDialog::kNoPosition;
  CQVAssistantDialog* panel = GetAssistant();
  return panel && panel->GetAssistantPosition(x, y);
}

void CQVMainFrame::ShowHelp(LPCWSTR address) { RequestHelp(address, FALSE); }

void CQVMainFrame::ShowHelpID(LPCWSTR key) { RequestHelp(key, TRUE); }

LRESULT CQVMainFrame::OnHelpRequest(WPARAM, LPARAM) {
  HelpRequest& pending = PendingHelp();
  CString text;
  BOOL byKey = FALSE;
  {
    std::lock_guard<std::mutex> guard(pending.lock);
    if (!pending.waiting) return 0;
    pending.waiting = FALSE;
    byKey = pending.byKey;
    text = pending.text;
  }
  if (CQVWinApp::GetMainFrame() == this) PassOn(GetAssistant(), text, byKey);
  return 0;
}

void CQVMainFrame::HideAssistantForNow() {
  if (!m_pAssistant || !m_pAssistant->IsAssistantVisible()) return;
  m_bAssistantWasVisible = TRUE;
  m_pAssistant->HideAssistant();
}

void CQVMainFrame::ShowAssistantAgain() {
  if (!m_bAssistantWasVisible || !m_pAssistant || m_bAppInactive || IsIconic()) return;
  m_bAssistantWasVisible = FALSE;
  m_pAssistant->ShowAssistant();
}

void CQVMainFrame::OnSize(UINT type, int cx, int cy) {
  if (type == SIZE_MINIMIZED) HideAssistantForNow();
  else if (type == SIZE_RESTORED || type == SIZE_MAXIMIZED) ShowAssistantAgain();
  CFrameWnd::OnSize(type, cx, cy);
}

void CQVMainFrame::OnActivateApp(BOOL active, DWORD thread) {
  m_bAppInactive = !active;
  if (active) ShowAssistantAgain();
  else HideAssistantForNow();
  CFrameWnd::OnActivateApp(active, thread);
}
