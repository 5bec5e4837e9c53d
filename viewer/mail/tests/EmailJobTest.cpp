// The e-mail job end to end: pages of our own and of other writers put into one TIFF or sent one
// by one through the provider to a local SMTP server, the mail program switched and set back, the
// log, and the failures that must never read as "sent" nor leave a page file behind.
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "platform/core/registry.h"
#include "platform/core/tests/TestFolder.h"
#include "platform/mapi/tests/SmtpSink.h"
#include "viewer/mail/CEmailJob.h"
#include "viewer/mail/CEmailJobWindows.h"
#include "viewer/model/CMainSettings.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

namespace fs = std::filesystem;

class RecordingUI : public CEmailJobUI {
public:
  void ErrorMsg(LPCWSTR textKey, const CString& mailClient) override {
    boxes.push_back(CString(textKey).ToUtf8() + " " + mailClient.ToUtf8());
  }
  BOOL YesNoMsg(LPCWSTR textKey) override {
    boxes.push_back(CString(textKey).ToUtf8() + (yes ? " yes" : " no"));
    return yes;
  }
  void RunWithProgress(int count, const std::function<void(const Step& step)>& work) override {
    steps = 0;
    stepsAnnounced = count;
    work([this] { ++steps; });
  }

  std::vector<std::string> boxes;
  bool yes { true };
  int steps { 0 };
  int stepsAnnounced { 0 };
};

// The pages that tiffinfo finds in the file.
int TiffInfoPages(const std::string& path) {
  std::string out;
  if (FILE* pipe = ::popen(("tiffinfo '" + path + "' 2>&1").c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    if (::pclose(pipe) != 0) return -1;
  }
  int pages = 0;
  for (size_t at = 0; (at = out.find("TIFF Directory at offset", at)) != std::string::npos; ++at) ++pages;
  return pages;
}

// "(YYYY/MM/DD - hh:mm):<TAB>path<TAB>size<TAB>YYYY/MM/DD - hh:mm<TAB>", without its CR LF.
bool IsLogLine(const std::string& line, const std::string& path) {
  const auto stamp = [](std::string_view text) {
    constexpr std::string_view shape = "0000/00/00 - 00:00";
    if (text.size() != shape.size()) return false;
    for (size_t i = 0; i < shape.size(); ++i)
      if (shape[i] == '0' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i]) return false;
    return true;
  };
  const std::string size = std::to_string(std::filesystem::file_size(path));
  const std::string head = "(" + line.substr(1, 18) + "):\t" + path + "\t" + size + "\t";
  return line.size() == head.size() + 19 && line.rfind(head, 0) == 0 && stamp(line.substr(1, 18)) &&
         stamp(line.substr(head.size(), 18)) && line.back() == '\t';
}

CString DefaultClient() {
  HKEY key = nullptr;
  WCHAR buffer[256] = {};
  DWORD size = sizeof(buffer) - 2, type = 0;
  RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Clients\\Mail", 0, KEY_READ, &key);
  RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size);
  RegCloseKey(key);
  return CString(buffer);
}

class EmailJob : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_sink.IsRunning());
    m_folder.MakeFolder("tmp");
    m_folder.MakeFolder("pages");
    m_folder.MakeFolder("log");
    // The previous default, set back after each run, and the program the job is to use.
    RegisterMailProgram("Other", QV_MAPI_PROVIDER, {{"Transport", "smtp"}, {"Server", "smtp://127.0.0.1:1"}}, true);
    UseServer(m_sink.Url());
    // Pages: Group 4 and JPEG of our own writing, and a Group 4 page of another writer.
    CQVBitmapHandle bilevel, colour;
    ASSERT_TRUE(bilevel.Create(320, 200, 1));
    for (int x = 10; x < 300; ++x) bilevel.SetPixelIndex(x, 50 + x / 10, 1);
    ASSERT_TRUE(colour.Create(160, 120, 24));
    for (int x = 0; x < 160; ++x) colour.SetPixelColor(x, x % 120, RGB(200, x, 40));
    WritePage("pages/g4.tif", bilevel, 4);
    WritePage("pages/jpeg.tif", colour, 7);
    fs::copy_file(fs::path(QV_TESTDATA_DIR) / "tiff" / "G4.TIF", m_folder.Native("pages/foreign.tif"));
    m_paths = {Page("g4.tif"), Page("jpeg.tif"), Page("foreign.tif")};
  }

  void UseServer(const std::string& url, const std::string& name = "Office Mail") {
    RegisterMailProgram(name, QV_MAPI_PROVIDER, {{"Transport", "smtp"}, {"Server", url}, {"From", "desk@example.org"}},
                        false);
  }
  void WritePage(const std::string& relative, CQVBitmapHandle& bitmap, DWORD compression) {
    CQVTiffFile file;
    file.SetFileForOperation(m_folder.Wide(relative));
    ASSERT_TRUE(file.EncodeTif(0, bitmap, nullptr, nullptr, compression)) << relative;
  }
  CString Page(const std::string& name) { return m_folder.Wide("pages/" + name); }

  static CString PathOf(void* context, int image) {
    const auto* paths = static_cast<std::vector<CString>*>(context);
    return image >= 1 && image <= int(paths->size()) ? (*paths)[image - 1] : CString();
  }

  // A job over all pages as the dialog's options would set it up.
  CEmailJob& Job(int combine, CEmailJobUI* ui = nullptr) {
    m_job = std::make_unique<CEmailJob>(ui ? *ui : m_ui);
    m_job->m_pPathContext = &m_paths;
    m_job->m_pfnGetImagePath = PathOf;
    m_job->SetProvider(CString::FromUtf8(QV_MAPI_PROVIDER));
    // The options as the e-mail dialog leaves them, the formulas filled in.
    EmailSetting options;
    options.strMailClient = u"office mail";
    options.strMailTitle = u"Akte Müller";
    options.strMailTo = u"Doe, John <john@example.org>";
    options.strMailCc = u"Desk <desk@example.org>";
    options.strMailBcc = u"archive@example.org";
    options.strMailBody = u"Grüße\r\n";
    options.strAttachName = u"Akte Müller";
    options.nCombineTIFF = combine;
    m_job->SetOptions(options);
    m_job->SetRange(1, int(m_paths.size()));
    m_job->SetLog(1, m_folder.Wide("log/20260101.log"));
    return *m_job;
  }

  // What the folder of temporary files holds: pages left behind.
  std::set<std::string> Leftovers() { return m_folder.Names("tmp"); }
  std::string Log() { return m_folder.Read("log/20260101.log"); }

  TestFolder m_folder;
  ScopedEnvironment m_registry { "QV_REGISTRY_DIR", m_folder.Native("config").c_str() };
  ScopedEnvironment m_temp { "TMPDIR", m_folder.Native("tmp").c_str() };
  SmtpSink m_sink;
  RecordingUI m_ui;
  std::vector<CString> m_paths;
  std::unique_ptr<CEmailJob> m_job;
};

TEST_F(EmailJob, CombinedPagesArriveAsOneTiffWithOwnPagesCopiedAsStored) {
  int result = 99;
  ASSERT_TRUE(Job(1).Run(result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(m_ui.boxes.empty()) << m_ui.boxes.front();
  EXPECT_EQ(m_ui.steps, 3);

  const auto mails = m_sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].subject, "Akte Müller");
  EXPECT_EQ(mails[0].to, (std::vector<ReceivedAddress> {{"Doe, John", "john@example.org"}}));
  EXPECT_EQ(mails[0].cc, (std::vector<ReceivedAddress> {{"Desk", "desk@example.org"}}));
  EXPECT_FALSE(mails[0].bccHeader);
  EXPECT_EQ(mails[0].recipients,
            (std::vector<std::string> {"john@example.org", "desk@example.org", "archive@example.org"}));
  EXPECT_EQ(mails[0].body, "Grüße\r\n");
  ASSERT_EQ(mails[0].attachments.count("Akte Müller.tif"), 1u);
  m_folder.Write("received.tif", mails[0].attachments.at("Akte Müller.tif"));

  EXPECT_EQ(TiffInfoPages(m_folder.Native("received.tif")), 3);

  // Our own JPEG and Group 4 data went over unchanged; the other writer's page was coded anew.
  CQVTiffFile received, jpeg, g4;
  received.SetFileForOperation(m_folder.Wide("received.tif"));
  jpeg.SetFileForOperation(Page("jpeg.tif"));
  g4.SetFileForOperation(Page("g4.tif"));
  BYTE *a = nullptr, *b = nullptr;
  DWORD sizeA = 0, sizeB = 0;
  int w = 0, h = 0, x = 0, y = 0;
  ASSERT_TRUE(received.ReadJpegClump(1, a, sizeA, x, y));
  ASSERT_TRUE(jpeg.ReadJpegClump(0, b, sizeB, x, y));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(a), sizeA), std::string(reinterpret_cast<char*>(b), sizeB));
  std::free(a);
  std::free(b);
  ASSERT_TRUE(received.ReadFaxG4Clump(0, a, sizeA, w, h, x, y));
  ASSERT_TRUE(g4.ReadFaxG4Clump(0, b, sizeB, w, h, x, y));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(a), sizeA), std::string(reinterpret_cast<char*>(b), sizeB));
  std::free(a);
  std::free(b);
  CQVBitmapHandle foreign, copied;
  CQVTiffFile original;
  original.SetFileForOperation(Page("foreign.tif"));
  ASSERT_TRUE(original.DecodeTif(0, foreign));
  ASSERT_TRUE(received.DecodeTif(2, copied));
  EXPECT_EQ(copied.GetWidth(), foreign.GetWidth());
  EXPECT_EQ(copied.GetHeight(), foreign.GetHeight());

  EXPECT_TRUE(Leftovers().empty());
  EXPECT_EQ(DefaultClient(), u"Other");
  const std::string log = Log();
  EXPECT_EQ(log.rfind("COMBINED TIFF BEGIN:\r\n", 0), 0u) << log;
  const size_t at = log.find("/pages/g4.tif\t");
  ASSERT_NE(at, std::string::npos) << log;
  const size_t start = log.rfind("\r\n", at) + 2, end = log.find("\r\n", at);
  EXPECT_TRUE(IsLogLine(log.substr(start, end - start), m_folder.Native("pages/g4.tif"))) << log;
  EXPECT_NE(log.find("foreign.tif\t"), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 19), "COMBINED TIFF END\r\n");
}

TEST_F(EmailJob, WithItsWindowsTheSendingRunsOnAWorkerBehindTheProgressWindow) {
  CEmailJobWindows windows;
  int result = 99;
  ASSERT_TRUE(Job(1, &windows).Run(result));
  EXPECT_EQ(result, 0);
  ASSERT_EQ(m_sink.Mails().size(), 1u);
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(EmailJob, AnImageWithoutAFileAddsNoPageAndNoStep) {
  m_paths[1].Empty();
  int result = 99;
  ASSERT_TRUE(Job(1).Run(result));
  EXPECT_EQ(m_ui.steps, 2);
  const auto mails = m_sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  m_folder.Write("received.tif", mails[0].attachments.at("Akte Müller.tif"));
  EXPECT_EQ(TiffInfoPages(m_folder.Native("received.tif")), 2);
}

TEST_F(EmailJob, ARangeWithoutAnyFileSendsNothingAndSaysSo) {
  for (CString& path : m_paths) path.Empty();
  for (const int combine : {0, 1}) {
    int result = 0;
    EXPECT_FALSE(Job(combine).Run(result)) << combine;
    EXPECT_EQ(result, CEmailJob::kFileOperation) << combine;
  }
  EXPECT_TRUE(m_sink.Mails().empty());
  EXPECT_EQ(DefaultClient(), u"Other");
}

TEST_F(EmailJob, OneMailPerImageCarriesTheFileItselfUnderANumberedName) {
  m_paths.pop_back();
  int result = 99;
  ASSERT_TRUE(Job(0).Run(result));
  auto mails = m_sink.Mails();
  ASSERT_EQ(mails.size(), 2u);
  EXPECT_EQ(mails[0].attachments.at("Akte Müller-001.tif"), m_folder.Read("pages/g4.tif"));
  EXPECT_EQ(mails[1].attachments.at("Akte Müller-002.tif"), m_folder.Read("pages/jpeg.tif"));
  const std::string log = Log();
  EXPECT_EQ(log.find("COMBINED"), std::string::npos);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);

  // A combined run of one image is a mail of that image, named by its number.
  m_paths = {Page("jpeg.tif"), Page("g4.tif")};
  Job(1).SetRange(2, 1);
  ASSERT_TRUE(m_job->Run(result));
  mails = m_sink.Mails();
  ASSERT_EQ(mails.size(), 3u);
  EXPECT_EQ(mails[2].attachments.at("Akte Müller-002.tif"), m_folder.Read("pages/g4.tif"));
}

TEST_F(EmailJob, AFailedSendingIsReportedLeavesNoPageBehindAndSetsTheProgramBack) {
  struct Case {
    const char* what;
    int combine;
    std::string server;
    const char16_t* to;
    int result;
  };
  SmtpSink dropping(SmtpSink::Mode::Drop);
  const std::string refused = "smtp://127.0.0.1:" + std::to_string(SmtpSink::UnusedPort());
  const Case cases[] = {
      {"no server, combined", 1, refused, u"a@example.org", CEmailJob::kLogonFailed},
      {"no server, one by one", 0, refused, u"a@example.org", CEmailJob::kLogonFailed},
      {"recipient refused, combined", 1, m_sink.Url(), u"nobody@example.org", CEmailJob::kSendFailed},
      {"recipient refused, one by one", 0, m_sink.Url(), u"nobody@example.org", CEmailJob::kSendFailed},
      {"server drops the message", 1, dropping.Url(), u"a@example.org", CEmailJob::kSendFailed},
      {"no recipient at all", 1, m_sink.Url(), u" ; ", CEmailJob::kSendFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UseServer(c.server);
    Job(c.combine).SetTo(c.to);
    m_job->SetCc(u"");
    m_job->SetBcc(u"");
    int result = 0;
    EXPECT_FALSE(m_job->Run(result));
    EXPECT_EQ(result, c.result);
    EXPECT_TRUE(m_sink.Mails().empty());
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(DefaultClient(), u"Other");
    EXPECT_EQ(Log(), "");
  }
}

TEST(EmailJobResult, EachCodeHasTheMessageItsCallerShows) {
  const std::pair<int, const char16_t*> cases[] = {
      {0, nullptr},
      {CEmailJob::kGeneralError, u"MSG_EMAIL_ERR_GENERALEMAILERR"},
      {-2, u"MSG_EMAIL_ERR_GENERALEMAILERR"},
      {CEmailJob::kFileOperation, u"MSG_EMAIL_ERR_FILEOPERATION"},
      {CEmailJob::kLogonFailed, u"MSG_EMAIL_ERR_LOGONFAILED"},
      {CEmailJob::kSendFailed, u"MSG_EMAIL_ERR_SENDFAILED"},
      {CEmailJob::kLogoffFailed, u"MSG_EMAIL_ERR_SENDFAILED"},
      {CEmailJob::kLogCancelled, u"MSG_EMAIL_ERR_FILEOPERATION"},
  };
  for (const auto& [code, key] : cases)
    EXPECT_EQ(CString(CEmailJob::GetErrorKey(code) ? CEmailJob::GetErrorKey(code) : u""), CString(key ? key : u""))
        << code;
}

TEST_F(EmailJob, AProgramThatIsNotRegisteredSendsNothing) {
  Job(1).SetMailClient(u"Nonesuch");
  int result = 0;
  EXPECT_FALSE(m_job->Run(result));
  EXPECT_EQ(result, CEmailJob::kGeneralError);
  EXPECT_EQ(m_ui.boxes, (std::vector<std::string> {"MSG_DLG_EML_EMAILCLIENT_UNAVAILABLE Nonesuch"}));
  EXPECT_TRUE(m_sink.Mails().empty());
  EXPECT_EQ(DefaultClient(), u"Other");

  Job(1).SetRange(1, 0);
  m_ui.boxes.clear();
  EXPECT_FALSE(m_job->Run(result));
  EXPECT_EQ(result, CEmailJob::kGeneralError);
  EXPECT_TRUE(m_ui.boxes.empty());
}

TEST_F(EmailJob, ALogThatCannotBeOpenedAsksWhetherToSendWithoutIt) {
  for (const bool yes : {false, true}) {
    m_ui.yes = yes;
    m_ui.boxes.clear();
    Job(1).SetLog(1, m_folder.Wide("missing/20260101.log"));
    int result = 0;
    EXPECT_EQ(bool(m_job->Run(result)), yes);
    EXPECT_EQ(result, yes ? 0 : CEmailJob::kLogCancelled);
    const std::string question = std::string("MSG_EMAIL_ERR_LOGFILEPATH ") + (yes ? "yes" : "no");
    EXPECT_EQ(m_ui.boxes, (std::vector<std::string> {question}));
    EXPECT_EQ(m_sink.Mails().size(), yes ? 1u : 0u);
    EXPECT_EQ(DefaultClient(), u"Other");
  }
}

TEST_F(EmailJob, TheWebMailProgramKeepsTheCombinedFile) {
  UseServer(m_sink.Url(), "Hotmail");
  Job(1).SetMailClient(u"HOTMAIL");
  int result = 0;
  ASSERT_TRUE(m_job->Run(result));
  const auto left = Leftovers();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(m_folder.Names("tmp/" + *left.begin()), (std::set<std::string> {"Akte Müller.tif"}));
}

}  // namespace
