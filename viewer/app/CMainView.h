#pragma once
// CMainView: the view of the viewer's document template, the area beside the tool bars where the
// document browser shows the pages. Until the browser is built it shows an empty work area.

#include "platform/ui/afx/CView.h"

class CMainView : public CView {
  DECLARE_DYNCREATE(CMainView)
public:
  void OnDraw(CDC* dc) override;
  void OnInitialUpdate() override;

protected:
  CMainView() = default;
};
