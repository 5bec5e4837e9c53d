// The framework's tool bar: labels and tips by command name from the test's language file
// (tests/res/bars.*.lang, English and German), label modes, drop-down and check buttons, hosted
// controls that take input, and the layout that wraps when the bar floats or docks at a side.

#include "framework/bars/CQVToolBar.h"

#include "foundation/language/CQVRCM.h"
#include "framework/bars/tests/BarTestSupport.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CImageList.h"
#include "platform/ui/bars/CMiniFrameWnd.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr UINT ID_OPEN = 0x8001, ID_PRINT = 0x8002, ID_ZOOM = 0x8003, ID_REOPEN = 0x8004, ID_NONAME = 0x8005;
constexpr UINT ID_COMBO = 0x8010, ID_EDIT = 0x8011, ID_NOWHERE = 0x8012;
constexpr UINT ID_BAR = AFX_IDW_TOOLBAR;

// The test program is the main program; its language file lies beside it.
class BarsLanguageFile : public ::testing::Environment {
public:
  void SetUp() override { CQVRCM::RegisterRCM(nullptr, u"FrameworkBarsTest.drs", TRUE); }
};
const auto* const g_languageFile = ::testing::AddGlobalTestEnvironment(new BarsLanguageFile);

class BarsFrame : public CFrameWnd {
public:
  void OnDropDown(NMHDR* hdr, LRESULT* result) {
    droppedFor = reinterpret_cast<NMTOOLBARW*>(hdr)->iItem;
    *result = TBDDRET_DEFAULT;
  }
  void OnEditChange() { ++editChanges; }
  void OnComboChange() { ++comboChanges; }
  int droppedFor = 0, editChanges = 0, comboChanges = 0;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BarsFrame, CFrameWnd)
  ON_NOTIFY(TBN_DROPDOWN, ID_BAR, &BarsFrame::OnDropDown)
  ON_EN_CHANGE(ID_EDIT, &BarsFrame::OnEditChange)
  ON_CBN_SELCHANGE(ID_COMBO, &BarsFrame::OnComboChange)
END_MESSAGE_MAP()

// Open, Print | Zoom (no label beside its picture), Reopen (labelled "Open" too), a command
// without texts | and two buttons for controls.
class TestToolBar : public CQVToolBar {
public:
  BOOL OnUpdate() override {
    const UINT ids[] = {ID_OPEN, ID_PRINT, 0, ID_ZOOM, ID_REOPEN, ID_NONAME, 0, ID_COMBO, ID_EDIT};
    return SetButtons(ids, 9) && SetImageList(&images);
  }
  BOOL HasButtonText(UINT id) override { return id != ID_ZOOM; }
  static void ReadVersionAgain() { ForgetComCtlVersion(); }
  CImageList images;
};

// An edit of the program's own, made by InsertControl from its run-time class.
class OwnEdit : public CEdit {
  DECLARE_DYNCREATE(OwnEdit)
};
IMPLEMENT_DYNCREATE(OwnEdit, CEdit)

TBBUTTON ButtonAt(CToolBar& bar, int index) {
  TBBUTTON b {};
  bar.GetToolBarCtrl().GetButton(index, &b);
  return b;
}

CRect ItemRect(CToolBar& bar, int index) {
  CRect r;
  bar.GetToolBarCtrl().GetItemRect(index, &r);
  return r;
}

void ClickAt(CToolBar& bar, CPoint at) {
  QTest::mouseClick(ClientOf(bar.GetSafeHwnd()), Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
}

CString Tip(CToolBar& bar, UINT id) {
  NMTTDISPINFOW info {};
  info.hdr = NMHDR {bar.GetSafeHwnd(), id, TTN_NEEDTEXTW};
  bar.SendMessage(WM_NOTIFY, ID_BAR, reinterpret_cast<LPARAM>(&info.hdr));
  return info.lpszText ? CString(info.lpszText) : CString();
}

class ToolBars : public ::testing::Test {
protected:
  void SetUp() override {
    app = std::make_unique<CommandNamesApp>(std::initializer_list<std::pair<UINT, LPCWSTR>> {
        {ID_OPEN, u"Open"}, {ID_PRINT, u"Print"}, {ID_ZOOM, u"Zoom"}, {ID_REOPEN, u"Reopen"}, {ID_NONAME, u"Nameless"}});
    CQVRCM::SetCurrentLanguage(u"en-us");
    frame = new BarsFrame;
    ASSERT_TRUE(frame->Create(nullptr, u"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 740, 440)));
    ASSERT_TRUE(bar.images.Create(16, 15, ILC_COLOR24 | ILC_MASK, 0, 4));
    ASSERT_TRUE(bar.Create(frame, ID_BAR));
    frame->RecalcLayout();
  }
  void TearDown() override {
    CQVRCM::SetCurrentLanguage(u"en-us");
    bar.DestroyWindow();
    frame->DestroyWindow();
    app.reset();
  }
  void Lay() {
    frame->RecalcLayout();
    bar.CalcDynamicLayout(0, (bar.IsFloating() ? LM_MRUWIDTH : (bar.IsVertDocked() ? LM_VERTDOCK : LM_HORZDOCK)) |
                                 (bar.IsVertDocked() ? 0 : LM_HORZ) | LM_COMMIT);
  }

  std::unique_ptr<CommandNamesApp> app;
  BarsFrame* frame {};
  TestToolBar bar;
};

// ---- Labels and tips ----------------------------------------------------------------------------

TEST_F(ToolBars, LabelsAndTipsComeByCommandNameAndFollowTheLanguage) {
  bar.ShowIconText(2);
  struct Case {
    const char* language;
    std::vector<CString> labels;  // Open, Print, -, Zoom, Reopen, Nameless
    CString openTip;
  };
  const Case cases[] = {
      {"de-de", {u"Öffnen", u"Drucken", u"", u"Zoomen", u"Öffnen", u""}, u"Einen Stapel öffnen"},
      {"en-us", {u"Open", u"Print", u"", u"Zoom", u"Open", u""}, u"Open a batch"},
  };
  EXPECT_EQ(bar.GetButtonText(0), CString(u"Open"));
  for (const Case& c : cases) {
    ASSERT_TRUE(CQVRCM::SetCurrentLanguage(CString(c.language)));
    bar.LoadToolBarText();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(bar.GetButtonText(i), c.labels[static_cast<size_t>(i)]) << c.language << " " << i;
    EXPECT_EQ(Tip(bar, ID_OPEN), c.openTip) << c.language;
    EXPECT_EQ(ButtonAt(bar, 0).iString, ButtonAt(bar, 4).iString) << c.language << ": one pool entry for one label";
  }
  EXPECT_EQ(Tip(bar, ID_NONAME), CString()) << "no tip without a text";
  EXPECT_EQ(Tip(bar, 0x9999), CString()) << "no tip without a name";
}

TEST_F(ToolBars, LabelModesPutLabelsBesideOrBelowThePicturesOrNowhere) {
  struct Case {
    int mode;
    bool list;        // TBSTYLE_LIST and TBSTYLE_EX_MIXEDBUTTONS
    bool openShown;   // BTNS_SHOWTEXT on Open
    int textRows;
  };
  const Case cases[] = {{1, true, true, 1}, {2, false, false, 1}, {0, false, false, 0}};
  bar.ShowIconText(0);
  Lay();
  const int bareWidth = bar.CalcFixedLayout(FALSE, TRUE).cx;
  for (const Case& c : cases) {
    bar.ShowIconText(c.mode);
    Lay();
    EXPECT_EQ(bool(bar.GetStyle() & TBSTYLE_LIST), c.list) << c.mode;
    EXPECT_EQ(bool(bar.GetToolBarCtrl().GetExtendedStyle() & TBSTYLE_EX_MIXEDBUTTONS), c.list) << c.mode;
    EXPECT_EQ(bool(ButtonAt(bar, 0).fsStyle & BTNS_SHOWTEXT), c.openShown) << c.mode;
    EXPECT_EQ(bar.GetToolBarCtrl().GetMaxTextRows(), c.textRows) << c.mode;
    if (c.mode == 1) {
      EXPECT_FALSE(ButtonAt(bar, 3).fsStyle & BTNS_SHOWTEXT) << "Zoom has no label beside it";
      EXPECT_TRUE(ButtonAt(bar, 3).fsStyle & BTNS_AUTOSIZE);
      EXPECT_GT(ItemRect(bar, 0).Width(), ItemRect(bar, 3).Width()) << "a labelled button is wider";
    }
    if (c.mode == 2) {
      for (int i : {0, 1, 3, 4}) EXPECT_TRUE(ButtonAt(bar, i).fsStyle & BTNS_AUTOSIZE) << i;
    }
    const int width = bar.CalcFixedLayout(FALSE, TRUE).cx;
    if (c.mode == 0) EXPECT_EQ(width, bareWidth);
    else EXPECT_GT(width, bareWidth) << c.mode << ": laid out by the measured, labelled buttons";
  }
}

TEST_F(ToolBars, AnImageListSetsTheButtonSize) {
  EXPECT_FALSE(bar.SetImageList(nullptr));
  EXPECT_EQ(bar.GetToolBarCtrl().GetButtonSize(), CSize(23, 21)) << "16 x 15 pictures";
  CImageList large;
  ASSERT_TRUE(large.Create(24, 20, ILC_COLOR24 | ILC_MASK, 0, 4));
  ASSERT_TRUE(bar.SetImageList(&large));
  EXPECT_EQ(bar.GetToolBarCtrl().GetButtonSize(), CSize(31, 26));
}

// ---- Button kinds -------------------------------------------------------------------------------

TEST_F(ToolBars, DropDownPressesReachTheFrameAndCheckButtonsKeepTheirState) {
  bar.ShowIconText(1);
  bar.SetDropDown(ID_PRINT);
  bar.SetCheckButton(ID_ZOOM);
  const DWORD ex = bar.GetToolBarCtrl().GetExtendedStyle();
  EXPECT_TRUE(ex & TBSTYLE_EX_DRAWDDARROWS);
  EXPECT_TRUE(ex & TBSTYLE_EX_MIXEDBUTTONS) << "the label mode's style stays";
  EXPECT_TRUE(ButtonAt(bar, 1).fsStyle & TBSTYLE_DROPDOWN);
  Lay();

  // Straight in the frame, then docked in one of its dock bars.
  for (bool docked : {false, true}) {
    if (docked) {
      frame->EnableDocking(CBRS_ALIGN_ANY);
      bar.EnableDocking(CBRS_ALIGN_ANY);
      frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
      Lay();
    }
    frame->droppedFor = 0;
    const CRect print = ItemRect(bar, 1);
    ClickAt(bar, CPoint(print.right - 3, print.CenterPoint().y));
    EXPECT_EQ(frame->droppedFor, static_cast<int>(ID_PRINT)) << (docked ? "docked" : "in the frame");

    const CRect zoom = ItemRect(bar, 3);
    ClickAt(bar, zoom.CenterPoint());
    EXPECT_TRUE(bar.IsButtonChecked(ID_ZOOM));
    bar.LoadToolBarText();
    Lay();
    EXPECT_TRUE(bar.IsButtonChecked(ID_ZOOM)) << "kept through new labels and a layout";
    ClickAt(bar, ItemRect(bar, 3).CenterPoint());
    EXPECT_FALSE(bar.IsButtonChecked(ID_ZOOM));
  }
}

// ---- Hosted controls ----------------------------------------------------------------------------

TEST_F(ToolBars, ControlsStandInPlaceOfButtonsAndTakeInput) {
  CRect comboRect(0, 0, 120, 150), editRect(0, 0, 90, 18), nowhere(0, 0, 50, 18);
  auto* combo = dynamic_cast<CComboBox*>(
      bar.InsertControl(RUNTIME_CLASS(CComboBox), nullptr, comboRect, ID_COMBO, CBS_DROPDOWNLIST | WS_VSCROLL));
  auto* edit = dynamic_cast<OwnEdit*>(bar.InsertControl(RUNTIME_CLASS(OwnEdit), nullptr, editRect, ID_EDIT, WS_BORDER));
  ASSERT_NE(combo, nullptr);
  ASSERT_NE(edit, nullptr) << "made of the program's own class";
  CWnd* lost = bar.InsertControl(RUNTIME_CLASS(CEdit), nullptr, nowhere, ID_NOWHERE, 0);
  ASSERT_NE(lost, nullptr);
  EXPECT_FALSE(lost->IsWindowVisible()) << "no button of its ID: hidden";
  EXPECT_EQ(bar.InsertControl(RUNTIME_CLASS(CObject), nullptr, nowhere, ID_NOWHERE, 0), nullptr);
  Lay();

  const int editIndex = bar.CommandToIndex(ID_EDIT);
  EXPECT_TRUE(ButtonAt(bar, editIndex).fsStyle & TBSTYLE_SEP) << "a placeholder";
  const CRect slot = ItemRect(bar, editIndex);
  EXPECT_EQ(slot.Width(), 90);
  CRect at;
  edit->GetWindowRect(&at);
  bar.ScreenToClient(&at);
  EXPECT_EQ(at.Size(), CSize(90, 18)) << "keeps its own size";
  EXPECT_EQ(at.left, slot.left);
  EXPECT_EQ(at.top, slot.top + (slot.Height() - 18) / 2) << "centred across the button";

  edit->SetFocus();
  QTest::keyClicks(ClientOf(edit->GetSafeHwnd()), QStringLiteral("42"));
  CString typed;
  edit->GetWindowText(typed);
  EXPECT_EQ(typed, CString(u"42"));
  EXPECT_GT(frame->editChanges, 0) << "the frame hears the edit";

  for (LPCWSTR item : {u"Fit", u"Width", u"100 %"}) combo->AddString(item);
  combo->SetCurSel(0);
  combo->SetFocus();
  QWidget* focused = ClientOf(::GetFocus());
  ASSERT_NE(focused, nullptr);
  if (QWidget* inner = focused->focusWidget()) focused = inner;
  QTest::keyClick(focused, Qt::Key_Down);
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_GT(frame->comboChanges, 0) << "the frame hears the combo box";
}

// ---- Layout -------------------------------------------------------------------------------------

TEST_F(ToolBars, TheBarWrapsWhenFloatingOrDockedAtASide) {
  CRect editRect(0, 0, 90, 18);
  CWnd* edit = bar.InsertControl(RUNTIME_CLASS(CEdit), nullptr, editRect, ID_EDIT, WS_BORDER);
  ASSERT_NE(edit, nullptr);
  bar.m_bHideChildWndOnVertical = TRUE;
  frame->EnableDocking(CBRS_ALIGN_ANY);
  bar.EnableDocking(CBRS_ALIGN_ANY);
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
  Lay();
  const int buttons = bar.GetToolBarCtrl().GetButtonCount();
  auto rowsOf = [&] {
    std::vector<int> tops;
    for (int i = 0; i < buttons; ++i) {
      const TBBUTTON b = ButtonAt(bar, i);
      if (b.fsState & TBSTATE_HIDDEN || b.fsStyle & TBSTYLE_SEP) continue;
      const int top = ItemRect(bar, i).top;
      if (tops.empty() || tops.back() != top) tops.push_back(top);
    }
    return tops.size();
  };
  EXPECT_EQ(rowsOf(), 1u) << "docked along the top: one row";
  EXPECT_TRUE(edit->IsWindowVisible());

  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
  Lay();
  EXPECT_TRUE(bar.IsVertDocked());
  EXPECT_FALSE(edit->IsWindowVisible()) << "controls hide while docked at a side";
  EXPECT_TRUE(ButtonAt(bar, bar.CommandToIndex(ID_EDIT)).fsState & TBSTATE_HIDDEN);
  EXPECT_EQ(rowsOf(), 6u) << "one button a row";
  const CSize upright = bar.CalcFixedLayout(FALSE, FALSE);
  EXPECT_LT(upright.cx, 40);

  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
  Lay();
  EXPECT_TRUE(edit->IsWindowVisible()) << "and come back along the top";
  EXPECT_FALSE(ButtonAt(bar, bar.CommandToIndex(ID_EDIT)).fsState & TBSTATE_HIDDEN);

  // Floating: a width for two buttons gives rows of two, and a height asks for the narrowest rows
  // no taller than it.
  frame->FloatControlBar(&bar, CPoint(200, 200));
  Lay();
  const CSize twoWide = bar.CalcDynamicLayout(2 * 23 + 4, LM_HORZ | LM_COMMIT);
  EXPECT_EQ(ItemRect(bar, 0).top, ItemRect(bar, 1).top) << "Open and Print share a row";
  EXPECT_GT(ItemRect(bar, 3).top, ItemRect(bar, 1).top) << "Zoom starts the next";
  EXPECT_EQ(ItemRect(bar, 3).top, ItemRect(bar, 4).top);
  EXPECT_GE(rowsOf(), 4u);
  const CSize byHeight = bar.CalcDynamicLayout(twoWide.cy, LM_HORZ | LM_LENGTHY | LM_COMMIT);
  EXPECT_LE(byHeight.cy, twoWide.cy);
  EXPECT_LE(byHeight.cx, twoWide.cx + 90);
}

TEST_F(ToolBars, AWrappedSeparatorsHeightFollowsTheCommonControlsVersion) {
  struct Case {
    DWORD major, minor;
    int height;  // a column of Open, Print | Zoom: two rows of 21, the separator between them
  };
  const Case cases[] = {{4, 70, 21 + 18 + 21}, {4, 71, 21 + 21 + 21}, {6, 0, 21 + 8 + 21}};
  for (const Case& c : cases) {
    SetCommonControlsVersion(c.major, c.minor);
    TestToolBar::ReadVersionAgain();
    TestToolBar column;
    ASSERT_TRUE(column.images.Create(16, 15, ILC_COLOR24 | ILC_MASK, 0, 4));
    ASSERT_TRUE(column.Create(frame, ID_BAR + 1));
    EXPECT_EQ(CQVToolBar::GetComCtlVersion(), static_cast<int>(c.major << 16 | c.minor));
    const UINT ids[] = {ID_OPEN, 0, ID_ZOOM};
    ASSERT_TRUE(column.SetButtons(ids, 3));
    CRect inside(0, 0, 0, 0);
    column.CalcInsideRect(inside, FALSE);
    EXPECT_EQ(column.CalcFixedLayout(FALSE, FALSE).cy + inside.Height(), c.height) << c.major << "." << c.minor;
    column.DestroyWindow();
  }
  SetCommonControlsVersion(6, 0);
  TestToolBar::ReadVersionAgain();
}

}  // namespace
