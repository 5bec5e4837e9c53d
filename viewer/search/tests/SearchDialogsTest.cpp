// The search command with the program's dialogs: from the new-search dialog, filled from the last
// search, to the results list, and a second search over the list of the first.

#include "viewer/model/CIBSPlant.h"
#include "viewer/model/CMainSettings.h"
#include "viewer/search/CSearchDialogs.h"
#include "viewer/search/CSearchResultsDlg.h"
#include "viewer/search/tests/SearchTestSupport.h"

#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Presses OK in the new-search dialog once it shows (looking for a second at most); counts the
// dialogs it saw.
void OKWhenShown(int& seen, int attempts = 50) {
  QTimer::singleShot(20, [&seen, attempts] {
    HWND dialog = ShownDialog();
    if (!dialog) {
      if (attempts > 0) OKWhenShown(seen, attempts - 1);
      return;
    }
    ++seen;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
}

std::vector<std::string> Numbers(CSearchResultsDlg& results) {
  std::vector<std::string> numbers;
  for (int item = 0; item < results.GetList().GetItemCount(); ++item) numbers.push_back(results.GetList().GetItemText(item, 1).ToUtf8());
  return numbers;
}

}  // namespace

TEST(SearchDialogs, FromTheLastValuesToTheResultsListAndAgain) {
  UseViewerLanguage();
  TempFolder folder;
  WriteTwoBatches(folder.Path());
  CMainSettings settings;
  settings.m_general.nSearchMode = 2;
  settings.m_general.strPath = folder.Wide();
  settings.m_general.nRemberSearch = 1;
  settings.m_lastSearchValues = {{u"Customer", u"acme*"}, {CMainSettings::kDocumentKey, u""}};
  settings.m_bAllBatches = TRUE;

  CIBSPlant plant;
  CSearchResultsDlg results;
  int closed = 0;
  CSearchDialogs dialogs(nullptr, results, settings, [&closed] { ++closed; });
  CSearchCommand command(plant, settings, dialogs, nullptr);
  int seen = 0;
  OKWhenShown(seen);
  ASSERT_EQ(command.Run(), CSearchCommand::searched);
  EXPECT_EQ(seen, 1);
  // The remembered pattern searched all batches; Contracts has no customer and is left out.
  EXPECT_TRUE(results.IsShown());
  EXPECT_EQ(Numbers(results), (std::vector<std::string> {"00012345", "00012347"}));
  EXPECT_TRUE(settings.m_bAllBatches);

  // Without remembering, the dialog starts empty: every document of every batch is a hit.
  settings.m_general.nRemberSearch = 0;
  OKWhenShown(seen);
  ASSERT_EQ(command.Run(), CSearchCommand::searched);
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(results.GetList().GetItemCount(), 6);
  EXPECT_EQ(closed, 0) << "no document was shown";
  ASSERT_FALSE(settings.m_lastSearchValues.empty());
  results.DestroyWindow();
}
