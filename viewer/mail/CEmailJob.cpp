// The run of an e-mail job: the mail program switched, recipients and texts into the message,
// the log opened, then on the worker the pages combined or taken one by one and sent, each mail
// in its own logon; afterwards the previous mail program set back.
#include "viewer/mail/CEmailJob.h"

#include "platform/core/paths.h"
#include "viewer/mail/CEmailLog.h"
#include "viewer/mail/CSimpleMapiSession.h"
#include "viewer/mail/MailClients.h"
#include "viewer/model/CMainSettings.h"

#include <climits>
#include <filesystem>
#include <system_error>

namespace {

// The attachment's file name: no folder can be named through it.
CString SafeFileName(CString name) {
  for (int i = 0; i < name.GetLength(); ++i)
    if (name[i] == u'/' || name[i] == u'\\' || name[i] < 0x20) name.SetAt(i, u'-');
  return name.Trim().IsEmpty() || name == u"." || name == u".." ? CString(u"attachment") : name;
}

}  // namespace

void CEmailJob::SetOptions(const EmailSetting& options) {
  SetMailClient(options.strMailClient);
  SetSubject(options.strMailTitle);
  SetTo(options.strMailTo);
  SetCc(options.strMailCc);
  SetBcc(options.strMailBcc);
  SetAttachName(options.strAttachName);
  SetBody(options.strMailBody);
  SetCombineTiff(options.nCombineTIFF);
}

BOOL CEmailJob::CheckMailClient(const CString& name) {
  CString current;
  if (ReadDefaultMailClient(current)) {
    m_strPreviousMailClient = current;
    m_bPreviousKnown = TRUE;
    if (!name.IsEmpty() && current.Compare(name) == 0) return TRUE;
  }
  CString registered;
  if (name.IsEmpty() || !FindMailClient(name, registered)) {
    m_ui.ErrorMsg(u"MSG_DLG_EML_EMAILCLIENT_UNAVAILABLE", name);
    return FALSE;
  }
  if (!WriteDefaultMailClient(registered)) {
    m_ui.ErrorMsg(u"MSG_DLG_EML_EMAILCLIENT_SETERROR", name);
    return FALSE;
  }
  return TRUE;
}

BOOL CEmailJob::SetDefaultMailClient() {
  if (!m_bPreviousKnown) return TRUE;
  const BOOL written = WriteDefaultMailClient(m_strPreviousMailClient);
  CString readBack;
  if (!written && (!ReadDefaultMailClient(readBack) || readBack.Compare(m_strPreviousMailClient) != 0)) {
    m_ui.ErrorMsg(u"MSG_DLG_EML_EMAILCLIENT_SETERROR", m_strPreviousMailClient);
    return FALSE;
  }
  return TRUE;
}

BOOL CEmailJob::IsHotmail() const { return m_strMailClient.CompareNoCase(u"Hotmail") == 0; }

BOOL CEmailJob::Run(int& result) {
  result = kSuccess;
  if (m_nImageCount <= 0 || m_nFirstImage < 1 || !m_pfnGetImagePath || !CheckMailClient(m_strMailClient)) {
    result = kGeneralError;
    return FALSE;
  }
  m_message = {};
  AddRecipientList(m_message, m_strTo, 0);
  AddRecipientList(m_message, m_strCc, 1);
  AddRecipientList(m_message, m_strBcc, 2);
  m_message.strBody = m_strBody;
  m_message.strSubject = m_strSubject;

  int code = kSuccess;
  CEmailLog log;
  if (m_nSaveLog && !log.Open(m_strLogPath) && !m_ui.YesNoMsg(u"MSG_EMAIL_ERR_LOGFILEPATH")) code = kLogCancelled;

  Images images;
  for (int i = 0; code == kSuccess && i < m_nImageCount && m_nFirstImage <= INT_MAX - i; ++i)
    if (CString path = m_pfnGetImagePath(m_pPathContext, m_nFirstImage + i); !path.IsEmpty())
      images.emplace_back(m_nFirstImage + i, path);
  // Not one image of the range has a file: nothing could be sent, which is no success.
  if (code == kSuccess && images.empty()) code = kFileOperation;

  if (code == kSuccess) {
    const BOOL combined = m_nCombineTiff && m_nImageCount > 1;
    m_ui.RunWithProgress(static_cast<int>(images.size()), [&](const CEmailJobUI::Step& step) {
      code = combined ? SendCombined(images, log, step) : SendEach(images, log, step);
    });
  }
  log.Close();
  // A failure to set the previous program back is shown on its own: mail that went out stays sent.
  SetDefaultMailClient();
  result = code;
  return code == kSuccess;
}

int CEmailJob::SendOne(CSimpleMapiSession& session) {
  if (!session.Logon(m_strProfile, m_strPassword, m_pParent, FALSE)) return kLogonFailed;
  if (!session.SendMail(m_message, TRUE, TRUE, m_pParent)) {
    session.Logoff();
    return kSendFailed;
  }
  return session.Logoff() ? kSuccess : kLogoffFailed;
}

int CEmailJob::SendEach(const Images& images, CEmailLog& log, const CEmailJobUI::Step& step) {
  CSimpleMapiSession session(m_strProvider);
  for (const auto& [n, path] : images) {
    m_message.attachments.clear();
    CString shown;
    shown.Format(u"%s-%03d%s", SafeFileName(m_strAttachName).GetString(), n, u".tif");
    AddAttachment(m_message, path, shown);
    if (const int code = SendOne(session); code != kSuccess) return code;
    log.WriteSource(path);
    step();
  }
  return kSuccess;
}

int CEmailJob::SendCombined(const Images& images, CEmailLog& log, const CEmailJobUI::Step& step) {
  // A folder of the user's own: nobody else can put a file or a link where the pages go.
  std::error_code error;
  std::string folder = (std::filesystem::temp_directory_path(error) / "qv-mail-XXXXXX").string();
  if (!::mkdtemp(folder.data())) return kGeneralError;
  const CString name = SafeFileName(m_strAttachName) + u".tif";
  const CString target = PathFromNative(folder) + u"/" + name;

  int code = BuildCombined(images, target, step);
  if (code == kSuccess) {
    m_message.attachments.clear();
    AddAttachment(m_message, target, name);
    CSimpleMapiSession session(m_strProvider);
    code = SendOne(session);
  }
  if (code == kSuccess && log.IsOpen()) {
    log.WriteText(u"COMBINED TIFF BEGIN:\r\n");
    for (const auto& image : images) log.WriteSource(image.second);
    log.WriteText(u"COMBINED TIFF END\r\n");
  }
  // That one web mail program reads the file after the send has returned.
  if (!IsHotmail()) std::filesystem::remove_all(folder, error);
  return code;
}
