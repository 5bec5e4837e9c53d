#pragma once
// What the viewer's application and main frame work out without a window: the "-M:" switch of the
// command line, the name of the day's e-mail log, the main window's title and where it opens.

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/wintypes.h"
#include "viewer/model/CIBSWindowLink.h"

struct EmailSetting;
struct ScreenLayout;

// The text with each placeholder replaced by its value, in one pass: a value that holds a
// placeholder's name stays as it is.
CString FillPlaceholders(const CString& text, const CIBSPlaceholders& placeholders);

// The "-M:" switch names the profile of the batches to search at start-up. The first argument
// that begins with "-M:" gives the location: everything after those three characters, as it
// stands. The shell has already taken quotes off, so a path with blanks arrives whole. "-M:" with
// nothing after it sets no switch; later arguments are not looked at. FALSE without a switch.
BOOL ReadSwitchLocation(int argc, const char* const* argv, CString& location);

// The day's e-mail log: the log folder with a trailing separator, then "YYYYMMDD.log" of `day`.
// FALSE (and an empty name) when no log is to be kept.
BOOL MakeLogFileName(const EmailSetting& email, const SYSTEMTIME& day, CString& name);

// What the main window's title is made of: the two caption texts of the language file, the
// document on screen and the page counts.
struct CMainTitleParts {
  CString strIdle;        // "CAP_MAINFRAME"
  CString strActive;      // "CAP_MAINFRAME_ACTIVE", with <%batch%> and <%document%>
  CString strBatch;       // display name of the shown document's batch
  CString strDocument;    // its number
  BOOL bDisplayPageCount {FALSE};
  BOOL bSwitch {FALSE};   // started with "-M:": the index's page count is not shown
  int nPageCount {0};     // from the document's index line
  int nImageCount {0};    // images the browser holds
};

CString ComposeMainTitle(const CMainTitleParts& parts);

// Where the main window opens. Maximised when the saved size is not above 0 or it was maximised;
// otherwise the saved rectangle (normalised), clipped to a screen of known size. An empty
// rectangle leaves the place to the system; the window shows normally then too.
struct CMainPlacement {
  BOOL bMaximized {FALSE};
  CRect rcNormal;
};

CMainPlacement PlaceMainWindow(const ScreenLayout& layout, int screenWidth, int screenHeight);
