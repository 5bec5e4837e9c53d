#include "tools/drsbuild/LanguageCatalog.h"

#include "tools/drsbuild/SourceError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using drsbuild::ItemType;
using drsbuild::LanguageCatalog;
using drsbuild::SourceError;

namespace {

// A temporary res/ folder with a 2 x 1 BMP, a data file and an empty file.
class LanguageSources : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/drsbuild-catalog-XXXXXX";
    m_root = mkdtemp(pattern);
    std::filesystem::create_directories(m_root / "images");
    const unsigned char bmp[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,
                                 0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 1,   2,   3,  4, 5, 6, 0, 0};
    Write("images/a b.bmp", std::string(reinterpret_cast<const char*>(bmp), sizeof bmp));
    Write("hotkeys.dps", "[Hotkeys]\r\nCMD_X = CTRL,VK_1\r\n");
    Write("empty.dat", "");
  }
  void TearDown() override { std::filesystem::remove_all(m_root); }

  std::filesystem::path Write(const std::string& name, const std::string& content) {
    const std::filesystem::path path = m_root / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  std::filesystem::path m_root;
};

std::string Utf8Of(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace

TEST_F(LanguageSources, ReadsEveryKindOfItem) {
  const auto en = Write("en.lang",
                        "\xEF\xBB\xBF# kernel texts\n"
                        "[language]\n"
                        "name = en-us\n"
                        "description = English\n"
                        "fallback = yes\n"
                        "\n"
                        "[texts]\n"
                        "MSG_PLAIN =   two words  \n"
                        "MSG_QUOTED = \"  kept blanks \"\n"
                        "MSG_ESCAPES = a\\nb\\tc\\\\d\\\"e\\u00e4\n"
                        "MSG_EMPTY =\n"
                        "; a comment\n"
                        "MSG_EQUALS = a = b\n"
                        "MSG_UMLAUT = \xC3\xA4\xF0\x9F\x98\x80\r\n"
                        "[bitmaps]\n"
                        "BMP_A = \"images/a b.bmp\"\n"
                        "[buttons]\n"
                        "BTN_SET = 1 -2 3 4 : \"images/a b.bmp\" - \"images/a b.bmp\"\n"
                        "BTN_BLANK = 0 0 16 24 :\n"
                        "[data]\n"
                        "HOTKEYS = hotkeys.dps\n");
  LanguageCatalog catalog;
  catalog.AddSource(en);
  ASSERT_EQ(catalog.Languages().size(), 1u);
  const drsbuild::Language& language = catalog.Languages()[0];
  EXPECT_EQ(language.name, u"en-us");
  EXPECT_EQ(language.description, u"English");
  EXPECT_TRUE(language.fallback);

  struct Expected {
    ItemType type;
    std::u16string key;
    std::u16string text;
  };
  const Expected expected[] = {
      {ItemType::Text, u"MSG_PLAIN", u"two words"},
      {ItemType::Text, u"MSG_QUOTED", u"  kept blanks "},
      {ItemType::Text, u"MSG_ESCAPES", u"a\nb\tc\\d\"e\u00e4"},
      {ItemType::Text, u"MSG_EMPTY", u""},
      {ItemType::Text, u"MSG_EQUALS", u"a = b"},
      {ItemType::Text, u"MSG_UMLAUT", u"\u00e4\U0001F600"},
      {ItemType::Bitmap, u"BMP_A", u""},
      {ItemType::Button, u"BTN_SET", u""},
      {ItemType::Button, u"BTN_BLANK", u""},
      {ItemType::Data, u"HOTKEYS", u""},
  };
  ASSERT_EQ(language.items.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(language.items[i].type, expected[i].type) << i;
    EXPECT_EQ(language.items[i].key, expected[i].key) << i;
    EXPECT_EQ(language.items[i].text, expected[i].text) << Utf8Of(expected[i].key);
  }
  EXPECT_EQ(language.items[6].images.size(), 1u);
  const drsbuild::Item& button = language.items[7];
  EXPECT_EQ(button.numbers, (std::array<std::int32_t, 4> {1, -2, 3, 4}));
  ASSERT_EQ(button.images.size(), 6u);
  EXPECT_FALSE(button.images[0].empty());
  EXPECT_TRUE(button.images[1].empty());
  EXPECT_FALSE(button.images[2].empty());
  EXPECT_TRUE(button.images[3].empty());
  const drsbuild::Item& blank = language.items[8];
  EXPECT_EQ(blank.numbers[2], 16);
  EXPECT_EQ(blank.numbers[3], 24);
  for (const auto& image : blank.images) EXPECT_TRUE(image.empty());
  const std::string hotkeys = "[Hotkeys]\r\nCMD_X = CTRL,VK_1\r\n";
  EXPECT_EQ(language.items[9].data, std::vector<std::uint8_t>(hotkeys.begin(), hotkeys.end()));
  EXPECT_EQ(language.items[9].place, en.string() + ":21");

  const auto& inputs = catalog.Inputs();
  EXPECT_NE(std::find(inputs.begin(), inputs.end(), m_root / "hotkeys.dps"), inputs.end()) << "data files are inputs";
  EXPECT_NE(std::find(inputs.begin(), inputs.end(), m_root / "images/a b.bmp"), inputs.end()) << "images are inputs";
}

// Sources of one language merge; languages keep the order of their first source.
TEST_F(LanguageSources, MergesSourcesOfOneLanguage) {
  LanguageCatalog catalog;
  catalog.AddSource(Write("de1.lang", "[language]\nname = de-de\ndescription = Deutsch\n[texts]\nA = 1\n"));
  catalog.AddSource(Write("en.lang", "[language]\nname = en-us\nfallback = yes\n[texts]\nA = one\n"));
  catalog.AddSource(Write("de2.lang", "[language]\nname = DE-DE\n[texts]\nB = 2\n"));
  ASSERT_EQ(catalog.Languages().size(), 2u);
  EXPECT_EQ(catalog.Languages()[0].name, u"de-de");
  EXPECT_EQ(catalog.Languages()[0].description, u"Deutsch");
  EXPECT_FALSE(catalog.Languages()[0].fallback);
  ASSERT_EQ(catalog.Languages()[0].items.size(), 2u);
  EXPECT_EQ(catalog.Languages()[0].items[1].key, u"B");
  EXPECT_TRUE(catalog.Languages()[1].fallback);
}

// Each mistake is refused with a message that names the file and line and says what is wrong.
TEST_F(LanguageSources, RefusesMistakesWithTheirPlace) {
  const std::string head = "[language]\nname = en-us\n";  // lines 1 and 2
  struct Case {
    const char* what;
    std::string source;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"line before any section", "MSG_A = x\n" + head, 1, "before the first section"},
      {"unknown section", head + "[strings]\n", 3, "unknown section"},
      {"no equals sign", head + "[texts]\nMSG_A\n", 4, "expected KEY = value"},
      {"empty key", head + "[texts]\n = x\n", 4, "key before = is empty"},
      {"invalid UTF-8", head + "[texts]\nA = \xC3\x28\n", 4, "not valid UTF-8"},
      {"overlong UTF-8", head + "[texts]\nA = \xC0\xAF\n", 4, "not valid UTF-8"},
      {"encoded surrogate", head + "[texts]\nA = \xED\xA0\x80\n", 4, "not valid UTF-8"},
      {"unknown escape", head + "[texts]\nA = C:\\data\n", 4, "unknown escape \\d"},
      {"lone backslash", head + "[texts]\nA = end\\\n", 4, "lone backslash"},
      {"short \\u", head + "[texts]\nA = \\u12\n", 4, "four hex digits"},
      {"\\u0000", head + "[texts]\nA = \\u0000\n", 4, "four hex digits"},
      {"unclosed quote", head + "[texts]\nA = \"open\n", 4, "must end with a double quote"},
      {"duplicate key ignoring case", head + "[texts]\nMSG_A = 1\nmsg_a = 2\n", 5, "already defined at"},
      {"missing image", head + "[bitmaps]\nBMP_X = images/none.bmp\n", 4, "cannot be read"},
      {"two images for a bitmap", head + "[bitmaps]\nBMP_X = \"images/a b.bmp\" \"images/a b.bmp\"\n", 4, "one image file"},
      {"bad matte", head + "[bitmaps]\nBMP_X = \"images/a b.bmp\" matte=red\n", 4, "matte=#rrggbb"},
      {"three button numbers", head + "[buttons]\nB = 1 2 3 : \"images/a b.bmp\"\n", 4, "four numbers"},
      {"no colon", head + "[buttons]\nB = 1 2 3 4\n", 4, "n1 n2 n3 n4 : images"},
      {"not a number", head + "[buttons]\nB = 1 2 x 4 : \"images/a b.bmp\"\n", 4, "not a 32-bit whole number"},
      {"number out of range", head + "[buttons]\nB = 1 2 4294967296 4 : \"images/a b.bmp\"\n", 4, "not a 32-bit"},
      {"seven images", head + "[buttons]\nB = 0 0 0 0 : - - - - - - -\n", 4, "at most six"},
      {"first image left out", head + "[buttons]\nB = 0 0 0 0 : - \"images/a b.bmp\"\n", 4, "first image"},
      {"blank of width 0", head + "[buttons]\nB = 0 0 0 5 :\n", 4, "blank image"},
      {"blank of absurd size", head + "[buttons]\nB = 0 0 2147483647 2147483647 :\n", 4, "blank image"},
      {"empty data file", head + "[data]\nD = empty.dat\n", 4, "empty data item reads as missing"},
      {"folder as data file", head + "[data]\nD = images\n", 4, "is not a file"},
      {"folder as image", head + "[bitmaps]\nBMP_X = images\n", 4, "is not a file"},
      {"unknown language field", head + "[language]\nlocale = x\n", 4, "unknown language field"},
      {"bad fallback", head + "[language]\nfallback = maybe\n", 4, "neither yes nor no"},
  };
  for (const Case& c : cases) {
    const auto file = Write("bad.lang", c.source);
    try {
      LanguageCatalog catalog;
      catalog.AddSource(file);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const SourceError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(c.message), std::string::npos) << c.what << ": " << message;
      const std::string place = file.string() + ":" + std::to_string(c.line) + ":";
      EXPECT_EQ(message.rfind(place, 0), 0u) << c.what << ": " << message;
    }
  }
}

TEST_F(LanguageSources, RefusesAMissingOrConflictingLanguageHeader) {
  LanguageCatalog catalog;
  EXPECT_THROW(catalog.AddSource(Write("x.lang", "[texts]\nA = 1\n")), SourceError) << "no name";
  EXPECT_THROW(catalog.AddSource(Write("x.lang", "[language]\nname =\n")), SourceError) << "empty name";
  catalog.AddSource(Write("en1.lang", "[language]\nname = en-us\ndescription = English\nfallback = yes\n"));
  EXPECT_THROW(catalog.AddSource(Write("en2.lang", "[language]\nname = en-us\ndescription = Englisch\n")), SourceError);
  EXPECT_THROW(catalog.AddSource(Write("en3.lang", "[language]\nname = en-us\nfallback = no\n")), SourceError);
  EXPECT_THROW(catalog.AddSource(m_root / "missing.lang"), SourceError);
}

TEST_F(LanguageSources, CompletenessNamesTheMissingKey) {
  LanguageCatalog catalog;
  catalog.AddSource(Write("en.lang", "[language]\nname = en-us\n[texts]\nA = 1\nB = 2\n[data]\nB = hotkeys.dps\n"));
  catalog.AddSource(Write("de.lang", "[language]\nname = de-de\n[texts]\nb = 2\na = 1\n"));
  try {
    catalog.RequireSameKeys();
    ADD_FAILURE() << "incomplete German accepted";
  } catch (const SourceError& e) {
    EXPECT_NE(std::string(e.what()).find("data B of en-us is missing in de-de"), std::string::npos) << e.what();
  }
  catalog.AddSource(Write("de2.lang", "[language]\nname = de-de\n[data]\nB = hotkeys.dps\n[texts]\nC = 3\n"));
  try {
    catalog.RequireSameKeys();
    ADD_FAILURE() << "a key only German has accepted";
  } catch (const SourceError& e) {
    EXPECT_NE(std::string(e.what()).find("text C of de-de is missing in en-us"), std::string::npos) << e.what();
  }
}
