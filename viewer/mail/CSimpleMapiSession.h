#pragma once
// CSimpleMapiSession: the viewer's binding to the mail provider ("MAPI32.DLL", loaded at run
// time). It logs on, sends one SimpleMapiMessage and logs off; texts go to the provider as UTF-8.
// While the provider is missing or lacks one of its eight entry points nothing is bound, and
// every call answers FALSE without reaching it.

#include "platform/mapi/mapi.h"
#include "viewer/mail/SimpleMapiMessage.h"

class CWnd;

class CSimpleMapiSession {
public:
  // Loads the provider by its file name (tests name another library).
  explicit CSimpleMapiSession(LPCWSTR library = u"MAPI32.DLL");
  // Logs an open session off and frees the provider.
  virtual ~CSimpleMapiSession();
  CSimpleMapiSession(const CSimpleMapiSession&) = delete;
  CSimpleMapiSession& operator=(const CSimpleMapiSession&) = delete;

  BOOL IsLoaded() const { return m_hLibrary != nullptr; }
  BOOL IsLoggedOn() const { return m_hSession != 0; }

  // An empty profile logs on to the default mail program, with the provider's own dialog where
  // it has one; when that fails (not cancelled), a shared session is tried. A named profile that
  // fails is not replaced by a shared one: the mail would go out under another sender than asked.
  BOOL Logon(const CString& profile, const CString& password, CWnd* parent, BOOL forceDownload);
  // Sends the message in the open session (or one the provider opens for it): To, Cc, Bcc
  // recipients, with `resolveNames` each name first resolved by the provider, and the files.
  BOOL SendMail(SimpleMapiMessage& message, BOOL resolveNames, BOOL showDialog, CWnd* parent);
  // FALSE without an open session; the session is closed either way.
  BOOL Logoff();
  BOOL ResolveName(const CString& name, SimpleMapiRecipient& resolved);

  // The provider's last code other than success; 0 after a success.
  ULONG GetLastError() const { return m_nLastError; }

private:
  void Load(LPCWSTR library);
  void Unload();
  static ULONG_PTR WindowOf(CWnd* parent);

  HMODULE m_hLibrary { nullptr };
  LHANDLE m_hSession { 0 };
  LPMAPILOGON m_pLogon { nullptr };
  LPMAPILOGOFF m_pLogoff { nullptr };
  LPMAPISENDMAIL m_pSendMail { nullptr };
  LPMAPIRESOLVENAME m_pResolveName { nullptr };
  LPMAPIFREEBUFFER m_pFreeBuffer { nullptr };
  LPMAPIREADMAIL m_pReadMail { nullptr };
  LPMAPIFINDNEXT m_pFindNext { nullptr };
  LPMAPIDELETEMAIL m_pDeleteMail { nullptr };
  ULONG m_nLastError { 0 };
};
