// The kernel library's entry: the registry of language files lives as long as the library, and
// the kernel's own language file is registered while the library is loaded.

#include "foundation/language/KernelEntry.h"

#include "foundation/language/CQVRCM.h"
#include "platform/core/CDynLinkLibrary.h"
#include "platform/core/module.h"
#include "platform/sdk/CQVCommon.h"

// Defined before the entry below: the objects of one file are made in this order and destroyed
// in the reverse one, so the registry exists for as long as the kernel's file is registered.
CQVRCMModuleItemList CQVRCM::g_RCM;

namespace {

AFX_EXTENSION_MODULE g_kernelExtension;

class KernelLibraryEntry {
public:
  // On load: join the program as an extension module, then register the language file.
  KernelLibraryEntry() {
    const HINSTANCE instance = GetModuleFromAddress(this);
    if (!AfxInitExtensionModule(g_kernelExtension, instance)) return;
    new CDynLinkLibrary(g_kernelExtension);
    m_hInstance = instance;
    CQVRCM::RegisterRCM(m_hInstance, u"QVKERNEL.drs", TRUE);
  }
  // On unload.
  ~KernelLibraryEntry() {
    if (!m_hInstance) return;
    CQVRCM::UnregisterRCM(m_hInstance);
    AfxTermExtensionModule(g_kernelExtension);
    m_hInstance = nullptr;
  }

private:
  HINSTANCE m_hInstance { nullptr };
};

const KernelLibraryEntry g_kernelLibraryEntry;

}  // namespace

HINSTANCE QVKernelInstance() { return g_kernelExtension.hModule; }

extern "C" DWORD QVKERNEL_GETVERSION() {
  DWORD version = 0;
  return CQVCommon::MakeVersion(0, 1, 2005080301, version) ? version : 0;
}
