#include "viewer/app/CMainAssistant.h"

IMPLEMENT_DYNCREATE(CMainAssistant, CQVAssistantDialog)

CMainAssistant::CMainAssistant() {
  SetRCMModule(nullptr);  // the program's language file
  m_strBackgroundKey = u"BMP_DLG_ASSISTANT_BKBMP";
  m_strOutlineKey = u"BMP_DLG_ASSISTANT_OUTLINE";
}
