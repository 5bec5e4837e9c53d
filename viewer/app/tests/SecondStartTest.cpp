// A second start of the program finds the first one, brings it forward and ends; the first goes
// on. Two real processes of the program, each with the application folder of a copy of its own
// (so that no settings are shared with other runs) and one runtime folder between them.

#include "viewer/model/tests/BatchFixture.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

// The program copied into `folder` with the libraries and language files linked beside it, as
// an installation would have them.
fs::path InstallProgram(const fs::path& folder) {
  const fs::path bin(QV_APP_DIR);
  fs::copy_file(bin / "OrbelMain", folder / "OrbelMain");
  for (const auto& entry : fs::directory_iterator(bin)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".so") != std::string::npos || entry.path().extension() == ".drs")
      fs::create_symlink(entry.path(), folder / name);
  }
  return folder / "OrbelMain";
}

bool HasInstanceClaim(const fs::path& runtime) {
  for (const auto& entry : fs::directory_iterator(runtime))
    if (entry.path().filename().string().rfind("qv-instance-", 0) == 0) return true;
  return false;
}

}  // namespace

TEST(SecondStart, FindsTheFirstInstanceAndEnds) {
  TempFolder first;
  TempFolder second;
  TempFolder runtime;
  fs::permissions(runtime.Path(), fs::perms::owner_all, fs::perm_options::replace);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path().string()));

  QProcess running;
  running.setProcessEnvironment(environment);
  running.start(QString::fromStdString(InstallProgram(first.Path()).string()), {});
  ASSERT_TRUE(running.waitForStarted(10000));
  for (int i = 0; i < 500 && !HasInstanceClaim(runtime.Path()); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(HasInstanceClaim(runtime.Path())) << "the first start never claimed its window class";
  // Its settings folder shows that it got through its start-up.
  for (int i = 0; i < 500 && !fs::exists(first.Path() / "Workstation/Sys"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

  QProcess again;
  again.setProcessEnvironment(environment);
  again.start(QString::fromStdString(InstallProgram(second.Path()).string()), {});
  ASSERT_TRUE(again.waitForFinished(20000)) << "the second start did not end";
  EXPECT_EQ(again.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(again.exitCode(), 0);
  // It ended before its own start-up: no settings folder of its own.
  EXPECT_FALSE(fs::exists(second.Path() / "Workstation"));
  EXPECT_EQ(running.state(), QProcess::Running);

  running.terminate();
  if (!running.waitForFinished(10000)) running.kill();
  running.waitForFinished(5000);
}
