#include "batchstore/jobs/CQVJDEHelper.h"

#include "foundation/language/CQVRCM.h"
#include "foundation/language/KernelEntry.h"

void CQVJDEHelper::GetErrorMessage(int code, CString& text) {
  text.Empty();
  CQVRCM::LoadText(u"JDE_ERR_MESSAGETEMPLATE", text, QVKernelInstance());
  CString number, key, message;
  number.Format(u"%d", code);
  text.Replace(u"<%code%>", number);
  key.Format(u"JDE_ERR_%05d", code);
  if (!CQVRCM::LoadText(key, message, QVKernelInstance())) message.Empty();
  text.Replace(u"<%message%>", message);
}
