#include "foundation/language/CQVRCMModuleItemList.h"

#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/util/DPXPath.h"
#include "platform/core/globalmem.h"
#include "platform/core/module.h"

IMPLEMENT_DYNCREATE(CQVRCMModuleItem, CObject)
IMPLEMENT_DYNCREATE(CQVRCMModuleItemList, CDPXObList)

CQVRCMModuleItem::~CQVRCMModuleItem() { delete m_pReader; }

BOOL CQVRCMModuleItemList::CheckModule(HINSTANCE& module) {
  if (!module) module = GetModuleHandleW(nullptr);
  return module != nullptr;
}

BOOL CQVRCMModuleItemList::IsAppModule(HINSTANCE module) {
  return module && module == GetModuleHandleW(nullptr);
}

POSITION CQVRCMModuleItemList::Find(HINSTANCE module) {
  CSingleLock lock(&m_lock, TRUE);
  for (POSITION pos = GetHeadPosition(); pos;) {
    const POSITION here = pos;
    if (static_cast<CQVRCMModuleItem*>(GetNext(pos))->m_hModule == module) return here;
  }
  return nullptr;
}

CQVRCMModuleItem* CQVRCMModuleItemList::FindModule(HINSTANCE module) {
  if (!CheckModule(module)) return nullptr;
  CSingleLock lock(&m_lock, TRUE);
  return static_cast<CQVRCMModuleItem*>(GetAt(Find(module)));
}

CQVRCMModuleItem* CQVRCMModuleItemList::FindAppModule() { return FindModule(nullptr); }

int CQVRCMModuleItemList::GetCount() {
  CSingleLock lock(&m_lock, TRUE);
  return CDPXObList::GetCount();
}

CQVRCMModuleItem* CQVRCMModuleItemList::Add(HINSTANCE module, LPCWSTR fileName, BOOL sharesLanguage) {
  if (!CheckModule(module)) return nullptr;
  CSingleLock lock(&m_lock, TRUE);
  if (CQVRCMModuleItem* item = FindModule(module)) return item;
  CString name(fileName);
  name.Trim();
  if (name.IsEmpty()) return nullptr;
  auto* item = static_cast<CQVRCMModuleItem*>(AddNewTail(RUNTIME_CLASS(CQVRCMModuleItem)));
  if (!item) return nullptr;
  item->m_hModule = module;
  item->m_strFileName = name;
  item->m_bSharesLanguage = sharesLanguage;
  return item;
}

void CQVRCMModuleItemList::Remove(HINSTANCE module) {
  if (!CheckModule(module)) return;
  CSingleLock lock(&m_lock, TRUE);
  if (POSITION pos = Find(module)) RemoveAt(pos);
}

CDPXDRSReader* CQVRCMModuleItemList::GetRCM(CQVRCMModuleItem* item) {
  if (!item) return nullptr;
  CSingleLock lock(&m_lock, TRUE);
  if (item->m_pReader) return item->m_pReader;
  CString folder;
  DPXGetModuleFolder(item->m_hModule, folder);
  if (folder.IsEmpty()) return nullptr;
  auto* reader = new CDPXDRSReader;
  if (!reader->Open(folder + item->m_strFileName)) {
    delete reader;
    return nullptr;
  }
  item->m_pReader = reader;
  CString language;
  if (item->m_bSharesLanguage && m_bLanguagePushed) language = m_strPushedLanguage;
  else CDPXDRSReader::GetUserDefaultLanguage(language);
  reader->SetCurrentLanguage(language);
  return reader;
}

BOOL CQVRCMModuleItemList::Search(HINSTANCE module, const std::function<BOOL(CDPXDRSReader&)>& ask) {
  if (!CheckModule(module)) return FALSE;
  CSingleLock lock(&m_lock, TRUE);
  auto answers = [&](CQVRCMModuleItem* item) {
    CDPXDRSReader* reader = GetRCM(item);
    return reader && ask(*reader);
  };
  if (answers(FindModule(module))) return TRUE;
  if (!IsAppModule(module) && answers(FindAppModule())) return TRUE;
  for (POSITION pos = GetHeadPosition(); pos;) {
    auto* item = static_cast<CQVRCMModuleItem*>(GetNext(pos));
    if (item->m_hModule != module && !IsAppModule(item->m_hModule) && item->m_bSharesLanguage && answers(item))
      return TRUE;
  }
  return FALSE;
}

BOOL CQVRCMModuleItemList::LoadText(LPCWSTR key, CString& text, HINSTANCE module) {
  return Search(module, [&](CDPXDRSReader& reader) { return reader.LoadText(key, text, FALSE); });
}

BOOL CQVRCMModuleItemList::LoadBitmapW(LPCWSTR key, CDPXDIBHandle& image, HINSTANCE module) {
  return Search(module, [&](CDPXDRSReader& reader) { return reader.LoadDIB(key, image); });
}

BOOL CQVRCMModuleItemList::LoadBitmapW(LPCWSTR key, CBitmap& bitmap, HINSTANCE module) {
  return Search(module, [&](CDPXDRSReader& reader) { return reader.LoadBitmap(key, bitmap); });
}

BOOL CQVRCMModuleItemList::LoadBitmapW(LPCWSTR key, CQVBitmapHandle& image, HINSTANCE module) {
  image.Free();
  CDPXDIBHandle dib;
  if (!LoadBitmapW(key, dib, module)) return FALSE;
  HGLOBAL block = dib.Detach();
  if (image.ChangeFromDIB(block)) return TRUE;
  GlobalFree(block);  // a refused block stays ours
  return FALSE;
}

BOOL CQVRCMModuleItemList::LoadData(LPCWSTR key, LPCWSTR target, HINSTANCE module) {
  return Search(module, [&](CDPXDRSReader& reader) { return reader.LoadData(key, target); });
}

BOOL CQVRCMModuleItemList::LoadButton(LPCWSTR key, CDPXBitmapButton& button, HINSTANCE module) {
  return Search(module, [&](CDPXDRSReader& reader) { return reader.LoadButton(key, button); });
}

int CQVRCMModuleItemList::GetLanguageCount() {
  CSingleLock lock(&m_lock, TRUE);
  CDPXDRSReader* reader = GetRCM(FindAppModule());
  return reader ? reader->GetLanguageCount() : 0;
}

BOOL CQVRCMModuleItemList::GetLanguage(int index, CString& name, CString& description, int& fallback) {
  CSingleLock lock(&m_lock, TRUE);
  CDPXDRSReader* reader = GetRCM(FindAppModule());
  return reader && reader->GetLanguage(index, name, description, fallback);
}

BOOL CQVRCMModuleItemList::SetCurrentLanguage(LPCWSTR name, HINSTANCE module, BOOL thisModuleOnly) {
  if (!CheckModule(module)) return FALSE;
  CSingleLock lock(&m_lock, TRUE);
  CQVRCMModuleItem* asking = FindModule(module);
  CDPXDRSReader* reader = GetRCM(asking);
  if (!reader || !reader->SetCurrentLanguage(name)) return FALSE;
  if (thisModuleOnly) return TRUE;
  m_bLanguagePushed = TRUE;
  m_strPushedLanguage = name;
  for (POSITION pos = GetHeadPosition(); pos;) {
    auto* item = static_cast<CQVRCMModuleItem*>(GetNext(pos));
    if (item == asking || !item->m_bSharesLanguage) continue;
    // A file opened now starts in the language just pushed; failures there are ignored.
    if (item->m_pReader) item->m_pReader->SetCurrentLanguage(name);
    else GetRCM(item);
  }
  return TRUE;
}

BOOL CQVRCMModuleItemList::GetCurrentLanguage(CString& name, HINSTANCE module) {
  CSingleLock lock(&m_lock, TRUE);
  CDPXDRSReader* reader = GetRCM(FindModule(module));
  return reader && reader->GetCurrentLanguage(name);
}
