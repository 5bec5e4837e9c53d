#include "platform/ui/internal/UiModule.h"

#include "platform/core/module.h"
#include "platform/ui/win/dialogtemplate.h"

namespace qvui {

HINSTANCE UiModule() { return GetModuleFromAddress(reinterpret_cast<const void*>(&UiModule)); }

const DialogTemplate* UiTemplate(LPCWSTR name) { return FindDialogTemplate(UiModule(), name); }

}  // namespace qvui
