#include "viewer/browser/CDocumentBrowser.h"

#include "framework/dialogs/CQVDialogHelper.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"
#include "platform/core/module.h"
#include "platform/ui/win/windc.h"
#include "platform/ui/win/winctrl.h"
#include "viewer/browser/CDocumentBrowserOutput.h"
#include "viewer/mail/CEmailJob.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/CMainSettings.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNCREATE(CDocumentBrowser, CIBSImageListWnd)

BEGIN_MESSAGE_MAP(CDocumentBrowser, CIBSImageListWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_SIZE()
  ON_WM_SETCURSOR()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_RBUTTONDBLCLK()
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kImageBackground = RGB(225, 225, 225);
constexpr int kMagnifierHoldMs = 500;
constexpr int kRefitStep = 100;
constexpr int kMinZoomOut = 400;
constexpr int kTitleHeight = 20;

// The zooms at which the world fills the view's width and height; FALSE when either side of the
// view or the world is empty.
BOOL FitZooms(const CDPXVWXform& vw, int& fitX, int& fitY) {
  RECT view;
  vw.GetViewRect(view);
  int worldWidth, worldHeight;
  vw.GetWorldSize(worldWidth, worldHeight);
  const int viewWidth = view.right - view.left;
  const int viewHeight = view.bottom - view.top;
  if (viewWidth < 1 || viewHeight < 1 || worldWidth < 1 || worldHeight < 1) return FALSE;
  fitX = static_cast<int>(std::min<long long>(INT_MAX, 1LL * viewWidth * CDPXVWXform::kUnitScale / worldWidth));
  fitY = static_cast<int>(std::min<long long>(INT_MAX, 1LL * viewHeight * CDPXVWXform::kUnitScale / worldHeight));
  return TRUE;
}

// Fit modes 2 to 4 on a transform whose fit zooms exist; the others keep the zoom.
void ApplyFit(CDPXVWXform& vw, int fitMode, int fitX, int fitY) {
  switch (fitMode) {
  case CDocumentBrowser::fitWidth: vw.SetZoom(fitX); break;
  case CDocumentBrowser::fitHeight: vw.SetZoom(fitY); break;
  case CDocumentBrowser::fitWhole: vw.SetZoom(std::min(fitX, fitY)); break;
  default: break;
  }
}

// The text of a key with its placeholders filled.
CString Filled(CQVRCMModule& texts, LPCWSTR key, const CIBSPlaceholders& placeholders) {
  CString text;
  texts.LoadText(key, text);
  for (const auto& [name, value] : placeholders) text.Replace(name, value);
  return text;
}

}  // namespace

CDocumentBrowser::CDocumentBrowser() {
  // The layout of 4 columns by 2 rows, set before there is a window to lay out.
  m_nLayoutMode = 2;
  m_nFPCColumns = 4;
  m_nFPCRows = 2;
  m_nMagnifierWidth = 400;
  m_nMagnifierHeight = 300;
  m_nMagnifierZoom = 20000;
}

CDocumentBrowser::~CDocumentBrowser() {
  if (CIBSPlant* store = GetStore(); store && store->GetBrowser() == this) store->SetBrowser(nullptr);
}

CQVBitmapHandle* CDocumentBrowser::GetImage(int index) {
  CIBSImageListItem* item = GetImageItem(index);
  return item ? item->GetBitmap() : nullptr;
}

BOOL CDocumentBrowser::LoadImageInto(int index, CQVBitmapHandle& bitmap) {
  CIBSImageList* list = GetImageList();
  return list && list->LoadImageInto(index, bitmap);
}

// ---- Cells -------------------------------------------------------------------------------------

void CDocumentBrowser::GetItemLayout(const CRect& cell, CRect& title, CRect& image) {
  CRect c = cell;
  c.NormalizeRect();
  title.SetRectEmpty();
  image.SetRectEmpty();
  if (c.Width() >= 60 && c.Height() >= 60) {
    title.SetRect(c.left, c.top, c.right, c.top + kTitleHeight);
    image.SetRect(c.left + 1, c.top + kTitleHeight + 1, c.right - 1, c.bottom - 1);
  } else if (c.Width() >= 48 && c.Height() >= 48) {
    image.SetRect(c.left + 1, c.top + 1, c.right - 1, c.bottom - 1);
  }
}

void CDocumentBrowser::PaintItemFrame(CDC* dc, int flags, const CRect& cell, int index, CIBSImageListItem* item) {
  if (!dc) return;
  CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
  if (index < 0 || !item || cell.IsRectEmpty()) {
    dc->FillRect(&cell, &shadow);
    return;
  }
  const bool selected = flags & 1;
  CRect title, image;
  GetItemLayout(cell, title, image);
  CRgn frame, titleRgn, imageRgn;
  if (!frame.CreateRectRgnIndirect(&cell) || !titleRgn.CreateRectRgnIndirect(&title) ||
      !imageRgn.CreateRectRgnIndirect(&image) || frame.CombineRgn(&frame, &titleRgn, RGN_DIFF) == ERROR ||
      frame.CombineRgn(&frame, &imageRgn, RGN_DIFF) == ERROR) {
    dc->FillRect(&cell, &shadow);
    return;
  }
  CBrush border(::GetSysColor(selected ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER));
  dc->FillRgn(&frame, &border);
  CBrush caption(::GetSysColor(selected ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  dc->FillRect(&title, &caption);
}

void CDocumentBrowser::PaintItemContent(CDC* dc, int flags, const CRect& cell, int index, CIBSImageListItem* item) {
  if (!dc || index < 0 || !item) return;
  CRect title, image;
  GetItemLayout(cell, title, image);
  if (!title.IsRectEmpty()) {
    CString label;
    GetItemLabel(index, label);
    const COLORREF oldColour = dc->SetTextColor(::GetSysColor(flags & 1 ? COLOR_CAPTIONTEXT : COLOR_BTNFACE));
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    dc->DrawText(label, &title, 0);
    dc->SetBkMode(oldMode);
    dc->SetTextColor(oldColour);
  }
  if (image.IsRectEmpty()) return;

  CBrush background(kImageBackground);
  int cellNumber = -1;
  CQVBitmapHandle* bitmap = GetImage(index);
  CDPXVWXform* vw = IndexToItem(index, cellNumber) ? GetVW(cellNumber) : nullptr;
  if (!bitmap || !vw || bitmap->GetWidth() < 1 || bitmap->GetHeight() < 1) {
    dc->FillRect(&image, &background);
    // A page that cannot be read says so in its cell.
    if (item->IsUnreadable()) {
      CString text;
      CQVDialogHelper(this).LoadText(u"MSG_INFO_FAILED_LOAGIMAGE", text);
      CRect area = image;
      area.DeflateRect(4, 4);
      const COLORREF oldColour = dc->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
      const int oldMode = dc->SetBkMode(TRANSPARENT);
      dc->DrawText(text, &area, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
      dc->SetBkMode(oldMode);
      dc->SetTextColor(oldColour);
    }
    return;
  }
  vw->SetViewSize(image.Width(), image.Height());
  vw->SetWorldSize(bitmap->GetWidth(), bitmap->GetHeight());
  int fitX, fitY;
  if (FitZooms(*vw, fitX, fitY)) ApplyFit(*vw, m_nFitMode, fitX, fitY);
  else vw->SetZoom(CDPXVWXform::kUnitScale);
  vw->AdjustOrigin();
  PaintImage(dc, bitmap, image, vw, &background);
}

// ---- View actions ------------------------------------------------------------------------------

void CDocumentBrowser::ViewAction(int cell, int action, int step) {
  CDPXVWXform* vw = GetVW(cell);
  if (!vw) return;
  int fitX = 0, fitY = 0;
  const BOOL fits = FitZooms(*vw, fitX, fitY);
  int zoomX, zoomY, x, y, worldWidth, worldHeight, visibleWidth, visibleHeight;
  vw->GetZoom(zoomX, zoomY);
  vw->GetOrigin(x, y);
  vw->GetWorldSize(worldWidth, worldHeight);
  RECT view;
  vw->GetViewRect(view);
  vw->ViewToWorldX(view.right - view.left, visibleWidth);
  vw->ViewToWorldY(view.bottom - view.top, visibleHeight);
  switch (action) {
  case actionActualSize: vw->SetZoom(CDPXVWXform::kUnitScale); break;
  case actionFitWidth:
  case actionFitHeight:
  case actionFitWhole:
    if (fits) ApplyFit(*vw, action, fitX, fitY);
    else vw->SetZoom(CDPXVWXform::kUnitScale);
    break;
  case actionZoomIn:
    vw->SetZoom(std::min(zoomX + step / 4, CDPXVWXform::kUnitScale));
    m_nFitMode = fitFree;
    break;
  case actionZoomOut: {
    const int floor = fits ? std::min(std::min(fitX, fitY), kMinZoomOut) : kMinZoomOut;
    vw->SetZoom(std::max(zoomX - step / 4, floor));
    m_nFitMode = fitFree;
    break;
  }
  case actionLeft: vw->SetOrigin(x - step, y); break;
  case actionRight: vw->SetOrigin(x + step, y); break;
  case actionUp: vw->SetOrigin(x, y - step); break;
  case actionDown: vw->SetOrigin(x, y + step); break;
  case actionToLeft: vw->SetOrigin(0, y); break;
  case actionToRight: vw->SetOrigin(worldWidth - visibleWidth, y); break;
  case actionToTop: vw->SetOrigin(x, 0); break;
  case actionToBottom: vw->SetOrigin(x, worldHeight - visibleHeight); break;
  default: break;
  }
  vw->AdjustOrigin();
}

BOOL CDocumentBrowser::GetSelectedCell(int& cell) {
  int selected = -1;
  GetSelectedIndex(selected);
  return selected >= 0 && IndexToItem(selected, cell);
}

void CDocumentBrowser::ApplyViewAction(int action, BOOL all, int step) {
  if (action >= actionApply && action <= actionFitWhole) m_nFitMode = action;
  if (all) {
    const int cells = GetItemCount();
    for (int cell = 0; cell < cells; ++cell) ViewAction(cell, action, step);
    RepaintAllItems(nullptr, FALSE);
    return;
  }
  int cell;
  if (!GetSelectedCell(cell)) return;
  ViewAction(cell, action, step);
  RepaintItem(cell, nullptr, FALSE);
}

void CDocumentBrowser::OnSize(UINT type, int cx, int cy) {
  CIBSImageListWnd::OnSize(type, cx, cy);
  const int cells = GetItemCount();
  for (int cell = 0; cell < cells; ++cell) ViewAction(cell, m_nFitMode, kRefitStep);
  RepaintAllItems(nullptr, FALSE);
}

void CDocumentBrowser::RotateImages(int angle, BOOL all) {
  if (!all) {
    int cell, selected = -1;
    if (!GetSelectedCell(cell) || !GetSelectedIndex(selected)) return;
    if (CIBSImageListItem* item = GetImageItem(selected)) item->Rotate(angle);
    // Painting loads the turned page; the fit is then worked out for its new shape.
    RepaintItem(cell, nullptr, FALSE);
    ViewAction(cell, m_nFitMode, kRefitStep);
    RepaintItem(cell, nullptr, FALSE);
    return;
  }
  const int cells = GetItemCount();
  for (int cell = 0; cell < cells; ++cell) {
    int index;
    if (!ItemToIndex(cell, index)) continue;
    if (CIBSImageListItem* item = GetImageItem(index)) item->Rotate(angle);
  }
  RepaintAllItems(nullptr, FALSE);
  for (int cell = 0; cell < cells; ++cell) ViewAction(cell, m_nFitMode, kRefitStep);
  RepaintAllItems(nullptr, FALSE);
  RepaintAllItems(nullptr, FALSE);
}

// ---- Selection and tool actions ----------------------------------------------------------------

void CDocumentBrowser::SelectNextCell() {
  int cell, selected = -1;
  GetSelectedIndex(selected);
  const int count = GetImageCount();
  if (GetSelectedCell(cell) && selected != count - 1) {
    SetSelectedIndex(cell + 1 < GetItemCount() ? selected + 1 : m_nFirstIndex, TRUE);
    return;
  }
  if (m_nFirstIndex < count) SetSelectedIndex(m_nFirstIndex, TRUE);
}

void CDocumentBrowser::SelectPreviousCell() {
  int cell, selected = -1;
  GetSelectedIndex(selected);
  if (GetSelectedCell(cell) && selected != m_nFirstIndex) {
    SetSelectedIndex(selected - 1, TRUE);
    return;
  }
  const int last = m_nFirstIndex + GetItemCount() - 1;
  SetSelectedIndex(last < GetImageCount() ? last : GetImageCount() - 1, TRUE);
}

void CDocumentBrowser::ActOnCell(int cell) {
  int index;
  if (!ItemToIndex(cell, index)) return;
  SetSelectedIndex(index, TRUE);
  RunToolAction();
}

void CDocumentBrowser::RunToolAction() {
  int cell;
  if (!GetSelectedCell(cell)) return;
  switch (m_nToolMode) {
  case 2: PrintImage(cell); break;
  case 3: EmailImage(cell); break;
  case 4: RotateImages(9000, FALSE); break;
  case 5: RotateImages(18000, FALSE); break;
  case 6: RotateImages(27000, FALSE); break;
  case 7: CopyImageToClipboard(); break;
  default: break;
  }
}

BOOL CDocumentBrowser::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_SPACE)) {
    RunToolAction();
    return TRUE;
  }
  return CIBSImageListWnd::PreTranslateMessage(msg);
}

// ---- Mouse -------------------------------------------------------------------------------------

void CDocumentBrowser::OnLButtonDown(UINT flags, CPoint point) {
  // The base selects the pressed page first; the tool then works on it.
  CIBSImageListWnd::OnLButtonDown(flags, point);
  int cell = -1;
  switch (m_nToolMode) {
  case 0:
    if (m_pSettings) m_nMagnifierZoom = m_pSettings->m_screenLayout.nViewMagnifierRatio * 100;
    MagnifyAt(point.x, point.y, VK_LBUTTON, kMagnifierHoldMs);
    break;
  case 1:
    if (m_nDragState != 0 || !HitTest(point, cell)) break;
    SaveAllVW();
    m_nDragState = flags & MK_CONTROL ? 2 : 1;
    m_nDragCell = cell;
    m_nDragStartX = point.x;
    m_nDragStartY = point.y;
    SetCapture();
    break;
  case 2:
  case 3:
    if (HitTest(point, cell)) m_nToolMode == 2 ? PrintImage(cell) : EmailImage(cell);
    break;
  case 4:
  case 5:
  case 6:
  case 7: RunToolAction(); break;
  case 8:
    if (m_nBandState != -1 || !HitTest(point, cell)) break;
    m_nBandState = 0;
    m_nDragCell = cell;
    m_ptBandStart = m_ptBandEnd = point;
    SetCapture();
    break;
  default: break;
  }
}

void CDocumentBrowser::OnMouseMove(UINT flags, CPoint point) {
  CIBSImageListWnd::OnMouseMove(flags, point);
  if (m_nBandState == 0) {
    CRect cellRect, title, image;
    if (!GetItemRect(m_nDragCell, cellRect)) return;
    GetItemLayout(cellRect, title, image);
    DrawBand();
    m_ptBandEnd.x = std::clamp<int>(point.x, image.left, std::max<int>(image.left, image.right - 1));
    m_ptBandEnd.y = std::clamp<int>(point.y, image.top, std::max<int>(image.top, image.bottom - 1));
    DrawBand();
    return;
  }
  if (m_nDragState == 0) return;
  CDPXVWXform* saved = GetVW_Saved(m_nDragCell);
  if (!saved) {
    m_nDragState = 0;
    m_nDragCell = -1;
    if (GetCapture() == this) ReleaseCapture();
    return;
  }
  int zoomX, zoomY;
  saved->GetZoom(zoomX, zoomY);
  const int cells = GetItemCount();
  const bool every = flags & MK_SHIFT;
  if (m_nDragState == 1) {
    const int dx = static_cast<int>(1LL * (point.x - m_nDragStartX) * CDPXVWXform::kUnitScale / zoomX);
    const int dy = static_cast<int>(1LL * (point.y - m_nDragStartY) * CDPXVWXform::kUnitScale / zoomY);
    for (int cell = every ? 0 : m_nDragCell; cell < (every ? cells : m_nDragCell + 1); ++cell) {
      CDPXVWXform* from = GetVW_Saved(cell);
      CDPXVWXform* to = GetVW(cell);
      if (!from || !to) continue;
      int x, y;
      from->GetOrigin(x, y);
      to->SetOrigin(x - dx, y - dy);
    }
  } else {
    const double dx = point.x - m_nDragStartX;
    const double dy = point.y - m_nDragStartY;
    const double distance = std::sqrt(dx * dx + dy * dy) * (dy < 0 ? -1 : 1);
    for (int cell = every ? 0 : m_nDragCell; cell < (every ? cells : m_nDragCell + 1); ++cell) {
      CDPXVWXform* from = GetVW_Saved(cell);
      CDPXVWXform* to = GetVW(cell);
      if (!from || !to) continue;
      int savedZoom, unused, fitX, fitY;
      from->GetZoom(savedZoom, unused);
      int zoom = savedZoom + static_cast<int>(distance * 100);
      if (FitZooms(*from, fitX, fitY)) zoom = std::max(zoom, std::min(fitX, fitY));
      to->SetZoom(zoom);
    }
    // A zoom chosen by hand must survive the next paint, which would fit the page again.
    m_nFitMode = fitFree;
  }
  if (every) RepaintAllItems(nullptr, FALSE);
  else RepaintItem(m_nDragCell, nullptr, FALSE);
}

void CDocumentBrowser::OnLButtonUp(UINT flags, CPoint point) {
  CIBSImageListWnd::OnLButtonUp(flags, point);
  if (m_nBandState == 0) {
    DrawBand();
    m_nBandState = -1;
    if (GetCapture() == this) ReleaseCapture();
    CopyBand();
    m_nDragCell = -1;
    return;
  }
  if (m_nDragState == 0) return;
  m_nDragState = 0;
  m_nDragCell = -1;
  if (GetCapture() == this) ReleaseCapture();
}

void CDocumentBrowser::DrawBand() {
  CClientDC dc(this);
  if (!dc.GetSafeHdc()) return;
  CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
  CPen* oldPen = dc.SelectObject(&pen);
  CGdiObject* oldBrush = dc.SelectStockObject(NULL_BRUSH);
  const int oldRop = dc.SetROP2(R2_NOTXORPEN);
  const int oldMode = dc.SetBkMode(OPAQUE);
  dc.Rectangle(m_ptBandStart.x, m_ptBandStart.y, m_ptBandEnd.x, m_ptBandEnd.y);
  dc.SetBkMode(oldMode);
  dc.SetROP2(oldRop);
  if (oldBrush) dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
}

void CDocumentBrowser::CopyBand() {
  CRect cellRect, title, image;
  int index;
  if (!GetItemRect(m_nDragCell, cellRect) || !ItemToIndex(m_nDragCell, index)) return;
  GetItemLayout(cellRect, title, image);
  CRect band(m_ptBandStart, m_ptBandEnd);
  band.NormalizeRect();
  band.OffsetRect(-image.left, -image.top);
  CDPXVWXform* vw = GetVW(m_nDragCell);
  CQVBitmapHandle* painted = GetImage(index);
  if (!vw || !painted || band.IsRectEmpty()) return;
  RECT world;
  vw->ViewToWorld(band.left, band.top, band.right, band.bottom, world);
  CRect area(world);
  area.IntersectRect(&area, CRect(0, 0, painted->GetWidth(), painted->GetHeight()));
  // A band beside the page holds nothing to copy.
  if (area.IsRectEmpty()) return;
  CQVBitmapHandle piece;
  if (!piece.Create(*painted, area) || !piece.CopyToClipboardAsDDB(GetSafeHwnd()))
    CQVDialogHelper(this).ErrorMsg(u"MSG_ERR_CLIPBOARDCRASHED");
}

void CDocumentBrowser::CopyImageToClipboard() {
  int cell, selected = -1;
  if (!GetSelectedCell(cell) || !GetSelectedIndex(selected)) return;
  CQVBitmapHandle* bitmap = GetImage(selected);
  if (!bitmap || !bitmap->CopyToClipboardAsDDB(GetSafeHwnd())) CQVDialogHelper(this).ErrorMsg(u"MSG_ERR_CLIPBOARDCRASHED");
}

BOOL CDocumentBrowser::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  static constexpr int kCursors[] = {155, 157, 143, 159, 142, 150, 153, 158, 160};
  HCURSOR cursor = nullptr;
  if (m_nToolMode >= 0 && m_nToolMode <= 8)
    cursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kCursors[m_nToolMode]));
  ::SetCursor(cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW));
  return TRUE;
}

// ---- Outputs -----------------------------------------------------------------------------------

BOOL CDocumentBrowser::GetOutputRange(int mode, int from, int to, int& first, int& count) {
  const int images = GetImageCount();
  switch (mode) {
  case 1:
    first = 1;
    count = images;
    return TRUE;
  case 2:
    first = from;
    count = std::min(to, images) - from + 1;
    return TRUE;
  case 3:
    first = m_nFirstIndex + 1;
    count = std::min(GetItemCount(), images - m_nFirstIndex);
    return TRUE;
  default: return FALSE;
  }
}

void CDocumentBrowser::ShowNoImageFiles() {
  CIBSPlant* store = GetStore();
  CString batch, number;
  if (store) {
    store->GetCurrentBatchDisplayName(batch);
    store->GetCurrentDocumentNumber(number);
  }
  CQVDialogHelper box(this);
  box._InfoMsg(Filled(box, u"MSG_INFO_NOIMAGEFILES", {{u"<%batchname%>", batch}, {u"<%docnumber%>", number}}));
}

void CDocumentBrowser::PrintDocument() {
  if (GetImageCount() < 1) ShowNoImageFiles();
  else if (m_pOutput) m_pOutput->PrintDocument(*this);
}

void CDocumentBrowser::EmailDocument() {
  if (GetImageCount() < 1) ShowNoImageFiles();
  else if (m_pOutput) m_pOutput->EmailDocument(*this);
}

void CDocumentBrowser::SaveDocumentAsPdf() {
  if (GetImageCount() < 1) ShowNoImageFiles();
  else if (m_pOutput) m_pOutput->SaveDocumentAsPdf(*this);
}

void CDocumentBrowser::PrintImage(int cell) {
  int index;
  if (!ItemToIndex(cell, index) || !m_pSettings) return;
  PrintSetting& print = m_pSettings->m_print;
  print.nNumPerSheet = 1;
  print.nPrintRange = 2;
  print.nPageFrom = print.nPageTo = index + 1;
  print.nRowNumber = 1;
  print.nColNumber = 1;
  PrintDocument();
}

void CDocumentBrowser::EmailImage(int cell) {
  int index;
  CIBSPlant* store = GetStore();
  if (!ItemToIndex(cell, index) || !store || !store->GetCurrentDocument() || !m_pSettings) return;
  EmailSetting& email = m_pSettings->m_email;
  email.nCombineTIFF = 0;
  email.nRangeMode = 2;
  email.nImagesFrom = email.nImagesTo = index + 1;
  EmailDocument();
}

LPCWSTR CDocumentBrowser::EmailErrorKey(int code) { return code < 0 ? CEmailJob::GetErrorKey(code) : nullptr; }

void CDocumentBrowser::ShowEmailError(int code) {
  if (LPCWSTR key = EmailErrorKey(code)) CQVDialogHelper(nullptr).ErrorMsg(key, u"QVKERNEL_DEFAULTCAPTION_ERRORMSG");
}
