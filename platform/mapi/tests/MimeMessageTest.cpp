#include "platform/mapi/MimeMessage.h"

#include <gtest/gtest.h>

using namespace qvmapi;

TEST(MimeAddress, DisplayNamesAreQuotedOrEncodedSoTheListStillParts) {
  struct Case {
    const char* what;
    MailAddress address;
    const char* header;
  };
  const Case cases[] = {
      {"no name", {"", "a@x.org"}, "a@x.org"},
      {"name equal to the address", {"a@x.org", "a@x.org"}, "a@x.org"},
      {"plain name", {"John Doe", "j@x.org"}, "John Doe <j@x.org>"},
      {"comma", {"Doe, John", "j@x.org"}, "\"Doe, John\" <j@x.org>"},
      {"quotes and backslash", {"A \"B\" C\\D", "j@x.org"}, "\"A \\\"B\\\" C\\\\D\" <j@x.org>"},
      {"dot", {"J. Doe", "j@x.org"}, "\"J. Doe\" <j@x.org>"},
      {"non-ASCII", {"Jürgen", "j@x.org"}, "=?UTF-8?B?SsO8cmdlbg==?= <j@x.org>"},
      {"line break", {"Two\r\nLines", "j@x.org"}, "Two  Lines <j@x.org>"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatAddress(c.address), c.header) << c.what;
}

TEST(MimeAddress, ParsingTakesNameAndAddressAndRefusesWhatCannotBeDeliveredTo) {
  struct Case {
    const char* text;
    bool ok;
    const char* name;
    const char* address;
  };
  const Case cases[] = {
      {"  a@x.org ", true, "", "a@x.org"},
      {"John Doe <j@x.org>", true, "John Doe", "j@x.org"},
      {"\"Doe, \\\"J\\\"\" <j@x.org>", true, "Doe, \"J\"", "j@x.org"},
      {"<j@x.org>", true, "", "j@x.org"},
      {"John <j@x.org", false, "", ""},
      {"John Doe", false, "", ""},
      {"a@b@x.org", false, "", ""},
      {"a b@x.org", false, "", ""},
      {"a@x.org\r\nBcc: evil@x.org", false, "", ""},
      {"", false, "", ""},
  };
  for (const Case& c : cases) {
    MailAddress address;
    ASSERT_EQ(ParseAddress(c.text, address), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(address.name, c.name) << c.text;
    EXPECT_EQ(address.address, c.address) << c.text;
  }
}

TEST(MimeHeader, LongOrNonAsciiTextBecomesEncodedWordsOnShortLinesCutBetweenCharacters) {
  EXPECT_EQ(EncodeHeaderText("Plain subject"), "Plain subject");
  EXPECT_EQ(EncodeHeaderText("Line\r\nbreak"), "Line  break");
  const std::string text = std::string(30, 'a') + "東京東京東京東京東京東京東京東京";
  const std::string encoded = EncodeHeaderText(text);
  size_t start = 0;
  for (size_t end = 0; start < encoded.size(); start = end + 3) {
    end = encoded.find("\r\n ", start);
    if (end == std::string::npos) end = encoded.size();
    const std::string word = encoded.substr(start, end - start);
    EXPECT_LE(word.size(), 75u);
    ASSERT_EQ(word.rfind("=?UTF-8?B?", 0), 0u) << word;
  }
  // 30 ASCII bytes then 3-byte characters: the first word ends after the 3rd character (39 bytes).
  EXPECT_EQ(encoded.substr(0, encoded.find("?=") + 2), "=?UTF-8?B?" + Base64(text.substr(0, 39), false) + "?=");
}
