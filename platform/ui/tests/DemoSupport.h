#pragma once
// Shared pieces of the window layer's demonstration programs, which run on a virtual X display:
// the picture asked for with --screenshot, a picture of a window as the screen shows it, and an
// application whose exit code is the verdict of the program's checks.

#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/comctl/commctrl.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <initializer_list>

// Notes the values given after --screenshot, --drive and --show, then runs the application.
int DemoMain(int argc, char** argv);
// The picture's path; empty when no picture is asked for.
const QString& ScreenshotPath();
// The end-to-end driver's folder (--drive); empty when no driver runs the program.
const QString& DrivePath();
// What the driver asks to be shown (--show), where a program has more than one thing to show.
const QString& ShowWhat();
// Answers the driver while the program runs: a file "request" holding a number is answered by a
// file "state" that starts with "seq=<number>" and goes on with the "key=value" lines of state().
void ServeDriver(std::function<QByteArray()> state);
// Lines of the driver's state: "key=value", and for a window its rectangle on the screen
// ("<key>.rect=left,top,right,bottom") and a digest of the pixels the screen shows there
// ("<key>.pixels").
void StateLine(QByteArray& out, const QByteArray& key, const QByteArray& value);
void ScreenLines(QByteArray& out, HWND hwnd, const QByteArray& key);
// The window as the screen shows it (its widgets' rendering where the screen cannot be read),
// saved under `path`; null, with a message, when it cannot be taken or written.
QImage ShootWindow(HWND hwnd, const QString& path);

// Pictures of 16 x 16 pixels, each a square of one colour on a transparent ground; the caller
// destroys the list.
HIMAGELIST ColourSquares(std::initializer_list<COLORREF> colours);

class DemoProgram : public CWinApp {
public:
  int ExitInstance() override { return m_result; }

protected:
  // When a picture is asked for: after `delayMs` of the event loop the result is check()'s answer
  // (0: passed; a failing check is tried again for up to ten seconds), then `close` ends what is
  // shown.
  void CheckLater(int delayMs, std::function<int()> check, std::function<void()> close);

  int m_result = 0;
};
