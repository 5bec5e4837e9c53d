#include "viewer/app/CMainToolBars.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVWinApp.h"
#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainCommands.h"

#include <vector>

IMPLEMENT_DYNAMIC(CMainToolBar, CQVToolBar)
IMPLEMENT_DYNAMIC(CCmdToolBar, CMainToolBar)
IMPLEMENT_DYNAMIC(CViewToolBar, CMainToolBar)

namespace {

constexpr COLORREF kTransparent = RGB(200, 200, 200);

}  // namespace

BOOL CMainToolBar::OnUpdate() {
  const CMainApp* app = CMainApp::GetMainApp();
  if (!app) return FALSE;
  const int size = app->GetIconSize();
  const std::span<const UINT> layout = GetButtonLayout();

  // Everything is gathered first, so that a missing picture leaves the bar as it was.
  CQVImageList images;
  if (!images.Create(size, size)) return FALSE;
  std::vector<int> pictures;
  for (const UINT id : layout) {
    if (id == 0) {
      pictures.push_back(-1);
      continue;
    }
    CString name;
    if (!CQVWinApp::FindID(id, name)) return FALSE;
    CString key;
    key.Format(u"TBN%d_", size);
    key += name;
    const int picture = images.AddImage(key, size, size, kTransparent);
    if (picture < 0) return FALSE;
    pictures.push_back(picture);
  }

  m_images.DeleteImageList();
  m_images.Attach(images.Detach());
  if (!SetButtons(layout.data(), static_cast<int>(layout.size()))) return FALSE;
  for (size_t i = 0; i < layout.size(); ++i) {
    if (layout[i] == 0) SetButtonInfo(static_cast<int>(i), 0, TBBS_SEPARATOR, kToolBarSeparatorWidth);
    else SetButtonInfo(static_cast<int>(i), layout[i], TBBS_BUTTON, pictures[i]);
  }
  SetImageList(&m_images);
  ShowIconText(0);
  AutoSize();
  return TRUE;
}

void CMainToolBar::UpdateCaption() {
  CString caption;
  CQVRCM::LoadText(GetCaptionKey(), caption);
  SetWindowText(caption);
}

std::span<const UINT> CCmdToolBar::GetButtonLayout() const { return CommandToolBarButtons(); }
std::span<const UINT> CViewToolBar::GetButtonLayout() const { return ViewToolBarButtons(); }
