#pragma once
// The registry of modules and their language files behind CQVRCM.
//
// A module registers its instance handle (null: the main program) with the name of its language
// file, which lies in the module's own folder. A lookup by key asks the asking module's file, then
// the main program's, then every other module that shares the language setting, in registration
// order; within a file the current language comes first, then the file's fallback languages.
// Files are opened on first need; a file that cannot be opened takes no part and is tried again at
// the next lookup.
//
// The registry is used from several threads (progress tasks look texts up on their worker), so
// every operation holds the registry's lock: readers share one file position.

#include "foundation/language/CDPXDRSReader.h"
#include "platform/core/sync.h"

#include <functional>

class CQVBitmapHandle;

// One registered module.
class CQVRCMModuleItem : public CObject {
  DECLARE_DYNCREATE(CQVRCMModuleItem)
public:
  ~CQVRCMModuleItem() override;

  HINSTANCE m_hModule { nullptr };
  CString m_strFileName;                // relative to the module's folder, trimmed
  BOOL m_bSharesLanguage { FALSE };
  CDPXDRSReader* m_pReader { nullptr };  // owned; null until the file is first needed
};

class CQVRCMModuleItemList : public CDPXObList {
  DECLARE_DYNCREATE(CQVRCMModuleItemList)
public:
  // Registers a module. A module registered before keeps its file name and flag; a blank file
  // name registers nothing (null).
  CQVRCMModuleItem* Add(HINSTANCE module, LPCWSTR fileName, BOOL sharesLanguage);
  void Remove(HINSTANCE module);
  CQVRCMModuleItem* FindModule(HINSTANCE module);
  CQVRCMModuleItem* FindAppModule();
  int GetCount();

  // Languages of the main program's file.
  int GetLanguageCount();
  BOOL GetLanguage(int index, CString& name, CString& description, int& fallback);
  // Switches the module's language and, unless `thisModuleOnly`, that of every module that shares
  // the language setting. A sharing module whose file opens later starts in the language pushed
  // last, so that the modules stay in one language.
  BOOL SetCurrentLanguage(LPCWSTR name, HINSTANCE module, BOOL thisModuleOnly);
  BOOL GetCurrentLanguage(CString& name, HINSTANCE module);

  BOOL LoadText(LPCWSTR key, CString& text, HINSTANCE module);
  BOOL LoadBitmapW(LPCWSTR key, CDPXDIBHandle& image, HINSTANCE module);
  BOOL LoadBitmapW(LPCWSTR key, CBitmap& bitmap, HINSTANCE module);
  // The bitmap in a bitmap handle, whose old image is freed first.
  BOOL LoadBitmapW(LPCWSTR key, CQVBitmapHandle& image, HINSTANCE module);
  BOOL LoadData(LPCWSTR key, LPCWSTR target, HINSTANCE module);
  BOOL LoadButton(LPCWSTR key, CDPXBitmapButton& button, HINSTANCE module);

protected:
  POSITION Find(HINSTANCE module);
  // The record's reader, opened on first need in the module's folder; null when it cannot be.
  CDPXDRSReader* GetRCM(CQVRCMModuleItem* item);
  // Null stands for the main program; FALSE when that has no handle either.
  static BOOL CheckModule(HINSTANCE& module);
  static BOOL IsAppModule(HINSTANCE module);

private:
  // Asks the readers in search order until one answers TRUE.
  BOOL Search(HINSTANCE module, const std::function<BOOL(CDPXDRSReader&)>& ask);

  CCriticalSection m_lock;
  BOOL m_bLanguagePushed { FALSE };
  CString m_strPushedLanguage;
};
