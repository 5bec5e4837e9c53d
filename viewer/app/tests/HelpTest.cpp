// The help file: found by the language in the workstation's Help folder, in the first form that
// exists, and handed to the desktop's opener.

#include "viewer/app/CMainHelp.h"
#include "viewer/model/tests/BatchFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace fs = std::filesystem;

TEST(Help, TheFileIsFoundByLanguageInItsFirstForm) {
  TempFolder folder;
  const CString workstation = folder.Wide() + u"/";
  fs::create_directories(folder.Path() / "Help");
  WriteBytes(folder.Path() / "Help/Seek-and-Show_de_de.pdf", "%PDF");
  WriteBytes(folder.Path() / "Help/Seek-and-Show_en_us.pdf", "%PDF");
  WriteBytes(folder.Path() / "Help/Seek-and-Show_en_us.html", "<html>");
  const struct {
    const char16_t* language;
    const char* file;
  } cases[] = {
      {u"en-us", "Seek-and-Show_en_us.html"},  // the page before the PDF
      {u"de-de", "Seek-and-Show_de_de.pdf"},
      {u"fr-fr", nullptr},
  };
  for (const auto& c : cases) {
    CString path;
    EXPECT_EQ(FindHelpFile(workstation, c.language, path), c.file != nullptr) << CString(c.language).ToUtf8();
    EXPECT_EQ(path.ToUtf8(), c.file ? (folder.Path() / "Help" / c.file).string() : "");
  }
  EXPECT_EQ(HelpFileBase(workstation, u"de-de").ToUtf8(), (folder.Path() / "Help/Seek-and-Show_de_de").string());
}

TEST(Help, TheFileGoesToTheDesktopsOpenerAndAMissingOpenerIsReported) {
  TempFolder folder;
  const fs::path record = folder.Path() / "opened";
  WriteBytes(folder.Path() / "xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + record.string() + ".part'\n/bin/mv '" +
                                             record.string() + ".part' '" + record.string() + "'\n");
  fs::permissions(folder.Path() / "xdg-open", fs::perms::owner_all);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";

  setenv("PATH", folder.Path().c_str(), 1);
  EXPECT_TRUE(OpenWithDesktop(u"/help/Seek and Show_en_us.html"));
  for (int i = 0; i < 200 && !fs::exists(record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ReadBytes(record), "/help/Seek and Show_en_us.html");

  setenv("PATH", (folder.Path() / "nothing here").c_str(), 1);
  EXPECT_FALSE(OpenWithDesktop(u"/help/Seek-and-Show_en_us.html"));
  setenv("PATH", oldPath.c_str(), 1);
}
