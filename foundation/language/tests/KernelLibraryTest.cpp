#include "foundation/language/CQVRCM.h"
#include "foundation/language/CQVRCMModule.h"
#include "foundation/language/KernelEntry.h"

#include "platform/core/module.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The kernel library, which this test program links, as a module.
HINSTANCE KernelModule() { return GetModuleFromAddress(&CQVRCM::g_RCM); }

std::filesystem::path ModuleFolder(HINSTANCE module) {
  WCHAR path[4096] = {};
  GetModuleFileNameW(module, path, 4096);
  return std::filesystem::path(CString(path).ToUtf8()).parent_path();
}

}  // namespace

// Loading the library registered its language file, which lies in the library's own folder (the
// application folder), not in the test program's.
TEST(KernelLibrary, RegistersItsLanguageFileWhenLoaded) {
  const HINSTANCE kernel = KernelModule();
  ASSERT_NE(kernel, nullptr);
  ASSERT_NE(kernel, GetModuleHandleW(nullptr));
  const CQVRCMModuleItem* item = CQVRCM::g_RCM.FindModule(kernel);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->m_strFileName, u"QVKERNEL.drs");
  EXPECT_TRUE(item->m_bSharesLanguage);
  EXPECT_EQ(CQVRCM::GetRegisteredRCMCount(), 1);

  EXPECT_EQ(ModuleFolder(kernel), std::filesystem::path(QV_APP_DIR));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(QV_APP_DIR) / "QVKERNEL.drs"));
  EXPECT_FALSE(std::filesystem::exists(ModuleFolder(GetModuleHandleW(nullptr)) / "QVKERNEL.drs"));

  CString text;
  ASSERT_TRUE(CQVRCM::LoadText(u"STR_TIF_SOFTWARE", text, kernel));
  EXPECT_EQ(text, u"Brisk lane");
  ASSERT_TRUE(CQVRCM::LoadText(u"STR_PDF_PRODUCTOR", text)) << "the main program's lookups reach the sharing kernel";
  EXPECT_EQ(text, u"Brisk lane");
}

// Both languages of the kernel's file hold every key the kernel looks up.
TEST(KernelLibrary, EnglishAndGermanAreComplete) {
  const HINSTANCE kernel = KernelModule();
  for (const char16_t* language : {u"en-us", u"de-de"}) {
    ASSERT_TRUE(CQVRCM::SetCurrentLanguage(language, kernel, TRUE));
    for (const char16_t* key : {u"STR_PDF_PRODUCTOR", u"STR_PDF_CREATOR", u"STR_TIF_SOFTWARE", u"STR_TIF_VERSION",
                                u"STR_TIF_IMAGEDESCRIPTION", u"STR_TIF_ARTIST", u"STR_TIF_BLN_IMAGEDESCRIPTION"}) {
      CString text;
      EXPECT_TRUE(CQVRCM::LoadText(key, text, kernel)) << CString(language) << " " << CString(key);
      EXPECT_FALSE(text.IsEmpty()) << CString(language) << " " << CString(key);
    }
  }
}

// Version 0.1, build 2005080301: the build is a date and a number of the day, packed as days
// since 2000-01-01 times 100 plus the number, below major and minor.
TEST(KernelLibrary, VersionExportIsFoundByName) {
  constexpr DWORD expected = 0x01000000u | (2041u * 100u + 1u);
  EXPECT_EQ(QVKERNEL_GETVERSION(), expected);
  const auto exported = reinterpret_cast<DWORD (*)()>(GetProcAddress(KernelModule(), "QVKERNEL_GETVERSION"));
  ASSERT_NE(exported, nullptr);
  EXPECT_EQ(exported(), expected);
}

// Framework classes derive from CQVRCMModule virtually: however many such bases an object has, it
// holds one module, and every base asks with it.
TEST(KernelLibrary, ModuleBaseAsksWithItsModule) {
  struct Bar : virtual CQVRCMModule {};
  struct Pane : virtual CQVRCMModule {};
  struct Window : Bar, Pane {};
  Window window;
  EXPECT_EQ(window.GetRCMModule(), nullptr) << "the main program by default";
  window.SetRCMModule(KernelModule());
  EXPECT_EQ(static_cast<Pane&>(window).GetRCMModule(), KernelModule());
  CString text;
  ASSERT_TRUE(static_cast<Bar&>(window).LoadText(u"STR_TIF_VERSION", text));
  EXPECT_EQ(text, u"Brisk lane 0.1");
  EXPECT_FALSE(window.LoadText(u"STR_NOWHERE", text));
  EXPECT_TRUE(text.IsEmpty());
}
