#pragma once
// Helpers for tests that work on files: a temporary folder of their own, files written and read
// byte for byte, and a file-size limit that makes writes fail without relying on permissions.

#include "platform/core/CString.h"
#include "platform/core/paths.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

class TestFolder {
public:
  TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qvcoreXXXXXX").string();
    if (::mkdtemp(pattern.data())) m_path = pattern;
  }
  ~TestFolder() {
    std::error_code ignored;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The native path of `relative` inside the folder (the folder itself for "").
  std::string Native(const std::string& relative = "") const { return relative.empty() ? m_path : m_path + "/" + relative; }
  // The same as a path of the system.
  CString Wide(const std::string& relative = "") const { return PathFromNative(Native(relative)); }

  void Write(const std::string& relative, const std::string& bytes) const {
    std::ofstream out(Native(relative), std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(Native(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void MakeFolder(const std::string& relative) const { std::filesystem::create_directories(Native(relative)); }
  bool Exists(const std::string& relative) const {
    struct stat st;
    return ::lstat(Native(relative).c_str(), &st) == 0;
  }
  // The names in a folder of the test folder, in byte order.
  std::set<std::string> Names(const std::string& relative = "") const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Native(relative))) names.insert(entry.path().filename().string());
    return names;
  }

private:
  std::string m_path;
};

// While it lives, a write past `bytes` fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &m_old);
    struct rlimit limit = m_old;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  struct rlimit m_old {};
  void (*m_oldHandler)(int) = nullptr;
};

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
  ScopedEnvironment(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old, m_had = true;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnvironment() { m_had ? ::setenv(m_name.c_str(), m_old.c_str(), 1) : ::unsetenv(m_name.c_str()); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
  std::string m_name;
  std::string m_old;
  bool m_had = false;
};
