// Makes sets of published batches for tests, demonstrations and benchmarks:
//
//   qv_batchgen --set small|realistic|large --out FOLDER [--seed N] [--documents N] [--testdata FOLDER]
//
// Every set is a folder of batch roots (the viewer's "folder of batches" search mode) with a
// manifest.txt that says what a reader must find: per batch its name, line count and valid
// documents, per value of the first index field its document count, and the image count of
// selected documents. The small set also gets "orbel.dps", a profile that opens its first batch.

#include "tools/batchgen/BatchWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::vector<BatchSpec> SmallSet() {
  return {
      {.folder = "Batch01", .name = "Invoices 2008", .fields = {"Customer", "Invoice No", "Date", "Amount"}, .documents = 8,
       .firstNumber = 12340},
      {.folder = "Batch02", .name = "Contracts", .fields = {"Party", "Contract", "Year"}, .documents = 5, .firstNumber = 500,
       .quoted = true},
  };
}

// Several batches with other field sets, quoted and unquoted lines, other delimiters and
// encodings, lines that must be rejected, and names on disk in other letter case.
std::vector<BatchSpec> RealisticSet() {
  return {
      {.folder = "Invoices", .name = "Invoices 2008", .fields = {"Customer", "Invoice No", "Date", "Amount", "City"},
       .documents = 400, .firstNumber = 10001, .maxPages = 6, .faults = true},
      {.folder = "Contracts", .name = "Contracts 1998-2008", .fields = {"Party", "Contract", "Year", "Department"},
       .documents = 250, .firstNumber = 20001, .quoted = true, .maxPages = 12},
      {.folder = "Personnel", .name = "Personnel files", .fields = {"Employee", "Department", "Date"}, .documents = 150,
       .firstNumber = 30001, .delimiter = '\t', .encoding = TextEncoding::Utf16Le},
      {.folder = "Orders", .name = "Orders", .fields = {"Customer", "Account", "Amount", "Date"}, .documents = 300,
       .firstNumber = 40001, .delimiter = ',', .encoding = TextEncoding::Ansi, .crlf = false, .faults = true},
      {.folder = "archive", .name = "Archive (copied from a disc)", .fields = {"Customer", "Subject"}, .documents = 120,
       .firstNumber = 50001, .docCd = "doc_cd", .data = "data", .database = "database", .index = "INDEX.DAT",
       .header = "IndexHdr.dat", .imageExtension = ".tif"},
  };
}

// Four batches with six fields; only their first documents have image files (a search needs only
// the folders).
std::vector<BatchSpec> LargeSet(int documents) {
  std::vector<BatchSpec> set;
  const int batches = 4;
  for (int b = 0; b < batches; ++b) {
    set.push_back({.folder = "Large" + std::to_string(b + 1), .name = "Large batch " + std::to_string(b + 1),
                   .fields = {"Customer", "Invoice No", "Date", "Amount", "City", "Department"},
                   .documents = documents / batches + (b < documents % batches ? 1 : 0), .maxPages = 5, .imagesFor = 20});
  }
  return set;
}

// The folder is emptied only when it holds an earlier set (or nothing), never anything else.
bool PrepareFolder(const fs::path& folder) {
  std::error_code error;
  if (fs::exists(folder, error)) {
    if (!fs::is_empty(folder, error) && !fs::exists(folder / "manifest.txt", error)) {
      std::cerr << "qv_batchgen: " << folder << " holds files that are not a sample set\n";
      return false;
    }
    fs::remove_all(folder, error);
  }
  fs::create_directories(folder, error);
  return !error;
}

int Usage() {
  std::cerr << "usage: qv_batchgen --set small|realistic|large --out FOLDER [--seed N] [--documents N] "
               "[--testdata FOLDER]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string set;
  std::string out;
  std::string testdata;
  uint64_t seed = 1;
  int documents = 1000000;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const std::string value = argv[i + 1];
    if (option == "--set") {
      set = value;
    } else if (option == "--out") {
      out = value;
    } else if (option == "--seed") {
      seed = std::strtoull(value.c_str(), nullptr, 10);
    } else if (option == "--documents") {
      documents = std::atoi(value.c_str());
    } else if (option == "--testdata") {
      testdata = value;
    } else {
      return Usage();
    }
  }
  if (argc % 2 == 0 || out.empty() || documents < 1) return Usage();
  std::vector<BatchSpec> specs;
  if (set == "small") {
    specs = SmallSet();
  } else if (set == "realistic") {
    specs = RealisticSet();
  } else if (set == "large") {
    specs = LargeSet(documents);
  } else {
    return Usage();
  }

  const fs::path folder = fs::absolute(out);
  if (!PrepareFolder(folder)) return 1;
  std::ofstream manifest(folder / "manifest.txt.part", std::ios::binary);
  BatchWriter writer(folder.string(), seed, testdata, manifest);
  for (const BatchSpec& spec : specs) {
    if (!writer.Write(spec)) {
      std::cerr << "qv_batchgen: cannot write batch " << spec.folder << " in " << folder << '\n';
      return 1;
    }
  }
  if (set == "small") {
    const BatchSpec& first = specs.front();
    const fs::path root = folder / first.folder;
    const fs::path database = root / first.docCd / first.database;
    std::ofstream profile(folder / "orbel.dps", std::ios::binary);
    profile << "[Orbel]\r\nRoot = " << (root / "").string() << "\r\nIndex = " << (database / first.index).string()
            << "\r\nIndexHdr = " << (database / first.header).string() << "\r\n";
  }
  manifest.close();
  // The manifest appears last, so that a set without one is known to be unfinished.
  std::error_code error;
  fs::rename(folder / "manifest.txt.part", folder / "manifest.txt", error);
  return error ? 1 : 0;
}
