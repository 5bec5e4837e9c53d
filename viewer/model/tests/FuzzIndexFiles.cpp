// A published batch's index files: the input holds the header file ("indexhdr.dat"), a form feed,
// then the index ("index.dat"). The header and every line of the index are read as a search
// reads them, each document is asked for its values, and a few searches run over the batch.

#include "foundation/util/CDPXStringList.h"
#include "viewer/model/CIBSBatch.h"
#include "tools/fuzz/FuzzSupport.h"

#include <filesystem>
#include <string_view>

namespace {

// The batch's folders, with the image folders of the document numbers the seeds use.
void MakeBatchFolders() {
  static const bool made = [] {
    const std::string root = fuzz::Folder() + "/batch";
    std::filesystem::create_directories(root + "/DOC_CD/Database");
    for (char last = '0'; last <= '9'; ++last)
      for (const char* middle : {"00", "34", "35"})
        std::filesystem::create_directories(root + "/DOC_CD/DATA/" + last + "/" + middle);
    return true;
  }();
  fuzz::Check(made, "the batch's folders cannot be made");
}

void ReadDocuments(CIBSBatch& batch) {
  for (int index = 0; index < batch.GetDocumentCount(); ++index) {
    CIBSDocument* document = batch.GetDocument(index);
    fuzz::Check(document != nullptr, "a document of the count is missing");
    CString number, value;
    document->GetDocumentNumber(number);
    fuzz::Check(number.GetLength() <= CIBSDocument::kNumberLength, "a document number is too long");
    for (int field = 0; field < document->GetValueCount(); ++field) {
      fuzz::Check(document->GetValue(field, value), "a value of the document's fields cannot be read");
      fuzz::Check(document->HasValue(field) || value.IsEmpty(), "a missing value has a text");
    }
    fuzz::Check(!document->IsValid() || document->GetValueCount() == batch.GetFieldCount(),
                "a valid document has another number of fields than its batch");
  }
}

void Search(CIBSBatch& batch) {
  CDPXStringList names;
  batch.GetFieldNames(names);
  for (LPCWSTR pattern : {u"*", u"*a*", u"?*1", u"\u00e5*"}) {
    CDPXStringList values;
    for (int field = 0; field < names.GetCount(); ++field) values.Add(pattern);
    CIBSDocumentList results;
    const int hits = batch.Search(u"*", names, values, results);
    fuzz::Check(hits >= 0 && hits <= batch.GetDocumentCount() && static_cast<size_t>(hits) == results.size(),
                "a search found more documents than the batch holds");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = std::min(input.find('\f'), input.size());
  MakeBatchFolders();
  fuzz::WriteFile("batch/DOC_CD/Database/indexhdr.dat", input.substr(0, split));
  fuzz::WriteFile("batch/DOC_CD/Database/index.dat", input.substr(std::min(split + 1, input.size())));

  CIBSBatch batch;
  const CString folder = fuzz::PathOf("batch/DOC_CD/Database/");
  batch.SetPaths(fuzz::PathOf("batch/"), folder + u"index.dat", folder + u"indexhdr.dat");
  const BOOL header = batch.ReadIndexHeader();
  fuzz::Check(batch.ReadIndex(), "an index file that is there cannot be read");
  ReadDocuments(batch);
  if (header) Search(batch);
  return 0;
}
