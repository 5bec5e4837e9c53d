#include "viewer/mail/CFormula.h"

#include <gtest/gtest.h>

TEST(Formula, CheckFindsTheFirstFaultAndNamesAnUnknownField) {
  struct Case {
    const char* what;
    const char16_t* text;
    bool body;  // the body also knows the index-data item
    bool valid;
    int position;
    const char16_t* token;
  };
  const Case cases[] = {
      {"empty", u"", false, true, 0, u""},
      {"two literals joined by a line break", u"\"Invoice \"\r\n\"Müller\"", false, true, 0, u""},
      {"literal, field, LF, field", u"\"Nr. \"<Nummer>\n<Kunde>", false, true, 0, u""},
      {"unknown field", u"\"a\"<Nummer><Preis>", false, false, 11, u"<Preis>"},
      {"literal not closed", u"<Kunde>\"abc", false, false, 7, u""},
      {"text outside quotes", u"\"a\" <Kunde>", false, false, 3, u""},
      {"field not closed", u"<Kunde", false, false, 0, u""},
      {"index data in the subject", u"<Associated Document Index Data>", false, false, 0,
       u"<Associated Document Index Data>"},
      {"index data in the body", u"\"Daten:\"\r\n<Associated Document Index Data>", true, true, 0, u""},
      {"names compare exactly", u"<kunde>", false, false, 0, u"<kunde>"},
  };
  for (const Case& c : cases) {
    CFormula formula;
    formula.SetLabels({u"Nummer", u"Kunde"});
    if (c.body) formula.AddExtraItem(CFormula::kIndexDataItem);
    formula.SetText(c.text);
    int position = -1;
    CString token(u"stale");
    EXPECT_EQ(bool(formula.Check(position, token)), c.valid) << c.what;
    if (c.valid) continue;
    EXPECT_EQ(position, c.position) << c.what;
    EXPECT_EQ(token, CString(c.token)) << c.what;
  }
}
