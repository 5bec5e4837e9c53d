#pragma once
// CQVBDEFS: the batch store, scanned batches kept as plain folders and files under a job root
// folder. Its address record names the job root folder and the active batch:
//
//   <job root>/<batch>/batch.info, batch.<n>.index
//   <job root>/<batch>/<document>/document.info, document.<n>.index
//   <job root>/<batch>/<document>/<page>/<image>.tif .preview .thumb .info .remarks .voiceremarks
//
// Documents, pages and images are numbered by IDs (CQVBDEHelper) and named by their eight digits;
// their order is their meaning, so inserting, removing and moving renames their neighbours. An
// image counts as present when its ".tif" file exists.
//
// Every call works on the disk at once; nothing is cached. Batch names follow the rule of job
// names (1 to 20 characters, none of \ / : . ( ) [ ] { } * ? % & + - < >), so that no name leads
// outside the job root folder.
//
// Safety: every change of a batch's tree is all or nothing, also when the process dies midway:
// it is planned, written down as the batch's intent record and then carried out, and whatever an
// interruption leaves is finished (or undone) by the next call on the batch. Changes and the
// lists they read are made under the batch's lock file ("<job root>/<batch>.lck"), so that
// processes sharing a store, also on a network folder, never work on one batch at the same time.
// Nothing is ever replaced or deleted by a rename: an existing target refuses the step.

#include "batchstore/CQVBDEHelper.h"
#include "batchstore/CQVBDEIDList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <functional>
#include <string>

class CDPXStringList;
class CQVBitmapHandle;
class CQVBDEBatchInfoFormat;
class CQVBDEDocumentInfoFormat;
class CQVBDEImageInfoFormat;
class CQVBDEIndexItemList;
class CQVBDEJournal;
struct QVBDEIMAGEINFO;

class CQVBDEFS : public CObject {
  DECLARE_DYNCREATE(CQVBDEFS)
public:
  // The address record: set the job root folder and the active batch here.
  CQVBDEHelper& GetHelper() { return m_helper; }

  // ---- paths (out is emptied first; FALSE without a root folder, a valid batch or valid IDs) ----
  // The batch folder, descending into the document, page and image while each ID is valid.
  BOOL GetDir(CString& out, ULONG document = 0, ULONG page = 0, ULONG image = 0);
  BOOL GetBatchDir(CString& out);
  BOOL GetBatchInfoFilePath(CString& out);
  BOOL GetBatchIndexFilePath(CString& out, int n);
  BOOL GetDocDir(CString& out, ULONG document);
  BOOL GetDocumentInfoFilePath(CString& out, ULONG document);
  BOOL GetDocumentIndexFilePath(CString& out, ULONG document, int n);
  BOOL GetPageDir(CString& out, ULONG document, ULONG page);
  // The common stem of an image's files, without extension.
  BOOL GetImageDir(CString& out, ULONG document, ULONG page, ULONG image);
  BOOL GetImageFilePath(CString& out, ULONG document, ULONG page, ULONG image);
  BOOL GetPreviewImageFilePath(CString& out, ULONG document, ULONG page, ULONG image);
  BOOL GetThumbImageFilePath(CString& out, ULONG document, ULONG page, ULONG image);
  BOOL GetImageInfoFilePath(CString& out, ULONG document, ULONG page, ULONG image);
  BOOL GetImageRemarksFilePath(CString& out, ULONG document, ULONG page, ULONG image);
  BOOL GetImageVoiceRemarksFilePath(CString& out, ULONG document, ULONG page, ULONG image);

  // ---- batches (in the job root folder; the active batch stays as it is) ----
  // The batch folders in file-system order.
  BOOL GetBatchList(CDPXStringList& names);
  // FALSE for a name against the rule or a batch that exists.
  BOOL CreateBatch(LPCWSTR name);
  BOOL DeleteBatch(LPCWSTR name);
  // TRUE without change when the names differ only in case; FALSE when the new name is taken.
  BOOL RenameBatch(LPCWSTR oldName, LPCWSTR newName);
  // The rule for batch names, the same as for job names.
  static BOOL IsValidBatchName(LPCWSTR name);

  // ---- documents, pages, images: lists, ranges, create and delete ----
  BOOL GetDocumentList(CQVBDEIDList& list);
  // low 100000000 and high 0 when there is none.
  BOOL GetDocumentRange(ULONG& low, ULONG& high);
  // Each create refuses (FALSE) an entry that exists, instead of emptying it.
  BOOL CreateDocument(ULONG document);
  // Deleting leaves a gap in the numbering (RemoveDocument closes it).
  BOOL DeleteDocument(ULONG document);
  BOOL GetDocumentType(CString& type, ULONG document);
  BOOL SetDocumentType(LPCWSTR type, ULONG document);
  BOOL ConnectBatchInfoFile(CQVBDEBatchInfoFormat& format);
  BOOL ConnectDocumentInfoFile(CQVBDEDocumentInfoFormat& format, ULONG document);

  BOOL GetPageList(ULONG document, CQVBDEIDList& list);
  BOOL GetPageRange(ULONG document, ULONG& low, ULONG& high);
  BOOL CreatePage(ULONG document, ULONG page);
  BOOL DeletePage(ULONG document, ULONG page);

  BOOL GetImageList(ULONG document, ULONG page, CQVBDEIDList& list);
  BOOL GetImageRange(ULONG document, ULONG page, ULONG& low, ULONG& high);
  // An empty ".tif" as the image's placeholder.
  BOOL CreateImage(ULONG document, ULONG page, ULONG image);
  // Every file of the image, also when it has no ".tif".
  BOOL DeleteImage(ULONG document, ULONG page, ULONG image);
  BOOL ConnectImageInfoFile(CQVBDEImageInfoFormat& format, ULONG document, ULONG page, ULONG image);

  // ---- index data sets n >= 0 of the batch and of documents ----
  BOOL SaveBatchIndexData(CQVBDEIndexItemList& list, int n);
  // A failed load leaves the list empty.
  BOOL LoadBatchIndexData(CQVBDEIndexItemList& list, int n);
  BOOL SaveDocumentIndexData(CQVBDEIndexItemList& list, ULONG document, int n);
  BOOL LoadDocumentIndexData(CQVBDEIndexItemList& list, ULONG document, int n);

  // ---- renumbering: each is all or nothing ----
  // Makes room at the ID (the unbroken run of IDs from it shifts up by one) and creates an empty
  // entry there.
  BOOL InsertDocument(ULONG document);
  // Removes the entry and renumbers every later one densely from its ID on.
  BOOL RemoveDocument(ULONG document);
  // Inside one parent: the entry takes the target's number, the entries between shift one step
  // towards its old place; a free target is a plain rename. Into another parent: the entry lands
  // after the target (first without one), and the later entries of its old parent close up.
  BOOL MoveDocument(ULONG document, ULONG target);
  BOOL MoveDocumentAsFirstDocument(ULONG document);
  BOOL InsertPage(ULONG document, ULONG page);
  BOOL RemovePage(ULONG document, ULONG page);
  BOOL MovePage(ULONG document, ULONG page, ULONG targetDocument, ULONG targetPage);
  BOOL MovePageAsFirstPage(ULONG document, ULONG page, ULONG targetDocument);
  BOOL InsertImage(ULONG document, ULONG page, ULONG image);
  BOOL RemoveImage(ULONG document, ULONG page, ULONG image);
  BOOL MoveImage(ULONG document, ULONG page, ULONG image, ULONG targetDocument, ULONG targetPage, ULONG targetImage);
  BOOL MoveImageAsFirstImage(ULONG document, ULONG page, ULONG image, ULONG targetDocument, ULONG targetPage);
  // The pages from fromPage on (0: all) follow the target's last page, in order. FALSE when the
  // target is the document itself.
  BOOL MovePages(ULONG document, ULONG fromPage, ULONG targetDocument);
  // The pages from fromPage on become a new document after the last one / right after this one.
  // newDocument is set also when the split fails.
  BOOL SplitDocumentToLast(ULONG document, ULONG fromPage, ULONG& newDocument);
  BOOL SplitDocumentToNext(ULONG document, ULONG fromPage, ULONG& newDocument);
  // The document's pages follow the target's, and the emptied document is removed. FALSE when
  // both are one document.
  BOOL MergeDocuments(ULONG document, ULONG targetDocument);

  // ---- image content, previews, thumbnails, remarks ----
  BOOL CreateImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap);
  BOOL CreateImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap, QVBDEIMAGEINFO& info);
  BOOL CreateImage(ULONG document, ULONG page, ULONG image, void* data, ULONG size, QVBDEIMAGEINFO& info);
  BOOL LoadImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap, int scale);
  BOOL LoadImageInfo(ULONG document, ULONG page, ULONG image, QVBDEIMAGEINFO& info, int withExtraData);
  BOOL LoadImageInfo(ULONG document, ULONG page, ULONG image, int& width, int& height, int& bitsPerPixel);
  BOOL UpdateImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap);
  BOOL UpdateImageInfo(ULONG document, ULONG page, ULONG image, QVBDEIMAGEINFO& info);

  BOOL CreatePreviewImageDirect(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap);
  BOOL CreatePreviewImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& source, CQVBitmapHandle& result);
  BOOL CreatePreviewImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& source);
  BOOL CreatePreviewImageFromJpeg(ULONG document, ULONG page, ULONG image, const void* data, ULONG size, CQVBitmapHandle& result);
  BOOL CreatePreviewImageFromJpeg(ULONG document, ULONG page, ULONG image, const void* data, ULONG size);
  BOOL LoadPreviewImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap);
  BOOL DiscardPreviewImage(ULONG document, ULONG page, ULONG image);
  BOOL CreateThumbImageDirect(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap);
  BOOL CreateThumbImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& source, CQVBitmapHandle& result);
  BOOL CreateThumbImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& source);
  BOOL CreateThumbImageFromJpeg(ULONG document, ULONG page, ULONG image, const void* data, ULONG size, CQVBitmapHandle& result);
  BOOL CreateThumbImageFromJpeg(ULONG document, ULONG page, ULONG image, const void* data, ULONG size);
  BOOL LoadThumbImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap);
  BOOL DiscardThumbImage(ULONG document, ULONG page, ULONG image);

  // A blank text removes the remark.
  BOOL SetImageRemarks(LPCWSTR text, ULONG document, ULONG page, ULONG image);
  BOOL GetImageRemarks(CString& text, ULONG document, ULONG page, ULONG image);

protected:
  // Path pieces: parent with a final separator + trimmed name (FALSE when either is empty).
  static BOOL MakeDir(CString& out, LPCWSTR parent, LPCWSTR name);
  static BOOL MakeDir(CString& out, LPCWSTR parent, ULONG id);
  // The IDs of the ID-named sub-folders / of the images of a folder, sorted.
  static BOOL GetListFromFolders(LPCWSTR parent, CQVBDEIDList& list);
  static BOOL GetListFromImages(LPCWSTR parent, CQVBDEIDList& list);
  static BOOL GetRangeFromFolders(LPCWSTR parent, ULONG& low, ULONG& high);
  static BOOL GetRangeFromImages(LPCWSTR parent, ULONG& low, ULONG& high);
  static BOOL SaveIndexData(LPCWSTR path, CQVBDEIndexItemList& list);
  static BOOL LoadIndexData(LPCWSTR path, CQVBDEIndexItemList& list);

private:
  // The batch folder as the disk spells it (native, without a final '/').
  BOOL NativeBatchDir(std::string& out);
  // Runs `work` (given the native batch folder and its intent record) under the batch's lock,
  // after finishing or undoing what an interrupted change left.
  BOOL WithBatch(const std::function<BOOL(const std::string&, CQVBDEJournal&)>& work);

  CQVBDEHelper m_helper;
};
