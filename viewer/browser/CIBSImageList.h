#pragma once
// The images of the document the viewer shows: one item per image file, in page order. The image
// list window owns the list; the document browser paints it, and printing, e-mail and the PDF task
// read pages from it, the PDF task from a worker thread. The list, the document link and a whole
// load each have their own lock; an item guards its own members (CIBSImageListItem).
//
// An item handed out by GetItem lives until the list is emptied or loaded again, which only the
// user-interface thread does; a worker thread asks for paths and pixels by index instead
// (GetImagePath, LoadImageInto), which copy what they need under the lock.

#include "foundation/util/CDPXObList.h"
#include "foundation/util/CDPXStringList.h"
#include "platform/core/CObject.h"
#include "platform/core/sync.h"
#include "viewer/browser/CIBSImageListItem.h"

class CIBSDocument;
class CQVBitmapHandle;
struct EmailSetting;

class CIBSImageList : public CObject {
  DECLARE_DYNCREATE(CIBSImageList)
public:
  CIBSImageList() = default;
  ~CIBSImageList() override;

  int GetCount();
  // Appends an item holding the image, which it owns from then on; null (and the image deleted)
  // when no item can be made.
  CIBSImageListItem* AddImage(CIBSImage* image);
  BOOL RemoveAll();
  // The item at a 0-based index; null outside the list.
  CIBSImageListItem* GetItem(int index);

  // The document whose images are listed; not owned. None at construction.
  void SetDocument(CIBSDocument* document);
  CIBSDocument* GetDocument();
  // The full paths of the document's image files, in page order. FALSE without a valid document.
  BOOL CollectImageFiles(CDPXStringList& paths);
  // One item per image file of the current document; FALSE when the files cannot be listed. The
  // items are made without reading the files: a bad page shows as unreadable when it is painted.
  BOOL Load();

  // The whole image of the item at `index`, without the item's rotation, into the caller's bitmap.
  // Safe from any thread: the file is read outside the list's lock.
  BOOL LoadImageInto(int index, CQVBitmapHandle& bitmap);
  // The image path of the item with the 1-based `number`; empty for a missing list or item. The
  // print and e-mail jobs receive the list with this function to fetch their pages.
  static CString GetImagePath(CIBSImageList* list, int number);

  // The e-mail texts of the current document, in place: every "<field name>" of the title, the
  // recipients, the attachment name and the body becomes the document's value of that field, and
  // "<Associated Document Index Data>" in the body a block of every field with its value. The
  // attachment name falls back to the document number and is made safe as a file name. Nothing
  // changes without a document whose batch names fields.
  BOOL PrepareEmailTexts(EmailSetting& email);
  // Each "<name>" of the template whose name is one of `names` becomes the value at the same place
  // of `values`; double quotes of the template are dropped. Values are taken as they stand: their
  // quotes stay and a "<name>" inside a value is not replaced again.
  static CString ReplacePlaceholders(const CString& text, const CDPXStringList& names, const CDPXStringList& values);
  static void BuildAssociatedIndexText(const CDPXStringList& names, const CDPXStringList& values, CString& out);
  // Backslash, slash, colon, asterisk, question mark, double quote, angle brackets and the
  // vertical bar each become "-".
  static void MakeFileNameSafe(CString& text);

private:
  CCriticalSection m_listLock;
  CDPXObList m_items;  // of CIBSImageListItem, owned
  CCriticalSection m_documentLock;
  CIBSDocument* m_pDocument { nullptr };
  CCriticalSection m_loadLock;
};
