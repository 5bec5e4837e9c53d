#include "viewer/mail/CSimpleMapiSession.h"

#include "platform/core/module.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/afx/CWnd.h"

#include <string>

namespace {

template <typename Function>
bool Bind(HMODULE library, const char* name, Function& pointer) {
  pointer = reinterpret_cast<Function>(GetProcAddress(library, name));
  return pointer != nullptr;
}

// A text for the provider: its UTF-8 bytes, which live as long as the holder.
struct Utf8 {
  explicit Utf8(const CString& text) : bytes(text.ToUtf8()) {}
  LPSTR Get() { return bytes.data(); }
  std::string bytes;
};

}  // namespace

CSimpleMapiSession::CSimpleMapiSession(LPCWSTR library) { Load(library); }

CSimpleMapiSession::~CSimpleMapiSession() {
  if (m_hSession && m_pLogoff) m_nLastError = m_pLogoff(m_hSession, 0, 0, 0);
  m_hSession = 0;
  Unload();
}

void CSimpleMapiSession::Load(LPCWSTR library) {
  m_hLibrary = LoadLibraryW(library);
  if (!m_hLibrary) return;
  const bool complete = Bind(m_hLibrary, "MAPILogon", m_pLogon) & Bind(m_hLibrary, "MAPILogoff", m_pLogoff) &
                        Bind(m_hLibrary, "MAPISendMail", m_pSendMail) &
                        Bind(m_hLibrary, "MAPIResolveName", m_pResolveName) &
                        Bind(m_hLibrary, "MAPIFreeBuffer", m_pFreeBuffer) &
                        Bind(m_hLibrary, "MAPIReadMail", m_pReadMail) &
                        Bind(m_hLibrary, "MAPIFindNext", m_pFindNext) &
                        Bind(m_hLibrary, "MAPIDeleteMail", m_pDeleteMail);
  if (!complete) Unload();
}

void CSimpleMapiSession::Unload() {
  if (m_hLibrary) FreeLibrary(m_hLibrary);
  m_hLibrary = nullptr;
  m_pLogon = nullptr;
  m_pLogoff = nullptr;
  m_pSendMail = nullptr;
  m_pResolveName = nullptr;
  m_pFreeBuffer = nullptr;
  m_pReadMail = nullptr;
  m_pFindNext = nullptr;
  m_pDeleteMail = nullptr;
}

ULONG_PTR CSimpleMapiSession::WindowOf(CWnd* parent) {
  if (!parent) parent = AfxGetMainWnd();
  return parent ? reinterpret_cast<ULONG_PTR>(parent->GetSafeHwnd()) : 0;
}

BOOL CSimpleMapiSession::Logon(const CString& profile, const CString& password, CWnd* parent, BOOL forceDownload) {
  if (!m_pLogon) return FALSE;
  if (m_hSession) {
    m_nLastError = m_pLogoff(m_hSession, 0, 0, 0);
    m_hSession = 0;
  }
  Utf8 profileText(profile), passwordText(password);
  ULONG_PTR window = 0;
  FLAGS flags = MAPI_NEW_SESSION;
  if (profile.IsEmpty()) {
    window = WindowOf(parent);
    if (window) flags |= MAPI_LOGON_UI;
  }
  if (forceDownload) flags |= MAPI_FORCE_DOWNLOAD;
  ULONG result = profile.IsEmpty() ? m_pLogon(window, nullptr, nullptr, flags, 0, &m_hSession)
                                   : m_pLogon(0, profileText.Get(), passwordText.Get(), flags, 0, &m_hSession);
  if (result == MAPI_USER_ABORT) return FALSE;
  if (result != SUCCESS_SUCCESS && profile.IsEmpty()) result = m_pLogon(window, nullptr, nullptr, 0, 0, &m_hSession);
  if (result != SUCCESS_SUCCESS) {
    m_hSession = 0;
    m_nLastError = result;
    return FALSE;
  }
  m_nLastError = 0;
  return TRUE;
}

BOOL CSimpleMapiSession::ResolveName(const CString& name, SimpleMapiRecipient& resolved) {
  if (!m_pResolveName || !m_pFreeBuffer) return FALSE;
  Utf8 text(name);
  MapiRecipDesc* recip = nullptr;
  const ULONG result = m_pResolveName(m_hSession, 0, text.Get(), 0, 0, &recip);
  if (result != SUCCESS_SUCCESS || !recip) {
    m_nLastError = result ? result : ULONG(MAPI_E_FAILURE);
    return FALSE;
  }
  resolved.strName = CString::FromUtf8(recip->lpszName ? recip->lpszName : "");
  resolved.strAddress = CString::FromUtf8(recip->lpszAddress ? recip->lpszAddress : "");
  m_pFreeBuffer(recip);
  return TRUE;
}

BOOL CSimpleMapiSession::SendMail(SimpleMapiMessage& message, BOOL resolveNames, BOOL showDialog, CWnd* parent) {
  if (!m_pSendMail) return FALSE;
  std::vector<Utf8> texts;
  const size_t count = message.to.size() + message.cc.size() + message.bcc.size() + message.attachments.size();
  texts.reserve(2 * count + 2);  // the records point into these texts: no reallocation
  const auto keep = [&texts](const CString& text) {
    texts.emplace_back(text);
    return texts.back().Get();
  };

  std::vector<MapiRecipDesc> recips;
  const std::pair<std::vector<SimpleMapiRecipient>*, ULONG> classes[] = {
      {&message.to, MAPI_TO}, {&message.cc, MAPI_CC}, {&message.bcc, MAPI_BCC}};
  for (const auto& [list, recipClass] : classes) {
    for (SimpleMapiRecipient& recipient : *list) {
      SimpleMapiRecipient resolved;
      if (resolveNames && ResolveName(recipient.strName, resolved)) recipient = resolved;
      MapiRecipDesc recip {};
      recip.ulRecipClass = recipClass;
      recip.lpszName = keep(recipient.strName);
      recip.lpszAddress = keep(recipient.strAddress);
      recips.push_back(recip);
    }
  }
  std::vector<MapiFileDesc> files;
  for (const SimpleMapiAttachment& attachment : message.attachments) {
    MapiFileDesc file {};
    file.nPosition = 0xFFFFFFFFu;
    file.lpszPathName = keep(attachment.strPath);
    file.lpszFileName = keep(attachment.strName.IsEmpty() ? attachment.strPath : attachment.strName);
    files.push_back(file);
  }
  MapiMessage mapi {};
  mapi.lpszSubject = keep(message.strSubject);
  mapi.lpszNoteText = keep(message.strBody);
  mapi.flFlags = static_cast<FLAGS>(message.nFlags);
  mapi.nRecipCount = static_cast<ULONG>(recips.size());
  mapi.lpRecips = recips.empty() ? nullptr : recips.data();
  mapi.nFileCount = static_cast<ULONG>(files.size());
  mapi.lpFiles = files.empty() ? nullptr : files.data();

  FLAGS flags = m_hSession ? 0 : MAPI_LOGON_UI;
  ULONG_PTR window = 0;
  if (showDialog) {
    flags |= MAPI_DIALOG;
    window = WindowOf(parent);
  }
  const ULONG result = m_pSendMail(m_hSession, window, &mapi, flags, 0);
  m_nLastError = result;
  return result == SUCCESS_SUCCESS;
}

BOOL CSimpleMapiSession::Logoff() {
  if (!m_hSession || !m_pLogoff) return FALSE;
  const ULONG result = m_pLogoff(m_hSession, 0, 0, 0);
  m_hSession = 0;
  m_nLastError = result;
  return result == SUCCESS_SUCCESS;
}
