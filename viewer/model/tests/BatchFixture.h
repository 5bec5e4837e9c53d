#pragma once
// Helpers of the viewer's tests: published batches written byte for byte into a temporary folder,
// and stand-ins for the windows that record what the model asked of them.

#include "viewer/model/CIBSBrowserLink.h"
#include "viewer/model/CIBSWindowLink.h"

#include <filesystem>
#include <string>
#include <vector>

class CDPXStringList;
class CIBSDocument;

// A folder of its own below the system's temporary folder, removed with the object.
class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  const std::filesystem::path& Path() const { return m_path; }
  CString Wide(const std::string& relative = "") const;

private:
  std::filesystem::path m_path;
};

// The texts of a string list, as UTF-8.
std::vector<std::string> Texts(const CDPXStringList& list);

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& path);

// A batch as files: the bytes of both index files, the image folders ("d/cc" below DATA) and image
// files ("d/cc/name"). Writes the layout below `root`.
struct BatchFiles {
  std::string header;
  std::string index;
  std::vector<std::string> folders;
  std::vector<std::string> images;
  void Write(const std::filesystem::path& root) const;
};

// A header in UTF-8 with CR LF: the batch name and the field names.
std::string Header(const std::string& batchName, const std::vector<std::string>& fields);

// Answers questions with OK as often as told, then Cancel, and writes down every call.
class RecordingWindows : public CIBSWindowLink {
public:
  void ErrorMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) override;
  void InfoMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) override;
  BOOL OKCancelMsg(LPCWSTR textKey, LPCWSTR captionKey, const CIBSPlaceholders& placeholders) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void RefreshMainTitle() override { ++titleRefreshes; }

  // "error MSG_KEY <%name%>=value ..." per box, in order.
  std::vector<std::string> boxes;
  int okAnswers { 0 };
  int waitDepth { 0 };
  int waitCursors { 0 };
  int titleRefreshes { 0 };

private:
  void Record(const char* kind, LPCWSTR key, const CIBSPlaceholders& placeholders);
};

// A browser whose image list is the document's image files as the document finds them.
class FakeBrowser : public CIBSBrowserLink {
public:
  int LoadDocument(CIBSDocument* document) override;
  int GetImageCount() override { return static_cast<int>(images.size()); }
  void SetCurrentPos(int index) override { position = index; }
  void Empty(BOOL repaint) override;

  CIBSDocument* document { nullptr };
  std::vector<std::string> images;
  int position { -1 };
  int emptied { 0 };
};
