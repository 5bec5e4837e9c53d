// A program for the single-instance tests: it starts as an application does (registers its main
// window class, then looks for a running instance) and reports on standard output what it did
// and, while it runs, whether its window is minimised. Its first argument delays its main window
// by that many milliseconds, or, when negative, until "SHOW" comes on standard input; "ASKING" on
// standard error tells that it is about to look for a running instance.

#include "platform/ui/win/winuser.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Each test names its own class, so that tests running side by side do not meet.
  const std::u16string name = argc > 2 ? QString::fromLocal8Bit(argv[2]).toStdU16String() : u"QV-INSTANCE-TEST";
  const char16_t* className = name.c_str();
  WNDCLASSW wc {0, DefWindowProcW, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, className};
  RegisterClassW(&wc);
  std::fprintf(stderr, "ASKING\n");
  std::fflush(stderr);
  if (HWND first = FindWindowW(className, nullptr)) {
    Say(IsIconic(first) ? "FOUND ICONIC" : "FOUND");
    ShowWindow(first, SW_RESTORE);
    Say(SetForegroundWindow(first) ? "DONE" : "NOT DONE");
    return 0;
  }
  Say("FIRST");
  int delay = argc > 1 ? std::atoi(argv[1]) : 0;
  HWND window = nullptr;
  auto show = [&] {
    window = CreateWindowExW(0, className, u"first", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                             nullptr, nullptr);
    ShowWindow(window, SW_SHOWMINIMIZED);
    Say("READY");
  };
  if (delay >= 0) QTimer::singleShot(delay, show);
  int reported = -1;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!window) return;
    int iconic = IsIconic(window) ? 1 : 0;
    if (iconic != reported) {
      reported = iconic;
      Say(iconic ? "ICONIC 1" : "ICONIC 0");
    }
  });
  poll.start(10);
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[64] {};
    if (::read(STDIN_FILENO, buffer, sizeof buffer - 1) <= 0 || std::strncmp(buffer, "QUIT", 4) == 0) app.quit();
    else if (std::strncmp(buffer, "SHOW", 4) == 0 && !window) show();
  });
  QTimer::singleShot(20000, &app, &QCoreApplication::quit);
  return app.exec();
}
