#pragma once
// Simple MAPI: the mail interface that the mail provider library ("MAPI32.DLL" in the program's
// folder) exports and that its callers bind at run time with LoadLibraryW and GetProcAddress.
//
// The records and calls keep their published shapes, with pointer-sized members where the
// interface holds pointers. Texts are UTF-8. ULONG results are the codes below.

#include "platform/core/wintypes.h"

using LHANDLE = ULONG_PTR;
using LPLHANDLE = LHANDLE*;
using FLAGS = ULONG;

#define SUCCESS_SUCCESS 0
#define MAPI_USER_ABORT 1
#define MAPI_E_FAILURE 2
#define MAPI_E_LOGON_FAILURE 3
#define MAPI_E_LOGIN_FAILURE MAPI_E_LOGON_FAILURE
#define MAPI_E_DISK_FULL 4
#define MAPI_E_INSUFFICIENT_MEMORY 5
#define MAPI_E_ACCESS_DENIED 6
#define MAPI_E_TOO_MANY_SESSIONS 8
#define MAPI_E_TOO_MANY_FILES 9
#define MAPI_E_TOO_MANY_RECIPIENTS 10
#define MAPI_E_ATTACHMENT_NOT_FOUND 11
#define MAPI_E_ATTACHMENT_OPEN_FAILURE 12
#define MAPI_E_ATTACHMENT_WRITE_FAILURE 13
#define MAPI_E_UNKNOWN_RECIPIENT 14
#define MAPI_E_BAD_RECIPTYPE 15
#define MAPI_E_NO_MESSAGES 16
#define MAPI_E_INVALID_MESSAGE 17
#define MAPI_E_TEXT_TOO_LARGE 18
#define MAPI_E_INVALID_SESSION 19
#define MAPI_E_TYPE_NOT_SUPPORTED 20
#define MAPI_E_AMBIGUOUS_RECIPIENT 21
#define MAPI_E_MESSAGE_IN_USE 22
#define MAPI_E_NETWORK_FAILURE 23
#define MAPI_E_INVALID_EDITFIELDS 24
#define MAPI_E_INVALID_RECIPS 25
#define MAPI_E_NOT_SUPPORTED 26

#define MAPI_LOGON_UI 0x00000001
#define MAPI_NEW_SESSION 0x00000002
#define MAPI_DIALOG 0x00000008
#define MAPI_FORCE_DOWNLOAD 0x00001000

#define MAPI_ORIG 0
#define MAPI_TO 1
#define MAPI_CC 2
#define MAPI_BCC 3

struct MapiRecipDesc {
  ULONG ulReserved;
  ULONG ulRecipClass;  // MAPI_TO, MAPI_CC, MAPI_BCC (MAPI_ORIG for the originator)
  LPSTR lpszName;
  LPSTR lpszAddress;   // may be null: the name is then read as "Name <address>" or an address
  ULONG ulEIDSize;
  LPVOID lpEntryID;
};
using lpMapiRecipDesc = MapiRecipDesc*;

struct MapiFileDesc {
  ULONG ulReserved;
  ULONG flFlags;
  ULONG nPosition;     // ignored: attachments follow the text
  LPSTR lpszPathName;  // the file to attach
  LPSTR lpszFileName;  // the name the receiver sees; null: the path's file name
  LPVOID lpFileType;
};
using lpMapiFileDesc = MapiFileDesc*;

struct MapiMessage {
  ULONG ulReserved;
  LPSTR lpszSubject;
  LPSTR lpszNoteText;
  LPSTR lpszMessageType;
  LPSTR lpszDateReceived;
  LPSTR lpszConversationID;
  FLAGS flFlags;
  lpMapiRecipDesc lpOriginator;  // null: the sender of the profile
  ULONG nRecipCount;
  lpMapiRecipDesc lpRecips;
  ULONG nFileCount;
  lpMapiFileDesc lpFiles;
};
using lpMapiMessage = MapiMessage*;

// The eight entry points, by the names GetProcAddress finds them under.
using LPMAPILOGON = ULONG (*)(ULONG_PTR uiParam, LPSTR profileName, LPSTR password, FLAGS flags, ULONG reserved,
                              LPLHANDLE session);
using LPMAPILOGOFF = ULONG (*)(LHANDLE session, ULONG_PTR uiParam, FLAGS flags, ULONG reserved);
using LPMAPISENDMAIL = ULONG (*)(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message, FLAGS flags,
                                 ULONG reserved);
using LPMAPIRESOLVENAME = ULONG (*)(LHANDLE session, ULONG_PTR uiParam, LPSTR name, FLAGS flags, ULONG reserved,
                                    lpMapiRecipDesc* recip);
using LPMAPIFREEBUFFER = ULONG (*)(LPVOID buffer);
using LPMAPIREADMAIL = ULONG (*)(LHANDLE session, ULONG_PTR uiParam, LPSTR messageId, FLAGS flags, ULONG reserved,
                                 lpMapiMessage* message);
using LPMAPIFINDNEXT = ULONG (*)(LHANDLE session, ULONG_PTR uiParam, LPSTR messageType, LPSTR seedMessageId,
                                 FLAGS flags, ULONG reserved, LPSTR messageId);
using LPMAPIDELETEMAIL = ULONG (*)(LHANDLE session, ULONG_PTR uiParam, LPSTR messageId, FLAGS flags,
                                   ULONG reserved);
