#pragma once
// The rows of the new-search dialog: one label and one edit per index field, in a child dialog that
// scrolls when there are more rows than its window shows. The parent gives the geometry of a row
// (the rectangles of its own document-number label and edit and the gaps between items); row i has
// the label 9000 + 2i and the edit 9001 + 2i.

#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CStatic.h"

#include <memory>
#include <utility>
#include <vector>

// Field names with the pattern typed for each, in field order.
using CSearchPairs = std::vector<std::pair<CString, CString>>;

class CIndexDlg : public CQVDialog {
  DECLARE_DYNAMIC(CIndexDlg)
public:
  enum { kTemplateId = 161, kFirstRowId = 9000, kLineStep = 60, kLabelLength = 20 };

  CIndexDlg();
  ~CIndexDlg() override;

  // Makes the child window inside the parent, hidden.
  BOOL Create(CWnd* parent);

  void SetGeometry(const CRect& label, const CRect& edit, int horizontalGap, int verticalGap);
  // Replaces the rows by one per pair: the label the field's name, the edit its value. FALSE, with
  // no rows left, when a row cannot be made.
  BOOL BuildRows(const CSearchPairs& pairs);
  // The edits' texts into the pairs' values; FALSE when the pairs are not the rows.
  BOOL GetValues(CSearchPairs& pairs) const;
  int GetRowCount() const { return static_cast<int>(m_edits.size()); }
  // The extent of all rows; the scroll bars follow from it and the window's size.
  void SetScrollSize(int width, int height);

  // A label shows the field's name and a colon, cut to the first 20 characters.
  static CString LabelText(LPCWSTR fieldName);

protected:
  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  // Enter and Escape belong to the parent.
  void OnOK() override {}
  void OnCancel() override {}

  void OnVScroll(UINT code, UINT position, CScrollBar* bar);
  void OnHScroll(UINT code, UINT position, CScrollBar* bar);
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  void OnSize(UINT type, int cx, int cy);
  int OnMouseActivate(CWnd* desktop, UINT hitTest, UINT message);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  struct Axis {
    int page { 0 };
    int total { 100 };
    int position { 0 };
  };
  void DestroyRows();
  void Scroll(int bar, UINT code, UINT thumb);
  // Moves the content so that the axis stands at `position`, kept within the range.
  void ScrollTo(int bar, int position);
  void UpdateBar(int bar, int extent);
  Axis& AxisOf(int bar) { return bar == SB_VERT ? m_vertical : m_horizontal; }

  Axis m_horizontal;
  Axis m_vertical;
  CRect m_rcLabel;
  CRect m_rcEdit;
  int m_nHorizontalGap { 0 };
  int m_nVerticalGap { 0 };
  std::vector<std::unique_ptr<CStatic>> m_labels;
  std::vector<std::unique_ptr<CEdit>> m_edits;
};
