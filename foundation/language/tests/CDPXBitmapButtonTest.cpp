// The button form of language files: a button's pictures and numbers from a button item, and the
// picture it shows for each of its states.

#include "foundation/language/CDPXBitmapButton.h"
#include "foundation/language/CDPXDRSReader.h"
#include "foundation/language/tests/LanguageTestFiles.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/win/windc.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

using namespace languagetest;

// Buttons are windows: these tests need the application of a windowed program.
class WindowedTests : public ::testing::Environment {
public:
  void SetUp() override {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "foundation_language_tests";
    static char* argv[] = {name, nullptr};
    m_app = new QApplication(argc, argv);
  }
  void TearDown() override { delete m_app; }

private:
  QApplication* m_app {};
};
const auto* const g_windowed = ::testing::AddGlobalTestEnvironment(new WindowedTests);

// A 24-bit picture of one colour.
void Solid(CDPXDIBHandle& image, int width, int height, BYTE blue, BYTE green, BYTE red) {
  ASSERT_TRUE(image.Create(width, height, 24));
  for (int y = 0; y < height; ++y) {
    LPBYTE row = image.GetBits() + static_cast<size_t>(image.GetBytesPerLine()) * static_cast<size_t>(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = blue;
      row[3 * x + 1] = green;
      row[3 * x + 2] = red;
    }
  }
}

int WidthOf(CBitmap& bitmap) {
  BITMAP bm {};
  return bitmap.GetSafeHandle() && bitmap.GetBitmap(&bm) ? bm.bmWidth : 0;
}

TEST(BitmapButtons, ALanguageFilesButtonGivesItsPicturesAndNumbers) {
  CDPXDRSReader reader;
  ASSERT_TRUE(reader.Open(Wide(TestDir() / "language" / "Fixture.drs")));
  ASSERT_TRUE(reader.SetCurrentLanguage(u"en-us"));
  CDPXBitmapButton six;
  ASSERT_TRUE(reader.LoadButton(u"BTN_SIX", six));
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(WidthOf(six.GetImage(i)), i) << "picture " << i;
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(six.GetNumber(i), i);

  CDPXBitmapButton blank;
  ASSERT_TRUE(reader.LoadButton(u"btn_blank", blank));
  EXPECT_EQ(WidthOf(blank.GetImage(1)), 16) << "a blank face as big as numbers 3 and 4";
  EXPECT_EQ(WidthOf(blank.GetImage(2)), 0);

  EXPECT_FALSE(reader.LoadButton(u"BTN_NOWHERE", six));
  EXPECT_EQ(WidthOf(six.GetImage(1)), 1) << "a missing button leaves the pictures the button had";
}

TEST(BitmapButtons, WithoutAFirstPictureNothingIsKept) {
  CDPXDIBHandle first, second, none;
  Solid(first, 4, 4, 0, 0, 255);
  Solid(second, 5, 5, 0, 255, 0);
  CDPXBitmapButton button;
  ASSERT_TRUE(button.SetImages(first, second, none, none, none, none, 1, 2, 3, 4));
  EXPECT_EQ(WidthOf(button.GetImage(2)), 5);
  EXPECT_FALSE(button.SetImages(none, second, none, none, none, none, 5, 6, 7, 8));
  EXPECT_EQ(WidthOf(button.GetImage(1)), 0);
  EXPECT_EQ(WidthOf(button.GetImage(2)), 0) << "the old pictures are gone";
  EXPECT_EQ(button.GetNumber(1), 1) << "the numbers stay until a load succeeds";
}

TEST(BitmapButtons, TheButtonShowsThePictureOfItsState) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, u"AfxWnd", u"", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0));
  CDPXBitmapButton button;
  ASSERT_TRUE(button.Create(u"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 30, 30), &parent, 1));
  CDPXDIBHandle up, disabled, none;
  Solid(up, 12, 12, 0, 0, 255);
  Solid(disabled, 12, 12, 255, 0, 0);
  ASSERT_TRUE(button.SetImages(up, none, none, disabled, none, none, 0, 0, 12, 12));
  button.SizeToContent();
  CRect r;
  button.GetWindowRect(&r);
  EXPECT_EQ(r.Width(), 12);
  button.UpdateWindow();
  {
    CClientDC dc(&button);
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(255, 0, 0)) << "up: picture 1";
  }
  button.EnableWindow(FALSE);
  button.UpdateWindow();
  {
    CClientDC dc(&button);
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 255)) << "disabled: picture 4";
  }
  button.DestroyWindow();
  parent.DestroyWindow();
}

}  // namespace
