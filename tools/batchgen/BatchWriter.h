#pragma once
// Writes one published batch: the folder tree, "indexhdr.dat", "index.dat" and the image files of
// every document, named and placed where the viewer looks for them, and reports what it wrote to
// the set's manifest.

#include "tools/batchgen/Random.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

enum class TextEncoding { Utf8Bom, Utf8, Ansi, Utf16Le };

struct BatchSpec {
  std::string folder;  // the batch root, relative to the set's folder
  std::string name;    // the batch name of the header
  std::vector<std::string> fields;
  int documents { 0 };
  int firstNumber { 1 };
  char delimiter { ';' };
  bool quoted { false };
  TextEncoding encoding { TextEncoding::Utf8Bom };
  bool crlf { true };
  // How the publisher spelled the names of the layout on disk.
  std::string docCd { "DOC_CD" };
  std::string data { "DATA" };
  std::string database { "Database" };
  std::string index { "index.dat" };
  std::string header { "indexhdr.dat" };
  std::string imageExtension { ".TIF" };
  int minPages { 1 };
  int maxPages { 3 };
  // How many documents, from the first, get image files; all when negative.
  int imagesFor { -1 };
  // Adds lines that must be rejected, a document with a gap in its pages, one with a stray file
  // and one without any image file.
  bool faults { false };
  int dpi { 100 };
};

class BatchWriter {
public:
  BatchWriter(std::string setFolder, uint64_t seed, std::string testdataFolder, std::ostream& manifest);
  bool Write(const BatchSpec& spec);

private:
  struct Document {
    std::string number;
    int pages { 0 };
    std::vector<std::string> values;
  };

  std::string Value(const BatchSpec& spec, const std::string& field, int index);
  std::string Line(const BatchSpec& spec, const Document& document, int pageField) const;
  bool WriteImages(const BatchSpec& spec, const std::string& dataFolder, const Document& document);
  bool WritePage(const BatchSpec& spec, const Document& document, int page, const std::string& path);

  std::string m_setFolder;
  uint64_t m_seed;
  std::string m_testdata;
  std::ostream& m_manifest;
  Random m_random { 0 };
  int m_pageCounter { 0 };
};
