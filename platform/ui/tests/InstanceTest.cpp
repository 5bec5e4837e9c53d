// Single-instance start between processes: a second start finds the first by its main window's
// class, restores and raises it, and ends; two starts at once leave exactly one running.

#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString HelperPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/platform_ui_instance_helper"); }

// A class name of the running test's own, so that tests running side by side do not meet.
QString TestClassName() {
  return QStringLiteral("QV-INSTANCE-%1-%2")
      .arg(QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()))
      .arg(QCoreApplication::applicationPid());
}

std::unique_ptr<QProcess> Start(int windowDelayMs = 0) {
  auto p = std::make_unique<QProcess>();
  p->setProcessEnvironment(QProcessEnvironment::systemEnvironment());
  p->start(HelperPath(), {QString::number(windowDelayMs), TestClassName()});
  return p;
}

// Waits for a line from the process and returns it (empty on time-out or end).
QByteArray NextLine(QProcess& p, int timeoutMs = 5000) {
  while (!p.canReadLine())
    if (!p.waitForReadyRead(timeoutMs)) return QByteArray();
  return p.readLine().trimmed();
}

// Waits until the process is about to look for a running instance.
bool WaitForAsking(QProcess& p, int timeoutMs = 5000) {
  QByteArray said;
  for (int waited = 0; !said.contains("ASKING"); waited += 20) {
    if (waited > timeoutMs) return false;
    p.waitForReadyRead(20);
    said += p.readAllStandardError();
  }
  return true;
}

void Stop(QProcess& p) {
  if (p.state() == QProcess::NotRunning) return;
  p.write("QUIT\n");
  if (!p.waitForFinished(3000)) p.kill();
  p.waitForFinished(1000);
}

TEST(SingleInstance, ASecondStartRestoresTheFirstAndEnds) {
  auto first = Start();
  ASSERT_EQ(NextLine(*first), "FIRST");
  ASSERT_EQ(NextLine(*first), "READY");
  ASSERT_EQ(NextLine(*first), "ICONIC 1");

  auto second = Start();
  ASSERT_TRUE(second->waitForFinished(5000));
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_EQ(NextLine(*second), "FOUND ICONIC");
  EXPECT_EQ(NextLine(*second), "DONE");
  EXPECT_EQ(NextLine(*first), "ICONIC 0");  // restored by the second start
  Stop(*first);

  // With the first gone, a new start is the first again.
  auto third = Start();
  EXPECT_EQ(NextLine(*third), "FIRST");
  Stop(*third);
}

TEST(SingleInstance, RequestsBeforeTheFirstWindowExistsWaitForIt) {
  auto first = Start(-1);
  ASSERT_EQ(NextLine(*first), "FIRST");
  auto second = Start();
  // The window comes only once the second start is asking for it, however slowly it starts.
  ASSERT_TRUE(WaitForAsking(*second));
  QThread::msleep(200);
  first->write("SHOW\n");
  ASSERT_TRUE(second->waitForFinished(5000));
  EXPECT_EQ(NextLine(*second), "FOUND");
  ASSERT_EQ(NextLine(*first), "READY");
  // The window was shown minimised; the waiting restore brings it back at once.
  QByteArray state;
  for (int i = 0; i < 3 && state != "ICONIC 0"; ++i) state = NextLine(*first);
  EXPECT_EQ(state, "ICONIC 0");
  Stop(*first);
}

TEST(SingleInstance, TwoStartsAtOnceLeaveOneRunning) {
  auto a = Start();
  auto b = Start();
  QByteArray lineA = NextLine(*a);
  QByteArray lineB = NextLine(*b);
  int firsts = (lineA == "FIRST") + (lineB == "FIRST");
  EXPECT_EQ(firsts, 1) << lineA.constData() << " / " << lineB.constData();
  Stop(*a);
  Stop(*b);
}

TEST(SingleInstance, ClassesOfThisProcessAreFoundWithoutAskingOthers) {
  WNDCLASSW wc {0, DefWindowProcW, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"QV-LOCAL-ONLY"};
  ASSERT_NE(RegisterClassW(&wc), 0);
  EXPECT_EQ(FindWindowW(u"QV-LOCAL-ONLY", nullptr), nullptr);
  HWND w = CreateWindowExW(0, u"qv-local-only", u"named", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(FindWindowW(u"QV-LOCAL-ONLY", nullptr), w);
  EXPECT_EQ(FindWindowW(u"QV-LOCAL-ONLY", u"named"), w);
  EXPECT_EQ(FindWindowW(u"QV-LOCAL-ONLY", u"other"), nullptr);
  DestroyWindow(w);
}

}  // namespace
