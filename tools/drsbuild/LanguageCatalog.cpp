#include "tools/drsbuild/LanguageCatalog.h"

#include "tools/drsbuild/SourceError.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <set>

namespace drsbuild {

namespace {

enum class Section { None, Language, Texts, Bitmaps, Buttons, Data };

// The place of a line, for messages.
struct Place {
  std::string file;
  int line { 0 };
  std::string Text() const { return file + ":" + std::to_string(line); }
  [[noreturn]] void Fail(const std::string& message) const { throw SourceError(file, line, message); }
};

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\v\f");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\v\f");
  return std::string(text.substr(first, last - first + 1));
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), AsciiLower);
  return text;
}

// Keys and names compare without regard to case; only ASCII letters are folded here.
std::u16string Fold(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& c : folded)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return folded;
}

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size()) cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

// Strict UTF-8 to UTF-16: a malformed sequence is a mistake in the source, not something to guess.
std::u16string Utf16(std::string_view text, const Place& place) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    int length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (!length || i + length > text.size()) place.Fail("the line is not valid UTF-8");
    std::uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) place.Fail("the line is not valid UTF-8");
      cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) place.Fail("the line is not valid UTF-8");
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += static_cast<std::size_t>(length);
  }
  return out;
}

// A text value: trimmed, or taken between double quotes as it stands; then the escapes.
std::u16string ParseText(const std::string& value, const Place& place) {
  std::string body = value;
  if (!body.empty() && body.front() == '"') {
    if (body.size() < 2 || body.back() != '"') place.Fail("a quoted text must end with a double quote");
    body = body.substr(1, body.size() - 2);
  }
  const std::u16string raw = Utf16(body, place);
  std::u16string text;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != u'\\') {
      text += raw[i];
      continue;
    }
    if (++i == raw.size()) place.Fail("the text ends with a lone backslash");
    switch (raw[i]) {
    case u'n': text += u'\n'; break;
    case u'r': text += u'\r'; break;
    case u't': text += u'\t'; break;
    case u'\\': text += u'\\'; break;
    case u'"': text += u'"'; break;
    case u'u': {
      const std::string hex = Utf8(raw.substr(i + 1, 4));
      unsigned unit = 0;
      const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), unit, 16);
      if (hex.size() != 4 || error != std::errc() || end != hex.data() + 4 || unit == 0 || (unit >= 0xD800 && unit < 0xE000))
        place.Fail("\\u takes four hex digits of a character other than 0000 and the surrogates");
      text += static_cast<char16_t>(unit);
      i += 4;
      break;
    }
    default:
      place.Fail(std::string("unknown escape \\") + Utf8(std::u16string(1, raw[i])) + " (a backslash is written \\\\)");
    }
  }
  return text;
}

// Blank-separated words; "double quotes" hold a word with blanks.
std::vector<std::string> SplitWords(const std::string& text, const Place& place) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
    } else if (text[i] == '"') {
      const auto close = text.find('"', i + 1);
      if (close == std::string::npos) place.Fail("a quoted file name must end with a double quote");
      words.push_back(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      const auto end = text.find_first_of(" \t", i);
      words.push_back(text.substr(i, end == std::string::npos ? std::string::npos : end - i));
      i = end == std::string::npos ? text.size() : end;
    }
  }
  return words;
}

std::int32_t ParseNumber(const std::string& word, const Place& place) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size()) place.Fail("\"" + word + "\" is not a 32-bit whole number");
  return value;
}

bool ParseYesNo(const std::string& word, const Place& place) {
  const std::string w = LowerAscii(word);
  if (w == "yes" || w == "true" || w == "1") return true;
  if (w == "no" || w == "false" || w == "0") return false;
  place.Fail("\"" + word + "\" is neither yes nor no");
}

// Takes a trailing matte=#rrggbb off the words.
std::optional<Rgb> TakeMatte(std::vector<std::string>& words, const Place& place) {
  if (words.empty() || words.back().rfind("matte=", 0) != 0) return std::nullopt;
  const std::string colour = words.back().substr(6);
  words.pop_back();
  unsigned value = 0;
  const char* digits = colour.data() + 1;
  const auto [end, error] = std::from_chars(digits, colour.data() + colour.size(), value, 16);
  if (colour.size() != 7 || colour[0] != '#' || error != std::errc() || end != colour.data() + colour.size())
    place.Fail("a matte colour is written matte=#rrggbb");
  return Rgb {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

const char* KindName(ItemType type) {
  switch (type) {
  case ItemType::Bitmap: return "bitmap";
  case ItemType::Text: return "text";
  case ItemType::Button: return "button";
  case ItemType::Data: return "data";
  }
  return "item";
}

}  // namespace

void LanguageCatalog::AddSource(const std::filesystem::path& file) {
  const std::vector<std::uint8_t> bytes = ReadSourceFile(file);
  std::string content(bytes.begin(), bytes.end());
  m_inputs.push_back(file);
  if (content.rfind("\xEF\xBB\xBF", 0) == 0) content.erase(0, 3);
  const std::filesystem::path folder = file.parent_path();

  Place place {file.string(), 0};
  auto resolve = [&](const std::string& name) {
    const std::filesystem::path path = folder / std::filesystem::path(name);
    m_inputs.push_back(path);
    return path;
  };
  auto readImage = [&](const std::string& name, std::optional<Rgb> matte) {
    try {
      return SourceImage::Load(resolve(name), matte).EncodeBmp();
    } catch (const SourceError& e) {
      place.Fail(e.what());
    }
  };

  Section section = Section::None;
  Language header;
  bool hasName = false, hasDescription = false, hasFallback = false;
  std::vector<Item> items;
  std::size_t lineStart = 0;
  while (lineStart < content.size()) {
    std::size_t lineEnd = content.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = content.size();
    const std::string line = Trim(std::string_view(content).substr(lineStart, lineEnd - lineStart));
    lineStart = lineEnd + 1;
    ++place.line;
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;

    if (line[0] == '[') {
      if (line.back() != ']') place.Fail("a section header ends with ]");
      const std::string name = LowerAscii(Trim(line.substr(1, line.size() - 2)));
      if (name == "language") section = Section::Language;
      else if (name == "texts") section = Section::Texts;
      else if (name == "bitmaps") section = Section::Bitmaps;
      else if (name == "buttons") section = Section::Buttons;
      else if (name == "data") section = Section::Data;
      else place.Fail("unknown section [" + name + "]; known: language, texts, bitmaps, buttons, data");
      continue;
    }

    const auto equals = line.find('=');
    if (equals == std::string::npos) place.Fail("expected KEY = value");
    const std::string key = Trim(line.substr(0, equals));
    const std::string value = Trim(line.substr(equals + 1));
    if (key.empty()) place.Fail("the key before = is empty");

    if (section == Section::None) place.Fail("a line before the first section");
    if (section == Section::Language) {
      const std::string field = LowerAscii(key);
      if (field == "name") {
        header.name = Utf16(value, place);
        if (header.name.empty()) place.Fail("the language's name is empty");
        hasName = true;
      } else if (field == "description") {
        header.description = ParseText(value, place);
        hasDescription = true;
      } else if (field == "fallback") {
        header.fallback = ParseYesNo(value, place);
        hasFallback = true;
      } else {
        place.Fail("unknown language field \"" + key + "\"; known: name, description, fallback");
      }
      continue;
    }

    Item item;
    item.key = Utf16(key, place);
    item.place = place.Text();
    if (section == Section::Texts) {
      item.type = ItemType::Text;
      item.text = ParseText(value, place);
    } else if (section == Section::Bitmaps) {
      item.type = ItemType::Bitmap;
      std::vector<std::string> words = SplitWords(value, place);
      const std::optional<Rgb> matte = TakeMatte(words, place);
      if (words.size() != 1) place.Fail("a bitmap names one image file");
      item.images.push_back(readImage(words[0], matte));
    } else if (section == Section::Buttons) {
      item.type = ItemType::Button;
      const auto colon = value.find(':');
      if (colon == std::string::npos) place.Fail("a button is written n1 n2 n3 n4 : images");
      const std::vector<std::string> numbers = SplitWords(value.substr(0, colon), place);
      std::vector<std::string> images = SplitWords(value.substr(colon + 1), place);
      const std::optional<Rgb> matte = TakeMatte(images, place);
      if (numbers.size() != 4) place.Fail("a button has four numbers before the colon");
      if (images.size() > 6) place.Fail("a button has at most six images");
      for (int i = 0; i < 4; ++i) item.numbers[i] = ParseNumber(numbers[i], place);
      if (images.empty()) {
        if (item.numbers[2] < 1 || item.numbers[3] < 1 || item.numbers[2] > kMaxBlankSize || item.numbers[3] > kMaxBlankSize)
          place.Fail("a button without images has a blank image; its width and height (numbers 3 and 4) must lie "
                     "between 1 and " + std::to_string(kMaxBlankSize));
      } else if (images[0] == "-") {
        place.Fail("a button's first image cannot be left out (without it the others are never read)");
      }
      item.images.resize(6);
      for (std::size_t i = 0; i < images.size(); ++i)
        if (images[i] != "-") item.images[i] = readImage(images[i], matte);
    } else {
      item.type = ItemType::Data;
      const std::vector<std::string> words = SplitWords(value, place);
      if (words.size() != 1) place.Fail("a data item names one file");
      const std::filesystem::path path = resolve(words[0]);
      try {
        item.data = ReadSourceFile(path);
      } catch (const SourceError& e) {
        place.Fail(e.what());
      }
      if (item.data.empty()) place.Fail(path.string() + ": is empty, and an empty data item reads as missing");
    }
    items.push_back(std::move(item));
  }

  if (!hasName) throw SourceError(file.string() + ": no [language] section with a name");
  Language& language = Merge(header, hasDescription, hasFallback, file.string());
  for (Item& item : items) AddItem(language, std::move(item));
}

Language& LanguageCatalog::Merge(const Language& header, bool hasDescription, bool hasFallback, const std::string& place) {
  for (Language& language : m_languages) {
    if (Fold(language.name) != Fold(header.name)) continue;
    if (hasDescription && header.description != language.description)
      throw SourceError(place + ": the description of " + Utf8(header.name) + " differs from an earlier source");
    if (hasFallback && header.fallback != language.fallback)
      throw SourceError(place + ": the fallback flag of " + Utf8(header.name) + " differs from an earlier source");
    return language;
  }
  m_languages.push_back(header);
  return m_languages.back();
}

void LanguageCatalog::AddItem(Language& language, Item item) {
  const std::u16string folded = Fold(item.key);
  for (const Item& other : language.items)
    if (other.type == item.type && Fold(other.key) == folded)
      throw SourceError(item.place + ": the " + KindName(item.type) + " " + Utf8(item.key) + " is already defined at " +
                        other.place + " (keys ignore case)");
  language.items.push_back(std::move(item));
}

void LanguageCatalog::RequireSameKeys() const {
  // Every key of `have` must be in `lack` too.
  auto requireAll = [](const Language& have, const Language& lack) {
    std::set<std::pair<ItemType, std::u16string>> keys;
    for (const Item& item : lack.items) keys.insert({item.type, Fold(item.key)});
    for (const Item& item : have.items)
      if (!keys.count({item.type, Fold(item.key)}))
        throw SourceError(item.place + ": the " + KindName(item.type) + " " + Utf8(item.key) + " of " + Utf8(have.name) +
                          " is missing in " + Utf8(lack.name));
  };
  for (std::size_t i = 1; i < m_languages.size(); ++i) {
    requireAll(m_languages.front(), m_languages[i]);
    requireAll(m_languages[i], m_languages.front());
  }
}

}  // namespace drsbuild
