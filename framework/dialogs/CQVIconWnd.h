#pragma once
// CQVIconWnd: a small window that shows one bitmap, optionally over a transparency mask, in one of
// five placements:
//   0 stretched over the client area (any other value is taken as 0)
//   1 actual size at the top-left corner
//   2 actual size, centred
//   3 scaled to fit at the top-left corner
//   4 scaled to fit, centred
// The mask (black where the icon shows, white where the background shows through; the icon black
// there) is used only when it has the icon's size. Nothing repaints by itself when the bitmaps or
// the placement change: the owner calls Repaint or invalidates the window.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/language/CQVRCMModule.h"
#include "platform/ui/afx/CWnd.h"

class CQVIconWnd : public CWnd, public virtual CQVRCMModule {
  DECLARE_DYNAMIC(CQVIconWnd)
public:
  CQVIconWnd() = default;

  // Creates a child window at `rect` (create) or takes over the parent's dialog item `id`, then
  // enables it. FALSE when the window exists already or cannot be made.
  BOOL AutoLoad(UINT id, CWnd* parent, BOOL create = FALSE, CRect rect = CRect(0, 0, 0, 0));

  void SetPaintMode(int mode);
  int GetPaintMode() const { return m_nPaintMode; }

  // By key, from this window's language module; a missing key leaves the bitmap empty.
  void SetIcon(LPCWSTR key);
  void SetMask(LPCWSTR key);
  void SetIcon(CQVBitmapHandle& icon);
  void SetMask(CQVBitmapHandle& mask);
  void SetIconMask(LPCWSTR iconKey, LPCWSTR maskKey);
  void SetIconMask(CQVBitmapHandle& icon, CQVBitmapHandle& mask);
  CQVBitmapHandle* GetIcon() { return &m_icon; }
  CQVBitmapHandle* GetMask() { return &m_mask; }

  // Paints into `dc`, or into a DC of the window when `dc` is null.
  void Repaint(CDC* dc = nullptr);

protected:
  void __Repaint(CDC* dc);
  // Where the icon goes in a client area of the given size.
  CRect TargetRect(int clientWidth, int clientHeight) const;
  void LoadByKey(LPCWSTR key, CQVBitmapHandle& bitmap);

  void OnPaint();
  DECLARE_MESSAGE_MAP()

private:
  int m_nPaintMode { 0 };
  CQVBitmapHandle m_icon;
  CQVBitmapHandle m_mask;
};
