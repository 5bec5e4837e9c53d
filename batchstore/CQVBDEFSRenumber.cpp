// Dense renumbering of the batch store: inserting at an ID, removing with the gap closed, moving
// inside one parent and into another, moving pages, splitting and merging documents. The same
// plans serve folders (documents in the batch, pages in a document) and image entries (images in
// a page). Each operation reads the IDs it needs from the disk, plans every rename, and hands the
// plan to the batch's intent record, which carries it out all or nothing.
#include "batchstore/CQVBDEFS.h"

#include "batchstore/CQVBDEDisk.h"
#include "batchstore/CQVBDEJournal.h"

#include <algorithm>

namespace {

using Step = CQVBDEJournal::Step;
using Steps = std::vector<Step>;

// A folder whose children are renumbered, relative to the batch folder ("" is the batch itself).
struct Parent {
  std::string path;
  bool images { false };
};

std::string Child(const Parent& parent, ULONG id) { return __CQVBDEDisk::Join(parent.path, __CQVBDEDisk::Name(id)); }

void AddMove(Steps& steps, const Parent& parent, const std::string& from, const std::string& to) {
  steps.push_back({ parent.images ? CQVBDEJournal::stepMoveImage : CQVBDEJournal::stepMoveFolder, from, to });
}

void AddMake(Steps& steps, const Parent& parent, ULONG id) {
  steps.push_back({ parent.images ? CQVBDEJournal::stepMakeImage : CQVBDEJournal::stepMakeFolder, "", Child(parent, id) });
}

// The IDs of the parent's entries. Of a page, files of images without a ".tif" (left by another
// program) would stand in the way of an image renamed to their ID, so they go to the trash first.
BOOL ReadIDs(const std::string& batch, CQVBDEJournal& journal, const Parent& parent, std::vector<ULONG>& ids, Steps& steps) {
  std::string folder = __CQVBDEDisk::Join(batch, parent.path);
  if (!__CQVBDEDisk::IsFolder(folder)) return FALSE;
  if (!parent.images) return __CQVBDEDisk::ListFolderIDs(folder, ids);
  std::vector<ULONG> entries;
  if (!__CQVBDEDisk::ListImageIDs(folder, ids) || !__CQVBDEDisk::ListEntryIDs(folder, entries)) return FALSE;
  for (ULONG id : entries) {
    std::string trash;
    if (std::binary_search(ids.begin(), ids.end(), id)) continue;
    if (!journal.TrashPlace(trash)) return FALSE;
    AddMove(steps, parent, Child(parent, id), trash);
  }
  return TRUE;
}

bool Holds(const std::vector<ULONG>& ids, ULONG id) { return std::binary_search(ids.begin(), ids.end(), id); }

// Frees the ID: the unbroken run of IDs that begins there shifts up by one, last first.
BOOL PlanMakeRoom(const std::vector<ULONG>& ids, ULONG id, const Parent& parent, Steps& steps) {
  auto at = std::lower_bound(ids.begin(), ids.end(), id);
  if (at == ids.end() || *at != id) return TRUE;
  ULONG last = id;
  for (++at; at != ids.end() && *at == last + 1; ++at) last = *at;
  if (!CQVBDEHelper::IsValidID(last + 1)) return FALSE;
  for (ULONG i = last + 1; i-- > id;) AddMove(steps, parent, Child(parent, i), Child(parent, i + 1));
  return TRUE;
}

// After `removed` has gone, every later entry is renumbered densely from its ID on.
void PlanCloseUp(const std::vector<ULONG>& ids, ULONG removed, const Parent& parent, Steps& steps) {
  ULONG next = removed;
  for (ULONG id : ids) {
    if (id <= removed) continue;
    if (id != next) AddMove(steps, parent, Child(parent, id), Child(parent, next));
    ++next;
  }
}

BOOL PlanRemove(CQVBDEJournal& journal, const std::vector<ULONG>& ids, ULONG id, const Parent& parent, Steps& steps) {
  std::string trash;
  if (!Holds(ids, id) || !journal.TrashPlace(trash)) return FALSE;
  AddMove(steps, parent, Child(parent, id), trash);
  PlanCloseUp(ids, id, parent, steps);
  return TRUE;
}

// The pages from fromPage on (0: all) follow the last of `targetPages` in the target document.
BOOL PlanMovePages(const std::string& batch, CQVBDEJournal& journal, ULONG document, ULONG fromPage, ULONG target,
                   const std::vector<ULONG>& targetPages, Steps& steps) {
  if (document == target) return FALSE;
  Parent source { __CQVBDEDisk::Name(document) }, destination { __CQVBDEDisk::Name(target) };
  std::vector<ULONG> pages;
  if (!ReadIDs(batch, journal, source, pages, steps)) return FALSE;
  size_t start = 0;
  if (fromPage != 0) {
    auto at = std::lower_bound(pages.begin(), pages.end(), fromPage);
    if (at == pages.end() || *at != fromPage) return FALSE;
    start = static_cast<size_t>(at - pages.begin());
  } else if (pages.empty()) {
    return TRUE;
  }
  ULONG high = targetPages.empty() ? 0 : targetPages.back();
  if (!CQVBDEHelper::IsValidID(high + static_cast<ULONG>(pages.size()))) return FALSE;
  for (size_t k = start; k < pages.size(); ++k)
    steps.push_back({ CQVBDEJournal::stepMoveFolder, Child(source, pages[k]), Child(destination, high + 1 + static_cast<ULONG>(k - start)) });
  return TRUE;
}

BOOL PlanInsert(const std::string& batch, CQVBDEJournal& journal, const Parent& parent, ULONG id, Steps& steps) {
  std::vector<ULONG> ids;
  if (!CQVBDEHelper::IsValidID(id) || !ReadIDs(batch, journal, parent, ids, steps) || !PlanMakeRoom(ids, id, parent, steps)) return FALSE;
  AddMake(steps, parent, id);
  return TRUE;
}

// dst 0 stands for none: the first place.
BOOL PlanMove(const std::string& batch, CQVBDEJournal& journal, const Parent& from, ULONG id, const Parent& to, ULONG dst, Steps& steps) {
  std::vector<ULONG> ids;
  if (!CQVBDEHelper::IsValidID(id) || !ReadIDs(batch, journal, from, ids, steps) || !Holds(ids, id)) return FALSE;
  if (from.path == to.path) {
    ULONG target = dst ? dst : 1;
    if (target == id) return TRUE;
    if (!CQVBDEHelper::IsValidID(target)) return FALSE;
    if (!Holds(ids, target)) {
      AddMove(steps, from, Child(from, id), Child(from, target));
      return TRUE;
    }
    ULONG temp = ids.back() + 1;
    if (!CQVBDEHelper::IsValidID(temp)) return FALSE;
    AddMove(steps, from, Child(from, id), Child(from, temp));
    if (target < id) {
      for (auto at = std::lower_bound(ids.begin(), ids.end(), id); at != ids.begin() && *(at - 1) >= target;) {
        --at;
        AddMove(steps, from, Child(from, *at), Child(from, *at + 1));
      }
    } else {
      for (auto at = std::upper_bound(ids.begin(), ids.end(), id); at != ids.end() && *at <= target; ++at)
        AddMove(steps, from, Child(from, *at), Child(from, *at - 1));
    }
    AddMove(steps, from, Child(from, temp), Child(from, target));
    return TRUE;
  }
  // Into another parent: the entry lands after dst, and its old parent closes up behind it.
  ULONG target = dst + 1;
  std::vector<ULONG> targetIds;
  if (!CQVBDEHelper::IsValidID(target) || !ReadIDs(batch, journal, to, targetIds, steps) || !PlanMakeRoom(targetIds, target, to, steps))
    return FALSE;
  AddMove(steps, from, Child(from, id), Child(to, target));
  PlanCloseUp(ids, id, from, steps);
  return TRUE;
}

Parent Batch() { return Parent { "" }; }
Parent Document(ULONG document) { return Parent { __CQVBDEDisk::Name(document) }; }
Parent Page(ULONG document, ULONG page) { return Parent { __CQVBDEDisk::Name(document) + "/" + __CQVBDEDisk::Name(page), true }; }
bool Valid(std::initializer_list<ULONG> ids) {
  return std::all_of(ids.begin(), ids.end(), [](ULONG id) { return CQVBDEHelper::IsValidID(id) != FALSE; });
}

}  // namespace

// Plans under the batch's lock and runs the plan; `batch`, `journal` and `steps` are in scope of
// the planning expression.
#define QV_RUN_PLAN(...)                                                                     \
  WithBatch([&](const std::string& batch, CQVBDEJournal& journal) -> BOOL {                  \
    Steps steps;                                                                             \
    (void)batch;                                                                             \
    (void)journal;                                                                           \
    return (__VA_ARGS__) && journal.Run(steps);                                              \
  })

BOOL CQVBDEFS::InsertDocument(ULONG document) { return QV_RUN_PLAN(PlanInsert(batch, journal, Batch(), document, steps)); }

BOOL CQVBDEFS::RemoveDocument(ULONG document) {
  return QV_RUN_PLAN([&] {
    std::vector<ULONG> ids;
    return ReadIDs(batch, journal, Batch(), ids, steps) && PlanRemove(journal, ids, document, Batch(), steps);
  }());
}

BOOL CQVBDEFS::MoveDocument(ULONG document, ULONG target) {
  return Valid({ document, target }) && QV_RUN_PLAN(PlanMove(batch, journal, Batch(), document, Batch(), target, steps));
}

BOOL CQVBDEFS::MoveDocumentAsFirstDocument(ULONG document) {
  return QV_RUN_PLAN(PlanMove(batch, journal, Batch(), document, Batch(), 0, steps));
}

BOOL CQVBDEFS::InsertPage(ULONG document, ULONG page) {
  return Valid({ document }) && QV_RUN_PLAN(PlanInsert(batch, journal, Document(document), page, steps));
}

BOOL CQVBDEFS::RemovePage(ULONG document, ULONG page) {
  return Valid({ document }) && QV_RUN_PLAN([&] {
           std::vector<ULONG> ids;
           return ReadIDs(batch, journal, Document(document), ids, steps) && PlanRemove(journal, ids, page, Document(document), steps);
         }());
}

BOOL CQVBDEFS::MovePage(ULONG document, ULONG page, ULONG targetDocument, ULONG targetPage) {
  return Valid({ document, page, targetDocument, targetPage }) &&
         QV_RUN_PLAN(PlanMove(batch, journal, Document(document), page, Document(targetDocument), targetPage, steps));
}

BOOL CQVBDEFS::MovePageAsFirstPage(ULONG document, ULONG page, ULONG targetDocument) {
  return Valid({ document, page, targetDocument }) &&
         QV_RUN_PLAN(PlanMove(batch, journal, Document(document), page, Document(targetDocument), 0, steps));
}

BOOL CQVBDEFS::InsertImage(ULONG document, ULONG page, ULONG image) {
  return Valid({ document, page }) && QV_RUN_PLAN(PlanInsert(batch, journal, Page(document, page), image, steps));
}

BOOL CQVBDEFS::RemoveImage(ULONG document, ULONG page, ULONG image) {
  return Valid({ document, page }) && QV_RUN_PLAN([&] {
           std::vector<ULONG> ids;
           return ReadIDs(batch, journal, Page(document, page), ids, steps) && PlanRemove(journal, ids, image, Page(document, page), steps);
         }());
}

BOOL CQVBDEFS::MoveImage(ULONG document, ULONG page, ULONG image, ULONG targetDocument, ULONG targetPage, ULONG targetImage) {
  return Valid({ document, page, image, targetDocument, targetPage, targetImage }) &&
         QV_RUN_PLAN(PlanMove(batch, journal, Page(document, page), image, Page(targetDocument, targetPage), targetImage, steps));
}

BOOL CQVBDEFS::MoveImageAsFirstImage(ULONG document, ULONG page, ULONG image, ULONG targetDocument, ULONG targetPage) {
  return Valid({ document, page, image, targetDocument, targetPage }) &&
         QV_RUN_PLAN(PlanMove(batch, journal, Page(document, page), image, Page(targetDocument, targetPage), 0, steps));
}

BOOL CQVBDEFS::MovePages(ULONG document, ULONG fromPage, ULONG targetDocument) {
  return Valid({ document, targetDocument }) && QV_RUN_PLAN([&] {
           std::vector<ULONG> targetPages;
           return ReadIDs(batch, journal, Document(targetDocument), targetPages, steps) &&
                  PlanMovePages(batch, journal, document, fromPage, targetDocument, targetPages, steps);
         }());
}

BOOL CQVBDEFS::SplitDocumentToLast(ULONG document, ULONG fromPage, ULONG& newDocument) {
  if (!Valid({ document })) return FALSE;
  return QV_RUN_PLAN([&] {
    std::vector<ULONG> documents;
    if (!ReadIDs(batch, journal, Batch(), documents, steps)) return FALSE;
    newDocument = (documents.empty() ? 0 : documents.back()) + 1;
    if (!CQVBDEHelper::IsValidID(newDocument) || !Holds(documents, document)) return FALSE;
    AddMake(steps, Batch(), newDocument);
    return PlanMovePages(batch, journal, document, fromPage, newDocument, {}, steps);
  }());
}

BOOL CQVBDEFS::SplitDocumentToNext(ULONG document, ULONG fromPage, ULONG& newDocument) {
  if (!Valid({ document })) return FALSE;
  newDocument = document + 1;
  return CQVBDEHelper::IsValidID(newDocument) && QV_RUN_PLAN([&] {
           std::vector<ULONG> documents;
           return ReadIDs(batch, journal, Batch(), documents, steps) && Holds(documents, document) &&
                  PlanInsert(batch, journal, Batch(), newDocument, steps) &&
                  PlanMovePages(batch, journal, document, fromPage, newDocument, {}, steps);
         }());
}

BOOL CQVBDEFS::MergeDocuments(ULONG document, ULONG targetDocument) {
  return Valid({ document, targetDocument }) && document != targetDocument && QV_RUN_PLAN([&] {
           std::vector<ULONG> documents, targetPages;
           return ReadIDs(batch, journal, Batch(), documents, steps) && ReadIDs(batch, journal, Document(targetDocument), targetPages, steps) &&
                  PlanMovePages(batch, journal, document, 0, targetDocument, targetPages, steps) &&
                  PlanRemove(journal, documents, document, Batch(), steps);
         }());
}
