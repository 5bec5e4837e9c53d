#include "foundation/language/CDPXTypedFile.h"

#include "foundation/language/tests/LanguageTestFiles.h"

#include <gtest/gtest.h>

using namespace languagetest;

namespace {

// A typed file: mark, signature (the language file's, or 16 zero bytes: the base kind's), and
// eight bytes of body.
Bytes TypedFile(bool languageFile) {
  Bytes bytes = TypedFileHeader(languageFile);
  RecordWriter(bytes).DWord(0x11223344).DWord(0x55667788);
  return bytes;
}

class TypedFileTest : public ::testing::Test {
protected:
  CString Write(const Bytes& bytes, const std::string& name = "file.typed") {
    WriteBytes(m_folder / name, bytes);
    return Wide(m_folder / name);
  }
  TempFolder m_folder;
};

}  // namespace

// Any one byte of the mark or the signature that differs keeps the file shut.
TEST_F(TypedFileTest, EveryHeaderByteCounts) {
  CDPXDRSFile file;
  ASSERT_TRUE(file.OpenTyped(Write(TypedFile(true)), CFile::modeRead));
  file.Close();
  for (std::size_t at = 0; at < 32; ++at) {
    Bytes bytes = TypedFile(true);
    bytes[at] ^= 0x80;
    EXPECT_FALSE(file.OpenTyped(Write(bytes), CFile::modeRead)) << "byte " << at;
    EXPECT_FALSE(file.IsOpen()) << "byte " << at;
  }
  Bytes cut = TypedFile(true);
  cut.resize(31);
  EXPECT_FALSE(file.OpenTyped(Write(cut), CFile::modeRead)) << "a header cut short";
  EXPECT_FALSE(file.OpenTyped(Wide(m_folder / "missing.drs"), CFile::modeRead));
  EXPECT_FALSE(file.OpenTyped(nullptr, CFile::modeRead));
}

// The base kind opens files with its own (zero) signature and refuses language files, and the
// other way round.
TEST_F(TypedFileTest, EachKindOpensOnlyItsOwnFiles) {
  const CString base = Write(TypedFile(false), "base.typed");
  const CString language = Write(TypedFile(true), "language.drs");
  CDPXTypedFile typed;
  CDPXDRSFile drs;
  EXPECT_TRUE(typed.OpenTyped(base, CFile::modeRead));
  EXPECT_FALSE(typed.OpenTyped(language, CFile::modeRead));
  EXPECT_TRUE(drs.OpenTyped(language, CFile::modeRead));
  EXPECT_FALSE(drs.OpenTyped(base, CFile::modeRead));
}

TEST_F(TypedFileTest, DataOffsetsCountFromTheEndOfTheHeader) {
  CDPXDRSFile file;
  ASSERT_TRUE(file.OpenTyped(Write(TypedFile(true)), CFile::modeRead));
  EXPECT_EQ(file.GetHeaderSize(), 32u);
  EXPECT_EQ(file.GetPosition(), 32u) << "an opened file stands at data offset 0";
  EXPECT_EQ(file.GetDataPosition(), 0u);
  EXPECT_EQ(file.SeekData(4), 36u);
  EXPECT_EQ(file.GetDataPosition(), 4u);
  DWORD value = 0;
  ASSERT_TRUE(file.ReadDWord(value));
  EXPECT_EQ(value, 0x55667788u);
}

TEST(TypedFileClasses, RecordsNameTheirTrueBases) {
  EXPECT_EQ(RUNTIME_CLASS(CDPXDRSFile)->GetBaseClass(), RUNTIME_CLASS(CDPXTypedFile));
  EXPECT_EQ(RUNTIME_CLASS(CDPXTypedFile)->GetBaseClass(), RUNTIME_CLASS(CDPXFile));
  CDPXDRSFile file;
  EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CDPXTypedFile)));
  EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CFile)));
  CObject* made = RUNTIME_CLASS(CDPXDRSFile)->CreateObject();
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CDPXDRSFile)));
  delete made;
}
