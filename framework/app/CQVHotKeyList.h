#pragma once
// CQVHotKeyList: the keyboard shortcuts of the main window, as (modifiers, key, command, description)
// entries compiled into one accelerator table. Entries come from hot-key scripts: a profile section
// (default "Hotkeys") whose lines bind a registered command name to a key,
//
//   FILE_OPEN = CTRL, VK_O
//   REFRESH   = ctrl+shift, F5, Refresh all
//   SAVE      = ALT, @s
//
// The value is MODIFIERS, KEY[, DESCRIPTION], split at every comma (so a description holds none).
// MODIFIERS counts each of SHIFT, CTRL and ALT it contains, any case, any separator. KEY is a
// virtual-key name with or without its "VK_" (any case: VK_F5, vk_f5, F5, Return), "@" and a
// character for the key that types it, or a single character. A character bound with a modifier
// is entered as the key that types it (letters without Shift), since a character entry only ever
// matches the typed character and would fire on it with no modifier held. Lines that name an
// unknown command or key are skipped.
//
// Adding an entry removes every other with the same modifiers and key, so a later line takes a
// combination over. Entries added after EndHotKeyList act once it is called again.

#include "foundation/util/CDPXObList.h"
#include "platform/core/CString.h"
#include "platform/ui/win/winuser.h"

class CWnd;

class __CQVHotKeyItem : public CObject {
  DECLARE_DYNCREATE(__CQVHotKeyItem)
public:
  BYTE m_nModifiers { 0 };  // FVIRTKEY, FSHIFT, FCONTROL, FALT
  WORD m_nKey { 0 };        // a virtual-key code with FVIRTKEY, else a character
  UINT m_nID { 0 };
  CString m_strDescription;
};

class CQVHotKeyList : public CObject {
  DECLARE_DYNCREATE(CQVHotKeyList)
public:
  ~CQVHotKeyList() override;

  // Removes every entry; the table built before stays until the next EndHotKeyList.
  void BeginHotKeyList();
  // Nothing is added for key 0, or for a character with modifiers that no key types.
  void AddKey(UINT id, BYTE modifiers, WORD key, LPCWSTR description);
  // The command by its registered name; an unknown name adds nothing.
  void AddKey(LPCWSTR command, BYTE modifiers, WORD key, LPCWSTR description);
  void AddKey(LPCWSTR command, BOOL shift, BOOL ctrl, BOOL alt, WORD virtualKey, LPCWSTR description);
  void AddKey(LPCWSTR command, BOOL shift, BOOL ctrl, BOOL alt, char character, LPCWSTR description);
  // One script line: the command name and its value.
  void AddScript(LPCWSTR command, LPCWSTR value);
  // Every line of the section (trimmed; empty: "Hotkeys") in file order. A file that cannot be read
  // or lacks the section adds nothing.
  void AddScripts(LPCWSTR file, LPCWSTR section);
  // Builds the table from the entries in list order; raises CQVException for an empty list or a
  // table that cannot be made.
  void EndHotKeyList();

  void EnableHotKey(BOOL enable) { m_bEnabled = enable; }
  BOOL IsHotKeyEnabled() const { return m_bEnabled; }
  // Offers a key message to the table on behalf of the target window; TRUE when it made a command.
  // A typed character goes to a text field rather than to a plain-character entry.
  BOOL PreTranslateMessage(MSG* msg, CWnd* target);
  // The key text of the command's first entry; FALSE when the command has none.
  BOOL FindDescription(UINT id, CString& text);
  // The table built last; null before.
  HACCEL GetHotKeyHandler() const { return m_hAccel; }

  // Parses one script value; FALSE when the line is to be skipped.
  static BOOL ParseScript(LPCWSTR value, BYTE& modifiers, WORD& key, CString& description);
  // The name users read for a virtual key, in the current language of the kernel's texts: "A",
  // "F5", "Page Down", "Num 0" (German "Bild ab"). A key the language files do not name keeps its
  // VK_ name; a code without one gives an empty text.
  static void GetKeyName(WORD virtualKey, CString& name);

protected:
  // The description when there is one; else the names of Ctrl, Shift and Alt (in that order, as
  // the language names them: "Strg" in German) joined by "+", a "+" and the key's name
  // (GetKeyName, or the character itself).
  virtual void GetKeyDescription(BYTE modifiers, WORD key, LPCWSTR description, CString& text);
  BOOL CreateHotKeyHandler(ACCEL* entries, int count);
  void DeleteHotKeyHandler();

private:
  CDPXObList m_items;
  HACCEL m_hAccel { nullptr };
  BOOL m_bEnabled { FALSE };
};
