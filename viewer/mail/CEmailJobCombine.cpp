// The combined attachment: every page of the run as one page of a multi-page TIFF, in order.
// JPEG and Group 4 pages of our own are copied as they are stored, without coding them again;
// pages of other writers and other compressions are decoded and written anew.
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "viewer/mail/CEmailJob.h"

#include <cstdlib>

namespace {

constexpr int kOtherProducer = 3;

BOOL CopyJpegPage(CQVTiffFile& source, CQVTiffFile& target, WORD position, const tagTiffImageInfo& info) {
  BYTE* data = nullptr;
  DWORD size = 0;
  int xDpi = 0, yDpi = 0;
  BOOL ok = source.ReadJpegClump(0, data, size, xDpi, yDpi) && data && size > 0;
  ok = ok && target.WriteJpegClump(position, data, size, static_cast<int>(info.xResolution),
                                   static_cast<int>(info.yResolution), nullptr, nullptr);
  std::free(data);
  return ok;
}

BOOL CopyFaxG4Page(CQVTiffFile& source, CQVTiffFile& target, WORD position) {
  BYTE* data = nullptr;
  DWORD size = 0;
  int width = 0, height = 0, xDpi = 0, yDpi = 0;
  BOOL ok = source.ReadFaxG4Clump(0, data, size, width, height, xDpi, yDpi) && data && size > 0;
  ok = ok && target.WriteFaxG4Clump(position, data, size, width, height, xDpi, yDpi, nullptr, nullptr);
  std::free(data);
  return ok;
}

BOOL RecodePage(CQVTiffFile& source, CQVTiffFile& target, WORD position) {
  CQVBitmapHandle bitmap;
  return source.DecodeTif(0, bitmap) && target.EncodeTif(position, bitmap, nullptr, nullptr, static_cast<DWORD>(-1));
}

}  // namespace

int CEmailJob::BuildCombined(const Images& images, const CString& target, const CEmailJobUI::Step& step) {
  CQVTiffFile combined;
  combined.SetFileForOperation(target);
  WORD position = 0;
  for (const auto& image : images) {
    CQVTiffFile source;
    source.SetFileForOperation(image.second);
    tagTiffImageInfo info;
    info.size = sizeof(info);
    info.page = 0;
    if (!source.GetTiffImageInfo(info)) return kFileOperation;
    BOOL written = FALSE;
    if (info.producer != kOtherProducer && (info.compression == 6 || info.compression == 7))
      written = CopyJpegPage(source, combined, position, info);
    else if (info.producer != kOtherProducer && info.compression == 4)
      written = CopyFaxG4Page(source, combined, position);
    else
      written = RecodePage(source, combined, position);
    if (!written) return kFileOperation;
    ++position;
    step();
  }
  return kSuccess;
}
