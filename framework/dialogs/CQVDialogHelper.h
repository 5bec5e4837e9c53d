#pragma once
// CQVDialogHelper: what every framework dialog, property page and form view carries beside its
// window class. It ties the child items' IDs to name keys (the item map), translates item texts,
// tips and the title through the language module ("TXT_" + name, "TIP_" + name, the map's own
// name), shows message boxes whose texts are keys, lays items out by the dialog's layout script
// ("TPL_" + the map's name, see CQVDialogHelperLayout.cpp) and offers small item operations.
//
// Every item operation acts on the children of the owner window given to the constructor and does
// nothing when the owner or the item is missing. Keys that no language file holds give empty
// texts, and an empty text is still applied.

#include "foundation/language/CQVRCMModule.h"
#include "platform/core/CRect.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/comctl/commctrl.h"

#include <vector>

class CFont;

class CQVDialogHelper : public virtual CQVRCMModule {
public:
  // The owner may be null; it never changes afterwards.
  explicit CQVDialogHelper(CWnd* owner);
  virtual ~CQVDialogHelper() = default;

  // The item map, written by each dialog's OnInitIDMap as BeginIDMap, DlgItem..., EndIDMap.
  // BeginIDMap empties the map; DlgItem ignores ID 0 and a null name and does not look for
  // duplicates (lookups find the first record added).
  void BeginIDMap(LPCWSTR name);
  void DlgItem(int id, LPCWSTR name, BOOL translate);
  void EndIDMap() {}
  BOOL GetDialogID(CString& name) const;
  BOOL GetDlgItemID(int id, CString& name) const;
  // By name, compared with case: the full name key, or the part after the map's name and "_"
  // ("NAME" finds "DLG_DSL_NAME" in the map "DLG_DSL").
  BOOL GetDlgItemID(LPCWSTR name, int& id) const;

  void ShowDlgItem(int id, BOOL show);
  void EnableDlgItem(int id, BOOL enable);
  // Keeps the item's top-left corner.
  void SizeDlgItem(int id, int cx, int cy, BOOL repaint);
  // Places in the owner's client coordinates.
  void MoveDlgItem(int id, CRect rect, BOOL repaint);
  // Moves the item, its size kept, so that its anchor point (1..9: left, centre, right edge by
  // top, centre, bottom edge, as "lt" "lc" "lb" "ct" "cc" "cb" "rt" "rc" "rb") lies on x, y.
  void MoveDlgItem(int id, int x, int y, int anchor, BOOL repaint);
  // Moves the item, its size kept, against the reference: xMode 1..9 brings the item's left,
  // centre or right edge to the reference's left, centre or right ("l-l" .. "r-r"), yMode the
  // same for top, centre and bottom; then dx and dy are added.
  void AlignDlgItems(int referenceId, int itemId, int xMode, int yMode, int dx, int dy, BOOL repaint);
  // The item's rectangle in the owner's client coordinates and its styles; with destroy the item's
  // window is destroyed afterwards.
  BOOL GetDlgItemTemplate(int id, CRect& rect, DWORD& style, DWORD& exStyle, BOOL destroy);
  BOOL GetDlgItemTemplate(int id, CRect& rect, BOOL destroy);
  // Gives the window its own font with the weight and the three flags changed. The caller owns
  // `font` and keeps it alive while the window uses it; a window without a font leaves it alone.
  static void RestyleDlgItemFont(CWnd& wnd, CFont& font, BOOL bold, BOOL italic, BOOL underline, BOOL strikeOut);
  void RestyleDlgItemFont(int id, CFont& font, BOOL bold, BOOL italic, BOOL underline, BOOL strikeOut);

  void TranslateDlgItemText(int id, CString& text);
  void TranslateDlgItemTip(int id, CString& text);
  void TranslateDlgItem(int id);
  void AutoTranslateDlgItems();
  void TranslateDlgTitleText(CString& text);
  // Only dialogs (and property pages) get a title; form views keep theirs.
  void TranslateDlgTitle();

  // Runs the dialog's layout script from the language file: FALSE when there is no owner, no map
  // name, no "TPL_" key for the dialog, or the script's data item cannot be written or read.
  BOOL LoadLayoutScript();
  // Runs the section named like the map in the script file at path; TRUE also when the section
  // is missing. Failing lines are skipped.
  BOOL LoadLayoutScript(LPCWSTR path);
  // Whether the language file names a layout script for this dialog ("TPL_" + the map's name).
  BOOL HasLayoutScript();
  // The layout step of every dialog base: with `layout` the layout script (a dialog whose language
  // file names none has nothing to lay out; a named script that cannot be run answers FALSE at
  // once), then with `translate` the items and the title.
  BOOL InitLayout(BOOL layout, BOOL translate);

  // Keyed message boxes: the texts are looked up by key; a null caption key gives the box's
  // default caption ("QVDH_DEFAULTCAPTION_..."; for MsgBox the one of its buttons, or of its error
  // icon). The literal twins take the texts themselves; _MsgBox passes a null caption on as it is.
  // The parent is the owner, else the application's main window, else none.
  int MsgBox(LPCWSTR textKey, LPCWSTR captionKey, UINT type);
  void ErrorMsg(LPCWSTR textKey, LPCWSTR captionKey = nullptr);
  void InfoMsg(LPCWSTR textKey, LPCWSTR captionKey = nullptr);
  BOOL YesNoMsg(LPCWSTR textKey, LPCWSTR captionKey = nullptr);
  BOOL OKCancelMsg(LPCWSTR textKey, LPCWSTR captionKey = nullptr);
  int YesNoCancelMsg(LPCWSTR textKey, LPCWSTR captionKey = nullptr);
  int _MsgBox(LPCWSTR text, LPCWSTR caption, UINT type);
  void _ErrorMsg(LPCWSTR text, LPCWSTR caption = nullptr);
  void _InfoMsg(LPCWSTR text, LPCWSTR caption = nullptr);
  BOOL _YesNoMsg(LPCWSTR text, LPCWSTR caption = nullptr);
  BOOL _OKCancelMsg(LPCWSTR text, LPCWSTR caption = nullptr);
  int _YesNoCancelMsg(LPCWSTR text, LPCWSTR caption = nullptr);

  // TRUE while one of this helper's message boxes is open.
  BOOL IsShowingMessage() const { return m_nShowingMessage > 0; }

protected:
  // The tip of a child item; a derived class may supply tips from elsewhere.
  virtual BOOL GetToolTipText(UINT id, CString& text);
  // The tool-tip request (TTN_NEEDTEXTW) of the owner, handled for tools named by window handle.
  BOOL _OnToolTipNotify(UINT id, NMHDR* nmhdr, LRESULT* result);

  // One line of a layout script; TRUE when it was a valid command and was carried out.
  BOOL __ExecScript(LPCWSTR line);
  static BOOL __ParseMoveMode(LPCWSTR word, int& code);
  static BOOL __ParseAlignModeX(LPCWSTR word, int& code);
  static BOOL __ParseAlignModeY(LPCWSTR word, int& code);
  // A number with its units: "%" a percentage of the client width (horizontal) or height, "r"
  // counted from the right or bottom edge; units only with allowRelative and an owner.
  BOOL __ParseSize(LPCWSTR word, int& value, BOOL horizontal, BOOL allowRelative);

  CWnd* GetOwnerWnd() const { return m_pOwner; }

private:
  struct __CQVDlgItemIDMapItem {
    int id {};
    CString name;
    BOOL translate {};
  };

  CWnd* Item(int id) const;
  BOOL ItemRect(CWnd* item, CRect& rect) const;
  CString LayoutScriptKey() const { return CString(u"TPL_") + m_strIDMapName; }
  // The text of a key; empty for a missing key.
  CString Text(LPCWSTR key);
  int ShowBox(LPCWSTR text, LPCWSTR caption, UINT type);
  int ShowBox(LPCWSTR text, LPCWSTR caption, LPCWSTR defaultCaptionKey, UINT type);

  CWnd* const m_pOwner;
  CString m_strIDMapName;
  std::vector<__CQVDlgItemIDMapItem> m_items;
  CString m_strToolTip;
  int m_nShowingMessage { 0 };
};
