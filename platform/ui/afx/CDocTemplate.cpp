#include "platform/ui/afx/CDocTemplate.h"

#include "platform/ui/afx/CDocument.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CView.h"
#include "platform/ui/afx/CWinApp.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass,
                           CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {}

CDocTemplate::~CDocTemplate() {
  for (CDocument* doc : m_docList) doc->m_pDocTemplate = nullptr;
}

void CDocTemplate::AddDocument(CDocument* doc) {
  if (!doc || std::find(m_docList.begin(), m_docList.end(), doc) != m_docList.end()) return;
  m_docList.push_back(doc);
  doc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* doc) {
  auto it = std::find(m_docList.begin(), m_docList.end(), doc);
  if (it == m_docList.end()) return;
  m_docList.erase(it);
  doc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
  if (!m_pDocClass) return nullptr;
  CObject* object = m_pDocClass->CreateObject();
  auto* doc = dynamic_cast<CDocument*>(object);
  if (!doc) {
    delete object;
    return nullptr;
  }
  AddDocument(doc);
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
  if (!m_pFrameClass) return nullptr;
  CCreateContext context;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pCurrentDoc = doc;
  context.m_pNewDocTemplate = this;
  context.m_pCurrentFrame = other;
  CObject* object = m_pFrameClass->CreateObject();
  auto* frame = dynamic_cast<CFrameWnd*>(object);
  if (!frame) {
    delete object;
    return nullptr;
  }
  // A frame whose window could not be made has deleted itself (PostNcDestroy).
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) return nullptr;
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible) {
  frame->InitialUpdateFrame(doc, makeVisible);
}

void CDocTemplate::CloseAllDocuments(BOOL) {
  std::vector<CDocument*> docs = m_docList;
  for (CDocument* doc : docs) doc->OnCloseDocument();
}

BOOL CDocTemplate::SaveAllModified() {
  std::vector<CDocument*> docs = m_docList;
  for (CDocument* doc : docs)
    if (!doc->SaveModified()) return FALSE;
  return TRUE;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCWSTR path, BOOL makeVisible) {
  CDocument* doc = nullptr;
  CFrameWnd* frame = nullptr;
  bool createdDoc = false;
  bool createdFrame = false;
  if (!m_docList.empty()) {
    doc = m_docList.front();
    if (!doc->SaveModified()) return nullptr;
    if (doc->GetViewCount() > 0) frame = doc->GetView(0)->GetParentFrame();
  } else {
    doc = CreateNewDocument();
    if (!doc) return nullptr;
    createdDoc = true;
  }
  if (!frame) {
    BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE;  // a frame that fails must not take the document with it
    frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (!frame) {
      if (createdDoc) delete doc;
      return nullptr;
    }
    createdFrame = true;
  }
  BOOL opened = path ? doc->OnOpenDocument(path) : doc->OnNewDocument();
  if (!opened) {
    if (createdFrame) frame->DestroyWindow();
    return nullptr;
  }
  if (path) doc->SetPathName(path);
  CWinApp* app = AfxGetApp();
  if (createdFrame && app && !app->m_pMainWnd) app->m_pMainWnd = frame;
  InitialUpdateFrame(frame, doc, makeVisible);
  return doc;
}
