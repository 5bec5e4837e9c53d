// The export's save dialog: the type decides the extension, the check box the heading record, and
// a name changed by the extension is asked about before an existing file is replaced.

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "viewer/model/tests/BatchFixture.h"
#include "viewer/output/CExportDlg.h"
#include "viewer/output/tests/OutputTestSupport.h"

#include <gtest/gtest.h>

namespace {

class ExportDialog : public ::testing::Test {
protected:
  void SetUp() override {
    UseViewerTexts();
    m_initialDir = m_folder.Wide();
  }

  // Runs the dialog, chooses the type (1 XML, 2 CSV) and the name, and presses Enter until the
  // dialog ends or `enters` presses are done.
  INT_PTR Run(CExportDlg& dialog, int type, LPCWSTR name, int enters = 1) {
    dialog.m_ofn.lpstrInitialDir = m_initialDir.GetString();
    return RunModal(dialog, [&](CDialog& panel) {
      HWND frame = ::GetParent(panel.GetSafeHwnd());
      m_title.Empty();
      CWnd::FromHandle(frame)->GetWindowText(m_title);
      ::SendDlgItemMessageW(frame, IDC_FILE_TYPE, CB_SETCURSEL, static_cast<WPARAM>(type - 1), 0);
      ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDC_FILE_TYPE, CBN_SELCHANGE), 0);
      ::SetDlgItemTextW(frame, IDC_FILE_NAME, name);
      ::SetFocus(::GetDlgItem(frame, IDC_FILE_NAME));
      for (int i = 0; i < enters && ::IsWindow(frame) && ::IsWindowVisible(frame); ++i)
        PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    });
  }

  TempFolder m_folder;
  CString m_initialDir;
  CString m_title;
};

}  // namespace

TEST_F(ExportDialog, TheChosenTypeGivesTheExtensionAndTheFormat) {
  const struct {
    const char* what;
    int type;
    LPCWSTR typed;
    const char* saved;
    int format;
  } cases[] = {
      {"CSV without an extension", 2, u"out", "out.csv", CExportDlg::kFormatCSV},
      {"CSV with the extension in capitals keeps it", 2, u"out.CSV", "out.CSV", CExportDlg::kFormatCSV},
      {"XML with another extension gets its own", 1, u"hits.txt", "hits.txt.xml", CExportDlg::kFormatXML},
      {"an extension in a folder's name does not count", 1, u"x.xml.d/report", "x.xml.d/report.xml", CExportDlg::kFormatXML},
  };
  std::filesystem::create_directory(m_folder.Path() / "x.xml.d");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BoxRecorder boxes({IDYES});
    CExportDlg dialog(FALSE, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    ASSERT_EQ(Run(dialog, c.type, c.typed), IDOK);
    CString path;
    int format = 0;
    BOOL headings = FALSE;
    ASSERT_TRUE(dialog.GetExportChoice(path, format, headings));
    EXPECT_EQ(path, m_folder.Wide(c.saved));
    EXPECT_EQ(format, c.format);
    EXPECT_TRUE(headings) << "on by default";
    EXPECT_EQ(m_title, CString(u"Export Index Data")) << "the default title";
  }
}

TEST_F(ExportDialog, ANameThatBecomesAnExistingFileIsAskedAbout) {
  WriteBytes(m_folder.Path() / "out.csv", "earlier");
  // Each Enter: the create prompt for the typed name "out" (yes), then the question about out.csv.
  BoxRecorder boxes({IDYES, IDNO, IDYES, IDYES});
  CExportDlg dialog(FALSE, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  ASSERT_EQ(Run(dialog, 2, u"out", 2), IDOK) << "No kept the dialog open, Yes ended it";
  ASSERT_EQ(boxes.asked.size(), 4u);
  EXPECT_NE(boxes.asked[1].text.Find(m_folder.Wide("out.csv")), -1) << boxes.asked[1].text.ToUtf8();
  EXPECT_EQ(ReadBytes(m_folder.Path() / "out.csv"), "earlier") << "the dialog writes nothing";
  CString path;
  int format = 0;
  BOOL headings = FALSE;
  ASSERT_TRUE(dialog.GetExportChoice(path, format, headings));
  EXPECT_EQ(path, m_folder.Wide("out.csv"));
}

TEST_F(ExportDialog, TheCheckBoxSetsTheHeadingFlagAndTakesTheCallersTexts) {
  BoxRecorder boxes({IDYES});
  CExportDlg dialog(FALSE, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  dialog.m_bIncludeHeadings = FALSE;
  dialog.m_strTitle = u"Export";
  dialog.m_strCheckTitle = u"Headings";
  CString checkText;
  UINT shown = 0;
  CRect checkRect, labelRect;
  dialog.m_ofn.lpstrInitialDir = m_initialDir.GetString();
  INT_PTR result = RunModal(dialog, [&](CDialog& panel) {
    HWND frame = ::GetParent(panel.GetSafeHwnd());
    CWnd::FromHandle(frame)->GetWindowText(m_title);
    panel.GetDlgItemText(CExportDlg::IDC_INCLUDE_HEADINGS, checkText);
    shown = panel.IsDlgButtonChecked(CExportDlg::IDC_INCLUDE_HEADINGS);
    ::GetWindowRect(::GetDlgItem(panel.GetSafeHwnd(), CExportDlg::IDC_INCLUDE_HEADINGS), &checkRect);
    ::GetWindowRect(::GetDlgItem(frame, IDC_FILE_TYPE_LABEL), &labelRect);
    ClickControl(::GetDlgItem(panel.GetSafeHwnd(), CExportDlg::IDC_INCLUDE_HEADINGS));
    ::SetDlgItemTextW(frame, IDC_FILE_NAME, u"out");
    ::SetFocus(::GetDlgItem(frame, IDC_FILE_NAME));
    PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  });
  ASSERT_EQ(result, IDOK);
  EXPECT_EQ(m_title, CString(u"Export"));
  EXPECT_EQ(checkText, CString(u"Headings"));
  EXPECT_EQ(shown, static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(checkRect.left, labelRect.left) << "the check box lines up with the file-type label";
  CString path;
  int format = 0;
  BOOL headings = FALSE;
  ASSERT_TRUE(dialog.GetExportChoice(path, format, headings));
  EXPECT_TRUE(headings) << "the click turned it on";
  EXPECT_EQ(format, CExportDlg::kFormatXML) << "XML is the first type";
  EXPECT_EQ(path, m_folder.Wide("out.xml"));
}
