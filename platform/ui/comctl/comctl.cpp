// The common controls as the built-in module "comctl32.dll": its DllGetVersion tells a program
// which version's behaviour the controls follow.

#include "platform/core/module.h"
#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/shell/shlobj.h"

#include <atomic>

namespace {

std::atomic<DWORD> g_major {6};
std::atomic<DWORD> g_minor {0};

HRESULT DllGetVersion(DLLVERSIONINFO* info) {
  if (!info || info->cbSize != sizeof(DLLVERSIONINFO)) return E_INVALIDARG;
  const DWORD major = g_major;
  if (major == 0) return E_FAIL;
  info->dwMajorVersion = major;
  info->dwMinorVersion = g_minor;
  info->dwBuildNumber = 0;
  info->dwPlatformID = DLLVER_PLATFORM_NT;
  return S_OK;
}

const BUILTIN_EXPORT kExports[] = {{"DllGetVersion", reinterpret_cast<FARPROC>(&DllGetVersion)}};

// Registered when the window layer is loaded, before any program code can look for it.
[[maybe_unused]] const HMODULE g_module = RegisterBuiltinModule(u"comctl32.dll", kExports, 1);

}  // namespace

void SetCommonControlsVersion(DWORD major, DWORD minor) {
  g_major = major;
  g_minor = minor;
}
