// The demonstration program as a process: one instance for two starts, the docking layout across
// restarts, the language switched while running, and its pictures in English and German on an X
// display.

#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <map>
#include <memory>
#include <string>

namespace {

using State = std::map<std::string, std::string>;

class Demo {
public:
  // The program in the application folder `appDir`; with a file-size limit its writes beyond
  // that many bytes fail.
  Demo(const QString& appDir, QStringList extra = {}, rlim_t fileSizeLimit = 0) {
    m_process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    if (fileSizeLimit) {
      m_process.setChildProcessModifier([fileSizeLimit] {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
      });
    }
    m_process.start(QCoreApplication::applicationDirPath() + "/spine_demo",
                    QStringList {"--appdir", appDir, "--class", "SpineDemoTestFrame"} + extra);
  }
  ~Demo() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.kill();
    m_process.waitForFinished(3000);
  }

  // The next line the program says; empty when it says nothing for a while or has ended.
  std::string Line(int timeoutMs = 10000) {
    while (!m_process.canReadLine())
      if (!m_process.waitForReadyRead(timeoutMs)) return std::string();
    return m_process.readLine().trimmed().toStdString();
  }
  // Lines up to the one beginning with `start`, which it answers (empty when none comes).
  std::string WaitFor(const std::string& start) {
    for (std::string line = Line(); !line.empty() || m_process.state() == QProcess::Running; line = Line()) {
      if (line.rfind(start, 0) == 0) return line;
      if (line.empty()) return std::string();
    }
    return std::string();
  }
  // What became of the saved docking layout, once the program is ready for commands.
  std::string Started() {
    const std::string layout = WaitFor("DOCKSTATE");
    return WaitFor("READY") == "READY" ? layout : std::string();
  }
  std::string Ask(const std::string& command) {
    m_process.write((command + "\n").c_str());
    return Line();
  }
  State GetState() {
    State state;
    m_process.write("state\n");
    for (std::string line = Line(); !line.empty() && line != "end"; line = Line()) {
      const size_t equals = line.find('=');
      if (equals != std::string::npos) state[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return state;
  }
  // Closes the main frame; the program's exit code (-1 when it did not end normally).
  int Quit(std::string* said = nullptr) {
    m_process.write("quit\n");
    const std::string saved = WaitFor("DOCKSTATE");
    if (said) *said = saved;
    if (!m_process.waitForFinished(10000) || m_process.exitStatus() != QProcess::NormalExit) return -1;
    return m_process.exitCode();
  }
  QProcess& Process() { return m_process; }

private:
  QProcess m_process;
};

class SpineDemo : public ::testing::Test {
protected:
  QString DockStateFile() const { return dir.filePath("Workstation/Sys/SPINEDEMO.dockstate"); }
  QByteArray ReadDockState() const {
    QFile file(DockStateFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir;
};

TEST_F(SpineDemo, StartsOnceAndASecondStartBringsTheFirstForward) {
  auto first = std::make_unique<Demo>(dir.path(), QStringList {"--minimised"});
  ASSERT_EQ(first->WaitFor("READY"), "READY");
  Demo second(dir.path());
  EXPECT_EQ(second.WaitFor("FOUND"), "FOUND");
  ASSERT_TRUE(second.Process().waitForFinished(10000));
  EXPECT_EQ(second.Process().exitCode(), 0);
  EXPECT_EQ(first->WaitFor("RESTORED"), "RESTORED") << "the first came out of its minimised state";
  EXPECT_EQ(first->Quit(), 0);

  // Two starts at the same moment: one runs, the other finds it and ends.
  Demo a(dir.path()), b(dir.path());
  ASSERT_TRUE(PumpUntil([&] { return a.Process().state() == QProcess::NotRunning || b.Process().state() == QProcess::NotRunning; },
                        15000));
  Demo& ended = a.Process().state() == QProcess::NotRunning ? a : b;
  Demo& running = &ended == &a ? b : a;
  EXPECT_EQ(ended.Process().exitCode(), 0);
  EXPECT_EQ(ended.WaitFor("FOUND"), "FOUND");
  EXPECT_EQ(running.WaitFor("READY"), "READY");
  EXPECT_EQ(running.GetState()["title"], "Spine demonstration") << "the one left answers";
  EXPECT_EQ(running.Quit(), 0);
}

TEST_F(SpineDemo, TheDockingLayoutSurvivesARestartAndADamagedOneChangesNothing) {
  State before;
  {
    Demo demo(dir.path());
    EXPECT_EQ(demo.Started(), "DOCKSTATE none");
    EXPECT_EQ(demo.Ask("dock thumbs right"), "ok");
    EXPECT_EQ(demo.Ask("width thumbs 230"), "ok");
    EXPECT_EQ(demo.Ask("float notes 520 400"), "ok");
    before = demo.GetState();
    EXPECT_EQ(before["thumbs.side"], "right");
    EXPECT_EQ(before["notes.side"], "floating");
    std::string said;
    EXPECT_EQ(demo.Quit(&said), 0);
    EXPECT_EQ(said, "DOCKSTATE saved");
  }
  const QByteArray saved = ReadDockState();
  ASSERT_FALSE(saved.isEmpty());
  {
    Demo demo(dir.path());
    EXPECT_EQ(demo.Started(), "DOCKSTATE restored");
    const State after = demo.GetState();
    for (const char* key : {"thumbs.side", "thumbs.rect", "notes.side", "notes.rect"})
      EXPECT_EQ(after.at(key), before[key]) << key;
    EXPECT_EQ(demo.Quit(), 0);
  }

  // A file cut short is refused, said so, and the bars keep the places they start in.
  {
    QFile file(DockStateFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(saved.left(saved.size() / 2));
  }
  {
    Demo demo(dir.path());
    EXPECT_EQ(demo.Started().rfind("DOCKSTATE refused", 0), 0u);
    const State fresh = demo.GetState();
    EXPECT_EQ(fresh.at("thumbs.side"), "left");
    EXPECT_EQ(fresh.at("notes.side"), "bottom");
    EXPECT_EQ(demo.Quit(), 0);
  }

  // A save that cannot be written keeps the file that was there.
  const QByteArray kept = ReadDockState();
  {
    Demo demo(dir.path(), {}, 64);
    EXPECT_EQ(demo.Started(), "DOCKSTATE restored");
    EXPECT_EQ(demo.Ask("dock thumbs top"), "ok");
    std::string said;
    EXPECT_EQ(demo.Quit(&said), 0);
    EXPECT_EQ(said.rfind("DOCKSTATE not saved", 0), 0u) << said;
  }
  EXPECT_EQ(ReadDockState(), kept);
  EXPECT_EQ(QDir(dir.filePath("Workstation/Sys")).entryList(QDir::Files), QStringList {"SPINEDEMO.dockstate"});
}

// What the program shows in each language.
const struct Shown {
  const char* language;
  const char* title;
  const char* menu;
  const char* file;
  const char* labels;
  const char* tips;
  const char* thumbs;
} kShown[] = {
    {"en-us", "Spine demonstration", "&File|&View|&Help|&Language", "&Open...\tCtrl+O|E&xit",
     "Open|Thumbnails|Notes|Assistant", "Open a batch|Show or hide the thumbnails|Show or hide the notes|Show or hide the assistant",
     "Thumbnails"},
    {"de-de", "Rückgrat-Vorführung", "&Datei|&Ansicht|&Hilfe|&Sprache", "Ö&ffnen...\tStrg+O|&Beenden",
     "Öffnen|Miniaturen|Notizen|Assistent",
     "Einen Stapel öffnen|Miniaturen zeigen oder verbergen|Notizen zeigen oder verbergen|Assistenten zeigen oder verbergen",
     "Miniaturen"},
};

void ExpectShown(const State& state, const Shown& s) {
  EXPECT_EQ(state.at("language"), s.language);
  EXPECT_EQ(state.at("title"), s.title) << s.language;
  EXPECT_EQ(state.at("menu"), s.menu) << s.language;
  EXPECT_EQ(state.at("menu.file"), s.file) << s.language;
  EXPECT_EQ(state.at("toolbar.labels"), s.labels) << s.language;
  EXPECT_EQ(state.at("toolbar.tips"), s.tips) << s.language;
  EXPECT_EQ(state.at("thumbs.title"), s.thumbs) << s.language;
}

TEST_F(SpineDemo, TheLanguagePopUpSwitchesToGermanAndBackWhileRunning) {
  Demo demo(dir.path());
  ASSERT_EQ(demo.WaitFor("READY"), "READY");
  ExpectShown(demo.GetState(), kShown[0]);
  EXPECT_EQ(demo.Ask("lang de-de"), "ok");
  ExpectShown(demo.GetState(), kShown[1]);
  EXPECT_EQ(demo.Ask("lang en-us"), "ok");
  ExpectShown(demo.GetState(), kShown[0]);
  EXPECT_EQ(demo.Quit(), 0);
}

// Runs xdotool with the arguments; what it printed.
QString XDoTool(const QStringList& arguments) {
  QProcess tool;
  tool.start("xdotool", arguments);
  tool.waitForFinished(10000);
  return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The language picked from the language pop-up with the keyboard, as a user does, and the main
// frame with its menus, tool bar, docked bars and the assistant panel in English and German; the
// pictures are kept with the artefacts for people to look at.
TEST_F(SpineDemo, OnX11TheLanguageMenuSwitchesAndThePicturesShowBothLanguages) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X display";
  QProcess manager;
  manager.start("openbox", {});  // decorations, so that the title shows
  Demo demo(dir.path());
  ASSERT_EQ(demo.WaitFor("READY"), "READY");
  EXPECT_EQ(demo.Ask("assistant show"), "ok");
  QString window;
  ASSERT_TRUE(PumpUntil([&] {
    window = XDoTool({"search", "--onlyvisible", "--name", "^Spine demonstration$"}).section('\n', 0, 0);
    return !window.isEmpty();
  }, 10000));
  // The panel, a window of its own, may take the activation as it appears: the keys go to the frame.
  EXPECT_TRUE(PumpUntil([&] { return demo.GetState()["assistant.visible"] == "1"; }, 5000));
  Pump(300);
  ASSERT_TRUE(PumpUntil([&] {
    XDoTool({"windowactivate", "--sync", window});
    return XDoTool({"getactivewindow"}) == window;
  }, 10000));
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  auto shoot = [&](const char* name) {
    Pump(300);  // the window manager, the menu and the panel's page
    const QString path = QStringLiteral(QV_TEST_ARTIFACT_DIR "/spine-demo-%1.png").arg(name);
    EXPECT_EQ(demo.Ask("shot " + path.toStdString()), "ok");
    QImage shot(path);
    EXPECT_FALSE(shot.isNull()) << name;
    return shot;
  };
  const struct {
    QStringList keys;  // open the language pop-up by its mnemonic, then pick the language
    const Shown& shown;
    const char* page;
  } steps[] = {
      {{"alt+l", "Down", "Return"}, kShown[1], "start-de.html"},
      {{"alt+s", "Return"}, kShown[0], "start.html"},
  };
  ExpectShown(demo.GetState(), kShown[0]);
  const QImage english = shoot("en-us");
  for (const auto& step : steps) {
    XDoTool({"key", "--delay", "80", step.keys[0]});
    if (&step == &steps[0]) {
      shoot("language-menu");
    }
    XDoTool(QStringList {"key", "--delay", "80"} + step.keys.mid(1));
    EXPECT_TRUE(PumpUntil([&] { return demo.GetState()["language"] == step.shown.language; }, 5000));
    const State state = demo.GetState();
    ExpectShown(state, step.shown);
    EXPECT_EQ(state.at("assistant.visible"), "1");
    EXPECT_NE(state.at("assistant.page").find(step.page), std::string::npos) << state.at("assistant.page");
    if (&step == &steps[0]) {
      EXPECT_NE(shoot("de-de"), english) << "the texts differ";
    }
  }
  EXPECT_EQ(demo.Quit(), 0);
  manager.terminate();
  manager.waitForFinished(3000);
}

}  // namespace
