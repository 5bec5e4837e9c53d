// The viewer's e-mail texts as index values make them: the input is a recipient text, a form
// feed, then a formula. Recipients never come out blank and keep their pieces' text; a formula's
// check ends inside the text.

#include "tools/fuzz/FuzzSupport.h"
#include "viewer/mail/CFormula.h"
#include "viewer/mail/SimpleMapiMessage.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t feed = input.find('\f');
  const CString recipients = CString::FromUtf8(input.substr(0, feed));
  const CString text = feed == std::string_view::npos ? CString() : CString::FromUtf8(input.substr(feed + 1));

  SimpleMapiMessage message;
  fuzz::Check(AddRecipientList(message, recipients, 0), "a recipient list is refused");
  for (const SimpleMapiRecipient& recipient : message.to) {
    fuzz::Check(!recipient.strName.IsEmpty(), "a recipient has no name");
    fuzz::Check(CString(recipient.strName).Trim() == recipient.strName, "a recipient's name keeps blanks");
    fuzz::Check(recipients.Find(recipient.strAddress) >= 0, "an address is not part of the text");
  }

  CFormula formula;
  formula.SetLabels({u"Kunde", u"Nummer"});
  formula.AddExtraItem(CFormula::kIndexDataItem);
  formula.SetText(text);
  int position = -1;
  CString token;
  const BOOL valid = formula.Check(position, token);
  fuzz::Check(position >= 0 && position <= text.GetLength(), "a fault lies outside the formula");
  fuzz::Check(valid || token.IsEmpty() || text.Mid(position, token.GetLength()) == token,
              "the named field is not where the fault is");
  return 0;
}
