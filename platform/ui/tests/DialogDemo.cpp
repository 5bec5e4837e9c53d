// A dialog with every kind of control, run on a virtual X display. With --screenshot <png> it
// fills the controls, takes a picture of the dialog on the screen, checks a few pixels and ends.

#include "platform/gdi/gdi.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CWinApp.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/tests/DialogTestSupport.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

QString g_screenshot;

class EveryControl : public CDialog {
public:
  EveryControl() : CDialog(u"IDD_ALL_CONTROLS") {}

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_NAME, u"Jane Smith");
    SetDlgItemText(IDC_PASSWORD, u"secret");
    SetDlgItemInt(IDC_COUNT, 12);
    for (LPCWSTR kind : {u"Letter", u"Invoice", u"Delivery note", u"Contract"})
      SendDlgItemMessage(IDC_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
    SendDlgItemMessage(IDC_KIND, CB_SETCURSEL, 1);
    CheckDlgButton(IDC_CHECK, BST_CHECKED);
    CheckRadioButton(IDC_SMALL, IDC_LARGE, IDC_MEDIUM);
    SetDlgItemText(IDC_NOTES, u"Scanned on Monday.\r\nTwo pages are missing.");
    SendDlgItemMessage(IDC_PROGRESS, PBM_SETPOS, 60);
    for (LPCWSTR batch : {u"Batch 2008-01", u"Batch 2008-02", u"Batch 2008-03", u"Batch 2009-01", u"Batch 2009-07"})
      SendDlgItemMessage(IDC_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(batch));
    SendDlgItemMessage(IDC_LIST, LB_SETCURSEL, 2);
    SCROLLINFO info {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 20, 30, 0};
    ::SetScrollInfo(GetDlgItem(IDC_SCROLL)->GetSafeHwnd(), SB_CTL, &info, TRUE);
    return TRUE;
  }
};

bool Near(QRgb a, COLORREF b) {
  return std::abs(qRed(a) - GetRValue(b)) < 8 && std::abs(qGreen(a) - GetGValue(b)) < 8 && std::abs(qBlue(a) - GetBValue(b)) < 8;
}

int TakeScreenshot(CDialog& dialog) {
  CRect r;
  dialog.GetWindowRect(&r);
  QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, r.left, r.top, r.Width(), r.Height());
  if (shot.isNull() || !shot.save(g_screenshot)) {
    std::fprintf(stderr, "cannot take or write %s\n", qPrintable(g_screenshot));
    return 2;
  }
  QImage image = shot.toImage();
  auto pixelOf = [&](int id, int x, int y) {
    POINT p {x, y};
    ::MapWindowPoints(::GetDlgItem(dialog.GetSafeHwnd(), id), nullptr, &p, 1);
    return image.pixel(p.x - r.left, p.y - r.top);
  };
  POINT face {250, 5};  // between the name field and the list
  ::MapWindowPoints(dialog.GetSafeHwnd(), nullptr, &face, 1);
  QRgb background = image.pixel(face.x - r.left, face.y - r.top);
  QRgb editInside = pixelOf(IDC_NAME, 160, 4);       // right of the text
  RECT row {};
  dialog.SendDlgItemMessage(IDC_LIST, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  QRgb selected = pixelOf(IDC_LIST, row.right - 4, (row.top + row.bottom) / 2);  // the selected row, right of its text
  CRect progress;
  ::GetClientRect(::GetDlgItem(dialog.GetSafeHwnd(), IDC_PROGRESS), &progress);
  QRgb filled = pixelOf(IDC_PROGRESS, progress.Width() / 4, progress.Height() / 2);
  QRgb empty = pixelOf(IDC_PROGRESS, progress.Width() * 9 / 10, progress.Height() / 2);
  bool ok = Near(background, GetSysColor(COLOR_BTNFACE)) && Near(editInside, GetSysColor(COLOR_WINDOW)) &&
            !Near(selected, GetSysColor(COLOR_WINDOW)) && filled != empty;
  std::printf("face %08x edit %08x selected %08x progress %08x/%08x\n", background, editInside, selected, filled, empty);
  return ok ? 0 : 1;
}

class DemoApp : public CWinApp {
public:
  BOOL InitInstance() override {
    EveryControl dialog;
    m_pMainWnd = &dialog;
    if (!g_screenshot.isEmpty()) {
      QTimer::singleShot(700, [this, &dialog] {
        m_result = TakeScreenshot(dialog);
        dialog.EndDialog(IDOK);
      });
    }
    if (dialog.DoModal() < 0) m_result = 3;
    m_pMainWnd = nullptr;
    return FALSE;
  }
  int ExitInstance() override { return m_result; }

private:
  int m_result = 0;
};

DemoApp theApp;

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (QByteArray(argv[i]) == "--screenshot") g_screenshot = QString::fromLocal8Bit(argv[i + 1]);
  return AfxWinMain(argc, argv);
}
