// The document browser on a real document: cells laid out by layout and size, the pages painted
// with their numbered titles and unreadable pages saying so, paging and the bitmaps it frees, zoom
// and fit, rotation, the pan and zoom drags, the keys of the tool modes, the magnifier's values,
// copying a page and a banded area to the clipboard, and the single-page outputs.

#include "viewer/browser/CDocumentBrowser.h"

#include "foundation/language/CQVRCM.h"
#include "platform/core/module.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"
#include "viewer/browser/CDocumentBrowserOutput.h"
#include "viewer/browser/CDocumentBrowserView.h"
#include "viewer/browser/tests/BrowserFixture.h"
#include "viewer/model/CMainSettings.h"

#include <QClipboard>
#include <QTest>
#include <QTimer>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace fs = std::filesystem;

namespace {

class TestBrowser : public CDocumentBrowser {
public:
  using CDocumentBrowser::GetVW;
  using CDocumentBrowser::m_nFirstIndex;
  std::vector<CIBSMagnifierView> lenses;

protected:
  void ViewMagnifier(CQVBitmapHandle*, const CIBSMagnifierView& view) override { lenses.push_back(view); }
};

class RecordingOutput : public CDocumentBrowserOutput {
public:
  void PrintDocument(CDocumentBrowser&) override { calls.push_back("print"); }
  void EmailDocument(CDocumentBrowser&) override { calls.push_back("email"); }
  void SaveDocumentAsPdf(CDocumentBrowser&) override { calls.push_back("pdf"); }
  std::vector<std::string> calls;
};


QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

int Zoom(CDPXVWXform* vw) {
  int x = 0, y = 0;
  vw->GetZoom(x, y);
  return x;
}

// A browser of 400 x 300 pixels (4 x 2 cells of 96 x 146 inside their 2-pixel margins) on a
// document of `pages` pages of 200 x 100 pixels, opened through the store.
class Browser : public ::testing::Test {
protected:
  static void SetUpTestSuite() { UseViewerLanguage(); }
  void SetUp() override {
    parent = MakeParentWindow(u"BrowserTestParent", ::DefWindowProcW);
  }
  void TearDown() override {
    if (browser) browser->DestroyWindow();
    browser.reset();
    ::DestroyWindow(parent);
  }
  void Open(int pages, int width = 200, int height = 100) {
    doc = std::make_unique<OneDocument>(pages, width, height);
    browser = std::make_unique<TestBrowser>();
    ASSERT_TRUE(browser->CreateEx(0, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), CWnd::FromHandle(parent), 1000));
    browser->SetStore(&doc->plant);
    browser->SetSettings(&settings);
    browser->SetOutput(&output);
    doc->plant.SetBrowser(browser.get());
    CString batch;
    ASSERT_TRUE(doc->plant.GetBatchDisplayName(doc->document->GetBatch(), batch));
    ASSERT_TRUE(doc->plant.OpenDocument(batch, u"00012345"));
  }
  QImage Shot() {
    Pump(30);
    return HostOf(browser->GetSafeHwnd())->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  void Key(UINT key) {
    MSG msg {browser->GetSafeHwnd(), WM_KEYDOWN, key, 0, 0, {}};
    EXPECT_TRUE(browser->PreTranslateMessage(&msg));
  }
  void Mouse(UINT message, UINT flags, CPoint point) {
    browser->SendMessage(message, flags, MAKELPARAM(point.x, point.y));
  }

  HWND parent {};
  std::unique_ptr<OneDocument> doc;
  std::unique_ptr<TestBrowser> browser;
  CMainSettings settings;
  RecordingOutput output;
  RecordedBoxes recorded;
  std::vector<CString>& boxes { recorded.texts };
};

}  // namespace

TEST(BrowserCells, LayoutOfTitleAndImageBySize) {
  struct Case {
    const char* what;
    CRect cell, title, image;
  } cases[] = {
      {"60 by 60 has a title bar", CRect(10, 10, 70, 70), CRect(10, 10, 70, 30), CRect(11, 31, 69, 69)},
      {"59 high: no title, the image inset by 1", CRect(0, 0, 100, 59), CRect(), CRect(1, 1, 99, 58)},
      {"48 by 48: the image only", CRect(0, 0, 48, 48), CRect(), CRect(1, 1, 47, 47)},
      {"47 wide: nothing but the frame", CRect(0, 0, 47, 100), CRect(), CRect()},
      {"given upside down", CRect(70, 70, 10, 10), CRect(10, 10, 70, 30), CRect(11, 31, 69, 69)},
  };
  CDocumentBrowser browser;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CRect title(1, 2, 3, 4), image(1, 2, 3, 4);
    browser.GetItemLayout(c.cell, title, image);
    EXPECT_EQ(title.IsRectEmpty(), c.title.IsRectEmpty());
    if (!c.title.IsRectEmpty()) {
      EXPECT_EQ(title, c.title);
    }
    EXPECT_EQ(image.IsRectEmpty(), c.image.IsRectEmpty());
    if (!c.image.IsRectEmpty()) {
      EXPECT_EQ(image, c.image);
    }
  }
}

TEST_F(Browser, CellsFollowTheLayoutAndShrinkInsideTheirMargins) {
  Open(3);
  struct Case {
    const char* what;
    int columns, rows;
    CRect window, cell0;
  } cases[] = {
      {"4 by 2 (the default)", 4, 2, CRect(0, 0, 400, 300), CRect(2, 2, 98, 148)},
      {"1 by 1", 1, 1, CRect(0, 0, 400, 300), CRect(2, 2, 398, 298)},
      {"8 by 4", 8, 4, CRect(0, 0, 400, 300), CRect(2, 2, 48, 73)},
      {"cells of 11 by 11 become 7 by 7", 4, 2, CRect(0, 0, 44, 22), CRect(2, 2, 9, 9)},
      {"cells 10 wide are not shrunk", 4, 2, CRect(0, 0, 40, 22), CRect(0, 0, 10, 11)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    browser->MoveWindow(&c.window, TRUE);
    ASSERT_TRUE(browser->SetFPCMode(c.columns, c.rows));
    EXPECT_EQ(browser->GetItemCount(), c.columns * c.rows);
    CRect rect;
    ASSERT_TRUE(browser->GetItemRect(0, rect));
    EXPECT_EQ(rect, c.cell0);
  }
}

TEST_F(Browser, PaintsNumberedPagesAndSaysWhichCannotBeRead) {
  Open(3);
  WriteBytes(doc->ImageFolder() / "00012002.TIF", "");
  browser->GetImageItem(1)->FreeBitmap();
  browser->SetSelectedIndex(0, FALSE);
  browser->RefreshAll();
  const QImage shot = Shot();
  // Cell 0, selected: its title bar in the active caption colour; its page fitted whole into the
  // image rectangle (94 x 124 at (3, 23)): 200 x 100 at 4700 shows 94 x 47, centred.
  EXPECT_EQ(shot.pixel(60, 12), Rgb(::GetSysColor(COLOR_ACTIVECAPTION)));
  EXPECT_EQ(shot.pixel(60, 40), Rgb(RGB(225, 225, 225))) << "above the page: the image background";
  EXPECT_EQ(shot.pixel(4, 62), qRgb(0, 0, 0)) << "the page's black mark at its top-left corner";
  EXPECT_EQ(shot.pixel(60, 80), qRgb(255, 255, 255)) << "the page itself";
  // Cell 1, the empty file: grey with the message written on it.
  EXPECT_EQ(shot.pixel(160, 12), Rgb(::GetSysColor(COLOR_INACTIVECAPTION)));
  int dark = 0;
  for (int y = 23; y < 147; ++y)
    for (int x = 103; x < 197; ++x) dark += qGray(shot.pixel(x, y)) < 128;
  EXPECT_GT(dark, 20) << "the message of an unreadable page";
  EXPECT_TRUE(browser->GetImageItem(1)->IsUnreadable());
  // Cells beyond the last page: the frame colour only.
  EXPECT_EQ(shot.pixel(350, 75), Rgb(::GetSysColor(COLOR_BTNSHADOW)));
}

TEST_F(Browser, PagesByScreenfulsAndFreesWhatLeavesTheScreen) {
  Open(10, 40, 20);
  browser->RefreshAll();
  for (int index = 0; index < 8; ++index) EXPECT_TRUE(browser->GetImageItem(index)->HasBitmap()) << index;
  EXPECT_TRUE(browser->PageNext());
  EXPECT_EQ(browser->m_nFirstIndex, 8);
  for (int index = 0; index < 8; ++index) EXPECT_FALSE(browser->GetImageItem(index)->HasBitmap()) << index;
  EXPECT_TRUE(browser->GetImageItem(9)->HasBitmap());
  EXPECT_FALSE(browser->PageNext()) << "the last page";
  EXPECT_EQ(browser->m_nFirstIndex, 8);
  ASSERT_TRUE(browser->GoToImage(3));
  EXPECT_TRUE(browser->PagePrevious());
  EXPECT_EQ(browser->m_nFirstIndex, 0) << "from 3 with 8 cells";
  EXPECT_FALSE(browser->GoToImage(10));
  ASSERT_TRUE(browser->GoToLast());
  EXPECT_EQ(browser->m_nFirstIndex, 9);
  CString label;
  browser->GetItemLabel(9, label);
  EXPECT_EQ(label, CString(u"010"));
  int cell = -1;
  EXPECT_TRUE(browser->GetImageItem(9)->HasBitmap());
  ASSERT_TRUE(browser->GoToFirst());
  EXPECT_FALSE(browser->GetImageItem(9)->HasBitmap());
  (void)cell;
}

TEST_F(Browser, ZoomsAndFitsEachCell) {
  Open(2);
  browser->SetSelectedIndex(0, FALSE);
  browser->RefreshAll();
  CDPXVWXform* vw = browser->GetVW(0);
  // The image rectangle is 94 x 124; the page 200 x 100.
  EXPECT_EQ(Zoom(vw), 4700) << "the whole page at first";
  struct Step {
    const char* what;
    int action, step, setZoom, zoom, fitMode;
  } steps[] = {
      {"fit height", CDocumentBrowser::actionFitHeight, 100, 0, 12400, 3},
      {"fit width", CDocumentBrowser::actionFitWidth, 100, 0, 4700, 2},
      {"actual size", CDocumentBrowser::actionActualSize, 100, 0, 10000, 1},
      {"zoom in stops at 100 %", CDocumentBrowser::actionZoomIn, 1000, 9900, 10000, 0},
      {"zoom in by a quarter step", CDocumentBrowser::actionZoomIn, 1000, 5000, 5250, 0},
      {"zoom out by a quarter step", CDocumentBrowser::actionZoomOut, 1000, 5000, 4750, 0},
      {"zoom out stops at the whole page's zoom below 400", CDocumentBrowser::actionZoomOut, 4000, 1000, 400, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    if (s.setZoom) vw->SetZoom(s.setZoom);
    browser->ApplyViewAction(s.action, FALSE, s.step);
    EXPECT_EQ(Zoom(vw), s.zoom);
    EXPECT_EQ(browser->GetFitMode(), s.fitMode);
  }
  EXPECT_EQ(Zoom(browser->GetVW(1)), 4700) << "only the selected page's cell";
  browser->ApplyViewAction(CDocumentBrowser::actionActualSize, TRUE, 100);
  EXPECT_EQ(Zoom(browser->GetVW(1)), 10000) << "every cell";

  // A new size fits every cell again by the fit mode: cells of 196 x 146, images of 194 x 124.
  browser->ApplyViewAction(CDocumentBrowser::actionFitWidth, TRUE, 100);
  browser->MoveWindow(0, 0, 800, 300, TRUE);
  EXPECT_EQ(Zoom(browser->GetVW(0)), 9700);
  EXPECT_EQ(Zoom(browser->GetVW(1)), 9700);
}

TEST_F(Browser, ZoomsOutNoFurtherThanAWholeSmallerPage) {
  Open(1, 1000, 4000);
  browser->SetSelectedIndex(0, FALSE);
  browser->RefreshAll();
  CDPXVWXform* vw = browser->GetVW(0);
  EXPECT_EQ(Zoom(vw), 310) << "124 of 4000 pixels";
  vw->SetZoom(1000);
  browser->ApplyViewAction(CDocumentBrowser::actionZoomOut, FALSE, 1000);
  EXPECT_EQ(Zoom(vw), 750);
  for (int i = 0; i < 5; ++i) browser->ApplyViewAction(CDocumentBrowser::actionZoomOut, FALSE, 1000);
  EXPECT_EQ(Zoom(vw), 310);
}

TEST_F(Browser, ScrollsThePageInsideItsCell) {
  Open(1);
  browser->SetSelectedIndex(0, FALSE);
  browser->RefreshAll();
  browser->ApplyViewAction(CDocumentBrowser::actionActualSize, FALSE, 100);
  CDPXVWXform* vw = browser->GetVW(0);
  int x, y;
  // At 100 % the cell shows 94 x 124 of the 200 x 100 page: it scrolls sideways, and the page,
  // lower than the cell, stays centred upright.
  browser->ApplyViewAction(CDocumentBrowser::actionToRight, FALSE, 10);
  vw->GetOrigin(x, y);
  EXPECT_EQ(x, 106);
  EXPECT_EQ(y, -12);
  browser->ApplyViewAction(CDocumentBrowser::actionLeft, FALSE, 100);
  vw->GetOrigin(x, y);
  EXPECT_EQ(x, 6);
  browser->ApplyViewAction(CDocumentBrowser::actionLeft, FALSE, 100);
  vw->GetOrigin(x, y);
  EXPECT_EQ(x, 0) << "kept inside the page";
  browser->ApplyViewAction(CDocumentBrowser::actionDown, FALSE, 100);
  vw->GetOrigin(x, y);
  EXPECT_EQ(y, -12);
}

TEST_F(Browser, TurnsTheSelectedPageAndFitsItAgain) {
  Open(2);
  browser->SetSelectedIndex(1, FALSE);
  browser->RefreshAll();
  browser->RotateImages(9000, FALSE);
  int rotation = 0;
  browser->GetImageItem(1)->GetRotation(rotation);
  EXPECT_EQ(rotation, 9000);
  CQVBitmapHandle* shown = browser->GetImage(1);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->GetWidth(), 100);
  EXPECT_EQ(shown->GetHeight(), 200);
  EXPECT_EQ(Zoom(browser->GetVW(1)), 6200) << "the upright page fits its height";
  browser->GetImageItem(0)->GetRotation(rotation);
  EXPECT_EQ(rotation, 0) << "the other page";
  browser->RotateImages(18000, TRUE);
  browser->GetImageItem(0)->GetRotation(rotation);
  EXPECT_EQ(rotation, 18000);
  browser->GetImageItem(1)->GetRotation(rotation);
  EXPECT_EQ(rotation, 27000);
}

TEST_F(Browser, EnterAndSpaceApplyTheToolToTheSelectedPage) {
  Open(3);
  browser->SetSelectedIndex(2, FALSE);
  browser->RefreshAll();
  int rotation = -1;
  browser->SetToolMode(1);
  Key(VK_RETURN);
  browser->GetImageItem(2)->GetRotation(rotation);
  EXPECT_EQ(rotation, 0) << "panning has no key action";
  browser->SetToolMode(4);
  Key(VK_RETURN);
  Key(VK_SPACE);
  browser->GetImageItem(2)->GetRotation(rotation);
  EXPECT_EQ(rotation, 18000);
  MSG other {browser->GetSafeHwnd(), WM_KEYDOWN, 'A', 0, 0, {}};
  EXPECT_FALSE(browser->PreTranslateMessage(&other));

  browser->SetToolMode(2);
  browser->ActOnCell(1);
  EXPECT_EQ(output.calls, std::vector<std::string> {"print"});
  EXPECT_EQ(settings.m_print.nPrintRange, 2);
  EXPECT_EQ(settings.m_print.nPageFrom, 2);
  EXPECT_EQ(settings.m_print.nPageTo, 2);
  browser->ActOnCell(5);
  EXPECT_EQ(output.calls.size(), 1u) << "a cell without a page";
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(350, 75));
  Mouse(WM_LBUTTONUP, 0, CPoint(350, 75));
  EXPECT_EQ(output.calls.size(), 1u) << "a press on an empty cell";
  browser->SetToolMode(3);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(250, 75));
  Mouse(WM_LBUTTONUP, 0, CPoint(250, 75));
  EXPECT_EQ(output.calls, (std::vector<std::string> {"print", "email"}));
  EXPECT_EQ(settings.m_email.nRangeMode, 2);
  EXPECT_EQ(settings.m_email.nImagesFrom, 3);
  EXPECT_EQ(settings.m_email.nCombineTIFF, 0);
}

TEST_F(Browser, SelectsCellsInTurnWrappingOnThePage) {
  Open(10, 40, 20);
  ASSERT_TRUE(browser->PageNext());
  int selected = -1;
  browser->SelectNextCell();
  browser->GetSelectedIndex(selected);
  EXPECT_EQ(selected, 8) << "nothing selected on the page: its first";
  browser->SelectNextCell();
  browser->GetSelectedIndex(selected);
  EXPECT_EQ(selected, 9);
  browser->SelectNextCell();
  browser->GetSelectedIndex(selected);
  EXPECT_EQ(selected, 8) << "from the last image back to the first of the page";
  browser->SelectPreviousCell();
  browser->GetSelectedIndex(selected);
  EXPECT_EQ(selected, 9) << "before the first: the last image, the page's last cell being empty";
  browser->SelectPreviousCell();
  browser->GetSelectedIndex(selected);
  EXPECT_EQ(selected, 8);
}

TEST_F(Browser, DragsPanAndZoomFromWhereThePressWas) {
  Open(2);
  browser->SetSelectedIndex(0, FALSE);
  browser->RefreshAll();
  browser->ApplyViewAction(CDocumentBrowser::actionActualSize, TRUE, 100);
  browser->SetToolMode(1);
  CDPXVWXform* vw = browser->GetVW(0);
  int x0, y0, x, y;
  vw->GetOrigin(x0, y0);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(50, 80));
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, CPoint(30, 80));
  vw->GetOrigin(x, y);
  EXPECT_EQ(x, x0 + 20);
  int other0, other;
  browser->GetVW(1)->GetOrigin(other0, y);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, CPoint(40, 80));
  browser->GetVW(1)->GetOrigin(other, y);
  EXPECT_EQ(other, other0 + 10) << "with Shift every cell";
  Mouse(WM_LBUTTONUP, 0, CPoint(40, 80));

  // Zoom drag: 30 pixels straight up lowers the zoom by 3000, never below the whole page's zoom.
  vw->SetZoom(9000);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, CPoint(50, 100));
  Mouse(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, CPoint(50, 70));
  EXPECT_EQ(Zoom(vw), 6000);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, CPoint(50, 10));
  EXPECT_EQ(Zoom(vw), 4700);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, CPoint(50, 110));
  EXPECT_EQ(Zoom(vw), 10000);
  Mouse(WM_LBUTTONUP, 0, CPoint(50, 110));
  browser->RefreshAll();
  EXPECT_EQ(Zoom(vw), 10000) << "a zoom chosen by hand survives the next paint";
}

TEST_F(Browser, CopiesThePageAndABandedAreaToTheClipboard) {
  Open(2);
  browser->SetSelectedIndex(0, FALSE);
  browser->RefreshAll();
  browser->ApplyViewAction(CDocumentBrowser::actionActualSize, TRUE, 100);
  browser->SetToolMode(7);
  Key(VK_RETURN);
  QImage copied = QGuiApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), QSize(200, 100));

  // At 100 % the page's corner is at the image rectangle's corner (3, 35): a band from (3, 35)
  // to (13, 39) holds the black mark, 10 by 4 pixels; one further right only white.
  browser->SetToolMode(8);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(3, 35));
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, CPoint(13, 39));
  Mouse(WM_LBUTTONUP, 0, CPoint(13, 39));
  copied = QGuiApplication::clipboard()->image();
  ASSERT_EQ(copied.size(), QSize(10, 4));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(qGray(copied.pixel(x, y)), x < 4 ? 0 : 255) << x << "," << y;
  // A band dragged out of the cell stops at the image rectangle's edge (96, 146), and takes only
  // what it holds of the page (which ends at 100 + 35 on screen).
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(90, 120));
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, CPoint(300, 290));
  Mouse(WM_LBUTTONUP, 0, CPoint(300, 290));
  copied = QGuiApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), QSize(6, 15));
  // A band beside the page copies nothing and says nothing.
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(10, 137));
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, CPoint(20, 145));
  Mouse(WM_LBUTTONUP, 0, CPoint(20, 145));
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(6, 15));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(Browser, TheMagnifierNeedsAHeldButtonAndShowsTheFullPageUnderIt) {
  Open(1);
  browser->RefreshAll();
  settings.m_screenLayout.nViewMagnifierRatio = 50;
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(50, 80));
  Mouse(WM_LBUTTONUP, 0, CPoint(50, 80));
  EXPECT_TRUE(browser->lenses.empty()) << "a click is not a hold";
  EXPECT_EQ(browser->GetMagnifierZoom(), 5000);

  // The page painted at half size, and its full size twice that. Shown at 50 % the painted
  // page (50 x 25 on screen) is centred in the 94 x 124 rectangle: 22 pixels in from the left,
  // 49 from the top. The point (35, 93) is 32, 70 into the rectangle: pixel 20, 41 of the painted
  // page, 40, 82 of the full one.
  CQVBitmapHandle painted, full;
  MakeMarkedPage(painted, 100, 50, 1);
  MakeMarkedPage(full, 200, 100, 1);
  CDPXVWXform vw;
  vw.SetViewSize(94, 124);
  vw.SetWorldSize(100, 50);
  vw.SetZoom(5000);
  vw.AdjustOrigin();
  CIBSMagnifierView view;
  const CRect image(3, 23, 97, 147);
  ASSERT_TRUE(browser->GetMagnifierView(&painted, &vw, CPoint(35, 93), image, &full, view));
  EXPECT_EQ(view.sourcePoint, CPoint(40, 82));
  EXPECT_EQ(view.zoom, 10000) << "never below 100 %";
  // Shown at half size the page covers 50 x 25 of the 94 x 124 rectangle: the lens keeps to it.
  CRect bounds = image;
  browser->ClientToScreen(&bounds);
  EXPECT_EQ(view.bounds.Width(), 94 - 2 * 22);
  EXPECT_EQ(view.bounds.left, bounds.left + 22);
  EXPECT_FALSE(browser->GetMagnifierView(&painted, nullptr, CPoint(13, 43), image, &full, view));
}

// The press of a user: Qt's own mouse events, which also tell what the button does meanwhile.
TEST_F(Browser, AHeldPressShowsTheMagnifierAndAShortOneDoesNot) {
  Open(1);
  browser->RefreshAll();
  QWidget* client = ClientOf(browser->GetSafeHwnd());
  const QPoint at(50, 80);
  QTimer::singleShot(200, [&] { QTest::mouseRelease(client, Qt::LeftButton, Qt::NoModifier, at); });
  QTest::mousePress(client, Qt::LeftButton, Qt::NoModifier, at);
  Pump(50);
  EXPECT_TRUE(browser->lenses.empty()) << "released after 200 ms";

  QTest::mousePress(client, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseRelease(client, Qt::LeftButton, Qt::NoModifier, at);
  ASSERT_EQ(browser->lenses.size(), 1u) << "held for the whole half second";
  CPoint screen(50, 80);
  browser->ClientToScreen(&screen);
  EXPECT_EQ(browser->lenses[0].screenPoint, screen);
  EXPECT_EQ(browser->lenses[0].zoom, 20000) << "the settings' ratio of 200 %";

  // A page that can no longer be read says so instead.
  WriteBytes(doc->ImageFolder() / "00012001.TIF", "II*");
  QTest::mousePress(client, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseRelease(client, Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(browser->lenses.size(), 1u);
  ASSERT_EQ(boxes.size(), 1u);
  CString text;
  CQVRCM::LoadText(u"MSG_INFO_FAILED_LOAGIMAGE", text);
  EXPECT_EQ(boxes[0], text);
}

TEST_F(Browser, EachToolModeHasItsCursor) {
  Open(1);
  const int cursors[] = {155, 157, 143, 159, 142, 150, 153, 158, 160};
  std::vector<HCURSOR> seen;
  for (int mode = 0; mode <= 9; ++mode) {
    SCOPED_TRACE(mode);
    browser->SetToolMode(mode);
    browser->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(browser->GetSafeHwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    const HCURSOR expected = mode <= 8 ? ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(cursors[mode]))
                                       : ::LoadCursorW(nullptr, IDC_ARROW);
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(::GetCursor(), expected);
    seen.push_back(::GetCursor());
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end()) << "every mode shows another cursor";
}

TEST_F(Browser, OutputRangesAndEmailErrors) {
  Open(5, 40, 20);
  struct Range {
    int mode, from, to, first, count;
    bool ok;
  } ranges[] = {{1, 0, 0, 1, 5, true}, {2, 3, 99, 3, 3, true}, {2, 2, 4, 2, 3, true}, {3, 0, 0, 1, 5, true},
                {0, 1, 1, 0, 0, false}, {4, 1, 1, 0, 0, false}};
  for (const Range& r : ranges) {
    SCOPED_TRACE(r.mode);
    int first = 0, count = 0;
    EXPECT_EQ(browser->GetOutputRange(r.mode, r.from, r.to, first, count), r.ok);
    if (!r.ok) continue;
    EXPECT_EQ(first, r.first);
    EXPECT_EQ(count, r.count);
  }
  ASSERT_TRUE(browser->GoToImage(4));
  int first = 0, count = 0;
  browser->GetOutputRange(3, 0, 0, first, count);
  EXPECT_EQ(first, 5);
  EXPECT_EQ(count, 1) << "the visible page holds one image";

  struct Error {
    int code;
    const char16_t* key;
  } errors[] = {{-8, u"MSG_EMAIL_ERR_FILEOPERATION"}, {-4, u"MSG_EMAIL_ERR_FILEOPERATION"},
                {-7, u"MSG_EMAIL_ERR_SENDFAILED"},    {-6, u"MSG_EMAIL_ERR_SENDFAILED"},
                {-5, u"MSG_EMAIL_ERR_LOGONFAILED"},   {-9, u"MSG_EMAIL_ERR_GENERALEMAILERR"},
                {-1, u"MSG_EMAIL_ERR_GENERALEMAILERR"}, {0, nullptr}, {3, nullptr}};
  for (const Error& e : errors) {
    SCOPED_TRACE(e.code);
    LPCWSTR key = CDocumentBrowser::EmailErrorKey(e.code);
    EXPECT_EQ(key ? CString(key) : CString(u"none"), CString(e.key ? e.key : u"none"));
  }
  CDocumentBrowser::ShowEmailError(0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(Browser, ADocumentWithoutPagesSaysSoForItsOutputs) {
  Open(1);
  fs::remove(doc->ImageFolder() / "00012001.TIF");
  boxes.clear();
  browser->LoadDocument(doc->document);
  EXPECT_EQ(browser->GetImageCount(), 0);
  browser->PrintDocument();
  EXPECT_TRUE(output.calls.empty());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].Find(u"00012345"), -1) << boxes[0].ToUtf8();
}

// A sample document of the generated set in a browser of 1000 x 700 pixels, kept as a picture
// (build/artifacts/browser-sample.png); on X it is what the screen shows.
TEST(BrowserOnX11, ShowsASampleDocument) {
  UseViewerLanguage();
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, CString::FromUtf8(std::string(QV_SAMPLES_DIR) + "/small"));
  ASSERT_TRUE(plant.Load());
  int searched = 0, hits = 0;
  plant.SetDocumentPattern(u"*");
  plant.Search(searched, hits);
  ASSERT_GT(hits, 0);
  CIBSDocument* shown = nullptr;
  for (int i = 0; i < plant.GetResultCount() && !shown; ++i) {
    CDPXStringList paths;
    if (plant.GetResult(i)->CollectImageFiles(paths) && paths.GetCount() >= 3) shown = plant.GetResult(i);
  }
  ASSERT_NE(shown, nullptr) << "a sample document of three pages or more";
  HWND top = MakeParentWindow(u"BrowserSampleParent", ::DefWindowProcW);
  ::MoveWindow(top, 0, 0, 1000, 700, TRUE);
  CDocumentBrowser browser;
  ASSERT_TRUE(browser.CreateEx(0, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1000, 700), CWnd::FromHandle(top), 1000));
  browser.SetStore(&plant);
  plant.SetBrowser(&browser);
  CString batch, number;
  plant.GetBatchDisplayName(shown->GetBatch(), batch);
  shown->GetDocumentNumber(number);
  ASSERT_TRUE(plant.OpenDocument(batch, number));
  browser.SetSelectedIndex(1, TRUE);
  browser.RefreshAll();
  Pump(200);
  const QImage shot = HostOf(browser.GetSafeHwnd())->grab().toImage().convertToFormat(QImage::Format_RGB32);
  shot.save(QString(QV_TEST_ARTIFACT_DIR) + "/browser-sample.png");
  // The first page has printing on it: dark pixels inside its image rectangle.
  int dark = 0;
  for (int y = 30; y < 340; ++y)
    for (int x = 5; x < 245; ++x) dark += qGray(shot.pixel(x, y)) < 100;
  EXPECT_GT(dark, 50);
  browser.DestroyWindow();
  ::DestroyWindow(top);
}

namespace {
// The program's main view in small: the store is its document's.
class StoreView : public CDocumentBrowserView {
public:
  explicit StoreView(CIBSPlant* store) : m_store(store) {}

protected:
  CIBSPlant* GetDocumentStore() override { return m_store; }

private:
  CIBSPlant* m_store;
};
}  // namespace

TEST(BrowserView, HoldsTheBrowserLinkedWithItsDocumentsStore) {
  OneDocument doc(2);
  EXPECT_EQ(MakeFrameWithView(*new StoreView(nullptr), u"no store", CRect(0, 0, 300, 200)), nullptr);

  auto* view = new StoreView(&doc.plant);
  CFrameWnd* frame = MakeFrameWithView(*view, u"browser", CRect(0, 0, 500, 400));
  ASSERT_NE(frame, nullptr);
  CDocumentBrowser* browser = view->GetBrowser();
  ASSERT_NE(browser->GetSafeHwnd(), nullptr);
  EXPECT_EQ(browser->GetDlgCtrlID(), 1000);
  CRect client, shown;
  view->GetClientRect(&client);
  browser->GetWindowRect(&shown);
  view->ScreenToClient(&shown);
  EXPECT_EQ(shown, client);
  EXPECT_EQ(doc.plant.GetBrowser(), browser);
  EXPECT_EQ(browser->GetStore(), &doc.plant);
  CString batch;
  doc.plant.GetBatchDisplayName(doc.document->GetBatch(), batch);
  ASSERT_TRUE(doc.plant.OpenDocument(batch, u"00012345"));
  EXPECT_EQ(browser->GetImageCount(), 2);
  frame->DestroyWindow();
  Pump(30);
  EXPECT_EQ(doc.plant.GetBrowser(), nullptr) << "the store is not left with a browser that is gone";
}
