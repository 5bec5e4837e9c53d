#pragma once
// CIBSImageSource: the images a PDF task writes: a document browser's image list (which also
// knows the page on screen) or the image list of a search result. Calls come from the task's
// worker thread while the source's owner may use it too, so an implementation guards its own data.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "viewer/model/CIBSDocument.h"

#include <vector>

class CIBSImageSource {
public:
  virtual ~CIBSImageSource() = default;

  virtual int GetImageCount() = 0;
  // The image at `index` (from 0) as it is stored, without the rotation the user gave it on
  // screen. FALSE when it cannot be read.
  virtual BOOL LoadImageInto(int index, CQVBitmapHandle& bitmap) = 0;
  // The page on screen: the index of its first image and the number of its cells.
  virtual int GetFirstVisibleIndex() { return 0; }
  virtual int GetCellCount() { return GetImageCount(); }
};

// The images of a published document, by its image files.
class CIBSDocumentImages : public CIBSImageSource {
public:
  // Collects the document's image files; none for a null or invalid document.
  explicit CIBSDocumentImages(const CIBSDocument* document);

  int GetImageCount() override { return static_cast<int>(m_paths.size()); }
  BOOL LoadImageInto(int index, CQVBitmapHandle& bitmap) override;

private:
  std::vector<CString> m_paths;
};
