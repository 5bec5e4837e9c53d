#pragma once
// The viewer's settings: the records every part of the viewer reads and changes while it runs, and
// their profile "SXS.dat" in the workstation's "Sys" folder, read once at start-up and written
// once when the main frame closes. The application object holds one CMainSettings.
//
// Every key is read on its own: a key that is missing or not a number keeps its default and the
// others are read all the same. Sections and keys of the file that the viewer does not know stay
// in it when it is written.

#include "foundation/util/CDPXScriptFile.h"
#include "platform/core/CString.h"

#include <utility>
#include <vector>

// General options (section "QVSettings"); the settings dialog copies this record out and back.
struct QVSettings {
  int nSaveResults { 0 };
  int nAllowMultiSelect { 0 };
  int nLargeIcon { 0 };
  int nRemberSearch { 0 };
  int nLanchView { 0 };
  int nDisplayPageCount { 0 };
  int nSearchMode { 1 };  // 1 one CD drive, 2 a folder of batches, 3 a list of roots
  CString strDriver;
  CString strPath;
  CString strAllDrives;
};

// Print options (section "PrintSetting"); the printer and its driver settings live only while the
// program runs.
struct PrintSetting {
  CString strPrinterName;
  CString strDriverName;
  CString strPortName;
  HGLOBAL hDevMode { nullptr };
  int nNumPerSheet { 1 };
  int nOrientation { 1 };
  int nPrintRange { 3 };
  int nPageFrom { -1 };
  int nPageTo { -1 };
  int nNumOfCopies { 1 };
  int nRowNumber { 1 };
  int nColNumber { 1 };
  int nCurrentScreenUnavailable { 0 };
};

// E-mail options (section "EmailSetting"). In the file every line break of the body stands as
// "__CR__".
struct EmailSetting {
  CString strMailClient;
  CString strMailTitle;
  CString strMailTo;
  CString strMailCc;
  CString strMailBcc;
  CString strAttachName;
  CString strMailBody;
  int nIncludeADID { 0 };
  int nCombineTIFF { 0 };
  int nSaveLogFile { 0 };
  CString strLogPath;
  int nImagesFrom { -1 };
  int nImagesTo { -1 };
  int nRangeMode { 1 };
};

// Save-as-PDF options (section "SaveAsPDFOption"); the path lives only while the program runs.
struct SaveAsPDFOption {
  CString strPath;
  int nImageFrom { -1 };
  int nImageTo { -1 };
  int nSaveRange { 1 };
};

// Screen layout (section "ScreenLayout").
struct ScreenLayout {
  int nScreenWidth { 0 };
  int nScreenHeight { 0 };
  int nIsMaximized { 0 };
  int nWindowLeft { 0 };
  int nWindowTop { 0 };
  int nWindowWidth { 0 };
  int nWindowHeight { 0 };
  int nViewBrowserRows { 2 };
  int nViewBrowserCols { 4 };
  int nViewMagnifierRatio { 200 };
  int nViewScrollStep { 10 };
  int nViewZoomStep { 10 };
  RECT rcResultsDialog { 0, 0, 0, 0 };  // keys "SRD_WindowLeft" ... "SRD_WindowBottom"
  CString strLanguageID;
  CString strDockstateFile;
  int nShowAssistant { 0 };
  int nAssistantLeft { 0 };
  int nAssistantTop { 0 };
};

class CMainSettings {
public:
  // The key under which the last search keeps its document number.
  static constexpr LPCWSTR kDocumentKey = u"__DOCUMENT__";

  // The settings live in `sysFolder` (the workstation's "Sys" folder): "SXS.dat", and the tool
  // bars' docking state in "SXS.dockstate". FALSE for an empty folder.
  BOOL InitSettingsPaths(LPCWSTR sysFolder);
  CString GetSettingsPath() const { return m_strSettingsPath; }

  // Without a file the defaults stay and the answer is TRUE. FALSE when the file cannot be read
  // or a key was missing or malformed (that key kept its value).
  BOOL LoadSettings();
  // Writes every record. FALSE, with the file on disk as it was, when it cannot be written.
  BOOL SaveSettings();

  ScreenLayout m_screenLayout;
  int m_nIconSize { 32 };  // edge of a tool-bar image: 40 with "LargeIcon", else 32
  std::vector<std::pair<CString, CString>> m_lastSearchValues;
  CString m_strBatchName;
  BOOL m_bAllBatches { FALSE };
  CString m_strWidthList;
  CString m_strSortItem;
  BOOL m_bSortAsc { FALSE };
  QVSettings m_general;
  PrintSetting m_print;
  EmailSetting m_email;
  SaveAsPDFOption m_pdf;
  BOOL m_bIncludeIndexHeader { FALSE };

private:
  enum class Type { Bool, Int, UInt, String, SearchValues };
  struct Key {
    LPCWSTR section;
    LPCWSTR key;
    Type type;
    int* number;
    CString* text;
  };
  // Every key in the order of the file.
  std::vector<Key> Keys();
  BOOL ReadKey(const Key& key);
  BOOL WriteKey(const Key& key);

  CDPXScriptFile m_file;
  CString m_strSettingsPath;
};
