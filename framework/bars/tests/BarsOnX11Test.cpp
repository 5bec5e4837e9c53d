// On a virtual X display: a frame with a tool bar (labels, a drop-down arrow, a combo box and an
// edit in place of buttons), two dockable bars sharing a row, and a floating dockable bar in its
// frame. The picture is kept with the artefacts.

#include "framework/bars/CQVDockableBar.h"
#include "framework/bars/CQVToolBar.h"

#include "foundation/language/CQVRCM.h"
#include "framework/bars/tests/BarTestSupport.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CImageList.h"
#include "platform/ui/bars/CMiniFrameWnd.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/windc.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

constexpr UINT ID_OPEN = 0x8001, ID_PRINT = 0x8002, ID_ZOOM = 0x8003, ID_COMBO = 0x8010, ID_EDIT = 0x8011;
constexpr UINT ID_THUMBS = 0xE880, ID_FIELDS = 0xE881, ID_NOTES = 0xE882;

// A pane filled with its colour, showing its name.
class ColourView : public CWnd {
public:
  explicit ColourView(COLORREF colour, LPCWSTR name) : m_colour(colour), m_name(name) {}

protected:
  void OnPaint() {
    CPaintDC dc(this);
    CRect all;
    GetClientRect(&all);
    dc.FillSolidRect(&all, m_colour);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(8, 8, m_name);
  }
  DECLARE_MESSAGE_MAP()

private:
  COLORREF m_colour;
  CString m_name;
};
BEGIN_MESSAGE_MAP(ColourView, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

#define COLOUR_VIEW(name, colour, text)                   \
  class name : public ColourView {                        \
    DECLARE_DYNCREATE(name)                               \
  public:                                                 \
    name() : ColourView(colour, text) {}                  \
  };                                                      \
  IMPLEMENT_DYNCREATE(name, ColourView)
COLOUR_VIEW(ThumbsView, RGB(0xC8, 0xDC, 0xF0), u"Thumbnails")
COLOUR_VIEW(FieldsView, RGB(0xDC, 0xF0, 0xC8), u"Index fields")
COLOUR_VIEW(NotesView, RGB(0xF0, 0xE6, 0xC8), u"Notes")

class PictureToolBar : public CQVToolBar {
public:
  BOOL OnUpdate() override {
    const UINT ids[] = {ID_OPEN, ID_PRINT, 0, ID_ZOOM, 0, ID_COMBO, ID_EDIT};
    return SetButtons(ids, 7) && SetImageList(&images);
  }
  CImageList images;
};

TEST(BarsOnX11, AToolBarSizingBarsInOneRowAndAFloatingDockableBar) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X display";
  CQVRCM::SetCurrentLanguage(u"en-us");
  CommandNamesApp app {{ID_OPEN, u"Open"}, {ID_PRINT, u"Print"}, {ID_ZOOM, u"Zoom"}};

  CWnd view;
  CFrameWnd* frame = MakeFrameWithView(view, u"Bars", CRect(40, 40, 760, 560), true);
  ASSERT_NE(frame, nullptr);
  frame->EnableDocking(CBRS_ALIGN_ANY);

  // The tool bar: three pictures in three colours.
  PictureToolBar tools;
  ASSERT_TRUE(tools.images.Create(16, 15, ILC_COLOR24 | ILC_MASK, 0, 4));
  for (COLORREF c : {RGB(0x20, 0x60, 0xC0), RGB(0x20, 0xA0, 0x40), RGB(0xC0, 0x60, 0x20)}) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap picture;
    picture.CreateBitmap(16, 15, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&picture);
    dc.FillSolidRect(0, 0, 16, 15, RGB(192, 192, 192));
    dc.FillSolidRect(2, 2, 12, 11, c);
    dc.SelectObject(old);
    tools.images.Add(&picture, RGB(192, 192, 192));
  }
  ASSERT_TRUE(tools.Create(frame, AFX_IDW_TOOLBAR));
  tools.ShowIconText(1);
  tools.SetDropDown(ID_PRINT);
  CRect comboRect(0, 0, 110, 160), editRect(0, 0, 70, 20);
  auto* combo = dynamic_cast<CComboBox*>(
      tools.InsertControl(RUNTIME_CLASS(CComboBox), nullptr, comboRect, ID_COMBO, CBS_DROPDOWNLIST | WS_VSCROLL));
  CWnd* edit = tools.InsertControl(RUNTIME_CLASS(CEdit), nullptr, editRect, ID_EDIT, WS_BORDER);
  ASSERT_NE(combo, nullptr);
  ASSERT_NE(edit, nullptr);
  for (LPCWSTR item : {u"Fit width", u"Fit page", u"100 %"}) combo->AddString(item);
  combo->SetCurSel(0);
  edit->SetWindowText(u"3 of 7");
  tools.EnableDocking(CBRS_ALIGN_ANY);
  frame->DockControlBar(&tools, AFX_IDW_DOCKBAR_TOP);

  // Two dockable bars in the row below it, and a third floating.
  CQVDockableBar thumbs, fields, notes;
  const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC;
  ASSERT_TRUE(thumbs.Create(frame, RUNTIME_CLASS(ThumbsView), nullptr, u"Thumbnails", style, ID_THUMBS));
  ASSERT_TRUE(fields.Create(frame, RUNTIME_CLASS(FieldsView), nullptr, u"Index fields", style, ID_FIELDS));
  ASSERT_TRUE(notes.Create(frame, RUNTIME_CLASS(NotesView), nullptr, u"Notes", style, ID_NOTES));
  thumbs.m_szHorz = CSize(420, 150);
  fields.m_szHorz = CSize(300, 150);
  notes.m_szFloat = CSize(220, 160);
  for (CQVDockableBar* bar : {&thumbs, &fields, &notes}) bar->EnableDocking(CBRS_ALIGN_ANY);
  frame->DockControlBar(&thumbs, AFX_IDW_DOCKBAR_TOP);
  frame->RecalcLayout();
  CRect beside;
  thumbs.GetWindowRect(&beside);
  beside.OffsetRect(beside.Width() - 10, 0);
  frame->DockControlBar(&fields, AFX_IDW_DOCKBAR_TOP, &beside);
  frame->RecalcLayout();
  CRect inside;
  frame->GetClientRect(&inside);
  frame->ClientToScreen(&inside);
  frame->FloatControlBar(&notes, CPoint(inside.right - 300, inside.bottom - 220));
  Pump(50);
  frame->RecalcLayout();
  auto* mini = dynamic_cast<CMiniFrameWnd*>(notes.GetParentFrame());
  ASSERT_NE(mini, nullptr);
  mini->RecalcLayout();

  CRect thumbsRect, fieldsRect, miniRect;
  thumbs.GetWindowRect(&thumbsRect);
  fields.GetWindowRect(&fieldsRect);
  mini->GetWindowRect(&miniRect);
  EXPECT_EQ(thumbsRect.top, fieldsRect.top) << "one row";
  EXPECT_EQ(fieldsRect.left, thumbsRect.right - 2);
  EXPECT_EQ(thumbsRect.Height(), fieldsRect.Height());

  auto rgb = [](COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)).rgb(); };
  QImage shot;
  // The window manager's work is asynchronous: wait until the floating frame and the views show.
  EXPECT_TRUE(PumpUntil([&] {
    shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    return shot.pixel(miniRect.CenterPoint().x, miniRect.bottom - 20) == rgb(RGB(0xF0, 0xE6, 0xC8)) &&
           shot.pixel(thumbsRect.right - 20, thumbsRect.bottom - 20) == rgb(RGB(0xC8, 0xDC, 0xF0));
  }, 5000));
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  CRect whole;
  frame->GetWindowRect(&whole);
  whole.InflateRect(10, 10);
  shot.copy(whole.left, whole.top, whole.Width(), whole.Height()).save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/framework_bars_x11.png"));
  // The docked bars' caption strips: on the left of each, in the face colour (no focus there).
  EXPECT_EQ(shot.pixel(thumbsRect.left + 10, thumbsRect.bottom - 12), rgb(GetSysColor(COLOR_BTNFACE)));

  frame->DestroyWindow();
}

}  // namespace
