// Hit-list printing on the PDF printer: every page gets the header (title, page number, headings,
// rule), the rows run on to a second page, and an empty list prints nothing.

#include "platform/gdi/CDC.h"
#include "platform/ui/afx/CListCtrl.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "viewer/print/CPrintHitlist.h"
#include "viewer/print/tests/PrintTestSupport.h"

#include <QFile>

namespace {

LRESULT ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

class Hitlist : public PrintJobFixture {
protected:
  void SetUp() override {
    PrintJobFixture::SetUp();
    parent = MakeParentWindow(u"HitlistParent", &ParentProc);
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 380, 280), CWnd::FromHandle(parent), 1));
    list.InsertColumn(0, u"Batch");
    list.InsertColumn(1, u"Document");
    list.InsertColumn(2, u"Customer");
  }
  void TearDown() override {
    list.DestroyWindow();
    DestroyWindow(parent);
    PrintJobFixture::TearDown();
  }

  // Prints the list on the PDF printer into `pdf`.
  BOOL PrintInto(const QString& pdf) {
    CPrintHitlist hitlist;
    hitlist.m_strOutput = CString(reinterpret_cast<LPCWSTR>(pdf.utf16()));
    const DEVMODEW dm = TestSettings();
    CDC dc;
    if (!dc.CreateDC(u"WINSPOOL", PDF_PRINTER_NAME, nullptr, &dm)) return FALSE;
    return hitlist.PrintTo(&dc, &list);
  }

  HWND parent {};
  CListCtrl list;
};

// The longest dark run of a row of pixels.
int LongestRun(const QImage& page, int y) {
  int best = 0, run = 0;
  for (int x = 0; x < page.width(); ++x) {
    run = qGray(page.pixel(x, y)) < 128 ? run + 1 : 0;
    best = std::max(best, run);
  }
  return best;
}

TEST_F(Hitlist, EveryPageHasItsHeaderAndTheRowsRunOn) {
  for (int r = 0; r < 150; ++r) {
    CString number;
    number.Format(u"%08d", r + 1);
    list.InsertItem(r, u"Invoices 2008");
    list.SetItemText(r, 1, number);
    list.SetItemText(r, 2, r % 3 ? u"ACME Corp" : u"");
  }
  const QString pdf = Pdf(QStringLiteral("hitlist.pdf"));
  ASSERT_TRUE(PrintInto(pdf));
  EXPECT_TRUE(Boxes().empty());
  ASSERT_EQ(PdfPageCount(pdf), 2);
  for (int p = 1; p <= 2; ++p) {
    const QImage page = RenderPage(pdf, p);
    ASSERT_FALSE(page.isNull());
    if (p == 2) page.save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/hitlist_page2.png"));
    // The rule: the one line of ink across most of the page, under the title and the headings.
    int rule = -1;
    for (int y = 0; y < page.height() / 4 && rule < 0; ++y)
      if (LongestRun(page, y) > page.width() * 3 / 4) rule = y;
    ASSERT_GT(rule, 0) << "page " << p;
    EXPECT_FALSE(DarkBox(page, QRect(0, 0, page.width() / 2, rule - 2)).isEmpty()) << "title and headings, page " << p;
    EXPECT_FALSE(DarkBox(page, QRect(page.width() * 3 / 4, 0, page.width() / 4, rule - 2)).isEmpty())
        << "the page number, page " << p;
    EXPECT_FALSE(DarkBox(page, QRect(0, rule + 10, page.width(), page.height() / 4)).isEmpty()) << "rows, page " << p;
  }
}

TEST_F(Hitlist, AnEmptyListPrintsNothing) {
  const QString pdf = Pdf(QStringLiteral("empty.pdf"));
  EXPECT_FALSE(PrintInto(pdf));
  EXPECT_FALSE(QFile::exists(pdf));
  EXPECT_TRUE(Boxes().empty()) << "and says nothing";
}

}  // namespace
