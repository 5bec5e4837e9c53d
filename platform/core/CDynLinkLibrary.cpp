#include "platform/core/CDynLinkLibrary.h"

#include <algorithm>
#include <mutex>

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CObject)

namespace {

struct Chain {
  std::mutex lock;
  std::vector<CDynLinkLibrary*> entries;  // most recent first
};

Chain& Libraries() {
  static auto* chain = new Chain;
  return *chain;
}

}  // namespace

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module) {
  if (state.bInitialized) return TRUE;
  if (!module) return FALSE;
  state.hModule = module;
  state.hResource = module;
  state.bInitialized = TRUE;
  return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL) {
  if (!state.bInitialized) return;
  std::vector<CDynLinkLibrary*> leaving;
  {
    Chain& chain = Libraries();
    std::lock_guard guard(chain.lock);
    for (CDynLinkLibrary* entry : chain.entries)
      if (entry->m_hModule == state.hModule) leaving.push_back(entry);
  }
  for (CDynLinkLibrary* entry : leaving) delete entry;
  state = AFX_EXTENSION_MODULE {};
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(system) {
  Chain& chain = Libraries();
  std::lock_guard guard(chain.lock);
  chain.entries.insert(chain.entries.begin(), this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
  Chain& chain = Libraries();
  std::lock_guard guard(chain.lock);
  chain.entries.erase(std::remove(chain.entries.begin(), chain.entries.end(), this), chain.entries.end());
}

std::vector<CDynLinkLibrary*> AfxGetDynLinkLibraries() {
  Chain& chain = Libraries();
  std::lock_guard guard(chain.lock);
  return chain.entries;
}
