#include "platform/ui/afx/CDocument.h"

#include "platform/ui/afx/CDocTemplate.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CView.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

CDocument::~CDocument() {
  for (CView* view : m_viewList) view->m_pDocument = nullptr;
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::AddView(CView* view) {
  if (!view || std::find(m_viewList.begin(), m_viewList.end(), view) != m_viewList.end()) return;
  m_viewList.push_back(view);
  view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
  auto it = std::find(m_viewList.begin(), m_viewList.end(), view);
  if (it == m_viewList.end()) return;
  m_viewList.erase(it);
  view->m_pDocument = nullptr;
  // A document that loses its last view is closed.
  if (m_viewList.empty() && m_bAutoDelete) OnCloseDocument();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
  std::vector<CView*> views = m_viewList;
  for (CView* view : views)
    if (view != sender) view->OnUpdate(sender, hint, hintObject);
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCWSTR) { return FALSE; }

BOOL CDocument::CanCloseFrame(CFrameWnd*) { return SaveModified(); }

void CDocument::OnCloseDocument() {
  BOOL autoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;  // the views go one by one; the document must stay until the end
  while (!m_viewList.empty()) {
    CView* view = m_viewList.front();
    CFrameWnd* frame = view->GetParentFrame();
    if (frame) frame->DestroyWindow();
    else view->DestroyWindow();
    if (!m_viewList.empty() && m_viewList.front() == view) RemoveView(view);
  }
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
