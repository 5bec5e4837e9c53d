#pragma once
// The viewer's page window: the framework's grid of image cells joined to the image list of the
// document on screen. It pages through the images a screenful at a time, frees the painted bitmaps
// of pages that leave the screen (so that about one screenful stays in memory), numbers the cells
// and offers the press-and-hold magnifier. Cells are painted through three hooks that do nothing
// here; the document browser fills them.
//
// It is the store's browser (CIBSBrowserLink): the store of published batches loads the current
// document's images through it. The window never owns the store. UI thread only; the image list's
// own locks keep the pages safe for the workers that read them.

#include "framework/views/CQVImageListWnd.h"
#include "platform/core/sync.h"
#include "viewer/browser/CIBSImageList.h"
#include "viewer/model/CIBSBrowserLink.h"

class CIBSPlant;

// What the magnifier is given for a press on a cell: the point of the full-size image under the
// press, the screen rectangle the lens may cover, and its zoom. Worked out by ShowMagnifier.
struct CIBSMagnifierView {
  CPoint screenPoint;
  CPoint sourcePoint;
  CRect bounds;
  int zoom { 0 };
};

class CIBSImageListWnd : public CQVImageListWnd, public CIBSBrowserLink {
  DECLARE_DYNCREATE(CIBSImageListWnd)
public:
  // Off-screen painting, copied to the screen every 2 cells; no scroll bars.
  CIBSImageListWnd();
  ~CIBSImageListWnd() override = default;

  void SetStore(CIBSPlant* store);
  CIBSPlant* GetStore();

  // The item of an image index; null without a list or outside it.
  CIBSImageListItem* GetImageItem(int index);

  // Paging; the first visible image changes only when the answer is TRUE and it is not there yet.
  BOOL GoToImage(int index);
  BOOL GoToFirst();
  // The last image alone in the first cell.
  BOOL GoToLast();
  BOOL PagePrevious();
  // FALSE on the last page.
  BOOL PageNext();
  void RefreshAll();

  // Shows the magnifier over the cell under `point` (client coordinates) when `virtualKey` is
  // still held after `holdMs` milliseconds; a shorter press shows nothing.
  void MagnifyAt(int x, int y, int virtualKey, int holdMs);
  // The magnifier for `point` in an image rectangle whose painted bitmap `painted` is shown
  // through `transform`; `full` is the same image at full size, turned like the painted one.
  void ShowMagnifier(CQVBitmapHandle* painted, CDPXVWXform* transform, CPoint point, CRect imageRect,
                     CQVBitmapHandle* full);
  // The values ShowMagnifier hands to the lens; FALSE when it shows nothing.
  BOOL GetMagnifierView(CQVBitmapHandle* painted, CDPXVWXform* transform, CPoint point, CRect imageRect,
                        CQVBitmapHandle* full, CIBSMagnifierView& view);
  void SetMagnifierZoom(int zoom) { m_nMagnifierZoom = zoom; }
  int GetMagnifierZoom() const { return m_nMagnifierZoom; }

  // The store's browser.
  int LoadDocument(CIBSDocument* document) override;
  int GetImageCount() override;
  using CQVImageListWnd::SetCurrentPos;
  void SetCurrentPos(int index) override { GoToImage(index); }
  void Empty(BOOL repaint) override;

  // The hooks of the derived windows, in their fixed order.
  virtual CIBSImageList* GetImageList() { return &m_images; }
  // "001" for image index 0.
  virtual BOOL GetItemLabel(int index, CString& label);
  virtual void GetItemLayout(const CRect& cell, CRect& title, CRect& image) {}
  // Bit 0 of `flags`: the cell is selected. A cell beyond the last image has index -1, no item.
  virtual void PaintItemFrame(CDC* dc, int flags, const CRect& cell, int index, CIBSImageListItem* item) {}
  virtual void PaintItemContent(CDC* dc, int flags, const CRect& cell, int index, CIBSImageListItem* item) {}
  virtual void PaintItemOverlay(CDC* dc, int flags, const CRect& cell, int index, CIBSImageListItem* item) {}

  BOOL GetItemRect(int cell, CRect& rect) override;
  void OnLayoutChange() override;
  // Paints the background into the off-screen bitmap without showing it on its own, so that a
  // new layout reaches the screen with its cells, copied as they come.
  void OnUpdateLayoutAndCursor(int repaint) override;
  void OnPaintBackground(CDC* dc) override;
  void OnPaintItem(CDC* dc, int cell, int flags) override;

protected:
  // Runs the lens; the tests look at what it is given instead.
  virtual void ViewMagnifier(CQVBitmapHandle* full, const CIBSMagnifierView& view);
  // Sets the first visible image, freeing what leaves the screen, and repaints.
  void MoveFirstIndex(int index);
  // Frees the bitmaps of the images last laid out that the new page does not show.
  void FreeBitmapsOutside(int first, int cells);

  int m_nMagnifierWidth { 400 };
  int m_nMagnifierHeight { 300 };
  int m_nMagnifierZoom { 20000 };

private:
  CCriticalSection m_storeLock;
  CIBSPlant* m_pStore { nullptr };
  CIBSImageList m_images;
  HCURSOR m_hWaitCursor { nullptr };
};
