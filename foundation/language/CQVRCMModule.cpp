#include "foundation/language/CQVRCMModule.h"

#include "foundation/language/CQVRCM.h"

BOOL CQVRCMModule::LoadText(LPCWSTR key, CString& text) { return CQVRCM::LoadText(key, text, m_hRCMModule); }

BOOL CQVRCMModule::LoadBitmapW(LPCWSTR key, CDPXDIBHandle& image) { return CQVRCM::LoadBitmapW(key, image, m_hRCMModule); }

BOOL CQVRCMModule::LoadBitmapW(LPCWSTR key, CBitmap& bitmap) { return CQVRCM::LoadBitmapW(key, bitmap, m_hRCMModule); }

BOOL CQVRCMModule::LoadBitmapW(LPCWSTR key, CQVBitmapHandle& image) {
  return CQVRCM::LoadBitmapW(key, image, m_hRCMModule);
}

BOOL CQVRCMModule::LoadData(LPCWSTR key, LPCWSTR target) { return CQVRCM::LoadData(key, target, m_hRCMModule); }

BOOL CQVRCMModule::LoadButton(LPCWSTR key, CDPXBitmapButton& button) {
  return CQVRCM::LoadButton(key, button, m_hRCMModule);
}
