#pragma once
// CView: a child window of a frame that shows a document. It routes commands it does not handle
// to its document and is deleted with its window.

#include "platform/ui/afx/CWnd.h"

class CDocument;
class CDocTemplate;
class CView;

// What a frame is made with: the view class to create and the document it shows.
struct CCreateContext {
  CRuntimeClass* m_pNewViewClass {};
  CDocument* m_pCurrentDoc {};
  CDocTemplate* m_pNewDocTemplate {};
  CView* m_pLastView {};
  CFrameWnd* m_pCurrentFrame {};
};

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)
public:
  ~CView() override;
  CDocument* GetDocument() const { return m_pDocument; }
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  virtual void OnDraw(CDC* dc) = 0;
  virtual void OnPrepareDC(CDC*, void* = nullptr) {}
  virtual void OnInitialUpdate();
  virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
  virtual void OnActivateView(BOOL activate, CView* activated, CView* deactivated);

protected:
  CView() = default;
  void PostNcDestroy() override { delete this; }
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnPaint();
  int OnMouseActivate(CWnd* topParent, UINT hit, UINT message);
  LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

  CDocument* m_pDocument {};
  friend class CDocument;

  DECLARE_MESSAGE_MAP()
};
