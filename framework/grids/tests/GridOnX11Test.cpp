// The grid and the tag window on a virtual X display, kept as pictures for people to look at: a
// grid with group rows, an open list editor and the description box, and the tag windows of a
// file of one page and of a file of several pages.

#include "framework/grids/CDPXPropertyGridButtonItem.h"
#include "framework/grids/CDPXPropertyGridComboItem.h"
#include "framework/grids/CDPXPropertyGridEditItem.h"
#include "framework/grids/CDPXPropertyGridPane.h"
#include "framework/grids/CQVTiffInfoWnd.h"
#include "foundation/language/CQVRCM.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

// The screen around a window (and `below` pixels under it), once the window shows `ready`.
QImage ScreenAround(CWnd& wnd, int below, const std::function<bool(const QImage&, const CRect&)>& ready) {
  CRect whole;
  wnd.GetWindowRect(&whole);
  QImage shot;
  PumpUntil([&] {
    shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    return ready(shot, whole);
  }, 5000);
  whole.InflateRect(8, 8);
  whole.bottom += below;
  return shot.copy(whole.left, whole.top, whole.Width(), whole.Height());
}

void Save(const QImage& image, const char* name) {
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  EXPECT_TRUE(image.save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/") + QString::fromUtf8(name)));
}

CDPXPropertyGridEditItem* NameCell(CDPXPropertyGridRow* row, LPCWSTR name) {
  auto* cell = new CDPXPropertyGridEditItem;
  row->AddItem(cell);
  cell->SetText(name);
  cell->Create(CDPXPropertyGridEditItem::kReadOnlyText);
  return cell;
}

template <class Cell>
Cell* DataRow(CDPXPropertyGrid& grid, CDPXPropertyGridRow* group, LPCWSTR name, LPCWSTR description, Cell* value) {
  auto* row = new CDPXPropertyGridRow;
  row->SetText(name);
  row->SetDescription(description);
  grid.InsertRow(row, group);
  NameCell(row, name);
  row->AddItem(value);
  return value;
}

TEST(GridOnX11, GroupRowsAnOpenListEditorAndTheDescriptionBox) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X display";
  CWnd frame;
  ASSERT_TRUE(frame.CreateEx(0, u"AfxWnd", u"Index fields", WS_POPUP | WS_VISIBLE | WS_BORDER,
                             CRect(60, 60, 480, 420), nullptr, 0));
  CDPXPropertyGrid grid;
  CDPXPropertyGridColumnSet columns {CDPXPropertyGrid::kDescriptionBox | CDPXPropertyGrid::kFaceMargin |
                                         CDPXPropertyGrid::kGroupBand | CDPXPropertyGrid::kHeaderRows,
                                     {{130, CString(u"Field"), nullptr}, {200, CString(u"Value"), nullptr}}};
  CRect client;
  frame.GetClientRect(&client);
  ASSERT_TRUE(grid.Create(WS_CHILD | WS_VISIBLE, client, &frame, 1, columns));

  auto* document = new CDPXPropertyGridRow;
  document->SetText(u"Document");
  grid.InsertRow(document);
  auto* number = DataRow(grid, document, u"Invoice number", u"The number printed at the top right.",
                         new CDPXPropertyGridEditItem);
  number->Create(CDPXPropertyGridEditItem::kDigits);
  number->SetText(u"2026-0417");
  auto* kind = DataRow(grid, document, u"Document kind", u"What the document is; choose from the list.",
                       new CDPXPropertyGridComboItem);
  kind->Create(CBS_DROPDOWNLIST);
  for (LPCWSTR entry : {u"Invoice", u"Credit note", u"Delivery note", u"Order"}) kind->AddString(entry);
  const CDPXPropertyGridComboValue invoice {0, CString(), 0};
  kind->SetValue(&invoice);
  auto* folder = DataRow(grid, document, u"Source folder", u"Where the pages came from.", new CDPXPropertyGridButtonItem);
  folder->Create();
  folder->SetText(u"/scans/inbox/2026-04");
  auto* pin = DataRow(grid, document, u"Access code", u"Shown as asterisks.", new CDPXPropertyGridEditItem);
  pin->Create(CDPXPropertyGridEditItem::kPassword);
  pin->SetText(u"4711");

  auto* batch = new CDPXPropertyGridRow;
  batch->SetText(u"Batch");
  grid.InsertRow(batch);
  auto* scanned = DataRow(grid, batch, u"Scanned by", u"", new CDPXPropertyGridEditItem);
  scanned->Create();
  scanned->SetText(u"Reception desk");
  auto* locked = DataRow(grid, batch, u"Batch ID", u"Given by the system; it cannot be changed.",
                         new CDPXPropertyGridEditItem);
  locked->Create(CDPXPropertyGridEditItem::kReadOnlyText);
  locked->SetText(u"B-000912");
  grid.ExpandAll();

  // The list cell's row becomes current (the description box shows it) and its editor opens.
  CDPXPropertyGridRow* kindRow = kind->GetRow();
  kindRow->SetSelected(TRUE);
  grid.SetCurrentRow(kindRow);
  kindRow->NextCell();
  ASSERT_TRUE(kindRow->BeginEditCell(1));
  Pump(100);
  EXPECT_TRUE(kind->IsWindowVisible());
  EXPECT_TRUE(kind->GetDroppedState());

  const QImage image = ScreenAround(frame, 0, [&](const QImage& shot, const CRect& whole) {
    // The dropped list reaches below the editor's cell.
    CRect cell;
    kind->GetWindowRect(&cell);
    const QRgb under = shot.pixel(cell.left + 20, cell.bottom + 30);
    const QRgb pane = shot.pixel(whole.left + 200, whole.top + 200);
    return under != pane || !kind->GetDroppedState();
  });
  Save(image, "grid_x11.png");
  kind->ShowDropDown(FALSE);
  grid.DestroyWindow();
  frame.DestroyWindow();
}

TEST(GridOnX11, TheTagWindowsOfOnePageAndOfSeveralPages) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X display";
  CQVRCM::RegisterRCM(nullptr, u"FrameworkGridsTest.drs", FALSE);
  struct Case {
    const char* file;
    const char* picture;
  } cases[] = {{"multipage.tif", "tag_window_multipage_x11.png"}, {"smallliz.tif", "tag_window_x11.png"}};
  for (const Case& c : cases) {
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, u"AfxWnd", u"Tags", WS_POPUP | WS_VISIBLE | WS_BORDER, CRect(60, 60, 460, 560),
                               nullptr, 0));
    CQVTiffInfoWnd window;
    CRect client;
    frame.GetClientRect(&client);
    ASSERT_TRUE(window.Create(WS_CHILD | WS_VISIBLE, client, &frame, 1));
    window.SetFilename(CString::FromUtf8(std::string(QV_GRIDS_TEST_DATA) + "/" + c.file));
    EXPECT_GE(window.GetTagCount(), 1) << c.file;
    Pump(100);
    const QImage image = ScreenAround(frame, 0, [](const QImage& shot, const CRect& whole) {
      return shot.pixel(whole.left + 300, whole.top + 10) != shot.pixel(whole.left + 300, whole.bottom - 10);
    });
    Save(image, c.picture);
    window.DestroyWindow();
    frame.DestroyWindow();
  }
  CQVRCM::UnregisterRCM(nullptr);
}

}  // namespace
