#include "viewer/browser/CIBSImageList.h"

#include "viewer/model/CIBSBatch.h"
#include "viewer/model/CIBSDocument.h"
#include "viewer/model/CMainSettings.h"

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

// ---- E-mail texts ------------------------------------------------------------------------------

namespace {

constexpr char16_t kAssociatedData[] = u"Associated Document Index Data";

std::vector<CString> Items(const CDPXStringList& list) {
  std::vector<CString> items;
  for (POSITION pos = list.GetHeadPosition(); pos;) {
    CString text;
    list.GetNext(pos, text);
    items.push_back(text);
  }
  return items;
}

// The document's fields by name, in field order.
class Fields {
public:
  Fields(const CDPXStringList& names, const CDPXStringList& values) : m_names(Items(names)), m_values(Items(values)) {}
  bool Find(const CString& name, CString& value) const {
    for (size_t i = 0; i < m_names.size(); ++i) {
      if (m_names[i] != name) continue;
      value = i < m_values.size() ? m_values[i] : CString();
      return true;
    }
    return false;
  }
  CString Block() const {
    CString out = CString(kAssociatedData) + u":\r\n";
    for (size_t i = 0; i < m_names.size(); ++i) {
      CString line;
      line.Format(u"%s : %s\r\n", m_names[i].GetString(), i < m_values.size() ? m_values[i].GetString() : u"");
      out += line;
    }
    return out;
  }

private:
  std::vector<CString> m_names;
  std::vector<CString> m_values;
};

// One pass over the template: a "<...>" that `lookup` knows is replaced by its answer, which is not
// read again; anything else stays, but for the template's double quotes.
template <typename Lookup>
CString Substitute(const CString& text, Lookup lookup) {
  CString out;
  const int length = text.GetLength();
  for (int i = 0; i < length;) {
    if (text[i] == u'<') {
      const int close = text.Find(u'>', i + 1);
      CString value;
      if (close > i && lookup(text.Mid(i + 1, close - i - 1), value)) {
        out += value;
        i = close + 1;
        continue;
      }
    }
    if (text[i] != u'"') out += text[i];
    ++i;
  }
  return out;
}

}  // namespace

CString CIBSImageList::ReplacePlaceholders(const CString& text, const CDPXStringList& names,
                                           const CDPXStringList& values) {
  const Fields fields(names, values);
  return Substitute(text, [&](const CString& name, CString& value) { return fields.Find(name, value); });
}

void CIBSImageList::BuildAssociatedIndexText(const CDPXStringList& names, const CDPXStringList& values, CString& out) {
  out = Fields(names, values).Block();
}

void CIBSImageList::MakeFileNameSafe(CString& text) {
  for (const char16_t unsafe : std::u16string_view(u"\\/:*?\"<>|")) text.Replace(CString(unsafe), CString(u"-"));
}

BOOL CIBSImageList::PrepareEmailTexts(EmailSetting& email) {
  CIBSDocument* document = GetDocument();
  CIBSBatch* batch = document ? document->GetBatch() : nullptr;
  CDPXStringList names, values;
  if (!batch || batch->GetFieldNames(names) < 1 || !document->GetValues(names, values)) return FALSE;
  const Fields fields(names, values);
  const auto field = [&](const CString& name, CString& value) { return fields.Find(name, value); };
  for (CString* text : {&email.strMailTitle, &email.strMailTo, &email.strMailCc, &email.strMailBcc, &email.strAttachName})
    *text = Substitute(*text, field);
  if (email.strAttachName.IsEmpty()) document->GetDocumentNumber(email.strAttachName);
  MakeFileNameSafe(email.strAttachName);
  // The block of index data is a placeholder of the body like the fields, found in the same pass,
  // so that a value holding its name is not expanded.
  email.strMailBody = Substitute(email.strMailBody, [&](const CString& name, CString& value) {
    if (name != CString(kAssociatedData)) return field(name, value);
    value = fields.Block();
    return true;
  });
  return TRUE;
}
