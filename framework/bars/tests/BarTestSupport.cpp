#include "framework/bars/tests/BarTestSupport.h"

#include "framework/app/CQVIDRegistry.h"

CRect ScreenRect(const CWnd& wnd) {
  CRect r;
  wnd.GetWindowRect(&r);
  return r;
}

LPARAM At(const CWnd& wnd, CPoint screen) {
  wnd.ScreenToClient(&screen);
  return MAKELPARAM(screen.x, screen.y);
}

UINT ParentId(const CWnd& wnd) { return static_cast<UINT>(wnd.GetParent()->GetDlgCtrlID()); }

void BarFrame::SetUp() {
  frame = MakeFrameWithView(view, u"frame", CRect(60, 60, 700, 520));
  ASSERT_NE(frame, nullptr);
  frame->EnableDocking(CBRS_ALIGN_ANY);
  frame->GetClientRect(&client);
  origin = CPoint(0, 0);
  frame->ClientToScreen(&origin);
}

void BarFrame::TearDown() {
  if (frame && IsWindow(frame->GetSafeHwnd())) frame->DestroyWindow();
}

void BarFrame::Make(CQVControlBar& bar, UINT id, LPCWSTR title) {
  ASSERT_TRUE(bar.Create(title, frame, id, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
  bar.EnableDocking(CBRS_ALIGN_ANY);
}

void BarFrame::DockAfter(CQVControlBar& bar, CControlBar& beside) {
  CRect r = ScreenRect(beside);
  r.OffsetRect(r.Width() - 10, 0);
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP, &r);
}

void BarFrame::Settle() {
  Pump(20);
  frame->RecalcLayout();
  // What the application's idle moment does for its main window (the tests run without one),
  // with the layout a bar asked for meanwhile.
  frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
  frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
}

CommandNamesApp::CommandNamesApp(std::initializer_list<std::pair<UINT, LPCWSTR>> names) {
  InitIDRegistry(RUNTIME_CLASS(CQVIDRegistry));
  for (const auto& [id, name] : names) RegisterID(id, name);
}
