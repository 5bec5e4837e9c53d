// Hot keys: script lines against the accelerator entries they make, key descriptions, the table
// and the keys as they reach a window.

#include "foundation/language/CQVRCM.h"
#include "foundation/language/KernelEntry.h"
#include "framework/app/CQVHotKeyList.h"
#include "framework/app/CQVIDRegistry.h"
#include "framework/app/CQVWinApp.h"
#include "platform/sdk/CQVException.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <vector>

bool operator==(const ACCEL& a, const ACCEL& b) { return a.fVirt == b.fVirt && a.key == b.key && a.cmd == b.cmd; }
void PrintTo(const ACCEL& a, std::ostream* out) {
  *out << "{flags " << int(a.fVirt) << ", key " << a.key << ", command " << a.cmd << "}";
}

namespace {

enum : UINT { ID_FILE_OPEN = 1001, ID_REFRESH = 1002, ID_SAVE = 1003, ID_CUT = 1004, ID_FIND = 1005 };

class TestApp : public CQVWinApp {
public:
  TestApp() {
    InitIDRegistry(RUNTIME_CLASS(CQVIDRegistry));
    RegisterID(ID_FILE_OPEN, u"FILE_OPEN");
    RegisterID(ID_REFRESH, u"REFRESH");
    RegisterID(ID_SAVE, u"SAVE");
    RegisterID(ID_CUT, u"CUT");
    RegisterID(ID_FIND, u"FIND");
  }
};

class HotKeys : public ::testing::Test {
protected:
  void SetUp() override { app = std::make_unique<TestApp>(); }
  void TearDown() override { app.reset(); }

  std::unique_ptr<TestApp> app;
};


TEST_F(HotKeys, ScriptLinesMakeTheEntriesAUserMeans) {
  const struct {
    LPCWSTR value;
    BOOL parsed;
    BYTE modifiers;
    WORD key;
    LPCWSTR description;
    const char* why;
  } cases[] = {
      {u"CTRL,VK_O", TRUE, FCONTROL | FVIRTKEY, 'O', u"", "a named key"},
      {u"ctrl+shift, VK_F5 ,Refresh all", TRUE, FCONTROL | FSHIFT | FVIRTKEY, VK_F5, u"Refresh all", "description"},
      {u"SHIFTCTRL,VK_Return", TRUE, FCONTROL | FSHIFT | FVIRTKEY, VK_RETURN, u"", "free separators, any case"},
      {u"CTRL,F5", TRUE, FCONTROL | FVIRTKEY, VK_F5, u"", "a key name without VK_ is the key, not '5'"},
      {u"CTRL,vk_f5", TRUE, FCONTROL | FVIRTKEY, VK_F5, u"", "VK_ in lower case is still a key name"},
      {u",Delete", TRUE, FVIRTKEY, VK_DELETE, u"", "no modifier"},
      {u"ALT,@s", TRUE, FALT | FVIRTKEY, 'S', u"", "the key that types s"},
      {u"CTRL,x", TRUE, FCONTROL, 'x', u"", "a character (made a key when added)"},
      {u"none,x", TRUE, 0, 'x', u"", "unknown modifier text gives none"},
      {u"CTRL,\u00e9", TRUE, FCONTROL, 0xE9, u"", "a non-ASCII character is its own code"},
      {u"CTRL,xy", FALSE, 0, 0, u"", "two characters are no key"},
      {u"VK_F1", FALSE, 0, 0, u"", "one piece"},
      {u"CTRL,VK_NOSUCHKEY", FALSE, 0, 0, u"", "unknown key name"},
      {u"CTRL,", FALSE, 0, 0, u"", "no key"},
      {u"ALT,@\u00e9", FALSE, 0, 0, u"", "no key types the character"},
      {u"CTRL,VK_O,a,b", TRUE, FCONTROL | FVIRTKEY, 'O', u"a", "only three pieces count"},
  };
  for (const auto& c : cases) {
    BYTE modifiers = 0xFF;
    WORD key = 0xFFFF;
    CString description(u"left over");
    EXPECT_EQ(CQVHotKeyList::ParseScript(c.value, modifiers, key, description), c.parsed) << c.why;
    if (!c.parsed) continue;
    EXPECT_EQ(modifiers, c.modifiers) << c.why;
    EXPECT_EQ(key, c.key) << c.why;
    EXPECT_EQ(description, CString(c.description)) << c.why;
  }
}

}  // namespace

namespace {

std::vector<ACCEL> TableOf(const CQVHotKeyList& list) {
  ACCEL entries[32];
  const int n = CopyAcceleratorTableW(list.GetHotKeyHandler(), entries, 32);
  return std::vector<ACCEL>(entries, entries + n);
}

// A hot-key script file in a temporary folder.
class ScriptFile {
public:
  explicit ScriptFile(const char* text) {
    path = QString::fromStdString(dir.path().toStdString() + "/keys.dps");
    std::ofstream(path.toStdString(), std::ios::binary) << text;
  }
  CString Path() const { return CString::FromUtf8(path.toStdString()); }

private:
  QTemporaryDir dir;
  QString path;
};

}  // namespace

TEST_F(HotKeys, ScriptsCompileIntoOneTableInListOrder) {
  ScriptFile script(
      "[Other]\r\nFIND = CTRL,VK_G\r\n"
      "[Hotkeys]\r\n"
      "FILE_OPEN = CTRL, VK_O\r\n"
      "REFRESH = ctrl+shift, F5, Refresh all\r\n"
      "CUT = CTRL, x\r\n"
      "SAVE = CTRL+SHIFT, ?\r\n"
      "FIND = , f\r\n"
      "NO_SUCH_COMMAND = CTRL, VK_N\r\n"
      "save = CTRL, VK_O\r\n");
  CQVHotKeyList list;
  list.BeginHotKeyList();
  list.AddScripts(script.Path(), u"  ");
  list.EndHotKeyList();
  const std::vector<ACCEL> expected = {
      {FCONTROL | FSHIFT | FVIRTKEY, VK_F5, ID_REFRESH},
      {FCONTROL | FVIRTKEY, 'X', ID_CUT},  // Ctrl with a character is the key, never a typed x
      {FCONTROL | FSHIFT | FVIRTKEY, VK_OEM_2, ID_SAVE},
      {0, 'f', ID_FIND},
      {FCONTROL | FVIRTKEY, 'O', ID_SAVE},  // the later binding of Ctrl+O took it over
  };
  EXPECT_EQ(TableOf(list), expected);

  CString text;
  EXPECT_FALSE(list.FindDescription(ID_FILE_OPEN, text)) << "the command lost its key to a later line";
  const struct {
    UINT id;
    LPCWSTR text;
  } descriptions[] = {
      {ID_REFRESH, u"Refresh all"}, {ID_CUT, u"Ctrl+X"}, {ID_SAVE, u"Ctrl+Shift+/"}, {ID_FIND, u"f"}};
  for (const auto& d : descriptions) {
    EXPECT_TRUE(list.FindDescription(d.id, text)) << d.id;
    EXPECT_EQ(text, CString(d.text)) << d.id;
  }
}

// A key's text in a menu is what users read on their keyboards, in the language of the kernel's
// texts, not the key's table name.
TEST_F(HotKeys, KeysAreDescribedByTheNamesUsersReadInTheCurrentLanguage) {
  const struct {
    BYTE modifiers;
    WORD key;
    LPCWSTR english;
    LPCWSTR german;
    const char* what;
  } cases[] = {
      {FCONTROL | FVIRTKEY, VK_NUMPAD0, u"Ctrl+Num 0", u"Strg+Num 0", "a keypad digit"},
      {FCONTROL | FVIRTKEY, VK_ADD, u"Ctrl+Num +", u"Strg+Num +", "the keypad's plus"},
      {FVIRTKEY, VK_F5, u"F5", u"F5", "a function key alone"},
      {FALT | FVIRTKEY, VK_F24, u"Alt+F24", u"Alt+F24", "a function key of two digits"},
      {FCONTROL | FVIRTKEY, VK_NEXT, u"Ctrl+Page Down", u"Strg+Bild ab", "page down"},
      {FCONTROL | FVIRTKEY, VK_HOME, u"Ctrl+Home", u"Strg+Pos1", "home"},
      {FCONTROL | FSHIFT | FVIRTKEY, VK_UP, u"Ctrl+Shift+Up", u"Strg+Umschalt+Nach-oben", "an arrow, two modifiers"},
      {FVIRTKEY, VK_DELETE, u"Del", u"Entf", "delete"},
      {FCONTROL | FVIRTKEY, 'O', u"Ctrl+O", u"Strg+O", "a letter"},
      {FCONTROL | FVIRTKEY, '7', u"Ctrl+7", u"Strg+7", "a digit"},
      {FCONTROL | FVIRTKEY, VK_OEM_5, u"Ctrl+\\", u"Strg+\\", "a punctuation key"},
      {FVIRTKEY, 0x18, u"VK_FINAL", u"VK_FINAL", "a key without a name keeps its table name"},
      {FCONTROL | FVIRTKEY, 0x07, u"Ctrl+", u"Strg+", "a code without a table name"},
      {0, 'f', u"f", u"f", "a character"},
  };
  CString language;
  ASSERT_TRUE(CQVRCM::GetCurrentLanguage(language, QVKernelInstance()));
  for (const auto& c : cases) {
    for (LPCWSTR name : {u"en-us", u"de-de"}) {
      ASSERT_TRUE(CQVRCM::SetCurrentLanguage(name, QVKernelInstance(), TRUE)) << "the kernel's texts";
      CQVHotKeyList list;
      list.BeginHotKeyList();
      list.AddKey(ID_CUT, c.modifiers, c.key, u"");
      CString text;
      EXPECT_TRUE(list.FindDescription(ID_CUT, text)) << c.what;
      EXPECT_EQ(text, CString(CString(name) == u"en-us" ? c.english : c.german)) << c.what << " in " << CString(name);
    }
  }
  CQVRCM::SetCurrentLanguage(language, QVKernelInstance(), TRUE);
}

TEST_F(HotKeys, AListWithoutEntriesBuildsNoTable) {
  ScriptFile script("[Hotkeys]\r\nFILE_OPEN = VK_F1\r\nNOBODY = CTRL,VK_O\r\n");
  CQVHotKeyList list;
  list.BeginHotKeyList();
  list.AddScripts(script.Path(), nullptr);
  list.AddScripts(u"/nonexistent/keys.dps", nullptr);
  EXPECT_THROW(list.EndHotKeyList(), CQVException*);
  EXPECT_EQ(list.GetHotKeyHandler(), nullptr);
}

namespace {

std::vector<UINT> g_commands;

// A top-level window that offers its keys to the list first and records the commands it gets,
// with a text field inside.
class KeyWindow : public CWnd {
public:
  explicit KeyWindow(CQVHotKeyList& keys) : m_keys(keys) {}
  BOOL PreTranslateMessage(MSG* msg) override { return m_keys.PreTranslateMessage(msg, this); }
  BOOL OnCommand(WPARAM wParam, LPARAM control) override {
    if (!control) g_commands.push_back(LOWORD(wParam));  // not the text field's notifications
    return TRUE;
  }
  CQVHotKeyList& m_keys;
};

}  // namespace

TEST_F(HotKeys, KeysReachTheWindowAsCommandsWithTheirExactModifiers) {
  CQVHotKeyList list;
  list.BeginHotKeyList();
  list.AddScript(u"CUT", u"CTRL,x");
  list.AddScript(u"FIND", u",f");
  list.AddScript(u"REFRESH", u"SHIFT,VK_F5");
  list.EndHotKeyList();
  list.EnableHotKey(TRUE);

  PreTranslatingLoop loop;
  KeyWindow window(list);
  ASSERT_TRUE(window.CreateEx(0, nullptr, u"keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                              nullptr));
  HWND edit = CreateWindowExW(0, WC_EDITW, u"", WS_CHILD | WS_VISIBLE, 10, 10, 190, 20, window.GetSafeHwnd(),
                              nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  QWidget* plain = HostOf(window.GetSafeHwnd());
  QWidget* field = HostOf(edit);
  const struct {
    QWidget* target;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    BOOL enabled;
    std::vector<UINT> commands;
    const char* why;
  } cases[] = {
      {plain, Qt::Key_X, Qt::ControlModifier, TRUE, {ID_CUT}, "Ctrl+X runs the Ctrl entry"},
      {plain, Qt::Key_X, Qt::NoModifier, TRUE, {}, "a plain x never runs the Ctrl entry"},
      {field, Qt::Key_X, Qt::ControlModifier, TRUE, {ID_CUT}, "Ctrl+X runs also in a text field"},
      {plain, Qt::Key_F, Qt::NoModifier, TRUE, {ID_FIND}, "a character entry runs on its character"},
      {field, Qt::Key_F, Qt::NoModifier, TRUE, {}, "but a text field takes the typed character"},
      {plain, Qt::Key_F5, Qt::ShiftModifier, TRUE, {ID_REFRESH}, "Shift+F5"},
      {plain, Qt::Key_F5, Qt::ShiftModifier | Qt::ControlModifier, TRUE, {}, "the modifiers must match exactly"},
      {plain, Qt::Key_X, Qt::ControlModifier, FALSE, {}, "a disabled list runs nothing"},
  };
  for (const auto& c : cases) {
    list.EnableHotKey(c.enabled);
    g_commands.clear();
    ::SetFocus(c.target == field ? edit : window.GetSafeHwnd());
    QTest::keyClick(c.target, c.key, c.modifiers);
    Pump(10);
    EXPECT_EQ(g_commands, c.commands) << c.why;
  }
  window.DestroyWindow();
}
