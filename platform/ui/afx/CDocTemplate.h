#pragma once
// Document templates: which document, frame and view classes go together, and the making of a
// document with its frame and view. A single-document template keeps one document and reuses it.

#include "platform/ui/afx/CCmdTarget.h"

#include <vector>

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)
public:
  ~CDocTemplate() override;

  // Opens the file as a document (null: a new, empty document) in its frame; the document, or
  // null when any step failed (what was made on the way is gone again).
  virtual CDocument* OpenDocumentFile(LPCWSTR path, BOOL makeVisible = TRUE) = 0;
  virtual void AddDocument(CDocument* doc);
  virtual void RemoveDocument(CDocument* doc);
  virtual CDocument* CreateNewDocument();
  virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
  virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible = TRUE);
  virtual void CloseAllDocuments(BOOL endSession);
  virtual BOOL SaveAllModified();
  int GetDocumentCount() const { return static_cast<int>(m_docList.size()); }
  CDocument* GetDocument(int index) const { return m_docList.at(static_cast<size_t>(index)); }

  UINT m_nIDResource {};
  CRuntimeClass* m_pDocClass {};
  CRuntimeClass* m_pFrameClass {};
  CRuntimeClass* m_pViewClass {};

protected:
  CDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass);

  std::vector<CDocument*> m_docList;
};

class CSingleDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CSingleDocTemplate)
public:
  CSingleDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass)
      : CDocTemplate(resourceId, docClass, frameClass, viewClass) {}
  CDocument* OpenDocumentFile(LPCWSTR path, BOOL makeVisible = TRUE) override;
};
