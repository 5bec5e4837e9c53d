// Layout scripts: a language file carries, per dialog, a script that sizes the dialog and moves,
// sizes and aligns its items after creation, so that translated texts fit. The script is a data
// item of the language file named by the text of "TPL_" + the dialog's map name; it is a script
// (profile) file whose section named like the map holds one command per free text line:
//
//   dialogsize W H                              the client area becomes W by H (plain pixels)
//   size ITEM W H                               top-left corner kept
//   move ITEM X Y                               top-left corner to X, Y
//   move ANCHOR ITEM X Y                        lt lc lb ct cc cb rt rc rb
//   align ITEM REFERENCE XMODE DX YMODE DY      l-l .. r-r, t-t .. b-b
//
// Words are split at any of "=:,@#() " so that "move(lt, OK, 10, 20)" reads as "move lt OK 10 20".
// Numbers are pixels; "50%" is a percentage of the client width (or height), "10r" counts from the
// right (or bottom) edge, "20%r" both. A line that is not a valid command is skipped.

#include "framework/dialogs/CQVDialogHelper.h"

#include "framework/dialogs/DecimalText.h"
#include "foundation/util/CDPXScriptFile.h"
#include "foundation/util/CDPXStringList.h"
#include "foundation/util/CDPXTempFilename.h"
#include "foundation/util/DPXText.h"

#include <cstdint>
#include <vector>

namespace {

// The code of a word in a table of nine, or 0.
int CodeOf(LPCWSTR word, const char16_t* const (&table)[9]) {
  CString w(word ? word : u"");
  w.Trim();
  for (int i = 0; i < 9; ++i)
    if (w.CompareNoCase(table[i]) == 0) return i + 1;
  return 0;
}

}  // namespace

BOOL CQVDialogHelper::__ParseMoveMode(LPCWSTR word, int& code) {
  static const char16_t* const anchors[9] = {u"lt", u"lc", u"lb", u"ct", u"cc", u"cb", u"rt", u"rc", u"rb"};
  const int found = CodeOf(word, anchors);
  if (found) code = found;
  return found != 0;
}

BOOL CQVDialogHelper::__ParseAlignModeX(LPCWSTR word, int& code) {
  static const char16_t* const modes[9] = {u"l-l", u"l-c", u"l-r", u"c-l", u"c-c", u"c-r", u"r-l", u"r-c", u"r-r"};
  const int found = CodeOf(word, modes);
  if (found) code = found;
  return found != 0;
}

BOOL CQVDialogHelper::__ParseAlignModeY(LPCWSTR word, int& code) {
  static const char16_t* const modes[9] = {u"t-t", u"t-c", u"t-b", u"c-t", u"c-c", u"c-b", u"b-t", u"b-c", u"b-b"};
  const int found = CodeOf(word, modes);
  if (found) code = found;
  return found != 0;
}

BOOL CQVDialogHelper::__ParseSize(LPCWSTR word, int& value, BOOL horizontal, BOOL allowRelative) {
  if (!word) return FALSE;
  const char16_t* p = word;
  int read = 0;
  if (!qvdialogs::ReadDecimal(p, read)) return FALSE;
  int64_t number = read;
  bool percent = false, fromEdge = false;
  for (; *p; ++p) {
    if (*p == u'%') percent = true;
    else if (*p == u'r' || *p == u'R') fromEdge = true;
    else if (*p != u' ' && *p != u'\t') return FALSE;
  }
  if (percent || fromEdge) {
    CWnd* owner = GetOwnerWnd();
    if (!allowRelative || !owner || !owner->GetSafeHwnd()) return FALSE;
    CRect client;
    owner->GetClientRect(&client);
    const int64_t extent = horizontal ? client.Width() : client.Height();
    if (percent) number = number * extent / 100;
    if (fromEdge) number = extent - number;
  }
  value = static_cast<int>(number);
  return TRUE;
}

BOOL CQVDialogHelper::__ExecScript(LPCWSTR line) {
  CWnd* owner = GetOwnerWnd();
  if (!owner || !owner->GetSafeHwnd() || !line) return FALSE;
  CDPXStringList pieces;
  DPXSplitString(line, pieces, u"=:,@#() ");
  std::vector<CString> words;
  for (int i = 0; i < pieces.GetCount(); ++i) {
    CString word;
    if (pieces.GetAtIndex(i, word) && !word.IsEmpty()) words.push_back(word);
  }
  if (words.empty()) return FALSE;
  const CString& command = words[0];
  const size_t count = words.size();
  auto item = [this](const CString& name, int& id) { return GetDlgItemID(name, id); };

  if (command.CompareNoCase(u"dialogsize") == 0 && count == 3) {
    int w = 0, h = 0;
    if (!__ParseSize(words[1], w, TRUE, FALSE) || !__ParseSize(words[2], h, FALSE, FALSE) || w <= 0 || h <= 0)
      return FALSE;
    CRect rect(0, 0, w, h);
    owner->CalcWindowRect(&rect);
    owner->SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
  }
  if (command.CompareNoCase(u"size") == 0 && count == 4) {
    int id = 0, w = 0, h = 0;
    if (!item(words[1], id) || !__ParseSize(words[2], w, TRUE, TRUE) || !__ParseSize(words[3], h, FALSE, TRUE) ||
        w <= 0 || h <= 0)
      return FALSE;
    SizeDlgItem(id, w, h, TRUE);
    return TRUE;
  }
  if (command.CompareNoCase(u"move") == 0 && (count == 4 || count == 5)) {
    int anchor = 1, id = 0, x = 0, y = 0;
    size_t next = 1;
    if (count == 5 && !__ParseMoveMode(words[next++], anchor)) return FALSE;
    if (!item(words[next], id) || !__ParseSize(words[next + 1], x, TRUE, TRUE) ||
        !__ParseSize(words[next + 2], y, FALSE, TRUE))
      return FALSE;
    MoveDlgItem(id, x, y, anchor, TRUE);
    return TRUE;
  }
  if (command.CompareNoCase(u"align") == 0 && count == 7) {
    int id = 0, reference = 0, xMode = 0, yMode = 0, dx = 0, dy = 0;
    if (!item(words[1], id) || !item(words[2], reference) || !__ParseAlignModeX(words[3], xMode) ||
        !__ParseSize(words[4], dx, TRUE, TRUE) || !__ParseAlignModeY(words[5], yMode) ||
        !__ParseSize(words[6], dy, FALSE, TRUE))
      return FALSE;
    AlignDlgItems(reference, id, xMode, yMode, dx, dy, TRUE);
    return TRUE;
  }
  return FALSE;
}

BOOL CQVDialogHelper::HasLayoutScript() {
  if (m_strIDMapName.IsEmpty()) return FALSE;
  CString dataKey;
  return LoadText(LayoutScriptKey(), dataKey);
}

BOOL CQVDialogHelper::InitLayout(BOOL layout, BOOL translate) {
  if (layout && HasLayoutScript() && !LoadLayoutScript()) return FALSE;
  if (translate) {
    AutoTranslateDlgItems();
    TranslateDlgTitle();
  }
  return TRUE;
}

BOOL CQVDialogHelper::LoadLayoutScript() {
  CWnd* owner = GetOwnerWnd();
  if (!owner || !owner->GetSafeHwnd() || m_strIDMapName.IsEmpty()) return FALSE;
  CString dataKey;
  if (!LoadText(LayoutScriptKey(), dataKey)) return FALSE;
  dataKey.Trim();
  CDPXTempFilename temp;
  CString path;
  if (!temp.Create(path) || !LoadData(dataKey, path)) return FALSE;
  return LoadLayoutScript(path);  // the temporary file goes with `temp`
}

BOOL CQVDialogHelper::LoadLayoutScript(LPCWSTR path) {
  CWnd* owner = GetOwnerWnd();
  if (!owner || !owner->GetSafeHwnd() || m_strIDMapName.IsEmpty() || !path) return FALSE;
  CDPXScriptFile script;
  script.SetAutoSave(FALSE);
  if (!script.Load(path)) return FALSE;
  CDPXScriptItemList lines;
  script.GetLines(m_strIDMapName, lines);
  for (POSITION pos = lines.GetHeadPosition(); pos;) {
    auto* entry = static_cast<CDPXScriptItem*>(lines.GetNext(pos));
    CString text;
    if (entry && entry->GetLine(text)) __ExecScript(text);
  }
  return TRUE;
}
