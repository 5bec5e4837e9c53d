#pragma once
// CEmailJob: sends a run of page images by e-mail through the mail provider, as one combined
// multi-page TIFF or as one mail per image, with the chosen mail program made the default for the
// time of the sending, and writes the day's log when asked.
//
// The caller fills the record (after the e-mail dialog), sets the path function and calls Run on
// the window thread; the pages are put together and sent while the UI shows the progress
// (CEmailJobUI::RunWithProgress, which CEmailJobWindows runs on a worker thread).

#include "platform/core/CString.h"
#include "viewer/mail/CEmailJobUI.h"
#include "viewer/mail/SimpleMapiMessage.h"

#include <utility>
#include <vector>

class CEmailLog;
class CSimpleMapiSession;
class CWnd;
struct EmailSetting;

class CEmailJob {
public:
  // The file path of a 1-based image number; empty when the image has none.
  using GetImagePathProc = CString (*)(void* context, int image);

  // Result codes (Run's out value).
  enum {
    kSuccess = 0,
    kGeneralError = -1,   // job incomplete, mail program not available or not switchable
    kFileOperation = -4,  // a page could not be read or written
    kLogonFailed = -5,
    kSendFailed = -6,
    kLogoffFailed = -7,
    kLogCancelled = -8,   // the log could not be opened and the user chose not to go on
  };

  // The job asks the user through `ui`, which it does not own.
  explicit CEmailJob(CEmailJobUI& ui) : m_ui(ui) {}

  void SetSubject(const CString& text) { m_strSubject = text; }
  void SetTo(const CString& text) { m_strTo = text; }
  void SetCc(const CString& text) { m_strCc = text; }
  void SetBcc(const CString& text) { m_strBcc = text; }
  void SetAttachName(const CString& text) { m_strAttachName = text; }
  void SetBody(const CString& text) { m_strBody = text; }
  void SetMailClient(const CString& name) { m_strMailClient = name; }
  void SetCombineTiff(int combine) { m_nCombineTiff = combine; }
  void SetRange(int first, int count) {
    m_nFirstImage = first;
    m_nImageCount = count;
  }
  void SetLog(int save, const CString& path) {
    m_nSaveLog = save;
    m_strLogPath = path;
  }
  // The mail program, the texts and the combining of the options the user confirmed, their
  // formulas already filled in for the document. The range and the log are set on their own.
  void SetOptions(const EmailSetting& options);
  void SetParent(CWnd* parent) { m_pParent = parent; }
  // The mail provider's file (tests name another).
  void SetProvider(const CString& library) { m_strProvider = library; }

  void* m_pPathContext { nullptr };
  GetImagePathProc m_pfnGetImagePath { nullptr };

  // TRUE after a complete run (out 0); FALSE with a code of the table otherwise. A failure after
  // the sending, setting the previous mail program back, is reported on its own and does not turn
  // mail that went out into a failed run.
  BOOL Run(int& result);

  // The message a caller shows for a result code (caption "QVKERNEL_DEFAULTCAPTION_ERRORMSG");
  // null for success. Here, so that the windows that show it need not link the job.
  static constexpr LPCWSTR GetErrorKey(int result) {
    switch (result) {
      case kSuccess: return nullptr;
      case kFileOperation:
      case kLogCancelled: return u"MSG_EMAIL_ERR_FILEOPERATION";
      case kLogonFailed: return u"MSG_EMAIL_ERR_LOGONFAILED";
      case kSendFailed:
      case kLogoffFailed: return u"MSG_EMAIL_ERR_SENDFAILED";
      default: return u"MSG_EMAIL_ERR_GENERALEMAILERR";
    }
  }

  // Makes the named program the default under "Software\Clients\Mail" (remembering the previous
  // one); FALSE, with the error shown, when it is not registered or cannot be made the default.
  BOOL CheckMailClient(const CString& name);
  // Sets the previous default back; FALSE, with the error shown, when that fails.
  BOOL SetDefaultMailClient();

private:
  // Image numbers with their files, asked of the path function on the window thread.
  using Images = std::vector<std::pair<int, CString>>;

  // The sending, on the worker: a code of the table.
  int SendCombined(const Images& images, CEmailLog& log, const CEmailJobUI::Step& step);
  int SendEach(const Images& images, CEmailLog& log, const CEmailJobUI::Step& step);
  int SendOne(CSimpleMapiSession& session);
  // Writes the pages into the combined file.
  int BuildCombined(const Images& images, const CString& target, const CEmailJobUI::Step& step);
  BOOL IsHotmail() const;

  CEmailJobUI& m_ui;
  CWnd* m_pParent { nullptr };
  int m_nImageCount { 0 };
  int m_nFirstImage { -1 };
  CString m_strSubject;
  CString m_strTo;
  CString m_strCc;
  CString m_strBcc;
  CString m_strAttachName;
  CString m_strBody;
  CString m_strMailClient;
  CString m_strPreviousMailClient;
  BOOL m_bPreviousKnown { FALSE };
  int m_nCombineTiff { 1 };
  CString m_strProfile;   // nothing sets it: the logon goes to the default program
  CString m_strPassword;
  int m_nSaveLog { 0 };
  CString m_strLogPath;
  CString m_strProvider { u"MAPI32.DLL" };
  SimpleMapiMessage m_message;
};
