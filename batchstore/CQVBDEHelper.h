#pragma once
// CQVBDEHelper: the rules of batch-store IDs, the address record that says which job root folder
// and batch a store object or batch window works on, and the picture helpers that make previews
// and thumbnails of stored images.
//
// IDs number documents, pages and images: 1 to 99999999, 0 meaning none. The text form of an ID is
// exactly eight decimal digits ("%08d"); nothing else is an ID text (no blanks, no sign, no more
// or fewer digits, not 00000000).
//
// The address record is shared between windows and worker threads: every operation takes its
// lock for the whole run. It validates nothing; a bad root or batch shows when a path is built.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/sync.h"

class CQVBitmapHandle;

class CQVBDEHelper {
public:
  static constexpr ULONG kMaxID = 99999999;

  explicit CQVBDEHelper(CObject* owner = nullptr) : m_pOwner(owner) {}
  CQVBDEHelper(const CQVBDEHelper&) = delete;
  CQVBDEHelper& operator=(const CQVBDEHelper&) = delete;

  static BOOL IsValidID(ULONG id) { return id >= 1 && id <= kMaxID; }
  // FALSE, text unchanged, for an invalid ID.
  static BOOL ID(ULONG id, CString& text);
  // TRUE for an ID text. `id` takes the number of eight digits also when it is out of range.
  static BOOL ID(LPCWSTR text, ULONG& id);

  CObject* GetOwner() const { return m_pOwner; }

  // Stored trimmed, with a final separator unless empty.
  BOOL SetJobRootDir(LPCWSTR path);
  BOOL GetJobRootDir(CString& path);
  // Stored trimmed.
  BOOL SetActiveBatch(LPCWSTR name);
  BOOL GetActiveBatch(CString& name);
  // Stored as given; the store never reads them.
  BOOL SetActiveDocument(ULONG id);
  BOOL SetActivePage(ULONG id);
  BOOL SetActiveImage(ULONG id);
  BOOL GetActiveDocument(ULONG& id);
  BOOL GetActivePage(ULONG& id);
  BOOL GetActiveImage(ULONG& id);

  // Copy the root folder, the batch and the three IDs into / from the other record, under both
  // locks (taken in a fixed order, so two records synced towards each other cannot deadlock).
  // FALSE for a null record.
  BOOL SyncTo(CQVBDEHelper* other);
  BOOL SyncFrom(CQVBDEHelper* other);

  // Pictures (no lock). A preview is the image reduced by 1, 2, 4 or 8, chosen from its larger
  // side; a thumbnail fits a box of 100 by 100 pixels, keeps its proportions, is never enlarged
  // and is at least one pixel each way.
  static int CalcPreviewImageScaleDenom(int width, int height);
  static int CalcPreviewImageScaleDenom(CQVBitmapHandle& bitmap);
  static int CalcPreviewImageScaleDenomForJpeg(const void* data, ULONG size);
  static BOOL CreatePreviewImage(CQVBitmapHandle& source, CQVBitmapHandle& result, int denominator);
  // The denominator used; with skipSmall a picture that needs no reduction gives 1 and an empty
  // result. -1 on failure.
  static int CreatePreviewImageEx(CQVBitmapHandle& source, CQVBitmapHandle& result, BOOL skipSmall);
  // The data stays the caller's; it is decoded at 1/denominator. -1 for null data or size 0.
  static int CreatePreviewImageFromJpeg(const void* data, ULONG size, CQVBitmapHandle& result, int denominator);
  static int CreatePreviewImageFromJpegEx(const void* data, ULONG size, CQVBitmapHandle& result);
  static BOOL CalcThumbImageSize(int width, int height, int& thumbWidth, int& thumbHeight);
  static BOOL CreateThumbImage(CQVBitmapHandle& source, CQVBitmapHandle& result);
  // 1 on success; -1 for data that is no readable JPEG, 0 when decoding or reducing fails.
  static int CreateThumbImageFromJpeg(const void* data, ULONG size, CQVBitmapHandle& result);
  // Replaces the file whole: 1 bit per pixel as a Group 4 TIFF, other depths as JPEG. An empty
  // bitmap or a failed write leaves the file that was there.
  static BOOL SavePreviewImage(LPCWSTR path, CQVBitmapHandle& bitmap);
  static BOOL SaveThumbImage(LPCWSTR path, CQVBitmapHandle& bitmap) { return SavePreviewImage(path, bitmap); }
  static BOOL LoadPreviewImage(LPCWSTR path, CQVBitmapHandle& bitmap);
  static BOOL LoadThumbImage(LPCWSTR path, CQVBitmapHandle& bitmap) { return LoadPreviewImage(path, bitmap); }

private:
  struct Values {
    CString root;
    CString batch;
    ULONG document { 0 };
    ULONG page { 0 };
    ULONG image { 0 };
  };
  static BOOL Copy(CQVBDEHelper& from, CQVBDEHelper& to);

  CObject* m_pOwner { nullptr };
  CCriticalSection m_cs;
  Values m_values;
};
