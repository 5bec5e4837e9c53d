#include "platform/ui/UiModule.h"

#include "platform/core/module.h"
#include "platform/ui/DialogTemplate.h"

namespace qvui {

HINSTANCE UiModule() { return GetModuleFromAddress(reinterpret_cast<const void*>(&UiModule)); }

const DialogTemplate* UiTemplate(LPCWSTR name) { return FindDialogTemplate(UiModule(), name); }

}  // namespace qvui
