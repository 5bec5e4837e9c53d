// Menus: reading menu templates (and refusing broken ones without reading past them), the menu
// model, the menu bar in a window's frame, pop-up menus.

#include "platform/ui/afx/CMenu.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Writes a template the way a menu builder does: little-endian words, zero-terminated texts.
struct TemplateWriter {
  std::vector<BYTE> bytes;
  TemplateWriter() {
    Word(0);
    Word(0);
  }
  void Word(WORD w) {
    bytes.push_back(static_cast<BYTE>(w & 0xFF));
    bytes.push_back(static_cast<BYTE>(w >> 8));
  }
  void Text(const char16_t* text) {
    for (; *text; ++text) Word(*text);
    Word(0);
  }
  void Popup(WORD flags, const char16_t* text) {
    Word(static_cast<WORD>(flags | MF_POPUP));
    Text(text);
  }
  void Item(WORD flags, WORD id, const char16_t* text) {
    Word(flags);
    Word(id);
    Text(text);
  }
};

TemplateWriter FileHelpTemplate() {
  TemplateWriter t;
  t.Popup(0, u"&File");
  t.Item(0, 100, u"&Open\tCtrl+O");
  t.Item(0, 0, u"");  // separator
  t.Item(MF_END, 101, u"E&xit");
  t.Popup(MF_END, u"&Help");
  t.Item(MF_END | MF_CHECKED | MF_GRAYED, 200, u"&About");
  return t;
}

// Loads from a heap block of exactly the size given, so a read past it is a read past the block.
HMENU LoadExact(const std::vector<BYTE>& bytes, size_t size) {
  std::unique_ptr<BYTE[]> block(new BYTE[size]);
  std::copy_n(bytes.begin(), size, block.get());
  return LoadMenuIndirectW(block.get(), size);
}

CString ItemText(HMENU menu, UINT position) {
  CString text;
  CMenu::FromHandle(menu)->GetMenuString(position, text, MF_BYPOSITION);
  return text;
}

TEST(MenuTemplates, AWellFormedTemplateBecomesTheMenuItDescribes) {
  TemplateWriter t = FileHelpTemplate();
  HMENU menu = LoadExact(t.bytes, t.bytes.size());
  ASSERT_TRUE(menu);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  HMENU file = GetSubMenu(menu, 0);
  HMENU help = GetSubMenu(menu, 1);
  ASSERT_TRUE(file && help);
  EXPECT_EQ(ItemText(menu, 0), CString(u"&File"));
  EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(-1));
  ASSERT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuItemID(file, 0), 100u);
  EXPECT_EQ(ItemText(file, 0), CString(u"&Open\tCtrl+O"));
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(GetMenuItemID(file, 2), 101u);
  EXPECT_EQ(GetMenuState(help, 200, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), static_cast<UINT>(MF_CHECKED | MF_GRAYED));
  EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION) >> 8, 3u);  // a pop-up's item count
  DestroyMenu(menu);
  EXPECT_FALSE(IsMenu(file));
}

TEST(MenuTemplates, BrokenTemplatesAreRefusedWithoutReadingPastThem) {
  TemplateWriter whole = FileHelpTemplate();
  for (size_t size = 5; size < whole.bytes.size(); ++size)
    EXPECT_EQ(LoadExact(whole.bytes, size), nullptr) << "cut at " << size;

  TemplateWriter emptyPopup;  // a pop-up that received no items and ends the menu
  emptyPopup.Item(0, 1, u"One");
  emptyPopup.Popup(MF_END, u"Empty");
  EXPECT_EQ(LoadExact(emptyPopup.bytes, emptyPopup.bytes.size()), nullptr);

  TemplateWriter deep;
  for (int i = 0; i < 40; ++i) deep.Popup(MF_END, u"p");
  deep.Item(MF_END, 1, u"leaf");
  EXPECT_EQ(LoadExact(deep.bytes, deep.bytes.size()), nullptr);

  TemplateWriter unterminated;
  unterminated.Word(MF_END);
  unterminated.Word(5);
  unterminated.Word(u'x');
  EXPECT_EQ(LoadExact(unterminated.bytes, unterminated.bytes.size()), nullptr);

  std::vector<BYTE> extended = {1, 0, 4, 0, 0, 0, 0, 0};
  EXPECT_EQ(LoadExact(extended, extended.size()), nullptr);
  std::vector<BYTE> badOffset = {0, 0, 9, 0, 0, 0};
  EXPECT_EQ(LoadExact(badOffset, badOffset.size()), nullptr);
  EXPECT_EQ(LoadMenuIndirectW(whole.bytes.data(), 3), nullptr);
  EXPECT_EQ(LoadMenuIndirectW(nullptr, 10), nullptr);
}

TEST(MenuTemplates, AHeaderAloneGivesAnEmptyMenu) {
  TemplateWriter empty;
  HMENU menu = LoadExact(empty.bytes, empty.bytes.size());
  ASSERT_TRUE(menu);
  EXPECT_EQ(GetMenuItemCount(menu), 0);
  DestroyMenu(menu);
}

TEST(MenuModel, ItemsAreFoundByCommandInSubMenusAndByPosition) {
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  AppendMenuW(popup, MF_STRING, 10, u"Ten");
  AppendMenuW(popup, MF_STRING, 30, u"Thirty");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), u"Numbers");
  ASSERT_TRUE(InsertMenuW(bar, 30, MF_BYCOMMAND | MF_STRING, 20, u"Twenty"));  // before 30, in the pop-up
  EXPECT_EQ(GetMenuItemID(popup, 1), 20u);
  EXPECT_EQ(CheckMenuItem(bar, 20, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(bar, 20, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(bar, 99, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
  EXPECT_EQ(EnableMenuItem(bar, 10, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_TRUE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED);

  WCHAR buffer[4];
  MENUITEMINFOW info {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING | MIIM_ID;
  ASSERT_TRUE(GetMenuItemInfoW(popup, 2, TRUE, &info));
  EXPECT_EQ(info.cch, 6u);  // asked without a buffer: the length
  info.dwTypeData = buffer;
  info.cch = 4;
  ASSERT_TRUE(GetMenuItemInfoW(popup, 2, TRUE, &info));
  EXPECT_EQ(CString(buffer), CString(u"Thi"));
  EXPECT_EQ(info.wID, 30u);

  EXPECT_TRUE(DeleteMenu(bar, 20, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(popup), 2);
  EXPECT_FALSE(DeleteMenu(bar, 5, MF_BYPOSITION));
  DestroyMenu(bar);
  EXPECT_FALSE(IsMenu(popup));
}

LRESULT MenuOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
std::vector<Logged> g_owned;

LRESULT MenuOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND || message == WM_INITMENUPOPUP) g_owned.push_back({hwnd, message, wParam, lParam});
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeMenuOwner(DWORD style) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    WNDCLASSW wc {0, MenuOwnerProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"MenuOwner"};
    RegisterClassW(&wc);
  }
  return CreateWindowExW(0, u"MenuOwner", u"menus", style, 50, 50, 400, 300, nullptr, nullptr, nullptr, nullptr);
}

TEST(MenuBar, SettingAMenuTakesItsRoomFromTheClientArea) {
  HWND hwnd = MakeMenuOwner(WS_POPUP | WS_VISIBLE);
  RECT before, after, window;
  GetClientRect(hwnd, &before);
  TemplateWriter t = FileHelpTemplate();
  HMENU menu = LoadExact(t.bytes, t.bytes.size());
  ASSERT_TRUE(SetMenu(hwnd, menu));
  EXPECT_EQ(GetMenu(hwnd), menu);
  GetClientRect(hwnd, &after);
  GetWindowRect(hwnd, &window);
  EXPECT_EQ(window.bottom - window.top, 300);
  EXPECT_EQ(before.bottom - after.bottom, GetSystemMetrics(SM_CYMENU));
  POINT origin {0, 0};
  ClientToScreen(hwnd, &origin);
  EXPECT_EQ(origin.y - window.top, GetSystemMetrics(SM_CYMENU));
  POINT onBar {window.left + 5, window.top + 2};
  EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(onBar.x, onBar.y)), HTMENU);
  // Destroying the menu takes it off the window.
  DestroyMenu(menu);
  EXPECT_EQ(GetMenu(hwnd), nullptr);
  GetClientRect(hwnd, &after);
  EXPECT_EQ(after.bottom, before.bottom);
  DestroyWindow(hwnd);
}

// Chooses the item with this ID in the pop-up that opens next (0: closes it).
void ChooseInNextPopup(UINT id) {
  QTimer::singleShot(20, [id] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!popup) return;
    if (!id) {
      QTest::keyClick(popup, Qt::Key_Escape);
      return;
    }
    for (QAction* a : popup->actions())
      if (a->data().toUInt() == id) popup->setActiveAction(a);
    QTest::keyClick(popup, Qt::Key_Return);
  });
}

TEST(PopupMenus, TheChoiceIsReturnedOrPostedToTheOwner) {
  HWND owner = MakeMenuOwner(WS_POPUP | WS_VISIBLE);
  TemplateWriter t = FileHelpTemplate();
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenuIndirect(t.bytes.data(), t.bytes.size()));
  CMenu* file = menu.GetSubMenu(0);

  g_owned.clear();
  ChooseInNextPopup(101);
  EXPECT_EQ(file->TrackPopupMenu(TPM_RETURNCMD, 100, 100, CWnd::FromHandle(owner)), 101);
  ASSERT_FALSE(g_owned.empty());
  EXPECT_EQ(g_owned[0].message, static_cast<UINT>(WM_INITMENUPOPUP));
  Pump(30);
  EXPECT_EQ(g_owned.size(), 1u);  // nothing sent with TPM_RETURNCMD

  g_owned.clear();
  ChooseInNextPopup(100);
  EXPECT_TRUE(file->TrackPopupMenu(0, 100, 100, CWnd::FromHandle(owner)));
  EXPECT_EQ(g_owned.size(), 1u);  // the command is posted, not yet handled
  ASSERT_TRUE(PumpUntil([] { return g_owned.size() == 2; }));
  EXPECT_EQ(g_owned[1].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(g_owned[1].wParam, MAKEWPARAM(100, 0));

  ChooseInNextPopup(0);
  EXPECT_EQ(file->TrackPopupMenu(TPM_RETURNCMD, 100, 100, CWnd::FromHandle(owner)), 0);
  DestroyWindow(owner);
}

}  // namespace
