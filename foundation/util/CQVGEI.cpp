#include "foundation/util/CQVGEI.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <string>

namespace {

enum : int {
  errorChar = 10,
  errorString = 20,
  errorInt = 30,
  errorIntRange = 31,
  errorIntSign = 32,
  errorFloat = 40,
  errorFloatRange = 41,
  errorFloatSign = 42,
};

BOOL IsSkipped(WCHAR c, BOOL keepBlank, BOOL keepTab, BOOL keepLineBreak) {
  return CQVGEI::Is_Unsupported(c) || (CQVGEI::Is_LineBreak(c) && !keepLineBreak) ||
         (CQVGEI::Is_TabStop(c) && !keepTab) || (CQVGEI::Is_BlankSpace(c) && !keepBlank);
}

BOOL IsSign(WCHAR c) { return c == u'+' || c == u'-'; }

// Numbers are ASCII: any other character ends the conversion where it stands.
std::string Ascii(const CString& text) {
  std::string ascii;
  ascii.reserve(static_cast<size_t>(text.GetLength()));
  for (WCHAR c : text.View()) ascii.push_back(c != 0 && c < 0x80 ? static_cast<char>(c) : '\x7f');
  return ascii;
}

locale_t ClassicLocale() {
  static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

void CQVGEI::SetExpression(LPCWSTR text) {
  m_strExpression = text ? CString(text) : CString();
  m_nLength = m_strExpression.GetLength();
  m_nReadPtr = 0;
}

WCHAR CQVGEI::__Get() {
  if (m_nReadPtr >= m_nLength) return 0;
  return m_strExpression.GetAt(m_nReadPtr++);
}

WCHAR CQVGEI::Get(BOOL keepBlank, BOOL keepTab, BOOL keepLineBreak) {
  for (;;) {
    const WCHAR c = __Get();
    if (!IsSkipped(c, keepBlank, keepTab, keepLineBreak)) return c;
  }
}

WCHAR CQVGEI::Get(WCHAR current, BOOL keepBlank, BOOL keepTab, BOOL keepLineBreak) {
  return IsSkipped(current, keepBlank, keepTab, keepLineBreak) ? Get(keepBlank, keepTab, keepLineBreak) : current;
}

BOOL CQVGEI::TakeDoubledQuote(WCHAR quote) {
  if (m_nReadPtr < m_nLength && m_strExpression.GetAt(m_nReadPtr) == quote) {
    ++m_nReadPtr;
    return TRUE;
  }
  return FALSE;
}

int CQVGEI::Get_Char(WCHAR& current, CString& text) {
  if (!Is_CharDelimiter(current)) return errorChar;
  // Line breaks and tabs between the quotes are dropped; a blank is a character.
  const WCHAR c = Get(TRUE, FALSE, FALSE);
  if (Is_EOF(c) || (Is_CharDelimiter(c) && !TakeDoubledQuote(c))) return errorChar;
  if (!Is_CharDelimiter(Get(TRUE, FALSE, FALSE))) return errorChar;
  text += c;
  current = Get();
  return 0;
}

int CQVGEI::Get_Char(WCHAR& current, WCHAR& value) {
  CString text;
  const int code = Get_Char(current, text);
  if (code == 0) StrToValue(text, value);
  return code;
}

int CQVGEI::Get_String(WCHAR& current, CString& text) {
  if (!Is_StringDelimiter(current)) return errorString;
  CString token;
  for (;;) {
    const WCHAR c = Get(TRUE, FALSE, FALSE);
    if (Is_EOF(c)) return errorString;
    if (Is_StringDelimiter(c) && !TakeDoubledQuote(c)) break;
    token += c;
  }
  text += token;
  current = Get();
  return 0;
}

int CQVGEI::ReadUnsigned(WCHAR& current, CString& text, BOOL decimal) {
  const int error = decimal ? errorFloat : errorInt;
  if (!Is_0_9(current) && !(decimal && current == u'.')) return error;
  CString token;
  BOOL point = FALSE;
  WCHAR c = current;
  for (;;) {
    if (c == u'.') {
      // A point in an integer, or a second one in a decimal number.
      if (!decimal || point) return error;
      point = TRUE;
    } else if (!Is_0_9(c)) {
      break;
    }
    token += c;
    c = Get(TRUE, TRUE, TRUE);
  }
  text += token;
  current = Get(c);
  return 0;
}

int CQVGEI::ReadSigned(WCHAR& current, CString& text, BOOL decimal) {
  if (!IsSign(current)) return decimal ? errorFloatSign : errorIntSign;
  CString token(current);
  WCHAR c = Get();
  const int code = ReadUnsigned(c, token, decimal);
  if (code != 0) return code;
  text += token;
  current = c;
  return 0;
}

template <typename T>
int CQVGEI::ReadValue(int (CQVGEI::*read)(WCHAR&, CString&), WCHAR& current, T& value, int rangeError) {
  CString text;
  const int code = (this->*read)(current, text);
  if (code != 0) return code;
  return StrToValue(text, value) ? 0 : rangeError;
}

int CQVGEI::Get_Int_NoSign(WCHAR& current, CString& text) { return ReadUnsigned(current, text, FALSE); }
int CQVGEI::Get_Int_Sign(WCHAR& current, CString& text) { return ReadSigned(current, text, FALSE); }
int CQVGEI::Get_Int(WCHAR& current, CString& text) {
  return IsSign(current) ? ReadSigned(current, text, FALSE) : ReadUnsigned(current, text, FALSE);
}
int CQVGEI::Get_Float_NoSign(WCHAR& current, CString& text) { return ReadUnsigned(current, text, TRUE); }
int CQVGEI::Get_Float_Sign(WCHAR& current, CString& text) { return ReadSigned(current, text, TRUE); }
int CQVGEI::Get_Float(WCHAR& current, CString& text) {
  return IsSign(current) ? ReadSigned(current, text, TRUE) : ReadUnsigned(current, text, TRUE);
}

int CQVGEI::Get_Int_NoSign(WCHAR& current, int& value) {
  return ReadValue<int>(&CQVGEI::Get_Int_NoSign, current, value, errorIntRange);
}
int CQVGEI::Get_Int_Sign(WCHAR& current, int& value) {
  return ReadValue<int>(&CQVGEI::Get_Int_Sign, current, value, errorIntRange);
}
int CQVGEI::Get_Int(WCHAR& current, int& value) {
  return ReadValue<int>(&CQVGEI::Get_Int, current, value, errorIntRange);
}
int CQVGEI::Get_Float_NoSign(WCHAR& current, double& value) {
  return ReadValue<double>(&CQVGEI::Get_Float_NoSign, current, value, errorFloatRange);
}
int CQVGEI::Get_Float_Sign(WCHAR& current, double& value) {
  return ReadValue<double>(&CQVGEI::Get_Float_Sign, current, value, errorFloatRange);
}
int CQVGEI::Get_Float(WCHAR& current, double& value) {
  return ReadValue<double>(&CQVGEI::Get_Float, current, value, errorFloatRange);
}

BOOL CQVGEI::StrToValue(const CString& text, WCHAR& value) {
  if (text.IsEmpty()) return FALSE;
  value = text.GetAt(text.GetLength() - 1);
  return TRUE;
}

BOOL CQVGEI::StrToValue(const CString& text, LONGLONG& value) {
  const std::string ascii = Ascii(text);
  errno = 0;
  value = strtoll_l(ascii.c_str(), nullptr, 10, ClassicLocale());
  return errno == ERANGE ? FALSE : TRUE;
}

BOOL CQVGEI::StrToValue(const CString& text, int& value) {
  LONGLONG wide = 0;
  const BOOL converted = StrToValue(text, wide);
  // A 32-bit result, as the platform's long is: beyond it the value is clamped and fails.
  value = static_cast<int>(wide < INT_MIN ? INT_MIN : wide > INT_MAX ? INT_MAX : wide);
  return converted && wide >= INT_MIN && wide <= INT_MAX;
}

BOOL CQVGEI::StrToValue(const CString& text, double& value) {
  const std::string ascii = Ascii(text);
  errno = 0;
  value = strtod_l(ascii.c_str(), nullptr, ClassicLocale());
  return errno == ERANGE ? FALSE : TRUE;
}
