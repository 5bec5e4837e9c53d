#pragma once
// Extension modules: shared libraries that join the program's chain of modules, through which
// each module's resources are found later.
//
// A library joins when it is loaded and leaves when it is unloaded. On Linux its load-time entry
// is a constructor function of its own (a failure there cannot refuse the load, so the library
// simply stays out of the chain):
//
//   static AFX_EXTENSION_MODULE g_extension = {};
//
//   __attribute__((constructor)) static void JoinModules() {
//     HMODULE self = GetModuleFromAddress(reinterpret_cast<const void*>(&JoinModules));
//     if (AfxInitExtensionModule(g_extension, self)) new CDynLinkLibrary(g_extension);
//   }
//   __attribute__((destructor)) static void LeaveModules() { AfxTermExtensionModule(g_extension); }

#include "platform/core/CObject.h"
#include "platform/core/module.h"

#include <vector>

struct AFX_EXTENSION_MODULE {
  BOOL bInitialized;
  HMODULE hModule;
  HMODULE hResource;
};

// Records the module in the state; FALSE for a null module. A second call changes nothing.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module);
// Deletes the module's entries of the chain and clears the state.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all = FALSE);

// One module's entry in the chain. Made with new; the chain owns it from then on.
class CDynLinkLibrary : public CObject {
  DECLARE_DYNAMIC(CDynLinkLibrary)
public:
  explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system = FALSE);
  ~CDynLinkLibrary() override;

  HMODULE m_hModule { nullptr };
  HMODULE m_hResource { nullptr };
  BOOL m_bSystem { FALSE };
};

// The chain, most recently joined first. The entries stay valid while no module leaves.
std::vector<CDynLinkLibrary*> AfxGetDynLinkLibraries();
