// Dock-state blocks, as a screen layout's file or the shared store hands them to a frame: a block
// that the frame refuses leaves every bar as it was; the frame's own block always loads.

#include "framework/bars/CQVControlBar.h"
#include "framework/bars/tests/DockStateBlock.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"
#include "tools/fuzz/FuzzSupport.h"

#include <QApplication>

#include <vector>

namespace {

constexpr UINT kFirstBar = 0xE900;

struct Scene {
  CFrameWnd* frame {};
  CWnd view;
  CQVControlBar bars[3];
  std::vector<BYTE> initial;
};

// What a refused block must not change: each bar's sizes, side and floating state.
std::vector<long> Snapshot(Scene& scene) {
  std::vector<long> values;
  for (CQVControlBar& bar : scene.bars) {
    for (const CSize& size : {bar.m_szHorz, bar.m_szVert, bar.m_szFloat}) {
      values.push_back(size.cx);
      values.push_back(size.cy);
    }
    values.push_back(bar.IsFloating());
    values.push_back(bar.GetParent() ? bar.GetParent()->GetDlgCtrlID() : 0);
  }
  return values;
}

Scene& TheScene() {
  static Scene* scene = [] {
    static int argc = 1;
    static char name[] = "fuzz_dock_state";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
    auto* s = new Scene;
    s->frame = new CFrameWnd;
    fuzz::Check(s->frame->Create(nullptr, u"fuzz", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 640, 480)), "a frame");
    s->view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), s->frame, AFX_IDW_PANE_FIRST);
    s->frame->EnableDocking(CBRS_ALIGN_ANY);
    const UINT sides[] = {AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_TOP};
    for (UINT i = 0; i < 3; ++i) {
      CQVControlBar& bar = s->bars[i];
      fuzz::Check(bar.Create(u"bar", s->frame, kFirstBar + i, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC), "a bar");
      bar.EnableDocking(CBRS_ALIGN_ANY);
      s->frame->DockControlBar(&bar, sides[i]);
    }
    s->frame->RecalcLayout();
    s->initial = StoreDockStateBlock(*s->frame);
    return s;
  }();
  return *scene;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Scene& scene = TheScene();
  const std::vector<long> before = Snapshot(scene);
  if (!LoadDockStateBlock(*scene.frame, data, size)) {
    fuzz::Check(Snapshot(scene) == before, "a refused block changed a bar");
    return 0;
  }
  fuzz::Check(LoadDockStateBlock(*scene.frame, scene.initial.data(), scene.initial.size()), "the frame's own block refused");
  return 0;
}
