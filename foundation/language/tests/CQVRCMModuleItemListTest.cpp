#include "foundation/language/CQVRCMModuleItemList.h"

#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/language/tests/LanguageTestFiles.h"
#include "platform/core/module.h"
#include "platform/gdi/CBitmap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <thread>

using namespace languagetest;

namespace {

// The modules of these tests: the test program itself (the main program) and three shared
// libraries, each in a folder of its own beside its language file. Their sources are in
// tests/res/modules; every module has en-us (fallback) and de-de.
struct Modules {
  HINSTANCE sharing { nullptr };
  HINSTANCE isolated { nullptr };  // registered without the shares-language flag
  HINSTANCE late { nullptr };      // registered by the tests themselves
  HINSTANCE unregistered { nullptr };
};

HINSTANCE LoadModule(const char* name) {
  const auto path = TestDir() / "language" / name / ("libLanguageTest" + std::string(name) + ".so");
  return LoadLibraryW(Wide(path));
}

const Modules& TestModules() {
  static const Modules modules = [] {
    Modules m;
    m.sharing = LoadModule("Sharing");
    m.isolated = LoadModule("Private");
    m.late = LoadModule("Late");
    m.unregistered = GetModuleFromAddress(reinterpret_cast<const void*>(&GetModuleHandleW));  // the platform core
    return m;
  }();
  return modules;
}

// Sets the user's locale for one test and puts the old one back.
class UserLocale {
public:
  explicit UserLocale(const char* locale) {
    if (const char* old = std::getenv("LC_ALL")) m_old = old;
    ::setenv("LC_ALL", locale, 1);
  }
  ~UserLocale() {
    if (m_old) ::setenv("LC_ALL", m_old->c_str(), 1);
    else ::unsetenv("LC_ALL");
  }

private:
  std::optional<std::string> m_old;
};

class LanguageManager : public ::testing::Test {
protected:
  void SetUp() override {
    const Modules& m = TestModules();
    ASSERT_TRUE(m.sharing && m.isolated && m.late && m.unregistered) << "test modules missing in " << TestDir();
    ASSERT_NE(m_registry.Add(nullptr, u"LanguageTestMain.drs", TRUE), nullptr);
    ASSERT_NE(m_registry.Add(m.sharing, u"LanguageTestSharing.drs", TRUE), nullptr);
    ASSERT_NE(m_registry.Add(m.isolated, u"LanguageTestPrivate.drs", FALSE), nullptr);
  }

  std::string Text(LPCWSTR key, HINSTANCE module) {
    CString text(u"unchanged");
    if (!m_registry.LoadText(key, text, module)) return "<missing:" + text.ToUtf8() + ">";
    return text.ToUtf8();
  }
  std::string Language(HINSTANCE module) {
    CString name(u"unchanged");
    if (!m_registry.GetCurrentLanguage(name, module)) return "<none:" + name.ToUtf8() + ">";
    return name.ToUtf8();
  }

  UserLocale m_locale { "en_US.UTF-8" };
  CQVRCMModuleItemList m_registry;
  const Modules& m_modules { TestModules() };
};

}  // namespace

// The asking module's file first, then the main program's, then the modules that share the
// language; a module that does not share is searched only for its own lookups.
TEST_F(LanguageManager, SearchesAskingModuleThenMainThenSharing) {
  const HINSTANCE main = GetModuleHandleW(nullptr);
  struct Case {
    const char* asking;
    HINSTANCE module;
    const char16_t* key;
    const char* expected;
  };
  const Case cases[] = {
      {"main (null)", nullptr, u"MSG_COMMON", "main"},
      {"main (null)", nullptr, u"MSG_SHARING_ONLY", "sharing only"},
      {"main (null)", nullptr, u"MSG_PRIVATE_ONLY", "<missing:>"},
      {"main (handle)", main, u"msg_common", "main"},
      {"main (handle)", main, u" MSG_COMMON\t", "main"},
      {"sharing", m_modules.sharing, u"MSG_COMMON", "sharing"},
      {"sharing", m_modules.sharing, u"MSG_MAIN_ONLY", "main only"},
      {"sharing", m_modules.sharing, u"MSG_PRIVATE_ONLY", "<missing:>"},
      {"private", m_modules.isolated, u"MSG_COMMON", "private"},
      {"private", m_modules.isolated, u"MSG_PRIVATE_ONLY", "private only"},
      {"private", m_modules.isolated, u"MSG_MAIN_ONLY", "main only"},
      {"private", m_modules.isolated, u"MSG_SHARING_ONLY", "sharing only"},
      {"private", m_modules.isolated, u"\tmsg_private_only ", "private only"},
      {"unregistered", m_modules.unregistered, u"MSG_COMMON", "main"},
      {"unregistered", m_modules.unregistered, u"MSG_SHARING_ONLY", "sharing only"},
      {"unregistered", m_modules.unregistered, u"MSG_PRIVATE_ONLY", "<missing:>"},
      {"main", nullptr, u"MSG_NOWHERE", "<missing:>"},
      {"main", nullptr, nullptr, "<missing:>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Text(c.key, c.module), c.expected) << c.asking << " asks " << (c.key ? CString(c.key) : CString(u"(null)"));
}

TEST_F(LanguageManager, MainProgramIsSearchedWhateverItsFlag) {
  CQVRCMModuleItemList registry;
  registry.Add(nullptr, u"LanguageTestMain.drs", FALSE);
  registry.Add(m_modules.isolated, u"LanguageTestPrivate.drs", FALSE);
  CString text;
  ASSERT_TRUE(registry.LoadText(u"MSG_MAIN_ONLY", text, m_modules.isolated));
  EXPECT_EQ(text, u"main only");
}

TEST_F(LanguageManager, RegistrationKeepsTheFirstAndRefusesBlankNames) {
  ASSERT_EQ(m_registry.GetCount(), 3);
  CQVRCMModuleItem* again = m_registry.Add(m_modules.sharing, u"Other.drs", FALSE);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->m_strFileName, u"LanguageTestSharing.drs");
  EXPECT_TRUE(again->m_bSharesLanguage);
  EXPECT_EQ(m_registry.Add(m_modules.late, u" \t ", TRUE), nullptr);
  EXPECT_EQ(m_registry.Add(m_modules.late, nullptr, TRUE), nullptr);
  EXPECT_EQ(m_registry.GetCount(), 3);

  CQVRCMModuleItem* late = m_registry.Add(m_modules.late, u"  LanguageTestLate.drs \t", TRUE);
  ASSERT_NE(late, nullptr);
  EXPECT_EQ(late->m_strFileName, u"LanguageTestLate.drs");
  EXPECT_EQ(m_registry.FindModule(m_modules.late), late);
  EXPECT_EQ(m_registry.FindAppModule(), m_registry.FindModule(GetModuleHandleW(nullptr)));

  m_registry.Remove(m_modules.unregistered);
  EXPECT_EQ(m_registry.GetCount(), 4);
  m_registry.Remove(m_modules.late);
  EXPECT_EQ(m_registry.FindModule(m_modules.late), nullptr);
  m_registry.Remove(nullptr);
  EXPECT_EQ(m_registry.FindAppModule(), nullptr);
  EXPECT_EQ(Text(u"MSG_MAIN_ONLY", m_modules.sharing), "<missing:>") << "the main program's file is gone";
  EXPECT_EQ(m_registry.GetCount(), 2);
}

// Switching pushes the language to every sharing module, whoever asks; a module that does not
// share keeps its language unless it is addressed itself.
TEST_F(LanguageManager, SwitchingReachesEverySharingModule) {
  EXPECT_EQ(Language(nullptr), "en-us") << "the user's locale";
  ASSERT_TRUE(m_registry.SetCurrentLanguage(u" de-de ", m_modules.sharing, FALSE));
  EXPECT_EQ(Language(m_modules.sharing), "de-de");
  EXPECT_EQ(Language(nullptr), "de-de");
  EXPECT_EQ(Language(m_modules.isolated), "en-us");
  EXPECT_EQ(Text(u"MSG_LANGUAGE", nullptr), "Hauptprogramm auf Deutsch");
  EXPECT_EQ(Text(u"MSG_LANGUAGE", m_modules.isolated), "private in English");

  ASSERT_TRUE(m_registry.SetCurrentLanguage(u"en-us", m_modules.isolated, FALSE)) << "a module that does not share can push";
  EXPECT_EQ(Language(nullptr), "en-us");
  EXPECT_EQ(Language(m_modules.sharing), "en-us");

  ASSERT_TRUE(m_registry.SetCurrentLanguage(u"\tDE-DE", m_modules.isolated, TRUE));
  EXPECT_EQ(Language(m_modules.isolated), "de-de");
  EXPECT_EQ(Language(nullptr), "en-us") << "this module only";
  EXPECT_EQ(Text(u"MSG_COMMON", m_modules.isolated), "eigen");

  ASSERT_TRUE(m_registry.SetCurrentLanguage(u"xx-yy", nullptr, FALSE)) << "a name no file has";
  EXPECT_EQ(Language(nullptr), "<none:>");
  EXPECT_EQ(Language(m_modules.sharing), "<none:>");
  EXPECT_EQ(Text(u"MSG_LANGUAGE", m_modules.sharing), "sharing in English") << "from the fallback language";

  EXPECT_FALSE(m_registry.SetCurrentLanguage(u"de-de", m_modules.unregistered, FALSE));
  EXPECT_EQ(Language(m_modules.unregistered), "<none:unchanged>");
}

// A sharing module registered after a switch speaks the language pushed last; one that does
// not share starts in the user's locale.
TEST_F(LanguageManager, LateModuleTakesTheLanguagePushedLast) {
  ASSERT_TRUE(m_registry.SetCurrentLanguage(u"de-de", nullptr, FALSE));
  ASSERT_NE(m_registry.Add(m_modules.late, u"LanguageTestLate.drs", TRUE), nullptr);
  EXPECT_EQ(Text(u"MSG_LANGUAGE", m_modules.late), "sp\xC3\xA4t auf Deutsch");
  EXPECT_EQ(Language(m_modules.late), "de-de");

  m_registry.Remove(m_modules.late);
  ASSERT_NE(m_registry.Add(m_modules.late, u"LanguageTestLate.drs", FALSE), nullptr);
  EXPECT_EQ(Text(u"MSG_LANGUAGE", m_modules.late), "late in English");
}

TEST_F(LanguageManager, StartsInTheUserLocale) {
  struct Case {
    const char* locale;
    const char* language;
    const char* text;
  };
  const Case cases[] = {
      {"de_DE.UTF-8", "de-de", "Hauptprogramm auf Deutsch"},
      {"en_US.UTF-8", "en-us", "main in English"},
      {"fr_FR.UTF-8", "<none:>", "main in English"},
  };
  for (const Case& c : cases) {
    UserLocale locale(c.locale);
    CQVRCMModuleItemList registry;
    registry.Add(nullptr, u"LanguageTestMain.drs", TRUE);
    CString text, name;
    EXPECT_TRUE(registry.LoadText(u"MSG_LANGUAGE", text, nullptr)) << c.locale;
    EXPECT_EQ(text.ToUtf8(), c.text) << c.locale;
    EXPECT_EQ(registry.GetCurrentLanguage(name, nullptr) ? name.ToUtf8() : "<none:" + name.ToUtf8() + ">", c.language) << c.locale;
  }
}

TEST_F(LanguageManager, LanguagesOfTheMainProgram) {
  EXPECT_EQ(m_registry.GetLanguageCount(), 2);
  CString name(u"n"), description(u"d");
  int fallback = 7;
  ASSERT_TRUE(m_registry.GetLanguage(0, name, description, fallback));
  EXPECT_EQ(name, u"en-us");
  EXPECT_EQ(fallback, 1);
  for (int index : {-1, 2}) {
    CString n(u"n"), d(u"d");
    int f = 7;
    EXPECT_FALSE(m_registry.GetLanguage(index, n, d, f)) << index;
    EXPECT_EQ(n, u"n");
    EXPECT_EQ(d, u"d");
    EXPECT_EQ(f, 7);
  }
  CQVRCMModuleItemList withoutMain;
  EXPECT_EQ(withoutMain.GetLanguageCount(), 0);
}

// A file that is missing takes no part, and is used from the first lookup after it appears.
TEST_F(LanguageManager, MissingFileIsTriedAgain) {
  const auto placed = TestDir() / "language" / "Late" / "Retry.drs";
  std::filesystem::remove(placed);
  CQVRCMModuleItemList registry;
  registry.Add(m_modules.late, u"Retry.drs", TRUE);
  CString text(u"unchanged");
  EXPECT_FALSE(registry.LoadText(u"MSG_LATE_ONLY", text, m_modules.late));
  EXPECT_EQ(text, u"unchanged") << "no file could be opened at all";
  EXPECT_FALSE(registry.GetCurrentLanguage(text, m_modules.late));
  EXPECT_EQ(text, u"unchanged");

  std::filesystem::copy_file(TestDir() / "language" / "Late" / "LanguageTestLate.drs", placed);
  EXPECT_TRUE(registry.LoadText(u"MSG_LATE_ONLY", text, m_modules.late));
  EXPECT_EQ(text, u"late only");
  std::filesystem::remove(placed);
}

TEST_F(LanguageManager, DataItemsFollowTheSearchOrder) {
  TempFolder folder;
  const auto target = folder / "out.dat";
  ASSERT_TRUE(m_registry.LoadData(u"DATA_SHARING", Wide(target), m_modules.isolated));
  EXPECT_EQ(ReadBytes(target), (Bytes {'s', 'h', 'a', 'r', 'i', 'n', 'g', ' ', 'd', 'a', 't', 'a', '\n'}));
  ASSERT_TRUE(m_registry.SetCurrentLanguage(u"de-de", nullptr, FALSE));
  ASSERT_TRUE(m_registry.LoadData(u"data_sharing", Wide(target), nullptr));
  EXPECT_EQ(ReadBytes(target).size(), std::string("teilende Daten\n").size());
  EXPECT_FALSE(m_registry.LoadData(u"DATA_NOWHERE", Wide(target), nullptr));
  EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(LanguageManager, BitmapsFollowTheSearchOrder) {
  CDPXDIBHandle image;
  ASSERT_TRUE(m_registry.LoadBitmapW(u"BMP_SHARING", image, m_modules.isolated));
  EXPECT_EQ(image.GetWidth(), 4);
  ASSERT_TRUE(m_registry.SetCurrentLanguage(u"de-de", nullptr, FALSE));
  CBitmap bitmap;
  ASSERT_TRUE(m_registry.LoadBitmapW(u"bmp_sharing", bitmap, nullptr));
  BITMAP info {};
  ASSERT_EQ(bitmap.GetBitmap(&info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 2) << "the German bitmap";
  EXPECT_FALSE(m_registry.LoadBitmapW(u"BMP_NOWHERE", image, nullptr));
  EXPECT_TRUE(image.IsEmpty());

  // The bitmap handle form frees what the handle held, also when the key is missing.
  CQVBitmapHandle handle;
  ASSERT_TRUE(handle.Create(9, 9, 24));
  ASSERT_TRUE(m_registry.LoadBitmapW(u"BMP_SHARING", handle, nullptr));
  EXPECT_EQ(handle.GetWidth(), 2) << "the German bitmap";
  EXPECT_FALSE(m_registry.LoadBitmapW(u"BMP_NOWHERE", handle, nullptr));
  EXPECT_EQ(handle.GetWidth(), 0);
}

// Progress tasks look texts up on their worker threads while the user interface does too. The
// readers share one file position each and open on first need, so the registry serialises them.
TEST_F(LanguageManager, LookupsFromSeveralThreads) {
  CQVRCMModuleItemList registry;
  registry.Add(nullptr, u"LanguageTestMain.drs", TRUE);
  registry.Add(m_modules.sharing, u"LanguageTestSharing.drs", TRUE);
  registry.Add(m_modules.isolated, u"LanguageTestPrivate.drs", FALSE);
  TempFolder folder;
  std::atomic<int> wrong { 0 };
  std::atomic<bool> go { false };
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      while (!go) std::this_thread::yield();
      const CString target = Wide(folder / ("out" + std::to_string(t)));
      for (int i = 0; i < 200; ++i) {
        CString text;
        if (!registry.LoadText(u"MSG_COMMON", text, m_modules.isolated) || text != u"private") ++wrong;
        if (!registry.LoadText(u"MSG_SHARING_ONLY", text, nullptr) || text != u"sharing only") ++wrong;
        if (!registry.LoadData(u"DATA_SHARING", target, m_modules.sharing) || ReadBytes(target.ToUtf8()).size() != 13) ++wrong;
      }
    });
  }
  go = true;
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
}
