// Language files: opens the file, switches to each of its languages and reads every item it
// lists in every way an item can be read.

#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/language/CDPXDRSReader.h"
#include "platform/core/globalmem.h"
#include "tools/fuzz/FuzzSupport.h"

#include <set>
#include <vector>

namespace {

// The keys the file's item chains name, found by following the chains as the file's layout
// describes them (CDPXDRSReader.h), so that lookups ask for what the file holds.
class KeyCollector {
public:
  KeyCollector(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

  std::vector<CString> Collect() {
    std::vector<CString> keys;
    DWORD language = 0;
    std::set<DWORD> languages;
    if (!DWordAt(0, language)) return keys;
    while (language && languages.insert(language).second && languages.size() < kMaxSteps) {
      size_t at = language;
      DWORD next = 0, fallback = 0, items = 0;
      if (!DWordAt(at, next) || !SkipString(at += 4) || !SkipString(at) || !DWordAt(at, fallback) ||
          !DWordAt(at + 4, items))
        break;
      std::set<DWORD> seen;
      while (items && seen.insert(items).second && seen.size() < kMaxSteps) {
        size_t item = items;
        CString key;
        if (!DWordAt(item, items) || !StringAt(item + 4, key)) break;
        keys.push_back(key);
      }
      language = next;
    }
    return keys;
  }

private:
  static constexpr size_t kHeader = 32;
  static constexpr size_t kMaxSteps = 256;

  bool DWordAt(size_t offset, DWORD& value) const {
    const size_t at = kHeader + offset;
    if (at + 4 > m_size) return false;
    value = DWORD(m_data[at]) | DWORD(m_data[at + 1]) << 8 | DWORD(m_data[at + 2]) << 16 | DWORD(m_data[at + 3]) << 24;
    return true;
  }
  bool SkipString(size_t& offset) const {
    DWORD count = 0;
    if (!DWordAt(offset, count) || kHeader + offset + 4 + count > m_size) return false;
    offset += 4 + count;
    return true;
  }
  bool StringAt(size_t offset, CString& text) const {
    DWORD count = 0;
    if (!DWordAt(offset, count) || kHeader + offset + 4 + count > m_size) return false;
    std::u16string units;
    for (size_t i = 0; i + 1 < count; i += 2) {
      const size_t at = kHeader + offset + 4 + i;
      units.push_back(static_cast<char16_t>(m_data[at] | m_data[at + 1] << 8));
    }
    text = CString(units);
    return true;
  }

  const uint8_t* m_data;
  size_t m_size;
};

void ReadItems(CDPXDRSReader& reader, const std::vector<CString>& keys) {
  for (const CString& key : keys) {
    CString text;
    reader.LoadText(key, text, FALSE);
    CDPXDIBHandle image;
    if (reader.LoadDIB(key, image)) fuzz::Check(!image.IsEmpty() && image.GetBits(), "a bitmap item read without bits");
    CDPXDIBHandle faces[6];
    int numbers[4] = {};
    reader.LoadButtonImages(key, faces[0], faces[1], faces[2], faces[3], faces[4], faces[5], numbers[0], numbers[1],
                            numbers[2], numbers[3]);
    HGLOBAL block = nullptr;
    if (reader.ReadData(key, block) && block) GlobalFree(block);
    reader.LoadData(key, fuzz::PathOf("data.out"));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString path = fuzz::WriteFile("input.drs", data, size);
  CDPXDRSReader reader;
  if (!reader.Open(path)) return 0;
  const std::vector<CString> keys = KeyCollector(data, size).Collect();
  for (int index = 0; index < reader.GetLanguageCount(); ++index) {
    CString name, description;
    int fallback = 0;
    fuzz::Check(reader.GetLanguage(index, name, description, fallback), "a language of the count is missing");
    reader.SetCurrentLanguage(name);
    ReadItems(reader, keys);
  }
  reader.SetCurrentLanguage(nullptr);
  ReadItems(reader, keys);
  return 0;
}
