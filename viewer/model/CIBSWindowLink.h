#pragma once
// What the viewer's model asks of its windows: message boxes by text key, the wait cursor and the
// main frame's title. The main frame implements it; where no window exists (start-up, tests) the
// model holds none and shows nothing, and a question is answered with Cancel.

#include "platform/core/CString.h"

#include <utility>
#include <vector>

// Replacements for the placeholders of a language text: "<%batchname%>" and its value.
using CIBSPlaceholders = std::vector<std::pair<CString, CString>>;

class CIBSWindowLink {
public:
  virtual ~CIBSWindowLink() = default;

  // The texts are looked up by key and their placeholders replaced before the box shows.
  virtual void ErrorMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) = 0;
  virtual void InfoMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) = 0;
  // TRUE when the user chose OK.
  virtual BOOL OKCancelMsg(LPCWSTR textKey, LPCWSTR captionKey, const CIBSPlaceholders& placeholders) = 0;
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  // Asks the main frame to compose its title again (the current batch and document changed).
  virtual void RefreshMainTitle() = 0;
};
