#pragma once
// What the main document asks of the document browser: its tool mode (what a click on a page
// does), its view actions and fit mode, its grid, paging, the cell actions and the outputs of the
// shown document. The browser's view hands one to the document (CMainDoc::SetBrowser); while there
// is none the commands that need it do nothing.

#include "platform/core/wintypes.h"

class CMainBrowser {
public:
  // Tool modes.
  enum { toolMagnify = 0, toolScroll = 1, toolPrint = 2, toolEmail = 3, toolRotate90 = 4, toolRotate180 = 5,
         toolRotate270 = 6, toolCopy = 7, toolCopyArea = 8 };
  // View actions; only actual size, fit width and fit whole page become the fit mode.
  enum { viewActualSize = 1, viewFitWidth = 2, viewFitWhole = 4, viewZoomIn = 5, viewZoomOut = 6, viewLeft = 7,
         viewRight = 8, viewUp = 9, viewDown = 10, viewLeftEdge = 11, viewRightEdge = 12, viewTopEdge = 13,
         viewBottomEdge = 14 };

  virtual ~CMainBrowser() = default;

  virtual int GetToolMode() = 0;
  virtual void SetToolMode(int mode) = 0;
  virtual int GetFitMode() = 0;
  // `allCells` applies the action to every visible cell; `step` is in hundredths of a percent for
  // zooming, in pixels for moving.
  virtual void ApplyViewAction(int action, BOOL allCells, int step) = 0;
  virtual void SetFPCMode(int columns, int rows) = 0;

  virtual int GetImageCount() = 0;
  virtual void GoToFirst() = 0;
  virtual void GoToLast() = 0;
  virtual void PagePrevious() = 0;
  virtual void PageNext() = 0;
  // From 0.
  virtual void GoToImage(int index) = 0;
  // Selects the image of the visible cell (from 0) and runs the tool mode's action on it.
  virtual void ActOnCell(int cell) = 0;
  virtual void SelectNextCell() = 0;
  virtual void SelectPreviousCell() = 0;

  virtual void PrintDocument() = 0;
  virtual void EmailDocument() = 0;
  virtual void SaveDocumentAsPdf() = 0;
};
