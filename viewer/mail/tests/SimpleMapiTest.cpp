// The binding to the mail provider: recipient lists as users type them, a provider that is
// missing or incomplete, and a real send through the provider to a local SMTP server.
#include "platform/core/tests/TestFolder.h"
#include "platform/mapi/tests/SmtpSink.h"
#include "viewer/mail/CSimpleMapiSession.h"

#include <gtest/gtest.h>

namespace {

std::string Pairs(const std::vector<SimpleMapiRecipient>& list) {
  std::string out;
  for (const SimpleMapiRecipient& r : list) out += "[" + r.strName.ToUtf8() + "|" + r.strAddress.ToUtf8() + "]";
  return out;
}

}  // namespace

TEST(RecipientList, PiecesGiveNamesAndAddressesAndBlankPiecesNothing) {
  struct Case {
    const char* what;
    const char16_t* text;
    const char* pairs;
  };
  const Case cases[] = {
      {"name with bracketed address, then a bare address", u"Anna Smith <anna@x.org>; bob@x.org",
       "[Anna Smith|anna@x.org][bob@x.org|bob@x.org]"},
      {"two commas between two addresses", u"a@x.org,,b@x.org", "[a@x.org|a@x.org][b@x.org|b@x.org]"},
      {"blanks only", u"   ", ""},
      {"blank pieces between separators", u" a@x.org , ; ", "[a@x.org|a@x.org]"},
      {"empty brackets", u"<> ; < >", ""},
      {"'<' never closed", u"  Anna <anna@x.org", "[Anna|]"},
      {"bracketed address alone", u"<anna@x.org>", "[anna@x.org|anna@x.org]"},
      {"quoted name with a comma", u"\"Doe, John\" <j@x.org>", "[Doe, John|j@x.org]"},
      {"surname, first name and address", u"Doe, John <j@x.org>, c@x.org", "[Doe, John|j@x.org][c@x.org|c@x.org]"},
      {"semicolon inside the brackets", u"Müller <m;x@x.org>", "[Müller|m;x@x.org]"},
  };
  for (const Case& c : cases) {
    SimpleMapiMessage message;
    EXPECT_TRUE(AddRecipientList(message, c.text, 0));
    EXPECT_EQ(Pairs(message.to), c.pairs) << c.what;
  }
  SimpleMapiMessage message;
  AddRecipientList(message, u"c@x.org", 1);
  AddRecipientList(message, u"b@x.org", 2);
  AddRecipientList(message, u"none@x.org", 3);
  EXPECT_EQ(Pairs(message.to), "");
  EXPECT_EQ(Pairs(message.cc), "[c@x.org|c@x.org]");
  EXPECT_EQ(Pairs(message.bcc), "[b@x.org|b@x.org]");
}

TEST(SimpleMapiSession, WithoutACompleteProviderEveryCallAnswersFalse) {
  const std::string incomplete = std::string(QV_APP_DIR) + "/libplatform_core.so";
  for (const std::string& library : {std::string("/nonexistent/MAPI32.DLL"), incomplete}) {
    CSimpleMapiSession session(CString::FromUtf8(library));
    EXPECT_FALSE(session.IsLoaded()) << library;
    SimpleMapiMessage message;
    SimpleMapiRecipient resolved;
    EXPECT_FALSE(session.Logon(u"", u"", nullptr, FALSE));
    EXPECT_FALSE(session.SendMail(message, TRUE, TRUE, nullptr));
    EXPECT_FALSE(session.ResolveName(u"a@x.org", resolved));
    EXPECT_FALSE(session.Logoff());
    EXPECT_EQ(session.GetLastError(), 0u);
  }
  // The program finds the provider by its file name in the application folder.
  EXPECT_TRUE(CSimpleMapiSession(CString::FromUtf8(QV_APP_DIR "/MAPI32.DLL")).IsLoaded());
}

class SimpleMapiSend : public ::testing::Test {
protected:
  TestFolder m_folder;
  ScopedEnvironment m_registry { "QV_REGISTRY_DIR", m_folder.Native("config").c_str() };
  SmtpSink m_sink;
};

TEST_F(SimpleMapiSend, AMessageArrivesWithItsRecipientsByClassAndItsTexts) {
  RegisterMailProgram("Server", QV_MAPI_PROVIDER, {{"Transport", "smtp"}, {"Server", m_sink.Url()}}, true);
  m_folder.Write("Akte, 1.tif", "page bytes");
  SimpleMapiMessage message;
  AddRecipientList(message, u"Doe, John <john@x.org>; \"Groß, Jürgen\" <jg@x.org>", 0);
  AddRecipientList(message, u"cc@x.org", 1);
  AddRecipientList(message, u"Hidden <hidden@x.org>", 2);
  message.strSubject = u"Rechnung 東京";
  message.strBody = u"Grüße\r\n";
  AddAttachment(message, m_folder.Wide("Akte, 1.tif"), u"");

  CSimpleMapiSession session(CString::FromUtf8(QV_MAPI_PROVIDER));
  ASSERT_TRUE(session.Logon(u"", u"", nullptr, FALSE));
  ASSERT_TRUE(session.SendMail(message, TRUE, TRUE, nullptr)) << session.GetLastError();
  EXPECT_TRUE(session.Logoff());
  EXPECT_FALSE(session.Logoff());

  const auto mails = m_sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].to, (std::vector<ReceivedAddress> {{"Doe, John", "john@x.org"}, {"Groß, Jürgen", "jg@x.org"}}));
  EXPECT_EQ(mails[0].cc, (std::vector<ReceivedAddress> {{"", "cc@x.org"}}));
  EXPECT_EQ(mails[0].recipients.back(), "hidden@x.org");
  EXPECT_FALSE(mails[0].bccHeader);
  EXPECT_EQ(mails[0].subject, "Rechnung 東京");
  EXPECT_EQ(mails[0].body, "Grüße\r\n");
  EXPECT_EQ(mails[0].attachments.at("Akte, 1.tif"), "page bytes") << "a path with a comma is one attachment";
}

TEST_F(SimpleMapiSend, ANamedProfileThatFailsIsNotReplacedByTheDefaultSession) {
  RegisterMailProgram("Server", QV_MAPI_PROVIDER, {{"Transport", "smtp"}, {"Server", m_sink.Url()}}, true);
  CSimpleMapiSession session(CString::FromUtf8(QV_MAPI_PROVIDER));
  EXPECT_FALSE(session.Logon(u"Nonesuch", u"secret", nullptr, FALSE));
  EXPECT_FALSE(session.IsLoggedOn());
  EXPECT_EQ(session.GetLastError(), ULONG(MAPI_E_LOGON_FAILURE));
  EXPECT_TRUE(session.Logon(u"", u"", nullptr, FALSE));
  EXPECT_EQ(session.GetLastError(), 0u);
}
