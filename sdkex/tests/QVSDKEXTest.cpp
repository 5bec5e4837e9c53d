#include "platform/core/CDynLinkLibrary.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

bool InChain(HMODULE module) {
  for (CDynLinkLibrary* library : AfxGetDynLinkLibraries())
    if (library->m_hModule == module) return true;
  return false;
}

}  // namespace

TEST(QVSDKEX, JoinsTheChainAndReportsItsVersion) {
  void* library = dlopen(QVSDKEX_PATH, RTLD_NOW);
  ASSERT_NE(library, nullptr) << dlerror();
  using GetVersion = unsigned int (*)();
  auto getVersion = reinterpret_cast<GetVersion>(dlsym(library, "QVSDKEX_GETVERSION"));
  ASSERT_NE(getVersion, nullptr) << "QVSDKEX_GETVERSION is not exported by name";
  // 0.1.2005080301: minor 1, and 2005-08-03 is day 2041 after 2000-01-01, serial 1.
  EXPECT_EQ(getVersion(), (1u << 24) | (2041u * 100 + 1));

  HMODULE module = GetModuleFromAddress(reinterpret_cast<const void*>(getVersion));
  ASSERT_NE(module, nullptr);
  EXPECT_TRUE(InChain(module));

  ASSERT_EQ(dlclose(library), 0);
  EXPECT_FALSE(InChain(module)) << "the library stays in the chain after it was unloaded";
}
