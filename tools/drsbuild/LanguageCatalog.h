#pragma once
// The languages of one module's language file, gathered from its text sources.
//
// A source is UTF-8 text, one language per file; several files of one language are merged, so
// that each part of a module can keep its own texts. Lines:
//
//   # comment (also ; at the start of a line)
//   [language]
//   name = en-us                 the language's name (a lower-case locale tag)
//   description = English        shown in language menus
//   fallback = yes               searched when a key is missing in the current language
//   [texts]
//   KEY = text                   trimmed; "quoted" keeps blanks; escapes \n \t \r \\ \" \uXXXX
//   [bitmaps]
//   KEY = images/a.bmp [matte=#rrggbb]
//   [buttons]
//   KEY = n1 n2 n3 n4 : image1 [image2 .. image6] [matte=#rrggbb]     "-" skips an image;
//   KEY = n1 n2 width height :                                          no images: a blank image
//   [data]
//   KEY = data/hotkeys.dps       the file's bytes as they are
//
// File names are relative to the folder of the source that names them; quote names with blanks.
// Keys are matched without regard to case, as the reader does, so a key may appear once per kind
// and language.

#include "tools/drsbuild/SourceImage.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace drsbuild {

enum class ItemType : std::uint32_t { Bitmap = 1, Text = 2, Button = 3, Data = 4 };

struct Item {
  ItemType type { ItemType::Text };
  std::u16string key;
  std::string place;                             // file:line of its definition
  std::u16string text;                           // text items
  std::vector<std::uint8_t> data;                // data items
  std::vector<std::vector<std::uint8_t>> images; // BMP files: one for a bitmap, six for a button (empty: none)
  std::array<std::int32_t, 4> numbers {};        // button numbers
};

struct Language {
  std::u16string name;
  std::u16string description;
  bool fallback { false };
  std::vector<Item> items;
};

class LanguageCatalog {
public:
  // Reads one source and merges it in. Throws SourceError.
  void AddSource(const std::filesystem::path& file);
  // Throws SourceError naming the first key that one language has and another lacks.
  void RequireSameKeys() const;

  const std::vector<Language>& Languages() const { return m_languages; }
  // Every file read so far: sources, images and data files.
  const std::vector<std::filesystem::path>& Inputs() const { return m_inputs; }

  // A button's blank image may be at most this wide and high (the reader refuses larger ones).
  static constexpr int kMaxBlankSize = 4096;

private:
  Language& Merge(const Language& header, bool hasDescription, bool hasFallback, const std::string& place);
  void AddItem(Language& language, Item item);

  std::vector<Language> m_languages;
  std::vector<std::filesystem::path> m_inputs;
};

}  // namespace drsbuild
