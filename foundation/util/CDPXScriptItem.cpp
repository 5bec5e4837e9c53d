#include "foundation/util/CDPXScriptItem.h"

IMPLEMENT_DYNCREATE(CDPXScriptItem, CObject)
IMPLEMENT_DYNCREATE(CDPXScriptItemList, CDPXObList)

int CDPXScriptItem::GetType() const {
  return (m_nType >= typeText && m_nType <= typeLine) ? m_nType : typeInvalid;
}

BOOL CDPXScriptItem::GetText(CString& text) const {
  if (m_nType != typeText) return FALSE;
  text = m_strValue;
  return TRUE;
}

BOOL CDPXScriptItem::GetSection(CString& section) const {
  if (m_nType != typeSection) return FALSE;
  section = m_strSection;
  return TRUE;
}

BOOL CDPXScriptItem::GetEntry(CString& key, CString& value, CString& section) const {
  if (m_nType != typeEntry) return FALSE;
  key = m_strKey;
  value = m_strValue;
  section = m_strSection;
  return TRUE;
}

BOOL CDPXScriptItem::GetKeyValue(CString& key, CString& value) const {
  if (m_nType != typeEntry) return FALSE;
  key = m_strKey;
  value = m_strValue;
  return TRUE;
}

BOOL CDPXScriptItem::GetKey(CString& key) const {
  if (m_nType != typeEntry) return FALSE;
  key = m_strKey;
  return TRUE;
}

BOOL CDPXScriptItem::GetValue(CString& value) const {
  if (m_nType != typeEntry) return FALSE;
  value = m_strValue;
  return TRUE;
}

BOOL CDPXScriptItem::GetLine(CString& text, CString& section) const {
  if (m_nType != typeLine) return FALSE;
  text = m_strValue;
  section = m_strSection;
  return TRUE;
}

BOOL CDPXScriptItem::GetLine(CString& text) const {
  CString section;
  return GetLine(text, section);
}

void CDPXScriptItem::Format(CString& line) const {
  switch (m_nType) {
    case typeText:
    case typeLine: line = m_strValue; break;
    case typeSection: line = u"[" + m_strSection + u"]"; break;
    case typeEntry: line = m_strKey + u" = " + m_strValue; break;
    default: line.Empty(); break;
  }
}

void CDPXScriptItem::Parse(LPCWSTR line, LPCWSTR currentSection) {
  m_nType = typeInvalid;
  m_strSection.Empty();
  m_strKey.Empty();
  m_strValue.Empty();
  CString text(line);
  text.Trim();
  if (text.IsEmpty() || text[0] == u';') {
    m_nType = typeText;
    m_strValue = text;
    return;
  }
  if (text[0] == u'[') {
    const int close = text.ReverseFind(u']');
    if (close < 0) return;
    m_nType = typeSection;
    m_strSection = text.Mid(1, close - 1);
    return;
  }
  const int equals = text.Find(u'=');
  if (equals >= 1) {
    CString key = text.Left(equals);
    key.Trim();
    if (key.FindOneOf(u"\"'") < 0) {
      m_nType = typeEntry;
      m_strSection = currentSection;
      m_strKey = key;
      m_strValue = text.Mid(equals + 1);
      m_strValue.Trim();
      return;
    }
  }
  m_nType = typeLine;
  m_strSection = currentSection;
  m_strValue = text;
}
