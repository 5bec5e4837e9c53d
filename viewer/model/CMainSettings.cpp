#include "viewer/model/CMainSettings.h"

#include "foundation/util/DPXPath.h"
#include "platform/core/fileapi.h"

namespace {

constexpr LPCWSTR kSearchValues = u"LastSearchValues";
constexpr LPCWSTR kLineBreak = u"__CR__";

// A profile line holds one value: line breaks of the mail body become "__CR__", those of any
// other text (which no dialog lets the user type) blanks.
CString OneLine(const CString& text, LPCWSTR lineBreak) {
  CString line = text;
  line.Replace(u"\r\n", lineBreak);
  line.Replace(u"\r", lineBreak);
  line.Replace(u"\n", lineBreak);
  return line;
}

}  // namespace

BOOL CMainSettings::InitSettingsPaths(LPCWSTR sysFolder) {
  CString folder(sysFolder);
  DPXAppendBackslash(folder);
  if (folder.IsEmpty()) return FALSE;
  m_strSettingsPath = folder + u"SXS.dat";
  m_screenLayout.strDockstateFile = folder + u"SXS.dockstate";
  return TRUE;
}

std::vector<CMainSettings::Key> CMainSettings::Keys() {
  const auto b = [](LPCWSTR section, LPCWSTR key, int& field) { return Key {section, key, Type::Bool, &field, nullptr}; };
  const auto i = [](LPCWSTR section, LPCWSTR key, int& field) { return Key {section, key, Type::Int, &field, nullptr}; };
  const auto u = [](LPCWSTR section, LPCWSTR key, int& field) { return Key {section, key, Type::UInt, &field, nullptr}; };
  const auto s = [](LPCWSTR section, LPCWSTR key, CString& field) { return Key {section, key, Type::String, nullptr, &field}; };
  QVSettings& g = m_general;
  EmailSetting& e = m_email;
  PrintSetting& p = m_print;
  ScreenLayout& l = m_screenLayout;
  const LPCWSTR general = u"QVSettings";
  const LPCWSTR email = u"EmailSetting";
  const LPCWSTR print = u"PrintSetting";
  const LPCWSTR pdf = u"SaveAsPDFOption";
  const LPCWSTR layout = u"ScreenLayout";
  return {
      b(general, u"IncludeIndexHeader", m_bIncludeIndexHeader),
      b(general, u"SaveResults", g.nSaveResults),
      b(general, u"AllowMultiSelect", g.nAllowMultiSelect),
      b(general, u"LargeIcon", g.nLargeIcon),
      b(general, u"RemberSearch", g.nRemberSearch),
      b(general, u"LanchView", g.nLanchView),
      b(general, u"DisplayPageCount", g.nDisplayPageCount),
      u(general, u"SearchMode", g.nSearchMode),
      s(general, u"Driver", g.strDriver),
      s(general, u"Path", g.strPath),
      s(general, u"AllDrives", g.strAllDrives),
      Key {kSearchValues, nullptr, Type::SearchValues, nullptr, nullptr},
      s(u"LastBatch", u"BatchName", m_strBatchName),
      b(u"LastBatch", u"AllBatches", m_bAllBatches),
      s(u"ColumnWidth", u"WidthList", m_strWidthList),
      s(u"ColumnWidth", u"SortItem", m_strSortItem),
      b(u"ColumnWidth", u"SortAsc", m_bSortAsc),
      s(email, u"MailClient", e.strMailClient),
      s(email, u"MailTitle", e.strMailTitle),
      s(email, u"MailTo", e.strMailTo),
      s(email, u"MailCc", e.strMailCc),
      s(email, u"MailBcc", e.strMailBcc),
      s(email, u"AttachName", e.strAttachName),
      u(email, u"ImagesFrom", e.nImagesFrom),
      u(email, u"ImagesTo", e.nImagesTo),
      u(email, u"RangeMode", e.nRangeMode),
      s(email, u"MailBody", e.strMailBody),
      b(email, u"IncludeADID", e.nIncludeADID),
      b(email, u"CombineTIFF", e.nCombineTIFF),
      b(email, u"SaveLogFile", e.nSaveLogFile),
      s(email, u"LogPath", e.strLogPath),
      u(print, u"NumPerSheet", p.nNumPerSheet),
      u(print, u"Orientation", p.nOrientation),
      u(print, u"PrintRange", p.nPrintRange),
      u(print, u"PageFrom", p.nPageFrom),
      u(print, u"PageTo", p.nPageTo),
      i(print, u"NumOfCopies", p.nNumOfCopies),
      u(print, u"RowNumber", p.nRowNumber),
      u(print, u"ColNumber", p.nColNumber),
      u(pdf, u"SaveRange", m_pdf.nSaveRange),
      u(pdf, u"ImageFrom", m_pdf.nImageFrom),
      u(pdf, u"ImageTo", m_pdf.nImageTo),
      u(layout, u"ScreenWidth", l.nScreenWidth),
      u(layout, u"ScreenHeight", l.nScreenHeight),
      b(layout, u"IsMaximized", l.nIsMaximized),
      i(layout, u"WindowLeft", l.nWindowLeft),
      i(layout, u"WindowTop", l.nWindowTop),
      u(layout, u"WindowWidth", l.nWindowWidth),
      u(layout, u"WindowHeight", l.nWindowHeight),
      u(layout, u"ViewBrowserRows", l.nViewBrowserRows),
      u(layout, u"ViewBrowserCols", l.nViewBrowserCols),
      u(layout, u"ViewMagnifierRatio", l.nViewMagnifierRatio),
      u(layout, u"ViewScrollStep", l.nViewScrollStep),
      u(layout, u"ViewZoomStep", l.nViewZoomStep),
      i(layout, u"SRD_WindowLeft", l.rcResultsDialog.left),
      i(layout, u"SRD_WindowTop", l.rcResultsDialog.top),
      i(layout, u"SRD_WindowRight", l.rcResultsDialog.right),
      i(layout, u"SRD_WindowBottom", l.rcResultsDialog.bottom),
      s(layout, u"LanguageID", l.strLanguageID),
      s(layout, u"DockstateFile", l.strDockstateFile),
      b(layout, u"ShowAssistant", l.nShowAssistant),
      i(layout, u"AssistantLeft", l.nAssistantLeft),
      i(layout, u"AssistantTop", l.nAssistantTop),
  };
}

BOOL CMainSettings::LoadSettings() {
  const DWORD attributes = GetFileAttributesW(m_strSettingsPath);
  if (attributes == INVALID_FILE_ATTRIBUTES) return TRUE;
  if (!m_file.Open(m_strSettingsPath)) return FALSE;
  BOOL complete = TRUE;
  for (const Key& key : Keys()) {
    if (!ReadKey(key)) complete = FALSE;
  }
  m_nIconSize = m_general.nLargeIcon ? 40 : 32;
  return complete;
}

BOOL CMainSettings::ReadKey(const Key& key) {
  if (key.type == Type::SearchValues) {
    // Every key line of the section, in file order, repeated keys included.
    m_lastSearchValues.clear();
    CDPXScriptItemList lines;
    m_file.GetKeys(key.section, lines);
    CString name;
    CString value;
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
      const auto* line = static_cast<const CDPXScriptItem*>(lines.GetNext(pos));
      if (line->GetKeyValue(name, value)) m_lastSearchValues.emplace_back(name, value);
    }
    return TRUE;
  }
  if (key.type == Type::String) {
    CString value;
    if (!m_file.GetString(key.key, value, FALSE, key.section)) return FALSE;
    *key.text = value;
    return TRUE;
  }
  int value = 0;
  BOOL found = FALSE;
  if (key.type == Type::Bool) {
    BOOL flag = FALSE;
    found = m_file.GetBool(key.key, flag, FALSE, key.section);
    value = flag;
  } else if (key.type == Type::Int) {
    found = m_file.GetInt(key.key, value, FALSE, key.section);
  } else {
    found = m_file.GetUInt(key.key, value, FALSE, key.section);
  }
  if (found) *key.number = value;
  return found;
}

BOOL CMainSettings::SaveSettings() {
  RECT& rc = m_screenLayout.rcResultsDialog;
  if (rc.right < rc.left) std::swap(rc.left, rc.right);
  if (rc.bottom < rc.top) std::swap(rc.top, rc.bottom);
  m_email.strMailBody = OneLine(m_email.strMailBody, kLineBreak);

  m_file.SetAutoSave(FALSE);
  BOOL saved = TRUE;
  for (const Key& key : Keys()) {
    if (!WriteKey(key)) {
      saved = FALSE;
      break;
    }
  }
  saved = saved && m_file.Save(m_strSettingsPath);
  m_file.SetAutoSave(TRUE);
  return saved;
}

BOOL CMainSettings::WriteKey(const Key& key) {
  switch (key.type) {
    case Type::Bool:
      return m_file.SetBool(key.key, *key.number, FALSE, key.section);
    case Type::Int:
      return m_file.SetInt(key.key, *key.number, FALSE, key.section);
    case Type::UInt:
      return m_file.SetUInt(key.key, *key.number, FALSE, key.section);
    case Type::String:
      return m_file.SetString(key.key, OneLine(*key.text, u" "), FALSE, key.section);
    case Type::SearchValues:
      // A field name that cannot stand as a key of the profile (blank, or holding '=' or a quote)
      // is left out; the other values and all other settings are written all the same.
      for (const auto& [name, value] : m_lastSearchValues) m_file.SetString(name, OneLine(value, u" "), FALSE, key.section);
      return TRUE;
  }
  return FALSE;
}
