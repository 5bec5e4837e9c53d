#pragma once
// The window layer's common dialogs: opening and saving files (GetOpenFileNameW,
// GetSaveFileNameW and CFileDialog) and printing (PrintDlgW and CPrintDialog, in printdlg.h).
//
// The file dialog is the layer's own: its items have the IDs that panels added with a template
// (OFN_ENABLETEMPLATE) place themselves by (1089 the file-type label, 1136 the file-type list,
// 1152 the name, 1120 the list of files). A panel is a child dialog below those items.

#include "platform/ui/win/winctrl.h"

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEW {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCWSTR lpstrFilter;  // pairs of texts ending in a null each, then a second null
  LPWSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;   // 1-based
  LPWSTR lpstrFile;     // the chosen path on return
  DWORD nMaxFile;
  LPWSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCWSTR lpstrInitialDir;
  LPCWSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCWSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCWSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
};
using LPOPENFILENAMEW = OPENFILENAMEW*;
using OPENFILENAME = OPENFILENAMEW;

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_NOTESTFILECREATE 0x00010000
#define OFN_EXPLORER 0x00080000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLESIZING 0x00800000

#define FNERR_BUFFERTOOSMALL 0x3003
#define CDERR_FINDRESFAILURE 0x0006

// The items of the file dialog.
#define IDC_FILE_TYPE_LABEL 1089
#define IDC_FILE_NAME_LABEL 1090
#define IDC_FILE_LOOKIN_LABEL 1091
#define IDC_FILE_LIST 1120
#define IDC_FILE_TYPE 1136
#define IDC_FILE_FOLDER 1137
#define IDC_FILE_UP 1138
#define IDC_FILE_NAME 1152

// TRUE with the path in lpstrFile when the user chose one; FALSE when cancelled or failed (then
// CommDlgExtendedError says why, 0 for a cancel).
BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn);
BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn);
DWORD CommDlgExtendedError();
