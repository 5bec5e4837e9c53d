#pragma once
// What the e-mail job asks of the windows: message boxes by text key and the progress of the
// sending. CEmailJobWindows shows them; tests record them.

#include "platform/core/CString.h"

#include <functional>

class CEmailJobUI {
public:
  virtual ~CEmailJobUI() = default;

  // An error box with the text of `textKey`, its "<%mailclient%>" replaced by `mailClient`.
  virtual void ErrorMsg(LPCWSTR textKey, const CString& mailClient) = 0;
  // TRUE when the user answers Yes.
  virtual BOOL YesNoMsg(LPCWSTR textKey) = 0;
  // Runs `work` and shows how far it is while it runs: it gets a function that moves the
  // progress on by one of `steps` and that may be called from any thread. Returns when the work
  // has ended.
  using Step = std::function<void()>;
  virtual void RunWithProgress(int steps, const std::function<void(const Step& step)>& work) = 0;
};
