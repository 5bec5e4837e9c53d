#pragma once
// The MD5 digest (RFC 1321) of a byte block or of a text in a code page, given as four words or
// as 32 upper-case hexadecimal digits. Password digests of the user accounts are stored this way.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CDPXMD5Code : public CObject {
  DECLARE_DYNAMIC(CDPXMD5Code)
public:
  CDPXMD5Code() = default;

  // The digest of exactly `count` bytes; FALSE (digest all zero) for a negative count, or for a
  // null block with a positive count.
  BOOL Compute(const BYTE* data, int count);
  // The digest of the text converted to the code page, without its terminator; a null text gives
  // the digest of no bytes. FALSE (digest all zero) when the conversion fails.
  BOOL ComputeText(LPCWSTR text, UINT codePage);
  // Each word is four consecutive digest bytes, the first one most significant.
  void GetDigestWords(DWORD& w0, DWORD& w1, DWORD& w2, DWORD& w3) const;
  void GetHexString(CString& text) const;

private:
  BYTE m_digest[16] {};
};
