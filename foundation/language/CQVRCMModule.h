#pragma once
// CQVRCMModule binds an object to the module whose language file answers its lookups, so that a
// dialog, view or menu asks for its texts by key alone. The framework's classes derive from it
// virtually: one object holds one module handle however many such bases it has. Null, the
// default, stands for the main program.

#include "platform/core/CString.h"

class CBitmap;
class CQVBitmapHandle;
class CDPXDIBHandle;
class CDPXBitmapButton;

class CQVRCMModule {
public:
  void SetRCMModule(HINSTANCE module) { m_hRCMModule = module; }
  HINSTANCE GetRCMModule() const { return m_hRCMModule; }

  BOOL LoadText(LPCWSTR key, CString& text);
  BOOL LoadBitmapW(LPCWSTR key, CDPXDIBHandle& image);
  BOOL LoadBitmapW(LPCWSTR key, CBitmap& bitmap);
  BOOL LoadBitmapW(LPCWSTR key, CQVBitmapHandle& image);
  BOOL LoadData(LPCWSTR key, LPCWSTR target);
  BOOL LoadButton(LPCWSTR key, CDPXBitmapButton& button);

private:
  HINSTANCE m_hRCMModule { nullptr };
};
