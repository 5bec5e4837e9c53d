#include "viewer/mail/SimpleMapiMessage.h"

namespace {

// The pieces of a recipient text, cut at ',' and ';' outside quotes and angle brackets.
std::vector<CString> Pieces(const CString& text) {
  std::vector<CString> pieces(1);
  bool quoted = false, bracketed = false;
  for (int i = 0; i < text.GetLength(); ++i) {
    const WCHAR c = text[i];
    if (c == u'"' && !bracketed) quoted = !quoted;
    if (c == u'<' && !quoted) bracketed = true;
    if (c == u'>' && !quoted) bracketed = false;
    if ((c == u',' || c == u';') && !quoted && !bracketed)
      pieces.emplace_back();
    else
      pieces.back() += c;
  }
  return pieces;
}

CString Unquoted(CString name) {
  if (name.GetLength() >= 2 && name[0] == u'"' && name[name.GetLength() - 1] == u'"') {
    name = name.Mid(1, name.GetLength() - 2);
    name.Replace(u"\\\"", u"\"");
    name.Replace(u"\\\\", u"\\");
  }
  return name;
}

}  // namespace

BOOL AddRecipientList(SimpleMapiMessage& message, const CString& text, int recipientClass) {
  std::vector<SimpleMapiRecipient>* list = recipientClass == 0   ? &message.to
                                           : recipientClass == 1 ? &message.cc
                                           : recipientClass == 2 ? &message.bcc
                                                                 : nullptr;
  if (!list) return TRUE;
  const std::vector<CString> pieces = Pieces(text);
  CString carried;
  for (size_t i = 0; i < pieces.size(); ++i) {
    CString piece = carried.IsEmpty() ? pieces[i] : carried + pieces[i];
    carried.Empty();
    if (CString(piece).Trim().IsEmpty()) continue;
    const int open = piece.Find(u'<');
    if (open < 0 && piece.Find(u'@') < 0 && i + 1 < pieces.size() && pieces[i + 1].Find(u'<') >= 0) {
      // "Doe, John <j@x.org>": the surname belongs to the name that follows.
      carried = piece + u",";
      continue;
    }
    SimpleMapiRecipient recipient;
    if (open >= 0) {
      recipient.strName = Unquoted(piece.Left(open).Trim());
      const int close = piece.Find(u'>', open + 1);
      if (close > open) recipient.strAddress = piece.Mid(open + 1, close - open - 1).Trim();
    } else {
      recipient.strAddress = piece.Trim();
    }
    if (recipient.strName.IsEmpty()) recipient.strName = recipient.strAddress;
    if (!recipient.strName.IsEmpty()) list->push_back(std::move(recipient));
  }
  return TRUE;
}

void AddAttachment(SimpleMapiMessage& message, const CString& path, const CString& name) {
  message.attachments.push_back({path, name});
}
