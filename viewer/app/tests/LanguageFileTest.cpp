// The viewer's language file as built into the application folder: every command, menu and
// caption the viewer shows has its text in English and in German, and the hot keys reach the
// commands that no menu or tool bar offers.
#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/language/CDPXDRSReader.h"
#include "viewer/app/CMainCommands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const std::filesystem::path kLanguageFile = std::filesystem::path(QV_APP_DIR) / "SEEK-AND-SHOW.drs";

std::string Narrow(const CString& text) {
  std::string out;
  for (WCHAR c : std::u16string_view(text.GetString(), text.GetLength())) out += c < 0x80 ? char(c) : '?';
  return out;
}

// Every key the frame, the bars and the menus look up besides the commands' own.
std::vector<CString> FrameKeys() {
  std::vector<CString> keys {u"CAP_MAINFRAME", u"CAP_MAINFRAME_ACTIVE", u"CAP_TBR_CMD", u"CAP_TBR_VIEW",
                             u"MSG_LOW_DISPLAYCOLORMODE"};
  for (auto script : {MainMenuScript(), OutputMenuScript()})
    for (const ViewerMenuItem& item : script)
      if (item.kind == ViewerMenuItem::BeginPopup) keys.emplace_back(item.pszKey);
      else if (item.kind == ViewerMenuItem::LanguageList) keys.emplace_back(u"QVMENU_DEFAULTMENU_LANGUAGE");
  return keys;
}

class LanguageFile : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_reader.Open(CString(kLanguageFile.u16string().c_str()))) << kLanguageFile;
  }

  // The text of every key in one language; a missing key is left out.
  std::map<std::u16string, std::u16string> Texts(LPCWSTR language, const std::vector<CString>& keys) {
    std::map<std::u16string, std::u16string> texts;
    EXPECT_TRUE(m_reader.SetCurrentLanguage(language));
    for (const CString& key : keys) {
      CString text;
      if (m_reader.LoadText(key, text, FALSE) && !text.IsEmpty())
        texts[std::u16string(key.GetString())] = std::u16string(text.GetString());
    }
    return texts;
  }

  CDPXDRSReader m_reader;
};

}  // namespace

TEST_F(LanguageFile, EveryCommandHasItsLabelAndTipInBothLanguages) {
  std::vector<CString> keys;
  for (const ViewerCommand& command : ViewerCommands()) {
    keys.push_back(CString(u"TXT_") + command.pszName);
    keys.push_back(CString(u"TIP_") + command.pszName);
  }
  for (CString& key : FrameKeys()) keys.push_back(key);

  const auto english = Texts(u"en-us", keys);
  const auto german = Texts(u"de-de", keys);
  for (const CString& key : keys) {
    const std::u16string k(key.GetString());
    EXPECT_EQ(english.count(k), 1u) << Narrow(key) << " has no English text";
    EXPECT_EQ(german.count(k), 1u) << Narrow(key) << " has no German text";
    // German answers from English when it lacks a key, so a tip of its own must differ.
    if (k.rfind(u"TIP_", 0) == 0 && english.count(k) && german.count(k)) {
      EXPECT_NE(english.at(k), german.at(k)) << Narrow(key) << " is not translated";
    }
  }
  EXPECT_NE(english.at(u"CAP_MAINFRAME_ACTIVE").find(u"<%batch%>"), std::u16string::npos);
  EXPECT_NE(german.at(u"CAP_MAINFRAME_ACTIVE").find(u"<%document%>"), std::u16string::npos);
}

TEST_F(LanguageFile, HotKeysNameCommandsAndReachThoseNoMenuOffers) {
  const std::filesystem::path target = std::filesystem::temp_directory_path() / ("viewer-hotkeys-" + std::to_string(getpid()) + ".dps");
  ASSERT_TRUE(m_reader.SetCurrentLanguage(u"en-us"));
  ASSERT_TRUE(m_reader.LoadData(u"HOTKEYS", CString(target.u16string().c_str())));

  std::map<std::string, std::string> keyOf;  // command name -> its key combination
  std::map<std::string, std::string> commandOf;
  std::ifstream in(target);
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      inSection = line == "[Hotkeys]";
      continue;
    }
    ASSERT_TRUE(inSection) << line;
    const size_t eq = line.find(" = ");
    ASSERT_NE(eq, std::string::npos) << line;
    const std::string name = line.substr(0, eq);
    const std::string value = line.substr(eq + 3);
    EXPECT_NE(value.find(",VK_"), std::string::npos) << line;
    EXPECT_TRUE(keyOf.emplace(name, value).second) << name << " bound twice";
    EXPECT_TRUE(commandOf.emplace(value, name).second) << value << " bound to " << commandOf[value] << " and " << name;
  }
  std::remove(target.c_str());

  std::map<std::string, bool> known;
  for (const ViewerCommand& command : ViewerCommands()) known[Narrow(CString(command.pszName))] = true;
  for (const auto& [name, value] : keyOf) EXPECT_TRUE(known.count(name)) << name << " is no command";

  for (UINT id = ID_DOCUMENT_SCROLL_UP; id <= ID_DOCUMENT_SCROLL_DOWN; ++id)
    EXPECT_TRUE(keyOf.count(Narrow(CString(FindViewerCommandName(id))))) << id;
  for (UINT id = ID_OTHER_CTRL_1; id <= ID_OTHER_CTRL_0; ++id)
    EXPECT_TRUE(keyOf.count(Narrow(CString(FindViewerCommandName(id))))) << id;
  // The frame keeps the plain key 2 and Tab for itself.
  EXPECT_EQ(commandOf.count("NONE,VK_2"), 0u);
  EXPECT_EQ(commandOf.count("NONE,VK_TAB"), 0u);
}

TEST_F(LanguageFile, EveryToolBarButtonHasItsPictureAtBothSizes) {
  const BYTE kTransparent = 200;  // the tool bars' transparent colour is RGB(200, 200, 200)
  for (const std::string language : {"en-us", "de-de"}) {
    ASSERT_TRUE(m_reader.SetCurrentLanguage(CString(std::u16string(language.begin(), language.end()).c_str())));
    for (auto buttons : {CommandToolBarButtons(), ViewToolBarButtons()}) {
      for (UINT id : buttons) {
        if (id == 0) continue;
        for (int size : {32, 40}) {
          CString key;
          key.Format(u"TBN%d_", size);
          key += FindViewerCommandName(id);
          CDPXDIBHandle image;
          ASSERT_TRUE(m_reader.LoadDIB(key, image)) << Narrow(key) << " in " << language;
          ASSERT_EQ(image.GetWidth(), size) << Narrow(key);
          ASSERT_EQ(image.GetHeight(), size) << Narrow(key);
          ASSERT_EQ(image.GetBitsPerPixel(), 24) << Narrow(key);
          // The corners show the bar through; the picture itself covers a good part of the square.
          const LPBYTE bits = image.GetBits();
          const int stride = image.GetBytesPerLine();
          int drawn = 0;
          for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
              const BYTE* p = bits + y * stride + x * 3;
              drawn += !(p[0] == kTransparent && p[1] == kTransparent && p[2] == kTransparent);
            }
          const BYTE* corner = bits;
          EXPECT_TRUE(corner[0] == kTransparent && corner[1] == kTransparent && corner[2] == kTransparent)
              << Narrow(key) << ": its background is not the transparent colour";
          EXPECT_GT(drawn, size * size / 8) << Narrow(key) << " is almost empty";
          image.Unlock();
        }
      }
    }
  }
}
