#include "foundation/language/CDPXDRSReader.h"

#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/language/tests/LanguageTestFiles.h"
#include "platform/core/globalmem.h"
#include "platform/gdi/CBitmap.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

using namespace languagetest;

namespace {

// Data offsets of the records in the file below (file offset = 32 + data offset).
enum : std::uint32_t {
  kEnglish = 4,
  kEnglishText = 36,
  kUnknownKind = 62,
  kEnglishData = 84,
  kGerman = 111,
  kGermanText = 143,
  kEnd = 169,
};

// A language file written field by field, without the builder, so that builder and reader
// cannot share a mistake about the format:
//   en-us (fallback): text "Key" = "v1", an item of kind 7, data "DATA" = "abc"
//   de-de:            text "KEY" = "v2"
Bytes HandWrittenFile() {
  Bytes file = TypedFileHeader(true);
  Bytes body;
  RecordWriter w(body);
  w.DWord(kEnglish);
  EXPECT_EQ(body.size(), kEnglish);
  w.DWord(kGerman).Counted(u"en-us").Counted(u"E").DWord(1).DWord(kEnglishText);
  EXPECT_EQ(body.size(), kEnglishText);
  w.DWord(kUnknownKind).Counted(u"Key").DWord(2).Counted(u"v1");
  EXPECT_EQ(body.size(), kUnknownKind);
  w.DWord(kEnglishData).Counted(u"odd").DWord(7).Raw("junk");
  EXPECT_EQ(body.size(), kEnglishData);
  w.DWord(0).Counted(u"DATA").DWord(4).DWord(3).Raw("abc");
  EXPECT_EQ(body.size(), kGerman);
  w.DWord(0).Counted(u"de-de").Counted(u"D").DWord(0).DWord(kGermanText);
  EXPECT_EQ(body.size(), kGermanText);
  w.DWord(0).Counted(u"KEY").DWord(2).Counted(u"v2");
  EXPECT_EQ(body.size(), kEnd);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

std::string Text(CDPXDRSReader& reader, LPCWSTR key) {
  CString text(u"unchanged");
  if (!reader.LoadText(key, text, FALSE)) return "<missing:" + text.ToUtf8() + ">";
  return text.ToUtf8();
}

std::string DataOf(CDPXDRSReader& reader, LPCWSTR key) {
  HGLOBAL block = nullptr;
  if (!reader.ReadData(key, block)) return block ? "<block left>" : "<missing>";
  std::string data(static_cast<const char*>(GlobalLock(block)), GlobalSize(block));
  GlobalUnlock(block);
  GlobalFree(block);
  return data;
}

class LanguageFile : public ::testing::Test {
protected:
  std::filesystem::path Write(const Bytes& bytes, const std::string& name = "test.drs") {
    const auto path = m_folder / name;
    WriteBytes(path, bytes);
    return path;
  }
  TempFolder m_folder;
};

}  // namespace

TEST_F(LanguageFile, ReadsAFileWrittenByHand) {
  CDPXDRSReader reader;
  ASSERT_TRUE(reader.Open(Wide(Write(HandWrittenFile()))));
  ASSERT_EQ(reader.GetLanguageCount(), 2);
  CString name, description;
  int fallback = -1;
  ASSERT_TRUE(reader.GetLanguage(1, name, description, fallback));
  EXPECT_EQ(name, u"de-de");
  EXPECT_EQ(description, u"D");
  EXPECT_EQ(fallback, 0);
  EXPECT_FALSE(reader.GetLanguage(2, name, description, fallback));

  EXPECT_EQ(Text(reader, u"Key"), "<missing:>") << "no language is loaded before a switch";

  ASSERT_TRUE(reader.SetCurrentLanguage(u"DE-DE"));
  ASSERT_TRUE(reader.GetCurrentLanguage(name));
  EXPECT_EQ(name, u"de-de") << "the file's own spelling";
  int index = -1;
  EXPECT_TRUE(reader.FindLanguage(index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(Text(reader, u"key"), "v2");
  EXPECT_EQ(DataOf(reader, u"data"), "abc") << "from the fallback language";

  ASSERT_TRUE(reader.SetCurrentLanguage(u"en-us"));
  EXPECT_EQ(Text(reader, u"KEY"), "v1");
  EXPECT_EQ(Text(reader, u"odd"), "<missing:>") << "an item of unknown kind is skipped";
  EXPECT_EQ(DataOf(reader, u"DATA"), "abc") << "items after the unknown one are read";
  EXPECT_EQ(DataOf(reader, u"Key"), "<missing>") << "kinds are kept apart";
}

// Every damage is met with FALSE where it is found, never with a crash or an endless loop.
TEST_F(LanguageFile, DamagedFilesFailWhereTheDamageIs) {
  enum Stage { open, switchTo, readData };
  struct Case {
    std::string what;
    std::size_t at;          // file offset of a DWORD to overwrite (npos: none)
    std::uint32_t value;
    std::size_t cutTo;       // file size after cutting (npos: whole)
    Stage failsAt;
    const char* language;    // switched to before the stage that fails
  };
  const std::size_t none = std::string::npos;
  const std::size_t h = 32;  // header size
  const Case cases[] = {
      {"base signature", none, 0, none, open, nullptr},
      {"first language offset 0", h + 0, 0, none, open, nullptr},
      {"first language beyond the file", h + 0, 5000, none, open, nullptr},
      {"language chain to itself", h + kEnglish, kEnglish, none, open, nullptr},
      {"language chain back to the first", h + kGerman, kEnglish, none, open, nullptr},
      {"name count beyond the file", h + kEnglish + 4, 0xFFFFFFF0u, none, open, nullptr},
      {"name count just past the end", h + kGerman + 4, kEnd - kGerman - 8 + 2, none, open, nullptr},
      {"cut inside a language name", none, 0, h + kGerman + 12, open, nullptr},
      {"header cut short", none, 0, 20, open, nullptr},
      {"item chain to itself", h + kEnglishData, kEnglishData, none, switchTo, "en-us"},
      {"item chain back to the first item", h + kEnglishData, kEnglishText, none, switchTo, "en-us"},
      {"empty key", h + kEnglishText + 4, 0, none, switchTo, "en-us"},
      {"text count beyond the file", h + kEnglishText + 18, 0x7FFFFFFFu, none, switchTo, "en-us"},
      {"cut inside a text", none, 0, h + kEnd - 2, switchTo, "de-de"},
      {"item chain beyond the file", h + kGermanText, 4000, none, switchTo, "de-de"},
      {"data count beyond the file", h + kEnglishData + 20, 0x10000000u, none, readData, "en-us"},
      {"data count of 4 GiB", h + kEnglishData + 20, 0xFFFFFFFFu, none, readData, "en-us"},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = HandWrittenFile();
    if (c.what == "base signature") std::memset(&bytes[16], 0, 16);
    else if (c.at != none) PutDWord(bytes, c.at, c.value);
    if (c.cutTo != none) bytes.resize(c.cutTo);

    CDPXDRSReader reader;
    const BOOL opened = reader.Open(Wide(Write(bytes)));
    if (c.failsAt == open) {
      EXPECT_FALSE(opened);
      EXPECT_EQ(reader.GetLanguageCount(), 0) << "a failed open keeps no languages";
      continue;
    }
    ASSERT_TRUE(opened);
    const BOOL switched = reader.SetCurrentLanguage(CString::FromUtf8(c.language));
    if (c.failsAt == switchTo) {
      EXPECT_FALSE(switched);
      EXPECT_EQ(Text(reader, u"KEY"), c.language == std::string("de-de") ? "v1" : "<missing:>")
          << "a damaged language answers nothing; an intact fallback still does";
      continue;
    }
    ASSERT_TRUE(switched);
    EXPECT_EQ(DataOf(reader, u"DATA"), "<missing>");
    const auto target = m_folder / "out.dat";
    WriteBytes(target, {'o', 'l', 'd'});
    EXPECT_FALSE(reader.LoadData(u"DATA", Wide(target)));
    EXPECT_FALSE(std::filesystem::exists(target)) << "a failed data item leaves no target file";
  }
}

// The file the builder made from tests/res/fixture.*.lang: en-us and fr-fr are fallback languages,
// de-de is not.
class BuiltLanguageFile : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(m_reader.Open(Wide(FixturePath()))); }
  static std::filesystem::path FixturePath() { return TestDir() / "language" / "Fixture.drs"; }
  CDPXDRSReader m_reader;
};

TEST_F(BuiltLanguageFile, TextsFollowTheLanguageAndItsFallbacks) {
  ASSERT_EQ(m_reader.GetLanguageCount(), 3);
  struct Case {
    const char* language;
    const char16_t* key;
    const char* expected;
  };
  const Case cases[] = {
      {"de-de", u"MSG_HELLO", "Hallo"},
      {"de-de", u"msg_lower", "klein geschrieben"},
      {"de-de", u"MSG_ONLY_ENGLISH", "English only"},
      {"de-de", u"MSG_BOTH_FALLBACKS", "from English"},
      {"de-de", u"MSG_ONLY_FRENCH", "seulement en fran\xC3\xA7" "ais"},
      {"de-de", u"TXT_LINES", "first line\nsecond line"},
      {"de-de", u"MSG_EMPTY", ""},
      {"de-de", u"MSG_NOWHERE", "<missing:>"},
      {"en-us", u"MSG_LOWER", "stored in lower case"},
      {"en-us", u"Msg_Hello", "Hello"},
      {"fr-fr", u"MSG_HELLO", "Bonjour"},
      {"fr-fr", u"MSG_BOTH_FALLBACKS", "du fran\xC3\xA7" "ais"},
      {"it-it", u"MSG_HELLO", "Hello"},
      {"it-it", u"MSG_ONLY_FRENCH", "seulement en fran\xC3\xA7" "ais"},
      {" de-de\t", u" msg_hello ", "Hallo"},
      {"\tFR-FR ", u"\tMSG_HELLO", "Bonjour"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(m_reader.SetCurrentLanguage(CString::FromUtf8(c.language))) << c.language;
    EXPECT_EQ(Text(m_reader, c.key), c.expected) << c.language << " " << CString(c.key);
  }
  CString name;
  ASSERT_TRUE(m_reader.SetCurrentLanguage(u" De-DE "));
  EXPECT_TRUE(m_reader.GetCurrentLanguage(name)) << "a name with blanks around it is still the language";
  EXPECT_EQ(name, u"de-de") << "in the file's own spelling";

  name = u"old";
  ASSERT_TRUE(m_reader.SetCurrentLanguage(u"it-it"));
  EXPECT_FALSE(m_reader.GetCurrentLanguage(name)) << "a language the file lacks is no current language";
  EXPECT_TRUE(name.IsEmpty());
  int index = -1;
  EXPECT_FALSE(m_reader.FindLanguage(index));
}

TEST_F(BuiltLanguageFile, KeyFallbackGivesTheTrimmedKey) {
  ASSERT_TRUE(m_reader.SetCurrentLanguage(u"en-us"));
  CString text;
  EXPECT_TRUE(m_reader.LoadText(u"  MSG_MISSING \t", text, TRUE));
  EXPECT_EQ(text, u"MSG_MISSING");
  EXPECT_TRUE(m_reader.LoadText(u"msg_hello", text, TRUE));
  EXPECT_EQ(text, u"Hello");
  EXPECT_FALSE(m_reader.LoadText(nullptr, text, FALSE));
}

TEST_F(BuiltLanguageFile, DataItemsAreWrittenToFiles) {
  TempFolder folder;
  const auto target = folder / "hotkeys.dps";
  ASSERT_TRUE(m_reader.SetCurrentLanguage(u"de-de"));
  ASSERT_TRUE(m_reader.LoadData(u"hotkeys", Wide(target)));
  EXPECT_EQ(ReadBytes(target), ReadBytes(std::filesystem::path(QV_SOURCE_DIR) / "foundation/language/tests/res/hotkeys-de.dps"));
  ASSERT_TRUE(m_reader.SetCurrentLanguage(u"en-us"));
  ASSERT_TRUE(m_reader.LoadData(u"HOTKEYS", Wide(target)));
  EXPECT_EQ(ReadBytes(target), ReadBytes(std::filesystem::path(QV_SOURCE_DIR) / "foundation/language/tests/res/hotkeys.dps"));
  EXPECT_FALSE(m_reader.LoadData(u"MSG_HELLO", Wide(target))) << "a text is no data item";
  EXPECT_FALSE(std::filesystem::exists(target));
}

// An item whose kind the reader does not know is passed over; the items after it still load.
TEST_F(BuiltLanguageFile, UnknownKindBetweenKnownOnes) {
  Bytes bytes = ReadBytes(FixturePath());
  const std::size_t key = FindKey(bytes, u"MSG_UNKNOWN_KIND");
  ASSERT_NE(key, std::string::npos);
  PutDWord(bytes, key + 2 * std::u16string_view(u"MSG_UNKNOWN_KIND").size(), 7);
  TempFolder folder;
  WriteBytes(folder / "unknown.drs", bytes);
  CDPXDRSReader reader;
  ASSERT_TRUE(reader.Open(Wide(folder / "unknown.drs")));
  ASSERT_TRUE(reader.SetCurrentLanguage(u"en-us"));
  EXPECT_EQ(Text(reader, u"MSG_UNKNOWN_KIND"), "<missing:>");
  EXPECT_EQ(Text(reader, u"MSG_AFTER_UNKNOWN"), "still found");
  EXPECT_EQ(Text(reader, u"MSG_HELLO"), "Hello");
  EXPECT_EQ(DataOf(reader, u"HOTKEYS").substr(0, 9), "[Hotkeys]");
}

TEST(LanguageFileClasses, RecordsNameTheirBases) {
  CDPXDRSReader reader;
  EXPECT_TRUE(reader.IsKindOf(RUNTIME_CLASS(CDPXTypedFile)));
  for (CRuntimeClass* item : {RUNTIME_CLASS(__CDPXDRSBitmapItem), RUNTIME_CLASS(__CDPXDRSTextItem),
                              RUNTIME_CLASS(__CDPXDRSButtonItem), RUNTIME_CLASS(__CDPXDRSDataItem)}) {
    CObject* made = item->CreateObject();
    ASSERT_NE(made, nullptr) << item->m_lpszClassName;
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(__CDPXDRSItem)));
    delete made;
  }
}

namespace {

// One pixel of a 24-bit image as blue, green, red (y counts from the top).
std::array<int, 3> Pixel(CDPXDIBHandle& image, int x, int y) {
  const LPBYTE row = image.GetBits() + static_cast<std::size_t>(image.GetBytesPerLine()) * (image.GetHeight() - 1 - y);
  return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
}

struct ButtonImages {
  CDPXDIBHandle images[6];
  int numbers[4] = {-100, -100, -100, -100};
  BOOL Load(CDPXDRSReader& reader, LPCWSTR key) {
    return reader.LoadButtonImages(key, images[0], images[1], images[2], images[3], images[4], images[5], numbers[0],
                                   numbers[1], numbers[2], numbers[3]);
  }
  // The widths of the six images, 0 for an empty one.
  std::vector<int> Widths() const {
    std::vector<int> widths;
    for (const CDPXDIBHandle& image : images) widths.push_back(image.IsEmpty() ? 0 : image.GetWidth());
    return widths;
  }
};

// Where a button's payload starts in a file the builder made: after its key and its kind.
std::size_t ButtonPayload(const Bytes& bytes, std::u16string_view key) {
  const std::size_t at = FindKey(bytes, key);
  return at == std::string::npos ? at : at + 2 * key.size() + 4;
}

}  // namespace

TEST_F(BuiltLanguageFile, BitmapsInEveryStoredForm) {
  ASSERT_TRUE(m_reader.SetCurrentLanguage(u"en-us"));
  struct Case {
    const char16_t* key;
    int width, height, bits;
  };
  const Case cases[] = {
      {u"BMP_RED", 4, 2, 24},
      {u"bmp_mask", 9, 3, 1},
      {u"BMP_PALETTE", 3, 1, 8},
      {u"BMP_ICON", 2, 2, 24},
  };
  for (const Case& c : cases) {
    CDPXDIBHandle image;
    ASSERT_TRUE(m_reader.LoadDIB(c.key, image)) << CString(c.key);
    EXPECT_EQ(image.GetWidth(), c.width) << CString(c.key);
    EXPECT_EQ(image.GetHeight(), c.height) << CString(c.key);
    EXPECT_EQ(image.GetBitsPerPixel(), c.bits) << CString(c.key);
  }

  CDPXDIBHandle red;
  ASSERT_TRUE(m_reader.LoadDIB(u"BMP_RED", red));
  EXPECT_EQ(Pixel(red, 0, 1), (std::array<int, 3> {0, 0, 255})) << "bottom row";
  EXPECT_EQ(Pixel(red, 3, 0), (std::array<int, 3> {0, 0, 128})) << "top row";
  CDPXDIBHandle icon;
  ASSERT_TRUE(m_reader.LoadDIB(u"BMP_ICON", icon));
  EXPECT_EQ(Pixel(icon, 1, 0), (std::array<int, 3> {255, 0, 255})) << "a clear pixel shows the matte";

  ASSERT_TRUE(m_reader.SetCurrentLanguage(u"de-de"));
  ASSERT_TRUE(m_reader.LoadDIB(u"BMP_RED", red));
  EXPECT_EQ(red.GetWidth(), 2) << "German has a bitmap of its own";
  ASSERT_TRUE(m_reader.LoadDIB(u"BMP_MASK", red)) << "from the fallback language";
  EXPECT_FALSE(m_reader.LoadDIB(u"MSG_HELLO", red)) << "a text is no bitmap";
  EXPECT_TRUE(red.IsEmpty()) << "a failed load leaves the image empty";

  CBitmap bitmap;
  ASSERT_TRUE(m_reader.LoadBitmap(u"BMP_PALETTE", bitmap));
  BITMAP info {};
  ASSERT_EQ(bitmap.GetBitmap(&info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 1);
  EXPECT_FALSE(m_reader.LoadBitmap(u"BMP_NOWHERE", bitmap));
  EXPECT_EQ(bitmap.GetSafeHandle(), nullptr) << "the old bitmap is deleted first";
}

TEST_F(BuiltLanguageFile, ButtonsWithSixSomeAndNoImages) {
  ASSERT_TRUE(m_reader.SetCurrentLanguage(u"de-de"));  // buttons come from the fallback language
  ButtonImages six;
  ASSERT_TRUE(six.Load(m_reader, u"btn_six"));
  EXPECT_EQ(six.Widths(), (std::vector<int> {1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(std::vector<int>(six.numbers, six.numbers + 4), (std::vector<int> {1, 2, 3, 4}));

  ButtonImages some;
  ASSERT_TRUE(some.Load(m_reader, u"BTN_SOME"));
  EXPECT_EQ(some.Widths(), (std::vector<int> {1, 0, 3, 0, 0, 0}));
  EXPECT_EQ(std::vector<int>(some.numbers, some.numbers + 4), (std::vector<int> {5, -6, 7, 8}));

  ButtonImages blank;
  ASSERT_TRUE(blank.Load(m_reader, u"BTN_BLANK"));
  EXPECT_EQ(blank.Widths(), (std::vector<int> {16, 0, 0, 0, 0, 0}));
  EXPECT_EQ(blank.images[0].GetHeight(), 24);
  EXPECT_EQ(blank.images[0].GetBitsPerPixel(), 24);

  EXPECT_FALSE(six.Load(m_reader, u"BTN_NOWHERE"));
  EXPECT_EQ(six.Widths(), (std::vector<int> {0, 0, 0, 0, 0, 0})) << "a miss empties all six";
  EXPECT_EQ(six.numbers[0], 1) << "and leaves the numbers";
  EXPECT_FALSE(six.Load(m_reader, nullptr));
}

// Damaged buttons and bitmaps fail cleanly: nothing absurd is allocated, nothing half-read is kept.
TEST_F(BuiltLanguageFile, DamagedButtonsAndBitmapsFail) {
  const Bytes original = ReadBytes(FixturePath());
  struct Case {
    const char* what;
    const char16_t* key;
    std::size_t field;  // DWORD index within the button payload (six offsets, four numbers)
    std::uint32_t value;
  };
  const Case cases[] = {
      {"blank of width 0", u"BTN_BLANK", 8, 0},
      {"blank of negative height", u"BTN_BLANK", 9, 0xFFFFFFFBu},
      {"blank of absurd size", u"BTN_BLANK", 8, 0x7FFFFFFFu},
      {"blank just over the limit", u"BTN_BLANK", 9, CDPXDRSReader::kMaxBlankSize + 1},
      {"sixth image beyond the file", u"BTN_SIX", 5, 0x7FFFFFF0u},
      {"third image inside a language record", u"BTN_SOME", 2, 4},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    Bytes bytes = original;
    const std::size_t payload = ButtonPayload(bytes, c.key);
    ASSERT_NE(payload, std::string::npos) << c.what;
    PutDWord(bytes, payload + 4 * c.field, c.value);
    WriteBytes(folder / "damaged.drs", bytes);
    CDPXDRSReader reader;
    ASSERT_TRUE(reader.Open(Wide(folder / "damaged.drs")));
    ASSERT_TRUE(reader.SetCurrentLanguage(u"en-us"));
    ButtonImages button;
    EXPECT_FALSE(button.Load(reader, c.key)) << c.what;
    EXPECT_EQ(button.Widths(), (std::vector<int> {0, 0, 0, 0, 0, 0})) << c.what << ": images read before are freed";
  }

  Bytes bytes = original;
  const std::size_t key = FindKey(bytes, u"BMP_RED");
  PutDWord(bytes, key + 2 * 7 + 4 + 4 + 2, 0xFFFFFFF0u);  // the BMP's file size
  WriteBytes(folder / "damaged.drs", bytes);
  CDPXDRSReader reader;
  ASSERT_TRUE(reader.Open(Wide(folder / "damaged.drs")));
  ASSERT_TRUE(reader.SetCurrentLanguage(u"en-us"));
  CDPXDIBHandle image;
  EXPECT_FALSE(reader.LoadDIB(u"BMP_RED", image));
  EXPECT_TRUE(image.IsEmpty());
  EXPECT_TRUE(reader.LoadDIB(u"BMP_MASK", image)) << "the next bitmap still reads";
}
