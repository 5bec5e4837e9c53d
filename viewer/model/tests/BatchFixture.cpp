#include "viewer/model/tests/BatchFixture.h"

#include "foundation/util/CDPXStringList.h"
#include "viewer/model/CIBSDocument.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "qv-viewer-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  m_path = pattern;
}

TempFolder::~TempFolder() {
  std::error_code error;
  fs::remove_all(m_path, error);
}

CString TempFolder::Wide(const std::string& relative) const {
  return CString::FromUtf8((relative.empty() ? m_path : m_path / relative).string());
}

std::vector<std::string> Texts(const CDPXStringList& list) {
  std::vector<std::string> out;
  CString text;
  for (POSITION pos = list.GetHeadPosition(); list.GetNext(pos, text);) out.push_back(text.ToUtf8());
  return out;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void BatchFiles::Write(const fs::path& root) const {
  WriteBytes(root / "DOC_CD/Database/indexhdr.dat", header);
  WriteBytes(root / "DOC_CD/Database/index.dat", index);
  fs::create_directories(root / "DOC_CD/DATA");
  for (const std::string& folder : folders) fs::create_directories(root / "DOC_CD/DATA" / folder);
  for (const std::string& image : images) WriteBytes(root / "DOC_CD/DATA" / image, "II*\0");
}

std::string Header(const std::string& batchName, const std::vector<std::string>& fields) {
  std::string header = "\"PUBLISHED INDEX\"\r\n\"" + batchName + "\"\r\n2008-02-20\r\nVOL001\r\nPUBLISHER\r\n" +
                       std::to_string(fields.size()) + "\r\n";
  for (const std::string& field : fields) header += "\"" + field + "\"\r\n";
  return header;
}

void RecordingWindows::Record(const char* kind, LPCWSTR key, const CIBSPlaceholders& placeholders) {
  std::string box = std::string(kind) + " " + CString(key).ToUtf8();
  for (const auto& [name, value] : placeholders) box += " " + name.ToUtf8() + "=" + value.ToUtf8();
  boxes.push_back(box);
}

void RecordingWindows::ErrorMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) { Record("error", textKey, placeholders); }

void RecordingWindows::InfoMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) { Record("info", textKey, placeholders); }

BOOL RecordingWindows::OKCancelMsg(LPCWSTR textKey, LPCWSTR captionKey, const CIBSPlaceholders& placeholders) {
  Record("question", textKey, placeholders);
  boxes.back() += " caption=" + CString(captionKey).ToUtf8();
  if (okAnswers == 0) return FALSE;
  --okAnswers;
  return TRUE;
}

void RecordingWindows::BeginWaitCursor() {
  ++waitDepth;
  ++waitCursors;
}

void RecordingWindows::EndWaitCursor() { --waitDepth; }

int FakeBrowser::LoadDocument(CIBSDocument* shown) {
  document = shown;
  images.clear();
  CDPXStringList paths;
  shown->CollectImageFiles(paths);
  images = Texts(paths);
  return GetImageCount();
}

void FakeBrowser::Empty(BOOL) {
  document = nullptr;
  images.clear();
  ++emptied;
}
