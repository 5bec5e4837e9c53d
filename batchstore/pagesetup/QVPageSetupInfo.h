#pragma once
// A page setup in memory: where pages come from, how the scanner is set, how images are turned
// and cropped, which pages are deleted automatically and how pages are split or merged, with an
// opaque data block. Each part reads and writes its own section of the ".pagesetup" profile.
//
// Values read are brought into their field's range: the documented codes outside their range take
// their stated value, and numbers too big for a narrow field are clamped to it instead of wrapping.

#include "foundation/util/CDPXScriptFile.h"
#include "platform/core/globalmem.h"

#include <cstdint>

struct QVPAGESETUP_SCANNER {
  uint16_t Resolution;
  BOOL Color, Grayscale, Bitonal, Duplex;
  int16_t ScanMode;  // 0 automatic, 2 flatbed; outside 0..4 read as 4
  BOOL EnableFlatbedDelay;
  uint8_t FlatDelay;
  BOOL FrontColor, RearColor, FrontBitonal, RearBitonal;

  // FALSE when a key is missing (all are read) or the file is null.
  BOOL Get(CDPXScriptFile* file);
  BOOL Set(CDPXScriptFile* file) const;
};

struct QVPAGESETUP_IMAGE {
  uint8_t RotateAngle;  // 0..3 for 0, 90, 180, 270 degrees; above 3 read as 0
  uint8_t CropType;     // above 2 read as 0
  BOOL OverCrop;
  uint16_t OverCropSize;
  int16_t DuplexMode;  // 1 calendar mode; outside 0..1 read as 0
  uint8_t ImageOrder;

  BOOL Get(CDPXScriptFile* file);
  BOOL Set(CDPXScriptFile* file) const;
};

struct QVPAGESETUP_AUTODELETE {
  int16_t FrontSideBitonal;  // outside 0..3 read as 0
  int32_t FrontSideSizeLimitation;
  int16_t RearSideBitonal;
  int32_t RearSideSizeLimitation;
  int16_t FrontSizeColorGrayscale;
  int16_t RearSizeColorGrayscale;

  BOOL Get(CDPXScriptFile* file);
  BOOL Set(CDPXScriptFile* file) const;
};

struct QVPAGESETUP_SPLITMERGE {
  BOOL NeedMerge;
  uint8_t NumberOfSplit;
  BOOL HeightDirection;
  int32_t SplitMinValue, SplitMaxValue, MergeMinValue, MergeMaxValue;
  BOOL FrontOrder, RearOrder;
  uint8_t OutputOrder[16];  // 255 marks an empty entry

  // The output order reads "2;0;1;" into its first bytes; a piece that is no number from 0 to
  // 255 makes Get answer FALSE.
  BOOL Get(CDPXScriptFile* file);
  BOOL Set(CDPXScriptFile* file) const;
};

struct QVPAGESETUP_INFO {
  QVPAGESETUP_INFO() { Init(); }

  // Zeroes every field, empties the output order and forgets the data block (without freeing it).
  void Init();
  // Frees the data block, then Init.
  void Cleanup();

  BOOL Get(CDPXScriptFile* file);
  BOOL Set(CDPXScriptFile* file) const;

  BOOL NeedMerge() const { return SplitMerge.NeedMerge; }
  BOOL SplitPageNumber(int& count) const;
  BOOL SplitFront() const { return !SplitMerge.NeedMerge && SplitMerge.FrontOrder; }
  BOOL SplitRear() const { return !SplitMerge.NeedMerge && SplitMerge.RearOrder; }
  BOOL MergeByWidth() const { return SplitMerge.NeedMerge && SplitMerge.NumberOfSplit == 0; }
  BOOL MergeByHeight() const { return SplitMerge.NeedMerge && SplitMerge.NumberOfSplit != 0; }
  BOOL GetCalendarMode() const { return Image.DuplexMode == 1; }
  BOOL GetRotateAngle(int& degrees) const;
  BOOL GetSelectedChannel(int& color, int& grayscale, int& bitonal) const;
  BOOL GetResultion(int& resolution) const;
  BOOL IsAutoScan() const { return Scanner.ScanMode == 0; }
  BOOL IsFlatbedScan() const { return Scanner.ScanMode == 2; }
  BOOL EnableFlatbedDelay() const { return Scanner.EnableFlatbedDelay; }
  // FALSE and 0 unless the scanner is a flatbed.
  BOOL GetFlatDelayTime(int& delay) const;
  BOOL IsFromFile() const { return DataSource == 0; }
  BOOL IsFromScanner() const { return DataSource == 1; }

  int16_t DataSource;  // 0 from file, 1 from scanner; outside 0..1 read as 1
  QVPAGESETUP_SCANNER Scanner;
  QVPAGESETUP_IMAGE Image;
  QVPAGESETUP_AUTODELETE AutoDelete;
  QVPAGESETUP_SPLITMERGE SplitMerge;
  HGLOBAL Data;  // the ".data" file's bytes in a movable block, or null; owned by the record
};
