// The framework's status bar in a frame: panes by count, owner-drawn panes, icons, tips, hit
// testing and the refresh timer.

#include "framework/bars/CQVStatusBar.h"

#include "platform/core/CException.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr COLORREF kDrawnColour = RGB(30, 140, 60);
constexpr COLORREF kIconColour = RGB(220, 30, 30);

// A bar that records its hooks; an owner-drawn pane is filled with one colour.
class TestBar : public CQVStatusBar {
public:
  TestBar() = default;
  TestBar(int refresh, int interval) {
    m_bRefreshTimer = refresh;
    m_nRefreshInterval = interval;
  }
  struct Drawn {
    int pane;
    bool hasDc;
    CRect rect;
  };
  void OnDrawPane(int pane, CDC* dc, CRect rect) override {
    drawn.push_back({pane, dc != nullptr, rect});
    if (dc) dc->FillSolidRect(&rect, kDrawnColour);
    if (throwCException) throw new CException;
    if (throwOther) throw std::runtime_error("drawing failed");
  }
  void OnUpdateStatus() override {
    ++updates;
    ticks.push_back(std::chrono::steady_clock::now());
  }

  std::vector<Drawn> drawn;
  int updates = 0;
  std::vector<std::chrono::steady_clock::time_point> ticks;
  int textMessages = 0;
  bool throwCException = false;
  bool throwOther = false;

protected:
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam) {
    ++textMessages;
    return OnSetPartText(wParam, lParam);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestBar, CQVStatusBar)
  ON_MESSAGE(SB_SETTEXTW, &TestBar::OnSetText)
END_MESSAGE_MAP()

// One frame with a view and a status bar along its bottom.
class StatusBarTest : public ::testing::Test {
protected:
  void SetUp() override { MakeFrame(bar); }
  void TearDown() override {
    if (bar.GetSafeHwnd()) bar.DestroyWindow();
    frame->DestroyWindow();
  }
  void MakeFrame(TestBar& into) {
    frame = MakeFrameWithView(view, u"frame", CRect(0, 0, 520, 300));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(into.Create(frame, AFX_IDW_STATUS_BAR));
  }
  // Four panes: the first stretches, the others are 60, 80 and 50 wide.
  void FourPanes() {
    ASSERT_TRUE(bar.SetPanes(4));
    bar.SetPaneInfo(1, SBPS_NORMAL, 60);
    bar.SetPaneInfo(2, SBPS_NORMAL, 80);
    bar.SetPaneInfo(3, SBPS_NORMAL, 50);
    frame->RecalcLayout();
  }
  CString ControlText(int pane, int* type = nullptr) { return bar.GetStatusBarCtrl().GetText(pane, type); }
  CRect Item(int pane) {
    CRect r;
    bar.GetItemRect(pane, &r);
    return r;
  }
  COLORREF PixelOfBar(int x, int y) {
    bar.Invalidate();
    bar.UpdateWindow();
    CDC* dc = bar.GetDC();
    COLORREF c = dc->GetPixel(x, y);
    bar.ReleaseDC(dc);
    return c;
  }

  CFrameWnd* frame {};
  CWnd view;
  TestBar bar;
};

// A 16 x 16 icon of one colour, opaque.
HICON SolidIcon(COLORREF colour) {
  CBitmap picture, mask;
  HDC screen = ::GetDC(nullptr);
  picture.Attach(::CreateCompatibleBitmap(screen, 16, 16));
  mask.Attach(::CreateCompatibleBitmap(screen, 16, 16));
  ::ReleaseDC(nullptr, screen);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&picture);
  dc.FillSolidRect(0, 0, 16, 16, colour);
  dc.SelectObject(&mask);
  dc.FillSolidRect(0, 0, 16, 16, RGB(0, 0, 0));
  dc.SelectObject(old);
  ICONINFO info {TRUE, 0, 0, static_cast<HBITMAP>(mask.GetSafeHandle()), static_cast<HBITMAP>(picture.GetSafeHandle())};
  return ::CreateIconIndirect(&info);
}

TEST_F(StatusBarTest, PanesAreMadeByCountAndAFailedCountKeepsThePanesThereWere) {
  EXPECT_EQ(bar.GetCount(), 0) << "a new bar has no panes";
  ASSERT_TRUE(bar.SetPanes(3));
  struct Case {
    int count;
    BOOL made;
    int after;
  } const cases[] = {{0, FALSE, 3}, {-1, FALSE, 3}, {251, FALSE, 3}, {250, TRUE, 250}, {1, TRUE, 1}, {5, TRUE, 5}};
  for (const Case& c : cases) {
    EXPECT_EQ(bar.SetPanes(c.count), c.made) << c.count;
    EXPECT_EQ(bar.GetCount(), c.after) << c.count;
  }
  for (int i = 0; i < bar.GetCount(); ++i) EXPECT_EQ(bar.GetItemID(i), 0u) << "pane " << i << " has no ID";
  // Every pane of the control is there to take a text, the last one included.
  ASSERT_TRUE(bar.SetPanes(250));
  bar.SetPaneText(249, u"last");
  EXPECT_EQ(ControlText(249), CString(u"last"));
}

TEST_F(StatusBarTest, SettersIgnorePaneIndexesOutsideTheBarAlsoAfterTheCountShrinks) {
  FourPanes();
  bar.SetPaneText(1, u"Page 1");
  bar.SetPaneTip(1, u"tip");
  const CRect before = Item(3);

  auto touchEveryPaneSetter = [this](int pane) {
    bar.SetPaneText(pane, u"wrong");
    bar.SetPaneInfo(pane, SBPS_POPOUT, 5);
    bar.SetPaneOwnerDraw(pane, TRUE);
    bar.SetPaneIcon(pane, reinterpret_cast<HICON>(1));
    bar.SetPaneTip(pane, u"wrong");
  };
  const int textsBefore = bar.textMessages;
  for (int pane : {-1, 4, 255, 256, 1000}) touchEveryPaneSetter(pane);
  EXPECT_EQ(bar.textMessages, textsBefore) << "no text went to the control";
  for (int i = 0; i < 4; ++i) {
    int type = 0;
    EXPECT_EQ(ControlText(i, &type), CString(i == 1 ? u"Page 1" : u"")) << i;
    EXPECT_FALSE(type & SBT_OWNERDRAW) << i;
  }
  EXPECT_EQ(Item(3), before) << "no pane changed its width";

  // Four panes become two: the panes that went are out of range now.
  ASSERT_TRUE(bar.SetPanes(2));
  touchEveryPaneSetter(2);
  touchEveryPaneSetter(3);
  EXPECT_EQ(bar.GetCount(), 2);
  EXPECT_EQ(bar.GetPaneText(1), CString(u"")) << "the new panes start empty";
  bar.SetPaneText(1, u"again");
  EXPECT_EQ(ControlText(1), CString(u"again"));
}

TEST(StatusBarWithoutWindow, SettersOfABarNotYetCreatedDoNothing) {
  CQVStatusBar bar;
  ASSERT_TRUE(bar.SetPanes(2));
  bar.SetPaneOwnerDraw(0, TRUE);
  bar.SetPaneIcon(0, reinterpret_cast<HICON>(1));
  bar.SetPaneTip(1, u"tip");
  bar.SetMinHeight(30);
  EXPECT_EQ(bar.SetBackColor(RGB(1, 2, 3)), static_cast<COLORREF>(CLR_DEFAULT));
  EXPECT_EQ(bar.HitTest(CPoint(1, 1)), -1);
}

TEST_F(StatusBarTest, AnOwnerDrawnPaneIsDrawnByTheHookAndGetsItsTextBackWhenSwitchedOff) {
  FourPanes();
  bar.SetPaneText(2, u"Ready");
  const int textsBefore = bar.textMessages;
  bar.SetPaneOwnerDraw(2, TRUE);
  bar.SetPaneOwnerDraw(2, TRUE);
  EXPECT_EQ(bar.textMessages, textsBefore + 1) << "switching on twice sends one message";
  int type = 0;
  EXPECT_EQ(ControlText(2, &type).GetLength(), 0);
  EXPECT_TRUE(type & SBT_OWNERDRAW);

  bar.drawn.clear();
  CRect item = Item(2);
  const COLORREF inside = PixelOfBar(item.CenterPoint().x, item.CenterPoint().y);
  ASSERT_EQ(bar.drawn.size(), 1u) << "only the owner-drawn pane reaches the hook";
  EXPECT_EQ(bar.drawn[0].pane, 2);
  EXPECT_TRUE(bar.drawn[0].hasDc);
  CRect within;
  EXPECT_TRUE(within.IntersectRect(&bar.drawn[0].rect, &item) && within == bar.drawn[0].rect)
      << "the hook's rectangle lies in the pane";
  EXPECT_FALSE(bar.drawn[0].rect.IsRectEmpty());
  EXPECT_EQ(inside, kDrawnColour) << "the hook draws on the bar";

  // Another pane's text sends the panes again, and a new width or border for this pane comes
  // without the owner-draw style: it stays owner-drawn.
  bar.SetPaneText(1, u"Page 2");
  ControlText(2, &type);
  EXPECT_TRUE(type & SBT_OWNERDRAW);
  bar.SetPaneInfo(2, SBPS_POPOUT, 90);
  ControlText(2, &type);
  EXPECT_TRUE(type & SBT_OWNERDRAW);
  EXPECT_TRUE(type & SBT_POPOUT);
  EXPECT_EQ(Item(2).Width(), 94);

  bar.SetPaneOwnerDraw(2, FALSE);
  EXPECT_EQ(ControlText(2, &type), CString(u"Ready")) << "switching back restores the text";
  EXPECT_FALSE(type & SBT_OWNERDRAW);
  const int textsAfter = bar.textMessages;
  bar.SetPaneOwnerDraw(2, FALSE);
  EXPECT_EQ(bar.textMessages, textsAfter) << "a plain pane switched off sends nothing";
  bar.drawn.clear();
  item = Item(2);
  EXPECT_NE(PixelOfBar(item.CenterPoint().x, item.CenterPoint().y), kDrawnColour);
  EXPECT_TRUE(bar.drawn.empty());
}

TEST_F(StatusBarTest, DrawItemKeepsTheCallersDeviceContextWhateverTheHookDoes) {
  CDC memory;
  ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
  CBitmap picture;
  HDC screen = ::GetDC(nullptr);
  picture.Attach(::CreateCompatibleBitmap(screen, 20, 20));
  ::ReleaseDC(nullptr, screen);
  CBitmap* old = memory.SelectObject(&picture);

  bar.DrawItem(nullptr);
  EXPECT_TRUE(bar.drawn.empty()) << "no structure, no drawing";

  struct Case {
    bool cexception;
    bool other;
  } const cases[] = {{false, false}, {true, false}, {false, true}};
  for (const Case& c : cases) {
    bar.throwCException = c.cexception;
    bar.throwOther = c.other;
    DRAWITEMSTRUCT dis {0, AFX_IDW_STATUS_BAR, 3, ODA_DRAWENTIRE, 0, bar.GetSafeHwnd(), memory.GetSafeHdc(), {2, 2, 12, 12}, 0};
    bar.drawn.clear();
    EXPECT_NO_THROW(bar.DrawItem(&dis));
    ASSERT_EQ(bar.drawn.size(), 1u);
    EXPECT_EQ(bar.drawn[0].pane, 3);
    EXPECT_EQ(bar.drawn[0].rect, CRect(2, 2, 12, 12));
    EXPECT_EQ(memory.GetPixel(5, 5), kDrawnColour);
    // The device context is still the caller's and still draws.
    memory.FillSolidRect(0, 0, 20, 20, RGB(1, 2, 3));
    EXPECT_EQ(memory.GetPixel(5, 5), RGB(1, 2, 3)) << c.cexception << c.other;
  }

  bar.throwCException = bar.throwOther = false;
  DRAWITEMSTRUCT noDc {0, AFX_IDW_STATUS_BAR, 1, ODA_DRAWENTIRE, 0, bar.GetSafeHwnd(), nullptr, {0, 0, 5, 5}, 0};
  bar.drawn.clear();
  bar.DrawItem(&noDc);
  ASSERT_EQ(bar.drawn.size(), 1u);
  EXPECT_FALSE(bar.drawn[0].hasDc) << "no device context reaches the hook as null";
  memory.SelectObject(old);
}

TEST_F(StatusBarTest, IconsAndTipsBelongToTheirPane) {
  FourPanes();
  HICON icon = SolidIcon(kIconColour);
  ASSERT_NE(icon, nullptr);
  bar.SetPaneIcon(1, icon);
  bar.SetPaneText(1, u"Page");
  bar.SetPaneTip(1, u"Current page");
  bar.SetPaneTip(3, u"Zoom");

  const CRect one = Item(1), three = Item(3);
  EXPECT_EQ(PixelOfBar(one.left + 6, one.CenterPoint().y), kIconColour) << "the icon at the start of its pane";
  EXPECT_NE(PixelOfBar(three.left + 6, three.CenterPoint().y), kIconColour) << "no icon in the other panes";

  auto tip = [this](int pane) {
    WCHAR text[32] {};
    bar.SendMessage(SB_GETTIPTEXTW, MAKEWPARAM(pane, 32), reinterpret_cast<LPARAM>(text));
    return CString(text);
  };
  EXPECT_EQ(tip(1), CString(u"Current page"));
  EXPECT_EQ(tip(2), CString(u""));
  EXPECT_EQ(tip(3), CString(u"Zoom"));
  bar.SetPaneIcon(1, nullptr);
  ::DestroyIcon(icon);
}

TEST_F(StatusBarTest, HitTestFindsThePaneUnderAPointAndNothingBetweenOrOutside) {
  EXPECT_EQ(bar.HitTest(CPoint(5, 5)), -1) << "a bar without panes";
  FourPanes();
  CRect client;
  bar.GetClientRect(&client);
  const int midY = Item(1).CenterPoint().y;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(bar.HitTest(Item(i).CenterPoint()), i);
    EXPECT_EQ(bar.HitTest(CPoint(Item(i).left, Item(i).top)), i) << "the top left corner belongs to the pane";
  }
  struct Case {
    CPoint pt;
    const char* where;
  } const cases[] = {
      {CPoint(Item(1).right, midY), "between panes 1 and 2"},
      {CPoint(Item(2).left - 1, midY), "just before pane 2"},
      {CPoint(-3, midY), "left of the bar"},
      {CPoint(20, client.bottom + 4), "below the bar"},
      {CPoint(20, -4), "above the bar"},
      {CPoint(client.right - 2, midY), "over the size grip"},
  };
  for (const Case& c : cases) EXPECT_EQ(bar.HitTest(c.pt), -1) << c.where;
}

TEST_F(StatusBarTest, TheRefreshHookRunsOnTheRefreshTimerOnly) {
  bar.SendMessage(WM_TIMER, CQVStatusBar::kRefreshTimer);
  bar.SendMessage(WM_TIMER, CQVStatusBar::kRefreshTimer);
  EXPECT_EQ(bar.updates, 2);
  bar.SendMessage(WM_TIMER, 999);
  bar.SendMessage(WM_TIMER, CQVStatusBar::kRefreshTimer + 1);
  EXPECT_EQ(bar.updates, 2) << "other timers are not the hook's";
}

TEST_F(StatusBarTest, SetBackColorAnswersTheColourBefore) {
  EXPECT_EQ(bar.SetBackColor(RGB(10, 20, 30)), static_cast<COLORREF>(CLR_DEFAULT));
  EXPECT_EQ(bar.SetBackColor(RGB(40, 50, 60)), RGB(10, 20, 30));
}

// The timer runs by itself; a period of 0 or less is the default 500 ms, the timer is off unless
// a bar enables it before it is made. The bars tick side by side in one loop and are judged by
// what load cannot change: a timer never fires before its periods are up (its k-th tick comes at
// least k periods, less the timer's slack, after it started), and of two timers in one loop the
// one with the shorter period ticks more often.
TEST(StatusBarRefreshTimer, RunsAtItsPeriodWhenEnabled) {
  using Clock = std::chrono::steady_clock;
  struct Case {
    int enabled;
    int interval;
    int period;  // what the bar must tick at, in ms (0: it must not tick)
  } const cases[] = {{0, 100, 0}, {1, 0, 500}, {1, -20, 500}, {1, 100, 100}};
  std::vector<CFrameWnd*> frames;
  std::vector<std::unique_ptr<TestBar>> bars;
  const Clock::time_point start = Clock::now();
  for (const Case& c : cases) {
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, u"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 300, 200)));
    frames.push_back(frame);
    bars.push_back(std::make_unique<TestBar>(c.enabled, c.interval));
    ASSERT_TRUE(bars.back()->Create(frame, AFX_IDW_STATUS_BAR));
  }
  TestBar& off = *bars[0];
  TestBar& fast = *bars[3];
  // Two ticks of each default bar; a generous limit for a loaded machine.
  EXPECT_TRUE(PumpUntil([&] { return bars[1]->updates >= 2 && bars[2]->updates >= 2 && fast.updates >= 5; }, 20000));
  for (size_t i = 0; i < bars.size(); ++i) {
    const TestBar& bar = *bars[i];
    if (cases[i].period == 0) continue;
    for (size_t k = 0; k < bar.ticks.size(); ++k) {
      const auto earliest = std::chrono::milliseconds(cases[i].period * 9 / 10 * static_cast<int>(k + 1));
      EXPECT_GE(bar.ticks[k] - start, earliest) << "interval " << cases[i].interval << ", tick " << k + 1;
    }
  }
  EXPECT_EQ(off.updates, 0) << "a bar that does not enable the timer never ticks";
  if (fast.ticks.size() >= 5 && bars[1]->ticks.size() >= 2) {
    EXPECT_LT(fast.ticks[4], bars[1]->ticks[1]) << "a 100 ms timer ticked no faster than the default";
  }
  for (size_t i = 0; i < bars.size(); ++i) {
    bars[i]->DestroyWindow();
    frames[i]->DestroyWindow();
  }
}

// On a virtual X display: a frame whose bar shows text panes, an icon pane and an owner-drawn
// pane; the picture is kept with the artefacts.
TEST(StatusBarOnX11, AFrameShowsTextIconAndOwnerDrawnPanes) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X display";
  CWnd view;
  CFrameWnd* frame = MakeFrameWithView(view, u"Status bar", CRect(40, 40, 560, 300), true);
  ASSERT_NE(frame, nullptr);
  TestBar bar;
  ASSERT_TRUE(bar.Create(frame, AFX_IDW_STATUS_BAR));
  ASSERT_TRUE(bar.SetPanes(4));
  bar.SetPaneInfo(1, SBPS_NORMAL, 90);
  bar.SetPaneInfo(2, SBPS_NORMAL, 80);
  bar.SetPaneInfo(3, SBPS_NORMAL, 50);
  bar.SetPaneText(0, u"Ready");
  HICON icon = SolidIcon(kIconColour);
  bar.SetPaneIcon(1, icon);
  bar.SetPaneText(1, u"Page 3 of 7");
  bar.SetPaneOwnerDraw(2, TRUE);
  bar.SetPaneText(3, u"\t100%");
  frame->RecalcLayout();

  CRect drawn;
  bar.GetItemRect(2, &drawn);
  bar.ClientToScreen(&drawn);
  const QRgb green = QColor(GetRValue(kDrawnColour), GetGValue(kDrawnColour), GetBValue(kDrawnColour)).rgb();
  QImage shot;
  EXPECT_TRUE(PumpUntil([&] {
    shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    return shot.pixel(drawn.CenterPoint().x, drawn.CenterPoint().y) == green;
  }, 5000)) << "the owner-drawn pane on the screen";
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  CRect whole;
  frame->GetWindowRect(&whole);
  whole.InflateRect(10, 10);
  shot.copy(whole.left, whole.top, whole.Width(), whole.Height()).save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/status_bar_x11.png"));
  bar.DestroyWindow();
  frame->DestroyWindow();
  ::DestroyIcon(icon);
}

}  // namespace
