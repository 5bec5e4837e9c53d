#pragma once
// Internal to platform/ui: included only by its own files (a test of the build checks this).
// Inside the window layer: the layer's own module, whose dialog templates (res/ui.dlg) are its own.

#include "platform/core/wintypes.h"

struct DialogTemplate;

namespace qvui {

HINSTANCE UiModule();
// A template of the layer's own; null when missing (the layer is then built wrongly).
const DialogTemplate* UiTemplate(LPCWSTR name);
// What CommDlgExtendedError answers next (0: the last common dialog was cancelled or succeeded).
void SetCommonDialogError(DWORD error);

}  // namespace qvui
