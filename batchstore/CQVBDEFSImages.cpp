// The batch store's image files: the stored image (".tif", through the stored-image format), its
// preview and thumbnail, and its remark text. Writers work under the batch's lock, so that they
// never meet a renumbering of another process halfway.
#include "batchstore/CQVBDEFS.h"

#include "batchstore/CQVBDEJournal.h"
#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/util/CDPXStdioFile.h"
#include "platform/core/fileapi.h"

#include <cerrno>

namespace {

// A missing file counts as deleted.
BOOL DeleteIfThere(LPCWSTR path) { return DeleteFileW(path) || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES; }

}  // namespace

#define QV_IMAGE_WRITE(PathBuilder, work)                                                          \
  CString path;                                                                                    \
  return PathBuilder(path, document, page, image) &&                                               \
         WithBatch([&](const std::string&, CQVBDEJournal&) -> BOOL { return work; })

BOOL CQVBDEFS::CreateImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap) {
  QV_IMAGE_WRITE(GetImageFilePath, CQVBDEImageFormat::CreateImage(path, bitmap));
}

BOOL CQVBDEFS::CreateImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap, QVBDEIMAGEINFO& info) {
  QV_IMAGE_WRITE(GetImageFilePath, CQVBDEImageFormat::CreateImage(path, bitmap, info));
}

BOOL CQVBDEFS::CreateImage(ULONG document, ULONG page, ULONG image, void* data, ULONG size, QVBDEIMAGEINFO& info) {
  QV_IMAGE_WRITE(GetImageFilePath, CQVBDEImageFormat::CreateImage(path, data, size, info));
}

BOOL CQVBDEFS::UpdateImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap) {
  QV_IMAGE_WRITE(GetImageFilePath, CQVBDEImageFormat::UpdateImage(path, bitmap));
}

BOOL CQVBDEFS::UpdateImageInfo(ULONG document, ULONG page, ULONG image, QVBDEIMAGEINFO& info) {
  QV_IMAGE_WRITE(GetImageFilePath, CQVBDEImageFormat::UpdateImageInfo(path, info));
}

BOOL CQVBDEFS::LoadImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap, int scale) {
  CString path;
  return GetImageFilePath(path, document, page, image) && CQVBDEImageFormat::LoadImage(path, bitmap, scale);
}

BOOL CQVBDEFS::LoadImageInfo(ULONG document, ULONG page, ULONG image, QVBDEIMAGEINFO& info, int withExtraData) {
  CString path;
  return GetImageFilePath(path, document, page, image) && CQVBDEImageFormat::LoadImageInfo(path, info, withExtraData);
}

BOOL CQVBDEFS::LoadImageInfo(ULONG document, ULONG page, ULONG image, int& width, int& height, int& bitsPerPixel) {
  CString path;
  return GetImageFilePath(path, document, page, image) &&
         CQVBDEImageFormat::LoadImageInfo(path, width, height, bitsPerPixel);
}

// ---- previews ------------------------------------------------------------------------------------

BOOL CQVBDEFS::CreatePreviewImageDirect(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap) {
  QV_IMAGE_WRITE(GetPreviewImageFilePath, CQVBDEHelper::SavePreviewImage(path, bitmap));
}

BOOL CQVBDEFS::CreatePreviewImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& source, CQVBitmapHandle& result) {
  // The store keeps a preview file also for a small image.
  QV_IMAGE_WRITE(GetPreviewImageFilePath,
                 CQVBDEHelper::CreatePreviewImageEx(source, result, FALSE) > 0 && CQVBDEHelper::SavePreviewImage(path, result));
}

BOOL CQVBDEFS::CreatePreviewImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& source) {
  CQVBitmapHandle result;
  return CreatePreviewImage(document, page, image, source, result);
}

BOOL CQVBDEFS::CreatePreviewImageFromJpeg(ULONG document, ULONG page, ULONG image, const void* data, ULONG size,
                                          CQVBitmapHandle& result) {
  QV_IMAGE_WRITE(GetPreviewImageFilePath, CQVBDEHelper::CreatePreviewImageFromJpegEx(data, size, result) > 0 &&
                                              CQVBDEHelper::SavePreviewImage(path, result));
}

BOOL CQVBDEFS::CreatePreviewImageFromJpeg(ULONG document, ULONG page, ULONG image, const void* data, ULONG size) {
  CQVBitmapHandle result;
  return CreatePreviewImageFromJpeg(document, page, image, data, size, result);
}

BOOL CQVBDEFS::LoadPreviewImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap) {
  CString path;
  return GetPreviewImageFilePath(path, document, page, image) && CQVBDEHelper::LoadPreviewImage(path, bitmap);
}

BOOL CQVBDEFS::DiscardPreviewImage(ULONG document, ULONG page, ULONG image) {
  QV_IMAGE_WRITE(GetPreviewImageFilePath, DeleteIfThere(path));
}

// ---- thumbnails ----------------------------------------------------------------------------------

BOOL CQVBDEFS::CreateThumbImageDirect(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap) {
  QV_IMAGE_WRITE(GetThumbImageFilePath, CQVBDEHelper::SaveThumbImage(path, bitmap));
}

BOOL CQVBDEFS::CreateThumbImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& source, CQVBitmapHandle& result) {
  QV_IMAGE_WRITE(GetThumbImageFilePath,
                 CQVBDEHelper::CreateThumbImage(source, result) && CQVBDEHelper::SaveThumbImage(path, result));
}

BOOL CQVBDEFS::CreateThumbImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& source) {
  CQVBitmapHandle result;
  return CreateThumbImage(document, page, image, source, result);
}

BOOL CQVBDEFS::CreateThumbImageFromJpeg(ULONG document, ULONG page, ULONG image, const void* data, ULONG size,
                                        CQVBitmapHandle& result) {
  QV_IMAGE_WRITE(GetThumbImageFilePath, CQVBDEHelper::CreateThumbImageFromJpeg(data, size, result) == 1 &&
                                            CQVBDEHelper::SaveThumbImage(path, result));
}

BOOL CQVBDEFS::CreateThumbImageFromJpeg(ULONG document, ULONG page, ULONG image, const void* data, ULONG size) {
  CQVBitmapHandle result;
  return CreateThumbImageFromJpeg(document, page, image, data, size, result);
}

BOOL CQVBDEFS::LoadThumbImage(ULONG document, ULONG page, ULONG image, CQVBitmapHandle& bitmap) {
  CString path;
  return GetThumbImageFilePath(path, document, page, image) && CQVBDEHelper::LoadThumbImage(path, bitmap);
}

BOOL CQVBDEFS::DiscardThumbImage(ULONG document, ULONG page, ULONG image) {
  QV_IMAGE_WRITE(GetThumbImageFilePath, DeleteIfThere(path));
}

// ---- remarks -------------------------------------------------------------------------------------

BOOL CQVBDEFS::SetImageRemarks(LPCWSTR text, ULONG document, ULONG page, ULONG image) {
  CString remark(text ? text : u"");
  remark.Trim();
  QV_IMAGE_WRITE(GetImageRemarksFilePath, remark.IsEmpty() ? DeleteIfThere(path) : DPXWriteTextFile(remark, path, 1));
}

BOOL CQVBDEFS::GetImageRemarks(CString& text, ULONG document, ULONG page, ULONG image) {
  text.Empty();
  CString path;
  if (!GetImageRemarksFilePath(path, document, page, image) || !DPXReadTextFile(path, text)) return FALSE;
  text.Trim();
  return TRUE;
}

#undef QV_IMAGE_WRITE
