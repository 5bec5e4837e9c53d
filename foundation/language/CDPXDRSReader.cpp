#include "foundation/language/CDPXDRSReader.h"

#include "foundation/language/CDPXBitmapButton.h"

#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/CDPXException.h"
#include "foundation/util/DPXLookupTables.h"
#include "platform/core/fileapi.h"
#include "platform/core/globalmem.h"
#include "platform/core/nls.h"
#include "platform/gdi/CBitmap.h"

#include <unordered_set>

IMPLEMENT_DYNCREATE(__CDPXDRSItem, CObject)
IMPLEMENT_DYNCREATE(__CDPXDRSBitmapItem, __CDPXDRSItem)
IMPLEMENT_DYNCREATE(__CDPXDRSTextItem, __CDPXDRSItem)
IMPLEMENT_DYNCREATE(__CDPXDRSButtonItem, __CDPXDRSItem)
IMPLEMENT_DYNCREATE(__CDPXDRSDataItem, __CDPXDRSItem)
IMPLEMENT_DYNCREATE(__CDPXDRSLanguageItem, CObject)
IMPLEMENT_DYNCREATE(CDPXDRSReader, CDPXDRSFile)

namespace {

// Remembers the offsets a chain has passed, so that a damaged chain leading back is refused
// instead of being followed for ever.
class ChainGuard {
public:
  // FALSE when the chain has been at this offset before.
  bool Visit(DWORD offset) { return m_visited.insert(offset).second; }

private:
  std::unordered_set<DWORD> m_visited;
};

}  // namespace

CDPXObList* __CDPXDRSLanguageItem::GetItemList(int kind) {
  switch (kind) {
  case CDPXDRSReader::itemBitmap: return &m_BitmapItems;
  case CDPXDRSReader::itemText: return &m_TextItems;
  case CDPXDRSReader::itemButton: return &m_ButtonItems;
  case CDPXDRSReader::itemData: return &m_DataItems;
  default: return nullptr;
  }
}

BOOL __CDPXDRSLanguageItem::IsLoaded() const {
  return m_BitmapItems.GetCount() || m_TextItems.GetCount() || m_ButtonItems.GetCount() || m_DataItems.GetCount();
}

void __CDPXDRSLanguageItem::Unload() {
  m_BitmapItems.RemoveAll();
  m_TextItems.RemoveAll();
  m_ButtonItems.RemoveAll();
  m_DataItems.RemoveAll();
}

CDPXDRSReader::~CDPXDRSReader() { Close(); }

BOOL CDPXDRSReader::Open(LPCWSTR path) {
  Close();
  try {
    if (!OpenTyped(path, CFile::modeRead | CFile::shareDenyNone)) DPXThrowException();
    SeekData(0);
    DWORD next = 0;
    if (!ReadDWord(next) || next == 0) DPXThrowException();
    ChainGuard chain;
    while (next) {
      if (!chain.Visit(next)) DPXThrowException();
      SeekData(next);
      auto* language = static_cast<__CDPXDRSLanguageItem*>(m_Languages.AddNewTail(RUNTIME_CLASS(__CDPXDRSLanguageItem)));
      DWORD fallback = 0;
      if (!language || !ReadDWord(next) || !ReadCountedString(language->m_strName) ||
          !ReadCountedString(language->m_strDescription) || !ReadDWord(fallback) || !ReadDWord(language->m_dwItemsOffset))
        DPXThrowException();
      language->m_nFallback = static_cast<int>(fallback);
    }
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    Close();
    return FALSE;
  }
}

void CDPXDRSReader::Close() {
  CDPXDRSFile::Close();
  m_Languages.RemoveAll();
  m_strCurrentLanguage.Empty();
}

__CDPXDRSLanguageItem* CDPXDRSReader::GetLanguageAt(int index) const {
  return static_cast<__CDPXDRSLanguageItem*>(m_Languages.GetAtIndex(index));
}

BOOL CDPXDRSReader::GetLanguage(int index, CString& name, CString& description, int& fallback) const {
  const __CDPXDRSLanguageItem* language = GetLanguageAt(index);
  if (!language) return FALSE;
  name = language->m_strName;
  description = language->m_strDescription;
  fallback = language->m_nFallback;
  return TRUE;
}

BOOL CDPXDRSReader::LoadLanguage(int index) {
  __CDPXDRSLanguageItem* language = GetLanguageAt(index);
  if (!language) return FALSE;
  language->Unload();
  try {
    ChainGuard chain;
    DWORD next = language->m_dwItemsOffset;
    while (next) {
      if (!chain.Visit(next)) DPXThrowException();
      SeekData(next);
      CString key;
      DWORD type = 0;
      if (!ReadDWord(next) || !ReadCountedString(key) || key.IsEmpty() || !ReadDWord(type)) DPXThrowException();
      CRuntimeClass* itemClass = nullptr;
      switch (type) {
      case itemBitmap: itemClass = RUNTIME_CLASS(__CDPXDRSBitmapItem); break;
      case itemText: itemClass = RUNTIME_CLASS(__CDPXDRSTextItem); break;
      case itemButton: itemClass = RUNTIME_CLASS(__CDPXDRSButtonItem); break;
      case itemData: itemClass = RUNTIME_CLASS(__CDPXDRSDataItem); break;
      default: continue;  // a kind this reader does not know
      }
      const ULONGLONG payload = GetDataPosition();
      auto* item = static_cast<__CDPXDRSItem*>(language->GetItemList(static_cast<int>(type))->AddNewTail(itemClass));
      if (!item || payload > 0xFFFFFFFFu) DPXThrowException();
      item->m_strKey = key;
      item->m_dwDataOffset = static_cast<DWORD>(payload);
      if (type == itemText && !ReadCountedString(static_cast<__CDPXDRSTextItem*>(item)->m_strText)) DPXThrowException();
    }
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    language->Unload();
    return FALSE;
  }
}

BOOL CDPXDRSReader::SetCurrentLanguage(LPCWSTR name) {
  m_strCurrentLanguage.Empty();
  CString wanted = name ? CString(name) : CString();
  wanted.Trim();
  BOOL loaded = TRUE;
  for (int index = 0; index < m_Languages.GetCount(); ++index) {
    __CDPXDRSLanguageItem* language = GetLanguageAt(index);
    const bool current = name && language->m_strName.CompareNoCase(wanted) == 0;
    if (current) m_strCurrentLanguage = language->m_strName;
    if (!current && !language->m_nFallback) {
      language->Unload();
    } else if (!language->IsLoaded() && !LoadLanguage(index)) {
      loaded = FALSE;  // the others are still switched, so that lookups find what can be found
    }
  }
  return loaded;
}

BOOL CDPXDRSReader::FindLanguage(int& index) {
  if (m_strCurrentLanguage.IsEmpty()) return FALSE;
  for (int i = 0; i < m_Languages.GetCount(); ++i) {
    if (GetLanguageAt(i)->m_strName.CompareNoCase(m_strCurrentLanguage) == 0) {
      index = i;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CDPXDRSReader::GetCurrentLanguage(CString& name) {
  int index = 0;
  if (!FindLanguage(index)) {
    name.Empty();
    return FALSE;
  }
  name = m_strCurrentLanguage;
  return TRUE;
}

__CDPXDRSItem* CDPXDRSReader::FindItemInList(LPCWSTR key, CDPXObList& list) {
  if (!key) return nullptr;
  CString wanted(key);
  wanted.Trim();
  for (POSITION pos = list.GetHeadPosition(); pos;) {
    auto* item = static_cast<__CDPXDRSItem*>(list.GetNext(pos));
    if (item->m_strKey.CompareNoCase(wanted) == 0) return item;
  }
  return nullptr;
}

__CDPXDRSItem* CDPXDRSReader::FindItem(LPCWSTR key, int kind) {
  if (!key) return nullptr;
  int current = 0;
  if (FindLanguage(current)) {
    CDPXObList* list = GetLanguageAt(current)->GetItemList(kind);
    if (!list) return nullptr;
    if (__CDPXDRSItem* item = FindItemInList(key, *list)) return item;
  }
  for (int index = 0; index < m_Languages.GetCount(); ++index) {
    __CDPXDRSLanguageItem* language = GetLanguageAt(index);
    if (!language->m_nFallback) continue;
    CDPXObList* list = language->GetItemList(kind);
    if (!list) return nullptr;
    if (__CDPXDRSItem* item = FindItemInList(key, *list)) return item;
  }
  return nullptr;
}

BOOL CDPXDRSReader::LoadText(LPCWSTR key, CString& text, BOOL keyFallback) {
  if (const auto* item = static_cast<__CDPXDRSTextItem*>(FindItem(key, itemText))) {
    text = item->m_strText;
    return TRUE;
  }
  if (keyFallback) {
    text = key ? CString(key) : CString();
    text.Trim();
    return TRUE;
  }
  text.Empty();
  return FALSE;
}

void CDPXDRSReader::ReadImageAt(DWORD offset, CDPXDIBHandle& image) {
  SeekData(offset);
  DWORD unused = 0;
  if (!ReadDWord(unused) || !image.Read(this)) DPXThrowException();
}

BOOL CDPXDRSReader::LoadDIB(LPCWSTR key, CDPXDIBHandle& image) {
  image.Free();
  const __CDPXDRSItem* item = FindItem(key, itemBitmap);
  if (!item) return FALSE;
  try {
    ReadImageAt(item->m_dwDataOffset, image);
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    image.Free();
    return FALSE;
  }
}

BOOL CDPXDRSReader::LoadBitmap(LPCWSTR key, CBitmap& bitmap) {
  bitmap.DeleteObject();
  CDPXDIBHandle image;
  return LoadDIB(key, image) && image.CreateDDB(bitmap, nullptr);
}

BOOL CDPXDRSReader::LoadButton(LPCWSTR key, CDPXBitmapButton& button) {
  CDPXDIBHandle images[6];
  int numbers[4] = {};
  if (!LoadButtonImages(key, images[0], images[1], images[2], images[3], images[4], images[5], numbers[0], numbers[1],
                        numbers[2], numbers[3]))
    return FALSE;
  return button.SetImages(images[0], images[1], images[2], images[3], images[4], images[5], numbers[0], numbers[1],
                          numbers[2], numbers[3]);
}

BOOL CDPXDRSReader::LoadButtonImages(LPCWSTR key, CDPXDIBHandle& image1, CDPXDIBHandle& image2, CDPXDIBHandle& image3,
                                     CDPXDIBHandle& image4, CDPXDIBHandle& image5, CDPXDIBHandle& image6, int& number1,
                                     int& number2, int& number3, int& number4) {
  CDPXDIBHandle* images[6] = {&image1, &image2, &image3, &image4, &image5, &image6};
  for (CDPXDIBHandle* image : images) image->Free();
  const __CDPXDRSItem* item = key ? FindItem(key, itemButton) : nullptr;
  if (!item) return FALSE;
  try {
    SeekData(item->m_dwDataOffset);
    DWORD offsets[6] = {};
    DWORD numbers[4] = {};
    for (DWORD& offset : offsets)
      if (!ReadDWord(offset)) DPXThrowException();
    for (DWORD& number : numbers)
      if (!ReadDWord(number)) DPXThrowException();
    if (offsets[0] == 0) {
      const auto width = static_cast<int>(numbers[2]), height = static_cast<int>(numbers[3]);
      if (width <= 0 || height <= 0 || width > kMaxBlankSize || height > kMaxBlankSize ||
          !image1.Create(width, height, 24))
        DPXThrowException();
    } else {
      for (int i = 0; i < 6; ++i)
        if (offsets[i]) ReadImageAt(offsets[i], *images[i]);
    }
    number1 = static_cast<int>(numbers[0]);
    number2 = static_cast<int>(numbers[1]);
    number3 = static_cast<int>(numbers[2]);
    number4 = static_cast<int>(numbers[3]);
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    for (CDPXDIBHandle* image : images) image->Free();
    return FALSE;
  }
}

BOOL CDPXDRSReader::ReadData(LPCWSTR key, HGLOBAL& block) {
  block = nullptr;
  const __CDPXDRSItem* item = FindItem(key, itemData);
  if (!item) return FALSE;
  try {
    SeekData(item->m_dwDataOffset);
    if (!ReadGlobal(block)) DPXThrowException();
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    if (block) GlobalFree(block);
    block = nullptr;
    return FALSE;
  }
}

BOOL CDPXDRSReader::LoadData(LPCWSTR key, LPCWSTR target) {
  if (!target) return FALSE;
  HGLOBAL block = nullptr;
  if (ReadData(key, block) && block) {
    CDPXGMemBuffer buffer;
    if (!buffer.Attach(block)) GlobalFree(block);
    else if (DPXWriteBufferToFile(buffer, target)) return TRUE;
  }
  DeleteFileW(target);
  return FALSE;
}

BOOL CDPXDRSReader::GetUserDefaultLanguage(CString& name) {
  DPXLcidToLocaleName(GetUserDefaultLCID(), name);
  return !name.IsEmpty();
}
