#include "foundation/imaging/CQVPDFWriter.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/QVImagingText.h"
#include "foundation/imaging/QVJpegEncode.h"
#include "platform/core/codepage.h"
#include "platform/core/globalmem.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/Color.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kBufferSize = 64 * 1024;
// Blocks from this size on (image data) go to the file from where they are, not through the buffer.
constexpr size_t kDirectSize = 4 * 1024;
// Pages whose bitmap does not know its resolution are laid out at this one.
constexpr int kDefaultDpi = 150;
// The cross-reference table has ten digits per offset.
constexpr ULONGLONG kMaxOffset = 9999999999ull;

std::string Number(long long value) { return std::to_string(value); }

constexpr long long kUnits = 10000;  // to the point

// A length in ten-thousandths of a point as text, without the process locale's decimal separator.
std::string Decimal(long long units) {
  std::string text = std::to_string(units / kUnits);
  std::string fraction = std::to_string(units % kUnits + kUnits).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return fraction.empty() ? text : text + "." + fraction;
}

// A page is its picture's physical size (so that an A4 page at 300 dpi is 595.2 x 841.92 points),
// rounded to a ten-thousandth of a point and never below one point.
long long PageUnits(int pixels, int dpi) {
  return std::max(kUnits, (static_cast<long long>(pixels) * 72 * kUnits + dpi / 2) / dpi);
}

// The picture is drawn a little short of its exact size: a ten-thousandth of a point from the
// page's left edge and from its top and bottom edges. Its edges then never fall on a pixel
// boundary of a renderer at the picture's own resolution, where some count the pixel beyond as
// covered and resample the whole picture to one pixel more.
long long ImageUnits(int pixels, int dpi, long long margins) {
  return std::max(kUnits, (static_cast<long long>(pixels) * 72 * kUnits + dpi - 1) / dpi - margins);
}

// A PDF text string: ASCII text as it is, other text as UTF-16BE after a byte order mark; the
// delimiters and backslash escaped, bytes outside printable ASCII written as octal escapes.
std::string TextString(const std::string& utf8) {
  std::string bytes;
  bool ascii = true;
  for (unsigned char c : utf8) ascii = ascii && c < 0x80;
  if (ascii) {
    bytes = utf8;
  } else {
    const std::u16string wide = Utf8ToWide(utf8);
    bytes = "\xFE\xFF";
    for (char16_t u : wide) {
      bytes += static_cast<char>(u >> 8);
      bytes += static_cast<char>(u & 0xFF);
    }
  }
  std::string out = "(";
  for (unsigned char c : bytes) {
    if (c == '(' || c == ')' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c > 0x7E) {
      char octal[8];
      std::snprintf(octal, sizeof(octal), "\\%03o", c);
      out += octal;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + ")";
}

// Narrow titles are UTF-8; text that is not valid UTF-8 is taken as the ANSI code page.
std::string TitleText(const char* title) {
  const std::string text = title ? title : "";
  const std::u16string wide = Utf8ToWide(text);
  if (wide.find(u'\xFFFD') != std::u16string::npos && text.find("\xEF\xBF\xBD") == std::string::npos) {
    return WideToUtf8(AnsiToWide(text));
  }
  return text;
}

std::string Utf8Of(LPCWSTR title) { return WideToUtf8(title ? std::u16string_view(title) : std::u16string_view()); }

const BYTE* BitmapRow(void* context, int row) {
  const auto& b = *static_cast<imaging::Bitmap*>(context);
  const int stored = b.perspective == imaging::kBottomLeft ? b.height - 1 - row : row;
  return b.bits + static_cast<size_t>(stored) * b.bytesPerLine;
}

}  // namespace

CQVPDFWriter::CQVPDFWriter(LPCWSTR path) {
  CFileException error;
  if (!Open(path, modeCreate | modeWrite | typeBinary, &error)) {
    AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
  }
  m_buffer.reserve(kBufferSize);
  WriteHeader();
  FlushBuffer();
}

CQVPDFWriter::~CQVPDFWriter() {
  if (!m_finished) Finish();
}

void CQVPDFWriter::WriteHeader() { Put("%PDF-1.4\n"); }

void CQVPDFWriter::Put(const void* bytes, size_t size) {
  if (m_buffer.size() + size > kBufferSize || size >= kDirectSize) FlushBuffer();
  if (size >= kDirectSize) {
    Write(bytes, static_cast<UINT>(size));
  } else {
    m_buffer.append(static_cast<const char*>(bytes), size);
  }
  m_offset += size;
}

void CQVPDFWriter::Put(const std::string& text) { Put(text.data(), text.size()); }

void CQVPDFWriter::FlushBuffer() {
  if (m_buffer.empty()) return;
  Write(m_buffer.data(), static_cast<UINT>(m_buffer.size()));
  m_buffer.clear();
}

void CQVPDFWriter::PutObjectStart(DWORD object) {
  m_objectOffsets[object] = m_offset;
  Put(Number(object) + " 0 obj\n");
}

BOOL CQVPDFWriter::AddDoc(const char* title) {
  m_documents.push_back(DocEntry { TitleText(title), 0, {} });
  return TRUE;
}

BOOL CQVPDFWriter::AddDoc(LPCWSTR title) {
  m_documents.push_back(DocEntry { Utf8Of(title), 0, {} });
  return TRUE;
}

BOOL CQVPDFWriter::AddPage(const char* title) {
  if (m_documents.empty()) return FALSE;
  m_documents.back().pages.push_back(PageEntry { TitleText(title), 0, {} });
  return TRUE;
}

BOOL CQVPDFWriter::AddPage(LPCWSTR title) {
  if (m_documents.empty()) return FALSE;
  m_documents.back().pages.push_back(PageEntry { Utf8Of(title), 0, {} });
  return TRUE;
}

BOOL CQVPDFWriter::_AddImage(int width, int height, int dpi, int bitsPerPixel, PDFDECODE filter, int length,
                             BYTE* data) {
  return _AddImage(width, height, dpi, dpi, bitsPerPixel, filter, length, data);
}

BOOL CQVPDFWriter::_AddImage(int width, int height, int xDpi, int yDpi, int bitsPerPixel, PDFDECODE filter,
                             int length, const BYTE* data) {
  if (m_finished || width <= 0 || height <= 0 || xDpi <= 0 || yDpi <= 0 || length < 0 || (!data && length > 0)) {
    return FALSE;
  }
  const char* filterName = nullptr;
  const char* colorSpace = "DeviceGray";
  const char* procSet = "ProcSet [ /PDF /ImageC ]>>";
  std::string decodeParms;
  int bits = 8;
  if (bitsPerPixel == 1) {
    if (filter == CCITTFaxDecode) filterName = "CCITTFaxDecode";
    if (filter == JBIG2Decode) filterName = "JBIG2Decode";
    bits = 1;
    procSet = "ProcSet [ /PDF /ImageB ]>>";
    if (filter == CCITTFaxDecode) {
      decodeParms = "/DecodeParms <</K -1 /Columns " + Number(width) + " /Rows " + Number(height) + ">>\n";
    }
  } else if (bitsPerPixel == 8 || bitsPerPixel == 24) {
    if (filter == DCTDecode) filterName = "DCTDecode";
    if (filter == JPXDecode) filterName = "JPXDecode";
    if (bitsPerPixel == 24) colorSpace = "DeviceRGB";
  }
  if (!filterName) return FALSE;

  const DWORD n = m_imageCount, page = 5 * n + 4;
  const long long pageHeight = PageUnits(height, yDpi), imageHeight = std::min(pageHeight, ImageUnits(height, yDpi, 2));
  const std::string pw = Decimal(PageUnits(width, xDpi)), ph = Decimal(pageHeight), name = "Im" + Number(n);
  PutObjectStart(page);
  Put("<</Type /Page\n/Parent 3 0 R\n/Resources<</XObject<</" + name + " " + Number(page + 3) + " 0 R>>\n/" + procSet +
      "\n/MediaBox [ 0 0 " + pw + " " + ph + " ]\n/Contents " + Number(page + 1) + " 0 R\n>>\nendobj\n");
  const std::string content = Decimal(ImageUnits(width, xDpi, 1)) + " 0 0 " + Decimal(imageHeight) + " 0 " +
                              Decimal((pageHeight - imageHeight) / 2) + " cm\n/" + name + " Do";
  PutObjectStart(page + 1);
  Put("<</Length " + Number(page + 2) + " 0 R>>\nstream\n" + content + "\nendstream\nendobj\n");
  PutObjectStart(page + 2);
  Put(Number(static_cast<long long>(content.size())) + "\nendobj\n");
  PutObjectStart(page + 3);
  Put("<</Type /XObject\n/Subtype /Image\n/Name /" + name + "\n/Filter /" + filterName + "\n/Width " + Number(width) +
      "\n/Height " + Number(height) + "\n/BitsPerComponent " + Number(bits) + "\n/ColorSpace /" + colorSpace + "\n" +
      decodeParms + "/Length " + Number(page + 4) + " 0 R>>\nstream\n");
  Put(data, static_cast<size_t>(length));
  Put("\nendstream\nendobj\n");
  PutObjectStart(page + 4);
  Put(Number(length) + "\nendobj\n");
  ++m_imageCount;
  return TRUE;
}

BOOL CQVPDFWriter::AddImage(int width, int height, int dpi, int bitsPerPixel, PDFDECODE filter, int length,
                            BYTE* data, const char* title) {
  if (m_documents.empty() || m_documents.back().pages.empty()) return FALSE;
  const DWORD page = 5 * m_imageCount + 4;
  if (!_AddImage(width, height, dpi, bitsPerPixel, filter, length, data)) return FALSE;
  m_documents.back().pages.back().images.push_back(ImageEntry { TitleText(title), page });
  return TRUE;
}

BOOL CQVPDFWriter::PrepareAddImage(CQVBitmapHandle& bitmap, int& width, int& height, int& xDpi, int& yDpi,
                                   int& bitsPerPixel, PDFDECODE& filter, std::vector<BYTE>& data) {
  data.clear();
  width = bitmap.GetWidth();
  height = bitmap.GetHeight();
  BOOL ok = width > 0 && height > 0;
  if (ok) {
    xDpi = bitmap.GetXDPI() > 0 ? bitmap.GetXDPI() : kDefaultDpi;
    yDpi = bitmap.GetYDPI() > 0 ? bitmap.GetYDPI() : xDpi;
    if (bitmap.GetBitsPerPixel() == 1) {
      HGLOBAL block = nullptr;
      DWORD size = 0;
      // A page still as read passes its Group 4 data on as it was read, without a copy.
      ok = bitmap.TakeFaxG4Source(data) || bitmap.SaveMemory_FaxG4(&block, &size);
      if (ok && block) {
        const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(block));
        data.assign(bytes, bytes + size);
        GlobalUnlock(block);
        GlobalFree(block);
      }
      bitsPerPixel = 1;
      filter = CCITTFaxDecode;
    } else {
      // JPEG carries grey or colour, never palette indices: other pictures become colour first.
      imaging::Bitmap& pixels = bitmap.StoreRecordToChange();
      const bool grey = pixels.bitsPerPixel == 8 && imaging::IsNormalGrayScale(pixels);
      if (!grey && pixels.bitsPerPixel != 24) ok = imaging::ChangeBitsPerPixel(pixels, 24);
      QVJpegEncodeParams params;
      params.rgbOrder = pixels.order == imaging::kOrderRgb || pixels.order == imaging::kOrderRgbOrGray;
      params.xDpi = xDpi;
      params.yDpi = yDpi;
      ok = ok && QVJpegEncode(pixels.width, pixels.height, grey ? 1 : 3, BitmapRow, &pixels, params, data);
      bitsPerPixel = grey ? 8 : 24;
      filter = DCTDecode;
    }
  }
  bitmap.Free();
  if (!ok) data.clear();
  return ok;
}

BOOL CQVPDFWriter::_AddImage(CQVBitmapHandle& bitmap) {
  int width = 0, height = 0, xDpi = 0, yDpi = 0, bits = 0;
  PDFDECODE filter = CCITTFaxDecode;
  std::vector<BYTE> data;
  return PrepareAddImage(bitmap, width, height, xDpi, yDpi, bits, filter, data) && data.size() <= 0x7FFFFFFF &&
         _AddImage(width, height, xDpi, yDpi, bits, filter, static_cast<int>(data.size()), data.data());
}

BOOL CQVPDFWriter::AddImage(CQVBitmapHandle& bitmap, LPCWSTR title) {
  int width = 0, height = 0, xDpi = 0, yDpi = 0, bits = 0;
  PDFDECODE filter = CCITTFaxDecode;
  std::vector<BYTE> data;
  if (!PrepareAddImage(bitmap, width, height, xDpi, yDpi, bits, filter, data) || data.size() > 0x7FFFFFFF) return FALSE;
  if (m_documents.empty() || m_documents.back().pages.empty()) return FALSE;
  const DWORD page = 5 * m_imageCount + 4;
  if (!_AddImage(width, height, xDpi, yDpi, bits, filter, static_cast<int>(data.size()), data.data())) return FALSE;
  m_documents.back().pages.back().images.push_back(ImageEntry { Utf8Of(title), page });
  return TRUE;
}

DWORD CQVPDFWriter::GetItemCount() const {
  DWORD count = 0;
  for (const DocEntry& d : m_documents) {
    count += 1 + static_cast<DWORD>(d.pages.size());
    for (const PageEntry& p : d.pages) count += static_cast<DWORD>(p.images.size());
  }
  return count;
}

void CQVPDFWriter::WriteTrailer() {
  const DWORD n = m_imageCount, root = 5 * n + 4, items = GetItemCount();
  const std::string producer = WideToUtf8(AnsiToWide(QVLoadAnsiText(u"STR_PDF_PRODUCTOR")));
  const std::string creator = WideToUtf8(AnsiToWide(QVLoadAnsiText(u"STR_PDF_CREATOR")));
  // The padding before the closing parenthesis stays part of each text.
  PutObjectStart(1);
  Put("<<\n/Producer " + TextString(producer + "     ") + "\n/Creator " + TextString(creator + "     ") +
      "\n>>\nendobj\n");
  PutObjectStart(2);
  Put("<</Type /Catalog\n/Pages 3 0 R\n/Outlines " + Number(root) + " 0 R\n>>\nendobj\n");
  PutObjectStart(3);
  std::string kids = "<</Type /Pages\n/Count " + Number(n) + "\n/Kids [ ";
  for (DWORD i = 0; i < n; ++i) kids += Number(5 * i + 4) + " 0 R\n";
  Put(kids + "]\n>>\nendobj\n");

  // Number the outline items depth-first.
  DWORD next = root + 1;
  for (DocEntry& d : m_documents) {
    d.object = next++;
    for (PageEntry& p : d.pages) {
      p.object = next;
      next += 1 + static_cast<DWORD>(p.images.size());
    }
  }
  const DWORD last = next - 1;
  PutObjectStart(root);
  if (m_documents.empty()) {
    // An outline without items has neither a first nor a last one.
    Put("<< /Type /Outlines\n/Count 0\n>>\nendobj\n\n");
  } else {
    Put("<< /Type /Outlines\n/First " + Number(root + 1) + " 0 R\n/Last " + Number(m_documents.back().object) +
        " 0 R\n/Count " + Number(items) + "\n>>\nendobj\n\n");
  }
  auto ref = [](DWORD object) { return Number(object) + " 0 R"; };
  for (size_t di = 0; di < m_documents.size(); ++di) {
    const DocEntry& d = m_documents[di];
    DWORD descendants = static_cast<DWORD>(d.pages.size());
    for (const PageEntry& p : d.pages) descendants += static_cast<DWORD>(p.images.size());
    PutObjectStart(d.object);
    std::string text = "<< /Title " + TextString(d.title) + "\n/Parent " + ref(root) + "\n";
    if (di > 0) text += "/Prev " + ref(m_documents[di - 1].object) + "\n";
    if (di + 1 < m_documents.size()) text += "/Next " + ref(d.object + descendants + 1) + "\n";
    if (!d.pages.empty()) {
      text += "/First " + ref(d.object + 1) + "\n/Last " + ref(d.pages.back().object) + " \n/Count " +
              Number(descendants) + "\n";
    }
    Put(text + ">>\nendobj\n\n");
    for (size_t pi = 0; pi < d.pages.size(); ++pi) {
      const PageEntry& p = d.pages[pi];
      const DWORD j = static_cast<DWORD>(p.images.size());
      PutObjectStart(p.object);
      text = "<< /Title " + TextString(p.title) + "\n/Parent " + ref(d.object) + "\n";
      if (pi > 0) text += "/Prev " + ref(d.pages[pi - 1].object) + "\n";
      if (pi + 1 < d.pages.size()) text += "/Next " + ref(p.object + j + 1) + "\n";
      if (j > 0) text += "/First " + ref(p.object + 1) + "\n/Last " + ref(p.object + j) + " \n/Count " + Number(j) + "\n";
      Put(text + ">>\nendobj\n\n");
      for (DWORD ii = 0; ii < j; ++ii) {
        const DWORD item = p.object + 1 + ii;
        PutObjectStart(item);
        text = "<< /Title " + TextString(p.images[ii].title) + "\n/Parent " + ref(p.object) + "\n";
        if (ii > 0) text += "/Prev " + ref(item - 1) + "\n";
        if (ii + 1 < j) text += "/Next " + ref(item + 1) + "\n";
        Put(text + "/Dest [" + ref(p.images[ii].pageObject) + " /Fit]\n>>\nendobj\n\n");
      }
    }
  }

  const ULONGLONG xref = m_offset;
  if (xref > kMaxOffset) throw new CFileException(CFileException::diskFull, EFBIG, GetFilePath().GetString());
  std::string table = "xref\n0 " + Number(last + 1) + "\n0000000000 65535 f \n";
  for (DWORD object = 1; object <= last; ++object) {
    char entry[24];
    std::snprintf(entry, sizeof(entry), "%010llu 00000 n \n", static_cast<unsigned long long>(m_objectOffsets[object]));
    table += entry;
  }
  Put(table + "trailer\n<<\n/Size " + Number(last + 1) + "\n/Root 2 0 R\n/Info 1 0 R\n>>\nstartxref\n" +
      Number(static_cast<long long>(xref)) + "\n%%EOF");
  FlushBuffer();
}

// A PDF without pages is no PDF to a reader: it is not written.
void CQVPDFWriter::Discard() {
  m_finished = TRUE;
  Abort();
}

BOOL CQVPDFWriter::Finish() {
  if (m_finished) return FALSE;
  m_finished = TRUE;
  if (m_imageCount > 0) {
    try {
      WriteTrailer();
      Close();
      return TRUE;
    } catch (CException* e) {
      e->Delete();
    }
  }
  Abort();
  return FALSE;
}
