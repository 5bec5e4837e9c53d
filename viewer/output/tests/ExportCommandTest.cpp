// The export as the user starts it: the dialog's choice decides the file and the heading record,
// and what goes wrong is said.

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/shell/commdlg.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/tests/BatchFixture.h"
#include "viewer/output/ExportCommand.h"
#include "viewer/output/tests/OutputTestSupport.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {

class ExportCommand : public ::testing::Test {
protected:
  void SetUp() override {
    UseViewerTexts();
    BatchFiles batch;
    batch.header = Header("Invoices", {"Customer", "Invoice No"});
    batch.index = "001;1;00000001;B;D;0;0;0;0;0;0;1;0;ACME;INV-1\r\n";
    batch.folders = {"1/00"};
    batch.Write(m_folder.Path() / "batches/A");
    ASSERT_EQ(SearchAllDocuments(m_plant, m_folder.Wide("batches"), u"Invoice No"), 1);
    m_initialDir = m_folder.Wide();
  }

  // Runs the command; once the dialog shows, the type (1 XML, 2 CSV) and name are chosen and the
  // heading switch clicked when asked; an empty name cancels.
  BOOL Run(BOOL& includeHeadings, int type, LPCWSTR name, bool clickHeadings = false) {
    QTimer::singleShot(0, [&] {
      HWND frame = ShownDialog();
      ASSERT_NE(frame, nullptr);
      if (!*name) {
        ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
      }
      HWND panel = ::GetWindow(::GetDlgItem(frame, IDC_FILE_TYPE), GW_HWNDLAST);
      if (clickHeadings) ::SendMessageW(::GetDlgItem(panel, 1001), BM_CLICK, 0, 0);
      ::SendDlgItemMessageW(frame, IDC_FILE_TYPE, CB_SETCURSEL, static_cast<WPARAM>(type - 1), 0);
      ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDC_FILE_TYPE, CBN_SELCHANGE), 0);
      ::SetDlgItemTextW(frame, IDC_FILE_NAME, (m_initialDir + u"/" + name).GetString());
      ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    return ExportSearchResults(nullptr, m_plant, includeHeadings);
  }

  TempFolder m_folder;
  CIBSPlant m_plant;
  CString m_initialDir;
};

}  // namespace

TEST_F(ExportCommand, WritesTheResultsWithTheHeadingTheUserChose) {
  BoxRecorder boxes({IDYES, IDYES});
  BOOL includeHeadings = FALSE;
  ASSERT_TRUE(Run(includeHeadings, 2, u"hits", true));
  EXPECT_TRUE(includeHeadings) << "the switch goes back into the option";
  EXPECT_EQ(ReadBytes(m_folder.Path() / "hits.csv"),
            "\xEF\xBB\xBF\"Batch\",\"Document number\",\"Invoice No\"\r\n\"Invoices\",\"00000001\",\"INV-1\"\r\n");

  ASSERT_TRUE(Run(includeHeadings, 1, u"hits", true));
  EXPECT_FALSE(includeHeadings);
  EXPECT_EQ(ReadBytes(m_folder.Path() / "hits.xml"),
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<data>\r\n<recordlist>\r\n"
            "<record>\r\n<item>Invoices</item>\r\n<item>00000001</item>\r\n<item>INV-1</item>\r\n</record>\r\n"
            "\r\n</recordlist>\r\n</data>");
}

TEST_F(ExportCommand, AFileThatCannotBeWrittenIsSaidAndACancelWritesNothing) {
  BoxRecorder boxes({IDYES});
  BOOL includeHeadings = TRUE;
  EXPECT_FALSE(Run(includeHeadings, 2, u"missing/hits"));
  ASSERT_EQ(boxes.asked.size(), 2u) << "the create prompt, then the error";
  EXPECT_EQ(boxes.asked[1].text,
            CString(u"The index data could not be written to the file; a file that was there before is unchanged."));
  EXPECT_EQ(boxes.asked[1].caption, CString(u"Error"));

  EXPECT_FALSE(Run(includeHeadings, 2, u""));
  EXPECT_EQ(boxes.asked.size(), 2u);
  EXPECT_TRUE(includeHeadings);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.Path()), std::filesystem::directory_iterator()), 1);
}
