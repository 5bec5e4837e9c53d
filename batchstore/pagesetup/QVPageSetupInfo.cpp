#include "batchstore/pagesetup/QVPageSetupInfo.h"

#include "foundation/util/CQVGEI.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Reads keys of the current section; `ok` turns FALSE at the first key that is missing.
struct Reader {
  CDPXScriptFile* file;
  BOOL ok { TRUE };

  int Int(LPCWSTR key) {
    int value = 0;
    if (!file->GetInt(key, value)) ok = FALSE;
    return value;
  }
  BOOL Bool(LPCWSTR key) {
    BOOL value = FALSE;
    if (!file->GetBool(key, value)) ok = FALSE;
    return value ? TRUE : FALSE;
  }
  // The value clamped into the field's type.
  template <typename T>
  T Narrow(LPCWSTR key) {
    const long long value = Int(key);
    return static_cast<T>(std::clamp<long long>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
  }
};

struct Writer {
  CDPXScriptFile* file;
  BOOL ok { TRUE };

  void Int(LPCWSTR key, int value) { ok = file->SetInt(key, value) && ok; }
  void Bool(LPCWSTR key, BOOL value) { ok = file->SetBool(key, value) && ok; }
};

}  // namespace

BOOL QVPAGESETUP_SCANNER::Get(CDPXScriptFile* file) {
  if (!file) return FALSE;
  file->SetCurrentSection(u"Scanner");
  Reader read { file };
  Resolution = read.Narrow<uint16_t>(u"Resolution");
  Color = read.Bool(u"Color");
  Grayscale = read.Bool(u"Grayscale");
  Bitonal = read.Bool(u"Bitonal");
  Duplex = read.Bool(u"Duplex");
  const int mode = read.Int(u"ScanMode");
  ScanMode = static_cast<int16_t>(mode < 0 || mode > 4 ? 4 : mode);
  EnableFlatbedDelay = read.Bool(u"EnableFlatbedDelay");
  FlatDelay = read.Narrow<uint8_t>(u"FlatDelay");
  FrontColor = read.Bool(u"FrontColor");
  RearColor = read.Bool(u"RearColor");
  FrontBitonal = read.Bool(u"FrontBitonal");
  RearBitonal = read.Bool(u"RearBitonal");
  return read.ok;
}

BOOL QVPAGESETUP_SCANNER::Set(CDPXScriptFile* file) const {
  if (!file) return FALSE;
  file->SetCurrentSection(u"Scanner");
  Writer write { file };
  write.Int(u"Resolution", Resolution);
  write.Bool(u"Color", Color);
  write.Bool(u"Grayscale", Grayscale);
  write.Bool(u"Bitonal", Bitonal);
  write.Bool(u"Duplex", Duplex);
  write.Int(u"ScanMode", ScanMode);
  write.Bool(u"EnableFlatbedDelay", EnableFlatbedDelay);
  write.Int(u"FlatDelay", FlatDelay);
  write.Bool(u"FrontColor", FrontColor);
  write.Bool(u"RearColor", RearColor);
  write.Bool(u"FrontBitonal", FrontBitonal);
  write.Bool(u"RearBitonal", RearBitonal);
  return write.ok;
}

BOOL QVPAGESETUP_IMAGE::Get(CDPXScriptFile* file) {
  if (!file) return FALSE;
  file->SetCurrentSection(u"Image");
  Reader read { file };
  const int angle = read.Int(u"RotateAngle");
  RotateAngle = static_cast<uint8_t>(angle < 0 || angle > 3 ? 0 : angle);
  const int crop = read.Int(u"CropType");
  CropType = static_cast<uint8_t>(crop < 0 || crop > 2 ? 0 : crop);
  OverCrop = read.Bool(u"OverCrop");
  OverCropSize = read.Narrow<uint16_t>(u"OverCropSize");
  const int duplex = read.Int(u"DuplexMode");
  DuplexMode = static_cast<int16_t>(duplex < 0 || duplex > 1 ? 0 : duplex);
  ImageOrder = read.Narrow<uint8_t>(u"ImageOrder");
  return read.ok;
}

BOOL QVPAGESETUP_IMAGE::Set(CDPXScriptFile* file) const {
  if (!file) return FALSE;
  file->SetCurrentSection(u"Image");
  Writer write { file };
  write.Int(u"RotateAngle", RotateAngle);
  write.Int(u"CropType", CropType);
  write.Bool(u"OverCrop", OverCrop);
  write.Int(u"OverCropSize", OverCropSize);
  write.Int(u"DuplexMode", DuplexMode);
  write.Int(u"ImageOrder", ImageOrder);
  return write.ok;
}

BOOL QVPAGESETUP_AUTODELETE::Get(CDPXScriptFile* file) {
  if (!file) return FALSE;
  file->SetCurrentSection(u"AutoDelete");
  Reader read { file };
  const int front = read.Int(u"FrontSide_Bitonal");
  FrontSideBitonal = static_cast<int16_t>(front < 0 || front > 3 ? 0 : front);
  FrontSideSizeLimitation = read.Int(u"FrontSide_SizeLimitation");
  RearSideBitonal = read.Narrow<int16_t>(u"RearSide_Bitonal");
  RearSideSizeLimitation = read.Int(u"RearSide_SizeLimitaion");
  FrontSizeColorGrayscale = read.Narrow<int16_t>(u"FrontSize_Color/Grayscale");
  RearSizeColorGrayscale = read.Narrow<int16_t>(u"RearSize_Color/Grayscale");
  return read.ok;
}

BOOL QVPAGESETUP_AUTODELETE::Set(CDPXScriptFile* file) const {
  if (!file) return FALSE;
  file->SetCurrentSection(u"AutoDelete");
  Writer write { file };
  write.Int(u"FrontSide_Bitonal", FrontSideBitonal);
  write.Int(u"FrontSide_SizeLimitation", FrontSideSizeLimitation);
  write.Int(u"RearSide_Bitonal", RearSideBitonal);
  write.Int(u"RearSide_SizeLimitaion", RearSideSizeLimitation);
  write.Int(u"FrontSize_Color/Grayscale", FrontSizeColorGrayscale);
  write.Int(u"RearSize_Color/Grayscale", RearSizeColorGrayscale);
  return write.ok;
}

BOOL QVPAGESETUP_SPLITMERGE::Get(CDPXScriptFile* file) {
  if (!file) return FALSE;
  file->SetCurrentSection(u"SplitMerge");
  Reader read { file };
  NeedMerge = read.Bool(u"NeedMerge");
  NumberOfSplit = read.Narrow<uint8_t>(u"NumberOfSplit");
  HeightDirection = read.Bool(u"HeightDirection");
  SplitMinValue = read.Int(u"SplitMinValue");
  SplitMaxValue = read.Int(u"SplitMaxValue");
  MergeMinValue = read.Int(u"MergeMinValue");
  MergeMaxValue = read.Int(u"MergeMaxValue");
  FrontOrder = read.Bool(u"FrontOrder");
  RearOrder = read.Bool(u"RearOrder");
  CString order;
  if (!file->GetString(u"OutputOrder", order)) read.ok = FALSE;
  // Entries beyond the sixteenth are ignored; bytes not named keep what they held.
  int start = 0;
  for (int index = 0; index < 16 && start < order.GetLength(); ++index) {
    const int end = order.Find(u';', start);
    CString piece = end < 0 ? order.Mid(start) : order.Mid(start, end - start);
    start = end < 0 ? order.GetLength() : end + 1;
    piece.Trim();
    int value = -1;
    if (piece.IsEmpty() || piece.SpanIncluding(u"0123456789") != piece || piece.GetLength() > 3 ||
        !CQVGEI::StrToValue(piece, value) || value > 255) {
      read.ok = FALSE;
      break;
    }
    OutputOrder[index] = static_cast<uint8_t>(value);
  }
  return read.ok;
}

BOOL QVPAGESETUP_SPLITMERGE::Set(CDPXScriptFile* file) const {
  if (!file) return FALSE;
  file->SetCurrentSection(u"SplitMerge");
  Writer write { file };
  write.Bool(u"NeedMerge", NeedMerge);
  write.Int(u"NumberOfSplit", NumberOfSplit);
  write.Bool(u"HeightDirection", HeightDirection);
  write.Int(u"SplitMinValue", SplitMinValue);
  write.Int(u"SplitMaxValue", SplitMaxValue);
  write.Int(u"MergeMinValue", MergeMinValue);
  write.Int(u"MergeMaxValue", MergeMaxValue);
  write.Bool(u"FrontOrder", FrontOrder);
  write.Bool(u"RearOrder", RearOrder);
  CString order;
  for (uint8_t entry : OutputOrder)
    if (entry != 255) order.AppendFormat(u"%d;", static_cast<int>(entry));
  write.ok = file->SetString(u"OutputOrder", order) && write.ok;
  return write.ok;
}

void QVPAGESETUP_INFO::Init() {
  DataSource = 0;
  std::memset(&Scanner, 0, sizeof(Scanner));
  std::memset(&Image, 0, sizeof(Image));
  std::memset(&AutoDelete, 0, sizeof(AutoDelete));
  std::memset(&SplitMerge, 0, sizeof(SplitMerge));
  std::memset(SplitMerge.OutputOrder, 255, sizeof(SplitMerge.OutputOrder));
  Data = nullptr;
}

void QVPAGESETUP_INFO::Cleanup() {
  if (Data) GlobalFree(Data);
  Init();
}

BOOL QVPAGESETUP_INFO::Get(CDPXScriptFile* file) {
  if (!file) return FALSE;
  file->SetCurrentSection(u"PageSetup");
  Reader read { file };
  const int source = read.Int(u"DataSource");
  DataSource = static_cast<int16_t>(source < 0 || source > 1 ? 1 : source);
  // Every part is read, also after one that lacks a key.
  const BOOL scanner = Scanner.Get(file);
  const BOOL image = Image.Get(file);
  const BOOL autoDelete = AutoDelete.Get(file);
  const BOOL splitMerge = SplitMerge.Get(file);
  return read.ok && scanner && image && autoDelete && splitMerge;
}

BOOL QVPAGESETUP_INFO::Set(CDPXScriptFile* file) const {
  if (!file) return FALSE;
  file->SetCurrentSection(u"PageSetup");
  Writer write { file };
  write.Int(u"DataSource", DataSource);
  const BOOL scanner = Scanner.Set(file);
  const BOOL image = Image.Set(file);
  const BOOL autoDelete = AutoDelete.Set(file);
  const BOOL splitMerge = SplitMerge.Set(file);
  return write.ok && scanner && image && autoDelete && splitMerge;
}

BOOL QVPAGESETUP_INFO::SplitPageNumber(int& count) const {
  count = SplitMerge.NeedMerge ? 0 : SplitMerge.NumberOfSplit;
  return TRUE;
}

BOOL QVPAGESETUP_INFO::GetRotateAngle(int& degrees) const {
  degrees = Image.RotateAngle <= 3 ? Image.RotateAngle * 90 : 0;
  return TRUE;
}

BOOL QVPAGESETUP_INFO::GetSelectedChannel(int& color, int& grayscale, int& bitonal) const {
  color = Scanner.Color;
  grayscale = Scanner.Grayscale;
  bitonal = Scanner.Bitonal;
  return TRUE;
}

BOOL QVPAGESETUP_INFO::GetResultion(int& resolution) const {
  resolution = Scanner.Resolution;
  return TRUE;
}

BOOL QVPAGESETUP_INFO::GetFlatDelayTime(int& delay) const {
  delay = 0;
  if (Scanner.ScanMode != 2) return FALSE;
  delay = Scanner.FlatDelay;
  return TRUE;
}
