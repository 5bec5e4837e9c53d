// The TIFF tag window: value texts of every type (signedness, inline values, counts larger than
// the bytes, long tables), the tags of each test file as the TIFF tools show them, the private
// tags of a page the TIFF layer wrote, filters, translated names and a file of several pages.

#include "framework/grids/CQVTiffInfoWnd.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "foundation/language/CQVRCM.h"
#include "framework/grids/CDPXPropertyGridItem.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string DataPath(const std::string& name) { return std::string(QV_GRIDS_TEST_DATA) + "/" + name; }

// The lines of a table of `columns` fields split at "|"; the last field keeps any bars of its own.
std::vector<std::vector<std::string>> ReadTable(const std::string& name, int columns) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(DataPath(name));
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (int i = 0; i + 1 < columns; ++i) {
      const size_t bar = line.find('|', start);
      if (bar == std::string::npos) break;
      fields.push_back(line.substr(start, bar - start));
      start = bar + 1;
    }
    fields.push_back(line.substr(start));
    rows.push_back(fields);
  }
  return rows;
}

std::vector<std::string> Split(const std::string& text, const std::string& by) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  size_t start = 0;
  for (size_t at; (at = text.find(by, start)) != std::string::npos; start = at + by.size())
    pieces.push_back(text.substr(start, at - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

// tiffdump's escapes in ASCII values.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
  }
  return out;
}

class Window : public ::testing::Test {
protected:
  void SetUp() override {
    CQVRCM::RegisterRCM(nullptr, u"FrameworkGridsTest.drs", FALSE);
    ASSERT_TRUE(parent.CreateEx(0, u"AfxWnd", u"tags", WS_POPUP | WS_VISIBLE, CRect(20, 20, 520, 620), nullptr, 0));
    ASSERT_TRUE(window.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 500, 600), &parent, 3));
  }
  void TearDown() override {
    parent.DestroyWindow();
    CQVRCM::UnregisterRCM(nullptr);
  }
  // The rows under the group as "name=value"; the group's caption and the header row first.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (CDPXPropertyGridRow* row : window.GetDisplayedRows()) {
      if (row->GetType() == CDPXPropertyGridRow::kGroup) {
        rows.push_back("group " + row->GetText().ToUtf8());
      } else if (row->GetType() == CDPXPropertyGridRow::kHeader) {
        rows.push_back("header");
      } else {
        CString name, value;
        row->GetCellText(0, name);
        row->GetCellText(1, value);
        rows.push_back(name.ToUtf8() + "=" + value.ToUtf8());
        EXPECT_TRUE(row->GetItem(0)->IsReadOnly() && row->GetItem(1)->IsReadOnly());
      }
    }
    return rows;
  }

  CWnd parent;
  CQVTiffInfoWnd window;
};

tagTiffTagInfo Tag(WORD type, DWORD count, std::vector<BYTE> bytes, std::vector<BYTE>& block) {
  tagTiffTagInfo tag;
  tag.tag = 999;
  tag.type = type;
  tag.count = count;
  tag.size = static_cast<int>(bytes.size());
  if (bytes.size() <= 4) {
    std::memcpy(tag.value, bytes.data(), bytes.size());
  } else {
    block = std::move(bytes);
    tag.data = block.data();
  }
  return tag;
}

template <class T>
std::vector<BYTE> Bytes(std::initializer_list<T> values) {
  std::vector<BYTE> bytes;
  for (T v : values) {
    BYTE b[sizeof(T)];
    std::memcpy(b, &v, sizeof v);
    bytes.insert(bytes.end(), b, b + sizeof v);
  }
  return bytes;
}

TEST(TagValues, EveryTypeIsFormattedFromItsOwnBytes) {
  struct Case {
    const char* what;
    WORD type;
    DWORD count;
    std::vector<BYTE> bytes;
    const char* text;
  } cases[] = {
    {"bytes, inline", 1, 3, {1, 2, 255}, "1, 2, 255"},
    {"signed byte", 6, 2, {0xFF, 0x80}, "-1, -128"},
    {"undefined", 7, 1, {200}, "200"},
    {"shorts, in a block", 3, 3, Bytes<uint16_t>({1, 2, 65535}), "1, 2, 65535"},
    {"signed short", 8, 1, Bytes<int16_t>({-1}), "-1"},
    {"long above 2^31", 4, 1, Bytes<uint32_t>({4294967295u}), "4294967295"},
    {"signed long", 9, 2, Bytes<int32_t>({-5, 7}), "-5, 7"},
    {"rationals", 5, 3, Bytes<uint32_t>({300, 1, 1, 3, 300, 0}), "300.000000, 0.333333, 300/0"},
    {"a rational above 2^31 over 0", 5, 1, Bytes<uint32_t>({3000000000u, 0}), "3000000000/0"},
    {"signed rationals", 10, 2, Bytes<int32_t>({-1, 2, -3, 0}), "-0.500000, -3/0"},
    {"float", 11, 1, Bytes<float>({1.5f}), "1.500000"},
    {"double", 12, 1, Bytes<double>({0.25}), "0.250000"},
    {"ASCII up to its first NUL, as UTF-8", 2, 12, {'G', 'r', 0xC3, 0xB6, 0xC3, 0x9F, 'e', 0, 'x', 'y', 'z', 0},
     "Gr\xC3\xB6\xC3\x9F" "e"},
    {"ASCII without a NUL", 2, 5, {'a', 'b', 'c', 'd', 'e'}, "abcde"},
    {"a count larger than the bytes", 3, 1000, Bytes<uint16_t>({7, 8}), "7, 8"},
    {"an IFD (no text for the type)", 13, 1, Bytes<uint32_t>({8}), ""},
  };
  for (const Case& c : cases) {
    std::vector<BYTE> block;
    const tagTiffTagInfo tag = Tag(c.type, c.count, c.bytes, block);
    CString text(u"old");
    EXPECT_TRUE(CQVTiffInfoWnd::GetTagInfoText(tag, text)) << c.what;
    EXPECT_EQ(text.ToUtf8(), c.text) << c.what;
  }

  // Long tables stop after 256 values.
  std::vector<BYTE> block;
  std::vector<BYTE> many(300 * 2);
  for (int i = 0; i < 300; ++i) many[size_t(i) * 2] = static_cast<BYTE>(i);
  CString text;
  ASSERT_TRUE(CQVTiffInfoWnd::GetTagInfoText(Tag(3, 300, many, block), text));
  EXPECT_EQ(text.Right(13).ToUtf8(), "254, 255, ...");
  EXPECT_EQ(Split(text.ToUtf8(), ", ").size(), 257u);

  // No readable bytes: no text.
  tagTiffTagInfo none;
  none.type = 3;
  none.count = 4;
  for (int size : {0, -1, 8}) {
    none.size = size;  // 8 without a block
    EXPECT_FALSE(CQVTiffInfoWnd::GetTagInfoText(none, text)) << size;
    EXPECT_TRUE(text.IsEmpty());
  }
}

TEST_F(Window, ListsEveryTagOfEachTestFileAsTheToolsShowIt) {
  // file|pages|width|length|bits|samples|rowsPerStrip|xres|yres, and file|tag|type|count|cut|values
  const auto pages = ReadTable("pages.expected", 9);
  const auto tags = ReadTable("tags.expected", 6);
  ASSERT_EQ(pages.size(), 23u);
  for (const auto& f : pages) {
    ASSERT_EQ(f.size(), 9u);
    const std::string& file = f[0];
    window.SetFilename(CString::FromUtf8(DataPath(file)));
    CString name, value;
    if (std::stoi(f[1]) > 1) {
      ASSERT_EQ(window.GetTagCount(), 1) << file;
      window.GetTag(0, name, value);
      EXPECT_EQ(name, CString(u"PageCountOfMultiPage")) << file;
      EXPECT_EQ(value.ToUtf8(), f[1]) << file;
      continue;
    }
    // Every tag tiffdump lists with a value, in its order.
    int index = 0;
    for (const auto& t : tags) {
      if (t[0] != file || t[3] == "0") continue;
      const WORD tag = static_cast<WORD>(std::stoi(t[1]));
      const int type = std::stoi(t[2]);
      const bool cut = t[4] == "1";
      const std::string what = file + " tag " + t[1];
      ASSERT_TRUE(window.GetTag(index++, name, value)) << what;
      EXPECT_EQ(name, CQVTiffFile::GetTagName(tag)) << what;
      if (type == 2) {
        const std::string expected = Unescape(t[5]);
        EXPECT_EQ(cut ? value.ToUtf8().substr(0, expected.size()) : value.ToUtf8(), expected) << what;
        continue;
      }
      const std::vector<std::string> shown = Split(value.ToUtf8(), ", ");
      const std::vector<std::string> listed = Split(t[5], " ");
      const size_t count = std::stoul(t[3]);
      EXPECT_EQ(shown.size(), count <= CQVTiffInfoWnd::kMaxShownValues ? count : CQVTiffInfoWnd::kMaxShownValues + 1)
          << what;
      ASSERT_LE(listed.size(), shown.size()) << what;
      for (size_t i = 0; i < listed.size(); ++i) {
        if (type == 5 || type == 10 || type == 11 || type == 12) {
          const double a = std::stod(shown[i]), b = std::stod(listed[i]);
          EXPECT_NEAR(a, b, 1e-5 * std::max(1.0, std::fabs(b))) << what << " value " << i;
        } else {
          EXPECT_EQ(shown[i], listed[i]) << what << " value " << i;
        }
      }
    }
    EXPECT_EQ(window.GetTagCount(), index) << file << ": no tag more than the tools list";

    // The values tiffinfo interprets, from the window's rows.
    auto tagValue = [&](LPCWSTR tagName) {
      for (int i = 0; window.GetTag(i, name, value); ++i) {
        if (name == CString(tagName)) return value.ToUtf8();
      }
      return std::string();
    };
    EXPECT_EQ(tagValue(u"ImageWidth"), f[2]) << file;
    EXPECT_EQ(tagValue(u"ImageLength"), f[3]) << file;
    EXPECT_EQ(Split(tagValue(u"BitsPerSample"), ", ").at(0), f[4]) << file;
    const std::string samples = tagValue(u"SamplesPerPixel");
    EXPECT_EQ(samples.empty() ? "1" : samples, f[5]) << file;
    if (!f[6].empty()) {
      EXPECT_EQ(tagValue(u"RowsPerStrip"), f[6] == "(infinite)" ? "4294967295" : f[6]) << file;
    }
    if (!f[7].empty()) {
      EXPECT_NEAR(std::stod(tagValue(u"XResolution")), std::stod(f[7]), 0.01) << file;
      EXPECT_NEAR(std::stod(tagValue(u"YResolution")), std::stod(f[8]), 0.01) << file;
    }
  }
}

int g_privateWrites = 0;
int WritePrivateTags(CQVTiffFile* file, void*) {
  const BYTE stamp[6] = {1, 2, 3, 250, 0, 7};
  std::vector<BYTE> big(300);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<BYTE>(i);
  ++g_privateWrites;
  return file->SetTifTagValue(33534, uint32_t(6), stamp) && file->SetTifTagValue(65500, uint32_t(big.size()), big.data());
}

TEST_F(Window, ShowsThePrivateTagsOfAPageTheLayerWrote) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("written.tif"));
  CQVBitmapHandle page;
  ASSERT_TRUE(page.Create(64, 40, 1));
  CQVTiffFile tiff;
  tiff.SetFileForOperation(CString(path.toStdU16String()));
  ASSERT_TRUE(tiff.EncodeTif(0, page, WritePrivateTags, nullptr, 0xFFFFFFFF));
  ASSERT_EQ(g_privateWrites, 1);

  window.SetFilename(CString(path.toStdU16String()));
  const std::vector<std::string> rows = Rows();
  auto has = [&](const std::string& row) { return std::find(rows.begin(), rows.end(), row) != rows.end(); };
  EXPECT_TRUE(has(CQVTiffFile::GetTagName(33534).ToUtf8() + "=1, 2, 3, 250, 0, 7"));
  std::string table;
  for (int i = 0; i < 256; ++i) table += (i ? ", " : "") + std::to_string(i);
  EXPECT_TRUE(has(CQVTiffFile::GetTagName(65500).ToUtf8() + "=" + table + ", ..."));
  EXPECT_TRUE(has("Image width=64")) << "translated through the language file";
  EXPECT_EQ(rows.at(0), "group TIFF tags");
  EXPECT_EQ(rows.at(1), "header");
}

class ExposedWindow : public CQVTiffInfoWnd {
public:
  using CQVTiffInfoWnd::AddTag;
  using CQVTiffInfoWnd::DeleteTag;
};

TEST_F(Window, FiltersChooseAndOrderTheRows) {
  window.SetFilename(CString::FromUtf8(DataPath("smallliz.tif")));
  ASSERT_EQ(window.GetTagCount(), 26);
  EXPECT_TRUE(window.AddFilter(u"Compression"));
  EXPECT_TRUE(window.AddFilter(u"IMAGEWIDTH"));
  EXPECT_TRUE(window.AddFilter(u"compression")) << "already there";
  EXPECT_TRUE(window.AddFilter(u"Missing"));
  EXPECT_TRUE(window.IsFilterEnabled());
  EXPECT_EQ(Rows(), (std::vector<std::string> {"group TIFF tags", "header", "Compression scheme=6", "Image width=160"}));
  window.DeleteFilter(u"COMPRESSION");
  EXPECT_EQ(Rows(), (std::vector<std::string> {"group TIFF tags", "header", "Image width=160"}));
  window.ResetFilter();
  EXPECT_EQ(Rows().size(), 28u);

  // A name of blanks, a missing file: the group and its header alone.
  for (LPCWSTR name : {u"   ", u"/no/such/file.tif"}) {
    window.SetFilename(name);
    EXPECT_EQ(window.GetTagCount(), 0);
    EXPECT_EQ(Rows(), (std::vector<std::string> {"group TIFF tags", "header"}));
  }
  window.SetFilename(CString::FromUtf8(DataPath("multipage.tif")));
  EXPECT_EQ(Rows(), (std::vector<std::string> {"group TIFF tags", "header", "PageCountOfMultiPage=3"}));
  CString file;
  window.GetFilename(file);
  EXPECT_EQ(file, CString::FromUtf8(DataPath("multipage.tif")));
}

TEST(TagList, NamesAreUniqueWithoutRegardToCase) {
  ExposedWindow window;
  EXPECT_TRUE(window.AddTag(u"Make", u"a"));
  EXPECT_FALSE(window.AddTag(u"MAKE", u"b"));
  EXPECT_FALSE(window.AddTag(u" make ", u"c"));
  EXPECT_FALSE(window.AddTag(u"  ", u"d"));
  EXPECT_TRUE(window.AddTag(u"Model", u"e"));
  EXPECT_EQ(window.GetTagCount(), 2);
  window.DeleteTag(u"mAKE");
  CString name, value;
  ASSERT_TRUE(window.GetTag(0, name, value));
  EXPECT_EQ(name, CString(u"Model"));
  EXPECT_EQ(window.GetTagCount(), 1);
}

}  // namespace
