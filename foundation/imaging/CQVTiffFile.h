#pragma once
// CQVTiffFile: the kernel's multi-page TIFF reader and writer.
//
// It stands on libtiff for directories, fields and codecs, and adds its own reading and patching
// of image file directories for what libtiff does not offer: listing every entry of a directory
// with its raw value, rewriting one value in place, relinking the directory chain (a page appended
// at the end is moved to its place), and turning a freshly written JPEG page into an old-style
// JPEG page. JPEG pages are coded by the layer's own encoder, so that each strip is a complete
// JPEG stream with the tables the caller chose.
//
// The edits in place (a page added at any position, a tag value patched, the old-style JPEG
// conversion) either complete or leave the file byte for byte as it was; a file whose directory
// chain loops, and a read-only file, are refused. Sizes and offsets read from a file are checked
// against its length before anything is allocated for them.
//
// Pages are numbered from 0. Every operation opens the file and closes it again before it returns,
// except the Begin calls, which keep it open for their End call, and the reading calls made while
// a ReadScope lives, which share one open handle. Failures show as FALSE only;
// libtiff's messages about our handles are dropped. One object serves one thread at a time.

#include "platform/core/CArray.h"
#include "platform/core/CString.h"
#include "platform/core/wintypes.h"
#include "platform/gdi/gditypes.h"

#include <string>
#include <utility>
#include <vector>

struct tiff;
class CFile;
class CQVBitmapHandle;
namespace imaging {
struct Bitmap;
}

// What GetTiffImageInfo tells about a page (52 bytes; callers set `size`).
struct tagTiffImageInfo {
  DWORD size { sizeof(tagTiffImageInfo) };
  BOOL multipage { FALSE };
  int producer { 3 };  // 0 "xLMR", 1 our own pages, 2 our own raw-strip pages, 3 anyone else
  WORD page { 0 };     // asked for; 0 when it is not below the page count
  WORD pageCount { 0 };
  DWORD width { 0 };
  DWORD height { 0 };
  WORD bitsPerSample { 1 };
  WORD samplesPerPixel { 1 };
  WORD compression { 1 };
  WORD orientation { 1 };
  float xResolution { 0 };  // dots per inch
  float yResolution { 0 };
  DWORD ifdOffset { 0 };
  DWORD rowsPerStrip { 0 };
  WORD planarConfig { 0 };
  WORD photometric { 0 };
};

// One directory entry as listed. Values of up to 4 bytes are held in `value`, longer ones in a
// block that the list owns (FreeTagInfoArray frees it). Values are in host byte order.
struct tagTiffTagInfo {
  WORD tag { 0 };
  WORD type { 0 };  // TIFF field type 1-13, 0 for any other
  DWORD count { 0 };
  int size { 0 };  // type width x count; -1 when the value cannot be read
  BYTE value[4] {};
  BYTE* data { nullptr };

  const BYTE* Bytes() const { return size > 4 ? data : value; }
};

class CQVTiffFile {
public:
  // Called on the open handle after the standard tags of a page are set and before its data is
  // written, so that the caller can add tags of its own; a zero result abandons the page.
  using TagCallback = int (*)(CQVTiffFile* file, void* context);

  // The quantisation tables pages are written with unless others are set (natural order).
  static const UINT kDefaultChromaTable[64];
  static const UINT kDefaultLumaTable[64];

  // While it lives, the reading calls on the file share one open handle and its parsed page, so
  // that an operation made of several calls reads the file's directories once. A call that
  // writes, or another file set for operation, closes the handle as usual.
  class ReadScope {
  public:
    explicit ReadScope(CQVTiffFile& file) : m_file(file) { ++m_file.m_readScopes; }
    ~ReadScope() {
      if (--m_file.m_readScopes == 0) m_file.EnsureClose();
    }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

  private:
    CQVTiffFile& m_file;
  };

  CQVTiffFile();
  ~CQVTiffFile();

  // Test seam, called before each write of the in-place edits (page relinking, tag patches); a
  // FALSE answer makes that write fail.
  using WriteHook = BOOL (*)();
  static WriteHook s_writeHook;
  CQVTiffFile(const CQVTiffFile&) = delete;
  CQVTiffFile& operator=(const CQVTiffFile&) = delete;

  // Files and pages.
  void SetFileForOperation(CString path);
  BOOL IsTiffFile();
  BOOL EnsureClose();
  BOOL Destroy() { return EnsureClose(); }
  BOOL GetTiffImageInfo(tagTiffImageInfo& info);

  // Tags through libtiff, with libtiff's argument types (counts of the private tags are uint32_t).
  BOOL BeginGetTagValue(WORD page);
  int GetTifTagValue(DWORD tag, ...);
  BOOL EndGetTagValue();
  BOOL BeginSetTagValue(WORD page);
  int SetTifTagValue(DWORD tag, ...);
  BOOL EndSetTagValue();

  // Tags through the layer's own directory reader.
  BOOL UpdateTagValueInPlace(WORD page, DWORD tag, WORD type, DWORD count, void* value);
  BOOL GetTagList(WORD page, DWORD& nextIfd, CArray<tagTiffTagInfo>& tags);
  BOOL GetTagList(DWORD ifdOffset, DWORD& nextIfd, CArray<tagTiffTagInfo>& tags);
  static void FreeTagInfoArray(CArray<tagTiffTagInfo>& tags);

  static CString GetTagName(WORD tag);
  static BOOL IsPrivateTag(DWORD tag);
  static int GetDataWidth(WORD type);
  // Negative when `a` is darker than `b`: luminance (306 R + 601 G + 117 B) / 1024.
  static int CompareColors(const RGBQUAD& a, const RGBQUAD& b);
  static void InitFileInfo(tagTiffImageInfo& info);
  static BOOL SupportCompressMethod(WORD bitsPerPixel, DWORD compression);

  int GetJpegQuality() const { return m_jpegQuality; }
  void SetJpegQuality(int quality) { m_jpegQuality = quality; }
  // Custom quantisation tables (natural order) for the JPEG pages written from now on.
  BOOL SetJpegTables(const UINT* chroma, const UINT* luma);

  // Pixels. Decoded pages keep their orientation applied; 1-bit pages stay 1 bit, and those that
  // hold their Group 4 data as one strip keep it (CQVBitmapHandle::LoadFaxG4Page).
  BOOL DecodeTif(WORD page, CQVBitmapHandle& bitmap);
  // A page whose one strip is its Group 4 data as a bitmap that keeps the data, decoded now or when
  // its pixels are first used. FALSE, with the bitmap empty, for any other page.
  BOOL LoadFaxG4Page(WORD page, CQVBitmapHandle& bitmap, BOOL deferDecoding);
  // Appends the bitmap as a page and moves it to `position`. Compression -1 asks for the depth's
  // default; one that the depth does not accept is replaced by the default.
  BOOL EncodeTif(WORD position, CQVBitmapHandle& bitmap, TagCallback callback, void* context, DWORD compression);

  // Raw data of pages, strips in order.
  BOOL BeginReadRawData(WORD& pageCount);
  BOOL ReadRawData(WORD page, BYTE*& data, DWORD& size);
  BOOL EndReadRawData();

  // Ready JPEG and Group 4 data in and out without recompression; read blocks are malloc'ed and
  // freed by the caller with free().
  BOOL ReadJpegClump(WORD page, BYTE*& data, DWORD& size, int& xDpi, int& yDpi);
  BOOL ReadFaxG4Clump(WORD page, BYTE*& data, DWORD& size, int& width, int& height, int& xDpi, int& yDpi);
  BOOL WriteJpegClump(WORD position, BYTE* data, DWORD size, int xDpi, int yDpi, TagCallback callback, void* context);
  BOOL WriteFaxG4Clump(WORD position, BYTE* data, DWORD size, int width, int height, int xDpi, int yDpi,
                       TagCallback callback, void* context);

  // A page written strip by strip.
  BOOL BeginWriteRawStrip(const tagTiffImageInfo& info);
  BOOL WriteRawStrip(const tagTiffImageInfo& info, BYTE* data, DWORD size);
  BOOL EndWriteRawStrip();

  // Old-style JPEG: the page's JPEGTables entry becomes JPEGInterchangeFormat and its compression 6.
  BOOL PostProcess4OJPEG(WORD page);
  BOOL UpdateOJPEGinTIFF(DWORD ifdOffset);

protected:
  struct IfdEntry {
    WORD tag { 0 };
    WORD type { 0 };
    DWORD count { 0 };
    BYTE value[4] {};  // as stored in the file
    ULONGLONG position { 0 };  // file offset of the entry
  };

  tiff* _Open(const char* mode);
  BOOL _OpenPage(const char* mode, WORD page);
  // Closes a handle opened for reading unless a ReadScope keeps it.
  void _DoneReading();
  BOOL _FindIfdOffset(WORD page, DWORD& offset);
  int _Producer(const std::string& software, const std::string& description) const;
  void _SetStandardTags(const char* description);

  // The own directory reader (files opened by the caller).
  BOOL _ReadHeader(CFile& file, DWORD& firstIfd);
  BOOL _ReadIfd(CFile& file, DWORD offset, std::vector<IfdEntry>& entries, DWORD* nextIfd, ULONGLONG* linkPosition);
  WORD _Swap16(WORD v) const;
  DWORD _Swap32(DWORD v) const;
  void _ToHostOrder(BYTE* bytes, WORD type, DWORD count) const;
  DWORD _EntryLong(const IfdEntry& entry) const;
  BOOL _ReadTagsInDir(DWORD offset, DWORD& nextIfd, CArray<tagTiffTagInfo>& tags);
  BOOL _UpdateTagValue(DWORD offset, DWORD tag, WORD type, DWORD count, const void* value);
  // The directories of the chain in order and, when asked, where each one's link lies.
  BOOL _WalkChain(CFile& file, DWORD first, std::vector<DWORD>& chain, std::vector<ULONGLONG>* links);
  // Refuses a file whose chain loops or cannot be read, and keeps what adding a page may change.
  BOOL _PrepareToAddPage();
  void _WriteAt(CFile& file, ULONGLONG offset, const void* bytes, UINT size);
  BOOL _KeepForRestore(CFile* file, const std::vector<std::pair<ULONGLONG, UINT>>& places);
  BOOL _RestoreFile();
  // Closes a page that cannot be completed and takes it back out of the file.
  void _AbandonPage();
  // Moves the last directory of the chain to `position`.
  BOOL _ChangeDirectoryLink(WORD position);
  BOOL _LinkIFDB2A(CFile& file, DWORD a, DWORD b);
  // The JPEG stream of another writer's old-style page from JPEGInterchangeFormat and its length.
  BOOL _InterchangeClump(DWORD ifdOffset, ULONGLONG stripOffset, std::vector<BYTE>& clump);

  // Page writers.
  BOOL _BeginPage(WORD position);
  BOOL _EndPage();
  BOOL _WriteJpegPage(const imaging::Bitmap& bitmap, int photometric, BOOL oldStyle);
  // The Group 4 data of a page whose one strip holds it: most significant bit first, set bits
  // black, upright. FALSE for any other page; `isGroup4` tells whether it was a Group 4 page at
  // all, `software` its Software text.
  BOOL _ReadFaxG4Strip(WORD page, std::vector<BYTE>& data, int& width, int& height, int& xDpi, int& yDpi,
                       BOOL& isGroup4, std::string& software);
  BOOL _SetJpegFields(const BYTE* stream, DWORD size, BOOL setTables);
  BOOL _ReadStrip(DWORD index, std::vector<BYTE>& bytes);
  ULONGLONG _FileLength() const;  // of the open file

private:
  tiff* m_tiff { nullptr };
  BOOL m_reading { FALSE };  // m_tiff is open for reading only
  int m_readScopes { 0 };
  CString m_path;
  BOOL m_byteSwapped { FALSE };
  int m_jpegQuality { 75 };
  UINT m_chromaTable[64] {};
  UINT m_lumaTable[64] {};
  BOOL m_useCustomTables { FALSE };

  // A page being written: its place, and the raw-strip state.
  WORD m_pageCount { 0 };
  WORD m_position { 0 };
  BOOL m_added { FALSE };
  tagTiffImageInfo m_stripInfo;
  DWORD m_stripHeight { 0 };
  DWORD m_stripIndex { 0 };
  BOOL m_tablesPending { TRUE };

  // What an in-place edit under way may change, to put the file back if it fails.
  struct Restore {
    BOOL armed { FALSE };
    BOOL existed { FALSE };
    ULONGLONG length { 0 };
    std::vector<std::pair<ULONGLONG, std::vector<BYTE>>> bytes;
  };
  Restore m_restore;

  std::string m_makeText;
  std::string m_softwareText;
  std::string m_descriptionText;
  std::string m_artistText;
  std::string m_ownDescriptionMark;
};
