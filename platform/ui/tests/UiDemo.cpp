// A small program on the window layer: a frame with a menu bar and a view that paints itself and
// draws where the mouse is pressed and dragged. With --screenshot <png> it presses and drags the
// mouse itself, takes a picture of the screen around the frame, checks a few pixels and ends.
// With --drive <folder> it runs until closed and answers the end-to-end driver's requests for the
// state of its menus and the places of its windows (see DriveState).

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/ui/afx/CDialog.h"
#include "platform/ui/afx/CDocTemplate.h"
#include "platform/ui/afx/CDocument.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CMenu.h"
#include "platform/ui/afx/CView.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/tests/DemoSupport.h"
#include "platform/ui/win/windc.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include <cstdio>
#include <vector>

namespace {

enum : UINT { ID_DEMO_CLEAR = 1000, ID_DEMO_GRID, ID_DEMO_QUESTION, ID_DEMO_PICKS, ID_DEMO_EXIT };
constexpr COLORREF kBackground = RGB(250, 246, 230);
constexpr COLORREF kInk = RGB(200, 30, 30);

class DemoDoc : public CDocument {
  DECLARE_DYNCREATE(DemoDoc)
public:
  std::vector<CPoint> marks;
  BOOL grid = TRUE;

protected:
  void OnClear() {
    marks.clear();
    UpdateAllViews(nullptr);
  }
  void OnGrid() {
    grid = !grid;
    UpdateAllViews(nullptr);
  }
  void OnUpdateGrid(CCmdUI* ui) { ui->SetCheck(grid); }
  void OnUpdateClear(CCmdUI* ui) { ui->Enable(!marks.empty()); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(DemoDoc, CDocument)
BEGIN_MESSAGE_MAP(DemoDoc, CDocument)
  ON_COMMAND(ID_DEMO_CLEAR, &DemoDoc::OnClear)
  ON_COMMAND(ID_DEMO_GRID, &DemoDoc::OnGrid)
  ON_UPDATE_COMMAND_UI(ID_DEMO_GRID, &DemoDoc::OnUpdateGrid)
  ON_UPDATE_COMMAND_UI(ID_DEMO_CLEAR, &DemoDoc::OnUpdateClear)
END_MESSAGE_MAP()

class DemoView : public CView {
  DECLARE_DYNCREATE(DemoView)
public:
  void OnDraw(CDC* dc) override {
    auto* doc = static_cast<DemoDoc*>(GetDocument());
    CRect r;
    GetClientRect(&r);
    dc->FillSolidRect(&r, kBackground);
    if (doc->grid) {
      CPen pen(PS_SOLID, 1, RGB(200, 200, 220));
      CPen* old = dc->SelectObject(&pen);
      for (int x = 0; x < r.right; x += 40) {
        dc->MoveTo(x, 0);
        dc->LineTo(x, r.bottom);
      }
      for (int y = 0; y < r.bottom; y += 40) {
        dc->MoveTo(0, y);
        dc->LineTo(r.right, y);
      }
      dc->SelectObject(old);
    }
    CBrush band(RGB(40, 90, 160));
    CRect title(10, 10, r.right - 10, 44);
    dc->FillRect(&title, &band);
    CFont font;
    font.CreatePointFont(110, u"Arial", dc);
    CFont* oldFont = dc->SelectObject(&font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(255, 255, 255));
    dc->DrawText(u"Press and drag the mouse here", -1, &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->SelectObject(oldFont);
    for (const CPoint& p : doc->marks) Mark(dc, p);
  }

protected:
  static void Mark(CDC* dc, CPoint p) {
    CBrush ink(kInk);
    CBrush* old = dc->SelectObject(&ink);
    dc->Ellipse(p.x - 6, p.y - 6, p.x + 7, p.y + 7);
    dc->SelectObject(old);
  }
  void OnLButtonDown(UINT, CPoint p) {
    SetCapture();
    Add(p);
  }
  void OnMouseMove(UINT, CPoint p) {
    if (GetCapture() == this) Add(p);
  }
  void OnLButtonUp(UINT, CPoint) {
    if (GetCapture() == this) ReleaseCapture();
  }
  void Add(CPoint p) {
    static_cast<DemoDoc*>(GetDocument())->marks.push_back(p);
    CClientDC dc(this);  // drawn at once, outside a paint message
    Mark(&dc, p);
  }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(DemoView, CView)
BEGIN_MESSAGE_MAP(DemoView, CView)
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

// A modeless dialog that minimises itself when a row is picked and stays until the frame closes.
class PicksDialog : public CDialog {
protected:
  void OnOK() override { ShowWindow(SW_MINIMIZE); }
  void OnCancel() override { ShowWindow(SW_HIDE); }
};

class DemoFrame : public CFrameWnd {
  DECLARE_DYNCREATE(DemoFrame)
protected:
  // Placed before it is first shown.
  BOOL PreCreateWindow(CREATESTRUCT& cs) override {
    cs.x = cs.y = 20;
    cs.cx = 480;
    cs.cy = 320;
    return CFrameWnd::PreCreateWindow(cs);
  }
  int OnCreate(LPCREATESTRUCT cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    CMenu file, view;
    file.CreatePopupMenu();
    file.AppendMenu(MF_STRING, ID_DEMO_CLEAR, u"&Clear\tDel");
    file.AppendMenu(MF_STRING, ID_DEMO_QUESTION, u"&Question...");
    file.AppendMenu(MF_STRING, ID_DEMO_PICKS, u"&Picks");
    file.AppendMenu(MF_SEPARATOR);
    file.AppendMenu(MF_STRING, ID_DEMO_EXIT, u"E&xit");
    view.CreatePopupMenu();
    view.AppendMenu(MF_STRING, ID_DEMO_GRID, u"&Grid");
    m_menu.CreateMenu();
    m_menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(file.Detach()), u"&File");
    m_menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(view.Detach()), u"&View");
    SetMenu(&m_menu);
    SetTitle(u"Window layer");
    return 0;
  }
  void OnExit() { SendMessage(WM_CLOSE); }
  // A small fixed-size dialog from the demonstration templates, owned by the frame.
  void OnQuestion() {
    CDialog question(200, this);
    question.DoModal();
  }
  void OnPicks() {
    if (!m_picks.GetSafeHwnd()) m_picks.Create(201, this);
    m_picks.ShowWindow(SW_SHOWNORMAL);
  }
  CMenu m_menu;
  PicksDialog m_picks;
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(DemoFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(DemoFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND(ID_DEMO_EXIT, &DemoFrame::OnExit)
  ON_COMMAND(ID_DEMO_QUESTION, &DemoFrame::OnQuestion)
  ON_COMMAND(ID_DEMO_PICKS, &DemoFrame::OnPicks)
END_MESSAGE_MAP()

void Press(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &e);
}

int TakeScreenshot(CFrameWnd* frame) {
  HWND view = frame->GetActiveView()->GetSafeHwnd();
  QWidget* host = qvui::Find(view)->host;
  // A press, a drag to the right and a release, as the mouse would give them.
  Press(host, QEvent::MouseButtonPress, QPoint(60, 100), Qt::LeftButton);
  for (int x = 70; x <= 200; x += 10) Press(host, QEvent::MouseMove, QPoint(x, 100 + (x - 60) / 4), Qt::LeftButton);
  Press(host, QEvent::MouseButtonRelease, QPoint(200, 135), Qt::NoButton);
  QCoreApplication::processEvents();
  QImage image = ShootWindow(frame->GetSafeHwnd(), ScreenshotPath());
  if (image.isNull()) return 2;
  // The view's background, the ink of the drag and the menu bar must be on the screen.
  CRect r;
  frame->GetWindowRect(&r);
  POINT probe {150, 190};  // between the grid lines
  ::MapWindowPoints(view, nullptr, &probe, 1);
  QRgb background = image.pixel(probe.x - r.left, probe.y - r.top);
  POINT ink {130, 117};
  ::MapWindowPoints(view, nullptr, &ink, 1);
  QRgb mark = image.pixel(ink.x - r.left, ink.y - r.top);
  bool ok = qRed(background) == 250 && qGreen(background) == 246 && qRed(mark) == 200 && qGreen(mark) == 30 &&
            static_cast<DemoDoc*>(frame->GetActiveDocument())->marks.size() >= 10;
  std::printf("background %08x ink %08x\n", background, mark);
  return ok ? 0 : 1;
}

// The menu bar's highlighted item and the open pop-up menu, by their texts without mnemonics
// ("none" when there is none); the frame's rectangle ("window") and, once it is open, the picks
// dialog's ("picks") and whether it is minimised ("picks.iconic").
QByteArray DriveState(HWND frame) {
  QByteArray out;
  auto text = [](const QString& t) { return t.isEmpty() ? QByteArray("none") : QString(t).remove(u'&').toUtf8(); };
  qvui::WindowRecord* rec = qvui::Find(frame);
  QAction* active = rec && rec->menuBar ? rec->menuBar->activeAction() : nullptr;
  out += "menu.active=" + text(active ? active->text() : QString()) + '\n';
  QString open;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible()) open = menu->title();
  out += "menu.open=" + text(open) + '\n';
  auto rect = [&out](const QByteArray& key, HWND hwnd) {
    RECT w {};
    ::GetWindowRect(hwnd, &w);
    out += key + '=' + QByteArray::number(w.left) + ',' + QByteArray::number(w.top) + ',' + QByteArray::number(w.right) +
           ',' + QByteArray::number(w.bottom) + '\n';
  };
  rect("window", frame);
  if (HWND picks = ::FindWindowW(nullptr, u"Picks")) {
    rect("picks", picks);
    out += QByteArray("picks.iconic=") + (::IsIconic(picks) ? '1' : '0') + '\n';
  }
  return out;
}

class DemoApp : public DemoProgram {
public:
  BOOL InitInstance() override {
    AddDocTemplate(new CSingleDocTemplate(1, RUNTIME_CLASS(DemoDoc), RUNTIME_CLASS(DemoFrame), RUNTIME_CLASS(DemoView)));
    OnFileNew();
    auto* frame = static_cast<CFrameWnd*>(m_pMainWnd);
    if (!frame) return FALSE;
    if (!DrivePath().isEmpty()) {
      HWND hwnd = frame->GetSafeHwnd();
      ServeDriver([hwnd] { return ::IsWindow(hwnd) ? DriveState(hwnd) : QByteArray(); });
    }
    CheckLater(500, [frame] { return TakeScreenshot(frame); }, [frame] { frame->SendMessage(WM_CLOSE); });
    return TRUE;
  }
};

DemoApp theApp;

}  // namespace

int main(int argc, char** argv) { return DemoMain(argc, argv); }
