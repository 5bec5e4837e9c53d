#include "platform/core/CDynLinkLibrary.h"
#include "platform/core/module.h"
#include "platform/core/sysinfo.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

namespace {

void FunctionOfTheProgram() {}

CString FileNameOf(HMODULE module) {
  WCHAR buffer[4096];
  return GetModuleFileNameW(module, buffer, 4096) ? CString(buffer) : CString(u"(none)");
}

CString ProgramPath() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
  return PathFromNative(std::string(path, n > 0 ? static_cast<size_t>(n) : 0));
}

bool InChain(HMODULE module) {
  const auto chain = AfxGetDynLinkLibraries();
  return std::any_of(chain.begin(), chain.end(), [&](CDynLinkLibrary* entry) { return entry->m_hModule == module; });
}

}  // namespace

TEST(Modules, TheProgramAndLibrariesByAddress) {
  HMODULE program = GetModuleHandleW(nullptr);
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(GetModuleHandleW(nullptr), program);
  EXPECT_EQ(GetModuleFromAddress(reinterpret_cast<const void*>(&FunctionOfTheProgram)), program);
  EXPECT_EQ(FileNameOf(nullptr), ProgramPath());
  EXPECT_EQ(FileNameOf(program), ProgramPath());

  HMODULE core = GetModuleFromAddress(reinterpret_cast<const void*>(&GetTickCount));
  ASSERT_NE(core, nullptr);
  EXPECT_NE(core, program);
  EXPECT_EQ(FileNameOf(core), PathFromNative(QV_APP_DIR "/libplatform_core.so"));
  EXPECT_EQ(GetModuleHandleW(u"LIBPLATFORM_CORE.SO"), core);
  EXPECT_EQ(GetModuleHandleW(u"libnothing.so"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(GetModuleFromAddress(nullptr), nullptr);
}

TEST(Modules, FileNameBufferSizes) {
  const CString path = ProgramPath();
  const auto length = static_cast<DWORD>(path.GetLength());
  WCHAR buffer[4096];
  EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, length + 1), length);
  EXPECT_EQ(CString(buffer), path);
  EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 5), 5u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(CString(buffer), path.Left(4));
  int notAModule = 0;
  EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(&notAModule), buffer, 4096), 0u);
}

TEST(Modules, LoadingJoinsTheChainAndUnloadingLeavesIt) {
  // A bare name is looked for beside the program (where the test module is built), and a name
  // in another case is found as any existing file is.
  const CString path = PathFromNative(QV_TEST_MODULE_PATH);
  CString asked = path.Mid(path.ReverseFind(u'/') + 1);
  HMODULE module = LoadLibraryW(asked.MakeUpper());
  ASSERT_NE(module, nullptr);
  EXPECT_TRUE(InChain(module));
  EXPECT_EQ(FileNameOf(module), path);

  auto answer = reinterpret_cast<int (*)()>(GetProcAddress(module, "TestModuleAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(GetModuleFromAddress(reinterpret_cast<const void*>(answer)), module);
  EXPECT_EQ(GetProcAddress(module, "NoSuchFunction"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(module, "GetTickCount"), nullptr);  // a symbol of a library it uses
  EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr);

  EXPECT_EQ(LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH), module);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_TRUE(InChain(module));  // still loaded once
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(InChain(module));
  EXPECT_FALSE(FreeLibrary(module));
  EXPECT_EQ(FileNameOf(module), CString(u"(none)"));
  EXPECT_EQ(GetProcAddress(module, "TestModuleAnswer"), nullptr);
}

TEST(Modules, LoadFailures) {
  TestFolder folder;
  folder.Write("notalibrary.so", "just text");
  struct Case {
    const char* what;
    CString path;
    DWORD lastError;
  };
  const Case cases[] = {
      {"missing file", folder.Wide("missing.so"), ERROR_MOD_NOT_FOUND},
      {"not a library", folder.Wide("notalibrary.so"), ERROR_BAD_EXE_FORMAT},
      {"empty path", CString(), ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LoadLibraryW(c.path), nullptr) << c.what;
    EXPECT_EQ(GetLastError(), c.lastError) << c.what;
  }
}

namespace {

int BuiltinAnswer() { return 7; }
int BuiltinOtherAnswer() { return 8; }

}  // namespace

TEST(Modules, BuiltinModulesAreFoundByNameWithoutAFile) {
  const BUILTIN_EXPORT exports[] = {{"Answer", reinterpret_cast<FARPROC>(&BuiltinAnswer)}};
  HMODULE module = RegisterBuiltinModule(u"QvBuiltinTest.dll", exports, 1);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(GetModuleHandleW(u"qvbuiltintest.DLL"), module) << "found without regard to case";
  EXPECT_EQ(FileNameOf(module), CString(u"QvBuiltinTest.dll"));
  EXPECT_FALSE(FreeLibrary(module)) << "nothing loaded yet";

  ASSERT_EQ(LoadLibraryW(u"QVBUILTINTEST.dll"), module);
  ASSERT_EQ(LoadLibraryExW(u"qvbuiltintest.dll", nullptr, 0), module);
  auto answer = reinterpret_cast<int (*)()>(GetProcAddress(module, "Answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 7);
  EXPECT_EQ(GetProcAddress(module, "answer"), nullptr) << "export names keep their case";
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(module, "DllGetVersion"), nullptr);
  EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr);

  // Loads and frees balance; the module stays and keeps its exports.
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(module));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetModuleHandleW(u"QvBuiltinTest.dll"), module);
  EXPECT_NE(GetProcAddress(module, "Answer"), nullptr);

  // Registering the name again replaces the exports and keeps the handle.
  const BUILTIN_EXPORT other[] = {{"Answer", reinterpret_cast<FARPROC>(&BuiltinOtherAnswer)}};
  EXPECT_EQ(RegisterBuiltinModule(u"QVBUILTINTEST.DLL", other, 1), module);
  EXPECT_EQ(reinterpret_cast<int (*)()>(GetProcAddress(module, "Answer"))(), 8);

  // Only a bare name finds it: with a folder, a file is looked for.
  EXPECT_EQ(LoadLibraryW(u"/nowhere/QvBuiltinTest.dll"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
  for (LPCWSTR bad : {u"", u"dir/name.dll"}) {
    EXPECT_EQ(RegisterBuiltinModule(bad, exports, 1), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  }
  EXPECT_EQ(RegisterBuiltinModule(u"QvNoTable.dll", nullptr, 1), nullptr);
}
