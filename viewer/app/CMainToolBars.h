#pragma once
// The main frame's two tool bars: the command bar (search, page actions, rotation, tools) and the
// view bar (paging and grids). Each builds its buttons from the command table's layout, with the
// pictures "TBN32_" or "TBN40_" + the command's name at the application's icon size.

#include "framework/app/CQVImageList.h"
#include "framework/bars/CQVToolBar.h"

#include <span>

class CMainToolBar : public CQVToolBar {
  DECLARE_DYNAMIC(CMainToolBar)
public:
  // Rebuilds the picture list and the buttons; FALSE, with the bar as it was, when a command has
  // no name or a picture is missing.
  BOOL OnUpdate() override;
  // The buttons in order, 0 for a separator.
  virtual std::span<const UINT> GetButtonLayout() const = 0;
  // The caption's text key.
  virtual LPCWSTR GetCaptionKey() const = 0;
  // Loads the caption in the current language.
  void UpdateCaption();

private:
  CQVImageList m_images;
};

class CCmdToolBar : public CMainToolBar {
  DECLARE_DYNAMIC(CCmdToolBar)
public:
  std::span<const UINT> GetButtonLayout() const override;
  LPCWSTR GetCaptionKey() const override { return u"CAP_TBR_CMD"; }
};

class CViewToolBar : public CMainToolBar {
  DECLARE_DYNAMIC(CViewToolBar)
public:
  std::span<const UINT> GetButtonLayout() const override;
  LPCWSTR GetCaptionKey() const override { return u"CAP_TBR_VIEW"; }
};
