#pragma once
// CString: a UTF-16 string with the operations of the MFC string the system is written with.
// CStringA: its 8-bit counterpart, used inside file formats and towards libraries.
//
// Lengths and indexes count UTF-16 code units. Case-insensitive operations fold each code unit by
// the simple Unicode case mapping. Format follows the Windows wide-format rules (%s is a wide
// string, %S and %hs narrow, %I64d a 64-bit integer) and never depends on the process locale.
// A CString cannot be passed through "..." itself: pass GetString() or (LPCWSTR)text.

#include "platform/core/wintypes.h"

#include <cstdarg>
#include <iosfwd>
#include <string>
#include <string_view>

class CStringA;

class CString {
public:
  CString() = default;
  CString(LPCWSTR text);
  CString(LPCWSTR text, int length);
  CString(WCHAR ch, int repeat = 1);
  explicit CString(std::u16string_view text) : m_text(text) {}
  explicit CString(std::u16string text) : m_text(std::move(text)) {}
  // 8-bit text is taken as Windows-1252 (CP_ACP), as the MFC string does.
  explicit CString(LPCSTR text);
  explicit CString(const CStringA& text);

  // UTF-8 (file names, Qt, libraries) in and out. Invalid UTF-8 becomes U+FFFD.
  static CString FromUtf8(std::string_view utf8);
  std::string ToUtf8() const;

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  LPCWSTR GetString() const { return m_text.c_str(); }
  operator LPCWSTR() const { return m_text.c_str(); }
  std::u16string_view View() const { return m_text; }
  const std::u16string& Str() const { return m_text; }

  WCHAR GetAt(int index) const;
  void SetAt(int index, WCHAR ch);
  WCHAR operator[](int index) const { return GetAt(index); }

  CString& operator=(LPCWSTR text);
  CString& operator=(WCHAR ch);
  CString& operator=(std::u16string_view text);
  CString& operator+=(const CString& text);
  CString& operator+=(LPCWSTR text);
  CString& operator+=(WCHAR ch);
  void Append(LPCWSTR text, int length);
  void AppendChar(WCHAR ch) { m_text.push_back(ch); }

  // Ordinal comparison by code unit; CompareNoCase folds case first. Results are <0, 0, >0.
  int Compare(LPCWSTR text) const;
  int CompareNoCase(LPCWSTR text) const;

  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString SpanIncluding(LPCWSTR charSet) const;
  CString SpanExcluding(LPCWSTR charSet) const;
  CString Tokenize(LPCWSTR tokens, int& start) const;

  // -1 when not found. Find with a start beyond the end finds nothing.
  int Find(WCHAR ch, int start = 0) const;
  int Find(LPCWSTR sub, int start = 0) const;
  int ReverseFind(WCHAR ch) const;
  int FindOneOf(LPCWSTR charSet) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();

  // Without an argument these remove the white space " \t\r\n\v\f".
  CString& Trim();
  CString& Trim(WCHAR target);
  CString& Trim(LPCWSTR targets);
  CString& TrimLeft();
  CString& TrimLeft(WCHAR target);
  CString& TrimLeft(LPCWSTR targets);
  CString& TrimRight();
  CString& TrimRight(WCHAR target);
  CString& TrimRight(LPCWSTR targets);

  // Return how many replacements or removals were made.
  int Replace(WCHAR oldCh, WCHAR newCh);
  int Replace(LPCWSTR oldText, LPCWSTR newText);
  int Remove(WCHAR ch);
  // Return the new length.
  int Insert(int index, WCHAR ch);
  int Insert(int index, LPCWSTR text);
  int Delete(int index, int count = 1);

  void Format(LPCWSTR format, ...);
  void FormatV(LPCWSTR format, va_list args);
  void AppendFormat(LPCWSTR format, ...);
  void AppendFormatV(LPCWSTR format, va_list args);

  // A writable buffer of at least minLength units (plus a terminator). After writing, call
  // ReleaseBuffer(-1) to take the length up to the first zero unit, or ReleaseBuffer(n).
  LPWSTR GetBuffer(int minLength = 0);
  LPWSTR GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);
  void Preallocate(int length) { m_text.reserve(static_cast<size_t>(length < 0 ? 0 : length)); }
  void Truncate(int length);

private:
  std::u16string m_text;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCWSTR b);
CString operator+(LPCWSTR a, const CString& b);
CString operator+(const CString& a, WCHAR b);
CString operator+(WCHAR a, const CString& b);
bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCWSTR b);
bool operator<(const CString& a, const CString& b);

class CStringA {
public:
  CStringA() = default;
  CStringA(LPCSTR text);
  CStringA(LPCSTR text, int length);
  explicit CStringA(std::string_view text) : m_text(text) {}
  // Wide text is converted to Windows-1252 (CP_ACP); characters it lacks become '?'.
  explicit CStringA(LPCWSTR text);
  explicit CStringA(const CString& text);

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  LPCSTR GetString() const { return m_text.c_str(); }
  operator LPCSTR() const { return m_text.c_str(); }
  std::string_view View() const { return m_text; }
  const std::string& Str() const { return m_text; }
  char GetAt(int index) const;
  char operator[](int index) const { return GetAt(index); }

  CStringA& operator=(LPCSTR text);
  CStringA& operator+=(const CStringA& text);
  CStringA& operator+=(LPCSTR text);
  CStringA& operator+=(char ch);
  int Compare(LPCSTR text) const;
  int CompareNoCase(LPCSTR text) const;
  CStringA Mid(int first) const;
  CStringA Mid(int first, int count) const;
  CStringA Left(int count) const;
  CStringA Right(int count) const;
  int Find(char ch, int start = 0) const;
  int Find(LPCSTR sub, int start = 0) const;
  CStringA& MakeUpper();
  CStringA& MakeLower();
  CStringA& Trim();
  int Replace(LPCSTR oldText, LPCSTR newText);

  // Windows rules for the narrow form: %s is a narrow string, %S and %ls wide.
  void Format(LPCSTR format, ...);
  void FormatV(LPCSTR format, va_list args);

  LPSTR GetBuffer(int minLength = 0);
  LPSTR GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

private:
  std::string m_text;
};

CStringA operator+(const CStringA& a, const CStringA& b);
CStringA operator+(const CStringA& a, LPCSTR b);
bool operator==(const CStringA& a, const CStringA& b);
bool operator==(const CStringA& a, LPCSTR b);

// Writes the text as UTF-8 (test messages, diagnostics).
std::ostream& operator<<(std::ostream& out, const CString& text);
std::ostream& operator<<(std::ostream& out, const CStringA& text);

// Length of a zero-terminated UTF-16 text (0 for null).
int WStrLen(LPCWSTR text);
// Simple Unicode case mapping of one UTF-16 code unit.
WCHAR FoldLower(WCHAR ch);
WCHAR FoldUpper(WCHAR ch);
