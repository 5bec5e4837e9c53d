#include "viewer/output/CSPRDialog.h"

#include "foundation/language/CQVRCM.h"

IMPLEMENT_DYNCREATE(CSPRDialog, CQVSPRDialog)

BOOL CSPRDialog::GetProgressIcon(CQVBitmapHandle& icon, CQVBitmapHandle& mask) {
  if (!CQVSPRDialog::GetProgressIcon(icon, mask)) {
    CQVRCM::LoadBitmapW(u"BMP_DLG_SPR_ICON", icon);
    CQVRCM::LoadBitmapW(u"BMP_DLG_SPR_ICON_MASK", mask);
  }
  return TRUE;
}
