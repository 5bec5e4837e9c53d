#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"
#include "platform/core/CSharedFile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>


namespace {

std::vector<BYTE> Contents(CMemFile& file) {
  std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  if (!bytes.empty()) file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
  return bytes;
}

std::string Hex(const std::vector<BYTE>& bytes) {
  std::string out;
  char part[4];
  for (BYTE b : bytes) {
    std::snprintf(part, sizeof(part), "%02X ", b);
    out += part;
  }
  return out;
}

// Stores with `store`, then loads the same bytes back through a fresh archive.
std::vector<BYTE> Stored(const std::function<void(CArchive&)>& store, int bufSize = 4096) {
  CMemFile file(64);
  CArchive ar(&file, CArchive::store, bufSize);
  store(ar);
  ar.Close();
  return Contents(file);
}

// The cause of the exception of class E that `call` throws, or -1 when it throws none.
template <class E>
int CauseOf(const std::function<void()>& call) {
  try {
    call();
  } catch (E* e) {
    const int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

// Runs `load` over an archive on a copy of `bytes`; answers the cause of the archive exception
// it threw, or -1 when it loaded without one.
int LoadCause(const std::vector<BYTE>& bytes, const std::function<void(CArchive&)>& load) {
  std::vector<BYTE> copy = bytes;
  CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
  CArchive ar(&file, CArchive::load);
  return CauseOf<CArchiveException>([&] { load(ar); });
}

struct ValueCase {
  std::string name;
  std::function<void(CArchive&)> store;
  std::vector<BYTE> bytes;
  std::function<bool(CArchive&)> loadsBack;  // loads one value and compares it
};

template <class T>
ValueCase Value(std::string name, T value, std::vector<BYTE> bytes) {
  return {std::move(name), [value](CArchive& ar) { ar << value; }, std::move(bytes), [value](CArchive& ar) {
            T loaded {};
            ar >> loaded;
            return loaded == value;
          }};
}

std::vector<ValueCase> ValueCases() {
  return {
      Value("BYTE", BYTE(0xA5), {0xA5}),
      Value("WORD", WORD(0xBEEF), {0xEF, 0xBE}),
      Value("SHORT", SHORT(-2), {0xFE, 0xFF}),
      Value("int", int(-123456789), {0xEB, 0x32, 0xA4, 0xF8}),
      Value("LONG", LONG(0x12345678), {0x78, 0x56, 0x34, 0x12}),
      Value("BOOL", BOOL(TRUE), {0x01, 0x00, 0x00, 0x00}),
      Value("UINT", UINT(0xFFFFFFFEu), {0xFE, 0xFF, 0xFF, 0xFF}),
      Value("DWORD", DWORD(0x80000001u), {0x01, 0x00, 0x00, 0x80}),
      Value("LONGLONG", LONGLONG(-2), {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
      Value("ULONGLONG", ULONGLONG(0x0102030405060708ull), {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}),
      Value("float", 1.5f, {0x00, 0x00, 0xC0, 0x3F}),
      Value("double", -2.25, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0xC0}),
      Value("CString", CString(u"Ab"), {0x02, 0x00, 0x00, 0x00, 0x41, 0x00, 0x62, 0x00}),
      Value("empty CString", CString(), {0x00, 0x00, 0x00, 0x00}),
      Value("CString with a surrogate pair", CString(u"x\U0001F600"),
            {0x03, 0x00, 0x00, 0x00, 0x78, 0x00, 0x3D, 0xD8, 0x00, 0xDE}),
      Value("CPoint", CPoint(-1, 2), {0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00}),
      Value("CSize", CSize(300, 0), {0x2C, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}),
      Value("CRect", CRect(1, -2, 3, 65536),
            {0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}),
  };
}

}  // namespace

TEST(Archive, EveryValueIsStoredLittleEndianAndLoadsBack) {
  for (const ValueCase& c : ValueCases()) {
    const std::vector<BYTE> bytes = Stored(c.store);
    EXPECT_EQ(Hex(bytes), Hex(c.bytes)) << c.name;
    std::vector<BYTE> copy = bytes;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    EXPECT_TRUE(c.loadsBack(ar)) << c.name;
    ar.Close();
    EXPECT_EQ(file.GetPosition(), file.GetLength()) << c.name << ": the archive read more or less than the value";
  }
}

TEST(Archive, ASequenceLongerThanTheBufferRoundTrips) {
  // A small buffer makes values and a long string cross buffer boundaries in both directions.
  std::u16string long_text;
  for (int i = 0; i < 5000; ++i) long_text.push_back(static_cast<char16_t>(0xD800 + i % 0x800));  // lone surrogates too
  const CString text(long_text);
  const std::vector<BYTE> bytes = Stored(
      [&](CArchive& ar) {
        for (int i = 0; i < 100; ++i) ar << BYTE(i) << int(i * 1000) << double(i) / 3;
        ar << text << CRect(1, 2, 3, 4);
        ar.WriteCount(7);
      },
      16);
  std::vector<BYTE> copy = bytes;
  CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
  CArchive ar(&file, CArchive::load, 16);
  for (int i = 0; i < 100; ++i) {
    BYTE b;
    int n;
    double d;
    ar >> b >> n >> d;
    ASSERT_EQ(b, BYTE(i));
    ASSERT_EQ(n, i * 1000);
    ASSERT_EQ(d, double(i) / 3);
  }
  CString loaded;
  CRect rect;
  ar >> loaded >> rect;
  EXPECT_TRUE(loaded == text);
  EXPECT_EQ(rect, CRect(1, 2, 3, 4));
  EXPECT_EQ(ar.ReadCount(), DWORD_PTR(7));
}

TEST(Archive, CountsTakeTwoSixOrFourteenBytes) {
  struct Case {
    DWORD_PTR count;
    size_t size;
  };
  const Case cases[] = {{0, 2}, {0xFFFE, 2}, {0xFFFF, 6}, {0xFFFFFFFEu, 6}, {0xFFFFFFFFu, 14}, {DWORD_PTR(1) << 40, 14}};
  for (const Case& c : cases) {
    const std::vector<BYTE> bytes = Stored([&](CArchive& ar) { ar.WriteCount(c.count); });
    EXPECT_EQ(bytes.size(), c.size) << c.count;
    DWORD_PTR loaded = 0;
    EXPECT_EQ(LoadCause(bytes, [&](CArchive& ar) { loaded = ar.ReadCount(); }), -1) << c.count;
    EXPECT_EQ(loaded, c.count);
  }
}

TEST(Archive, AnArchiveCutShortThrowsEndOfFileAtEveryCut) {
  const auto store = [](CArchive& ar) { ar << int(7) << CString(u"dock") << 2.5 << CSize(4, 5) << WORD(9); };
  const auto load = [](CArchive& ar) {
    int n;
    CString s;
    double d;
    CSize size;
    WORD w;
    ar >> n >> s >> d >> size >> w;
  };
  const std::vector<BYTE> whole = Stored(store);
  ASSERT_EQ(LoadCause(whole, load), -1);
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    const std::vector<BYTE> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ(LoadCause(part, load), CArchiveException::endOfFile) << "cut at " << cut;
  }
}

// Loads a string from `bytes` with an address space that may grow by 64 MiB at most, and ends
// the process: 0 when the load failed with `cause`, 3 when memory ran out, else 1 or 2.
[[noreturn]] void LoadStringInLittleMemory(const std::vector<BYTE>& bytes, int cause) {
  unsigned long pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  const rlim_t room = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (rlim_t(64) << 20);
  const struct rlimit limit = {room, room};
  if (pages == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(2);
  try {
    const int got = LoadCause(bytes, [](CArchive& ar) {
      CString s;
      ar >> s;
    });
    std::_Exit(got == cause ? 0 : 1);
  } catch (const std::bad_alloc&) {
    std::_Exit(3);
  }
}

TEST(Archive, ADamagedStringCountFailsWithoutAllocatingWhatItClaims) {
  struct Case {
    std::vector<BYTE> bytes;
    int cause;
  };
  const Case cases[] = {
      {{0xFF, 0xFF, 0xFF, 0x7F, 0x41, 0x00}, CArchiveException::endOfFile},
      {{0x00, 0x00, 0x00, 0x10, 0x41, 0x00, 0x42, 0x00}, CArchiveException::endOfFile},
      {{0x00, 0x00, 0x00, 0x80, 0x41, 0x00}, CArchiveException::badIndex},
      {{0xFF, 0xFF, 0xFF, 0xFF}, CArchiveException::badIndex},
  };
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const Case& c : cases)
    EXPECT_EXIT(LoadStringInLittleMemory(c.bytes, c.cause), ::testing::ExitedWithCode(0), "") << Hex(c.bytes);
}

TEST(Archive, StoringAndLoadingAreOneWay) {
  CMemFile file;
  CArchive storing(&file, CArchive::store);
  int n = 0;
  BYTE b = 0;
  EXPECT_EQ(CauseOf<CArchiveException>([&] { storing >> n; }), CArchiveException::writeOnly);
  storing << BYTE(1);
  storing.Close();
  EXPECT_EQ(LoadCause(Contents(file), [&](CArchive& ar) { ar << BYTE(2); }), CArchiveException::readOnly);
  EXPECT_EQ(LoadCause(Contents(file), [&](CArchive& ar) { ar >> b; }), -1);
  EXPECT_EQ(b, 1);
}

TEST(Archive, CloseLeavesTheFileWhereTheArchiveStands) {
  // Storing: nothing reaches the file before Close. Loading: what was read ahead is given back.
  CMemFile file;
  CArchive storing(&file, CArchive::store);
  storing << int(1) << int(2);
  EXPECT_EQ(file.GetLength(), 0u);
  storing.Close();
  EXPECT_EQ(file.GetLength(), 8u);
  file.SeekToBegin();
  {
    CArchive loading(&file, CArchive::load);
    int n = 0;
    loading >> n;
    EXPECT_EQ(n, 1);
  }
  EXPECT_EQ(file.GetPosition(), 4u);
}

TEST(MemFile, GrowsInStepsAndKeepsItsBytes) {
  CMemFile file(10);
  std::vector<BYTE> data(95);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i + 1);
  file.Write(data.data(), 50);
  file.Write(data.data() + 50, 45);
  EXPECT_EQ(file.GetLength(), 95u);
  EXPECT_EQ(Contents(file), data);

  // A write past the end fills the gap with zeros; SetLength cuts and lengthens the same way.
  file.Seek(100, CFile::begin);
  const BYTE tail[2] = {0xAA, 0xBB};
  file.Write(tail, 2);
  std::vector<BYTE> expected = data;
  expected.insert(expected.end(), {0, 0, 0, 0, 0, 0xAA, 0xBB});
  EXPECT_EQ(Contents(file), expected);
  file.SetLength(3);
  file.SetLength(6);
  EXPECT_EQ(Contents(file), (std::vector<BYTE> {1, 2, 3, 0, 0, 0}));
  EXPECT_EQ(file.Read(expected.data(), 10), 0u) << "a read at the end gives nothing";

  BYTE* block = file.Detach();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[2], 3);
  EXPECT_EQ(file.GetLength(), 0u);
  std::free(block);
}

TEST(MemFile, AFixedBufferRefusesToGrow) {
  BYTE buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  CMemFile file(buffer, sizeof(buffer));
  EXPECT_EQ(file.GetLength(), 8u);
  file.Seek(6, CFile::begin);
  const BYTE three[3] = {9, 9, 9};
  EXPECT_EQ(CauseOf<CFileException>([&] { file.Write(three, 3); }), CFileException::diskFull);
  EXPECT_EQ(buffer[6], 7) << "a refused write changed the buffer";
  file.Write(three, 2);
  EXPECT_EQ(buffer[7], 9);
  EXPECT_EQ(file.Detach(), buffer);
}

TEST(MemFile, AnAttachedGrowingBufferIsLeftToItsOwner) {
  BYTE buffer[4] = {0};
  CMemFile file;
  file.Attach(buffer, sizeof(buffer), 16);
  EXPECT_EQ(file.GetLength(), 0u) << "a growing buffer starts empty";
  const BYTE data[6] = {1, 2, 3, 4, 5, 6};
  file.Write(data, 3);
  EXPECT_EQ(buffer[2], 3);
  file.Write(data + 3, 3);
  EXPECT_EQ(Contents(file), std::vector<BYTE>(data, data + 6));
  BYTE* block = file.Detach();
  EXPECT_NE(block, buffer);
  EXPECT_EQ(block[5], 6);
  std::free(block);
}

TEST(MemFile, SeekingBeforeTheStartFails) {
  CMemFile file;
  file.Write("abc", 3);
  struct Case {
    LONGLONG offset;
    UINT from;
  };
  const Case cases[] = {{-1, CFile::begin}, {-4, CFile::current}, {-4, CFile::end}};
  for (const Case& c : cases)
    EXPECT_EQ(CauseOf<CFileException>([&] { file.Seek(c.offset, c.from); }), CFileException::badSeek)
        << c.offset << " from " << c.from;
  EXPECT_EQ(file.Seek(-3, CFile::end), 0u);
}

namespace {

// A block as a caller hands it over: movable global memory holding `bytes`.
HGLOBAL BlockOf(const std::vector<BYTE>& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

std::vector<BYTE> BytesOf(HGLOBAL block) {
  const auto* data = static_cast<const BYTE*>(GlobalLock(block));
  std::vector<BYTE> bytes(data, data + GlobalSize(block));
  GlobalUnlock(block);
  return bytes;
}

}  // namespace

TEST(SharedFile, AnArchiveGoesIntoABlockAndComesBackOutOfIt) {
  // Written as a frame keeps its layout: a small grow step and archive buffer, many values.
  CSharedFile out(GMEM_MOVEABLE | GMEM_ZEROINIT, 128);
  {
    CArchive ar(&out, CArchive::store, 128);
    ar << CString(u"layout");
    for (int i = 0; i < 60; ++i) ar << int(i * 10 - 7);
    ar.Close();
  }
  HGLOBAL block = out.Detach();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), SIZE_T(4 + 12 + 60 * 4)) << "the block is not exactly what was written";
  EXPECT_EQ(GlobalFlags(block), 0u) << "the block was handed over locked";
  EXPECT_EQ(out.GetLength(), 0u);

  CSharedFile in;
  in.SetHandle(block, FALSE);
  EXPECT_EQ(in.GetLength(), GlobalSize(block));
  {
    CArchive ar(&in, CArchive::load);
    CString name;
    ar >> name;
    EXPECT_TRUE(name == u"layout");
    for (int i = 0; i < 60; ++i) {
      int n = 0;
      ar >> n;
      ASSERT_EQ(n, i * 10 - 7);
    }
  }
  EXPECT_EQ(in.Detach(), block);
  EXPECT_EQ(GlobalFlags(block), 0u);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(SharedFile, ADamagedBlockFailsAndStaysTheCallers) {
  const std::vector<BYTE> whole = Stored([](CArchive& ar) { ar << CString(u"dock") << int(1) << int(2); });
  for (size_t cut : {size_t(0), size_t(3), size_t(9), whole.size() - 1}) {
    HGLOBAL block = BlockOf(std::vector<BYTE>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
    {
      CSharedFile file;
      file.SetHandle(block, FALSE);
      EXPECT_EQ(CauseOf<CArchiveException>([&] {
                  CArchive ar(&file, CArchive::load, 4096);
                  CString s;
                  int a, b;
                  ar >> s >> a >> b;
                }),
                CArchiveException::endOfFile)
          << "cut at " << cut;
    }
    EXPECT_EQ(GlobalFlags(block), 0u) << "the file kept the caller's block locked";
    EXPECT_EQ(GlobalFree(block), nullptr) << "the file freed the caller's block";
  }
}

TEST(SharedFile, WritingPastACallersBlockMovesToABlockOfItsOwn) {
  const std::vector<BYTE> original = {1, 2, 3, 4};
  const BYTE more[3] = {5, 6, 7};
  HGLOBAL block = BlockOf(original);
  {
    CSharedFile fixed;
    fixed.SetHandle(block, FALSE);
    fixed.SeekToEnd();
    EXPECT_EQ(CauseOf<CFileException>([&] { fixed.Write(more, 1); }), CFileException::diskFull) << "a fixed block grew";
  }
  CSharedFile file(GMEM_MOVEABLE, 16);
  file.SetHandle(block);
  file.SeekToEnd();
  file.Write(more, 3);
  HGLOBAL grown = file.Detach();
  EXPECT_NE(grown, block);
  EXPECT_EQ(BytesOf(grown), (std::vector<BYTE> {1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(BytesOf(block), original) << "the caller's block changed";
  EXPECT_EQ(GlobalFlags(block), 0u);
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(grown), nullptr);
}
