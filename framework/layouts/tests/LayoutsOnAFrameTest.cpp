// Screen layouts of a frame with sizing bars: two layouts, saved as the frame's dock state, bring
// the bars back after a restart; a damaged dock-state file is refused and changes no bar.

#include "framework/bars/CQVBarState.h"
#include "framework/bars/CQVControlBar.h"
#include "framework/layouts/CQVScreenLayoutProfile.h"
#include "framework/layouts/tests/LayoutsTestApp.h"

#include "foundation/util/CDPXBuffer.h"
#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kBarA = 0xE901, kBarB = 0xE902;

// The frame's dock state into the layout's file.
void SaveLayout(CFrameWnd& frame, CQVScreenLayoutProfile& profile, LPCWSTR name) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  CQVBarState::Store(frame, ar);
  ar.Close();
  CDPXGMemBuffer state;
  ASSERT_TRUE(state.Alloc(static_cast<DWORD>(file.GetLength())));
  file.SeekToBegin();
  file.Read(state.Lock(), state.GetSize());
  ASSERT_TRUE(profile.SaveDockState(profile.CreateLayout(name), state));
}

// The layout's dock state onto the frame; FALSE when there is none or the frame refuses it.
BOOL ApplyLayout(CFrameWnd& frame, CQVScreenLayoutProfile& profile, LPCWSTR name) {
  CDPXGMemBuffer state;
  if (!profile.LoadDockState(profile.LayoutExist(name), state) || !state.GetSize()) return FALSE;
  CMemFile file(state.Lock(), state.GetSize());
  CArchive ar(&file, CArchive::load);
  return CQVBarState::Load(frame, ar);
}

UINT SideOf(CWnd& bar) { return static_cast<UINT>(bar.GetParent()->GetDlgCtrlID()); }

class LayoutsOnAFrame : public ::testing::Test {
protected:
  void SetUp() override {
    app = std::make_unique<LayoutsTestApp>();
    frame = MakeFrameWithView(view, u"layouts", CRect(40, 40, 700, 520));
    ASSERT_NE(frame, nullptr);
    frame->EnableDocking(CBRS_ALIGN_ANY);
    for (auto [bar, id] : {std::pair {&a, kBarA}, std::pair {&b, kBarB}}) {
      ASSERT_TRUE(bar->Create(u"bar", frame, id, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
      bar->EnableDocking(CBRS_ALIGN_ANY);
    }
    frame->DockControlBar(&a, AFX_IDW_DOCKBAR_LEFT);
    frame->DockControlBar(&b, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
  }
  void TearDown() override {
    if (frame && IsWindow(frame->GetSafeHwnd())) frame->DestroyWindow();
    app.reset();
  }

  std::unique_ptr<LayoutsTestApp> app;
  CFrameWnd* frame {};
  CWnd view;
  CQVControlBar a, b;
};

TEST_F(LayoutsOnAFrame, TwoLayoutsComeBackAfterARestartAndADamagedOneChangesNothing) {
  const CString path = app->Path("layouts.ini");
  {
    CQVScreenLayoutProfile profile;
    profile.SetFilename(path);
    a.m_szVert = CSize(150, 300);
    SaveLayout(*frame, profile, u"Wide");
    a.m_szVert = CSize(90, 300);
    frame->DockControlBar(&b, AFX_IDW_DOCKBAR_BOTTOM);
    frame->RecalcLayout();
    SaveLayout(*frame, profile, u"Narrow");
  }
  CQVScreenLayoutProfile restarted;
  restarted.SetFilename(path);
  ASSERT_EQ(restarted.GetLayoutCount(), 2);
  ASSERT_TRUE(ApplyLayout(*frame, restarted, u"Wide"));
  EXPECT_EQ(a.m_szVert.cx, 150) << "the width of the bar on the left";
  EXPECT_EQ(SideOf(b), AFX_IDW_DOCKBAR_TOP);
  ASSERT_TRUE(ApplyLayout(*frame, restarted, u"Narrow"));
  EXPECT_EQ(a.m_szVert.cx, 90);
  EXPECT_EQ(SideOf(b), AFX_IDW_DOCKBAR_BOTTOM);

  CString file;
  restarted.GetDockStateFilename(restarted.LayoutExist(u"Wide"), file);
  const std::string whole = ReadBytes(file);
  for (const std::string& damaged : {whole.substr(0, whole.size() / 2), std::string(whole.size(), 'x'), std::string()}) {
    WriteBytes(file, damaged);
    EXPECT_FALSE(ApplyLayout(*frame, restarted, u"Wide")) << damaged.size() << " bytes";
    EXPECT_EQ(a.m_szVert.cx, 90);
    EXPECT_EQ(SideOf(a), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(SideOf(b), AFX_IDW_DOCKBAR_BOTTOM);
  }
}

}  // namespace
