// A shared library that joins the chain of modules while it is loaded, as extension modules do.

#include "platform/core/CDynLinkLibrary.h"

namespace {

AFX_EXTENSION_MODULE g_extension = {};

__attribute__((constructor)) void JoinModules() {
  HMODULE self = GetModuleFromAddress(reinterpret_cast<const void*>(&JoinModules));
  if (AfxInitExtensionModule(g_extension, self)) new CDynLinkLibrary(g_extension);
}

__attribute__((destructor)) void LeaveModules() { AfxTermExtensionModule(g_extension); }

}  // namespace

extern "C" int TestModuleAnswer() { return 42; }
