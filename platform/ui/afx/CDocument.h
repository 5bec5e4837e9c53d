#pragma once
// CDocument: the data a frame's views show. It routes commands it does not handle to its
// document template, keeps its views, and by default deletes itself when it is closed.

#include "platform/ui/afx/CCmdTarget.h"

#include <vector>

class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)
public:
  CDocument() = default;
  ~CDocument() override;

  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(LPCWSTR title) { m_strTitle = title; }
  const CString& GetPathName() const { return m_strPathName; }
  virtual void SetPathName(LPCWSTR path) { m_strPathName = path; }
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

  void AddView(CView* view);
  void RemoveView(CView* view);
  int GetViewCount() const { return static_cast<int>(m_viewList.size()); }
  CView* GetView(int index) const { return m_viewList.at(static_cast<size_t>(index)); }
  void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

  virtual BOOL OnNewDocument();
  // Reading a document from a file belongs to the derived document; the base reads nothing.
  virtual BOOL OnOpenDocument(LPCWSTR path);
  // Destroys the frames of its views, empties the document and, with auto-delete, deletes it.
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  virtual BOOL SaveModified() { return TRUE; }
  virtual BOOL CanCloseFrame(CFrameWnd* frame);
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  BOOL m_bAutoDelete {TRUE};
  CDocTemplate* m_pDocTemplate {};

protected:
  CString m_strTitle;
  CString m_strPathName;
  BOOL m_bModified {};
  std::vector<CView*> m_viewList;
};
