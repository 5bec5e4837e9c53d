// Sizing control bars in a frame: rows shared out among their bars, sizable edges, edge drags and
// whole-bar drags driven by mouse messages, the floating frame, and the sizes kept in the frame's
// dock-state block.

#include "framework/bars/CQVBarState.h"
#include "framework/bars/CQVControlBar.h"
#include "framework/bars/CQVMiniDockFrameWnd.h"
#include "framework/bars/tests/BarTestSupport.h"
#include "framework/bars/tests/DockStateBlock.h"

#include <vector>

namespace {

constexpr UINT ID_BAR_A = 0xE850, ID_BAR_B = 0xE851, ID_BAR_C = 0xE852;

// A bar that is not a sizing bar, of a fixed size, to share a row with sizing bars.
class PlainBar : public CControlBar {
public:
  explicit PlainBar(int length = 100) : m_length(length) {}
  BOOL Create(CWnd* parent, UINT id) {
    m_dwStyle = CBRS_ALIGN_TOP;
    return CWnd::Create(nullptr, u"plain", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), parent, id);
  }
  CSize CalcFixedLayout(BOOL, BOOL horz) override { return horz ? CSize(m_length, 30) : CSize(30, m_length); }
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
  int m_length;
};

class SizingBars : public BarFrame {
protected:
  int TopWidth() { return ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP)).Width(); }
};

// ---- Rows ---------------------------------------------------------------------------------------

TEST_F(SizingBars, BarsOfOneRowShareItsLengthAndOneThickness) {
  CQVControlBar a, b;
  PlainBar plain;
  Make(a, ID_BAR_A);
  Make(b, ID_BAR_B);
  a.m_szHorz = CSize(400, 80);
  b.m_szHorz = CSize(200, 120);
  frame->DockControlBar(&a, AFX_IDW_DOCKBAR_TOP);
  DockAfter(b, a);
  Settle();
  ASSERT_EQ(ParentId(b), AFX_IDW_DOCKBAR_TOP);
  const int total = TopWidth() + 2;
  EXPECT_EQ((a.m_szHorz.cx - 2) + (b.m_szHorz.cx - 2), total);
  // 400 + 200 shrunk to the row: each gives a pixel at a time until B reaches its least length,
  // then A alone gives the rest.
  EXPECT_EQ(b.m_szHorz.cx, 150);
  EXPECT_EQ(a.m_szHorz.cy, 120) << "the thickest bar sets the row's thickness";
  EXPECT_EQ(b.m_szHorz.cy, 120);
  EXPECT_EQ(ScreenRect(a).Size(), a.m_szHorz);
  EXPECT_EQ(ScreenRect(b).left, ScreenRect(a).right - 2) << "end to end, overlapping by 2";

  // A bar of another kind in the row takes its own length; the sizing bars share the rest.
  ASSERT_TRUE(plain.Create(frame, ID_BAR_C));
  plain.EnableDocking(CBRS_ALIGN_ANY);
  CRect between = ScreenRect(a);
  between.OffsetRect(between.Width() - 30, 0);
  between.right = between.left + 100;
  frame->DockControlBar(&plain, AFX_IDW_DOCKBAR_TOP, &between);
  Settle();
  EXPECT_EQ((a.m_szHorz.cx - 2) + (b.m_szHorz.cx - 2), total - (100 - 2));
  EXPECT_EQ(ScreenRect(b).right, ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP)).right + 2);
}

TEST_F(SizingBars, ARowWhoseLeastLengthsDoNotFitIsBroken) {
  CQVControlBar a, b, c;
  Make(a, ID_BAR_A);
  Make(b, ID_BAR_B);
  Make(c, ID_BAR_C);
  for (CQVControlBar* bar : {&a, &b, &c}) bar->SetMinHorz(250);
  frame->DockControlBar(&a, AFX_IDW_DOCKBAR_TOP);
  DockAfter(b, a);
  DockAfter(c, b);
  Settle();
  // 640 pixels hold two bars of at least 250, not three: the third starts a row of its own.
  const auto& cells = DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars;
  std::vector<CControlBar*> rows;
  for (INT_PTR i = 0; i < cells.GetSize(); ++i) rows.push_back(cells[i]);
  EXPECT_EQ(rows, (std::vector<CControlBar*> {nullptr, &a, &b, nullptr, &c, nullptr}));
  EXPECT_GT(ScreenRect(c).top, ScreenRect(a).top);
  EXPECT_EQ(c.m_szHorz.cx - 2, TopWidth() + 2) << "alone in its row, it takes all of it";

  // A bar of another kind that fills the row on its own before a sizing bar: the row breaks after it.
  PlainBar plain(700);
  ASSERT_TRUE(plain.Create(frame, ID_BAR_C + 1));
  plain.EnableDocking(CBRS_ALIGN_ANY);
  CRect beforeC = ScreenRect(c);
  beforeC.right = beforeC.left + 20;
  frame->DockControlBar(&plain, AFX_IDW_DOCKBAR_TOP, &beforeC);
  Settle();
  rows.clear();
  for (INT_PTR i = 0; i < cells.GetSize(); ++i) rows.push_back(cells[i]);
  EXPECT_EQ(rows, (std::vector<CControlBar*> {nullptr, &a, &b, nullptr, &plain, nullptr, &c, nullptr}));
  EXPECT_GT(ScreenRect(c).top, ScreenRect(plain).top);

  // A bar whose least length is longer than the row keeps its least length, and the layout ends.
  CQVControlBar wide;
  Make(wide, ID_BAR_A + 10);
  wide.SetMinHorz(2000);
  frame->DockControlBar(&wide, AFX_IDW_DOCKBAR_BOTTOM);
  Settle();
  EXPECT_EQ(wide.m_szHorz.cx, 2000);
}

// ---- Edges --------------------------------------------------------------------------------------

TEST_F(SizingBars, OnlyEdgesTowardsTheFrameOrANeighbourCanBeDragged) {
  CQVControlBar a, b, left;
  Make(a, ID_BAR_A);
  Make(b, ID_BAR_B);
  Make(left, ID_BAR_C);
  frame->DockControlBar(&a, AFX_IDW_DOCKBAR_TOP);
  frame->DockControlBar(&left, AFX_IDW_DOCKBAR_LEFT);
  Settle();
  auto hit = [](CWnd& bar, CPoint offset) {
    const CRect r = ScreenRect(bar);
    const CPoint at(offset.x < 0 ? r.right + offset.x : r.left + offset.x, offset.y < 0 ? r.bottom + offset.y : r.top + offset.y);
    return bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
  };
  struct Case {
    const char* what;
    CWnd* bar;
    CPoint offset;  // from the left/top, or (negative) from the right/bottom
    LRESULT code;
  };
  const Case alone[] = {
      {"top bar, bottom edge", &a, {100, -2}, HTBOTTOM},
      {"top bar, left edge", &a, {2, 20}, HTCLIENT},
      {"top bar, right edge", &a, {-2, 20}, HTCLIENT},
      {"top bar, top edge", &a, {100, 2}, HTCLIENT},
      {"left bar, right edge", &left, {-2, 100}, HTRIGHT},
      {"left bar, bottom edge", &left, {20, -2}, HTCLIENT},
  };
  for (const Case& c : alone) EXPECT_EQ(hit(*c.bar, c.offset), c.code) << c.what;

  DockAfter(b, a);
  Settle();
  EXPECT_EQ(hit(a, {-2, 20}), HTRIGHT) << "a neighbour after it";
  EXPECT_EQ(hit(b, {2, 20}), HTLEFT) << "a neighbour before it";
  EXPECT_EQ(hit(b, {-2, 20}), HTCLIENT) << "the row's end";

  frame->FloatControlBar(&b, CPoint(300, 300));
  Settle();
  for (CPoint p : {CPoint(2, 20), CPoint(-2, 20), CPoint(20, 2), CPoint(20, -2)}) EXPECT_EQ(hit(b, p), HTCLIENT) << "floating";
}

TEST_F(SizingBars, DraggingAnEdgeMovesLengthBetweenNeighboursOrChangesTheRowsThickness) {
  CQVControlBar a, b;
  Make(a, ID_BAR_A);
  Make(b, ID_BAR_B);
  frame->DockControlBar(&a, AFX_IDW_DOCKBAR_TOP);
  DockAfter(b, a);
  Settle();
  struct Case {
    const char* what;
    CQVControlBar* bar;
    UINT hit;
    CSize move;
    int aLength;  // change of length by this drag
    int bLength;
    int thickness;
  };
  Settle();
  const int aBefore = a.m_szHorz.cx, bBefore = b.m_szHorz.cx, thick = a.m_szHorz.cy;
  ASSERT_GT(aBefore - 150, 60);
  const Case cases[] = {
      {"B's left edge to the left", &b, HTLEFT, {-40, 0}, -40, 40, 0},
      {"B's left edge back to the right", &b, HTLEFT, {40, 0}, 40, -40, 0},
      {"A's right edge far to the left stops at A's least length", &a, HTRIGHT, {-1000, 0}, 150 - aBefore,
       aBefore - 150, 0},
      {"A's right edge back", &a, HTRIGHT, {aBefore - 150, 0}, aBefore - 150, 150 - aBefore, 0},
      {"the bottom edge down thickens the row", &a, HTBOTTOM, {0, 30}, 0, 0, 30},
      {"the bottom edge up, not below the least thickness", &b, HTBOTTOM, {0, -1000}, 0, 0, 12 - (thick + 30)},
  };
  int thickness = thick;
  for (const Case& c : cases) {
    const int aNow = a.m_szHorz.cx, bNow = b.m_szHorz.cx;
    const CRect r = ScreenRect(*c.bar);
    const CPoint from = c.hit == HTLEFT   ? CPoint(r.left + 2, r.top + 20)
                        : c.hit == HTRIGHT ? CPoint(r.right - 2, r.top + 20)
                                           : CPoint(r.left + 60, r.bottom - 2);
    ASSERT_EQ(c.bar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(from.x, from.y)), static_cast<LRESULT>(c.hit)) << c.what;
    c.bar->SendMessage(WM_NCLBUTTONDOWN, c.hit, MAKELPARAM(from.x, from.y));
    ASSERT_EQ(::GetCapture(), c.bar->GetSafeHwnd()) << c.what;
    const CPoint to = from + c.move;
    c.bar->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(*c.bar, from + CSize(c.move.cx / 2, c.move.cy / 2)));
    c.bar->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(*c.bar, to));
    c.bar->PostMessage(WM_LBUTTONUP, 0, At(*c.bar, to));
    ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() == nullptr; })) << c.what;
    Settle();
    EXPECT_EQ(a.m_szHorz.cx - aNow, c.aLength) << c.what;
    EXPECT_EQ(b.m_szHorz.cx - bNow, c.bLength) << c.what;
    thickness += c.thickness;
    EXPECT_EQ(a.m_szHorz.cy, thickness) << c.what;
    EXPECT_EQ(b.m_szHorz.cy, thickness) << c.what;
    EXPECT_EQ(ScreenRect(a).Height(), thickness) << c.what;
    EXPECT_EQ((a.m_szHorz.cx - 2) + (b.m_szHorz.cx - 2), TopWidth() + 2) << c.what << ": the row stays full";
  }

  // The right button ends a drag where it has come to; another window taking the capture, too.
  const CRect r = ScreenRect(b);
  const CPoint from(r.left + 2, r.top + 20);
  b.SendMessage(WM_NCLBUTTONDOWN, HTLEFT, MAKELPARAM(from.x, from.y));
  b.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(b, from + CSize(-20, 0)));
  b.SendMessage(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, At(b, from + CSize(-20, 0)));
  EXPECT_EQ(::GetCapture(), nullptr);
  b.SendMessage(WM_NCLBUTTONDOWN, HTLEFT, MAKELPARAM(from.x, from.y));
  view.SetCapture();
  EXPECT_EQ(::GetCapture(), view.GetSafeHwnd());
  ::ReleaseCapture();
  b.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(b, from + CSize(-60, 0)));
  Settle();
  EXPECT_EQ(b.m_szHorz.cx, bBefore + 20) << "the drag had ended with the capture";
}

// ---- Docking and floating -------------------------------------------------------------------------

TEST_F(SizingBars, ABarIsFloatedByADragAndDockedAtAnotherSide) {
  CQVControlBar bar;
  Make(bar, ID_BAR_A);
  bar.m_szFloat = CSize(180, 120);
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
  Settle();
  const CPoint grab(30, 20);
  const CPoint middle = origin + CSize(client.Width() / 2, client.Height() / 2);
  bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(bar, middle));
  bar.PostMessage(WM_LBUTTONUP, 0, At(bar, middle));
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y));
  ASSERT_TRUE(bar.IsFloating());
  auto* mini = dynamic_cast<CQVMiniDockFrameWnd*>(bar.GetParentFrame());
  ASSERT_NE(mini, nullptr) << "the frame floats sizing bars in the sizing bars' own frame";
  EXPECT_EQ(mini->GetSizingControlBar(), &bar);
  Settle();
  EXPECT_FALSE(mini->GetStyle() & MFS_4THICKFRAME) << "an ordinary resizable frame once it moved";
  EXPECT_EQ(ScreenRect(bar).Size(), CSize(180, 120)) << "its floating size";

  // Sizing the frame sizes the bar's floating size; not below its least floating size.
  CRect frameRect = ScreenRect(*mini);
  mini->SetWindowPos(nullptr, 0, 0, frameRect.Width() + 50, frameRect.Height() + 30, SWP_NOMOVE | SWP_NOZORDER);
  Settle();
  EXPECT_EQ(bar.m_szFloat, CSize(230, 150));
  MINMAXINFO info {};
  mini->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  CRect least(0, 0, 37 - 4, 32 - 4);
  mini->CalcWindowRect(&least);
  EXPECT_EQ(CSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y), least.Size());

  // From the frame's caption to the frame's left side.
  const CRect caption = mini->GetCaptionRect();
  const CPoint onCaption = ScreenRect(*mini).TopLeft() + CSize(caption.left + 20, caption.CenterPoint().y);
  const CPoint leftEdge = origin + CSize(4, client.Height() / 2);
  bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(bar, leftEdge));
  bar.PostMessage(WM_LBUTTONUP, 0, At(bar, leftEdge));
  mini->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(onCaption.x, onCaption.y));
  Settle();
  ASSERT_FALSE(bar.IsFloating());
  EXPECT_EQ(ParentId(bar), AFX_IDW_DOCKBAR_LEFT);
  EXPECT_TRUE(bar.IsVertDocked());
  EXPECT_EQ(ScreenRect(bar).Width(), bar.m_szVert.cx);
  EXPECT_EQ(ScreenRect(bar).Height(), ScreenRect(*DockBar(AFX_IDW_DOCKBAR_LEFT)).Height() + 4)
      << "alone, the whole side, tucked 2 pixels under either end";
}

// ---- The dock-state block -----------------------------------------------------------------------

BOOL LoadBlock(CFrameWnd& frame, const std::vector<BYTE>& bytes) { return LoadDockStateBlock(frame, bytes.data(), bytes.size()); }

void PutInt(std::vector<BYTE>& bytes, size_t at, int value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<BYTE>(static_cast<unsigned>(value) >> (8 * i));
}

TEST_F(SizingBars, TheRememberedSizesSurviveADockStateRoundTrip) {
  CQVControlBar a, b;
  Make(a, ID_BAR_A);
  Make(b, ID_BAR_B);
  frame->DockControlBar(&a, AFX_IDW_DOCKBAR_LEFT);
  frame->DockControlBar(&b, AFX_IDW_DOCKBAR_TOP);
  a.m_szVert = CSize(170, 300);
  a.m_szFloat = CSize(210, 160);
  b.m_szFloat = CSize(90, 70);
  Settle();
  const CSize aVert = a.m_szVert, aFloat = a.m_szFloat, bHorz = b.m_szHorz, bFloat = b.m_szFloat;
  const std::vector<BYTE> block = StoreDockStateBlock(*frame);
  // The bars' record is last: 10 bytes of head, then 28 per bar.
  ASSERT_GT(block.size(), 10u + 2 * 28);
  const size_t barsAt = block.size() - 10 - 2 * 28;

  auto scramble = [&] {
    a.m_szVert = CSize(40, 40);
    a.m_szFloat = CSize(40, 40);
    b.m_szFloat = CSize(300, 300);
    frame->FloatControlBar(&a, CPoint(300, 300));
    Settle();
  };
  scramble();
  ASSERT_TRUE(LoadBlock(*frame, block));
  Settle();
  EXPECT_EQ(a.m_szVert.cx, aVert.cx);
  EXPECT_EQ(a.m_szFloat, aFloat);
  EXPECT_EQ(b.m_szHorz.cy, bHorz.cy);
  EXPECT_EQ(b.m_szFloat, bFloat);
  EXPECT_EQ(ParentId(a), AFX_IDW_DOCKBAR_LEFT) << "the layout came back too";
  EXPECT_EQ(ScreenRect(a).Width(), aVert.cx);

  // Damaged or foreign blocks change nothing.
  auto with = [&](size_t at, std::vector<BYTE> patch) {
    std::vector<BYTE> bytes = block;
    std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
  };
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
  };
  const Case damaged[] = {
      {"empty", {}},
      {"cut short in the bars' record", std::vector<BYTE>(block.begin(), block.end() - 5)},
      {"without the bars' record", std::vector<BYTE>(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(barsAt))},
      {"a foreign dock state", with(0, {'X', 'O', 'C', 'K'})},
      {"a foreign bars' record", with(barsAt, {'X', 'X', 'X', 'X'})},
      {"another version of the bars' record", with(barsAt + 4, {2, 0})},
      {"a count of bars past the limit", with(barsAt + 6, {0x01, 0x10, 0, 0})},
      {"more bars counted than stored", with(barsAt + 6, {3, 0, 0, 0})},
  };
  scramble();
  const CRect aAt = ScreenRect(a);
  for (const Case& c : damaged) {
    EXPECT_FALSE(LoadBlock(*frame, c.bytes)) << c.what;
    Settle();
    EXPECT_EQ(a.m_szFloat, CSize(40, 40)) << c.what;
    EXPECT_EQ(b.m_szFloat, CSize(300, 300)) << c.what;
    EXPECT_TRUE(a.IsFloating()) << c.what;
    EXPECT_EQ(ScreenRect(a), aAt) << c.what;
  }

  // Sizes below the least sizes come back as the least sizes; sizes past 32767 as 32767. A bar
  // the frame no longer has is passed over, and the sizes find their bar by its ID.
  std::vector<BYTE> odd = block;
  const size_t aSizes = barsAt + 10 + 4, bSizes = aSizes + 28;
  for (int i = 0; i < 6; ++i) PutInt(odd, aSizes + 4 * static_cast<size_t>(i), 10);
  for (int i = 0; i < 6; ++i) PutInt(odd, bSizes + 4 * static_cast<size_t>(i), 0x7FFFFFFF);
  ASSERT_TRUE(LoadBlock(*frame, odd));
  EXPECT_EQ(a.m_szHorz, CSize(150, 12));
  EXPECT_EQ(a.m_szVert.cx, 12);
  EXPECT_EQ(a.m_szFloat, CSize(37, 32));
  EXPECT_EQ(b.m_szFloat, CSize(32767, 32767));
  b.DestroyWindow();
  EXPECT_TRUE(LoadBlock(*frame, block));
  EXPECT_EQ(a.m_szFloat, aFloat);
}

}  // namespace
