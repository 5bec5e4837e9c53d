#pragma once
// CDPXStdioFile: a text file read and written a line at a time, in one of four encodings.
//
//   encoding        byte-order mark (written on creation, recognised on opening)
//   0 ANSI          none; written as UTF-8, read as UTF-8 when a line is valid UTF-8, else as
//                   Windows-1252, so that files of editors that write UTF-8 without a mark read
//                   back unchanged
//   1 UTF-8         EF BB BF (the encoding of a file that was only constructed)
//   2 UTF-16LE      FF FE
//   3 UTF-16BE      FE FF
//
// A line ends at LF (in UTF-16 the unit 0x000A), and a CR just before it belongs to the ending.
// Bytes that are not text in the file's encoding read as U+FFFD instead of ending the read. Lines
// are written without an ending; the caller writes it. No operation raises.

#include "foundation/util/CDPXFile.h"

#include <string>
#include <string_view>

class CDPXStdioFile : public CDPXFile {
public:
  enum { encodingAnsi = 0, encodingUtf8 = 1, encodingUtf16LE = 2, encodingUtf16BE = 3 };

  // Creates the file and writes the mark of the encoding (another value than 1 to 3 stands for
  // ANSI). On failure the file is closed and removed.
  BOOL CreateText(LPCWSTR path, int encoding, UINT flags);
  // Opens the file and takes the encoding from its mark; reading goes on after the mark.
  BOOL OpenText(LPCWSTR path, UINT flags);
  // The next line, without its ending. FALSE at the end of the file or on a read error (which
  // ReadFailed then tells), with the text emptied.
  BOOL ReadString(CString& text);
  BOOL ReadFailed() const { return m_bReadFailed; }
  // Writes the text in the file's encoding; null writes CR LF, an empty text nothing.
  BOOL WriteString(LPCWSTR text);
  int GetEncoding() const { return m_nEncoding; }

  // The bytes that stand for a text in an encoding, and the mark of an encoding.
  static std::string EncodeText(std::u16string_view text, int encoding);
  static std::string_view ByteOrderMark(int encoding);

private:
  // The bytes or units of the next line, without its ending. FALSE at the end of the file; a read
  // error throws.
  BOOL ReadLineBytes(std::string& line);
  BOOL ReadLineWords(std::u16string& line);

  int m_nEncoding { encodingUtf8 };
  BOOL m_bReadFailed { FALSE };
};

// Reads a whole text file (encoding from its mark) and joins its lines with CR LF. FALSE, with
// the text empty, when the file cannot be read.
BOOL DPXReadTextFile(LPCWSTR path, CString& text);
// Writes a text file in the encoding (with its mark), every CR LF of the text turned into LF. The
// file is replaced as a whole: on failure the file that was there stays.
BOOL DPXWriteTextFile(LPCWSTR text, LPCWSTR path, int encoding);
