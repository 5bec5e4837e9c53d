#pragma once
// SimpleMapiMessage: the mail the e-mail job hands to CSimpleMapiSession: recipients by class,
// subject, text, and files to attach with the names the receiver sees.

#include "platform/core/CString.h"

#include <vector>

struct SimpleMapiRecipient {
  CString strAddress;
  CString strName;
};

struct SimpleMapiAttachment {
  CString strPath;
  CString strName;  // empty: the receiver sees the path's file name
};

struct SimpleMapiMessage {
  std::vector<SimpleMapiRecipient> to;
  std::vector<SimpleMapiRecipient> cc;
  std::vector<SimpleMapiRecipient> bcc;
  CString strSubject;
  CString strBody;
  std::vector<SimpleMapiAttachment> attachments;
  int nFlags { 0 };
};

// Adds the recipients of a text to the list of a class (0 To, 1 Cc, 2 Bcc; another class adds
// nothing). The text is cut at ',' and ';', except inside double quotes and angle brackets. A
// piece "Name <address>" gives that name (its enclosing quotes taken off) and address; a '<'
// without its '>' gives the name and an empty address; a piece without '<' is the address. An
// empty name takes the address. Blank pieces (and "<>") add nothing, and a piece without '@' or '<' that
// stands before one with a '<' is the first part of its name, so that "Doe, John <j@x.org>" is one
// recipient. TRUE: nothing here can fail.
BOOL AddRecipientList(SimpleMapiMessage& message, const CString& text, int recipientClass);

// One file, its path taken whole (a path may hold ',' or ';').
void AddAttachment(SimpleMapiMessage& message, const CString& path, const CString& name);
