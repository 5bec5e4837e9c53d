#pragma once
// CFormula: the syntax of the e-mail texts' formulas. A formula is a run of literals in double
// quotes ("any text but a quote"), field items in angle brackets (<a known name>) and line breaks
// (one CR or LF each), with nothing between them; an empty formula is valid. Known names are the
// index fields (labels) and the extra items a text allows ("Associated Document Index Data" in
// the body).

#include "platform/core/CString.h"

#include <vector>

class CFormula {
public:
  // The field item that stands for the document's index data in the mail's body.
  static constexpr const char16_t* kIndexDataItem = u"Associated Document Index Data";

  void SetLabels(const std::vector<CString>& labels) { m_labels = labels; }
  void SetExtraItems(const std::vector<CString>& items) { m_extraItems = items; }
  void AddExtraItem(const CString& item) { m_extraItems.push_back(item); }
  void SetText(const CString& text) { m_strText = text; }

  // The token with its '<' taken off the left and its '>' off the right is a label or an extra
  // item (compared exactly).
  BOOL IsKnownItem(const CString& token) const;
  // TRUE for a valid formula. Otherwise `position` is where the fault begins and `token` the
  // field item whose name is unknown, or empty for text outside quotes and brackets or a literal
  // or item that is not closed.
  BOOL Check(int& position, CString& token) const;

private:
  std::vector<CString> m_labels;
  std::vector<CString> m_extraItems;
  CString m_strText;
};
