// Message boxes over QMessageBox, with a handler that tests can put in their place. A box asked for
// on another thread is shown by the UI thread while the asking thread waits.

#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/WindowHost.h"

#include <QApplication>
#include <QMetaObject>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <chrono>
#include <future>
#include <memory>
#include <string>

namespace qvui {

namespace {

MessageBoxHandler g_handler = nullptr;

struct Choice {
  QMessageBox::StandardButton button;
  int id;
};

std::vector<Choice> ChoicesOf(UINT type) {
  switch (type & MB_TYPEMASK) {
  case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
  case MB_ABORTRETRYIGNORE:
    return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
  case MB_YESNOCANCEL: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
  case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
  case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
  default: return {{QMessageBox::Ok, IDOK}};
  }
}

QMessageBox::Icon IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
  case MB_ICONHAND: return QMessageBox::Critical;
  case MB_ICONQUESTION: return QMessageBox::Question;
  case MB_ICONEXCLAMATION: return QMessageBox::Warning;
  case MB_ICONASTERISK: return QMessageBox::Information;
  default: return QMessageBox::NoIcon;
  }
}

// A box that can refuse Escape and its close box, as a Yes/No box must.
class Box : public QMessageBox {
public:
  using QMessageBox::QMessageBox;
  bool m_noEscape {};

protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (m_noEscape && e->key() == Qt::Key_Escape) {
      e->accept();
      return;
    }
    QMessageBox::keyPressEvent(e);
  }
  void closeEvent(QCloseEvent* e) override {
    if (m_noEscape) e->ignore();
    else QMessageBox::closeEvent(e);
  }
};

int ShowBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  WindowRecord* rec = owner ? Find(owner) : nullptr;
  Box box(IconOf(type), caption ? ToQt(caption) : QStringLiteral("Error"), ToQt(text), QMessageBox::NoButton,
          rec ? rec->host.data() : nullptr);
  std::vector<Choice> choices = ChoicesOf(type);
  for (const Choice& c : choices) box.addButton(c.button);
  size_t def = std::min<size_t>((type & MB_DEFMASK) >> 8, choices.size() - 1);
  box.setDefaultButton(choices[def].button);
  // Escape answers Cancel where there is one, OK in a box with only OK, and nothing otherwise.
  box.m_noEscape = true;
  for (const Choice& c : choices)
    if (c.id == IDCANCEL || choices.size() == 1) {
      box.setEscapeButton(c.button);
      box.m_noEscape = false;
    }
  box.setWindowModality(rec ? Qt::WindowModal : Qt::ApplicationModal);
  int answer = box.exec();
  for (const Choice& c : choices)
    if (c.button == answer) return c.id;
  return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
}

// The box of another thread, shown on the UI thread; 0 when there is no UI thread (any more).
int ShowForThread(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return 0;
  struct Request {
    std::u16string text, caption;
    bool hasCaption {};
    std::promise<int> answer;
  };
  auto request = std::make_shared<Request>();
  request->text = text ? text : u"";
  request->hasCaption = caption != nullptr;
  if (caption) request->caption = caption;
  std::future<int> answer = request->answer.get_future();
  QMetaObject::invokeMethod(
      app,
      [=] {
        request->answer.set_value(MessageBoxW(owner, request->text.c_str(),
                                              request->hasCaption ? request->caption.c_str() : nullptr, type));
      },
      Qt::QueuedConnection);
  while (answer.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready)
    if (!QCoreApplication::instance()) return 0;
  return answer.get();
}

}  // namespace

}  // namespace qvui

using namespace qvui;

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler before = g_handler;
  g_handler = handler;
  return before;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  if (!IsUiThread()) return ShowForThread(owner, text, caption, type);
  if (owner && !IsWindow(owner)) owner = nullptr;
  HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  bool disabled = top && IsWindowEnabled(top);
  HWND focus = GetFocus();  // the owner gets it back when the box is gone
  if (disabled) EnableWindow(top, FALSE);
  int answer = g_handler ? g_handler(top, text, caption, type) : ShowBox(top, text, caption, type);
  if (disabled && IsWindow(top)) {
    EnableWindow(top, TRUE);
    SetActiveWindow(top);
    if (focus && IsWindow(focus) && (focus == top || IsChild(top, focus))) SetFocus(focus);
  }
  return answer;
}

BOOL MessageBeep(UINT) {
  QApplication::beep();
  return TRUE;
}
