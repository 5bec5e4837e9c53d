#pragma once
// CQVTiffInfoWnd: the tags of a TIFF file's first page as a two-column grid (name, value) under
// one group row. Names are translated through the window's language module ("TAGNAME_" + the
// upper-cased name, the name itself when there is no text); values are formatted by type. A file
// of several pages shows one row, "PageCountOfMultiPage", with the page count.
//
// An optional filter list chooses the tags shown and their order. Everything runs on the UI thread.

#include "foundation/language/CQVRCMModule.h"
#include "foundation/util/CDPXObList.h"
#include "foundation/util/CDPXStringList.h"
#include "framework/grids/CDPXPropertyGrid.h"

struct tagTiffTagInfo;

// One tag as listed.
class __CQVTiffInfoWndTagListItem : public CObject {
  DECLARE_DYNCREATE(__CQVTiffInfoWndTagListItem)
public:
  CString m_strName;
  CString m_strValue;
};

class CQVTiffInfoWnd : public CDPXPropertyGrid, public virtual CQVRCMModule {
  DECLARE_DYNAMIC(CQVTiffInfoWnd)
public:
  static constexpr DWORD kGridStyle = 0x5A;
  static constexpr int kNameWidth = 120;
  // At most this many values of one tag are shown, then ", ...": strip tables can be very long.
  static constexpr DWORD kMaxShownValues = 256;

  CQVTiffInfoWnd() = default;
  ~CQVTiffInfoWnd() override;

  // FALSE when the window exists already.
  using CDPXPropertyGrid::Create;
  virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Reads the tags of the file; with `refresh` the grid shows them.
  void SetFilename(LPCWSTR name, BOOL refresh = TRUE);
  void GetFilename(CString& name) const { name = m_filename; }
  // Filters (compared without case). AddFilter is FALSE when the name cannot be added; a name the
  // list has already counts as added.
  BOOL AddFilter(LPCWSTR name, BOOL refresh = TRUE);
  void DeleteFilter(LPCWSTR name, BOOL refresh = TRUE);
  void ResetFilter(BOOL refresh = TRUE);
  BOOL IsFilterEnabled() const { return m_filters.GetCount() > 0; }
  // Rebuilds the grid from the tag list; the grid stays empty when a row cannot be made.
  void Refresh();
  void TranslateTagName(LPCWSTR name, CString& out);

  // The value text of a tag: ASCII as UTF-8 up to its first NUL; numbers joined by ", " (unsigned
  // types unsigned, signed types signed, rationals as quotients, "n/0" for a zero denominator).
  // Never reads past the value's bytes. FALSE for a tag without readable value bytes.
  static BOOL GetTagInfoText(const tagTiffTagInfo& tag, CString& text);

  // The tags read, in file order.
  int GetTagCount() const { return m_tags.GetCount(); }
  BOOL GetTag(int index, CString& name, CString& value) const;

protected:
  BOOL BuildTagList(LPCWSTR path);
  void ResetTagList() { m_tags.RemoveAll(); }
  BOOL AddTag(LPCWSTR name, LPCWSTR value);
  void DeleteTag(LPCWSTR name);
  POSITION FindTag(LPCWSTR name) const;
  POSITION FindFilter(LPCWSTR name) const;
  BOOL AddTagRow(CDPXPropertyGridRow* group, LPCWSTR name, LPCWSTR value);

private:
  void RefreshIf(BOOL refresh);
  BOOL FillRows();

  CDPXStringList m_filters;
  CString m_filename;
  CDPXObList m_tags;
};
