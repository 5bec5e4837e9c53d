// The edit with a button: the strip the button takes from the text, the button as drawn (normal,
// pressed, disabled), clicks that count only when pressed and released on the button, keys, and
// the flat look that follows the focus and the mouse.

#include "framework/dialogs/CDPXEditWithButton.h"

#include "platform/gdi/gdi.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class CountingEdit : public CDPXEditWithButton {
public:
  void OnClickButton() override {
    ++clicks;
    stateAtClick = GetButtonState();
    capturedAtClick = GetCapture() == this;
  }
  int clicks {};
  DWORD stateAtClick {};
  bool capturedAtClick {};
};

QColor Sys(int index) {
  COLORREF c = GetSysColor(index);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

class EditWithButton : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, u"AfxWnd", u"edits", WS_POPUP | WS_VISIBLE, CRect(50, 40, 450, 240), nullptr, 0));
    ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE, CRect(10, 150, 160, 174), &parent, 2));
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    parent.DestroyWindow();
  }
  // A control 150 x 24 whose frame is a 2-pixel client edge: a client area 20 pixels high.
  void Make(DWORD buttonStyle, int height = 24, DWORD exStyle = WS_EX_CLIENTEDGE, DWORD style = 0) {
    ASSERT_TRUE(edit.Create(buttonStyle, exStyle, u"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | style,
                            CRect(10, 10, 160, 10 + height), &parent, 1));
    Pump(10);
  }
  // The button's rectangle in window coordinates: the part of the frame's inside the client
  // area gave up.
  CRect Window() const {
    CRect r;
    edit.GetWindowRect(&r);
    return r;
  }
  CRect ClientInWindow() const {
    CRect c;
    edit.GetClientRect(&c);
    edit.ClientToScreen(&c);
    c.OffsetRect(-Window().TopLeft());
    return c;
  }
  QImage Shown() {
    edit.RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    return HostOf(edit.GetSafeHwnd())->grab().toImage();
  }
  // A mouse event on the control as the desktop delivers it, the point in window coordinates.
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QWidget* host = HostOf(edit.GetSafeHwnd());
    QMouseEvent e(type, QPointF(at), QPointF(host->mapToGlobal(at)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(host, &e);
    Pump(5);
  }
  void Press(QPoint at) { Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton); }
  void Move(QPoint at) { Mouse(QEvent::MouseMove, at, Qt::LeftButton); }
  void Release(QPoint at) { Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton); }

  CWnd parent;
  CEdit other;
  CountingEdit edit;
};

TEST_F(EditWithButton, TheButtonTakesAStripOfTheFrameAndTheTextNeverRunsUnderIt) {
  struct Case {
    const char* what;
    DWORD buttonStyle;
    int height;
    DWORD exStyle;
    DWORD style;
    int frame;
    int button;
  };
  const Case cases[] = {
      {"right end, client edge", 0, 24, WS_EX_CLIENTEDGE, 0, 2, 18},
      {"left end, client edge", CDPXEditWithButton::kButtonLeft, 24, WS_EX_CLIENTEDGE, 0, 2, 18},
      {"right end, thin border", 0, 32, 0, WS_BORDER, 1, 27},
      {"left end, flat", CDPXEditWithButton::kButtonLeft | CDPXEditWithButton::kFlat, 24, WS_EX_CLIENTEDGE, 0, 2, 18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Make(c.buttonStyle, c.height, c.exStyle, c.style);
    CRect window = Window(), client = ClientInWindow();
    EXPECT_EQ(client.Height(), c.height - 2 * c.frame);
    EXPECT_EQ(client.Width(), window.Width() - 2 * c.frame - c.button) << "the client area gives up the button";
    bool left = c.buttonStyle & CDPXEditWithButton::kButtonLeft;
    EXPECT_EQ(client.left, c.frame + (left ? c.button : 0)) << "the text starts right of a button on the left";
    QWidget* text = ClientOf(edit.GetSafeHwnd());
    QRect field(text->mapTo(HostOf(edit.GetSafeHwnd()), QPoint(0, 0)), text->size());
    EXPECT_EQ(field, QRect(client.left, client.top, client.Width(), client.Height())) << "and the text field with it";

    // The edit stays as it is when moved: the frame is calculated again.
    edit.SetWindowPos(nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(ClientInWindow(), client);
    edit.DestroyWindow();
  }
}

TEST_F(EditWithButton, TheButtonIsDrawnNormalPressedAndDisabled) {
  Make(0);
  // The 18 x 20 button at the right end: three single-pixel dots 4 pixels apart, in its middle row.
  const int left = Window().Width() - 2 - 18, top = 2;
  const QPoint dots[] = {{left + 6, top + 11}, {left + 10, top + 11}, {left + 14, top + 11}};
  const QPoint between(left + 8, top + 11);
  const QPoint corner(left, top + 19);

  QImage shown = Shown();
  for (QPoint p : dots) EXPECT_EQ(shown.pixelColor(p), Sys(COLOR_BTNTEXT)) << p.x();
  EXPECT_EQ(shown.pixelColor(between), Sys(COLOR_BTNFACE));
  EXPECT_NE(shown.pixelColor(corner), Sys(COLOR_BTNSHADOW)) << "a raised edge is light at the left";

  Press(QPoint(left + 9, top + 10));
  EXPECT_EQ(edit.GetButtonState(), CDPXEditWithButton::kStatePressed);
  shown = HostOf(edit.GetSafeHwnd())->grab().toImage();
  EXPECT_EQ(shown.pixelColor(corner), Sys(COLOR_BTNSHADOW)) << "pressed: a shadow line all round";
  EXPECT_EQ(shown.pixelColor(QPoint(left + 17, top)), Sys(COLOR_BTNSHADOW));
  for (QPoint p : dots) EXPECT_EQ(shown.pixelColor(p), Sys(COLOR_BTNTEXT));
  Release(QPoint(left + 9, top + 10));
  EXPECT_EQ(edit.GetButtonState(), CDPXEditWithButton::kStateNormal);

  edit.EnableWindow(FALSE);
  shown = Shown();
  EXPECT_EQ(edit.GetButtonState() & CDPXEditWithButton::kStateDisabled, CDPXEditWithButton::kStateDisabled);
  for (QPoint p : dots) EXPECT_EQ(shown.pixelColor(p), Sys(COLOR_BTNSHADOW)) << "disabled dots are grey";
  edit.EnableWindow(TRUE);
  shown = Shown();
  EXPECT_EQ(edit.GetButtonState(), CDPXEditWithButton::kStateNormal);
  for (QPoint p : dots) EXPECT_EQ(shown.pixelColor(p), Sys(COLOR_BTNTEXT));

  if (const char* dir = std::getenv("QV_TEST_ARTIFACT_DIR")) {
    QDir().mkpath(QString::fromUtf8(dir));
    HostOf(parent.GetSafeHwnd())->grab().save(QString::fromUtf8(dir) + QStringLiteral("/edit-with-button.png"));
  }
}

TEST_F(EditWithButton, WideButtonsShowRoundDots) {
  // A client area 23 pixels high: a 20-pixel button, dots 2 x 2 five pixels apart.
  Make(0, 27);
  const int left = Window().Width() - 2 - 20, top = 2;
  QImage shown = Shown();
  for (int i = 0; i < 3; ++i) {
    int inked = 0;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x)
        if (shown.pixelColor(left + 5 + 5 * i + x, top + 11 + y) == Sys(COLOR_BTNTEXT)) ++inked;
    EXPECT_GE(inked, 4) << "dot " << i;
  }
  EXPECT_EQ(shown.pixelColor(left + 8, top + 12), Sys(COLOR_BTNFACE)) << "the dots stand apart";
}

TEST_F(EditWithButton, AClickCountsOnlyWhenPressedAndReleasedOnTheButton) {
  Make(0);
  const QPoint onButton(Window().Width() - 10, 12), onText(20, 12), outside(-30, 12), below(Window().Width() - 10, 60);
  struct Case {
    const char* what;
    QPoint press;
    std::vector<QPoint> moves;
    QPoint release;
    int clicks;
  };
  const Case cases[] = {
      {"pressed and released on the button", onButton, {}, onButton, 1},
      {"released on the text", onButton, {onText}, onText, 0},
      {"released outside the control", onButton, {outside}, outside, 0},
      {"left and came back", onButton, {below, onButton}, onButton, 1},
      {"pressed on the text", onText, {onButton}, onButton, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    edit.clicks = 0;
    Press(c.press);
    for (QPoint m : c.moves) {
      Move(m);
      if (c.press == onButton) {
        EXPECT_EQ(edit.GetButtonState(), m == onButton ? CDPXEditWithButton::kStatePressed : CDPXEditWithButton::kStateNormal);
      }
    }
    Release(c.release);
    EXPECT_EQ(edit.clicks, c.clicks);
    EXPECT_EQ(GetCapture(), nullptr) << "the capture ends with the press";
    EXPECT_EQ(edit.GetButtonState(), CDPXEditWithButton::kStateNormal);
    if (c.clicks) {
      EXPECT_EQ(edit.stateAtClick, CDPXEditWithButton::kStateNormal) << "the button is up before the hook runs";
      EXPECT_FALSE(edit.capturedAtClick);
    }
  }
  EXPECT_EQ(CWnd::GetFocus(), &edit) << "a press on the button takes the focus";
}

TEST_F(EditWithButton, APressEndsWithoutAClickWhenTheFocusOrTheCaptureGoes) {
  Make(0);
  const QPoint onButton(Window().Width() - 10, 12);
  Press(onButton);
  other.SetFocus();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(edit.GetButtonState(), CDPXEditWithButton::kStateNormal);
  Release(onButton);
  EXPECT_EQ(edit.clicks, 0);

  Press(onButton);
  other.SetCapture();
  EXPECT_EQ(edit.GetButtonState(), CDPXEditWithButton::kStateNormal) << "the button does not stay down";
  ReleaseCapture();
  Release(onButton);
  EXPECT_EQ(edit.clicks, 0);
}

TEST_F(EditWithButton, DisabledControlsIgnoreTheButtonReadOnlyOnesKeepIt) {
  Make(0);
  const QPoint onButton(Window().Width() - 10, 12);
  edit.EnableWindow(FALSE);
  Press(onButton);
  Release(onButton);
  EXPECT_EQ(edit.clicks, 0);
  EXPECT_EQ(GetCapture(), nullptr);

  edit.EnableWindow(TRUE);
  edit.SetReadOnly(TRUE);
  Press(onButton);
  Release(onButton);
  EXPECT_EQ(edit.clicks, 1) << "a read-only value can still be chosen through the button";
}

TEST_F(EditWithButton, TypingGoesToTheTextAndCtrlKeypadDecimalClicks) {
  Make(0);
  edit.SetFocus();
  QWidget* text = ClientOf(edit.GetSafeHwnd());
  QTest::keyClicks(text, QStringLiteral("a1.b"));
  Pump(10);
  CString typed;
  edit.GetWindowText(typed);
  EXPECT_EQ(typed, CString(u"a1.b"));
  EXPECT_EQ(edit.clicks, 0);

  QTest::keyClick(text, Qt::Key_Period, Qt::ControlModifier | Qt::KeypadModifier);
  Pump(10);
  EXPECT_EQ(edit.clicks, 1);
  edit.GetWindowText(typed);
  EXPECT_EQ(typed, CString(u"a1.b")) << "the shortcut types nothing";

  edit.SetReadOnly(TRUE);
  QTest::keyClicks(text, QStringLiteral("zz"));
  Pump(10);
  edit.GetWindowText(typed);
  EXPECT_EQ(typed, CString(u"a1.b"));
}

TEST_F(EditWithButton, TheFlatLookFollowsFocusAndMouse) {
  const DWORD flat = CDPXEditWithButton::kStateFlat;
  Make(CDPXEditWithButton::kFlat);
  EXPECT_EQ(edit.GetButtonState() & flat, flat) << "on after creation";
  QImage shown = Shown();
  EXPECT_EQ(shown.pixelColor(1, 12), Sys(COLOR_WINDOW)) << "the inner border line takes the window colour";

  Mouse(QEvent::MouseMove, QPoint(20, 12), Qt::NoButton);
  EXPECT_EQ(GetCapture(), edit.GetSafeHwnd()) << "the hover holds the capture";
  EXPECT_EQ(edit.GetButtonState() & flat, 0u);
  EXPECT_NE(Shown().pixelColor(1, 12), Sys(COLOR_WINDOW)) << "the normal frame shows";
  Mouse(QEvent::MouseMove, QPoint(20, 80), Qt::NoButton);
  EXPECT_EQ(GetCapture(), nullptr) << "leaving gives the capture back";
  EXPECT_EQ(edit.GetButtonState() & flat, flat);

  Mouse(QEvent::MouseMove, QPoint(20, 12), Qt::NoButton);
  other.SetCapture();
  EXPECT_EQ(edit.GetButtonState() & flat, flat) << "another window took the capture: the hover is over";
  ReleaseCapture();

  edit.SetFocus();
  EXPECT_EQ(edit.GetButtonState() & flat, 0u) << "off while focused";
  edit.SetReadOnly(TRUE);
  EXPECT_EQ(edit.GetButtonState() & flat, 0u) << "and stays off while focused";
  other.SetFocus();
  EXPECT_EQ(edit.GetButtonState() & flat, flat) << "on after losing the focus";

  Mouse(QEvent::MouseMove, QPoint(20, 12), Qt::NoButton);
  Press(QPoint(20, 12));
  Release(QPoint(20, 12));
  EXPECT_EQ(CWnd::GetFocus(), &edit);
  EXPECT_EQ(GetCapture(), nullptr) << "a click into the text ends the hover's capture";

  other.SetFocus();
  const QPoint onButton(Window().Width() - 10, 12);
  Mouse(QEvent::MouseMove, QPoint(20, 12), Qt::NoButton);
  ASSERT_EQ(GetCapture(), edit.GetSafeHwnd());
  Press(onButton);
  EXPECT_EQ(edit.GetButtonState(), CDPXEditWithButton::kStatePressed) << "a press routed by the hover's capture";
  Release(onButton);
  EXPECT_EQ(edit.clicks, 1);
  EXPECT_EQ(GetCapture(), nullptr);

  edit.SetButtonStyle(0);
  EXPECT_EQ(edit.GetButtonState() & flat, 0u);
  other.SetFocus();
  EXPECT_EQ(edit.GetButtonState() & flat, 0u) << "without the flat style the look never shows";
}

}  // namespace
