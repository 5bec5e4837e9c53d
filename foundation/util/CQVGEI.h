#pragma once
// The expression reader: walks an expression text character by character and cuts literal tokens
// out of it (quoted characters and strings, integers and decimal numbers). A token reader gets the
// character that starts its token and hands back, in the same variable, the first significant
// character after it; it returns 0 or an error code:
//   10 character literal, 20 string literal,
//   30 not an unsigned integer (or a point after its digits), 31 integer out of range,
//   32 no sign where one is needed,
//   40 not a decimal number (or a second point), 41 decimal number out of range,
//   42 no sign where one is needed.
// Inside quotes a doubled quote stands for one quote character: "say ""hi""" and ''''.
// Characters 7, 8 and 12 are always skipped; line breaks, tabs and blanks unless asked to keep.

#include "platform/core/CString.h"

class CQVGEI {
public:
  CQVGEI() = default;
  ~CQVGEI() = default;

  static BOOL Is_EOF(WCHAR c) { return c == 0; }
  static BOOL Is_Unsupported(WCHAR c) { return c == 7 || c == 8 || c == 12; }
  static BOOL Is_LineBreak(WCHAR c) { return c == 13 || c == 10; }
  static BOOL Is_TabStop(WCHAR c) { return c == 9 || c == 11; }
  static BOOL Is_BlankSpace(WCHAR c) { return c == 32; }
  static BOOL Is_0(WCHAR c) { return c == u'0'; }
  static BOOL Is_1_9(WCHAR c) { return c >= u'1' && c <= u'9'; }
  static BOOL Is_0_9(WCHAR c) { return c >= u'0' && c <= u'9'; }
  static BOOL Is_A_Z(WCHAR c) { return c >= u'A' && c <= u'Z'; }
  static BOOL Is_a_z(WCHAR c) { return c >= u'a' && c <= u'z'; }
  static BOOL Is_A_Z_a_z(WCHAR c) { return Is_A_Z(c) || Is_a_z(c); }
  static BOOL Is_CharDelimiter(WCHAR c) { return c == u'\''; }
  static BOOL Is_StringDelimiter(WCHAR c) { return c == u'"'; }

  // Stores the text and rewinds.
  void SetExpression(LPCWSTR text);
  void GetExpression(CString& text) const { text = m_strExpression; }
  int GetReadPtr() const { return m_nReadPtr; }

  // The next character that is not skipped; 0 at the end.
  WCHAR Get(BOOL keepBlank = FALSE, BOOL keepTab = FALSE, BOOL keepLineBreak = FALSE);
  // `current` itself when it would not be skipped, otherwise the next character as above.
  WCHAR Get(WCHAR current, BOOL keepBlank = FALSE, BOOL keepTab = FALSE, BOOL keepLineBreak = FALSE);

  // The text forms append the token to `text`.
  int Get_Char(WCHAR& current, CString& text);
  int Get_Char(WCHAR& current, WCHAR& value);
  int Get_String(WCHAR& current, CString& text);
  int Get_Int_NoSign(WCHAR& current, CString& text);
  int Get_Int_NoSign(WCHAR& current, int& value);
  int Get_Int_Sign(WCHAR& current, CString& text);
  int Get_Int_Sign(WCHAR& current, int& value);
  // A sign starts a signed integer, anything else an unsigned one.
  int Get_Int(WCHAR& current, CString& text);
  int Get_Int(WCHAR& current, int& value);
  int Get_Float_NoSign(WCHAR& current, CString& text);
  int Get_Float_NoSign(WCHAR& current, double& value);
  int Get_Float_Sign(WCHAR& current, CString& text);
  int Get_Float_Sign(WCHAR& current, double& value);
  // A sign starts a signed number, anything else an unsigned one.
  int Get_Float(WCHAR& current, CString& text);
  int Get_Float(WCHAR& current, double& value);

  // Decimal conversions that ignore the process locale. Text that is not a number gives 0 and
  // TRUE; FALSE only for a value out of range. The character form takes the last character and
  // fails for an empty text.
  static BOOL StrToValue(const CString& text, WCHAR& value);
  static BOOL StrToValue(const CString& text, int& value);
  static BOOL StrToValue(const CString& text, LONGLONG& value);
  static BOOL StrToValue(const CString& text, double& value);

protected:
  // The character at the read position, which then advances; 0 at the end.
  WCHAR __Get();

private:
  // After an opening quote has been read and a second one met: a quote right after it makes the
  // two stand for one quote character, which is consumed; otherwise the second one closes.
  BOOL TakeDoubledQuote(WCHAR quote);
  int ReadUnsigned(WCHAR& current, CString& text, BOOL decimal);
  int ReadSigned(WCHAR& current, CString& text, BOOL decimal);
  // Reads a token with `read` and converts it; `rangeError` when the value is out of range.
  template <typename T>
  int ReadValue(int (CQVGEI::*read)(WCHAR&, CString&), WCHAR& current, T& value, int rangeError);

  CString m_strExpression;
  int m_nLength { 0 };
  int m_nReadPtr { 0 };
};
