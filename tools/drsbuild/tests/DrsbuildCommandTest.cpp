// The builder as the build runs it: exit codes, messages, the output file and the dependency file.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct BuilderRun {
  int exitCode { -1 };
  std::string output;  // stdout and stderr
};

BuilderRun RunBuilder(const std::string& arguments) {
  BuilderRun run;
  FILE* pipe = ::popen((std::string(DRSBUILD_PATH) + " " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  std::array<char, 256> chunk {};
  while (std::fgets(chunk.data(), chunk.size(), pipe)) run.output += chunk.data();
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BuilderCommand : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/drsbuild-command-XXXXXX";
    m_root = ::mkdtemp(pattern);
    std::filesystem::create_directories(m_root / "res");
    Write("res/en.lang", "[language]\nname = en-us\nfallback = yes\n[texts]\nA = one\n[data]\nD = \"my data.txt\"\n");
    Write("res/de.lang", "[language]\nname = de-de\n[texts]\nA = eins\n[data]\nD = \"my data.txt\"\n");
    Write("res/my data.txt", "payload");
  }
  void TearDown() override { std::filesystem::remove_all(m_root); }
  void Write(const std::string& name, const std::string& content) { std::ofstream(m_root / name, std::ios::binary) << content; }
  std::string Path(const std::string& name) const { return "'" + (m_root / name).string() + "'"; }

  std::filesystem::path m_root;
};

}  // namespace

TEST_F(BuilderCommand, WritesTheFileAndItsDependencies) {
  const BuilderRun run = RunBuilder("--complete --depfile " + Path("out.d") + " -o " + Path("out.drs") + " " + Path("res/en.lang") + " " +
                             Path("res/de.lang"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "");
  const std::string drs = ReadText(m_root / "out.drs");
  ASSERT_GE(drs.size(), 36u);
  EXPECT_EQ(drs.substr(0, 4), "\x3E\x11\x9B\x16");
  EXPECT_FALSE(std::filesystem::exists(m_root / "out.drs.part"));

  const std::string depfile = ReadText(m_root / "out.d");
  EXPECT_EQ(depfile.rfind((m_root / "out.drs").string() + ":", 0), 0u) << depfile;
  EXPECT_NE(depfile.find((m_root / "res/de.lang").string()), std::string::npos) << depfile;
  EXPECT_NE(depfile.find((m_root / "res/my\\ data.txt").string()), std::string::npos) << "blanks escaped: " << depfile;
}

// A mistake stops the build with the place of the mistake, and the file of the last good build
// stays as it was.
TEST_F(BuilderCommand, MistakesFailAndKeepTheOldFile) {
  Write("out.drs", "old");
  Write("res/bad.lang", "[language]\nname = en-us\n[texts]\nA = \\q\n");
  BuilderRun run = RunBuilder("-o " + Path("out.drs") + " " + Path("res/bad.lang"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find((m_root / "res/bad.lang").string() + ":4: unknown escape"), std::string::npos) << run.output;
  EXPECT_EQ(ReadText(m_root / "out.drs"), "old");

  Write("res/de.lang", "[language]\nname = de-de\n[texts]\nA = eins\n");
  run = RunBuilder("--complete -o " + Path("out.drs") + " " + Path("res/en.lang") + " " + Path("res/de.lang"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("data D of en-us is missing in de-de"), std::string::npos) << run.output;
  EXPECT_EQ(ReadText(m_root / "out.drs"), "old");

  run = RunBuilder("-o " + Path("missing/out.drs") + " " + Path("res/en.lang"));
  EXPECT_EQ(run.exitCode, 1) << "an output folder that does not exist";
  EXPECT_NE(run.output.find("cannot be written"), std::string::npos) << run.output;

  EXPECT_EQ(RunBuilder(Path("res/en.lang")).exitCode, 2) << "no output named";
  EXPECT_EQ(RunBuilder("-o " + Path("out.drs")).exitCode, 2) << "no source named";
  EXPECT_EQ(RunBuilder("--frobnicate -o " + Path("out.drs") + " " + Path("res/en.lang")).exitCode, 2);
}
