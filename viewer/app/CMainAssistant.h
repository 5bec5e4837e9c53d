#pragma once
// CMainAssistant: the viewer's assistant panel, the framework's floating help panel in the viewer's
// own outline and colours (both pictures from the viewer's language file). The main frame makes it
// on first use; where it stands and whether it shows are kept with the frame's layout.

#include "framework/app/CQVAssistantDialog.h"

class CMainAssistant : public CQVAssistantDialog {
  DECLARE_DYNCREATE(CMainAssistant)
public:
  CMainAssistant();
};
