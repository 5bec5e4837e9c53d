#pragma once
// What the bar tests share: a shown frame with a view and dock bars on every side, sizing bars
// made in it, and points and rectangles on the screen.

#include "framework/app/CQVWinApp.h"
#include "framework/bars/CQVControlBar.h"

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

CRect ScreenRect(const CWnd& wnd);
// A screen point as the lParam of a mouse message to the window.
LPARAM At(const CWnd& wnd, CPoint screen);
UINT ParentId(const CWnd& wnd);

// The running application while it lives, with the command names the tool bars find their texts by.
class CommandNamesApp : public CQVWinApp {
public:
  explicit CommandNamesApp(std::initializer_list<std::pair<UINT, LPCWSTR>> names);
};

class BarFrame : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  CDockBar* DockBar(UINT id) { return static_cast<CDockBar*>(frame->GetControlBar(id)); }
  // A sizing bar of the frame that may dock on every side.
  void Make(CQVControlBar& bar, UINT id, LPCWSTR title = u"sizing");
  // Docks the bar in the top row that holds `beside`, after it.
  void DockAfter(CQVControlBar& bar, CControlBar& beside);
  // Lays the frame out, then runs the idle moment's updates of the frame and its bars.
  void Settle();

  CFrameWnd* frame {};
  CWnd view;
  CRect client;
  CPoint origin;  // the frame's client area on the screen
};
