#pragma once
// The messages windows receive, recorded with where each came from, and checked against named tables
// of the messages a behaviour must produce. A table lists messages in order; each entry says which
// of the recorded message's parts must match. On a mismatch the failure shows the expected and the
// recorded sequences side by side.
//
// A test's window procedure hands every message to Record and calls CallDefault in place of
// DefWindowProcW; a parent's procedure records its children's notifications with kParent.

#include "platform/ui/win/winuser.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace msgseq {

enum Flags : unsigned {
  kSent = 1u << 0,      // delivered straight to the procedure (sent, or called by the layer)
  kPosted = 1u << 1,    // taken from the message queue
  kParent = 1u << 2,    // recorded by the parent (a notification about one of its children)
  kDefProc = 1u << 3,   // arrived while the procedure was in the default procedure
  kWParam = 1u << 4,    // the expected wParam must match
  kLParam = 1u << 5,    // the expected lParam must match
  kOptional = 1u << 6,  // may be missing (behaviour that differs between versions of the original)
  kOrigin = kSent | kPosted | kParent | kDefProc,
};
// Which of the windows handed to Matches must have received the message (none said: any).
constexpr unsigned kWin(int index) { return static_cast<unsigned>(index + 1) << 8; }

// In a table, an entry marked kParent names a notification by its code (see RecordParent).
struct Expected {
  UINT message;
  unsigned flags = kSent;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

struct Recorded {
  HWND hwnd;
  UINT message;
  unsigned origin;  // kSent or kPosted, with kParent and kDefProc
  WPARAM wParam;
  LPARAM lParam;
};

// One recorder is live at a time; it takes the place of the program's message filter while it
// lives, to tell messages taken from the queue from those sent.
class Recorder {
 public:
  Recorder();
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  static Recorder& Current();

  // Records a message of the window's own procedure (or, with kParent, of its parent's). Messages
  // outside the filter (when one is set) are left out.
  void Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, unsigned extra = 0);
  // Records the notifications a parent hears from its children, marked kParent: a control's
  // WM_COMMAND as its notification code (wParam: the control's ID), WM_NOTIFY as the NMHDR's code
  // (wParam: idFrom). Other messages are left out.
  void RecordParent(HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
  // DefWindowProcW, with what arrives meanwhile marked kDefProc.
  LRESULT CallDefault(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // Records only these messages from now on (an empty set records everything).
  void Only(std::set<UINT> messages) { m_only = std::move(messages); }
  // Records only what these windows receive (an empty list: every window).
  void Watch(std::initializer_list<HWND> windows) { m_watched.assign(windows); }
  void Clear() { m_log.clear(); }
  const std::vector<Recorded>& Log() const { return m_log; }

  // Whether the log holds the table's messages in order (optional ones may be missing; nothing
  // else may come between or after). kWin(i) in a table names windows[i]. The log is cleared.
  ::testing::AssertionResult Matches(const char* name, const std::vector<Expected>& table,
                                     std::initializer_list<HWND> windows = {});

 private:
  static BOOL NoteQueued(MSG* msg);

  std::vector<Recorded> m_log;
  std::set<UINT> m_only;
  std::vector<HWND> m_watched;
  int m_defDepth = 0;
  MSG m_queued {};
  bool m_queuedPending = false;
  BOOL (*m_filterBefore)(MSG*) = nullptr;
};

}  // namespace msgseq

// Checks what the recorder holds against a named table: EXPECT_SEQUENCE(recorder, kCreateChild).
// EXPECT_SEQUENCE(recorder, kCreateChild, top, child) when the table names windows.
#define EXPECT_SEQUENCE(recorder, table, ...) EXPECT_TRUE((recorder).Matches(#table, table, {__VA_ARGS__}))
