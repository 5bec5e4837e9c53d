#include "viewer/app/CMainCommandState.h"

#include "viewer/app/CMainCommands.h"

#include <gtest/gtest.h>

namespace {

CMainCommandState NoBatch() { return {}; }

CMainCommandState WithPlant(int plantState) {
  CMainCommandState state;
  state.nPlantState = plantState;
  state.bHasBrowser = TRUE;
  state.bCommandBarVisible = TRUE;
  state.bViewBarVisible = TRUE;
  return state;
}

CMainCommandState Shown() { return WithPlant(kPlantShown); }

template <class Change>
CMainCommandState Shown(Change change) {
  CMainCommandState state = Shown();
  change(state);
  return state;
}

constexpr CMainCommandUpdate kLeft {-1, -1};
constexpr CMainCommandUpdate kEnabled {1, -1};
constexpr CMainCommandUpdate kDisabled {0, -1};
constexpr CMainCommandUpdate kChecked {-1, 1};
constexpr CMainCommandUpdate kUnchecked {-1, 0};

}  // namespace

TEST(CommandState, OutputsOfTheShownDocumentNeedADocumentOnScreen) {
  const UINT outputs[] = {ID_APP_PRINT, ID_APP_EMAIL, ID_APP_SAVEASPDF, ID_APP_EXPORT};
  struct Case {
    const char* what;
    CMainCommandState state;
    CMainCommandUpdate expected;
  };
  const Case cases[] = {
      {"no batch open", NoBatch(), kDisabled},
      {"batches open", WithPlant(kPlantOpened), kDisabled},
      {"searched with hits, none opened", WithPlant(kPlantSearched), kDisabled},
      {"document shown", Shown(), kEnabled},
  };
  for (const Case& c : cases)
    for (UINT id : outputs) EXPECT_EQ(UpdateMainCommand(id, c.state), c.expected) << c.what << ", command " << id;
}

TEST(CommandState, ToolModeCommandsAreCheckedForTheirModeOnly) {
  struct Case {
    UINT id;
    int mode;
  };
  const Case cases[] = {
      {ID_TOOLS_MAGNIFY, 0}, {ID_TOOLS_SCROLL, 1}, {ID_APP_TBRPRINT, 2}, {ID_APP_TBREMAIL, 3},
      {ID_TOOLS_ROTATE_90, 4}, {ID_TOOLS_ROTATE_180, 5}, {ID_TOOLS_ROTATE_270, 6}, {ID_TOOLS_COPY, 7},
      {ID_TOOLS_COPYAREA, 8},
  };
  for (int mode = 0; mode <= 8; ++mode) {
    const CMainCommandState state = Shown([mode](CMainCommandState& s) { s.nToolMode = mode; });
    for (const Case& c : cases)
      EXPECT_EQ(UpdateMainCommand(c.id, state), c.mode == mode ? kChecked : kUnchecked)
          << "tool mode " << mode << ", command " << c.id;
  }
  // Without a browser there is no tool mode to show.
  for (const Case& c : cases) EXPECT_EQ(UpdateMainCommand(c.id, NoBatch()), kLeft) << c.id;
}

TEST(CommandState, ViewCommandsFollowTheBrowserAndTheBars) {
  struct Case {
    const char* what;
    UINT id;
    CMainCommandState state;
    CMainCommandUpdate expected;
  };
  auto layout = [](int rows, int cols) {
    return Shown([=](CMainCommandState& s) {
      s.nBrowserRows = rows;
      s.nBrowserCols = cols;
    });
  };
  auto fit = [](int mode) { return Shown([=](CMainCommandState& s) { s.nFitMode = mode; }); };
  const Case cases[] = {
      {"default grid 2 by 4", ID_VIEW_BROWSERLAYOUT_2_4, Shown(), kChecked},
      {"default grid is not 4 by 8", ID_VIEW_BROWSERLAYOUT_4_8, Shown(), kUnchecked},
      {"1 by 2 is rows 1, columns 2", ID_VIEW_BROWSERLAYOUT_1_2, layout(1, 2), kChecked},
      {"2 by 1 is not 1 by 2", ID_VIEW_BROWSERLAYOUT_2_1, layout(1, 2), kUnchecked},
      {"2 by 1", ID_VIEW_BROWSERLAYOUT_2_1, layout(2, 1), kChecked},
      {"1 by 1", ID_VIEW_BROWSERLAYOUT_1_1, layout(1, 1), kChecked},
      {"grid shown without a batch", ID_VIEW_BROWSERLAYOUT_2_4, NoBatch(), kChecked},
      {"actual size", ID_VIEW_FIT_NONE, fit(1), kChecked},
      {"fit width", ID_VIEW_FIT_WIDTH, fit(2), kChecked},
      {"fit whole page", ID_VIEW_FIT_WHOLE, fit(4), kChecked},
      {"fit width while whole page", ID_VIEW_FIT_WIDTH, fit(4), kUnchecked},
      {"zoomed: no fit mode", ID_VIEW_FIT_NONE, fit(5), kUnchecked},
      {"fit without a browser", ID_VIEW_FIT_WHOLE, NoBatch(), kLeft},
      {"zoom in", ID_VIEW_ZOOMIN, Shown(), kUnchecked},
      {"zoom out, no batch", ID_VIEW_ZOOMOUT, NoBatch(), kUnchecked},
      {"to the top edge", ID_DOCUMENT_SCROLL_TO_TOP, Shown(), kUnchecked},
      {"scroll down", ID_DOCUMENT_SCROLL_DOWN, Shown(), kUnchecked},
      {"command bar shown", ID_VIEW_SHOW_CMDTBR, Shown(), kChecked},
      {"command bar hidden", ID_VIEW_SHOW_CMDTBR, Shown([](auto& s) { s.bCommandBarVisible = FALSE; }), kUnchecked},
      {"view bar hidden", ID_VIEW_SHOW_ORBTBR, Shown([](auto& s) { s.bViewBarVisible = FALSE; }), kUnchecked},
      {"view bar shown", ID_VIEW_SHOW_ORBTBR, Shown(), kChecked},
  };
  for (const Case& c : cases) EXPECT_EQ(UpdateMainCommand(c.id, c.state), c.expected) << c.what;
}

TEST(CommandState, ResultsCommandsFollowTheResultsDialog) {
  struct Case {
    const char* what;
    UINT id;
    CMainCommandState state;
    CMainCommandUpdate expected;
  };
  auto results = [](bool visible, bool oneSelected, bool printable) {
    return Shown([=](CMainCommandState& s) {
      s.bResultsWindow = TRUE;
      s.bResultsVisible = visible;
      s.bResultsOneSelected = oneSelected;
      s.bResultsPrintable = printable;
    });
  };
  const Case cases[] = {
      {"no results window", ID_VIEW_SHOW_SEARCHRESULTS, Shown(), kUnchecked},
      {"results window hidden", ID_VIEW_SHOW_SEARCHRESULTS, results(false, false, false), kUnchecked},
      {"results window visible", ID_VIEW_SHOW_SEARCHRESULTS, results(true, false, false), kChecked},
      {"visible flag without a window", ID_VIEW_SHOW_SEARCHRESULTS,
       Shown([](auto& s) { s.bResultsVisible = TRUE; }), kUnchecked},
      {"view, one row selected", ID_OUTPUT_VIEW, results(true, true, false), kEnabled},
      {"view, no row selected", ID_OUTPUT_VIEW, results(true, false, true), kDisabled},
      {"e-mail, one row selected", ID_OUTPUT_EMAIL, results(true, true, false), kEnabled},
      {"PDF, no row selected", ID_OUTPUT_SAVEASPDF, results(true, false, false), kDisabled},
      {"print images, allowed", ID_OUTPUT_PRINTIMAGES, results(true, false, true), kEnabled},
      {"print images, not allowed", ID_OUTPUT_PRINTIMAGES, results(true, true, false), kDisabled},
      {"view without a results window", ID_OUTPUT_VIEW, NoBatch(), kLeft},
      {"print images without a results window", ID_OUTPUT_PRINTIMAGES, Shown(), kLeft},
      {"hit list has no rule", ID_OUTPUT_PRINTHITLIST, results(true, false, false), kLeft},
  };
  for (const Case& c : cases) EXPECT_EQ(UpdateMainCommand(c.id, c.state), c.expected) << c.what;
}

TEST(CommandState, CommandsWithoutARuleStayAsTheyAre) {
  const UINT free[] = {ID_APP_SEARCH, ID_APP_SETTING, ID_APP_EXIT, ID_VIEW_ZOOMSTEP, ID_DOCUMENT_PREVIOUS,
                       ID_DOCUMENT_NEXT, ID_DOCUMENT_GOTODOC, ID_DOCUMENT_FIRSTIMAGE, ID_DOCUMENT_LASTIMAGE,
                       ID_DOCUMENT_PRESCREEN, ID_DOCUMENT_NXTSCREEN, ID_DOCUMENT_GOTOIMG,
                       ID_TOOLS_MAGNIFICATIONRATIO, ID_HELP_ABOUT, ID_HELP_FILE, ID_OTHER_CTRL_1, ID_OTHER_CTRL_0};
  for (const CMainCommandState& state : {NoBatch(), WithPlant(kPlantSearched), Shown()})
    for (UINT id : free) EXPECT_EQ(UpdateMainCommand(id, state), kLeft) << id;
}
