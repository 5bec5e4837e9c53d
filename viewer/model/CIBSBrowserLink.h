#pragma once
// What the store of published batches asks of the document browser. The browser window implements
// it and registers itself with the store (CIBSPlant::SetBrowser); without a browser the store shows
// nothing.

#include "platform/core/wintypes.h"

class CIBSDocument;

class CIBSBrowserLink {
public:
  virtual ~CIBSBrowserLink() = default;

  // Fills the browser's image list with the document's images; answers how many were listed.
  virtual int LoadDocument(CIBSDocument* document) = 0;
  virtual int GetImageCount() = 0;
  // Shows the browser from image `index` on.
  virtual void SetCurrentPos(int index) = 0;
  // Empties the image list and refreshes the browser; `repaint` paints it at once.
  virtual void Empty(BOOL repaint) = 0;
};
