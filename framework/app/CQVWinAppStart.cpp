// The application's start-up and its main frame and document.

#include "framework/app/CQVDocument.h"
#include "framework/app/CQVMainFrame.h"
#include "framework/app/CQVWinApp.h"
#include "framework/dialogs/CQVBlankView.h"
#include "platform/core/module.h"
#include "platform/ui/afx/CDocTemplate.h"
#include "platform/ui/ole/DragDrop.h"

#include <memory>

CQVMainFrame* CQVWinApp::GetMainFrame() {
  CQVWinApp* app = GetApp();
  if (!app) return nullptr;
  CWnd* main = app->m_pMainWnd ? app->m_pMainWnd : app->m_pMainFrame;
  return main && main->IsKindOf(RUNTIME_CLASS(CQVMainFrame)) ? static_cast<CQVMainFrame*>(main) : nullptr;
}

CQVDocument* CQVWinApp::GetDocument() {
  CQVWinApp* app = GetApp();
  if (!app) return nullptr;
  CDocument* document = app->m_pDocument;
  if (app->m_pMainWnd) {
    if (!app->m_pMainWnd->IsKindOf(RUNTIME_CLASS(CQVMainFrame))) return nullptr;
    document = static_cast<CQVMainFrame*>(app->m_pMainWnd)->GetActiveDocument();
  }
  return document && document->IsKindOf(RUNTIME_CLASS(CQVDocument)) ? static_cast<CQVDocument*>(document) : nullptr;
}

void CQVWinApp::RegisterMainFrame(CQVMainFrame* frame, BOOL add) {
  CQVWinApp* app = GetApp();
  if (!app) return;
  if (add && !app->m_pMainFrame) app->m_pMainFrame = frame;
  else if (!add && app->m_pMainFrame == frame) app->m_pMainFrame = nullptr;
}

void CQVWinApp::RegisterDocument(CQVDocument* document, BOOL add) {
  CQVWinApp* app = GetApp();
  if (!app) return;
  if (add && !app->m_pDocument) app->m_pDocument = document;
  else if (!add && app->m_pDocument == document) app->m_pDocument = nullptr;
}

void CQVWinApp::GetMainFrameClass(CString& name) { name.Empty(); }

BOOL CQVWinApp::OnCreateMainFrameClass(LPCWSTR className) {
  WNDCLASSW wc {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  return AfxRegisterClass(&wc);
}

BOOL CQVWinApp::OnFoundPreviousInstance(CWnd* previous) {
  if (previous->IsIconic()) previous->ShowWindow(SW_RESTORE);
  previous->SetForegroundWindow();
  return FALSE;
}

BOOL CQVWinApp::InitInstance() {
  if (!CWinApp::InitInstance()) return FALSE;
  CString className;
  GetMainFrameClass(className);
  if (!className.IsEmpty()) {
    if (!OnCreateMainFrameClass(className)) return FALSE;
    // The class is this process's from here on, so a second start that looks now finds it.
    if (HWND previous = FindWindowW(className, nullptr); previous && !OnFoundPreviousInstance(CWnd::FromHandle(previous)))
      return FALSE;
  }
  AfxOleInit();
  if (!OnInitInstance()) return FALSE;
  if (!m_nTemplateID || !m_pDocumentClass || !m_pDocumentClass->IsDerivedFrom(RUNTIME_CLASS(CQVDocument)) ||
      !m_pFrameClass || !m_pFrameClass->IsDerivedFrom(RUNTIME_CLASS(CQVMainFrame)))
    return FALSE;
  CRuntimeClass* view = m_pViewClass ? m_pViewClass : RUNTIME_CLASS(CQVBlankView);
  AddDocTemplate(new CSingleDocTemplate(m_nTemplateID, m_pDocumentClass, m_pFrameClass, view));
  OnFileNew();
  if (!m_pMainWnd || !OnPreShowMainFrame()) return FALSE;
  m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
  m_pMainWnd->UpdateWindow();
  OnPostShowMainFrame(m_pMainWnd);
  return TRUE;
}
