#include "framework/app/CQVHotKeyList.h"

#include "foundation/util/CDPXScriptFile.h"
#include "foundation/util/DPXLookupTables.h"
#include "framework/app/CQVWinApp.h"
#include "platform/sdk/CQVException.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/win/winctrl.h"

#include <vector>

IMPLEMENT_DYNCREATE(__CQVHotKeyItem, CObject)
IMPLEMENT_DYNCREATE(CQVHotKeyList, CObject)

namespace {

constexpr BYTE kModifierMask = FSHIFT | FCONTROL | FALT;

__CQVHotKeyItem* ItemAt(const CDPXObList& items, POSITION pos) {
  return static_cast<__CQVHotKeyItem*>(items.GetAt(pos));
}

// The key that types the character, as a virtual-key entry with the given modifiers. Letters are
// their key whatever their case; other characters add the Shift that typing them needs.
BOOL ToVirtualKey(BYTE& modifiers, WORD& key) {
  WCHAR ch = static_cast<WCHAR>(key);
  if (ch >= 'a' && ch <= 'z') ch = static_cast<WCHAR>(ch - 'a' + 'A');
  if (ch >= 'A' && ch <= 'Z') {
    key = ch;
  } else {
    const SHORT scan = VkKeyScanW(ch);
    if (scan == -1) return FALSE;
    key = static_cast<WORD>(scan & 0xFF);
    if (scan & 0x100) modifiers |= FSHIFT;
  }
  modifiers |= FVIRTKEY;
  return TRUE;
}

// A text field takes the characters typed into it.
BOOL IsTextField(HWND hwnd) {
  WCHAR name[16];
  return GetClassNameW(hwnd, name, 16) > 0 && CString(name).CompareNoCase(WC_EDITW) == 0;
}

}  // namespace

CQVHotKeyList::~CQVHotKeyList() { DeleteHotKeyHandler(); }

void CQVHotKeyList::BeginHotKeyList() { m_items.RemoveAll(); }

void CQVHotKeyList::AddKey(UINT id, BYTE modifiers, WORD key, LPCWSTR description) {
  if (key == 0) return;
  if (!(modifiers & FVIRTKEY) && (modifiers & kModifierMask) && !ToVirtualKey(modifiers, key)) return;
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    POSITION at = pos;
    const __CQVHotKeyItem* item = ItemAt(m_items, at);
    m_items.GetNext(pos);
    if (item->m_nModifiers == modifiers && item->m_nKey == key) m_items.RemoveAt(at);
  }
  auto* item = static_cast<__CQVHotKeyItem*>(m_items.AddNewTail(RUNTIME_CLASS(__CQVHotKeyItem)));
  if (!item) CQVException::Throw();
  item->m_nModifiers = modifiers;
  item->m_nKey = key;
  item->m_nID = id;
  item->m_strDescription = description ? description : u"";
}

void CQVHotKeyList::AddKey(LPCWSTR command, BYTE modifiers, WORD key, LPCWSTR description) {
  UINT id = 0;
  if (CQVWinApp::FindID(command, id)) AddKey(id, modifiers, key, description);
}

void CQVHotKeyList::AddKey(LPCWSTR command, BOOL shift, BOOL ctrl, BOOL alt, WORD virtualKey,
                           LPCWSTR description) {
  const BYTE modifiers = FVIRTKEY | (shift ? FSHIFT : 0) | (ctrl ? FCONTROL : 0) | (alt ? FALT : 0);
  AddKey(command, modifiers, virtualKey, description);
}

void CQVHotKeyList::AddKey(LPCWSTR command, BOOL shift, BOOL ctrl, BOOL alt, char character, LPCWSTR description) {
  const BYTE modifiers = (shift ? FSHIFT : 0) | (ctrl ? FCONTROL : 0) | (alt ? FALT : 0);
  AddKey(command, modifiers, static_cast<WORD>(static_cast<unsigned char>(character)), description);
}

BOOL CQVHotKeyList::ParseScript(LPCWSTR value, BYTE& modifiers, WORD& key, CString& description) {
  modifiers = 0;
  key = 0;
  description.Empty();
  if (!value) return FALSE;
  const CString text(value);
  CString pieces[3];
  int count = 0;
  for (int start = 0; count < 3;) {
    const int comma = text.Find(u',', start);
    pieces[count++] = comma < 0 ? text.Mid(start) : text.Mid(start, comma - start);
    if (comma < 0) break;
    start = comma + 1;
  }
  if (count < 2) return FALSE;

  CString mods = pieces[0];
  mods.Trim().MakeUpper();
  if (mods.Find(u"SHIFT") >= 0) modifiers |= FSHIFT;
  if (mods.Find(u"CTRL") >= 0) modifiers |= FCONTROL;
  if (mods.Find(u"ALT") >= 0) modifiers |= FALT;

  CString name = pieces[1];
  name.Trim();
  CString upper = name;
  upper.MakeUpper();
  int code = 0;
  if (name.GetLength() == 1) {
    // A single character; a lone half of a surrogate pair is no character.
    const WCHAR ch = name[0];
    if (ch >= 0xD800 && ch <= 0xDFFF) return FALSE;
    code = ch;
  } else if (name.GetLength() == 2 && name[0] == u'@') {
    const SHORT scan = VkKeyScanW(name[1]);
    if (scan == -1) return FALSE;
    code = scan & 0xFF;
    modifiers |= FVIRTKEY;
  } else {
    DPXNameToVirtualKey(upper.Find(u"VK_") == 0 ? name : CString(u"VK_") + name, code);
    modifiers |= FVIRTKEY;
  }
  if (code <= 0 || code > 0xFFFF) return FALSE;
  key = static_cast<WORD>(code);
  if (count > 2) description = pieces[2];
  return TRUE;
}

void CQVHotKeyList::AddScript(LPCWSTR command, LPCWSTR value) {
  BYTE modifiers = 0;
  WORD key = 0;
  CString description;
  if (ParseScript(value, modifiers, key, description)) AddKey(command, modifiers, key, description);
}

void CQVHotKeyList::AddScripts(LPCWSTR file, LPCWSTR section) {
  CDPXScriptFile script;
  if (!file || !script.Open(file)) return;
  CString name(section ? section : u"");
  name.Trim();
  if (name.IsEmpty()) name = u"Hotkeys";
  CDPXScriptItemList lines;
  if (!script.GetKeys(name, lines)) return;
  for (POSITION pos = lines.GetHeadPosition(); pos;) {
    const auto* line = static_cast<const CDPXScriptItem*>(lines.GetNext(pos));
    CString command;
    CString value;
    if (!line->GetKeyValue(command, value)) continue;
    AddScript(command.Trim(), value.Trim());
  }
}

void CQVHotKeyList::EndHotKeyList() {
  const int count = m_items.GetCount();
  if (count <= 0) CQVException::Throw();
  std::vector<ACCEL> table;
  table.reserve(static_cast<size_t>(count));
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    const __CQVHotKeyItem* item = ItemAt(m_items, pos);
    m_items.GetNext(pos);
    table.push_back({item->m_nModifiers, item->m_nKey, static_cast<WORD>(item->m_nID)});
  }
  if (!CreateHotKeyHandler(table.data(), count)) CQVException::Throw();
}

BOOL CQVHotKeyList::PreTranslateMessage(MSG* msg, CWnd* target) {
  if (!msg || !target || !m_bEnabled || !m_hAccel) return FALSE;
  if (msg->message == WM_CHAR && (IsTextField(msg->hwnd) || IsTextField(GetFocus()))) return FALSE;
  return TranslateAcceleratorW(target->GetSafeHwnd(), m_hAccel, msg) ? TRUE : FALSE;
}

BOOL CQVHotKeyList::FindDescription(UINT id, CString& text) {
  text.Empty();
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    const __CQVHotKeyItem* item = ItemAt(m_items, pos);
    m_items.GetNext(pos);
    if (item->m_nID != id) continue;
    GetKeyDescription(item->m_nModifiers, item->m_nKey, item->m_strDescription, text);
    return TRUE;
  }
  return FALSE;
}

BOOL CQVHotKeyList::CreateHotKeyHandler(ACCEL* entries, int count) {
  DeleteHotKeyHandler();
  if (!entries || count <= 0) return FALSE;
  m_hAccel = CreateAcceleratorTableW(entries, count);
  return m_hAccel ? TRUE : FALSE;
}

void CQVHotKeyList::DeleteHotKeyHandler() {
  if (m_hAccel) DestroyAcceleratorTable(m_hAccel);
  m_hAccel = nullptr;
}
