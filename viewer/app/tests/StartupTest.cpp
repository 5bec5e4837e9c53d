#include "viewer/model/CMainSettings.h"
#include "viewer/app/CMainStartup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Narrow(const CString& text) {
  std::string out;
  for (WCHAR c : std::u16string_view(text.GetString(), text.GetLength())) out += c < 0x80 ? char(c) : '?';
  return out;
}

}  // namespace

TEST(Startup, SwitchLocationIsTheRestOfTheFirstMArgument) {
  struct Case {
    const char* what;
    std::vector<const char*> args;
    bool on;
    const char* location;
  };
  const Case cases[] = {
      {"no arguments", {"OrbelMain"}, false, ""},
      {"ends exactly in -M:", {"OrbelMain", "-M:"}, false, ""},
      {"one character", {"OrbelMain", "-M:x"}, true, "x"},
      {"a path with blanks arrives whole, without quotes", {"OrbelMain", "-M:/media/disc one/orbel.ini"}, true,
       "/media/disc one/orbel.ini"},
      {"blanks kept as they stand", {"OrbelMain", "-M: a "}, true, " a "},
      {"later arguments are not part of it", {"OrbelMain", "-M:/p.ini", "-M:/q.ini", "x"}, true, "/p.ini"},
      {"after other arguments", {"OrbelMain", "--x", "-M:/p.ini"}, true, "/p.ini"},
      {"the switch is case-sensitive", {"OrbelMain", "-m:/p.ini"}, false, ""},
      {"-M: inside an argument is no switch", {"OrbelMain", "x-M:/p.ini"}, false, ""},
      {"the program's own name is no switch", {"-M:/p.ini"}, false, ""},
  };
  for (const Case& c : cases) {
    CString location = u"stale";
    EXPECT_EQ(ReadSwitchLocation(int(c.args.size()), c.args.data(), location), c.on ? TRUE : FALSE) << c.what;
    EXPECT_EQ(Narrow(location), c.location) << c.what;
  }
}

TEST(Startup, LogFileIsNamedAfterTheDayInTheLogFolder) {
  SYSTEMTIME day {};
  day.wYear = 2008;
  day.wMonth = 2;
  day.wDay = 5;
  struct Case {
    const char* what;
    int save;
    const char16_t* folder;
    bool made;
    const char* name;
  };
  const Case cases[] = {
      {"no log kept", 0, u"/var/log/mail", false, ""},
      {"separator added", 1, u"/var/log/mail", true, "/var/log/mail/20080205.log"},
      {"separator kept", 1, u"/var/log/mail/", true, "/var/log/mail/20080205.log"},
      {"empty folder", 1, u"", true, "/20080205.log"},
  };
  for (const Case& c : cases) {
    EmailSetting email;
    email.nSaveLogFile = c.save;
    email.strLogPath = c.folder;
    CString name = u"stale";
    EXPECT_EQ(MakeLogFileName(email, day, name), c.made ? TRUE : FALSE) << c.what;
    EXPECT_EQ(Narrow(name), c.name) << c.what;
  }
}

TEST(Startup, MainTitleNamesTheDocumentOnScreen) {
  auto parts = [](const char16_t* batch, const char16_t* document) {
    CMainTitleParts p;
    p.strIdle = u"Seek";
    p.strActive = u"Seek - <%batch%> - <%document%>";
    p.strBatch = batch;
    p.strDocument = document;
    p.nPageCount = 3;
    p.nImageCount = 2;
    return p;
  };
  struct Case {
    const char* what;
    CMainTitleParts parts;
    const char* title;
  };
  CMainTitleParts counted = parts(u"Invoices", u"00000001");
  counted.bDisplayPageCount = TRUE;
  CMainTitleParts switched = counted;
  switched.bSwitch = TRUE;
  CMainTitleParts switchOnly = parts(u"Invoices", u"00000001");
  switchOnly.bSwitch = TRUE;
  CMainTitleParts emptyActive = parts(u"Invoices", u"00000001");
  emptyActive.strActive.Empty();
  const Case cases[] = {
      {"no document", parts(u"", u""), "Seek"},
      {"batch without number", parts(u"Invoices", u""), "Seek"},
      {"document shown", parts(u"Invoices", u"00000001"), "Seek - Invoices - 00000001"},
      {"with page count", counted, "Seek - Invoices - 00000001 (3 Pages,2 Images)"},
      {"page count under -M:", switched, "Seek - Invoices - 00000001 ( - Pages,2 Images)"},
      {"-M: alone adds no counts", switchOnly, "Seek - Invoices - 00000001"},
      {"placeholders in a batch name stay", parts(u"A<%document%>", u"7"), "Seek - A<%document%> - 7"},
      {"no active text", emptyActive, "Seek"},
  };
  for (const Case& c : cases) EXPECT_EQ(Narrow(ComposeMainTitle(c.parts)), c.title) << c.what;
}

TEST(Startup, MainWindowOpensWhereItWasLeftAsFarAsTheScreenShowsIt) {
  struct Case {
    const char* what;
    int maximized, left, top, width, height;
    int screenWidth, screenHeight;
    bool expectMaximized;
    CRect expected;
  };
  const Case cases[] = {
      {"width 0 opens maximised", 0, 10, 10, 0, 500, 1280, 1024, true, CRect()},
      {"height 0 opens maximised", 0, 10, 10, 500, 0, 1280, 1024, true, CRect()},
      {"left maximised", 1, 10, 10, 800, 600, 1280, 1024, true, CRect()},
      {"inside the screen", 0, 10, 20, 800, 600, 1280, 1024, false, CRect(10, 20, 810, 620)},
      {"clipped to the screen", 0, 1000, 900, 800, 600, 1280, 1024, false, CRect(1000, 900, 1280, 1024)},
      {"partly left of the screen", 0, -100, -50, 800, 600, 1280, 1024, false, CRect(0, 0, 700, 550)},
      {"entirely off the screen", 0, 2000, 10, 800, 600, 1280, 1024, false, CRect()},
      {"screen size unknown", 0, 2000, 10, 800, 600, 0, 0, false, CRect(2000, 10, 2800, 610)},
  };
  for (const Case& c : cases) {
    ScreenLayout layout;
    layout.nIsMaximized = c.maximized;
    layout.nWindowLeft = c.left;
    layout.nWindowTop = c.top;
    layout.nWindowWidth = c.width;
    layout.nWindowHeight = c.height;
    const CMainPlacement placement = PlaceMainWindow(layout, c.screenWidth, c.screenHeight);
    EXPECT_EQ(placement.bMaximized, c.expectMaximized ? TRUE : FALSE) << c.what;
    EXPECT_TRUE(::EqualRect(&placement.rcNormal, &c.expected) ||
                (placement.rcNormal.IsRectEmpty() && c.expected.IsRectEmpty()))
        << c.what << ": " << placement.rcNormal.left << "," << placement.rcNormal.top << ","
        << placement.rcNormal.right << "," << placement.rcNormal.bottom;
  }
}
