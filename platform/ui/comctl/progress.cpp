// The progress bar control (msctls_progress32) over QProgressBar: a range (0 to 100 at first),
// a position kept within it, and a step that wraps around to the start past the end.

#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/internal/ControlWidget.h"

#include <QProgressBar>

#include <map>

namespace qvui {

namespace {

std::map<HWND, int>& Steps() {
  static std::map<HWND, int> steps;
  return steps;
}

QWidget* MakeProgress(HWND hwnd, QWidget* host) {
  auto* bar = new QProgressBar(host);
  bar->setOrientation((Find(hwnd)->style & PBS_VERTICAL) ? Qt::Vertical : Qt::Horizontal);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  bar->setFocusPolicy(Qt::NoFocus);
  Steps()[hwnd] = 10;
  AdoptControlWidget(hwnd, bar);
  return bar;
}

int SetPos(QProgressBar* bar, int pos) {
  int old = bar->value();
  bar->setValue(std::clamp(pos, bar->minimum(), bar->maximum()));
  return old;
}

LRESULT ProgressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* bar = ControlOf<QProgressBar>(hwnd);
  if (!bar) return DefControlProc(hwnd, message, wParam, lParam);
  switch (message) {
  case PBM_SETRANGE:
  case PBM_SETRANGE32: {
    LRESULT old = MAKELRESULT(static_cast<WORD>(bar->minimum()), static_cast<WORD>(bar->maximum()));
    int low = message == PBM_SETRANGE ? LOWORD(lParam) : static_cast<int>(wParam);
    int high = message == PBM_SETRANGE ? HIWORD(lParam) : static_cast<int>(lParam);
    bar->setRange(low, std::max(low, high));
    return old;
  }
  case PBM_GETRANGE: {
    if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) *range = PBRANGE {bar->minimum(), bar->maximum()};
    return wParam ? bar->minimum() : bar->maximum();
  }
  case PBM_SETPOS: return SetPos(bar, static_cast<int>(wParam));
  case PBM_DELTAPOS: return SetPos(bar, bar->value() + static_cast<int>(wParam));
  case PBM_GETPOS: return bar->value();
  case PBM_SETSTEP: {
    int old = Steps()[hwnd];
    Steps()[hwnd] = static_cast<int>(wParam);
    return old;
  }
  case PBM_STEPIT: {
    int old = bar->value();
    int next = old + Steps()[hwnd];
    if (next > bar->maximum()) next = bar->minimum() + (next - bar->maximum());
    bar->setValue(std::clamp(next, bar->minimum(), bar->maximum()));
    return old;
  }
  case WM_NCDESTROY:
    Steps().erase(hwnd);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterProgressClass() {
  RegisterControl({PROGRESS_CLASSW, ProgressProc, MakeProgress, COLOR_BTNFACE, IDC_ARROW, CS_PARENTDC});
}

}  // namespace qvui
