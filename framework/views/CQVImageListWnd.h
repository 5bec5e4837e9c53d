#pragma once
// CQVImageListWnd: a grid of image cells. The window lays out a window-full of cells in rows and
// columns, scrolls through a longer list of images one image index at a time, keeps a selected
// and a focused image and a zoom-and-pan transform per image, and paints the cells straight to
// the screen or through an off-screen bitmap of the client size.
//
// It owns no images: a derived class says how many there are (GetImageCount) and paints each cell
// (OnPaintItem, usually through PaintImage). Cells count from 0 in reading order; cell c shows
// image first index + c while that is below the image count.
//
// Layout modes: 0 none (no cells), 1 fixed cell size, 2 fixed columns and rows. In mode 1 a row
// that shows more than a fifth of its height counts as a row. Scroll-bar modes, per bar: 0 never,
// 1 when the layout wants it, 2 always (disabled while there is nothing to show). Both bars count
// in image indexes; their position is the first index.
//
// Cell states handed to OnPaintItem: 1 selected, 2 focused, added.
//
// UI thread only.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/util/CDPXObList.h"
#include "foundation/util/CDPXVWXform.h"
#include "platform/gdi/CBitmap.h"
#include "platform/ui/afx/CWnd.h"

#include <functional>

class CBrush;

// One image's transforms: the current one and a saved copy.
class __CQVImageListWndVWArrayItem : public CObject {
  DECLARE_DYNCREATE(__CQVImageListWndVWArrayItem)
public:
  CDPXVWXform m_current;
  CDPXVWXform m_saved;
};

class CQVImageListWnd : public CWnd {
  DECLARE_DYNAMIC(CQVImageListWnd)
public:
  CQVImageListWnd() = default;
  ~CQVImageListWnd() override = default;

  using CWnd::CreateEx;
  // Adds or removes WS_HSCROLL and WS_VSCROLL by the bar modes; no selection, no focus, first
  // index 0.
  BOOL CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // FALSE, layout unchanged, when either value is below 1.
  BOOL SetFPSMode(int cellWidth, int cellHeight);
  BOOL SetFPCMode(int columns, int rows);

  void UpdateImageList() { OnUpdateImageList(); }
  void UpdateLayout() { OnUpdateLayout(); }
  void UpdateCursor(int repaint) { OnUpdateCursor(repaint); }

  // Visible cells: rows x columns.
  int GetItemCount();
  BOOL GetCurrentPos(int& index) const;
  // FALSE unless 0 <= index < image count.
  BOOL SetCurrentPos(int index, int repaint);
  BOOL GetSelectedIndex(int& index) const;
  BOOL GetFocusedIndex(int& index) const;
  // An index outside the images means none (-1). Setting the value it has does nothing.
  BOOL SetSelectedIndex(int index, int repaint);
  BOOL SetFocusedIndex(int index, int repaint);

  // The hooks, in their fixed order; derived classes rely on it and on the defaults.
  virtual int GetImageCount() { return 0; }
  virtual CQVBitmapHandle* GetImage(int) { return nullptr; }
  virtual void OnUpdateImageList();
  virtual int GetColCount();
  virtual int GetRowCount();
  virtual BOOL GetItemSize(CSize& size);
  virtual BOOL GetItemRect(int cell, CRect& rect);
  virtual BOOL HitTest(CPoint point, int& cell);
  virtual void OnUpdateLayout() { OnUpdateLayoutAndCursor(TRUE); }
  virtual void OnUpdateCursor(int repaint) { OnUpdateLayoutAndCursor(repaint); }
  virtual void OnSelChange() {}
  virtual void OnUpdateLayoutAndCursor(int repaint);
  virtual void OnLayoutChange();
  virtual void OnPaintBackground(CDC*) {}
  virtual void OnPaintItem(CDC*, int, int) {}
  virtual void __RepaintItem(int cell, CDC* dc);
  // A null DC means the window's own. Off screen (and not direct) the cell goes through the
  // bitmap, which is then copied to the DC.
  virtual void RepaintItem(int cell, CDC* dc, int direct);
  virtual void RepaintAllItems(CDC* dc, int direct);
  virtual void Repaint(int background, CDC* dc, int direct);
  virtual void UpdateScrollBars();

protected:
  BOOL IndexToItem(int index, int& cell);
  BOOL ItemToIndex(int cell, int& index);

  // Per-image transforms. Growing copies the last transform into the new items.
  BOOL SetVWArraySize(int count);
  CDPXVWXform* GetVW(int index);
  CDPXVWXform* GetVW_Saved(int index);
  BOOL SaveVW(int index);
  BOOL SaveAllVW();

  // The off-screen bitmap, remade at the client size (filled with the button-shadow colour) when
  // that changes; null without a window, a DC or a client area.
  CBitmap* GetVBuffer(CDC* dc);
  BOOL BeginPaintVBuffer(CDC* dc, CDC& bufferDC, CBitmap*& oldBitmap);
  // Copies the whole bitmap to `dc` and lets go of the buffer DC.
  void EndPaintVBuffer(CDC* dc, CDC& bufferDC, CBitmap*& oldBitmap);
  void FlushVBuffer(CDC* dc);
  void FlushVBuffer(CDC& bufferDC, CDC* dc);

  void RepaintBackground(CDC* dc, int direct);
  void __RepaintBackground(CDC* dc);
  // The whole client area, or only what lies outside the cells; white without a brush.
  void PaintBackground_All(CDC* dc, CBrush* brush);
  void PaintBackground_Frame(CDC* dc, CBrush* brush);
  // The image through the transform (fitted and centred when null) into the cell, the rest of the
  // cell in the background brush when given. A 1-bit image without paint modes of its own is
  // reduced to grey, so that text stays readable small; its modes are as they were afterwards.
  void PaintImage(CDC* dc, CQVBitmapHandle* bitmap, CRect cell, CDPXVWXform* transform, CBrush* background);

  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  DECLARE_MESSAGE_MAP()

  // Derived classes set the focus tracking, the off-screen painting with its flush interval and
  // the bar modes directly.
  int m_nLayoutMode { 0 };
  int m_nFPSWidth { 0 };
  int m_nFPSHeight { 0 };
  int m_nFPCColumns { 0 };
  int m_nFPCRows { 0 };
  BOOL m_bSizing { FALSE };
  int m_nFirstIndex { 0 };
  int m_nSelectedIndex { -1 };
  int m_nFocusedIndex { -1 };
  BOOL m_bFocusTracking { FALSE };
  int m_nLastCellCount { -1 };
  int m_nLastFirstIndex { -1 };
  BOOL m_bOffscreen { FALSE };
  int m_nFlushInterval { 0 };
  CBitmap m_vbuffer;
  int m_nVBufferWidth { 0 };
  int m_nVBufferHeight { 0 };
  int m_nHScrollMode { 1 };
  int m_nVScrollMode { 1 };
  CDPXObList m_vwArray;

private:
  void ClearFocus();
  void RepaintIndex(int index);
  // The new first index for a scroll code on one bar; FALSE when the code moves nothing.
  BOOL ScrollTarget(int bar, UINT code, UINT pos, int& target);
  void Scroll(int bar, UINT code, UINT pos);
  // Off screen (and not direct): `paint` into the bitmap, which is then copied to `dc`. FALSE
  // when the painting is to go straight to the DC, or the bitmap cannot be prepared.
  BOOL PaintThroughVBuffer(CDC* dc, int direct, const std::function<void(CDC*)>& paint);
};
