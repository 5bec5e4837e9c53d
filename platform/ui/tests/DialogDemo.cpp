// A dialog with every kind of control, run on a virtual X display. With --screenshot <png> it
// fills the controls, takes a picture of the dialog on the screen, checks a few pixels and ends.
// With --drive <folder> it shows the dialog (the common controls' with --show common) until closed
// and answers the end-to-end driver's requests for its state (see DriveState and CommonState).

#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CDialog.h"
#include "platform/ui/afx/CScrollBar.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/tests/DemoSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"

#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

#include <cstdio>
#include <span>
#include <utility>

namespace {

class EveryControl : public CDialog {
public:
  EveryControl() : CDialog(u"IDD_ALL_CONTROLS") {}

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    // Where the driver expects the frame's top left corner.
    if (!DrivePath().isEmpty()) SetWindowPos(nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
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

protected:
  // The scroll bar's thumb stays where it is dropped; the arrows move it by one.
  void OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
    if (!bar) return;
    HWND hwnd = bar->GetSafeHwnd();
    int now = ::GetScrollPos(hwnd, SB_CTL);
    if (code == SB_THUMBPOSITION) ::SetScrollPos(hwnd, SB_CTL, static_cast<int>(pos), TRUE);
    else if (code == SB_LINEDOWN || code == SB_LINEUP) ::SetScrollPos(hwnd, SB_CTL, now + (code == SB_LINEDOWN ? 1 : -1), TRUE);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(EveryControl, CDialog)
  ON_WM_HSCROLL()
END_MESSAGE_MAP()

enum : int { IDC_FOLDERS = 1200, IDC_FILES, IDC_TABS, IDC_STATUS };

class CommonControls : public CDialog {
public:
  CommonControls() : CDialog(u"IDD_COMMON_CONTROLS") {}
  ~CommonControls() override { ImageList_Destroy(m_images); }

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    HWND tree = GetDlgItem(IDC_FOLDERS)->GetSafeHwnd();
    auto add = [tree](LPCWSTR text, HTREEITEM parent) {
      TVINSERTSTRUCTW is {parent, TVI_LAST, TVITEMW {TVIF_TEXT, nullptr, 0, 0, const_cast<LPWSTR>(text), 0, 0, 0, 0, 0}};
      return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&is)));
    };
    HTREEITEM batches = add(u"Batches", TVI_ROOT);
    HTREEITEM year = add(u"2008", batches);
    add(u"January", year);
    add(u"February", year);
    add(u"2009", batches);
    add(u"Archive", TVI_ROOT);
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(batches));
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(year));
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(year));

    HWND list = GetDlgItem(IDC_FILES)->GetSafeHwnd();
    const LPCWSTR headings[] = {u"Document", u"Pages", u"Scanned"};
    for (int c = 0; c < 3; ++c) {
      LVCOLUMNW column {LVCF_TEXT | LVCF_WIDTH | LVCF_FMT, c == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT, c == 0 ? 110 : 70,
                        const_cast<LPWSTR>(headings[c]), 0, c};
      ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    const LPCWSTR rows[][3] = {{u"00000017", u"3", u"2008-01-14"}, {u"00000018", u"12", u"2008-01-15"},
                               {u"00000019", u"1", u"2008-01-15"}};
    for (int r = 0; r < 3; ++r) {
      LVITEMW item {LVIF_TEXT, r, 0, 0, 0, const_cast<LPWSTR>(rows[r][0]), 0, 0, 0};
      ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      for (int c = 1; c < 3; ++c) {
        LVITEMW sub {LVIF_TEXT, r, c, 0, 0, const_cast<LPWSTR>(rows[r][c]), 0, 0, 0};
        ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&sub));
      }
    }
    LVITEMW selected {LVIF_STATE, 1, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED, nullptr, 0, 0, 0};
    ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));

    HWND tabs = GetDlgItem(IDC_TABS)->GetSafeHwnd();
    const LPCWSTR pages[] = {u"General", u"Index", u"Images"};
    for (int t = 0; t < 3; ++t) {
      TCITEMW item {TCIF_TEXT, 0, 0, const_cast<LPWSTR>(pages[t]), 0, -1, 0};
      ::SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(t), reinterpret_cast<LPARAM>(&item));
    }

    // A tool bar on the first page: pictures drawn here, one with a text, one checked, one disabled.
    CRect page;
    ::GetWindowRect(tabs, &page);
    ScreenToClient(&page);
    ::SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    HWND bar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, u"", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE,
                                 page.left + 4, page.top + 4, page.Width() - 8, 26, m_hWnd, nullptr, nullptr, nullptr);
    ::SetWindowPos(bar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_images = ColourSquares({RGB(200, 40, 40), RGB(40, 140, 40), RGB(40, 60, 200), RGB(220, 160, 20)});
    ::SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    ::SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_DRAWDDARROWS);
    int open = static_cast<int>(::SendMessageW(bar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(u"Open\0")));
    TBBUTTON buttons[] = {
        {0, 300, TBSTATE_ENABLED, BTNS_BUTTON | BTNS_SHOWTEXT | BTNS_AUTOSIZE, {}, 0, open},
        {8, 0, 0, BTNS_SEP, {}, 0, -1},
        {1, 301, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, -1},
        {2, 302, 0, BTNS_BUTTON, {}, 0, -1},
        {3, 303, TBSTATE_ENABLED, BTNS_DROPDOWN, {}, 0, -1},
    };
    ::SendMessageW(bar, TB_ADDBUTTONSW, 5, reinterpret_cast<LPARAM>(buttons));

    HWND status = GetDlgItem(IDC_STATUS)->GetSafeHwnd();
    ::SendMessageW(status, WM_SIZE, 0, 0);
    int rights[] = {200, -1};
    ::SendMessageW(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
    ::SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(u"3 documents"));
    ::SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(u"Page 1 of 3"));
    return TRUE;
  }

private:
  HIMAGELIST m_images {};
};

bool Near(QRgb a, COLORREF b) {
  return std::abs(qRed(a) - GetRValue(b)) < 8 && std::abs(qGreen(a) - GetGValue(b)) < 8 && std::abs(qBlue(a) - GetBValue(b)) < 8;
}

int TakeScreenshot(CDialog& dialog) {
  CRect r;
  dialog.GetWindowRect(&r);
  QImage image = ShootWindow(dialog.GetSafeHwnd(), ScreenshotPath());
  if (image.isNull()) return 2;
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

// The controls the driver names, by their IDs.
using Names = std::span<const std::pair<int, const char*>>;
constexpr std::pair<int, const char*> kNames[] = {
    {IDC_NAME, "name"},   {IDC_PASSWORD, "password"}, {IDC_COUNT, "count"},   {IDC_KIND, "kind"},
    {IDC_CHECK, "check"}, {IDC_SMALL, "small"},       {IDC_MEDIUM, "medium"}, {IDC_LARGE, "large"},
    {IDC_NOTES, "notes"}, {IDC_LIST, "list"},         {IDC_SCROLL, "scroll"}, {IDOK, "ok"},
    {IDCANCEL, "cancel"},
};
constexpr std::pair<int, const char*> kCommonNames[] = {
    {IDC_FOLDERS, "folders"}, {IDC_FILES, "files"}, {IDC_TABS, "tabs"}, {IDOK, "ok"}};

const char* NameOf(HWND dialog, HWND control, Names names) {
  for (; control && ::GetParent(control) != dialog; control = ::GetParent(control)) {}
  if (!control) return "none";
  for (auto [id, name] : names)
    if (::GetDlgCtrlID(control) == id) return name;
  return "other";
}

// The dialog's state as "key=value" lines: the control with the focus, the push button drawn as
// the default, the states of the check box and radio buttons, texts of the edits, the window
// rectangle, and a digest of the pixels the screen shows for each named control.
QByteArray DriveState(HWND dialog) {
  QByteArray out;
  StateLine(out, "focus", NameOf(dialog, ::GetFocus(), kNames));
  for (int id : {IDOK, IDCANCEL})
    if ((::GetWindowLongW(::GetDlgItem(dialog, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
      StateLine(out, "default", NameOf(dialog, ::GetDlgItem(dialog, id), kNames));
  for (auto [id, name] : kNames) {
    HWND control = ::GetDlgItem(dialog, id);
    QByteArray key(name);
    if (id >= IDC_CHECK && id <= IDC_LARGE)
      StateLine(out, key + ".checked", QByteArray::number(static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0))));
    if (id == IDC_NAME || id == IDC_PASSWORD || id == IDC_NOTES) {
      WCHAR text[256] {};
      ::GetWindowTextW(control, text, 256);
      StateLine(out, key + ".text", QString::fromStdU16String(text).toUtf8().replace('\n', "\\n").replace('\r', ""));
    }
    ScreenLines(out, control, key);
  }
  HWND scroll = ::GetDlgItem(dialog, IDC_SCROLL);
  StateLine(out, "scroll.pos", QByteArray::number(::GetScrollPos(scroll, SB_CTL)));
  if (auto* bar = qobject_cast<QScrollBar*>(qvui::Find(scroll)->clientWidget.data())) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    QPoint thumb = bar->mapToGlobal(
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar).center());
    StateLine(out, "scroll.thumb", QByteArray::number(thumb.x()) + ',' + QByteArray::number(thumb.y()));
  }
  RECT w {};
  ::GetWindowRect(dialog, &w);
  StateLine(out, "window", QByteArray::number(w.left) + ',' + QByteArray::number(w.top) + ',' + QByteArray::number(w.right) + ',' +
                     QByteArray::number(w.bottom));
  return out;
}

// The common controls' state: the control with the focus, the list view's focused and selected
// rows, the current tab, and for each named control its rectangle and pixels.
QByteArray CommonState(HWND dialog) {
  QByteArray out;
  StateLine(out, "focus", NameOf(dialog, ::GetFocus(), kCommonNames));
  HWND files = ::GetDlgItem(dialog, IDC_FILES);
  StateLine(out, "files.focused", QByteArray::number(::SendMessageW(files, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
  StateLine(out, "files.selected", QByteArray::number(::SendMessageW(files, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
  StateLine(out, "tabs.current", QByteArray::number(::SendDlgItemMessageW(dialog, IDC_TABS, TCM_GETCURSEL, 0, 0)));
  for (auto [id, name] : kCommonNames) ScreenLines(out, ::GetDlgItem(dialog, id), name);
  return out;
}

// Shows the dialog until it is closed, answering the driver's requests with state(dialog).
int Drive(CDialog& dialog, QByteArray (*state)(HWND)) {
  QTimer::singleShot(0, [&dialog, state] {
    HWND hwnd = dialog.GetSafeHwnd();
    ServeDriver([hwnd, state] { return ::IsWindow(hwnd) ? state(hwnd) : QByteArray(); });
  });
  return dialog.DoModal() < 0 ? 3 : 0;
}

class DemoApp : public DemoProgram {
public:
  BOOL InitInstance() override {
    // Dialogs one after the other: neither is the main window, whose end would end the program.
    EveryControl dialog;
    CommonControls common;
    if (!DrivePath().isEmpty()) {
      if (ShowWhat() == QStringLiteral("common")) m_result = Drive(common, CommonState);
      else m_result = Drive(dialog, DriveState);
      return FALSE;
    }
    CheckLater(700, [&dialog] { return TakeScreenshot(dialog); }, [&dialog] { dialog.EndDialog(IDOK); });
    if (dialog.DoModal() < 0) m_result = 3;
    if (!ScreenshotPath().isEmpty()) {
      QTimer::singleShot(700, [this, &common] {
        QString path = ScreenshotPath();
        path.replace(QStringLiteral(".png"), QStringLiteral("_common.png"));
        QImage image = ShootWindow(common.GetSafeHwnd(), path);
        if (image.isNull() && m_result == 0) m_result = 2;
        common.EndDialog(IDOK);
      });
    }
    if (common.DoModal() < 0) m_result = 3;
    return FALSE;
  }
};

DemoApp theApp;

}  // namespace

int main(int argc, char** argv) { return DemoMain(argc, argv); }
