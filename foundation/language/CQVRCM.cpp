#include "foundation/language/CQVRCM.h"

void CQVRCM::RegisterRCM(HINSTANCE module, LPCWSTR fileName, BOOL sharesLanguage) {
  g_RCM.Add(module, fileName, sharesLanguage);
}

void CQVRCM::UnregisterRCM(HINSTANCE module) { g_RCM.Remove(module); }

int CQVRCM::GetRegisteredRCMCount() { return g_RCM.GetCount(); }

int CQVRCM::GetLanguageCount() { return g_RCM.GetLanguageCount(); }

BOOL CQVRCM::GetLanguage(int index, CString& name, CString& description, int& fallback) {
  return g_RCM.GetLanguage(index, name, description, fallback);
}

BOOL CQVRCM::SetCurrentLanguage(LPCWSTR name, HINSTANCE module, BOOL thisModuleOnly) {
  return g_RCM.SetCurrentLanguage(name, module, thisModuleOnly);
}

BOOL CQVRCM::GetCurrentLanguage(CString& name, HINSTANCE module) { return g_RCM.GetCurrentLanguage(name, module); }

BOOL CQVRCM::LoadText(LPCWSTR key, CString& text, HINSTANCE module) { return g_RCM.LoadText(key, text, module); }

BOOL CQVRCM::LoadBitmapW(LPCWSTR key, CDPXDIBHandle& image, HINSTANCE module) {
  return g_RCM.LoadBitmapW(key, image, module);
}

BOOL CQVRCM::LoadBitmapW(LPCWSTR key, CBitmap& bitmap, HINSTANCE module) {
  return g_RCM.LoadBitmapW(key, bitmap, module);
}

BOOL CQVRCM::LoadBitmapW(LPCWSTR key, CQVBitmapHandle& image, HINSTANCE module) {
  return g_RCM.LoadBitmapW(key, image, module);
}

BOOL CQVRCM::LoadData(LPCWSTR key, LPCWSTR target, HINSTANCE module) { return g_RCM.LoadData(key, target, module); }

BOOL CQVRCM::LoadButton(LPCWSTR key, CDPXBitmapButton& button, HINSTANCE module) {
  return g_RCM.LoadButton(key, button, module);
}
