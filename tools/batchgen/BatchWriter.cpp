#include "tools/batchgen/BatchWriter.h"

#include "tools/batchgen/PageImage.h"
#include "tools/batchgen/Utf8.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kCustomers = {
    "ACME Corp", "Baker & Sons", "Müller GmbH", "Société Générale", "Nordwind AG", "Øresund AS",
    "東京商事", "Hansen; Berg KG", "Smith, Jones & Co", "O'Neill Ltd", "Café Central", "Zeta Systems", "Ålesund Fisk",
};
const std::vector<std::string> kCities = {"Berlin", "Zürich", "Lyon", "Oslo", "Kraków", "Porto", "Wien", "Bergen"};
const std::vector<std::string> kDepartments = {"Sales", "Purchasing", "Legal", "HR", "Accounting", "R&D"};
const std::vector<std::string> kPeople = {"Anna Berg", "Jörg Haas", "Li Wei", "Marta Nowak", "Peter Olsen", "Zoë Hart"};
const std::vector<std::string> kWords = {"delivery", "order", "claim", "renewal", "audit", "notice", "report", "offer"};

bool FitsAnsi(const std::string& text) {
  for (char32_t code : CodePoints(text)) {
    if (code >= 0x80 && (code < 0xA0 || code > 0xFF)) return false;
  }
  return true;
}

std::string Encode(const std::string& text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom:
      return "\xEF\xBB\xBF" + text;
    case TextEncoding::Utf8:
      return text;
    case TextEncoding::Ansi: {
      std::string out;
      for (char32_t code : CodePoints(text)) out.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
      return out;
    }
    case TextEncoding::Utf16Le: {
      std::string out = "\xFF\xFE";
      const auto put = [&out](char32_t unit) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
      };
      for (char32_t code : CodePoints(text)) {
        if (code >= 0x10000) {
          put(0xD800 + ((code - 0x10000) >> 10));
          put(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
          put(code);
        }
      }
      return out;
    }
  }
  return text;
}

std::string Format(const char* format, int a, int b = 0) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, a, b);
  return buffer;
}

bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// Single-page files of the project's TIFF test data that stand in for pages scanned elsewhere.
const std::vector<std::string> kForeignPages = {"G4.TIF",        "CCITT_1.TIF",  "bitonal.tif", "quad-jpeg.tif",
                                                "zackthecat.tif", "jello.tif",    "strike.tif",  "palette1bpp.tif"};

}  // namespace

BatchWriter::BatchWriter(std::string setFolder, uint64_t seed, std::string testdataFolder, std::ostream& manifest)
    : m_setFolder(std::move(setFolder)), m_seed(seed), m_testdata(std::move(testdataFolder)), m_manifest(manifest) {}

std::string BatchWriter::Value(const BatchSpec& spec, const std::string& field, int index) {
  std::string value;
  if (field == "Customer" || field == "Party") {
    do {
      value = m_random.Pick(kCustomers);
      // A value holding the delimiter is only publishable inside quotes.
    } while ((spec.encoding == TextEncoding::Ansi && !FitsAnsi(value)) ||
             (!spec.quoted && value.find(spec.delimiter) != std::string::npos));
  } else if (field == "Invoice No") {
    value = Format("INV-%06d", index + 1);
  } else if (field == "Contract") {
    value = Format("C-%05d", m_random.Range(1, 99999));
  } else if (field == "Date") {
    value = Format("2008-%02d-%02d", m_random.Range(1, 12), m_random.Range(1, 28));
  } else if (field == "Year") {
    value = Format("%d", m_random.Range(1998, 2008));
  } else if (field == "Amount") {
    value = Format("%d.%02d", m_random.Range(1, 99999), m_random.Range(0, 99));
  } else if (field == "City") {
    value = m_random.Pick(kCities);
  } else if (field == "Department") {
    value = m_random.Pick(kDepartments);
  } else if (field == "Employee") {
    value = m_random.Pick(kPeople);
  } else if (field == "Account") {
    value = Format("%08d", m_random.Range(1, 99999999));
  } else {
    value = m_random.Pick(kWords) + " " + m_random.Pick(kWords);
  }
  if (spec.encoding == TextEncoding::Ansi && !FitsAnsi(value)) value = m_random.Pick(kWords);
  return value;
}

// Fields 0 to 12 as a publisher writes them (sequence, volume, number, batch ID, date, six flags,
// the page count, one more flag), then the index values.
std::string BatchWriter::Line(const BatchSpec& spec, const Document& document, int pageField) const {
  std::vector<std::string> fields = {"001", "1", document.number, "B0000001", "20080220", "0", "0", "0", "0", "0", "0",
                                     pageField < 0 ? std::string("x") : std::to_string(pageField), "0"};
  fields.insert(fields.end(), document.values.begin(), document.values.end());
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line.push_back(spec.delimiter);
    line += spec.quoted ? "\"" + fields[i] + "\"" : fields[i];
  }
  return line;
}

bool BatchWriter::Write(const BatchSpec& spec) {
  m_random = Random(m_seed ^ std::hash<std::string>()(spec.folder));
  const fs::path root = fs::path(m_setFolder) / spec.folder / spec.docCd;
  const fs::path database = root / spec.database;
  const fs::path data = root / spec.data;
  std::error_code error;
  fs::create_directories(database, error);
  fs::create_directories(data, error);
  if (error) return false;

  const std::string eol = spec.crlf ? "\r\n" : "\n";
  std::string header = "\"PUBLISHED INDEX\"" + eol + "\"" + spec.name + "\"" + eol + "2008-02-20" + eol + "VOL001" + eol +
                       "\"Sample Publisher\"" + eol + std::to_string(spec.fields.size()) + eol;
  for (const std::string& field : spec.fields) header += "\"" + field + "\"" + eol;
  if (!WriteFile(database / spec.header, Encode(header, spec.encoding))) return false;

  std::string index;
  int lines = 0;
  int valid = 0;
  std::map<std::string, int> firstFieldCounts;
  const auto addLine = [&](const std::string& line, bool isValid) {
    index += line + eol;
    ++lines;
    valid += isValid ? 1 : 0;
  };
  for (int i = 0; i < spec.documents; ++i) {
    Document document;
    document.number = Format("%08d", spec.firstNumber + i);
    document.pages = m_random.Range(spec.minPages, spec.maxPages);
    for (const std::string& field : spec.fields) document.values.push_back(Value(spec, field, i));
    fs::create_directories(data / document.number.substr(7, 1) / document.number.substr(5, 2), error);
    if (error) return false;
    if ((spec.imagesFor < 0 || i < spec.imagesFor) && !WriteImages(spec, (data).string(), document)) return false;
    if (!spec.fields.empty()) ++firstFieldCounts[document.values[0]];
    // Now and then a page count that is not a number, which reads as 0.
    addLine(Line(spec, document, spec.faults && i % 50 == 7 ? -1 : document.pages), true);

    if (spec.faults && i % 40 == 3) {
      addLine("001;1;0000", false);  // shorter than any document line
      Document shortLine = document;
      shortLine.values.clear();
      std::string line = Line(spec, shortLine, 1);
      line = line.substr(0, line.rfind(spec.delimiter));  // eleven fields only
      line = line.substr(0, line.rfind(spec.delimiter));
      addLine(line, false);
      Document homeless = document;
      homeless.number = "00000Z90";  // its image folder DATA/0/Z9 is never made
      addLine(Line(spec, homeless, 1), false);
      // Bytes of a damaged file: control characters, a NUL and (in UTF-8 files) invalid sequences.
      std::string garbage = std::string("\x01\x02garbage\x7F") + std::string(30, spec.delimiter);
      garbage += std::string(1, '\0') + "tail";
      if (spec.encoding == TextEncoding::Utf8Bom || spec.encoding == TextEncoding::Utf8) garbage += "\xC3\x28\xFF";
      addLine(garbage, false);
    }
  }
  if (!WriteFile(database / spec.index, Encode(index, spec.encoding))) return false;

  m_manifest << "batch\t" << spec.folder << '\t' << spec.name << '\t' << lines << '\t' << valid << '\n';
  if (!spec.fields.empty()) {
    for (const auto& [value, count] : firstFieldCounts) {
      m_manifest << "value\t" << spec.folder << '\t' << spec.fields[0] << '\t' << value << '\t' << count << '\n';
    }
  }
  return static_cast<bool>(m_manifest);
}

bool BatchWriter::WriteImages(const BatchSpec& spec, const std::string& dataFolder, const Document& document) {
  const fs::path folder = fs::path(dataFolder) / document.number.substr(7, 1) / document.number.substr(5, 2);
  const std::string prefix = document.number.substr(0, 5);
  const int serial = std::stoi(document.number);
  int found = document.pages;
  if (spec.faults && serial % 97 == 5) found = 0;  // a document whose pages never arrived
  if (spec.faults && serial % 97 == 11 && document.pages > 2) found = document.pages - 1;
  if (found != document.pages || serial - spec.firstNumber < 3) {
    m_manifest << "images\t" << spec.folder << '\t' << document.number << '\t' << found << '\n';
  }
  if (found == 0) return true;
  for (int page = 1; page <= document.pages; ++page) {
    // Numbering with a gap: the pages after it are not the document's.
    const int number = page > found ? page + 1 : page;
    const fs::path path = folder / (prefix + Format("%03d", number) + spec.imageExtension);
    if (!WritePage(spec, document, page, path.string())) return false;
  }
  if (spec.faults && serial % 97 == 17) {
    const fs::path stray = folder / (prefix + "001A" + spec.imageExtension);
    if (!WritePage(spec, document, 1, stray.string())) return false;
  }
  return true;
}

bool BatchWriter::WritePage(const BatchSpec& spec, const Document& document, int page, const std::string& path) {
  // Mostly Group 4 pages, now and then a grey or colour JPEG page or a page from elsewhere.
  const int kind = m_pageCounter++ % 17;
  if (kind == 16 && !m_testdata.empty()) {
    const fs::path source = fs::path(m_testdata) / "tiff" / m_random.Pick(kForeignPages);
    std::error_code error;
    if (fs::copy_file(source, path, fs::copy_options::overwrite_existing, error)) {
      fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read, error);
      return !error;
    }
  }
  const int width = spec.dpi * 827 / 100;
  const int height = spec.dpi * 1169 / 100;
  PageImage image(width, height);
  const int scale = std::max(2, width / 110);
  const int left = width / 10;
  int y = height / 12;
  image.FillRect(left / 2, left / 2, width - left, scale, 0);
  for (const std::string& text : {spec.folder, "DOC " + document.number, "PAGE " + std::to_string(page) + " / " + std::to_string(document.pages)}) {
    image.DrawText(left, y, scale, text);
    y += scale * 10;
  }
  for (size_t i = 0; i < document.values.size() && i < 4; ++i) {
    image.DrawText(left, y, scale / 2, spec.fields[i] + ": " + document.values[i]);
    y += scale * 5;
  }
  image.DrawPrintLines(y + scale * 4, height - height / 10, m_random);
  if (kind == 5) return image.WriteJpeg(path, spec.dpi, false);
  if (kind == 11) return image.WriteJpeg(path, spec.dpi, true);
  return image.WriteGroup4(path, spec.dpi);
}
