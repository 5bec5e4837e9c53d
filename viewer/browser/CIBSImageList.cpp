#include "viewer/browser/CIBSImageList.h"

#include "viewer/model/CIBSDocument.h"

#include <memory>

IMPLEMENT_DYNCREATE(CIBSImageList, CObject)

CIBSImageList::~CIBSImageList() { RemoveAll(); }

int CIBSImageList::GetCount() {
  CSingleLock lock(&m_listLock);
  return lock.Lock() ? m_items.GetCount() : 0;
}

CIBSImageListItem* CIBSImageList::AddImage(CIBSImage* image) {
  std::unique_ptr<CIBSImage> owned(image);
  CSingleLock lock(&m_listLock);
  if (!owned || !lock.Lock()) return nullptr;
  POSITION pos = nullptr;
  auto* item = static_cast<CIBSImageListItem*>(m_items.AddNewTail(RUNTIME_CLASS(CIBSImageListItem), pos));
  if (!item) return nullptr;
  if (!item->SetSourceImage(owned.get())) {
    m_items.RemoveAt(pos);
    return nullptr;
  }
  owned.release();
  return item;
}

BOOL CIBSImageList::RemoveAll() {
  CSingleLock lock(&m_listLock);
  if (!lock.Lock()) return FALSE;
  m_items.RemoveAll();
  return TRUE;
}

CIBSImageListItem* CIBSImageList::GetItem(int index) {
  CSingleLock lock(&m_listLock);
  if (!lock.Lock() || index < 0 || index >= m_items.GetCount()) return nullptr;
  return static_cast<CIBSImageListItem*>(m_items.GetAtIndex(index));
}

void CIBSImageList::SetDocument(CIBSDocument* document) {
  CSingleLock lock(&m_documentLock);
  if (lock.Lock()) m_pDocument = document;
}

CIBSDocument* CIBSImageList::GetDocument() {
  CSingleLock lock(&m_documentLock);
  return lock.Lock() ? m_pDocument : nullptr;
}

BOOL CIBSImageList::CollectImageFiles(CDPXStringList& paths) {
  paths.RemoveAll();
  CIBSDocument* document = GetDocument();
  return document && document->CollectImageFiles(paths);
}

BOOL CIBSImageList::Load() {
  CSingleLock lock(&m_loadLock);
  if (!lock.Lock() || !RemoveAll()) return FALSE;
  CDPXStringList paths;
  if (!CollectImageFiles(paths)) return FALSE;
  for (POSITION pos = paths.GetHeadPosition(); pos;) {
    CString path;
    paths.GetNext(pos, path);
    auto image = std::make_unique<CIBSImage>();
    image->SetPath(path);
    if (!AddImage(image.release())) return FALSE;
  }
  return TRUE;
}

BOOL CIBSImageList::LoadImageInto(int index, CQVBitmapHandle& bitmap) {
  CIBSImage image;
  {
    CSingleLock lock(&m_listLock);
    if (!lock.Lock() || index < 0 || index >= m_items.GetCount()) return FALSE;
    image.SetPath(static_cast<CIBSImageListItem*>(m_items.GetAtIndex(index))->GetImagePath());
  }
  return !image.GetPath().IsEmpty() && image.LoadImage(bitmap);
}

CString CIBSImageList::GetImagePath(CIBSImageList* list, int number) {
  if (!list || number < 1) return CString();
  CSingleLock lock(&list->m_listLock);
  if (!lock.Lock() || number > list->m_items.GetCount()) return CString();
  return static_cast<CIBSImageListItem*>(list->m_items.GetAtIndex(number - 1))->GetImagePath();
}
