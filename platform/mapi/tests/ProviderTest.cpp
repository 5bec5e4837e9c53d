// The provider as its callers use it: loaded by path, bound by name, sending to a real SMTP server
// on the loopback address, to a stand-in sendmail and to a stand-in xdg-email.
#include "platform/core/module.h"
#include "platform/core/tests/TestFolder.h"
#include "platform/mapi/mapi.h"
#include "platform/mapi/tests/SmtpSink.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

std::string AllByteValues() {
  std::string bytes;
  for (int round = 0; round < 40; ++round)
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>((b + round) & 0xFF);
  return bytes;
}

class Provider : public ::testing::Test {
protected:
  void SetUp() override {
    m_module = LoadLibraryW(CString::FromUtf8(QV_MAPI_PROVIDER));
    ASSERT_NE(m_module, nullptr);
    Logon = reinterpret_cast<LPMAPILOGON>(GetProcAddress(m_module, "MAPILogon"));
    Logoff = reinterpret_cast<LPMAPILOGOFF>(GetProcAddress(m_module, "MAPILogoff"));
    SendMail = reinterpret_cast<LPMAPISENDMAIL>(GetProcAddress(m_module, "MAPISendMail"));
    ResolveName = reinterpret_cast<LPMAPIRESOLVENAME>(GetProcAddress(m_module, "MAPIResolveName"));
    FreeBuffer = reinterpret_cast<LPMAPIFREEBUFFER>(GetProcAddress(m_module, "MAPIFreeBuffer"));
    ASSERT_TRUE(Logon && Logoff && SendMail && ResolveName && FreeBuffer);
    for (const char* name : {"MAPIReadMail", "MAPIFindNext", "MAPIDeleteMail"})
      ASSERT_NE(GetProcAddress(m_module, name), nullptr) << name;
    m_folder.Write("page1.tif", AllByteValues());
    m_folder.Write("page2.tif", std::string("II*\0", 4) + "second page");
  }
  void TearDown() override { FreeLibrary(m_module); }

  void UseServer(const std::string& url, const std::string& name = "Server", bool makeDefault = true) {
    RegisterMailProgram(name, QV_MAPI_PROVIDER,
                        {{"Transport", "smtp"}, {"Server", url}, {"From", "Scan Desk <desk@example.org>"}}, makeDefault);
  }

  // Logs on to the default profile and sends, as the viewer does: one session per mail.
  ULONG LogonAndSend(MapiMessage& message) {
    LHANDLE session = 0;
    if (const ULONG result = Logon(0, nullptr, nullptr, MAPI_LOGON_UI | MAPI_NEW_SESSION, 0, &session)) return result;
    const ULONG result = SendMail(session, 0, &message, MAPI_DIALOG, 0);
    EXPECT_EQ(Logoff(session, 0, 0, 0), ULONG(SUCCESS_SUCCESS));
    return result;
  }

  std::string Path(const std::string& name) { return m_folder.Native(name); }

  TestFolder m_folder;
  ScopedEnvironment m_registry { "QV_REGISTRY_DIR", m_folder.Native("config").c_str() };
  HMODULE m_module { nullptr };
  LPMAPILOGON Logon { nullptr };
  LPMAPILOGOFF Logoff { nullptr };
  LPMAPISENDMAIL SendMail { nullptr };
  LPMAPIRESOLVENAME ResolveName { nullptr };
  LPMAPIFREEBUFFER FreeBuffer { nullptr };
};

// A message whose texts the records point into; it lives as long as the object.
struct Message {
  Message() = default;
  Message(const Message&) = delete;
  Message& operator=(const Message&) = delete;

  void Recipient(ULONG kind, std::string name, std::string address) {
    texts.push_back(std::make_unique<std::string>(std::move(name)));
    char* namePtr = texts.back()->data();
    texts.push_back(std::make_unique<std::string>(std::move(address)));
    recips.push_back({0, kind, namePtr, texts.back()->empty() ? nullptr : texts.back()->data(), 0, nullptr});
  }
  void File(std::string path, std::string shown) {
    texts.push_back(std::make_unique<std::string>(std::move(path)));
    char* pathPtr = texts.back()->data();
    texts.push_back(std::make_unique<std::string>(std::move(shown)));
    files.push_back({0, 0, 0xFFFFFFFFu, pathPtr, texts.back()->empty() ? nullptr : texts.back()->data(), nullptr});
  }
  MapiMessage& Get() {
    record = {};
    record.lpszSubject = subject.data();
    record.lpszNoteText = body.data();
    record.nRecipCount = ULONG(recips.size());
    record.lpRecips = recips.data();
    record.nFileCount = ULONG(files.size());
    record.lpFiles = files.data();
    return record;
  }

  std::string subject;
  std::string body;
  std::vector<std::unique_ptr<std::string>> texts;
  std::vector<MapiRecipDesc> recips;
  std::vector<MapiFileDesc> files;
  MapiMessage record {};
};

TEST_F(Provider, AMailArrivesWithItsRecipientsTextsAndAttachmentsWhole) {
  SmtpSink sink;
  ASSERT_TRUE(sink.IsRunning());
  UseServer(sink.Url());
  Message message;
  message.subject = "Rechnung Müller, 東京 \"März\" — eine sehr lange Betreffzeile, die gefaltet werden muss";
  message.body = "Grüße aus Köln\r\nZeile zwei\nZeile drei\r\n";
  message.Recipient(MAPI_TO, "Doe, John", "john@example.org");
  message.Recipient(MAPI_TO, "Anna \"the boss\" Smith", "SMTP:anna@example.org");
  message.Recipient(MAPI_TO, "plain@example.org", "plain@example.org");
  message.Recipient(MAPI_CC, "Jürgen Groß, Vertrieb", "jg@example.org");
  message.Recipient(MAPI_BCC, "Hidden Person", "hidden@example.org");
  message.File(Path("page1.tif"), "Akte-001.tif");
  message.File(Path("page2.tif"), "Übersicht März.tif");

  ASSERT_EQ(LogonAndSend(message.Get()), ULONG(SUCCESS_SUCCESS));

  const auto mails = sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  const ReceivedMail& mail = mails[0];
  EXPECT_EQ(mail.from, "desk@example.org");
  EXPECT_EQ(mail.sender, (ReceivedAddress {"Scan Desk", "desk@example.org"}));
  EXPECT_EQ(mail.recipients, (std::vector<std::string> {"john@example.org", "anna@example.org", "plain@example.org",
                                                        "jg@example.org", "hidden@example.org"}));
  EXPECT_EQ(mail.to, (std::vector<ReceivedAddress> {{"Doe, John", "john@example.org"},
                                                    {"Anna \"the boss\" Smith", "anna@example.org"},
                                                    {"", "plain@example.org"}}));
  EXPECT_EQ(mail.cc, (std::vector<ReceivedAddress> {{"Jürgen Groß, Vertrieb", "jg@example.org"}}));
  EXPECT_FALSE(mail.bccHeader);
  EXPECT_EQ(mail.raw.find("hidden@example.org"), std::string::npos) << "a Bcc recipient is named in the message";
  EXPECT_EQ(mail.subject, message.subject);
  EXPECT_EQ(mail.body, "Grüße aus Köln\r\nZeile zwei\r\nZeile drei\r\n");
  ASSERT_EQ(mail.attachments.size(), 2u);
  EXPECT_EQ(mail.attachments.at("Akte-001.tif"), AllByteValues());
  EXPECT_EQ(mail.attachments.at("Übersicht März.tif"), m_folder.Read("page2.tif"));
  // Every line of the message keeps within the line length mail servers must accept.
  size_t start = 0;
  for (size_t end; (end = mail.raw.find('\n', start)) != std::string::npos; start = end + 1)
    EXPECT_LE(end - start, 78u) << mail.raw.substr(start, end - start);
}

TEST_F(Provider, AFailedDeliveryIsNeverReportedAsSent) {
  struct Case {
    const char* what;
    SmtpSink::Mode mode;
    bool serverUp;
    const char* recipient;
    const char* attachment;
    ULONG logon;
    ULONG send;
  };
  const Case cases[] = {
      {"no server on the port", SmtpSink::Mode::Accept, false, "a@example.org", "page1.tif", MAPI_E_LOGON_FAILURE,
       MAPI_E_NETWORK_FAILURE},
      {"a recipient the server refuses", SmtpSink::Mode::Accept, true, "nobody@example.org", "page1.tif",
       SUCCESS_SUCCESS, MAPI_E_UNKNOWN_RECIPIENT},
      {"the server drops the connection in the message", SmtpSink::Mode::Drop, true, "a@example.org", "page1.tif",
       SUCCESS_SUCCESS, MAPI_E_NETWORK_FAILURE},
      {"an attachment that is not there", SmtpSink::Mode::Accept, true, "a@example.org", "missing.tif",
       SUCCESS_SUCCESS, MAPI_E_ATTACHMENT_NOT_FOUND},
      {"a recipient without an address", SmtpSink::Mode::Accept, true, "Just A Name", "page1.tif", SUCCESS_SUCCESS,
       MAPI_E_INVALID_RECIPS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SmtpSink sink(c.mode);
    ASSERT_TRUE(sink.IsRunning());
    UseServer(c.serverUp ? sink.Url() : "smtp://127.0.0.1:" + std::to_string(SmtpSink::UnusedPort()));
    Message message;
    message.subject = "s";
    message.body = "b";
    message.Recipient(MAPI_TO, c.recipient, "");
    message.File(Path(c.attachment), "");
    LHANDLE session = 0;
    EXPECT_EQ(Logon(0, nullptr, nullptr, MAPI_LOGON_UI, 0, &session), c.logon);
    // Without a session the send logs on by itself and meets the same failure at the server.
    EXPECT_EQ(SendMail(c.logon == SUCCESS_SUCCESS ? session : 0, 0, &message.Get(), 0, 0), c.send);
    if (session) Logoff(session, 0, 0, 0);
    EXPECT_TRUE(sink.Mails().empty());
  }
}

TEST_F(Provider, LogonTakesTheNamedProgramElseTheDefaultAndRefusesAnUnknownOne) {
  SmtpSink first, second;
  UseServer(first.Url(), "First", true);
  UseServer(second.Url(), "Second", false);
  Message message;
  message.subject = "which";
  message.Recipient(MAPI_TO, "", "a@example.org");

  LHANDLE session = 0;
  char named[] = "second";
  ASSERT_EQ(Logon(0, named, nullptr, 0, 0, &session), ULONG(SUCCESS_SUCCESS));
  EXPECT_EQ(SendMail(session, 0, &message.Get(), 0, 0), ULONG(SUCCESS_SUCCESS));
  EXPECT_EQ(Logoff(session, 0, 0, 0), ULONG(SUCCESS_SUCCESS));
  EXPECT_EQ(Logoff(session, 0, 0, 0), ULONG(MAPI_E_INVALID_SESSION));
  EXPECT_EQ(SendMail(session, 0, &message.Get(), 0, 0), ULONG(MAPI_E_INVALID_SESSION));
  EXPECT_EQ(SendMail(0, 0, &message.Get(), MAPI_LOGON_UI, 0), ULONG(SUCCESS_SUCCESS));
  EXPECT_EQ(second.Mails().size(), 1u);
  EXPECT_EQ(first.Mails().size(), 1u);

  char unknown[] = "Nonesuch";
  EXPECT_EQ(Logon(0, unknown, nullptr, 0, 0, &session), ULONG(MAPI_E_LOGON_FAILURE));
}

TEST_F(Provider, ResolvingANameGivesItsNameAndAddressInOneBuffer) {
  char text[] = "\"Doe, John\" <john@example.org>";
  MapiRecipDesc* recip = nullptr;
  ASSERT_EQ(ResolveName(0, 0, text, 0, 0, &recip), ULONG(SUCCESS_SUCCESS));
  EXPECT_STREQ(recip->lpszName, "Doe, John");
  EXPECT_STREQ(recip->lpszAddress, "john@example.org");
  EXPECT_EQ(FreeBuffer(recip), ULONG(SUCCESS_SUCCESS));
  char bad[] = "no address here";
  EXPECT_EQ(ResolveName(0, 0, bad, 0, 0, &recip), ULONG(MAPI_E_UNKNOWN_RECIPIENT));
}

TEST_F(Provider, SendmailGetsEveryRecipientAsAnArgumentAndTheMessageWithoutBcc) {
  const std::string script = Path("sendmail");
  m_folder.Write("sendmail", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\ncat > \"$0.mail\"\nexit ${EXIT:-0}\n");
  ::chmod(script.c_str(), 0755);
  RegisterMailProgram("Local", QV_MAPI_PROVIDER,
                      {{"Transport", "sendmail"}, {"Sendmail", script}, {"From", "desk@example.org"}}, true);
  Message message;
  message.subject = "Grüße";
  message.body = "text";
  message.Recipient(MAPI_TO, "Doe, John", "john@example.org");
  message.Recipient(MAPI_BCC, "", "hidden@example.org");
  message.File(Path("page1.tif"), "a.tif");
  ASSERT_EQ(LogonAndSend(message.Get()), ULONG(SUCCESS_SUCCESS));
  EXPECT_EQ(m_folder.Read("sendmail.args"), "-oi\n-f\ndesk@example.org\n--\njohn@example.org\nhidden@example.org\n");
  const std::string mail = m_folder.Read("sendmail.mail");
  EXPECT_NE(mail.find("To: \"Doe, John\" <john@example.org>\r\n"), std::string::npos) << mail.substr(0, 400);
  EXPECT_EQ(mail.find("hidden@example.org"), std::string::npos);

  ScopedEnvironment refused("EXIT", "67");
  EXPECT_EQ(LogonAndSend(message.Get()), ULONG(MAPI_E_UNKNOWN_RECIPIENT));
  ScopedEnvironment failed("EXIT", "1");
  EXPECT_EQ(LogonAndSend(message.Get()), ULONG(MAPI_E_FAILURE));
}

TEST_F(Provider, TheDesktopProgramGetsTheMailWithCopiesOfTheAttachmentsUnderTheirShownNames) {
  m_folder.MakeFolder("bin");
  m_folder.Write("bin/xdg-email", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n");
  ::chmod(Path("bin/xdg-email").c_str(), 0755);
  RegisterMailProgram("Desktop", QV_MAPI_PROVIDER, {{"Transport", "desktop"}}, true);
  ScopedEnvironment cache("XDG_CACHE_HOME", Path("cache").c_str());
  Message message;
  message.subject = "Betreff";
  message.body = "Zeile 1\r\nZeile 2";
  message.Recipient(MAPI_TO, "Doe, John", "john@example.org");
  message.Recipient(MAPI_CC, "", "cc@example.org");
  message.File(Path("page1.tif"), "Akte-001.tif");
  {
    ScopedEnvironment path("PATH", "/nonexistent");
    LHANDLE session = 0;
    EXPECT_EQ(Logon(0, nullptr, nullptr, MAPI_LOGON_UI, 0, &session), ULONG(MAPI_E_LOGON_FAILURE));
  }
  ScopedEnvironment path("PATH", (Path("bin") + ":/usr/bin:/bin").c_str());
  ASSERT_EQ(LogonAndSend(message.Get()), ULONG(SUCCESS_SUCCESS));

  std::vector<std::string> args;
  std::istringstream lines(m_folder.Read("bin/xdg-email.args"));
  for (std::string line; std::getline(lines, line);) args.push_back(line);
  ASSERT_EQ(args.size(), 11u) << m_folder.Read("bin/xdg-email.args");
  EXPECT_EQ(std::vector<std::string>(args.begin(), args.begin() + 5),
            (std::vector<std::string> {"--utf8", "--subject", "Betreff", "--body", "Zeile 1"}));
  EXPECT_EQ(std::vector<std::string>(args.begin() + 6, args.begin() + 9),
            (std::vector<std::string> {"--cc", "cc@example.org", "--attach"}));
  EXPECT_EQ(args[10], "\"Doe, John\" <john@example.org>");
  const std::filesystem::path copy = args[9];
  EXPECT_EQ(copy.filename(), "Akte-001.tif");
  EXPECT_EQ(m_folder.Read(std::filesystem::relative(copy, m_folder.Native()).string()), AllByteValues());
}

}  // namespace
