#include "foundation/imaging/CQVTiffFile.h"

#include "foundation/imaging/QVImagingText.h"
#include "platform/core/paths.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstring>
#include <mutex>

namespace {

// The system's private tags, all BYTE arrays. libtiff 4.5 reads a custom tag back only when its
// count travels with the value, so every one is declared with a variable count passed as uint32_t;
// fixed sizes (2048 bytes for the stored-image record) are checked by the callers.
const TIFFFieldInfo kPrivateFields[] = {
  { 32932, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_BYTE, FIELD_CUSTOM, 1, 1, const_cast<char*>("Wang") },
  { 33534, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_BYTE, FIELD_CUSTOM, 0, 1, const_cast<char*>("Quelm33534") },
  { 33535, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_BYTE, FIELD_CUSTOM, 0, 1, const_cast<char*>("Quelm33535") },
  { 33536, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_BYTE, FIELD_CUSTOM, 0, 1, const_cast<char*>("Quelm33536") },
  { 65500, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_BYTE, FIELD_CUSTOM, 0, 1, const_cast<char*>("Tmx65500") },
  { 65501, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_BYTE, FIELD_CUSTOM, 0, 1, const_cast<char*>("Zuv65501") },
};

TIFFExtendProc g_previousExtender = nullptr;

void ExtendTags(TIFF* tif) {
  TIFFMergeFieldInfo(tif, kPrivateFields, sizeof(kPrivateFields) / sizeof(kPrivateFields[0]));
  // Other libtiff users in the process keep their own tags.
  if (g_previousExtender) g_previousExtender(tif);
}

void InstallTagExtender() {
  static std::once_flag once;
  std::call_once(once, [] { g_previousExtender = TIFFSetTagExtender(ExtendTags); });
}

int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TagName {
  WORD tag;
  const char* name;
};

const TagName kTagNames[] = {
  { 254, "SubFileType" }, { 255, "OldSubFileType" }, { 256, "ImageWidth" }, { 257, "ImageLength" },
  { 258, "BitsPerSample" }, { 259, "Compression" }, { 262, "Photometric" }, { 263, "Threshholding" },
  { 264, "CellWidth" }, { 265, "CellLength" }, { 266, "FillOrder" }, { 269, "DocumentName" },
  { 270, "ImageDescription" }, { 271, "Make" }, { 272, "Model" }, { 273, "StripOffsets" },
  { 274, "Orientation" }, { 277, "SamplesPerPixel" }, { 278, "RowsPerStrip" }, { 279, "StripByteCounts" },
  { 280, "MinSampleValue" }, { 281, "MaxSampleValue" }, { 282, "XResolution" }, { 283, "YResolution" },
  { 284, "PlanarConfig" }, { 285, "PageName" }, { 286, "XPosition" }, { 287, "YPosition" },
  { 288, "FreeOffsets" }, { 289, "FreeByteCounts" }, { 290, "GrayResponseUnit" }, { 291, "GrayResponseCurve" },
  { 292, "Group3Options" }, { 293, "Group4Options" }, { 296, "ResolutionUnit" }, { 297, "PageNumber" },
  { 300, "ColorResponseUnit" }, { 301, "TransferFunction" }, { 305, "Software" }, { 306, "DateTime" },
  { 315, "Artist" }, { 316, "HostComputer" }, { 317, "Predictor" }, { 318, "Whitepoint" },
  { 319, "PrimaryChromaticities" }, { 320, "Colormap" }, { 321, "HalftoneHints" }, { 322, "TileWidth" },
  { 323, "TileLength" }, { 324, "TileOffsets" }, { 325, "TileByteCounts" }, { 326, "BadFaxLines" },
  { 327, "CleanFaxData" }, { 328, "ConsecutiveBadFaxLines" }, { 330, "SubIFD" }, { 332, "InkSet" },
  { 333, "InkNames" }, { 334, "NumberOfInks" }, { 336, "DotRange" }, { 337, "TargetPrinter" },
  { 338, "ExtraSamples" }, { 339, "SampleFormat" }, { 340, "SMinSampleValue" }, { 341, "SMaxSampleValue" },
  { 512, "JPEGProcessingMode" }, { 513, "JPEGInterchangeFormat" }, { 514, "JPEGInterchangeFormatLength" },
  { 515, "JPEGRestartInterval" }, { 517, "JPEGLosslessPredictors" }, { 518, "JPEGPointTransform" },
  { 347, "JPEGTables" }, { 519, "JPEGQTables" }, { 520, "JPEGDCTables" }, { 521, "JPEGACTables" },
  { 529, "YCbCrCoefficients" }, { 530, "YCbCrSubsampling" }, { 531, "YCbCrPositioning" },
  { 532, "ReferenceBlackWhite" }, { 32953, "IgReferencePoints (Intergraph)" },
  { 32954, "IgRegionTackPoint (Intergraph)" }, { 32955, "IgRegionWarpCorners (Intergraph)" },
  { 32956, "IgRegionAffine (Intergraph)" }, { 32995, "OBSOLETE Matteing (SGI)" },
  { 32996, "OBSOLETE DataType (SGI)" }, { 32997, "ImageDepth (SGI)" }, { 32998, "TileDepth (SGI)" },
  { 32768, "OLD BOGUS Matteing tag" }, { 33432, "Copyright" }, { 34675, "ICC Profile" },
  { 34750, "JBIG Options" }, { 37439, "StoNits" },
};

}  // namespace

const UINT CQVTiffFile::kDefaultChromaTable[64] = {
  12, 24, 24, 24, 27, 33, 39, 48, 24, 24, 26, 30, 34, 40, 47, 55,
  24, 29, 34, 43, 52, 60, 69, 79, 39, 41, 47, 56, 69, 84, 100, 116,
  57, 59, 65, 75, 90, 110, 134, 162, 83, 85, 91, 103, 120, 144, 177, 218,
  119, 121, 129, 143, 164, 194, 236, 255, 172, 175, 185, 203, 230, 255, 255, 255,
};
const UINT CQVTiffFile::kDefaultLumaTable[64] = {
  12, 17, 20, 33, 42, 53, 67, 86, 17, 20, 33, 37, 45, 56, 71, 90,
  20, 33, 39, 46, 55, 67, 83, 103, 33, 37, 46, 59, 72, 86, 103, 125,
  42, 45, 55, 72, 90, 110, 131, 157, 53, 56, 67, 86, 110, 137, 167, 202,
  67, 71, 83, 103, 131, 167, 209, 255, 86, 90, 103, 125, 157, 202, 255, 255,
};

namespace {

float InchValue(float value, uint16_t unit) {
  return unit == RESUNIT_CENTIMETER ? static_cast<float>(value * 2.54 + 0.5) : value;
}

}  // namespace

CQVTiffFile::CQVTiffFile() {
  InstallTagExtender();
  std::memcpy(m_chromaTable, kDefaultChromaTable, sizeof(m_chromaTable));
  std::memcpy(m_lumaTable, kDefaultLumaTable, sizeof(m_lumaTable));
  InitFileInfo(m_stripInfo);
  m_stripInfo.producer = 3;
  m_makeText = QVLoadAnsiText(u"STR_PDF_PRODUCTOR");
  m_softwareText = QVLoadAnsiText(u"STR_TIF_VERSION");
  m_descriptionText = QVLoadAnsiText(u"STR_TIF_IMAGEDESCRIPTION");
  m_artistText = QVLoadAnsiText(u"STR_TIF_ARTIST");
  m_ownDescriptionMark = QVLoadAnsiText(u"STR_TIF_BLN_IMAGEDESCRIPTION");
}

CQVTiffFile::~CQVTiffFile() { EnsureClose(); }

void CQVTiffFile::SetFileForOperation(CString path) {
  if (m_readScopes > 0 && m_reading && path == m_path) return;
  EnsureClose();
  m_path = path;
}

// libtiff's messages about this handle go nowhere; allocations are capped so that a damaged
// file cannot ask for gigabytes.
TIFF* CQVTiffFile::_Open(const char* mode) {
  const bool reading = std::strcmp(mode, "r") == 0;
  if (m_tiff && m_reading && reading && m_readScopes > 0) return m_tiff;
  EnsureClose();
  if (m_path.IsEmpty()) return nullptr;
  m_reading = reading;
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, 1024 * 1024 * 1024);
  // Files are read rather than mapped: mapping and unmapping a page file costs more than reading it.
  m_tiff = TIFFOpenExt(ResolvePath(m_path.GetString()).c_str(), (std::string(mode) + "m").c_str(), options);
  TIFFOpenOptionsFree(options);
  return m_tiff;
}

// libtiff parses a directory again on every TIFFSetDirectory, even the current one.
BOOL CQVTiffFile::_OpenPage(const char* mode, WORD page) {
  if (!_Open(mode)) return FALSE;
  if (TIFFCurrentDirectory(m_tiff) == page || TIFFSetDirectory(m_tiff, page)) return TRUE;
  EnsureClose();
  return FALSE;
}

BOOL CQVTiffFile::IsTiffFile() {
  const BOOL ok = _Open("r") != nullptr;
  _DoneReading();
  return ok;
}

void CQVTiffFile::_DoneReading() {
  if (m_readScopes == 0) EnsureClose();
}

BOOL CQVTiffFile::EnsureClose() {
  if (!m_tiff) return FALSE;
  TIFFClose(m_tiff);
  m_tiff = nullptr;
  return TRUE;
}

void CQVTiffFile::InitFileInfo(tagTiffImageInfo& info) {
  info.multipage = FALSE;
  info.producer = 3;
  info.pageCount = 0;
  info.width = info.height = 0;
  info.bitsPerSample = info.samplesPerPixel = info.compression = info.orientation = 1;
  info.xResolution = info.yResolution = 0;
  info.ifdOffset = 0;
}

int CQVTiffFile::_Producer(const std::string& software, const std::string& description) const {
  std::string own = QVLoadAnsiText(u"STR_TIF_SOFTWARE");
  if (own.empty()) own = "Brisk lane";
  if (software.find(own) != std::string::npos) {
    return description.find(m_ownDescriptionMark) == std::string::npos ? 1 : 2;
  }
  return software.find("xLMR") != std::string::npos ? 0 : 3;
}

BOOL CQVTiffFile::GetTiffImageInfo(tagTiffImageInfo& info) {
  InitFileInfo(info);
  if (!_Open("r")) return FALSE;
  const tdir_t count = TIFFNumberOfDirectories(m_tiff);
  info.pageCount = static_cast<WORD>(count > 0xFFFF ? 0xFFFF : count);
  info.multipage = count > 1;
  if (info.page >= count) info.page = 0;
  if (TIFFCurrentDirectory(m_tiff) != info.page && !TIFFSetDirectory(m_tiff, info.page)) {
    EnsureClose();
    return FALSE;
  }
  uint16_t u16 = 0;
  uint32_t u32 = 0;
  if (TIFFGetField(m_tiff, TIFFTAG_COMPRESSION, &u16)) info.compression = u16;
  if (TIFFGetField(m_tiff, TIFFTAG_SAMPLESPERPIXEL, &u16)) info.samplesPerPixel = u16;
  if (TIFFGetField(m_tiff, TIFFTAG_BITSPERSAMPLE, &u16)) info.bitsPerSample = u16;
  if (TIFFGetField(m_tiff, TIFFTAG_IMAGELENGTH, &u32)) info.height = u32;
  if (TIFFGetField(m_tiff, TIFFTAG_IMAGEWIDTH, &u32)) info.width = u32;
  if (TIFFGetField(m_tiff, TIFFTAG_ORIENTATION, &u16)) info.orientation = u16;
  uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(m_tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
  float value = 0;
  if (TIFFGetField(m_tiff, TIFFTAG_XRESOLUTION, &value)) info.xResolution = InchValue(value, unit);
  if (TIFFGetField(m_tiff, TIFFTAG_YRESOLUTION, &value)) info.yResolution = InchValue(value, unit);
  if (TIFFGetFieldDefaulted(m_tiff, TIFFTAG_ROWSPERSTRIP, &u32)) info.rowsPerStrip = u32;
  if (TIFFGetField(m_tiff, TIFFTAG_PHOTOMETRIC, &u16)) info.photometric = u16;
  if (TIFFGetFieldDefaulted(m_tiff, TIFFTAG_PLANARCONFIG, &u16)) info.planarConfig = u16;
  const char* software = nullptr;
  const char* description = nullptr;
  TIFFGetField(m_tiff, TIFFTAG_SOFTWARE, &software);
  TIFFGetField(m_tiff, TIFFTAG_IMAGEDESCRIPTION, &description);
  info.producer = _Producer(software ? software : "", description ? description : "");
  info.ifdOffset = static_cast<DWORD>(TIFFCurrentDirOffset(m_tiff));
  _DoneReading();
  return TRUE;
}

BOOL CQVTiffFile::BeginGetTagValue(WORD page) { return _OpenPage("r", page); }

int CQVTiffFile::GetTifTagValue(DWORD tag, ...) {
  if (!m_tiff) return 0;
  va_list args;
  va_start(args, tag);
  const int result = TIFFVGetField(m_tiff, tag, args);
  va_end(args);
  return result;
}

BOOL CQVTiffFile::EndGetTagValue() {
  if (!m_tiff) return FALSE;
  _DoneReading();
  return TRUE;
}

BOOL CQVTiffFile::BeginSetTagValue(WORD page) { return _OpenPage("r+", page); }

int CQVTiffFile::SetTifTagValue(DWORD tag, ...) {
  if (!m_tiff) return 0;
  va_list args;
  va_start(args, tag);
  const int result = TIFFVSetField(m_tiff, tag, args);
  va_end(args);
  return result;
}

BOOL CQVTiffFile::EndSetTagValue() {
  if (!m_tiff) return FALSE;
  const BOOL ok = TIFFRewriteDirectory(m_tiff) != 0;
  EnsureClose();
  return ok;
}


BOOL CQVTiffFile::UpdateTagValueInPlace(WORD page, DWORD tag, WORD type, DWORD count, void* value) {
  DWORD offset = 0;
  return _FindIfdOffset(page, offset) && _UpdateTagValue(offset, tag, type, count, value);
}

BOOL CQVTiffFile::GetTagList(WORD page, DWORD& nextIfd, CArray<tagTiffTagInfo>& tags) {
  nextIfd = 0;
  DWORD offset = 0;
  return _FindIfdOffset(page, offset) && _ReadTagsInDir(offset, nextIfd, tags);
}

BOOL CQVTiffFile::GetTagList(DWORD ifdOffset, DWORD& nextIfd, CArray<tagTiffTagInfo>& tags) {
  nextIfd = 0;
  if (m_path.IsEmpty()) return FALSE;
  return _ReadTagsInDir(ifdOffset, nextIfd, tags);
}

void CQVTiffFile::FreeTagInfoArray(CArray<tagTiffTagInfo>& tags) {
  for (INT_PTR i = 0; i < tags.GetSize(); ++i) {
    if (tags[i].size > 4) free(tags[i].data);
    tags[i].data = nullptr;
  }
  tags.RemoveAll();
  tags.FreeExtra();
}

CString CQVTiffFile::GetTagName(WORD tag) {
  for (const TagName& row : kTagNames) {
    if (row.tag == tag) return CString::FromUtf8(row.name);
  }
  CString text;
  text.Format(u"Tag %d", static_cast<int>(tag));
  return text;
}

BOOL CQVTiffFile::IsPrivateTag(DWORD tag) {
  for (const TIFFFieldInfo& field : kPrivateFields) {
    if (field.field_tag == tag) return TRUE;
  }
  return FALSE;
}

int CQVTiffFile::GetDataWidth(WORD type) {
  static constexpr int kWidths[13] = { 0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8 };
  return type < 13 ? kWidths[type] : 0;
}

int CQVTiffFile::CompareColors(const RGBQUAD& a, const RGBQUAD& b) {
  const int la = (306 * a.rgbRed + 601 * a.rgbGreen + 117 * a.rgbBlue) / 1024;
  const int lb = (306 * b.rgbRed + 601 * b.rgbGreen + 117 * b.rgbBlue) / 1024;
  return la - lb;
}

BOOL CQVTiffFile::SupportCompressMethod(WORD bitsPerPixel, DWORD compression) {
  switch (bitsPerPixel) {
    case 1:
      return compression == 1 || compression == 2 || compression == 3 || compression == 4 || compression == 5 ||
             compression == 32773;
    case 8: return compression == 1 || compression == 5 || compression == 6 || compression == 7 || compression == 32773;
    case 24: return compression == 1 || compression == 5 || compression == 6 || compression == 7;
    default: return FALSE;
  }
}

BOOL CQVTiffFile::SetJpegTables(const UINT* chroma, const UINT* luma) {
  if (!chroma || !luma) return FALSE;
  std::memcpy(m_chromaTable, chroma, sizeof(m_chromaTable));
  std::memcpy(m_lumaTable, luma, sizeof(m_lumaTable));
  m_useCustomTables = TRUE;
  return TRUE;
}
