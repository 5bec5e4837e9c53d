// One set of tool buttons shown three ways in a frame: along the top with labels beside some of
// the pictures, along the left side as a column, and as a floating block wrapped to a narrow
// width. With --screenshot <png> it takes a picture of the frame, checks the three layouts and
// ends. With --drive <folder> it answers the end-to-end driver's requests for its state (see
// DriveState) until closed.

#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CToolBar.h"
#include "platform/ui/tests/DemoSupport.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

enum : UINT { ID_NEW = 1000, ID_OPEN, ID_SAVE, ID_PRINT, ID_ZOOM, ID_ROTATE };
constexpr UINT kButtons[] = {ID_NEW, ID_OPEN, ID_SAVE, 0, ID_PRINT, ID_ZOOM, ID_ROTATE};
constexpr int kButtonCount = 7;

BOOL MakeBar(CToolBar& bar, CWnd* parent, DWORD style, UINT id, HIMAGELIST pictures) {
  if (!bar.CreateEx(parent, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC | style,
                    CRect(1, 1, 1, 1), id))
    return FALSE;
  bar.SetSizes(CSize(23, 22), CSize(16, 16));
  bar.SetButtons(kButtons, kButtonCount);
  bar.GetToolBarCtrl().SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures));
  return TRUE;
}

// Labels beside the pictures of the buttons that ask for them; the others stay pictures only.
void ShowLabels(CToolBar& bar) {
  CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
  ctrl.SendMessage(TB_SETSTYLE, 0, static_cast<LPARAM>(ctrl.GetStyle() | TBSTYLE_LIST));
  ctrl.SetExtendedStyle(TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_DRAWDDARROWS);
  const LPCWSTR labels[] = {u"New", u"Open", u"Save", nullptr, u"Print", u"Zoom", u"Rotate"};
  for (int i = 0; i < kButtonCount; ++i) {
    if (!labels[i]) continue;
    bar.SetButtonText(i, labels[i]);
    UINT style = bar.GetButtonStyle(i) | TBBS_AUTOSIZE;
    if (i == 1 || i == 4) style |= MAKELONG(BTNS_SHOWTEXT, 0);
    if (i == 5) style |= TBBS_DROPDOWN;
    bar.SetButtonStyle(i, style);
  }
}

class DemoFrame : public CFrameWnd {
public:
  BOOL Build() {
    if (!Create(nullptr, u"Tool bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 540, 360))) return FALSE;
    m_pictures = ColourSquares({RGB(40, 110, 200), RGB(220, 160, 20), RGB(40, 150, 60), RGB(90, 90, 90),
                                RGB(200, 40, 40), RGB(130, 60, 170)});
    LPCWSTR paneClass = AfxRegisterWndClass(0, nullptr, CreateSolidBrush(RGB(236, 240, 246)));
    if (!m_pane.Create(paneClass, u"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this, AFX_IDW_PANE_FIRST)) return FALSE;
    if (!MakeBar(m_top, this, CBRS_TOP | CBRS_GRIPPER, AFX_IDW_TOOLBAR, m_pictures)) return FALSE;
    ShowLabels(m_top);
    if (!MakeBar(m_left, this, CBRS_LEFT | CBRS_GRIPPER, AFX_IDW_TOOLBAR + 1, m_pictures)) return FALSE;

    // A floating bar stands in its own small window; its buttons are three to a row (the length
    // asked for includes its borders and margins).
    if (!m_palette.Create(nullptr, u"", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 10, 10), &m_pane, 1)) return FALSE;
    if (!MakeBar(m_floating, &m_palette, CBRS_ALIGN_TOP | CBRS_BORDER_ANY | CBRS_GRIPPER | CBRS_FLOATING,
                 AFX_IDW_TOOLBAR + 2, m_pictures))
      return FALSE;
    m_floating.CalcDynamicLayout(3 * 23 + 6, LM_HORZ | LM_COMMIT);
    CSize size = m_floating.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    m_floating.MoveWindow(0, 0, size.cx, size.cy);
    m_palette.MoveWindow(120, 40, size.cx + 2, size.cy + 2);
    RecalcLayout();
    return TRUE;
  }
  ~DemoFrame() override {
    if (m_pictures) ImageList_Destroy(m_pictures);
  }

  CToolBar m_top, m_left, m_floating;
  CWnd m_pane, m_palette;

protected:
  // Every button has a command; Rotate shows checked.
  void OnButton(UINT) {}
  void OnUpdateRotate(CCmdUI* ui) { ui->SetCheck(1); }
  // Tips of their own for the buttons that show their labels; the others are left to the bars.
  BOOL OnToolTip(UINT, NMHDR* hdr, LRESULT* result) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
    *result = 0;
    if (hdr->idFrom == ID_OPEN) info->lpszText = const_cast<LPWSTR>(u"Open a document");
    else if (hdr->idFrom == ID_PRINT) info->lpszText = const_cast<LPWSTR>(u"Print the pages");
    else return FALSE;
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()

private:
  HIMAGELIST m_pictures {};
};
BEGIN_MESSAGE_MAP(DemoFrame, CFrameWnd)
  ON_COMMAND_RANGE(ID_NEW, ID_ROTATE, &DemoFrame::OnButton)
  ON_UPDATE_COMMAND_UI(ID_ROTATE, &DemoFrame::OnUpdateRotate)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, &DemoFrame::OnToolTip)
END_MESSAGE_MAP()

CRect ItemOnScreen(CToolBar& bar, int index) {
  CRect r;
  bar.GetItemRect(index, &r);
  bar.ClientToScreen(&r);
  return r;
}

int TakeScreenshot(DemoFrame* frame) {
  QCoreApplication::processEvents();
  if (ShootWindow(frame->GetSafeHwnd(), ScreenshotPath()).isNull()) return 2;
  // Top: one row, the labelled Open wider than the picture-only New. Left: one column. Floating:
  // more than one row, no wider than it was asked to be.
  CRect topNew = ItemOnScreen(frame->m_top, 0), topOpen = ItemOnScreen(frame->m_top, 1);
  CRect topLast = ItemOnScreen(frame->m_top, kButtonCount - 1);
  CRect leftFirst = ItemOnScreen(frame->m_left, 0), leftLast = ItemOnScreen(frame->m_left, kButtonCount - 1);
  CRect floatFirst = ItemOnScreen(frame->m_floating, 0), floatLast = ItemOnScreen(frame->m_floating, kButtonCount - 1);
  bool row = topLast.top == topNew.top && topOpen.Width() > topNew.Width();
  bool column = leftLast.left == leftFirst.left && leftLast.top > leftFirst.top + 5 * 22;
  bool block = floatLast.top > floatFirst.top && floatLast.right - floatFirst.left == 3 * 23;
  std::printf("row %d column %d block %d\n", row, column, block);
  return row && column && block ? 0 : 1;
}

// The top bar's state: its hot button (-1: none), where its first buttons are and what the screen
// shows of it.
QByteArray DriveState(DemoFrame* frame) {
  QByteArray out;
  CToolBarCtrl& top = frame->m_top.GetToolBarCtrl();
  StateLine(out, "hot", QByteArray::number(top.SendMessage(TB_GETHOTITEM)));
  const char* names[] = {"new", "open", "save"};
  for (int i = 0; i < 3; ++i) {
    CRect r = ItemOnScreen(frame->m_top, i);
    StateLine(out, QByteArray(names[i]) + ".rect", QByteArray::number(r.left) + ',' + QByteArray::number(r.top) + ',' +
                                                       QByteArray::number(r.right) + ',' + QByteArray::number(r.bottom));
  }
  ScreenLines(out, top.GetSafeHwnd(), "top");
  return out;
}

class DemoApp : public DemoProgram {
public:
  BOOL InitInstance() override {
    auto* frame = new DemoFrame;
    m_pMainWnd = frame;
    if (!frame->Build()) return FALSE;
    if (!DrivePath().isEmpty()) {
      HWND hwnd = frame->GetSafeHwnd();
      ServeDriver([hwnd, frame] { return ::IsWindow(hwnd) ? DriveState(frame) : QByteArray(); });
    }
    CheckLater(700, [frame] { return TakeScreenshot(frame); }, [frame] { frame->SendMessage(WM_CLOSE); });
    return TRUE;
  }
};

DemoApp theApp;

}  // namespace

int main(int argc, char** argv) { return DemoMain(argc, argv); }
