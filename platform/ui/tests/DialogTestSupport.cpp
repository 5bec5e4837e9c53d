#include "platform/ui/tests/DialogTestSupport.h"

#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

void PressKey(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  HWND focus = GetFocus();
  ASSERT_NE(focus, nullptr) << "no window has the focus";
  QWidget* widget = ClientOf(focus);
  if (QWidget* inner = widget->focusWidget()) widget = inner;
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QCoreApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QCoreApplication::sendEvent(widget, &release);
}

void TypeText(const QString& text) {
  for (QChar c : text) {
    int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
    PressKey(key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
  }
}

void ClickControl(HWND control) {
  QWidget* widget = ClientOf(control);
  ASSERT_NE(widget, nullptr);
  // Near the left edge: a check box or radio button takes clicks on its box and label only.
  QPoint local(std::min(6, widget->width() / 2), widget->height() / 2);
  QWidget* target = widget->childAt(local) ? widget->childAt(local) : widget;
  QPoint at = target->mapFrom(widget, local);
  QPointF global = target->mapToGlobal(QPointF(at));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &release);
}

INT_PTR RunModal(CDialog& dialog, const std::function<void(CDialog&)>& script, int timeoutMs) {
  return RunModal(dialog, [&dialog] { return dialog.DoModal(); }, script, timeoutMs);
}

INT_PTR RunModal(CDialog& dialog, const std::function<INT_PTR()>& start, const std::function<void(CDialog&)>& script,
                 int timeoutMs) {
  QTimer::singleShot(0, [&dialog, script] {
    if (dialog.GetSafeHwnd()) script(dialog);
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&dialog] {
    ADD_FAILURE() << "the dialog was still open when the time was up";
    if (dialog.GetSafeHwnd()) ::EndDialog(::GetAncestor(dialog.GetSafeHwnd(), GA_ROOT), -99);
  });
  guard.start(timeoutMs);
  return start();
}

HWND ShownDialog() {
  static HWND found;
  found = nullptr;
  EnumWindows(
      [](HWND hwnd, LPARAM) -> BOOL {
        WCHAR name[16] {};
        GetClassNameW(hwnd, name, 16);
        if (std::u16string(name) != u"#32770" || !IsWindowVisible(hwnd)) return TRUE;
        found = hwnd;
        return FALSE;
      },
      0);
  return found;
}
