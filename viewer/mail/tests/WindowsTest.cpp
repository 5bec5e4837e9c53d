// The e-mail job's windows: the progress of a sending done on a worker, and its messages with
// the language file's texts.
#include "foundation/language/CQVRCM.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"
#include "viewer/mail/CEmailJobWindows.h"
#include "viewer/mail/CProgressDlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::vector<std::pair<std::string, UINT>> g_boxes;
int g_answer = IDYES;

int Record(HWND, LPCWSTR text, LPCWSTR, UINT type) {
  g_boxes.emplace_back(CString(text).ToUtf8(), type);
  return g_answer;
}

}  // namespace

TEST(ProgressWindow, ShowsTheWorkersStepsAndEndsOnlyWhenTheWorkHasEnded) {
  CProgressDlg dialog;
  std::atomic<bool> sawWindow { false };
  bool workEnded = false;
  dialog.Run(3, [&](const std::function<void()>& step) {
    step();
    // The window shows while the worker is busy, and its thread keeps answering.
    for (int i = 0; i < 100 && !sawWindow; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      sawWindow = dialog.GetPos() == 1;
    }
    step();
    step();
    workEnded = true;
  });
  EXPECT_TRUE(sawWindow);
  EXPECT_TRUE(workEnded);
  EXPECT_EQ(dialog.GetPos(), 3);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(EmailJobWindows, MessagesTakeTheLanguageFilesTextsWithTheMailProgramNamed) {
  CQVRCM::RegisterRCM(nullptr, u"ViewerMailTest.drs", TRUE);
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE));
  const MessageBoxHandler previous = SetMessageBoxHandler(&Record);
  CEmailJobWindows windows;
  windows.ErrorMsg(u"MSG_DLG_EML_EMAILCLIENT_UNAVAILABLE", u"Office Mail");
  g_answer = IDNO;
  EXPECT_FALSE(windows.YesNoMsg(u"MSG_EMAIL_ERR_LOGFILEPATH"));
  SetMessageBoxHandler(previous);
  ASSERT_EQ(g_boxes.size(), 2u);
  EXPECT_EQ(g_boxes[0].first, "The mail program Office Mail is not available.");
  EXPECT_EQ(g_boxes[0].second & MB_ICONMASK, UINT(MB_ICONERROR));
  EXPECT_EQ(g_boxes[1].first, "The log could not be opened. Send without a log?");
  EXPECT_EQ(g_boxes[1].second & MB_TYPEMASK, UINT(MB_YESNO));
}
