#pragma once
// Typed files: binary files that begin with a 32-byte header naming their kind. The first 16
// bytes are a mark shared by every typed file, the next 16 the signature of the file's kind.
// Offsets inside a typed file ("data offsets") count from the end of the header.
//
// CDPXDRSFile is the kind that holds a module's language resources (".drs").

#include "foundation/util/CDPXFile.h"

class CDPXTypedFile : public CDPXFile {
  DECLARE_DYNAMIC(CDPXTypedFile)
public:
  // Seeks to a data offset: the header size plus `offset` from the start of the file.
  virtual ULONGLONG SeekData(ULONGLONG offset);
  // The current position as a data offset.
  virtual ULONGLONG GetDataPosition() const;
  // The 16-byte signature of this kind of file as two little-endian halves; zero for the base.
  virtual void GetSignature(ULONGLONG& first, ULONGLONG& last) const;
  virtual ULONGLONG GetHeaderSize() const { return kHeaderSize; }

  // Opens the file (CDPXFile::Open) and checks the mark and this kind's signature; then stands at
  // data offset 0. Any mismatch or short read closes the file and answers FALSE.
  BOOL OpenTyped(LPCWSTR path, UINT openFlags);

  static constexpr ULONGLONG kHeaderSize = 32;
  // The mark of every typed file, bytes 3E 11 9B 16 BC 95 D7 EC 0C C7 B1 05 E7 23 5E 7E.
  static constexpr ULONGLONG kMarkFirst = 0xECD795BC169B113EULL;
  static constexpr ULONGLONG kMarkLast = 0x7E5E23E705B1C70CULL;
};

class CDPXDRSFile : public CDPXTypedFile {
  DECLARE_DYNCREATE(CDPXDRSFile)
public:
  // Bytes 0C B3 40 F2 EB 2B 92 7A 5E 45 BD 27 9C 55 F7 AC.
  void GetSignature(ULONGLONG& first, ULONGLONG& last) const override;

  static constexpr ULONGLONG kSignatureFirst = 0x7A922BEBF240B30CULL;
  static constexpr ULONGLONG kSignatureLast = 0xACF7559C27BD455EULL;
};
