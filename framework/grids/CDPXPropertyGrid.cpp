// The grid window: creation, its fonts, child layout, notifications and cell IDs. The operations on
// rows are in CDPXPropertyGridRows.cpp.

#include "framework/grids/CDPXPropertyGrid.h"

#include "framework/grids/CDPXPropertyGridDescBox.h"
#include "framework/grids/CDPXPropertyGridItem.h"
#include "framework/grids/CDPXPropertyGridPane.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/win/windc.h"

#include <QApplication>

IMPLEMENT_DYNAMIC(CDPXPropertyGrid, CWnd)

BEGIN_MESSAGE_MAP(CDPXPropertyGrid, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_SIZING()
  ON_WM_PAINT()
  ON_WM_SETFOCUS()
  ON_WM_ENABLE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
// Shared by every grid: made with the first, dropped with the last.
int g_instances = 0;
std::unique_ptr<CFont> g_normalFont;
std::unique_ptr<CFont> g_boldFont;

int FindFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<BOOL*>(found) = TRUE;
  return 0;
}
}  // namespace

CDPXPropertyGrid::CDPXPropertyGrid() {
  if (g_instances++ == 0) MakeFonts();
  m_root.m_grid = this;
  m_root.SetExpanded(TRUE);
}

CDPXPropertyGrid::~CDPXPropertyGrid() {
  if (GetSafeHwnd()) DestroyWindow();
  DeleteSubtree(&m_root);
  if (--g_instances == 0) DropFonts();
}

BOOL CDPXPropertyGrid::MakeFonts() {
  DropFonts();
  if (!qApp) return FALSE;
  NONCLIENTMETRICSW metrics {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return FALSE;
  LOGFONTW font = metrics.lfMenuFont;
  HDC screen = ::GetDC(nullptr);
  font.lfCharSet = static_cast<BYTE>(GetTextCharsetInfo(screen, nullptr, 0));
  if (font.lfCharSet <= 2) {
    BOOL found = FALSE;
    EnumFontFamiliesW(screen, u"Tahoma", FindFamily, reinterpret_cast<LPARAM>(&found));
    const char16_t* face = found ? u"Tahoma" : u"MS Sans Serif";
    std::char_traits<char16_t>::copy(font.lfFaceName, face, std::char_traits<char16_t>::length(face) + 1);
  }
  ::ReleaseDC(nullptr, screen);
  auto normal = std::make_unique<CFont>();
  auto bold = std::make_unique<CFont>();
  LOGFONTW boldFont = font;
  boldFont.lfWeight = FW_BOLD;
  if (!normal->CreateFontIndirect(&font) || !bold->CreateFontIndirect(&boldFont)) return FALSE;
  g_normalFont = std::move(normal);
  g_boldFont = std::move(bold);
  return TRUE;
}

void CDPXPropertyGrid::DropFonts() {
  g_normalFont.reset();
  g_boldFont.reset();
}

CFont* CDPXPropertyGrid::GetGridFont(BOOL bold) { return bold ? g_boldFont.get() : g_normalFont.get(); }

BOOL CDPXPropertyGrid::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id,
                              const CDPXPropertyGridColumnSet& columns) {
  // A grid made before the application could not make the fonts; the first Create tries again.
  if (!g_normalFont && !MakeFonts()) return FALSE;
  if (columns.columns.size() < 2 || GetSafeHwnd()) return FALSE;
  m_style = columns.style;
  m_leftMargin = kLeftMargin;
  m_dividers.clear();
  m_titles.clear();
  m_factories.clear();
  int x = GetContentLeft();
  for (size_t i = 0; i < columns.columns.size(); ++i) {
    const CDPXPropertyGridColumn& column = columns.columns[i];
    if (i + 1 < columns.columns.size()) {
      x += column.width;
      m_dividers.push_back(x);
    }
    m_titles.push_back(column.title);
    m_factories.push_back(column.factory);
  }
  m_rowNumberStep = GetColumnCount() + 1;
  LPCWSTR cls = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW));
  return CreateEx(0, cls, u"", style, rect, parent, id);
}

int CDPXPropertyGrid::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  m_descBox = std::make_unique<CDPXPropertyGridDescBox>(this);
  m_pane = std::make_unique<CDPXPropertyGridPane>(this);
  if (!m_descBox->Create(this, (m_style & kDescriptionBox) != 0) || !m_pane->Create(this)) return -1;
  LayoutChildren(cs->cx, cs->cy);
  return 0;
}

void CDPXPropertyGrid::OnDestroy() {
  DeleteAllRows();
  if (m_descBox && m_descBox->GetSafeHwnd()) m_descBox->DestroyWindow();
  if (m_pane && m_pane->GetSafeHwnd()) m_pane->DestroyWindow();
  CWnd::OnDestroy();
}

void CDPXPropertyGrid::LayoutChildren(int width, int height) {
  if (width <= 0 || height <= 0 || !m_pane || !m_pane->GetSafeHwnd()) return;
  int paneHeight = height;
  if (m_style & kDescriptionBox) {
    m_descBox->MoveWindow(0, height - kDescBoxHeight, width, kDescBoxHeight);
    paneHeight = height - kDescBoxHeight;
  }
  m_pane->MoveWindow(0, 0, width, paneHeight);
  Invalidate();
  UpdateWindow();
}

void CDPXPropertyGrid::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  LayoutChildren(cx, cy);
}

void CDPXPropertyGrid::OnSizing(UINT edge, LPRECT rect) {
  CWnd::OnSizing(edge, rect);
  LayoutChildren(rect->right - rect->left, rect->bottom - rect->top);
}

void CDPXPropertyGrid::OnPaint() {
  CPaintDC dc(this);
  if (m_descBox && m_descBox->IsWindowVisible()) m_descBox->Invalidate();
  if (m_pane) m_pane->Invalidate();
}

void CDPXPropertyGrid::OnSetFocus(CWnd* old) {
  CWnd::OnSetFocus(old);
  Invalidate();
}

void CDPXPropertyGrid::OnEnable(BOOL enable) {
  CWnd::OnEnable(enable);
  Invalidate();
  if (m_pane) m_pane->Invalidate();
  if (m_descBox) m_descBox->Invalidate();
}

void CDPXPropertyGrid::OnSysColorChange() {
  CWnd::OnSysColorChange();
  MakeFonts();
  Invalidate();
}

LRESULT CDPXPropertyGrid::Notify(int code, CDPXPropertyGridRow* row, CDPXPropertyGridItem* cell) {
  if (!(m_style & kNotifications) || !GetSafeHwnd() || !m_notifyWnd || !m_notifyWnd->GetSafeHwnd()) return 0;
  NMPROPERTYGRID record {};
  record.hdr.hwndFrom = GetSafeHwnd();
  record.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  record.hdr.code = static_cast<UINT>(code);
  record.row = row;
  record.cell = cell;
  return m_notifyWnd->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&record));
}

CString CDPXPropertyGrid::GetColumnTitle(int index) const {
  return index >= 0 && index < static_cast<int>(m_titles.size()) ? m_titles[static_cast<size_t>(index)] : CString();
}

void CDPXPropertyGrid::SetDivider(int index, int x) {
  if (index < 0 || index >= static_cast<int>(m_dividers.size())) return;
  m_dividers[static_cast<size_t>(index)] = x;
}

int CDPXPropertyGrid::AllocateCellId() {
  // Editor IDs share the pane's children with nothing else, but must never be the pane's or the
  // description box's own ID; freed IDs come back round.
  if (!m_freeCellIds.empty()) {
    const int id = m_freeCellIds.back();
    m_freeCellIds.pop_back();
    return id;
  }
  if (m_nextCellId == static_cast<int>(kPaneId)) ++m_nextCellId;
  if (m_nextCellId >= static_cast<int>(kDescBoxId)) return 0;
  return m_nextCellId++;
}

void CDPXPropertyGrid::ReleaseCellId(int id) {
  if (id != 0) m_freeCellIds.push_back(id);
}
