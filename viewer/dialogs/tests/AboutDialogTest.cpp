// The about box: its texts from the language files, the version put into its text safely, and the
// background picture it paints (or the white it shows without one).

#include "foundation/language/CQVRCM.h"
#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "viewer/dialogs/CAboutDialog.h"

#include <gtest/gtest.h>

namespace {

void UseViewerTexts() {
  CQVRCM::RegisterRCM(nullptr, u"ViewerDialogsTest.drs", TRUE);
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE));
}

CString Text(CWnd& dialog, int id) {
  CString text;
  dialog.GetDlgItemText(id, text);
  return text;
}

// The colour of the dialog's client area at the point, as the dialog painted it.
COLORREF PixelAt(CWnd& dialog, int x, int y) {
  dialog.Invalidate();
  dialog.UpdateWindow();
  CDC* dc = dialog.GetDC();
  const COLORREF colour = dc->GetPixel(x, y);
  dialog.ReleaseDC(dc);
  return colour;
}

}  // namespace

TEST(AboutDialog, TheVersionGoesIntoItsTextWithoutBeingAFormat) {
  const struct {
    const char* what;
    LPCWSTR format;
    LPCWSTR shown;
  } cases[] = {
      {"the English text", u"Version %s", u"Version 1.0.20080220"},
      {"a text without the place", u"Version", u"Version"},
      {"other conversions stay as they are", u"%d%% %s %n %s", u"%d%% 1.0.20080220 %n %s"},
  };
  for (const auto& c : cases) EXPECT_EQ(CAboutDialog::FormatVersion(c.format, u"1.0.20080220"), CString(c.shown)) << c.what;
}

TEST(AboutDialog, ShowsTheTextsOnTheBackgroundPictureOrOnWhite) {
  UseViewerTexts();
  for (const bool withPicture : {true, false}) {
    SCOPED_TRACE(withPicture ? "with the picture" : "without it");
    CAboutDialog dialog;
    dialog.Load();
    if (!withPicture) dialog.m_background.Free();
    CString version, copyright, notice, trademark;
    bool placesHidden = false;
    COLORREF corner = 0;
    RunModal(dialog, [&](CDialog& d) {
      version = Text(d, CAboutDialog::IDC_VERSION);
      copyright = Text(d, CAboutDialog::IDC_COPYRIGHT);
      notice = Text(d, CAboutDialog::IDC_NOTICE1);
      trademark = Text(d, CAboutDialog::IDC_TRADEMARK);
      placesHidden = true;
      for (int id : {CAboutDialog::IDC_LOGO, CAboutDialog::IDC_PRODUCTNAME, CAboutDialog::IDC_ISLOGO, CAboutDialog::IDC_MAKERLOGO})
        placesHidden = placesHidden && !d.GetDlgItem(id)->IsWindowVisible();
      CRect client;
      d.GetClientRect(&client);
      corner = PixelAt(d, client.right - 3, 2);
      d.EndDialog(IDOK);
    });
    EXPECT_EQ(version, CString(u"Version 1.0.20080220"));
    EXPECT_EQ(copyright, CString(u"Copyright (c) the authors of Seek and Show"));
    EXPECT_EQ(notice, CString(u"Images are read and written with libtiff, libjpeg, libpng and zlib."));
    EXPECT_EQ(trademark, CString(u"Seek and Show is a trade mark of its authors."));
    EXPECT_TRUE(placesHidden);
    // The picture's top is a pale blue; without it the box is white.
    if (withPicture) {
      EXPECT_LT(GetRValue(corner), 230) << std::hex << corner;
      EXPECT_GT(GetBValue(corner), 230) << std::hex << corner;
    } else {
      EXPECT_EQ(corner, RGB(255, 255, 255));
    }
  }
}

TEST(AboutDialogOnX11, Screenshot) {
  UseViewerTexts();
  CAboutDialog dialog;
  dialog.Load();
  RunModal(dialog, [](CDialog& d) {
    EXPECT_TRUE(SaveScreenshot(d.GetSafeHwnd(), "viewer-about-box"));
    d.EndDialog(IDOK);
  });
}
