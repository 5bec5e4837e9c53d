// Two processes saving and deleting layouts in one shared store through the dialogs (StoreHelper):
// no save that succeeded is lost, no layout is ever read back with parts of two saves, and no lock
// file or half-made folder is left behind.

#include "framework/layouts/CQVSCLItem.h"
#include "framework/layouts/CQVSCLManager.h"
#include "framework/layouts/tests/LayoutsTestApp.h"
#include "framework/layouts/tests/StorePayload.h"

#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/tests/ChildProcess.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

struct Writer {
  std::string tag;
  std::unique_ptr<ChildProcess> process;
  int lastSaved = 0;
  std::vector<std::string> torn;
  bool done = false;
};

TEST(SharedStoreProcesses, TwoWritersNeverLoseNorMixALayoutAndLeaveNoLock) {
  LayoutsTestApp app;
  const CString root = app.Path("store/");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(root.ToUtf8())));
  constexpr int kRounds = 120;
  std::vector<Writer> writers(2);
  writers[0].tag = "A";
  writers[1].tag = "B";
  for (size_t i = 0; i < writers.size(); ++i) {
    writers[i].process = std::make_unique<ChildProcess>(
        std::vector<std::string> {root.ToUtf8(), writers[i].tag, std::to_string(kRounds), std::to_string(17 + i)});
    ASSERT_TRUE(writers[i].process->Started());
  }
  for (Writer& writer : writers) {
    for (std::string line = writer.process->ReadLine(); !line.empty(); line = writer.process->ReadLine()) {
      if (line.rfind("saved ", 0) == 0) writer.lastSaved = std::stoi(line.substr(6));
      if (line.rfind("torn ", 0) == 0) writer.torn.push_back(line.substr(5));
      if (line == "done") writer.done = true;
    }
    EXPECT_EQ(writer.process->Wait(), 0) << writer.tag;
    EXPECT_TRUE(writer.done) << writer.tag;
    for (const std::string& torn : writer.torn) ADD_FAILURE() << writer.tag << " read back " << torn;
  }

  CQVSCLManager store;
  store.SetRootDir(root);
  const auto check = [&](const std::string& id, const std::string& displayName) {
    SCOPED_TRACE(id);
    CQVSCLItem item;
    ASSERT_TRUE(store.Open(CString::FromUtf8(id), &item, TRUE));
    CString name;
    ASSERT_TRUE(item.Get(u"SCL.DisplayName", name));
    if (!displayName.empty()) {
      EXPECT_EQ(name.ToUtf8(), displayName) << "the last save that succeeded";
    }
    const std::string text = name.ToUtf8();
    const size_t dash = text.rfind('-');
    ASSERT_NE(dash, std::string::npos) << text;
    const std::string expected = Payload(text.substr(0, dash), std::stoi(text.substr(dash + 1)));
    CDPXGMemBuffer state;
    ASSERT_TRUE(item.Get_DockState(state));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(state.Lock()), state.GetSize()), expected)
        << "the dock state of the save that wrote the name";
  };
  std::vector<std::string> expectedNames;
  for (const Writer& writer : writers) {
    ASSERT_GT(writer.lastSaved, 0) << writer.tag << " never saved its own layout";
    check(writer.tag, writer.tag + "-" + std::to_string(writer.lastSaved));
    expectedNames.push_back(writer.tag);
  }
  for (const std::string& entry : FolderNames(root)) {
    if (entry == "A" || entry == "B") continue;
    EXPECT_TRUE(entry.size() == 2 && entry[0] == 'S') << "left behind: " << entry;
    if (entry[0] == 'S') check(entry, "");
  }
}

}  // namespace
