#pragma once
// The viewer's commands: every command has a fixed number and a name. Menus, tool bars and hot keys
// refer to commands by these names, and the language texts ("TXT_" and "TIP_" + name) and tool-bar
// pictures ("TBN32_" and "TBN40_" + name) are keyed by them. The application registers them in the
// command-ID registry in the order of ViewerCommands().
//
// The tool bars and menus are data here too, so that the frame builds them and the tests check
// that every command they show has its texts and pictures.

#include "platform/core/wintypes.h"

#include <span>

enum ViewerCommandId : UINT {
  ID_APP_SEARCH = 1001,
  ID_APP_PRINT = 1002,
  ID_APP_EMAIL = 1003,
  ID_APP_SAVEASPDF = 1004,
  ID_APP_EXPORT = 1005,
  ID_APP_SETTING = 1006,
  ID_APP_EXIT = 1007,
  ID_APP_TBRPRINT = 1008,
  ID_APP_TBREMAIL = 1009,
  ID_VIEW_BROWSERLAYOUT_1_1 = 2001,
  ID_VIEW_BROWSERLAYOUT_1_2 = 2002,
  ID_VIEW_BROWSERLAYOUT_2_1 = 2003,
  ID_VIEW_BROWSERLAYOUT_2_2 = 2004,
  ID_VIEW_BROWSERLAYOUT_2_4 = 2005,
  ID_VIEW_BROWSERLAYOUT_4_8 = 2006,
  ID_VIEW_ZOOMIN = 2010,
  ID_VIEW_ZOOMOUT = 2011,
  ID_VIEW_ZOOMSTEP = 2012,
  ID_VIEW_FIT_NONE = 2020,
  ID_VIEW_FIT_WIDTH = 2021,
  ID_VIEW_FIT_WHOLE = 2022,
  ID_VIEW_SHOW_CMDTBR = 2030,
  ID_VIEW_SHOW_ORBTBR = 2031,
  ID_VIEW_SHOW_SEARCHRESULTS = 2032,
  ID_DOCUMENT_PREVIOUS = 3001,
  ID_DOCUMENT_NEXT = 3002,
  ID_DOCUMENT_GOTODOC = 3003,
  ID_DOCUMENT_FIRSTIMAGE = 3004,
  ID_DOCUMENT_LASTIMAGE = 3005,
  ID_DOCUMENT_PRESCREEN = 3006,
  ID_DOCUMENT_NXTSCREEN = 3007,
  ID_DOCUMENT_GOTOIMG = 3008,
  ID_DOCUMENT_SCROLL_TO_TOP = 3009,
  ID_DOCUMENT_SCROLL_TO_LEFT = 3010,
  ID_DOCUMENT_SCROLL_TO_RIGHT = 3011,
  ID_DOCUMENT_SCROLL_TO_BOTTOM = 3012,
  ID_DOCUMENT_SCROLL_UP = 3013,
  ID_DOCUMENT_SCROLL_LEFT = 3014,
  ID_DOCUMENT_SCROLL_RIGHT = 3015,
  ID_DOCUMENT_SCROLL_DOWN = 3016,
  ID_TOOLS_ROTATE_90 = 4001,
  ID_TOOLS_ROTATE_180 = 4002,
  ID_TOOLS_ROTATE_270 = 4003,
  ID_TOOLS_SCROLL = 4004,
  ID_TOOLS_MAGNIFY = 4005,
  ID_TOOLS_MAGNIFICATIONRATIO = 4006,
  ID_TOOLS_COPY = 4007,
  ID_TOOLS_COPYAREA = 4008,
  ID_HELP_ABOUT = 5001,
  ID_HELP_FILE = 5002,
  ID_OUTPUT_VIEW = 6001,
  ID_OUTPUT_EMAIL = 6002,
  ID_OUTPUT_SAVEASPDF = 6003,
  ID_OUTPUT_PRINTIMAGES = 6004,
  ID_OUTPUT_PRINTHITLIST = 6005,
  ID_OTHER_CTRL_1 = 8001,  // ID_OTHER_CTRL_1 + n acts on the browser's cell n (n = 0..9)
  ID_OTHER_CTRL_0 = 8010,
};

struct ViewerCommand {
  UINT nID;
  LPCWSTR pszName;
};

// Every command, in the order they are registered.
std::span<const ViewerCommand> ViewerCommands();
// The command's name; null for a number that is no command of the viewer.
LPCWSTR FindViewerCommandName(UINT id);

// Buttons of the two tool bars in order; 0 stands for a separator.
std::span<const UINT> CommandToolBarButtons();
std::span<const UINT> ViewToolBarButtons();
// Width of a separator between tool-bar buttons, in pixels.
inline constexpr int kToolBarSeparatorWidth = 20;

// One step of a menu script: a command, a separator, the start of a pop-up with the key of its
// caption, the end of a pop-up, or the framework's list of languages.
struct ViewerMenuItem {
  enum Kind { Command, Separator, BeginPopup, EndPopup, LanguageList } kind;
  UINT nID;          // Command
  LPCWSTR pszKey;    // BeginPopup
};

// The main menu: five pop-ups (file, view, document, tools, help).
std::span<const ViewerMenuItem> MainMenuScript();
// The output pop-up of the results list.
std::span<const ViewerMenuItem> OutputMenuScript();
