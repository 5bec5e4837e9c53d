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
  BatchSpec invoices;
  invoices.folder = "Batch01";
  invoices.name = "Invoices 2008";
  invoices.fields = {"Customer", "Invoice No", "Date", "Amount"};
  invoices.documents = 8;
  invoices.firstNumber = 12340;
  BatchSpec contracts;
  contracts.folder = "Batch02";
  contracts.name = "Contracts";
  contracts.fields = {"Party", "Contract", "Year"};
  contracts.documents = 5;
  contracts.firstNumber = 500;
  contracts.quoted = true;
  return {invoices, contracts};
}

std::vector<BatchSpec> RealisticSet() {
  BatchSpec invoices;
  invoices.folder = "Invoices";
  invoices.name = "Invoices 2008";
  invoices.fields = {"Customer", "Invoice No", "Date", "Amount", "City"};
  invoices.documents = 400;
  invoices.firstNumber = 10001;
  invoices.maxPages = 6;
  invoices.faults = true;

  BatchSpec contracts;
  contracts.folder = "Contracts";
  contracts.name = "Contracts 1998-2008";
  contracts.fields = {"Party", "Contract", "Year", "Department"};
  contracts.documents = 250;
  contracts.firstNumber = 20001;
  contracts.quoted = true;
  contracts.maxPages = 12;

  BatchSpec personnel;
  personnel.folder = "Personnel";
  personnel.name = "Personnel files";
  personnel.fields = {"Employee", "Department", "Date"};
  personnel.documents = 150;
  personnel.firstNumber = 30001;
  personnel.delimiter = '\t';
  personnel.encoding = TextEncoding::Utf16Le;

  BatchSpec orders;
  orders.folder = "Orders";
  orders.name = "Orders";
  orders.fields = {"Customer", "Account", "Amount", "Date"};
  orders.documents = 300;
  orders.firstNumber = 40001;
  orders.delimiter = ',';
  orders.encoding = TextEncoding::Ansi;
  orders.crlf = false;
  orders.faults = true;

  BatchSpec archive;
  archive.folder = "archive";
  archive.name = "Archive (copied from a disc)";
  archive.fields = {"Customer", "Subject"};
  archive.documents = 120;
  archive.firstNumber = 50001;
  archive.docCd = "doc_cd";
  archive.data = "data";
  archive.database = "database";
  archive.index = "INDEX.DAT";
  archive.header = "IndexHdr.dat";
  archive.imageExtension = ".tif";
  return {invoices, contracts, personnel, orders, archive};
}

std::vector<BatchSpec> LargeSet(int documents) {
  std::vector<BatchSpec> set;
  const int batches = 4;
  for (int b = 0; b < batches; ++b) {
    BatchSpec spec;
    spec.folder = "Large" + std::to_string(b + 1);
    spec.name = "Large batch " + std::to_string(b + 1);
    spec.fields = {"Customer", "Invoice No", "Date", "Amount", "City", "Department"};
    spec.documents = documents / batches + (b < documents % batches ? 1 : 0);
    spec.firstNumber = 1;
    spec.maxPages = 5;
    spec.imagesFor = 20;
    set.push_back(spec);
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
