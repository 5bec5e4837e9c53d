#include "framework/app/CQVWinApp.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVGUIRegistry.h"
#include "framework/app/CQVHotKeyList.h"
#include "framework/app/CQVIDRegistry.h"
#include "foundation/util/CDPXTempFilename.h"
#include "platform/core/CException.h"

IMPLEMENT_DYNAMIC(CQVWinApp, CWinApp)

namespace {

// Replaces `slot` with a new object of `cls`, which must be `base` or derive from it.
template <typename T>
BOOL InitService(T*& slot, CRuntimeClass* cls, CRuntimeClass* base) {
  delete slot;
  slot = nullptr;
  if (!cls) return TRUE;
  if (!cls->IsDerivedFrom(base)) return FALSE;
  CObject* made = cls->CreateObject();
  if (!made) return FALSE;
  slot = static_cast<T*>(made);
  return TRUE;
}

}  // namespace

CQVWinApp::CQVWinApp() : CWinApp(nullptr) {}

CQVWinApp::~CQVWinApp() {
  delete m_pHotKeyList;
  delete m_pIDRegistry;
  delete m_pGUIRegistry;
}

int CQVWinApp::ExitInstance() {
  delete m_pHotKeyList;
  m_pHotKeyList = nullptr;
  return CWinApp::ExitInstance();
}

CQVWinApp* CQVWinApp::GetApp() {
  CWinApp* app = AfxGetApp();
  return app && app->IsKindOf(RUNTIME_CLASS(CQVWinApp)) ? static_cast<CQVWinApp*>(app) : nullptr;
}

BOOL CQVWinApp::RegisterGUI(UINT id, CWnd* window) {
  CQVWinApp* app = GetApp();
  return app && app->m_pGUIRegistry ? app->m_pGUIRegistry->Register(id, window) : FALSE;
}

void CQVWinApp::UnregisterGUI(CWnd* window) {
  if (CQVWinApp* app = GetApp(); app && app->m_pGUIRegistry) app->m_pGUIRegistry->Unregister(window);
}

CWnd* CQVWinApp::FindGUI(UINT id) {
  CQVWinApp* app = GetApp();
  return app && app->m_pGUIRegistry ? app->m_pGUIRegistry->Find(id) : nullptr;
}

void CQVWinApp::ShowGUI(UINT id, BOOL show) {
  if (CQVWinApp* app = GetApp(); app && app->m_pGUIRegistry) app->m_pGUIRegistry->Show(id, show);
}

BOOL CQVWinApp::IsGUIVisible(UINT id) {
  CQVWinApp* app = GetApp();
  return app && app->m_pGUIRegistry ? app->m_pGUIRegistry->IsVisible(id) : FALSE;
}

BOOL CQVWinApp::FindID(LPCWSTR name, UINT& id) {
  id = 0;
  CQVWinApp* app = GetApp();
  return app && app->m_pIDRegistry ? app->m_pIDRegistry->Find(name, id) : FALSE;
}

BOOL CQVWinApp::FindID(UINT id, CString& name) {
  name.Empty();
  CQVWinApp* app = GetApp();
  return app && app->m_pIDRegistry ? app->m_pIDRegistry->Find(id, name) : FALSE;
}

BOOL CQVWinApp::FindID(UINT id, CString& key, LPCWSTR prefix) {
  key.Empty();
  CString name;
  if (!FindID(id, name) || name.IsEmpty()) return FALSE;
  key = CString(prefix ? prefix : u"") + name;
  return TRUE;
}

BOOL CQVWinApp::LoadIDText(UINT id, CString& text, LPCWSTR prefix, HINSTANCE module) {
  text.Empty();
  CString key;
  if (!FindID(id, key, prefix)) return FALSE;
  return CQVRCM::LoadText(key, text, module);
}

BOOL CQVWinApp::LoadIDText_MNU(UINT id, CString& text, HINSTANCE module) { return LoadIDText(id, text, u"MNU_", module); }
BOOL CQVWinApp::LoadIDText_TXT(UINT id, CString& text, HINSTANCE module) { return LoadIDText(id, text, u"TXT_", module); }
BOOL CQVWinApp::LoadIDText_TIP(UINT id, CString& text, HINSTANCE module) { return LoadIDText(id, text, u"TIP_", module); }

void CQVWinApp::EnableMainFrameHotKey(BOOL enable) {
  if (CQVWinApp* app = GetApp(); app && app->m_pHotKeyList) app->m_pHotKeyList->EnableHotKey(enable);
}

BOOL CQVWinApp::IsMainFrameHotKeyEnabled() {
  CQVWinApp* app = GetApp();
  return app && app->m_pHotKeyList ? app->m_pHotKeyList->IsHotKeyEnabled() : FALSE;
}

BOOL CQVWinApp::PreTranslateMainFrameMessage(MSG* msg, CWnd* target) {
  CQVWinApp* app = GetApp();
  return app && app->m_pHotKeyList ? app->m_pHotKeyList->PreTranslateMessage(msg, target) : FALSE;
}

BOOL CQVWinApp::FindKeyDescription(UINT id, CString& text) {
  text.Empty();
  CQVWinApp* app = GetApp();
  return app && app->m_pHotKeyList ? app->m_pHotKeyList->FindDescription(id, text) : FALSE;
}

BOOL CQVWinApp::InitGUIRegistry(CRuntimeClass* cls) {
  return InitService(m_pGUIRegistry, cls, RUNTIME_CLASS(CQVGUIRegistry));
}

BOOL CQVWinApp::InitIDRegistry(CRuntimeClass* cls) {
  return InitService(m_pIDRegistry, cls, RUNTIME_CLASS(CQVIDRegistry));
}

BOOL CQVWinApp::RegisterID(UINT id, LPCWSTR name) { return m_pIDRegistry ? m_pIDRegistry->Register(id, name) : FALSE; }

void CQVWinApp::UnregisterID(UINT id) {
  if (m_pIDRegistry) m_pIDRegistry->Unregister(id);
}

BOOL CQVWinApp::InitHotKeyList(LPCWSTR resourceName, CRuntimeClass* cls) {
  delete m_pHotKeyList;
  m_pHotKeyList = nullptr;
  if (!cls) return TRUE;
  if (!cls->IsDerivedFrom(RUNTIME_CLASS(CQVHotKeyList))) return FALSE;
  auto* list = static_cast<CQVHotKeyList*>(cls->CreateObject());
  if (!list) return FALSE;
  try {
    list->BeginHotKeyList();
    CString name(resourceName ? resourceName : u"");
    name.Trim();
    if (name.IsEmpty()) name = u"QVKERNEL_MAINFRAME_HOTKEYS";
    LoadHotKeyList(list, name);
    LoadExtraHotKeyList(list);
    list->EndHotKeyList();
  } catch (CException* e) {
    e->Delete();
    delete list;
    return FALSE;
  }
  list->EnableHotKey(TRUE);
  m_pHotKeyList = list;
  return TRUE;
}

void CQVWinApp::LoadHotKeyList(CQVHotKeyList* list, LPCWSTR resourceName) {
  CDPXTempFilename temp;
  CString path;
  if (!list || !temp.Create(path)) return;
  if (CQVRCM::LoadData(resourceName, path, nullptr)) list->AddScripts(path, nullptr);
}

void CQVWinApp::LoadExtraHotKeyList(CQVHotKeyList* list) {
  CString path;
  if (list && GetAppProfileFilename(path)) list->AddScripts(path, nullptr);
}
