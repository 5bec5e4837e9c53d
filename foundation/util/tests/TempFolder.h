#pragma once
// A fresh folder below the temporary folder for one test, removed with everything in it.

#include <cstdlib>
#include <filesystem>
#include <string>

class TempFolder {
public:
  TempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qvtest.XXXXXX";
    if (char* made = mkdtemp(pattern.data())) m_path = made;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
  std::string m_path;
};
