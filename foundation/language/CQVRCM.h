#pragma once
// CQVRCM: the language resources of every module, found by key. Each module registers its
// language file once; any code then asks for a text, bitmap or data item by key and the instance handle
// of the module it belongs to (null: the main program). See CQVRCMModuleItemList for the order in
// which the files are searched.
//
// The kernel library registers its own file "QVKERNEL.drs" when it is loaded.

#include "foundation/language/CQVRCMModuleItemList.h"

class CQVRCM {
public:
  static void RegisterRCM(HINSTANCE module, LPCWSTR fileName, BOOL sharesLanguage);
  static void UnregisterRCM(HINSTANCE module);
  static int GetRegisteredRCMCount();

  // The languages of the main program's file.
  static int GetLanguageCount();
  static BOOL GetLanguage(int index, CString& name, CString& description, int& fallback);
  static BOOL SetCurrentLanguage(LPCWSTR name, HINSTANCE module = nullptr, BOOL thisModuleOnly = FALSE);
  static BOOL GetCurrentLanguage(CString& name, HINSTANCE module = nullptr);

  static BOOL LoadText(LPCWSTR key, CString& text, HINSTANCE module = nullptr);
  static BOOL LoadBitmapW(LPCWSTR key, CDPXDIBHandle& image, HINSTANCE module = nullptr);
  // A device-dependent bitmap for the display.
  static BOOL LoadBitmapW(LPCWSTR key, CBitmap& bitmap, HINSTANCE module = nullptr);
  static BOOL LoadBitmapW(LPCWSTR key, CQVBitmapHandle& image, HINSTANCE module = nullptr);
  // Writes the data item of a key to the file at `target`.
  static BOOL LoadData(LPCWSTR key, LPCWSTR target, HINSTANCE module = nullptr);
  static BOOL LoadButton(LPCWSTR key, CDPXBitmapButton& button, HINSTANCE module = nullptr);

  static CQVRCMModuleItemList g_RCM;
};
