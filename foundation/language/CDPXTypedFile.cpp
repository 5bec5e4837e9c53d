#include "foundation/language/CDPXTypedFile.h"

#include "foundation/util/CDPXException.h"

IMPLEMENT_DYNAMIC(CDPXTypedFile, CDPXFile)
// The record names the true base, so that IsKindOf(RUNTIME_CLASS(CDPXTypedFile)) holds.
IMPLEMENT_DYNCREATE(CDPXDRSFile, CDPXTypedFile)

ULONGLONG CDPXTypedFile::SeekData(ULONGLONG offset) {
  return Seek(static_cast<LONGLONG>(GetHeaderSize() + offset), CFile::begin);
}

ULONGLONG CDPXTypedFile::GetDataPosition() const { return GetPosition() - GetHeaderSize(); }

void CDPXTypedFile::GetSignature(ULONGLONG& first, ULONGLONG& last) const {
  first = 0;
  last = 0;
}

BOOL CDPXTypedFile::OpenTyped(LPCWSTR path, UINT openFlags) {
  try {
    if (!Open(path, openFlags)) DPXThrowException();
    Seek(0, CFile::begin);
    ULONGLONG first = 0, last = 0;
    ReadQWordOrThrow(first);
    ReadQWordOrThrow(last);
    if (first != kMarkFirst || last != kMarkLast) DPXThrowException();
    ULONGLONG signatureFirst = 0, signatureLast = 0;
    GetSignature(signatureFirst, signatureLast);
    ReadQWordOrThrow(first);
    ReadQWordOrThrow(last);
    if (first != signatureFirst || last != signatureLast) DPXThrowException();
    SeekData(0);
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    Close();
    return FALSE;
  }
}

void CDPXDRSFile::GetSignature(ULONGLONG& first, ULONGLONG& last) const {
  first = kSignatureFirst;
  last = kSignatureLast;
}
