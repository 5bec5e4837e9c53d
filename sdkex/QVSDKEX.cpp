// The SDK extension library: it joins the process's chain of modules when it is loaded, leaves it
// when it is unloaded, and reports its version.

#include "platform/core/CDynLinkLibrary.h"
#include "platform/sdk/CQVCommon.h"

namespace {

AFX_EXTENSION_MODULE g_extensionModule = {};
HINSTANCE g_instance = nullptr;

__attribute__((constructor)) void Attach() {
  HMODULE self = GetModuleFromAddress(reinterpret_cast<const void*>(&Attach));
  // A library cannot refuse its own load here; one that fails to join stays out of the chain.
  if (!AfxInitExtensionModule(g_extensionModule, self)) return;
  new CDynLinkLibrary(g_extensionModule);
  g_instance = self;
}

__attribute__((destructor)) void Detach() {
  AfxTermExtensionModule(g_extensionModule);
  g_instance = nullptr;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) ULONG QVSDKEX_GETVERSION() {
  ULONG version = 0;
  return CQVCommon::MakeVersion(0, 1, 2005080301, version) ? version : 0;
}
