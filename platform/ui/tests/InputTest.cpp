// Input: hit-testing routes the mouse to client or non-client messages, the capture takes the
// mouse, keys carry virtual-key codes and characters, the key state and the focus follow.

#include "platform/ui/afx/CWnd.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

std::vector<Logged> g_log;
std::vector<SHORT> g_ctrlStateAtKey;

// Answers HTCAPTION for the top 20 client rows, as a window that can be dragged by them does.
LRESULT InputProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_NCHITTEST: {
    LRESULT hit = DefWindowProcW(hwnd, message, wParam, lParam);
    POINT p {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd, &p);
    if (hit == HTCLIENT && p.y < 20) return HTCAPTION;
    return hit;
  }
  case WM_KEYDOWN:
    g_ctrlStateAtKey.push_back(GetKeyState(VK_CONTROL));
    [[fallthrough]];
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDOWN:
  case WM_MOUSEMOVE:
  case WM_NCLBUTTONDOWN:
  case WM_NCLBUTTONUP:
  case WM_NCMOUSEMOVE:
  case WM_KEYUP:
  case WM_CHAR:
  case WM_SYSKEYDOWN:
  case WM_SYSCHAR:
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
  case WM_CAPTURECHANGED:
  case WM_CONTEXTMENU:
  case WM_MOUSELEAVE:
    g_log.push_back({hwnd, message, wParam, lParam});
    break;
  default: break;
  }
  if (message == WM_NCLBUTTONDOWN) return 0;  // no move loop in the tests
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterInputClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSW plain {0, InputProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"InputPlain"};
  WNDCLASSW dbl {CS_DBLCLKS, InputProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"InputDbl"};
  RegisterClassW(&plain);
  RegisterClassW(&dbl);
}

std::vector<Logged> Only(std::initializer_list<UINT> messages) {
  std::vector<Logged> out;
  for (const Logged& l : g_log)
    for (UINT m : messages)
      if (l.message == m) out.push_back(l);
  return out;
}

class Input : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterInputClasses();
    top = CreateWindowExW(0, u"InputPlain", u"input", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr,
                          nullptr, nullptr);
    child = CreateWindowExW(WS_EX_CLIENTEDGE, u"InputDbl", u"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 120,
                            top, nullptr, nullptr, nullptr);
    g_log.clear();
    g_ctrlStateAtKey.clear();
  }
  void TearDown() override {
    ReleaseCapture();
    DestroyWindow(top);
  }
  // A point of the child's client area, in the child's outer widget.
  QPoint InChildClient(int x, int y) { return QPoint(x + 3, y + 3); }

  HWND top {};
  HWND child {};
};

TEST_F(Input, HitCodesRouteTheMouseToClientOrNonClientMessages) {
  QWidget* host = HostOf(child);
  struct Case {
    QPoint at;          // in the child's window rectangle
    UINT message;       // what the press becomes
    WPARAM wParam;      // MK_ flags or hit code
  };
  const Case cases[] = {
      {QPoint(50, 60), WM_LBUTTONDOWN, MK_LBUTTON},  // client area
      {QPoint(50, 10), WM_NCLBUTTONDOWN, HTCAPTION},  // the window's own caption rows
      {QPoint(1, 60), WM_NCLBUTTONDOWN, HTBORDER},    // the frame
  };
  for (const Case& c : cases) {
    g_log.clear();
    QTest::mousePress(host, Qt::LeftButton, Qt::NoModifier, c.at);
    QTest::mouseRelease(host, Qt::LeftButton, Qt::NoModifier, c.at);
    auto downs = Only({WM_LBUTTONDOWN, WM_NCLBUTTONDOWN});
    ASSERT_EQ(downs.size(), 1u) << Describe(g_log);
    EXPECT_EQ(downs[0].message, c.message) << Describe(g_log);
    EXPECT_EQ(downs[0].wParam, c.wParam);
    POINT screen {c.at.x(), c.at.y()};
    RECT window;
    GetWindowRect(child, &window);
    screen.x += window.left;
    screen.y += window.top;
    if (c.message == WM_LBUTTONDOWN) {
      EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), c.at.x() - 3);  // client coordinates
      EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), c.at.y() - 3);
    } else {
      EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), screen.x);  // screen coordinates
      EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), screen.y);
    }
  }
}

TEST_F(Input, DoubleClicksNeedTheClassStyle) {
  HWND plain = CreateWindowExW(0, u"InputPlain", u"", WS_CHILD | WS_VISIBLE, 220, 10, 60, 60, top, nullptr, nullptr,
                               nullptr);
  struct Case {
    HWND hwnd;
    QPoint at;
    UINT second;
  };
  const Case cases[] = {{child, InChildClient(50, 50), WM_LBUTTONDBLCLK}, {plain, QPoint(30, 30), WM_LBUTTONDOWN}};
  for (const Case& c : cases) {
    g_log.clear();
    QWidget* host = HostOf(c.hwnd);
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(c.at), host->mapToGlobal(QPointF(c.at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(host, &click);
    auto presses = Only({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK});
    ASSERT_EQ(presses.size(), 1u) << Describe(g_log);
    EXPECT_EQ(presses.back().message, c.second) << Describe(g_log);
  }
}

TEST_F(Input, TheCaptureTakesTheMouseEverywhere) {
  HWND other = CreateWindowExW(0, u"InputPlain", u"", WS_CHILD | WS_VISIBLE, 220, 10, 60, 60, top, nullptr, nullptr,
                               nullptr);
  EXPECT_EQ(SetCapture(child), nullptr);
  EXPECT_EQ(GetCapture(), child);
  g_log.clear();
  QTest::mouseMove(HostOf(other), QPoint(10, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), HostOf(other)->mapToGlobal(QPointF(10, 10)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(HostOf(other), &move);
  auto moves = Only({WM_MOUSEMOVE});
  ASSERT_FALSE(moves.empty());
  for (const Logged& m : moves) EXPECT_EQ(m.hwnd, child);
  // Client coordinates of the capturing window, even far outside it.
  RECT otherRect, childRect;
  GetWindowRect(other, &otherRect);
  GetWindowRect(child, &childRect);
  EXPECT_EQ(GET_X_LPARAM(moves.back().lParam), otherRect.left + 10 - (childRect.left + 3));
  // Taking the capture away tells the old owner.
  g_log.clear();
  SetCapture(other);
  auto changed = Only({WM_CAPTURECHANGED});
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0].hwnd, child);
  EXPECT_EQ(reinterpret_cast<HWND>(changed[0].lParam), other);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  // A dying window lets the capture go.
  SetCapture(other);
  DestroyWindow(other);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Input, AWatchedWindowHearsOnceThatThePointerLeftIt) {
  HWND other = CreateWindowExW(0, u"InputPlain", u"", WS_CHILD | WS_VISIBLE, 220, 10, 60, 60, top, nullptr, nullptr,
                               nullptr);
  auto moveOnto = [](HWND hwnd) {
    QWidget* host = HostOf(hwnd);
    SetCursorPos(host->mapToGlobal(QPoint(40, 40)).x(), host->mapToGlobal(QPoint(40, 40)).y());
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 40), host->mapToGlobal(QPointF(40, 40)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(host, &move);
    Pump();
  };
  auto watch = [this](DWORD flags) {
    TRACKMOUSEEVENT track {sizeof track, flags, child, 0};
    return TrackMouseEvent(&track);
  };
  moveOnto(child);
  ASSERT_TRUE(watch(TME_LEAVE));
  moveOnto(child);
  EXPECT_TRUE(Only({WM_MOUSELEAVE}).empty()) << Describe(g_log);
  // Onto another window: one message, and no more on later moves.
  moveOnto(other);
  moveOnto(other);
  auto left = Only({WM_MOUSELEAVE});
  ASSERT_EQ(left.size(), 1u) << Describe(g_log);
  EXPECT_EQ(left[0].hwnd, child);
  // A cancelled watch says nothing.
  g_log.clear();
  moveOnto(child);
  watch(TME_LEAVE);
  watch(TME_LEAVE | TME_CANCEL);
  moveOnto(other);
  EXPECT_TRUE(Only({WM_MOUSELEAVE}).empty()) << Describe(g_log);
  // Asked while the pointer is elsewhere: the message comes at once.
  watch(TME_LEAVE);
  Pump();
  EXPECT_EQ(Only({WM_MOUSELEAVE}).size(), 1u) << Describe(g_log);
}

TEST_F(Input, FocusMovesWithKillAndSetMessages) {
  HWND other = CreateWindowExW(0, u"InputPlain", u"", WS_CHILD | WS_VISIBLE, 220, 10, 60, 60, top, nullptr, nullptr,
                               nullptr);
  SetFocus(child);
  g_log.clear();
  EXPECT_EQ(SetFocus(other), child);
  auto focus = Only({WM_KILLFOCUS, WM_SETFOCUS});
  ASSERT_EQ(focus.size(), 2u);
  EXPECT_EQ(focus[0].hwnd, child);
  EXPECT_EQ(focus[0].message, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_EQ(reinterpret_cast<HWND>(focus[0].wParam), other);
  EXPECT_EQ(focus[1].hwnd, other);
  EXPECT_EQ(reinterpret_cast<HWND>(focus[1].wParam), child);
  EXPECT_EQ(GetFocus(), other);
  // A disabled or destroyed window gives the focus up.
  EnableWindow(other, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
  EnableWindow(other, TRUE);
  SetFocus(other);
  DestroyWindow(other);
  EXPECT_EQ(GetFocus(), top);
}

TEST_F(Input, KeysCarryVirtualKeysCharactersAndTheKeyState) {
  SetFocus(child);
  QWidget* host = HostOf(child);
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    const char* text;  // what the X11 keyboard reports with the key
    UINT down;
    WPARAM vk;
    int ch;  // the character message's code, -1 for none
  };
  const Case cases[] = {
      {Qt::Key_A, Qt::NoModifier, "a", WM_KEYDOWN, 'A', 'a'},
      {Qt::Key_A, Qt::ShiftModifier, "A", WM_KEYDOWN, 'A', 'A'},
      {Qt::Key_A, Qt::ControlModifier, "\x01", WM_KEYDOWN, 'A', 0x01},
      {Qt::Key_F5, Qt::NoModifier, "", WM_KEYDOWN, VK_F5, -1},
      {Qt::Key_Return, Qt::NoModifier, "\r", WM_KEYDOWN, VK_RETURN, '\r'},
      {Qt::Key_Left, Qt::NoModifier, "", WM_KEYDOWN, VK_LEFT, -1},
      {Qt::Key_Delete, Qt::NoModifier, "\x7f", WM_KEYDOWN, VK_DELETE, -1},
      {Qt::Key_X, Qt::AltModifier, "x", WM_SYSKEYDOWN, 'X', 'x'},
      {Qt::Key_Exclam, Qt::ShiftModifier, "!", WM_KEYDOWN, '1', '!'},
  };
  for (const Case& c : cases) {
    g_log.clear();
    g_ctrlStateAtKey.clear();
    QKeyEvent press(QEvent::KeyPress, c.key, c.mods, QString::fromLatin1(c.text));
    QKeyEvent release(QEvent::KeyRelease, c.key, c.mods, QString::fromLatin1(c.text));
    QCoreApplication::sendEvent(host, &press);
    QCoreApplication::sendEvent(host, &release);
    // Shift, Ctrl and Alt are keys of their own; look at the key itself.
    std::vector<Logged> downs;
    for (const Logged& l : Only({WM_KEYDOWN, WM_SYSKEYDOWN}))
      if (l.wParam != VK_SHIFT && l.wParam != VK_CONTROL && l.wParam != VK_MENU) downs.push_back(l);
    ASSERT_EQ(downs.size(), 1u) << "key " << c.key << ": " << Describe(g_log);
    EXPECT_EQ(downs[0].message, c.down) << "key " << c.key;
    EXPECT_EQ(downs[0].wParam, c.vk) << "key " << c.key;
    EXPECT_EQ(downs[0].hwnd, child);
    auto chars = Only({WM_CHAR, WM_SYSCHAR});
    if (c.ch < 0) {
      EXPECT_TRUE(chars.empty()) << "key " << c.key << ": " << Describe(g_log);
    } else {
      ASSERT_EQ(chars.size(), 1u) << "key " << c.key << ": " << Describe(g_log);
      EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(c.ch)) << "key " << c.key;
    }
    if (c.down == WM_KEYDOWN) {
      EXPECT_EQ(g_ctrlStateAtKey.at(0) < 0, bool(c.mods & Qt::ControlModifier)) << "key " << c.key;
    }
  }
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);  // released again
}

TEST_F(Input, RightButtonUpAsksForAContextMenuUpTheParents) {
  QTest::mouseClick(HostOf(child), Qt::RightButton, Qt::NoModifier, InChildClient(40, 40));
  auto menus = Only({WM_CONTEXTMENU});
  ASSERT_EQ(menus.size(), 2u) << Describe(g_log);  // the child, then (by default) its parent
  EXPECT_EQ(menus[0].hwnd, child);
  EXPECT_EQ(menus[1].hwnd, top);
  EXPECT_EQ(reinterpret_cast<HWND>(menus[1].wParam), child);
}

TEST_F(Input, DisabledWindowsTakeNoInput) {
  EnableWindow(child, FALSE);
  QTest::mouseClick(HostOf(child), Qt::LeftButton, Qt::NoModifier, InChildClient(40, 40));
  EXPECT_TRUE(Only({WM_LBUTTONDOWN, WM_LBUTTONUP}).empty()) << Describe(g_log);
}

TEST(VirtualKeys, KeyScanFollowsTheUsLayout) {
  struct Case {
    char ch;
    SHORT scan;
  };
  const Case cases[] = {{'s', 0x53}, {'S', 0x153}, {'5', 0x35}, {'@', 0x132}, {';', VK_OEM_1}, {'?', 0x100 | VK_OEM_2},
                        {'\x01', -1}};
  for (const Case& c : cases) EXPECT_EQ(VkKeyScanA(c.ch), c.scan) << "character " << int(c.ch);
}

}  // namespace
