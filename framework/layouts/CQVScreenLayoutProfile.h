#pragma once
// CQVScreenLayoutProfile: the named screen layouts of one profile file. Each layout is a section
// named like the layout, with its descriptive keys ("Title", tried as a text key first, and what
// the program stores with SetLayoutInfo); the bars' dock state of a layout lies beside the profile
// in "<application root name>.<layout name>.dockstate" ("<layout name>.dockstate" when the root
// name is empty), whose bytes this class keeps without reading them.
//
// A layout's index is its position among the layouts in file order. Only sections whose names
// obey the name rule (CheckName) as they stand in the file are layouts: another section, whether
// hand-made or of a profile shared with other programs, is neither listed nor touched, so that no
// name can lead a file operation outside the profile's folder.
//
// Every change is saved to the profile at once. Dock-state files are replaced as a whole: a write
// that fails leaves the file that was there.

#include "foundation/util/CDPXScriptFile.h"

#include <vector>

class CDPXGMemBuffer;

class CQVScreenLayoutProfile : public CObject {
  DECLARE_DYNAMIC(CQVScreenLayoutProfile)
public:
  static constexpr int kMaxNameLength = 20;

  // Opens the profile file; the result of reading it (a missing file reads as an empty profile
  // that the first change creates).
  BOOL SetFilename(LPCWSTR path);
  CString GetFilename() const { return m_profile.GetPath(); }

  int GetLayoutCount();
  // The layout's title: the text of its "Title" key (or the key's value when no language file has
  // such a text), trimmed; the layout's name when that is empty.
  BOOL GetLayoutName(int index, CString& title);
  // FALSE when the index has no layout. The number forms write and read "%d".
  BOOL SetLayoutInfo(int index, LPCWSTR key, LPCWSTR value);
  BOOL GetLayoutInfo(int index, LPCWSTR key, CString& value);
  BOOL SetLayoutInfo(int index, LPCWSTR key, int value);
  BOOL GetLayoutInfo(int index, LPCWSTR key, int& value);

  // FALSE when the index has no layout, there is no application object or the profile no path.
  BOOL GetDockStateFilename(int index, CString& path);
  // The whole dock-state file; on failure the buffer is empty.
  BOOL LoadDockState(int index, CDPXGMemBuffer& state);
  // Replaces the dock-state file with the buffer's bytes.
  BOOL SaveDockState(int index, CDPXGMemBuffer& state);

  // The index of the layout of that name (trimmed, without regard to case), or -1.
  int LayoutExist(LPCWSTR name);
  // A new, empty layout at the end (one of that name is deleted first, keys and dock state); its
  // index, or -1 for a name against the rule or a profile that cannot be saved.
  int CreateLayout(LPCWSTR name);
  // Deletes the layout's dock-state file and its section; nothing for an index without a layout.
  void DeleteLayout(int index);
  void DeleteAllLayouts();

  // Trimmed, 1 to kMaxNameLength characters, none of \/:.()[]{}*?%&+-<> nor a control character.
  static BOOL CheckName(LPCWSTR name);
  // Trims the name in place, then CheckName.
  static BOOL NormalizeName(CString& name);

protected:
  // Reads the list of layouts when it is empty or `refresh` is set.
  void FindLayouts(BOOL refresh);
  // The layout's section name; FALSE out of range.
  BOOL _GetLayoutName(int index, CString& name);

private:
  BOOL DockStatePathOf(const CString& name, CString& path) const;

  CDPXScriptFile m_profile;
  // The layouts' section names in file order.
  std::vector<CString> m_layouts;
};
