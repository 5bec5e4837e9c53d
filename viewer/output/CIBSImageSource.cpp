#include "viewer/output/CIBSImageSource.h"

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/util/CDPXStringList.h"

CIBSDocumentImages::CIBSDocumentImages(const CIBSDocument* document) {
  CDPXStringList paths;
  if (!document || !document->CollectImageFiles(paths)) return;
  CString path;
  for (POSITION pos = paths.GetHeadPosition(); paths.GetNext(pos, path);) m_paths.push_back(path);
}

BOOL CIBSDocumentImages::LoadImageInto(int index, CQVBitmapHandle& bitmap) {
  if (index < 0 || index >= GetImageCount()) return FALSE;
  // Full size: a Group 4 page keeps its data and goes into the PDF without being decoded.
  return CQVBDEImageFormat::LoadImage(m_paths[static_cast<size_t>(index)], bitmap, 1);
}
