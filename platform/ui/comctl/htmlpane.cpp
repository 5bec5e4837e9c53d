// The HTML pane (WC_HTMLPANEW) over QTextBrowser: local pages and their links, web links to the
// desktop's browser, back and forward.

#include "platform/ui/afx/CHtmlView.h"

#include "platform/ui/internal/ControlWidget.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QTextBrowser>

namespace qvui {

namespace {

bool IsWeb(const QUrl& url) { return url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https"); }

QWidget* MakePane(HWND hwnd, QWidget* host) {
  auto* browser = new QTextBrowser(host);
  browser->setFrameShape(QFrame::NoFrame);
  browser->setOpenLinks(false);
  browser->setContextMenuPolicy(Qt::NoContextMenu);  // the window's WM_CONTEXTMENU decides
  QObject::connect(browser, &QTextBrowser::anchorClicked, [browser](const QUrl& url) {
    if (IsWeb(url)) QDesktopServices::openUrl(url);
    else browser->setSource(url);
  });
  AdoptControlWidget(hwnd, browser);
  return browser;
}

bool Navigate(QTextBrowser* browser, const QString& address) {
  QUrl url = QUrl::fromUserInput(address);
  if (IsWeb(url)) return QDesktopServices::openUrl(url);
  if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) return false;
  browser->setSource(url);
  return true;
}

LRESULT PaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* browser = ControlOf<QTextBrowser>(hwnd);
  if (!browser) return DefControlProc(hwnd, message, wParam, lParam);
  switch (message) {
  case HPM_NAVIGATE: return Navigate(browser, ToQt(reinterpret_cast<LPCWSTR>(lParam)));
  case HPM_GETLOCATION:
    return CopyOut(browser->source().isLocalFile() ? browser->source().toLocalFile() : browser->source().toString(),
                   reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
  case HPM_BACK: browser->backward(); return 0;
  case HPM_FORWARD: browser->forward(); return 0;
  case HPM_REFRESH: browser->reload(); return 0;
  case WM_CONTEXTMENU: {
    std::unique_ptr<QMenu> menu(browser->createStandardContextMenu());
    menu->exec(QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    return 0;
  }
  case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterHtmlPaneClass() {
  RegisterControl({WC_HTMLPANEW, PaneProc, MakePane, COLOR_WINDOW, IDC_ARROW, CS_DBLCLKS});
}

}  // namespace qvui
