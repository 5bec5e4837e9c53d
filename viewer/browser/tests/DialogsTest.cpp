// The go-to, zoom-step and magnification-ratio dialogs: the numbers they accept and refuse, and
// each run as a user would, with the values it opens with and hands back.

#include "viewer/browser/CGotoDocumentDlg.h"
#include "viewer/browser/CGotoImageDlg.h"
#include "viewer/browser/CZoomStepDlg.h"

#include "foundation/language/CQVRCM.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"
#include "viewer/browser/tests/BrowserFixture.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {


CString Text(LPCWSTR key) {
  CString text;
  CQVRCM::LoadText(key, text);
  return text;
}

class Dialogs : public ::testing::Test {
protected:
  static void SetUpTestSuite() { UseViewerLanguage(); }
  // Runs `act` inside the dialog once it shows; a dialog still open afterwards is cancelled.
  static void WhenShown(CDialog& dialog, std::function<void()> act) {
    QTimer::singleShot(0, [&dialog, act] {
      if (!dialog.GetSafeHwnd()) return;
      act();
      if (dialog.GetSafeHwnd() && dialog.IsWindowVisible()) dialog.EndDialog(IDCANCEL);
    });
  }
  static void Press(CDialog& dialog, int id) { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  RecordedBoxes recorded;
  std::vector<CString>& boxes { recorded.texts };
};

}  // namespace

TEST(GotoImageNumber, AcceptsPagesOneTo999UpToThePageCount) {
  struct Case {
    const char16_t* text;
    int highest;
    const char16_t* key;  // null: accepted
    int number;
  } cases[] = {
      {u"999", 1200, nullptr, 999},
      {u"1", 1, nullptr, 1},
      {u"007", 10, nullptr, 7},
      {u"1000", 1200, u"MSG_DLG_GTIMG_ERR_INVALIDNUMBER", 0},
      {u"0", 10, u"MSG_DLG_GTIMG_ERR_INVALIDNUMBER", 0},
      {u"", 10, u"MSG_DLG_GTIMG_ERR_INVALIDNUMBER", 0},
      {u"99999999999999999999", 1200, u"MSG_DLG_GTIMG_ERR_INVALIDNUMBER", 0},
      {u"12a", 100, u"MSG_DLG_GTIMG_ERR_NOTNUMBER", 0},
      {u"-3", 100, u"MSG_DLG_GTIMG_ERR_NOTNUMBER", 0},
      {u" 3", 100, u"MSG_DLG_GTIMG_ERR_NOTNUMBER", 0},
      {u"11", 10, u"MSG_DLG_GTIMG_ERR_NOTFOUND", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CString(c.text).ToUtf8());
    int number = 0;
    LPCWSTR key = CGotoImageDlg::CheckNumber(c.text, c.highest, number);
    EXPECT_EQ(CString(key ? key : u""), CString(c.key ? c.key : u""));
    if (!c.key) {
      EXPECT_EQ(number, c.number);
    }
  }
}

TEST(GotoDocumentNumber, CompletesToEightDigits) {
  struct Case {
    const char16_t* text;
    const char16_t* key;
    const char16_t* number;
  } cases[] = {
      {u"123", nullptr, u"00000123"},
      {u"", nullptr, u"00000000"},
      {u"12345678", nullptr, u"12345678"},
      {u"000012345678", nullptr, u"12345678"},
      {u"123456789", u"MSG_DLG_GTDOC_ERR_NODOC", u""},
      {u"99999999999999999999", u"MSG_DLG_GTDOC_ERR_NODOC", u""},
      {u"12x", u"MSG_DLG_GTDOC_ERR_INVALIDNUMBER", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CString(c.text).ToUtf8());
    CString number;
    LPCWSTR key = CGotoDocumentDlg::CheckNumber(c.text, number);
    EXPECT_EQ(CString(key ? key : u""), CString(c.key ? c.key : u""));
    if (!c.key) {
      EXPECT_EQ(number, CString(c.number));
    }
  }
}

TEST_F(Dialogs, GoToPageRefusesAPageBeyondTheDocumentAndTakesTheNext) {
  CGotoImageDlg dialog;
  dialog.SetImageCount(3);
  CString label;
  WhenShown(dialog, [&] {
    dialog.GetDlgItemText(1053, label);
    dialog.SetDlgItemText(1054, u"7");
    Press(dialog, IDOK);
    dialog.SetDlgItemText(1054, u"3");
    Press(dialog, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  int number = 0;
  dialog.GetNumber(number);
  EXPECT_EQ(number, 3);
  EXPECT_EQ(label, Text(u"TXT_DLG_GTIMG_IMAGE"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], Text(u"MSG_DLG_GTIMG_ERR_NOTFOUND"));
}

TEST_F(Dialogs, GoToDocumentOffersTheResultBatchesAndFindsTheDocument) {
  OneDocument doc(1);
  CString batch;
  ASSERT_TRUE(doc.plant.GetBatchDisplayName(doc.document->GetBatch(), batch));
  CGotoDocumentDlg dialog(&doc.plant);
  CString shown;
  WhenShown(dialog, [&] {
    dialog.GetDlgItemText(1050, shown);
    dialog.SetDlgItemText(1052, u"12346");
    Press(dialog, IDOK);
    dialog.SetDlgItemText(1052, u"12345");
    Press(dialog, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(shown, batch);
  CString chosenBatch, number;
  dialog.GetSelection(chosenBatch, number);
  EXPECT_EQ(chosenBatch, batch);
  EXPECT_EQ(number, CString(u"00012345"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], Text(u"MSG_DLG_GTDOC_ERR_NODOC"));
}

TEST_F(Dialogs, GoToDocumentWithoutResultsSaysSo) {
  CIBSPlant empty;
  CGotoDocumentDlg dialog(&empty);
  CString shown;
  WhenShown(dialog, [&] {
    dialog.GetDlgItemText(1050, shown);
    dialog.SetDlgItemText(1052, u"1");
    Press(dialog, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(shown, Text(u"TXT_DLG_GTDOC_NOBATCHES"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], Text(u"MSG_DLG_GTDOC_ERR_NOBATCH"));
}

TEST_F(Dialogs, StepDialogsOpenOnTheGivenValueAndHandBackTheChosenOne) {
  struct Case {
    const char* what;
    bool zoom;
    int given;
    int checkedAtStart;  // button ID
    int pressed;         // button ID, 0 for none
    int button;          // IDOK or IDCANCEL
    int result;
  } cases[] = {
      {"a stored zoom step of 10 opens on 15", true, 10, 1200, 0, IDOK, 15},
      {"no stored step opens on 15", true, 0, 1200, 1203, IDOK, 30},
      {"step 35", true, 35, 1204, 1205, IDOK, 40},
      {"cancel keeps the value", true, 20, 1201, 1205, IDCANCEL, 20},
      {"ratio 250", false, 250, 1209, 1206, IDOK, 100},
      {"an unknown ratio opens on 100", false, 175, 1206, 1210, IDOK, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CZoomStepDlg zoom;
    CMagRatioSetupDlg ratio;
    CRadioStepDlg& dialog = c.zoom ? static_cast<CRadioStepDlg&>(zoom) : ratio;
    UINT checked = BST_UNCHECKED;
    WhenShown(dialog, [&] {
      checked = dialog.IsDlgButtonChecked(c.checkedAtStart);
      if (c.pressed) dialog.CheckRadioButton(c.zoom ? 1200 : 1206, c.zoom ? 1205 : 1210, c.pressed);
      Press(dialog, c.button);
    });
    int value = c.given;
    EXPECT_EQ(dialog.Run(value), c.button == IDOK);
    EXPECT_EQ(checked, UINT(BST_CHECKED));
    EXPECT_EQ(value, c.result);
  }
}
