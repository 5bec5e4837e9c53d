#include "platform/ui/tests/MessageSequence.h"

#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <algorithm>
#include <iomanip>
#include <sstream>

namespace msgseq {
namespace {

Recorder* g_current = nullptr;

std::string Origin(unsigned flags) {
  std::string s;
  auto add = [&s](const char* word) { s += s.empty() ? word : std::string("|") + word; };
  if (flags & kSent) add("sent");
  if (flags & kPosted) add("posted");
  if (flags & kParent) add("parent");
  if (flags & kDefProc) add("defproc");
  if (flags & kOptional) add("optional");
  return s;
}

std::string NotificationName(UINT code) {
  std::ostringstream s;
  s << "note " << static_cast<int>(code);
  return s.str();
}

std::string Show(const Expected& e) {
  std::ostringstream s;
  s << ((e.flags & kParent) ? NotificationName(e.message) : MessageName(e.message)) << " " << Origin(e.flags);
  if (e.flags & kWParam) s << " w=" << e.wParam;
  if (e.flags & kLParam) s << " l=" << e.lParam;
  if (unsigned win = e.flags >> 8) s << " win" << win - 1;
  return s.str();
}

std::string Show(const Recorded& r, std::initializer_list<HWND> windows) {
  std::ostringstream s;
  s << ((r.origin & kParent) ? NotificationName(r.message) : MessageName(r.message)) << " " << Origin(r.origin) << " w=" << r.wParam << " l=" << r.lParam;
  auto it = std::find(windows.begin(), windows.end(), r.hwnd);
  if (it != windows.end()) s << " win" << (it - windows.begin());
  else s << " " << r.hwnd;
  return s.str();
}

bool Fits(const Expected& e, const Recorded& r, std::initializer_list<HWND> windows) {
  if (e.message != r.message) return false;
  if ((e.flags & kOrigin) != r.origin) return false;
  if ((e.flags & kWParam) && e.wParam != r.wParam) return false;
  if ((e.flags & kLParam) && e.lParam != r.lParam) return false;
  if (unsigned win = e.flags >> 8) {
    if (win > windows.size() || windows.begin()[win - 1] != r.hwnd) return false;
  }
  return true;
}

}  // namespace

Recorder::Recorder() : m_filterBefore(qvui::GetMessageFilter()) {
  g_current = this;
  qvui::SetMessageFilter(&Recorder::NoteQueued);
}

Recorder::~Recorder() {
  qvui::SetMessageFilter(m_filterBefore);
  g_current = nullptr;
}

Recorder& Recorder::Current() { return *g_current; }

BOOL Recorder::NoteQueued(MSG* msg) {
  Recorder& self = *g_current;
  self.m_queued = *msg;
  self.m_queuedPending = true;
  return self.m_filterBefore ? self.m_filterBefore(msg) : FALSE;
}

void Recorder::Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, unsigned extra) {
  unsigned origin = kSent;
  // The first delivery of the message just taken from the queue is that message; anything it
  // causes is sent.
  if (m_queuedPending && m_queued.hwnd == hwnd && m_queued.message == message && m_queued.wParam == wParam &&
      m_queued.lParam == lParam && !(extra & kParent)) {
    m_queuedPending = false;
    origin = kPosted;
  }
  if (m_defDepth > 0) origin |= kDefProc;
  origin |= extra & (kParent | kDefProc);
  if (!m_only.empty() && !m_only.count(message)) return;
  if (!m_watched.empty() && std::find(m_watched.begin(), m_watched.end(), hwnd) == m_watched.end()) return;
  m_log.push_back({hwnd, message, origin, wParam, lParam});
}

void Recorder::RecordParent(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && lParam) {
    Record(parent, HIWORD(wParam), LOWORD(wParam), lParam, kParent);
  } else if (message == WM_NOTIFY && lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    Record(parent, header->code, header->idFrom, lParam, kParent);
  }
}

LRESULT Recorder::CallDefault(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ++m_defDepth;
  LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
  --m_defDepth;
  return result;
}

::testing::AssertionResult Recorder::Matches(const char* name, const std::vector<Expected>& table,
                                             std::initializer_list<HWND> windows) {
  // Walks both in step; an optional entry that does not fit is passed over.
  size_t e = 0, r = 0;
  bool matched = true;
  while (e < table.size() || r < m_log.size()) {
    if (e < table.size() && r < m_log.size() && Fits(table[e], m_log[r], windows)) {
      ++e;
      ++r;
    } else if (e < table.size() && (table[e].flags & kOptional)) {
      ++e;
    } else {
      matched = false;
      break;
    }
  }
  std::vector<Recorded> log = std::move(m_log);
  m_log.clear();
  if (matched) return ::testing::AssertionSuccess();

  std::ostringstream s;
  s << "the messages differ from " << name << " at its entry " << e << " (recorded " << r << ")\n";
  s << "    " << std::left << std::setw(48) << "expected" << "recorded\n";
  for (size_t i = 0; i < std::max(table.size(), log.size()); ++i) {
    std::string left = i < table.size() ? Show(table[i]) : "";
    std::string right = i < log.size() ? Show(log[i], windows) : "";
    s << (i == e || i == r ? "--> " : "    ") << std::setw(48) << left << right << "\n";
  }
  return ::testing::AssertionFailure() << s.str();
}

}  // namespace msgseq
