#pragma once
// CSPRDialog: the viewer's progress dialog. A task without an icon of its own shows the viewer's
// progress picture ("BMP_DLG_SPR_ICON" over "BMP_DLG_SPR_ICON_MASK").

#include "framework/views/CQVSPRDialog.h"

class CSPRDialog : public CQVSPRDialog {
  DECLARE_DYNCREATE(CSPRDialog)
public:
  explicit CSPRDialog(CWnd* parent = nullptr) : CQVSPRDialog(parent) {}

  // Always TRUE.
  BOOL GetProgressIcon(CQVBitmapHandle& icon, CQVBitmapHandle& mask) override;
};
