// Loads the kernel library at run time, as a host program of plug-ins would. This program does
// not link the kernel, so loading runs the library's entry. The kernel's classes are reached
// through their exported names.

#include "platform/core/CString.h"
#include "platform/core/module.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Kernel {
  HMODULE module { nullptr };
  DWORD (*version)() { nullptr };
  int (*count)() { nullptr };                             // CQVRCM::GetRegisteredRCMCount()
  BOOL (*loadText)(LPCWSTR, CString&, HINSTANCE) { nullptr };  // CQVRCM::LoadText
};

Kernel LoadKernel() {
  Kernel kernel;
  kernel.module = LoadLibraryW(CString::FromUtf8(QV_APP_DIR "/libQVKERNEL.so"));
  if (!kernel.module) return kernel;
  kernel.version = reinterpret_cast<DWORD (*)()>(GetProcAddress(kernel.module, "QVKERNEL_GETVERSION"));
  kernel.count = reinterpret_cast<int (*)()>(GetProcAddress(kernel.module, "_ZN6CQVRCM21GetRegisteredRCMCountEv"));
  kernel.loadText = reinterpret_cast<BOOL (*)(LPCWSTR, CString&, HINSTANCE)>(
      GetProcAddress(kernel.module, "_ZN6CQVRCM8LoadTextEPKDsR7CStringP11HINSTANCE__"));
  return kernel;
}

}  // namespace

TEST(KernelLibraryLoading, RegistersItsFileOnceWhenLoaded) {
  for (int round = 0; round < 2; ++round) {
    const Kernel kernel = LoadKernel();
    ASSERT_NE(kernel.module, nullptr) << "round " << round;
    ASSERT_TRUE(kernel.version && kernel.count && kernel.loadText);
    EXPECT_NE(kernel.version(), 0u);
    EXPECT_EQ(kernel.count(), 1) << "only the kernel's own file, round " << round;
    CString text;
    EXPECT_TRUE(kernel.loadText(u"STR_TIF_SOFTWARE", text, kernel.module));
    EXPECT_EQ(text, u"Brisk lane");
    EXPECT_TRUE(FreeLibrary(kernel.module));
  }
}

// When the library goes (at the latest when the process ends), its entry unregisters the file
// while the registry still exists: a process that used the kernel ends cleanly.
TEST(KernelLibraryLoading, UnloadingAtTheEndOfAProcessIsClean) {
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    const Kernel kernel = LoadKernel();
    CString text;
    const bool used = kernel.loadText && kernel.loadText(u"STR_PDF_CREATOR", text, kernel.module);
    std::exit(used ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the process died with signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
