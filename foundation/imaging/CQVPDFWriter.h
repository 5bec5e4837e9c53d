#pragma once
// CQVPDFWriter: writes a PDF 1.4 file of scanned pages, one image per page, each page the size of
// its image at the image's resolution, with a three-level outline (documents, pages, images)
// whose image entries open the image's page.
//
// Each image is written when it is added; the outline, the page tree and the cross-reference
// table follow in Finish (or, when nobody called it, in the destructor). The file is written beside
// its target and replaces it only when Finish succeeds, so a failed save keeps the file that was
// there (and a read-only one is not written at all). Image n (from 0) owns
// the objects 5n+4 to 5n+8: page, content, content length, image, image length. Numbers are
// written the same under every locale; titles are written as PDF text strings (plain ASCII as it
// is, anything else as UTF-16BE with a byte order mark), escaped.

#include "platform/core/CAtomicFile.h"

#include <map>
#include <string>
#include <vector>

class CQVBitmapHandle;

class CQVPDFWriter : public CAtomicFile {
public:
  enum PDFDECODE { CCITTFaxDecode = 0, JBIG2Decode = 1, DCTDecode = 2, JPXDecode = 3 };

  // Starts the file and writes the header; throws CFileException* when it cannot.
  explicit CQVPDFWriter(LPCWSTR path);
  // Finishes the file if Finish was not called; a failure there is not reported.
  ~CQVPDFWriter() override;

  // Writes the document information, catalog, page tree, outline, cross-reference table and
  // trailer, and puts the file in place. FALSE, with nothing written, when a write fails or no page
  // was added.
  BOOL Finish();
  // Drops the file: the target stays as it was, and the destructor writes nothing more.
  void Discard();

  BOOL AddDoc(const char* title);
  BOOL AddDoc(LPCWSTR title);
  BOOL AddPage(const char* title);
  BOOL AddPage(LPCWSTR title);

  // A page of ready-encoded image data, without an outline entry. The page height follows the
  // vertical resolution where it is given apart from the horizontal one.
  BOOL _AddImage(int width, int height, int dpi, int bitsPerPixel, PDFDECODE filter, int length, BYTE* data);
  BOOL _AddImage(int width, int height, int xDpi, int yDpi, int bitsPerPixel, PDFDECODE filter, int length,
                 const BYTE* data);
  // The same with an image entry in the outline under the last page of the last document.
  BOOL AddImage(int width, int height, int dpi, int bitsPerPixel, PDFDECODE filter, int length, BYTE* data,
                const char* title);

  // Pages from bitmaps: 1 bit as CCITT Group 4 (a page still as it was read from Group 4 data
  // passes that data on without coding it again), other depths as baseline JPEG. The bitmap is
  // empty after every call.
  BOOL _AddImage(CQVBitmapHandle& bitmap);
  BOOL AddImage(CQVBitmapHandle& bitmap, LPCWSTR title);

private:
  struct ImageEntry {
    std::string title;
    DWORD pageObject { 0 };
  };
  struct PageEntry {
    std::string title;
    DWORD object { 0 };
    std::vector<ImageEntry> images;
  };
  struct DocEntry {
    std::string title;
    DWORD object { 0 };
    std::vector<PageEntry> pages;
  };

  void WriteHeader();
  void WriteTrailer();
  BOOL PrepareAddImage(CQVBitmapHandle& bitmap, int& width, int& height, int& xDpi, int& yDpi, int& bitsPerPixel,
                       PDFDECODE& filter, std::vector<BYTE>& data);
  DWORD GetItemCount() const;

  void Put(const std::string& text);
  void Put(const void* bytes, size_t size);
  void PutObjectStart(DWORD object);
  void FlushBuffer();

  ULONGLONG m_offset { 0 };
  std::map<DWORD, ULONGLONG> m_objectOffsets;
  DWORD m_imageCount { 0 };
  std::vector<DocEntry> m_documents;
  std::string m_buffer;
  BOOL m_finished { FALSE };
};
