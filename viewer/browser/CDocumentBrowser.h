#pragma once
// The viewer's main view: a grid of page cells (4 columns by 2 rows until the main document says
// otherwise), each with a numbered title bar and its page in its own zoom, position and rotation.
// What a left click does is the tool mode:
//   0 magnifier while held, 1 pan (zoom with Ctrl; every cell with Shift), 2 print the page,
//   3 e-mail the page, 4/5/6 turn the page by 90/180/270 degrees, 7 copy the page to the
//   clipboard, 8 copy the banded part of the page to the clipboard.
// Enter or Space apply modes 2 to 7 to the selected page. Zoom values are hundredths of a percent
// (10000 shows one image pixel per screen pixel); turns are hundredths of a degree.
//
// Fit modes: 0 free, 1 actual size, 2 fit width, 3 fit height, 4 the whole page. The fit mode is
// applied to every cell whenever it is painted; zooming sets it free.
//
// UI thread only.

#include "viewer/browser/CIBSImageListWnd.h"

class CDocumentBrowserOutput;
class CMainSettings;

class CDocumentBrowser : public CIBSImageListWnd {
  DECLARE_DYNCREATE(CDocumentBrowser)
public:
  enum { fitFree = 0, fitActual = 1, fitWidth = 2, fitHeight = 3, fitWhole = 4 };
  enum {
    actionApply = 0, actionActualSize = 1, actionFitWidth = 2, actionFitHeight = 3, actionFitWhole = 4,
    actionZoomIn = 5, actionZoomOut = 6, actionLeft = 7, actionRight = 8, actionUp = 9, actionDown = 10,
    actionToLeft = 11, actionToRight = 12, actionToTop = 13, actionToBottom = 14
  };

  CDocumentBrowser();
  // Takes the browser off its store.
  ~CDocumentBrowser() override;

  // The settings the tool modes read and the single-page outputs change, and what runs the outputs;
  // neither is owned. Without settings the magnifier uses its own zoom and the outputs do nothing.
  void SetSettings(CMainSettings* settings) { m_pSettings = settings; }
  void SetOutput(CDocumentBrowserOutput* output) { m_pOutput = output; }

  void SetToolMode(int mode) { m_nToolMode = mode; }
  int GetToolMode() const { return m_nToolMode; }
  int GetFitMode() const { return m_nFitMode; }

  // Runs a view action on every visible cell (`all`) or on the selected page's cell, then shows
  // it. Actions 0 to 4 become the fit mode. `step`: the zoom step of zoom in and out (x 4), the
  // image pixels of a scroll.
  void ApplyViewAction(int action, BOOL all, int step);
  void RotateImages(int angle, BOOL all);
  void SelectNextCell();
  void SelectPreviousCell();
  // Selects the page of the cell (0..9) and applies the tool mode to it.
  void ActOnCell(int cell);

  void PrintDocument();
  void EmailDocument();
  void SaveDocumentAsPdf();
  void PrintImage(int cell);
  void EmailImage(int cell);
  void CopyImageToClipboard();
  // The error box of a failed e-mail job's code; nothing for 0 and above.
  static void ShowEmailError(int code);
  // The text key of that box; null for 0 and above.
  static LPCWSTR EmailErrorKey(int code);
  // The images an output takes by range mode: 1 all, 2 from..to (to lowered to the image count),
  // 3 the visible page. FALSE for any other mode. `first` is 1-based.
  BOOL GetOutputRange(int mode, int from, int to, int& first, int& count);
  // The image as stored, without its rotation; for the PDF task.
  BOOL LoadImageInto(int index, CQVBitmapHandle& bitmap);

  BOOL PreTranslateMessage(MSG* msg) override;
  CQVBitmapHandle* GetImage(int index) override;
  // A cell 60 pixels or more each way has a 20-pixel title bar above its image; one of 48 or more
  // only the image; a smaller one neither.
  void GetItemLayout(const CRect& cell, CRect& title, CRect& image) override;
  void PaintItemFrame(CDC* dc, int flags, const CRect& cell, int index, CIBSImageListItem* item) override;
  void PaintItemContent(CDC* dc, int flags, const CRect& cell, int index, CIBSImageListItem* item) override;

protected:
  // One view action on one cell's transform, which is then applied (recentred or kept inside the
  // image).
  void ViewAction(int cell, int action, int step);
  // The cell showing the selected image; FALSE when it is not on screen.
  BOOL GetSelectedCell(int& cell);
  // The tool mode's action on the selected page (Enter, Space, ActOnCell).
  void RunToolAction();
  void ShowNoImageFiles();
  // The band of mode 8, drawn so that drawing it again takes it away.
  void DrawBand();
  void CopyBand();

  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnSize(UINT type, int cx, int cy);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  // Double clicks and the right button do nothing here.
  void OnLButtonDblClk(UINT, CPoint) {}
  void OnRButtonDown(UINT, CPoint) {}
  void OnRButtonUp(UINT, CPoint) {}
  void OnRButtonDblClk(UINT, CPoint) {}
  DECLARE_MESSAGE_MAP()

  int m_nToolMode { 0 };
  int m_nFitMode { fitWhole };
  CPoint m_ptBandStart { 0, 0 };
  CPoint m_ptBandEnd { 0, 0 };
  int m_nBandState { -1 };
  int m_nDragState { 0 };
  int m_nDragCell { -1 };
  int m_nDragStartX { 0 };
  int m_nDragStartY { 0 };

private:
  CMainSettings* m_pSettings { nullptr };
  CDocumentBrowserOutput* m_pOutput { nullptr };
};
