#include "tools/drsbuild/DrsWriter.h"

#include "tools/drsbuild/ByteWriter.h"
#include "tools/drsbuild/SourceError.h"

#include <fstream>

namespace drsbuild {

namespace {

constexpr std::uint8_t kTypedFileMark[16] = {0x3E, 0x11, 0x9B, 0x16, 0xBC, 0x95, 0xD7, 0xEC,
                                             0x0C, 0xC7, 0xB1, 0x05, 0xE7, 0x23, 0x5E, 0x7E};
constexpr std::uint8_t kLanguageFileSignature[16] = {0x0C, 0xB3, 0x40, 0xF2, 0xEB, 0x2B, 0x92, 0x7A,
                                                     0x5E, 0x45, 0xBD, 0x27, 0x9C, 0x55, 0xF7, 0xAC};
constexpr std::size_t kHeaderSize = 32;

// Writes the body; offsets handed out are body offsets (file offset minus the header).
class BodyWriter {
public:
  explicit BodyWriter(ByteWriter& out) : m_out(out) {}
  std::uint32_t Here() const {
    const std::size_t offset = m_out.Size() - kHeaderSize;
    if (offset > 0xFFFFFFF0u) throw SourceError("the language file would be larger than 4 GiB");
    return static_cast<std::uint32_t>(offset);
  }
  // A 32-bit field to be filled in later; returns where it is.
  std::size_t Placeholder() {
    const std::size_t at = m_out.Size();
    m_out.U32(0);
    return at;
  }
  void Link(std::size_t field, std::uint32_t target) { m_out.PatchU32(field, target); }
  // The unused 32-bit word before an image, then the image; returns the word's offset.
  std::uint32_t Image(const std::vector<std::uint8_t>& bmp) {
    const std::uint32_t at = Here();
    m_out.U32(static_cast<std::uint32_t>(bmp.size()));
    m_out.Bytes(bmp.data(), bmp.size());
    return at;
  }
  ByteWriter& Out() { return m_out; }

private:
  ByteWriter& m_out;
};

void WriteItem(BodyWriter& body, const Item& item) {
  ByteWriter& out = body.Out();
  out.CountedString(item.key);
  out.U32(static_cast<std::uint32_t>(item.type));
  switch (item.type) {
  case ItemType::Text:
    out.CountedString(item.text);
    break;
  case ItemType::Bitmap:
    body.Image(item.images.at(0));
    break;
  case ItemType::Data:
    out.U32(static_cast<std::uint32_t>(item.data.size()));
    out.Bytes(item.data.data(), item.data.size());
    break;
  case ItemType::Button: {
    std::size_t imageFields[6];
    for (std::size_t& field : imageFields) field = body.Placeholder();
    for (std::int32_t number : item.numbers) out.U32(static_cast<std::uint32_t>(number));
    for (std::size_t i = 0; i < 6; ++i)
      if (!item.images[i].empty()) body.Link(imageFields[i], body.Image(item.images[i]));
    break;
  }
  }
}

}  // namespace

std::vector<std::uint8_t> DrsWriter::Build(const LanguageCatalog& catalog) {
  if (catalog.Languages().empty()) throw SourceError("a language file needs at least one language");
  ByteWriter out;
  out.Bytes(kTypedFileMark, sizeof kTypedFileMark);
  out.Bytes(kLanguageFileSignature, sizeof kLanguageFileSignature);
  BodyWriter body(out);

  std::size_t languageLink = body.Placeholder();  // body offset 0: the first language
  for (const Language& language : catalog.Languages()) {
    body.Link(languageLink, body.Here());
    languageLink = body.Placeholder();
    out.CountedString(language.name);
    out.CountedString(language.description);
    out.U32(language.fallback ? 1 : 0);
    std::size_t itemLink = body.Placeholder();
    for (const Item& item : language.items) {
      body.Link(itemLink, body.Here());
      itemLink = body.Placeholder();
      WriteItem(body, item);
    }
  }
  body.Here();  // the size check
  return out.Take();
}

void DrsWriter::Save(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& target) {
  std::filesystem::path temporary = target;
  temporary += ".part";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
      std::filesystem::remove(temporary);
      throw SourceError(target.string() + ": cannot be written");
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::filesystem::remove(temporary);
    throw SourceError(target.string() + ": cannot be written (" + error.message() + ")");
  }
}

}  // namespace drsbuild
