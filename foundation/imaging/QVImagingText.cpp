#include "foundation/imaging/QVImagingText.h"

#include "foundation/language/CQVRCM.h"
#include "foundation/language/KernelEntry.h"
#include "platform/core/codepage.h"

std::string QVLoadAnsiText(LPCWSTR key) {
  CString text;
  if (!CQVRCM::LoadText(key, text, QVKernelInstance())) return {};
  return WideToAnsi(text.View());
}
