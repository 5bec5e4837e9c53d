#include "viewer/app/CMainCommandState.h"

#include "viewer/app/CMainCommands.h"

namespace {

int Flag(bool on) { return on ? 1 : 0; }

// The tool mode a command selects; -1 for commands that select none.
int ToolModeOf(UINT id) {
  switch (id) {
    case ID_APP_TBRPRINT: return 2;
    case ID_APP_TBREMAIL: return 3;
    case ID_TOOLS_ROTATE_90: return 4;
    case ID_TOOLS_ROTATE_180: return 5;
    case ID_TOOLS_ROTATE_270: return 6;
    case ID_TOOLS_SCROLL: return 1;
    case ID_TOOLS_MAGNIFY: return 0;
    case ID_TOOLS_COPY: return 7;
    case ID_TOOLS_COPYAREA: return 8;
    default: return -1;
  }
}

struct Layout {
  UINT id;
  int rows;
  int cols;
};
constexpr Layout kLayouts[] = {
    {ID_VIEW_BROWSERLAYOUT_1_1, 1, 1}, {ID_VIEW_BROWSERLAYOUT_1_2, 1, 2}, {ID_VIEW_BROWSERLAYOUT_2_1, 2, 1},
    {ID_VIEW_BROWSERLAYOUT_2_2, 2, 2}, {ID_VIEW_BROWSERLAYOUT_2_4, 2, 4}, {ID_VIEW_BROWSERLAYOUT_4_8, 4, 8},
};

}  // namespace

CMainCommandUpdate UpdateMainCommand(UINT id, const CMainCommandState& state) {
  if (int mode = ToolModeOf(id); mode >= 0)
    return state.bHasBrowser ? CMainCommandUpdate {-1, Flag(state.nToolMode == mode)} : CMainCommandUpdate {};
  for (const Layout& layout : kLayouts)
    if (layout.id == id)
      return {-1, Flag(state.nBrowserRows == layout.rows && state.nBrowserCols == layout.cols)};

  switch (id) {
    case ID_APP_PRINT:
    case ID_APP_EMAIL:
    case ID_APP_SAVEASPDF:
    case ID_APP_EXPORT:
      return {Flag(state.nPlantState == kPlantShown), -1};

    case ID_VIEW_FIT_NONE:
    case ID_VIEW_FIT_WIDTH:
    case ID_VIEW_FIT_WHOLE: {
      if (!state.bHasBrowser) return {};
      const int fit = id == ID_VIEW_FIT_NONE ? 1 : id == ID_VIEW_FIT_WIDTH ? 2 : 4;
      return {-1, Flag(state.nFitMode == fit)};
    }

    case ID_VIEW_ZOOMIN:
    case ID_VIEW_ZOOMOUT:
    case ID_DOCUMENT_SCROLL_TO_TOP:
    case ID_DOCUMENT_SCROLL_TO_LEFT:
    case ID_DOCUMENT_SCROLL_TO_RIGHT:
    case ID_DOCUMENT_SCROLL_TO_BOTTOM:
    case ID_DOCUMENT_SCROLL_UP:
    case ID_DOCUMENT_SCROLL_LEFT:
    case ID_DOCUMENT_SCROLL_RIGHT:
    case ID_DOCUMENT_SCROLL_DOWN:
      return {-1, 0};

    case ID_VIEW_SHOW_CMDTBR: return {-1, Flag(state.bCommandBarVisible)};
    case ID_VIEW_SHOW_ORBTBR: return {-1, Flag(state.bViewBarVisible)};
    case ID_VIEW_SHOW_SEARCHRESULTS: return {-1, Flag(state.bResultsWindow && state.bResultsVisible)};

    // The output rules apply only while the results dialog has its window.
    case ID_OUTPUT_VIEW:
    case ID_OUTPUT_EMAIL:
    case ID_OUTPUT_SAVEASPDF:
      return state.bResultsWindow ? CMainCommandUpdate {Flag(state.bResultsOneSelected), -1} : CMainCommandUpdate {};
    case ID_OUTPUT_PRINTIMAGES:
      return state.bResultsWindow ? CMainCommandUpdate {Flag(state.bResultsPrintable), -1} : CMainCommandUpdate {};

    default: return {};
  }
}
