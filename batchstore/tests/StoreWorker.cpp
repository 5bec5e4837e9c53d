// A second process for the batch-store tests: works on the batch "B1" of a job root folder.
//   StoreWorker <root> churn <seed>    prints "churning", then moves, splits, merges and inserts
//                                      without end
//   StoreWorker <root> insert <count>  inserts documents at the front; prints "inserted <n>"
#include "batchstore/CQVBDEFS.h"
#include "IdItems.h"
#include "platform/core/paths.h"

#include <cstdio>
#include <random>
#include <string>

namespace {

void Churn(CQVBDEFS& store, unsigned seed) {
  std::mt19937 random(seed);
  std::printf("churning\n");
  std::fflush(stdout);
  for (;;) {
    CQVBDEIDList list;
    if (!store.GetDocumentList(list)) continue;
    std::vector<ULONG> documents = IdItems(list);
    if (documents.empty()) return;
    auto pick = [&] { return documents[random() % documents.size()]; };
    ULONG a = pick(), b = pick(), made = 0;
    switch (random() % 6) {
      case 0: store.MoveDocument(a, b); break;
      case 1: store.MoveDocumentAsFirstDocument(a); break;
      case 2: store.MovePageAsFirstPage(a, 1, b); break;
      case 3: store.SplitDocumentToNext(a, 2, made); break;
      case 4: store.MergeDocuments(a, b); break;
      case 5: {
        CQVBDEIDList pages;
        if (store.GetPageList(a, pages) && pages.GetSize() == 0) store.RemoveDocument(a);
        else store.InsertDocument(1);
        break;
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  CQVBDEFS store;
  store.GetHelper().SetJobRootDir(PathFromNative(argv[1]));
  store.GetHelper().SetActiveBatch(u"B1");
  std::string mode = argv[2];
  if (mode == "churn") {
    Churn(store, static_cast<unsigned>(std::stoul(argv[3])));
    return 0;
  }
  if (mode == "insert") {
    int count = std::stoi(argv[3]), done = 0;
    for (int i = 0; i < count; ++i) done += store.InsertDocument(1) ? 1 : 0;
    std::printf("inserted %d\n", done);
    return 0;
  }
  return 2;
}
