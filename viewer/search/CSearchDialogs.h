#pragma once
// The windows of the search command in the program: the new-search dialog asks for the query and
// the results dialog shows the hits. The main document owns the results dialog and the settings
// and says what a closed store means for its views.

#include "viewer/search/CSearchCommand.h"

#include <functional>

class CMainSettings;
class CSearchResultsDlg;
class CWnd;

class CSearchDialogs : public CSearchCommandWindows {
public:
  // `parent` owns the dialogs' windows; `storeClosed` updates the views and the main title.
  CSearchDialogs(CWnd* parent, CSearchResultsDlg& results, CMainSettings& settings, std::function<void()> storeClosed)
      : m_pParent(parent), m_results(results), m_settings(settings), m_storeClosed(std::move(storeClosed)) {}

  void OnStoreClosed() override;
  void ClearResults() override;
  BOOL AskQuery(CIBSPlant& plant, CSearchLastValues& last, BOOL switchMode) override;
  void ShowResults(CIBSPlant& plant) override;

private:
  CWnd* m_pParent;
  CSearchResultsDlg& m_results;
  CMainSettings& m_settings;
  std::function<void()> m_storeClosed;
};
