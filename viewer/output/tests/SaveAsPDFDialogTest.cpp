// The save dialog of "Save as PDF": the range panel's states, the checks of a typed range, and the
// name the file gets.

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "viewer/model/tests/BatchFixture.h"
#include "viewer/output/CSaveAsPDFDlg.h"
#include "viewer/output/tests/OutputTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Dlg = CSaveAsPDFDlg;

class SaveAsPDFDialog : public ::testing::Test {
protected:
  void SetUp() override {
    UseViewerTexts();
    m_initialDir = m_folder.Wide();
  }

  // Runs the dialog with the options; `script` gets the panel and the file dialog's window.
  INT_PTR Run(Dlg& dialog, const std::function<void(CDialog&, HWND)>& script) {
    dialog.m_ofn.lpstrInitialDir = m_initialDir.GetString();
    return RunModal(dialog, [&](CDialog& panel) { script(panel, ::GetParent(panel.GetSafeHwnd())); });
  }

  static void Enter(HWND frame, LPCWSTR name) {
    ::SetDlgItemTextW(frame, IDC_FILE_NAME, name);
    ::SetFocus(::GetDlgItem(frame, IDC_FILE_NAME));
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  }

  static SaveAsPDFOption Options(int range, int from = -1, int to = -1) {
    SaveAsPDFOption options;
    options.nSaveRange = range;
    options.nImageFrom = from;
    options.nImageTo = to;
    return options;
  }

  static bool ReadOnly(CDialog& panel, int id) { return (panel.GetDlgItem(id)->GetStyle() & ES_READONLY) != 0; }

  TempFolder m_folder;
  CString m_initialDir;
};

Dlg* NewDialog() { return new Dlg(FALSE, u".pdf", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT); }

}  // namespace

TEST_F(SaveAsPDFDialog, ARangeTypedWrongKeepsTheDialogOpenWithItsMessage) {
  const struct {
    const char* what;
    LPCWSTR from;
    LPCWSTR to;
    const char16_t* message;  // null: accepted
  } cases[] = {
      {"from 0", u"0", u"2", u"The first image of the range must be 1 or more."},
      {"no from", u"", u"2", u"The first image of the range must be 1 or more."},
      {"to before from", u"3", u"2", u"The last image of the range comes before the first."},
      {"to beyond the highest image", u"1", u"1001", u"The last image of the range lies beyond the document's images."},
      {"a number too large for any image", u"1", u"99999999999", u"The last image of the range lies beyond the document's images."},
      {"the highest image", u"2", u"1000", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BoxRecorder boxes;
    std::unique_ptr<Dlg> dialog(NewDialog());
    dialog->SetOptions(Options(Dlg::kFromTo));
    bool stayed = false;
    HWND focus = nullptr, expectedFocus = nullptr;
    const INT_PTR result = Run(*dialog, [&](CDialog& panel, HWND frame) {
      panel.SetDlgItemText(Dlg::IDC_FROM, c.from);
      panel.SetDlgItemText(Dlg::IDC_TO, c.to);
      Enter(frame, u"range");
      stayed = ::IsWindowVisible(frame);
      focus = ::GetFocus();
      expectedFocus = panel.GetDlgItem(CString(c.from) == u"0" || CString(c.from).IsEmpty() ? Dlg::IDC_FROM : Dlg::IDC_TO)->GetSafeHwnd();
      if (stayed) ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    if (!c.message) {
      EXPECT_EQ(result, IDOK);
      EXPECT_TRUE(boxes.asked.empty());
      SaveAsPDFOption options;
      dialog->GetOptions(options);
      EXPECT_EQ(options.nSaveRange, Dlg::kFromTo);
      EXPECT_EQ(options.nImageFrom, 2);
      EXPECT_EQ(options.nImageTo, 1000);
      continue;
    }
    EXPECT_TRUE(stayed);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, CString(c.message));
    EXPECT_EQ(focus, expectedFocus) << "the focus is on the edit to correct";
  }
}

TEST_F(SaveAsPDFDialog, TheFileIsTheNameWithoutItsExtensionAsPDF) {
  WriteBytes(m_folder.Path() / "scan.pdf", "earlier");
  // Enter once: the name "scan.txt" makes scan.pdf, which is there: No keeps the dialog. Enter
  // again: Yes.
  BoxRecorder boxes({IDNO, IDYES});
  std::unique_ptr<Dlg> dialog(NewDialog());
  dialog->SetOptions(Options(Dlg::kCurrentScreen));
  const INT_PTR result = Run(*dialog, [&](CDialog&, HWND frame) {
    Enter(frame, u"scan.txt");
    EXPECT_TRUE(::IsWindowVisible(frame));
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  });
  ASSERT_EQ(result, IDOK);
  ASSERT_EQ(boxes.asked.size(), 2u);
  EXPECT_NE(boxes.asked[0].text.Find(m_folder.Wide("scan.pdf")), -1) << boxes.asked[0].text.ToUtf8();
  SaveAsPDFOption options;
  dialog->GetOptions(options);
  EXPECT_EQ(options.strPath, m_folder.Wide("scan.pdf"));
  EXPECT_EQ(options.nSaveRange, Dlg::kCurrentScreen);
  EXPECT_EQ(options.nImageFrom, 0);
  EXPECT_EQ(options.nImageTo, 0);
}

TEST_F(SaveAsPDFDialog, TheRadioButtonsSetThePanelsStateAndALockedRangeIsAllImages) {
  BoxRecorder boxes;
  std::unique_ptr<Dlg> dialog(NewDialog());
  dialog->SetOptions(Options(Dlg::kAllImages, 2, 5));
  CString title, fromText;
  bool readOnlyAtStart = false, editableForRange = false, readOnlyAgain = false;
  Run(*dialog, [&](CDialog& panel, HWND frame) {
    CWnd::FromHandle(frame)->GetWindowText(title);
    readOnlyAtStart = ReadOnly(panel, Dlg::IDC_FROM) && ReadOnly(panel, Dlg::IDC_TO);
    ClickControl(panel.GetDlgItem(Dlg::IDC_IMAGES)->GetSafeHwnd());
    editableForRange = !ReadOnly(panel, Dlg::IDC_FROM) && !ReadOnly(panel, Dlg::IDC_TO);
    panel.GetDlgItemText(Dlg::IDC_FROM, fromText);
    ClickControl(panel.GetDlgItem(Dlg::IDC_CURRENT)->GetSafeHwnd());
    readOnlyAgain = ReadOnly(panel, Dlg::IDC_FROM);
    ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_EQ(title, CString(u"Save as PDF"));
  EXPECT_TRUE(readOnlyAtStart);
  EXPECT_TRUE(editableForRange);
  EXPECT_EQ(fromText, CString(u"2")) << "the saved range shows";
  EXPECT_TRUE(readOnlyAgain);

  std::unique_ptr<Dlg> locked(NewDialog());
  locked->SetOptions(Options(Dlg::kFromTo, 2, 3));
  locked->SetRangeLocked(1);
  bool anyEnabled = true;
  UINT allChecked = 0;
  ASSERT_EQ(Run(*locked, [&](CDialog& panel, HWND frame) {
              anyEnabled = false;
              for (int id = Dlg::IDC_SAVERANGE; id <= Dlg::IDC_TOSTATIC; ++id) anyEnabled = anyEnabled || panel.GetDlgItem(id)->IsWindowEnabled();
              allChecked = panel.IsDlgButtonChecked(Dlg::IDC_ALLIMAGES);
              Enter(frame, u"locked");
            }),
            IDOK);
  EXPECT_FALSE(anyEnabled) << "the search results' PDF dialog shows the panel disabled";
  EXPECT_EQ(allChecked, static_cast<UINT>(BST_CHECKED));
  SaveAsPDFOption options;
  locked->GetOptions(options);
  EXPECT_EQ(options.nSaveRange, Dlg::kAllImages);
  EXPECT_EQ(options.strPath, m_folder.Wide("locked.pdf"));
}

TEST(OutputDialogsOnX11, SaveAsPDFAndExport) {
  UseViewerTexts();
  BoxRecorder boxes;
  std::unique_ptr<Dlg> dialog(NewDialog());
  SaveAsPDFOption options;
  options.nSaveRange = Dlg::kFromTo;
  options.nImageFrom = 2;
  options.nImageTo = 5;
  dialog->SetOptions(options);
  RunModal(*dialog, [](CDialog& panel) {
    HWND frame = ::GetParent(panel.GetSafeHwnd());
    EXPECT_TRUE(SaveScreenshot(frame, "viewer-save-as-pdf-dialog"));
    ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
}
