#include "platform/core/CString.h"

#include "platform/core/codepage.h"

#include <algorithm>
#include <cwctype>
#include <ostream>
#include <locale.h>

namespace {

constexpr char16_t kWhiteSpace[] = u" \t\r\n\v\f";

// The simple case mapping comes from the C.UTF-8 locale's tables, fixed for the whole process, so
// that it does not follow LC_CTYPE of the environment.
locale_t CaseLocale() {
  static locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
  }();
  return locale;
}

bool InSet(char16_t ch, std::u16string_view set) { return set.find(ch) != std::u16string_view::npos; }

std::u16string_view ViewOf(LPCWSTR text) { return text ? std::u16string_view(text) : std::u16string_view(); }

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

template <class S>
S Sub(const S& text, int first, int count) {
  const int length = static_cast<int>(text.size());
  first = std::clamp(first, 0, length);
  count = std::clamp(count, 0, length - first);
  return text.substr(static_cast<size_t>(first), static_cast<size_t>(count));
}

}  // namespace

WCHAR FoldLower(WCHAR ch) {
  if (ch < 0x80) return (ch >= 'A' && ch <= 'Z') ? static_cast<WCHAR>(ch + 32) : ch;
  if (ch >= 0xD800 && ch <= 0xDFFF) return ch;
  const wint_t folded = towlower_l(ch, CaseLocale());
  return folded <= 0xFFFF ? static_cast<WCHAR>(folded) : ch;
}

WCHAR FoldUpper(WCHAR ch) {
  if (ch < 0x80) return (ch >= 'a' && ch <= 'z') ? static_cast<WCHAR>(ch - 32) : ch;
  if (ch >= 0xD800 && ch <= 0xDFFF) return ch;
  const wint_t folded = towupper_l(ch, CaseLocale());
  return folded <= 0xFFFF ? static_cast<WCHAR>(folded) : ch;
}

int WStrLen(LPCWSTR text) { return text ? static_cast<int>(std::char_traits<char16_t>::length(text)) : 0; }

// ---- CString ---------------------------------------------------------------------------------

CString::CString(LPCWSTR text) : m_text(ViewOf(text)) {}

CString::CString(LPCWSTR text, int length) {
  if (text && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

CString::CString(WCHAR ch, int repeat) {
  if (repeat > 0) m_text.assign(static_cast<size_t>(repeat), ch);
}

CString::CString(LPCSTR text) : m_text(AnsiToWide(text ? std::string_view(text) : std::string_view())) {}

CString::CString(const CStringA& text) : m_text(AnsiToWide(text.View())) {}

CString CString::FromUtf8(std::string_view utf8) { return CString(Utf8ToWide(utf8)); }

std::string CString::ToUtf8() const { return WideToUtf8(m_text); }

WCHAR CString::GetAt(int index) const {
  return (index >= 0 && index < GetLength()) ? m_text[static_cast<size_t>(index)] : 0;
}

void CString::SetAt(int index, WCHAR ch) {
  if (index >= 0 && index < GetLength()) m_text[static_cast<size_t>(index)] = ch;
}

CString& CString::operator=(LPCWSTR text) {
  m_text.assign(ViewOf(text));
  return *this;
}

CString& CString::operator=(WCHAR ch) {
  m_text.assign(1, ch);
  return *this;
}

CString& CString::operator=(std::u16string_view text) {
  m_text.assign(text);
  return *this;
}

CString& CString::operator+=(const CString& text) {
  m_text += text.m_text;
  return *this;
}

CString& CString::operator+=(LPCWSTR text) {
  m_text += ViewOf(text);
  return *this;
}

CString& CString::operator+=(WCHAR ch) {
  m_text.push_back(ch);
  return *this;
}

void CString::Append(LPCWSTR text, int length) {
  if (text && length > 0) m_text.append(text, static_cast<size_t>(length));
}

int CString::Compare(LPCWSTR text) const { return Sign(std::u16string_view(m_text).compare(ViewOf(text))); }

int CString::CompareNoCase(LPCWSTR text) const {
  const std::u16string_view other = ViewOf(text);
  const size_t n = std::min(m_text.size(), other.size());
  for (size_t i = 0; i < n; ++i) {
    const WCHAR a = FoldLower(m_text[i]);
    const WCHAR b = FoldLower(other[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return m_text.size() == other.size() ? 0 : (m_text.size() < other.size() ? -1 : 1);
}

CString CString::Mid(int first) const { return CString(Sub(m_text, first, GetLength())); }
CString CString::Mid(int first, int count) const { return CString(Sub(m_text, first, count)); }
CString CString::Left(int count) const { return CString(Sub(m_text, 0, count)); }
CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(Sub(m_text, GetLength() - count, count));
}

CString CString::SpanIncluding(LPCWSTR charSet) const {
  const size_t end = m_text.find_first_not_of(ViewOf(charSet));
  return CString(m_text.substr(0, end));
}

CString CString::SpanExcluding(LPCWSTR charSet) const {
  const size_t end = m_text.find_first_of(ViewOf(charSet));
  return CString(m_text.substr(0, end));
}

CString CString::Tokenize(LPCWSTR tokens, int& start) const {
  const std::u16string_view set = ViewOf(tokens);
  if (start < 0 || start >= GetLength()) {
    start = -1;
    return CString();
  }
  const size_t first = m_text.find_first_not_of(set, static_cast<size_t>(start));
  if (first == std::u16string::npos) {
    start = -1;
    return CString();
  }
  size_t end = m_text.find_first_of(set, first);
  if (end == std::u16string::npos) end = m_text.size();
  start = static_cast<int>(end) + 1;
  return CString(m_text.substr(first, end - first));
}

int CString::Find(WCHAR ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  const size_t at = m_text.find(ch, static_cast<size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCWSTR sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const size_t at = m_text.find(ViewOf(sub), static_cast<size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(WCHAR ch) const {
  const size_t at = m_text.rfind(ch);
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(LPCWSTR charSet) const {
  const size_t at = m_text.find_first_of(ViewOf(charSet));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

CString& CString::MakeUpper() {
  for (auto& ch : m_text) ch = FoldUpper(ch);
  return *this;
}

CString& CString::MakeLower() {
  for (auto& ch : m_text) ch = FoldLower(ch);
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_text.begin(), m_text.end());
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(WCHAR target) { return TrimRight(target).TrimLeft(target); }
CString& CString::Trim(LPCWSTR targets) { return TrimRight(targets).TrimLeft(targets); }
CString& CString::TrimLeft() { return TrimLeft(kWhiteSpace); }
CString& CString::TrimRight() { return TrimRight(kWhiteSpace); }

CString& CString::TrimLeft(WCHAR target) {
  const WCHAR set[2] = {target, 0};
  return TrimLeft(set);
}

CString& CString::TrimRight(WCHAR target) {
  const WCHAR set[2] = {target, 0};
  return TrimRight(set);
}

CString& CString::TrimLeft(LPCWSTR targets) {
  const std::u16string_view set = ViewOf(targets);
  size_t first = 0;
  while (first < m_text.size() && InSet(m_text[first], set)) ++first;
  m_text.erase(0, first);
  return *this;
}

CString& CString::TrimRight(LPCWSTR targets) {
  const std::u16string_view set = ViewOf(targets);
  size_t end = m_text.size();
  while (end > 0 && InSet(m_text[end - 1], set)) --end;
  m_text.resize(end);
  return *this;
}

int CString::Replace(WCHAR oldCh, WCHAR newCh) {
  int count = 0;
  for (auto& ch : m_text) {
    if (ch == oldCh) {
      ch = newCh;
      ++count;
    }
  }
  return count;
}

int CString::Replace(LPCWSTR oldText, LPCWSTR newText) {
  const std::u16string_view from = ViewOf(oldText);
  const std::u16string_view to = ViewOf(newText);
  if (from.empty()) return 0;
  int count = 0;
  std::u16string result;
  size_t at = 0;
  for (size_t hit; (hit = m_text.find(from, at)) != std::u16string::npos; at = hit + from.size()) {
    result.append(m_text, at, hit - at).append(to);
    ++count;
  }
  if (count) {
    result.append(m_text, at, std::u16string::npos);
    m_text.swap(result);
  }
  return count;
}

int CString::Remove(WCHAR ch) {
  const auto end = std::remove(m_text.begin(), m_text.end(), ch);
  const int count = static_cast<int>(m_text.end() - end);
  m_text.erase(end, m_text.end());
  return count;
}

int CString::Insert(int index, WCHAR ch) {
  const WCHAR text[2] = {ch, 0};
  return Insert(index, text);
}

int CString::Insert(int index, LPCWSTR text) {
  index = std::clamp(index, 0, GetLength());
  m_text.insert(static_cast<size_t>(index), ViewOf(text));
  return GetLength();
}

int CString::Delete(int index, int count) {
  if (index >= 0 && index < GetLength() && count > 0)
    m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

LPWSTR CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
  return m_text.data();
}

LPWSTR CString::GetBufferSetLength(int length) {
  m_text.resize(static_cast<size_t>(std::max(length, 0)));
  return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) {
    const size_t zero = m_text.find(u'\0');
    if (zero != std::u16string::npos) m_text.resize(zero);
  } else {
    m_text.resize(std::min(static_cast<size_t>(newLength), m_text.size()));
  }
}

void CString::Truncate(int length) {
  if (length >= 0 && length < GetLength()) m_text.resize(static_cast<size_t>(length));
}

CString operator+(const CString& a, const CString& b) {
  CString result(a);
  return result += b;
}
CString operator+(const CString& a, LPCWSTR b) {
  CString result(a);
  return result += b;
}
CString operator+(LPCWSTR a, const CString& b) {
  CString result(a);
  return result += b;
}
CString operator+(const CString& a, WCHAR b) {
  CString result(a);
  return result += b;
}
CString operator+(WCHAR a, const CString& b) {
  CString result(a);
  return result += b;
}
bool operator==(const CString& a, const CString& b) { return a.Str() == b.Str(); }
bool operator==(const CString& a, LPCWSTR b) { return a.View() == ViewOf(b); }
bool operator<(const CString& a, const CString& b) { return a.Str() < b.Str(); }

// ---- CStringA --------------------------------------------------------------------------------

CStringA::CStringA(LPCSTR text) : m_text(text ? text : "") {}

CStringA::CStringA(LPCSTR text, int length) {
  if (text && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

CStringA::CStringA(LPCWSTR text) : m_text(WideToAnsi(ViewOf(text))) {}

CStringA::CStringA(const CString& text) : m_text(WideToAnsi(text.View())) {}

char CStringA::GetAt(int index) const {
  return (index >= 0 && index < GetLength()) ? m_text[static_cast<size_t>(index)] : 0;
}

CStringA& CStringA::operator=(LPCSTR text) {
  m_text.assign(text ? text : "");
  return *this;
}

CStringA& CStringA::operator+=(const CStringA& text) {
  m_text += text.m_text;
  return *this;
}

CStringA& CStringA::operator+=(LPCSTR text) {
  if (text) m_text += text;
  return *this;
}

CStringA& CStringA::operator+=(char ch) {
  m_text.push_back(ch);
  return *this;
}

int CStringA::Compare(LPCSTR text) const { return Sign(m_text.compare(text ? text : "")); }

int CStringA::CompareNoCase(LPCSTR text) const {
  CStringA a(*this), b(text);
  return a.MakeLower().Compare(b.MakeLower());
}

CStringA CStringA::Mid(int first) const { return CStringA(Sub(m_text, first, GetLength())); }
CStringA CStringA::Mid(int first, int count) const { return CStringA(Sub(m_text, first, count)); }
CStringA CStringA::Left(int count) const { return CStringA(Sub(m_text, 0, count)); }
CStringA CStringA::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CStringA(Sub(m_text, GetLength() - count, count));
}

int CStringA::Find(char ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  const size_t at = m_text.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CStringA::Find(LPCSTR sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const size_t at = m_text.find(sub ? sub : "", static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

CStringA& CStringA::MakeUpper() {
  for (auto& ch : m_text)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
  return *this;
}

CStringA& CStringA::MakeLower() {
  for (auto& ch : m_text)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
  return *this;
}

CStringA& CStringA::Trim() {
  const size_t first = m_text.find_first_not_of(" \t\r\n\v\f");
  if (first == std::string::npos) {
    m_text.clear();
  } else {
    m_text.erase(m_text.find_last_not_of(" \t\r\n\v\f") + 1);
    m_text.erase(0, first);
  }
  return *this;
}

int CStringA::Replace(LPCSTR oldText, LPCSTR newText) {
  const std::string_view from(oldText ? oldText : "");
  const std::string_view to(newText ? newText : "");
  if (from.empty()) return 0;
  int count = 0;
  for (size_t at = 0; (at = m_text.find(from, at)) != std::string::npos; at += to.size(), ++count)
    m_text.replace(at, from.size(), to);
  return count;
}

LPSTR CStringA::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
  return m_text.data();
}

LPSTR CStringA::GetBufferSetLength(int length) {
  m_text.resize(static_cast<size_t>(std::max(length, 0)));
  return m_text.data();
}

void CStringA::ReleaseBuffer(int newLength) {
  if (newLength < 0) {
    const size_t zero = m_text.find('\0');
    if (zero != std::string::npos) m_text.resize(zero);
  } else {
    m_text.resize(std::min(static_cast<size_t>(newLength), m_text.size()));
  }
}

CStringA operator+(const CStringA& a, const CStringA& b) {
  CStringA result(a);
  return result += b;
}
CStringA operator+(const CStringA& a, LPCSTR b) {
  CStringA result(a);
  return result += b;
}
bool operator==(const CStringA& a, const CStringA& b) { return a.Str() == b.Str(); }
bool operator==(const CStringA& a, LPCSTR b) { return a.View() == std::string_view(b ? b : ""); }

std::ostream& operator<<(std::ostream& out, const CString& text) { return out << text.ToUtf8(); }
std::ostream& operator<<(std::ostream& out, const CStringA& text) { return out << text.Str(); }
