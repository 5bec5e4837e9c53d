#include "platform/core/CFile.h"
#include "platform/core/fileapi.h"
#include "platform/core/paths.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

namespace {

std::string Hex(const std::string& bytes) {
  std::ostringstream out;
  for (unsigned char c : bytes) out << std::hex << std::setw(2) << std::setfill('0') << int(c) << ' ';
  return out.str();
}

}  // namespace

TEST(Paths, WidePathsBecomeUtf8WithSlashes) {
  struct Case {
    const char16_t* wide;
    const char* native;
  };
  const Case cases[] = {
      {u"C\\dir\\file.txt", "C/dir/file.txt"},
      {u"DOC_CD\\Database/index.dat", "DOC_CD/Database/index.dat"},
      {u"/tmp/\u00e4rger", "/tmp/\xc3\xa4rger"},
      {u"\U0001F600.png", "\xf0\x9f\x98\x80.png"},
      {u"caf\xDCE9.txt", "caf\xe9.txt"},  // an escaped byte goes back to the byte
      {u"bad\xD800x", "bad\xef\xbf\xbdx"},  // a lone surrogate of any other kind has no byte form
      {u"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(PathToNative(c.wide)), Hex(c.native)) << CString(c.wide);
  EXPECT_EQ(PathToNative(nullptr), "");
}

TEST(Paths, EveryNativeNameRoundTrips) {
  struct Case {
    const char* what;
    std::string native;
    bool escaped;  // holds bytes that are not UTF-8
  };
  const Case cases[] = {
      {"ASCII", "plain name.txt", false},
      {"UTF-8 umlaut", "\xc3\xa4rger", false},
      {"UTF-8 emoji", "\xf0\x9f\x98\x80", false},
      {"a real U+FFFD", "\xef\xbf\xbd", false},
      {"Latin-1 byte", "caf\xe9", true},
      {"lone continuation byte", "a\x80z", true},
      {"truncated sequence at the end", "ab\xc3", true},
      {"overlong slash", "\xc0\xaf", true},
      {"encoded surrogate", "\xed\xa0\x80", true},
      {"byte 0xFF", "\xff\xfe", true},
      {"above U+10FFFF", "\xf4\x90\x80\x80", true},
  };
  for (const Case& c : cases) {
    const CString wide = PathFromNative(c.native);
    EXPECT_EQ(Hex(PathToNative(wide)), Hex(c.native)) << c.what;
    bool hasEscape = false;
    for (WCHAR unit : wide.View()) hasEscape |= unit >= 0xDC80 && unit <= 0xDCFF;
    EXPECT_EQ(hasEscape, c.escaped) << c.what;
  }
}

TEST(Paths, NonUtf8NameOnDiskOpensByTheNameFoundInItsFolder) {
  TestFolder folder;
  folder.Write("caf\xe9.txt", "latin-1 name");
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(folder.Wide("caf*.txt"), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  EXPECT_EQ(CString(data.cFileName), CString(u"caf\xDCE9.txt"));

  CFile file;
  ASSERT_TRUE(file.Open(folder.Wide() + u"/" + data.cFileName, CFile::modeRead));
  char text[32] = {};
  EXPECT_EQ(file.Read(text, sizeof text), 12u);
  EXPECT_STREQ(text, "latin-1 name");
}

TEST(Paths, ExistingNamesAreFoundWithoutRegardToCase) {
  TestFolder folder;
  folder.MakeFolder("Docs/Sub");
  folder.Write("Docs/Report.TXT", "r");
  folder.MakeFolder("Data");
  folder.Write("Data/File.txt", "mixed");
  folder.Write("Data/FILE.TXT", "upper");
  folder.Write("Docs/\xc3\x84rger.txt", "umlaut");
  struct Case {
    const char* asked;
    const char* found;
  };
  const Case cases[] = {
      {"docs/report.txt", "Docs/Report.TXT"},
      {"DOCS/REPORT.TXT", "Docs/Report.TXT"},
      {"docs\\SUB", "Docs/Sub"},
      {"Data/File.txt", "Data/File.txt"},    // the exact name wins over its case twin
      {"Data/FILE.TXT", "Data/FILE.TXT"},
      {"data/file.TXT", "Data/FILE.TXT"},    // no exact name: the first twin in byte order
      {"docs/\xc3\xa4RGER.TXT", "Docs/\xc3\x84rger.txt"},
      {"docs/New/Child.txt", "Docs/New/Child.txt"},  // a path to create keeps its new part
      {"Missing/deeper/x", "Missing/deeper/x"},
      {"docs/report.txt/below", "Docs/Report.TXT/below"},
  };
  for (const Case& c : cases) {
    const std::string asked = folder.Native(c.asked);
    EXPECT_EQ(ResolvePath(PathFromNative(asked)), folder.Native(c.found)) << c.asked;
  }
}

TEST(Paths, TheFileFunctionsUseTheResolution) {
  TestFolder folder;
  folder.MakeFolder("Images");
  folder.Write("Images/Page1.TIF", "tiff");
  CFileStatus status;
  EXPECT_TRUE(CFile::GetStatus(folder.Wide("images/page1.tif"), status));
  EXPECT_EQ(status.m_size, 4u);
  EXPECT_NE(GetFileAttributesW(folder.Wide("IMAGES\\PAGE1.TIF")), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(CopyFileW(folder.Wide("images/page1.tif"), folder.Wide("IMAGES/copy.tif"), TRUE));
  EXPECT_EQ(folder.Read("Images/copy.tif"), "tiff");
  // Creating a folder that exists in another case finds it, as on a case-insensitive disk.
  EXPECT_FALSE(CreateDirectoryW(folder.Wide("imaGes"), nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(DeleteFileW(folder.Wide("images/PAGE1.tif")));
  EXPECT_FALSE(folder.Exists("Images/Page1.TIF"));
}
