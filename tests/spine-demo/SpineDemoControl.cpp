// The demonstration program's control: one command a line on standard input, each answered on
// standard output ("ok", an error, or key=value lines closed by "end" for "state").
//
//   state                 the title, menus, tool-bar labels and tips, bars and assistant
//   lang NAME             picks the language from the language pop-up (as a click does)
//   float BAR X Y         BAR is thumbs or notes
//   dock BAR SIDE         SIDE is left, top, right or bottom
//   width BAR N           the width the bar keeps while docked at a side
//   assistant show|hide
//   shot PATH             a picture of the screen where the frame and the assistant are
//   quit                  closes the main frame as its close box does

#include "tests/spine-demo/SpineDemo.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVAssistantDialog.h"
#include "framework/app/CQVMenu.h"
#include "platform/ui/comctl/commctrl.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QStringList>

#include <cstdio>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

DemoFrame* g_frame = nullptr;

std::string Utf8(const CString& text) { return text.ToUtf8(); }

CString MenuText(HMENU menu, int position) {
  WCHAR text[128] {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
  return CString(text);
}

std::string Texts(HMENU menu) {
  std::string joined;
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) joined += (i ? "|" : "") + Utf8(MenuText(menu, i));
  return joined;
}

CString Tip(CToolBar& bar, UINT id) {
  NMTTDISPINFOW info {};
  info.hdr = NMHDR {bar.GetSafeHwnd(), id, TTN_NEEDTEXTW};
  bar.SendMessage(WM_NOTIFY, bar.GetDlgCtrlID(), reinterpret_cast<LPARAM>(&info.hdr));
  return info.lpszText ? CString(info.lpszText) : CString();
}

const char* Side(CControlBar& bar) {
  if (!bar.IsVisible()) return "hidden";
  if (bar.IsFloating()) return "floating";
  switch (bar.GetParent()->GetDlgCtrlID()) {
    case AFX_IDW_DOCKBAR_LEFT: return "left";
    case AFX_IDW_DOCKBAR_TOP: return "top";
    case AFX_IDW_DOCKBAR_RIGHT: return "right";
    case AFX_IDW_DOCKBAR_BOTTOM: return "bottom";
  }
  return "?";
}

void State(std::ostringstream& out) {
  CString language, title;
  CQVRCM::GetCurrentLanguage(language);
  g_frame->GetWindowText(title);
  out << "language=" << Utf8(language) << "\ntitle=" << Utf8(title) << "\n";
  HMENU bar = ::GetMenu(g_frame->GetSafeHwnd());
  out << "menu=" << Texts(bar) << "\nmenu.file=" << Texts(GetSubMenu(bar, 0)) << "\n";
  DemoToolBar& tools = g_frame->m_wndToolBar;
  std::string labels, tips;
  for (int i = 0; i < tools.GetToolBarCtrl().GetButtonCount(); ++i) {
    TBBUTTON b {};
    if (!tools.GetToolBarCtrl().GetButton(i, &b) || (b.fsStyle & TBSTYLE_SEP)) continue;
    labels += (labels.empty() ? "" : "|") + Utf8(tools.GetButtonText(i));
    tips += (tips.empty() ? "" : "|") + Utf8(Tip(tools, static_cast<UINT>(b.idCommand)));
  }
  out << "toolbar.labels=" << labels << "\ntoolbar.tips=" << tips << "\n";
  for (auto [name, wnd] : {std::pair<const char*, CQVDockableBar*> {"thumbs", &g_frame->m_wndThumbs}, {"notes", &g_frame->m_wndNotes}}) {
    CRect r;
    wnd->GetWindowRect(&r);
    out << name << ".side=" << Side(*wnd) << "\n" << name << ".rect=" << r.left << "," << r.top << "," << r.right << ","
        << r.bottom << "\n";
    CString caption;
    wnd->GetWindowText(caption);
    out << name << ".title=" << Utf8(caption) << "\n";
  }
  out << "assistant.visible=" << (CQVMainFrame::IsAssistantVisible() ? 1 : 0) << "\n";
  if (CQVAssistantDialog* panel = CQVMainFrame::GetAssistant()) out << "assistant.page=" << Utf8(panel->GetHelpAddress()) << "\n";
  out << "end";
}

CQVDockableBar* BarNamed(const std::string& name) {
  if (name == "thumbs") return &g_frame->m_wndThumbs;
  if (name == "notes") return &g_frame->m_wndNotes;
  return nullptr;
}

UINT SideNamed(const std::string& name) {
  if (name == "left") return AFX_IDW_DOCKBAR_LEFT;
  if (name == "top") return AFX_IDW_DOCKBAR_TOP;
  if (name == "right") return AFX_IDW_DOCKBAR_RIGHT;
  if (name == "bottom") return AFX_IDW_DOCKBAR_BOTTOM;
  return 0;
}

std::string PickLanguage(const std::string& wanted) {
  CString name, description;
  int fallback = 0;
  for (int i = 0; CQVRCM::GetLanguage(i, name, description, fallback); ++i)
    if (Utf8(name) == wanted) {
      g_frame->SendMessage(WM_COMMAND, MAKEWPARAM(CQVMenu::kFirstLanguageID + i, 0), 0);
      return "ok";
    }
  return "error: no language " + wanted;
}

std::string Shot(const std::string& path) {
  // The frame and, beside or over it, the assistant panel.
  CRect area;
  g_frame->GetWindowRect(&area);
  if (CQVAssistantDialog* panel = CQVMainFrame::GetAssistant(); panel && panel->GetSafeHwnd()) {
    CRect beside;
    panel->GetWindowRect(&beside);
    area.UnionRect(&area, &beside);
  }
  area.InflateRect(8, 8);
  QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.left, area.top, area.Width(), area.Height());
  return !shot.isNull() && shot.save(QString::fromStdString(path)) ? "ok" : "error: cannot take or write " + path;
}

std::string Run(const std::string& line) {
  std::istringstream in(line);
  std::string verb, a, b;
  in >> verb;
  if (verb == "state") {
    std::ostringstream out;
    State(out);
    return out.str();
  }
  if (verb == "lang" && in >> a) return PickLanguage(a);
  if (verb == "float" && in >> a) {
    int x = 0, y = 0;
    CQVDockableBar* bar = BarNamed(a);
    if (!bar || !(in >> x >> y)) return "error: float thumbs|notes X Y";
    g_frame->FloatControlBar(bar, CPoint(x, y));
    return "ok";
  }
  if (verb == "dock" && in >> a >> b) {
    CQVDockableBar* bar = BarNamed(a);
    if (!bar || !SideNamed(b)) return "error: dock thumbs|notes left|top|right|bottom";
    g_frame->DockControlBar(bar, SideNamed(b));
    g_frame->RecalcLayout();
    return "ok";
  }
  if (verb == "width" && in >> a) {
    int width = 0;
    CQVDockableBar* bar = BarNamed(a);
    if (!bar || !(in >> width)) return "error: width thumbs|notes N";
    bar->m_szVert.cx = width;
    g_frame->RecalcLayout();
    return "ok";
  }
  if (verb == "assistant" && in >> a) {
    if (a == "show") {
      CQVMainFrame::ShowHelpID(u"HELP_START");
      CQVMainFrame::ShowAssistant();
    } else CQVMainFrame::HideAssistant();
    return "ok";
  }
  if (verb == "shot" && in >> a) return Shot(a);
  if (verb == "quit") {
    g_frame->PostMessage(WM_CLOSE);
    return "ok";
  }
  return "error: unknown command " + line;
}

}  // namespace

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

void StartControl(DemoFrame* frame) {
  g_frame = frame;
  auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, qApp);
  QObject::connect(input, &QSocketNotifier::activated, [input] {
    static std::string pending;
    char buffer[512];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
      // Nobody drives the program any more.
      input->setEnabled(false);
      return;
    }
    pending.append(buffer, static_cast<size_t>(got));
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!line.empty()) Say(Run(line).c_str());
    }
  });
}
