// Menus: the menu model behind HMENU handles, menu templates, the menu bar of a top-level window
// (a QMenuBar in its non-client area) and pop-up menus. Menus are built into Qt menus when they
// open, after the owner window has had WM_INITMENUPOPUP to bring the items up to date.

#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStyleOptionMenuItem>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace qvui {

namespace {

struct MenuItem {
  UINT type {};   // MFT_* (MFT_SEPARATOR, breaks, MFT_RADIOCHECK, MFT_OWNERDRAW, MFT_BITMAP)
  UINT state {};  // MFS_* (grayed, checked, default)
  UINT id {};
  HMENU submenu {};
  CString text;
  HBITMAP checked {};
  HBITMAP unchecked {};
  HBITMAP bitmap {};
  ULONG_PTR data {};
};

struct MenuRecord {
  std::vector<MenuItem> items;
  bool popup {};
  HWND bar {};  // the window whose menu bar this is
};

std::map<HMENU, std::unique_ptr<MenuRecord>>& Menus() {
  static std::map<HMENU, std::unique_ptr<MenuRecord>> menus;
  return menus;
}

HMENU NewMenu(bool popup) {
  static std::uintptr_t next = 0x20000;
  HMENU h = reinterpret_cast<HMENU>(next += 4);
  auto rec = std::make_unique<MenuRecord>();
  rec->popup = popup;
  Menus()[h] = std::move(rec);
  return h;
}

MenuRecord* FindMenu(HMENU menu) {
  auto it = Menus().find(menu);
  if (it == Menus().end()) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return nullptr;
  }
  return it->second.get();
}

// The item named by position or by command; a command is looked for in sub-menus too.
MenuItem* FindItem(HMENU menu, UINT item, bool byPosition, HMENU* owner = nullptr) {
  MenuRecord* rec = FindMenu(menu);
  if (!rec) return nullptr;
  if (byPosition) {
    if (item >= rec->items.size()) return nullptr;
    if (owner) *owner = menu;
    return &rec->items[item];
  }
  for (MenuItem& it : rec->items) {
    if (!it.submenu && it.id == item) {
      if (owner) *owner = menu;
      return &it;
    }
    if (it.submenu)
      if (MenuItem* found = FindItem(it.submenu, item, false, owner)) return found;
  }
  return nullptr;
}

MenuItem ItemFromFlags(UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  MenuItem item;
  item.type = flags & (MF_SEPARATOR | MF_MENUBREAK | MF_MENUBARBREAK | MF_OWNERDRAW | MF_BITMAP | MF_RIGHTJUSTIFY);
  item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT);
  if (flags & MF_POPUP) item.submenu = reinterpret_cast<HMENU>(idOrPopup);
  else item.id = static_cast<UINT>(idOrPopup);
  if (flags & MF_BITMAP) item.bitmap = reinterpret_cast<HBITMAP>(const_cast<LPWSTR>(text));
  else if (flags & MF_OWNERDRAW) item.data = reinterpret_cast<ULONG_PTR>(text);
  else if (!(flags & MF_SEPARATOR) && text) item.text = text;
  return item;
}

UINT FlagsOf(const MenuItem& item) {
  UINT flags = item.type | item.state;
  if (item.submenu) flags |= MF_POPUP;
  return flags;
}

void MarkBarChanged(HMENU menu);

// ---- Qt menus -----------------------------------------------------------------------------------

void FillMenu(QMenu* qmenu, HMENU menu, HWND owner, bool post);

void AddItems(QWidget* target, HMENU menu, HWND owner, bool post) {
  MenuRecord* rec = FindMenu(menu);
  if (!rec) return;
  int index = 0;
  for (const MenuItem& item : rec->items) {
    int position = index++;
    QString text = QString::fromStdU16String(item.text.Str());
    auto* qmenu = qobject_cast<QMenu*>(target);
    if (item.type & (MF_MENUBREAK | MF_MENUBARBREAK)) {
      // Qt menus have no columns: a break becomes a separator line.
      if (qmenu && position > 0) qmenu->addSeparator();
    }
    if (item.type & MF_SEPARATOR) {
      if (qmenu) qmenu->addSeparator();
      continue;
    }
    if (item.submenu) {
      auto* sub = new QMenu(text, target);
      HMENU submenu = item.submenu;
      QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, submenu, owner, position, post] {
        if (IsWindow(owner))
          SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(submenu), MAKELPARAM(position, FALSE));
        FillMenu(sub, submenu, owner, post);
      });
      sub->menuAction()->setEnabled(!(item.state & (MF_GRAYED | MF_DISABLED)));
      if (qmenu) qmenu->addMenu(sub);
      else if (auto* bar = qobject_cast<QMenuBar*>(target)) bar->addMenu(sub);
      continue;
    }
    auto* action = new QAction(text, target);
    action->setData(item.id);
    action->setEnabled(!(item.state & (MF_GRAYED | MF_DISABLED)));
    bool checked = item.state & MF_CHECKED;
    if (checked || item.checked || item.unchecked || (item.type & MFT_RADIOCHECK)) {
      action->setCheckable(true);
      action->setChecked(checked);
    }
    QIcon icon = MenuIcon(item.unchecked, item.checked);
    if (!icon.isNull()) action->setIcon(icon);
    if (post) {
      UINT id = item.id;
      QObject::connect(action, &QAction::triggered, action, [owner, id] {
        // As on the original platform, a menu command is posted: it runs after the menu closed.
        PostMessageW(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
      });
    }
    target->addAction(action);
  }
}

void FillMenu(QMenu* qmenu, HMENU menu, HWND owner, bool post) {
  for (QAction* a : qmenu->actions()) {
    qmenu->removeAction(a);
    if (a->parent() == qmenu) delete a;
  }
  for (QMenu* child : qmenu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) child->deleteLater();
  AddItems(qmenu, menu, owner, post);
}

void MarkBarChanged(HMENU menu) {
  MenuRecord* rec = FindMenu(menu);
  if (rec && rec->bar) DrawMenuBar(rec->bar);
}

}  // namespace

namespace {

// A menu bar that shows the item the keyboard has chosen in menu mode (F10, or Alt alone) as the
// desktop's style shows an open menu's item; the style alone highlights it only while it is open.
class MenuBarWidget : public QMenuBar {
public:
  using QMenuBar::QMenuBar;

  // The bar's own keyboard mode, entered as when Alt is pressed and released with no other key.
  // The bar watches its window for that; it is told directly here, since the window layer turns
  // key events into messages before the bar's watch would see them.
  void EnterKeyboardMode() {
    if (!isVisible() || activeAction() || actions().isEmpty()) return;
    // A modifier key's event reports the modifiers as they are after it: Alt held.
    QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    eventFilter(window(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    eventFilter(window(), &release);
  }

protected:
  void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
    QMenuBar::initStyleOption(option, action);
    if (option->state & QStyle::State_Selected) option->state |= QStyle::State_Sunken;
  }
};

}  // namespace

void EnterMenuMode(WindowRecord& rec) {
  if (auto* bar = dynamic_cast<MenuBarWidget*>(rec.menuBar.data())) bar->EnterKeyboardMode();
}

void RealizeMenuBar(WindowRecord& rec) {
  if (!rec.menu || !rec.host) {
    DestroyMenuBar(rec);
    return;
  }
  if (!rec.menuBar) {
    rec.menuBar = new MenuBarWidget(rec.host);
    rec.menuBar->setNativeMenuBar(false);
    rec.menuBar->show();
  }
  rec.menuBar->clear();
  for (QMenu* child : rec.menuBar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) child->deleteLater();
  HWND owner = rec.handle;
  HMENU menu = rec.menu;
  AddItems(rec.menuBar, menu, owner, true);
  // The whole bar is brought up to date once, when any of its pop-ups is about to open.
  for (QAction* a : rec.menuBar->actions())
    if (QMenu* sub = a->menu())
      QObject::connect(sub, &QMenu::aboutToShow, sub, [owner, menu] {
        if (IsWindow(owner)) SendMessageW(owner, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
      }, Qt::DirectConnection);
  ApplyGeometry(rec);
}

void DestroyMenuBar(WindowRecord& rec) {
  if (rec.menuBar) {
    rec.menuBar->hide();
    rec.menuBar->deleteLater();
    rec.menuBar = nullptr;
  }
}

}  // namespace qvui

using namespace qvui;

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU menu) {
  auto it = Menus().find(menu);
  if (it == Menus().end()) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  std::unique_ptr<MenuRecord> rec = std::move(it->second);
  Menus().erase(it);
  for (const MenuItem& item : rec->items)
    if (item.submenu) DestroyMenu(item.submenu);
  if (rec->bar)
    if (WindowRecord* w = Find(rec->bar); w && w->menu == menu) {
      w->menu = nullptr;
      DestroyMenuBar(*w);
      SetWindowPos(w->handle, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return Menus().count(menu) ? TRUE : FALSE; }

namespace {

struct TemplateReader {
  const BYTE* data;
  SIZE_T size;
  SIZE_T pos;

  bool Word(WORD& out) {
    if (size - pos < 2) return false;
    out = static_cast<WORD>(data[pos] | (data[pos + 1] << 8));
    pos += 2;
    return true;
  }
  bool Text(CString& out) {
    std::u16string text;
    for (;;) {
      WORD ch;
      if (!Word(ch)) return false;
      if (!ch) break;
      text.push_back(static_cast<char16_t>(ch));
    }
    out = CString(text);
    return true;
  }
  bool Level(HMENU menu, int depth) {
    if (depth > 32) return false;
    for (;;) {
      WORD option, id = 0;
      CString text;
      if (!Word(option)) return false;
      bool popup = option & MF_POPUP;
      if (!popup && !Word(id)) return false;
      if (!Text(text)) return false;
      UINT flags = option & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK | MF_OWNERDRAW |
                             MF_RIGHTJUSTIFY);
      if (popup) {
        HMENU sub = CreatePopupMenu();
        if (!Level(sub, depth + 1) || !AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text)) {
          DestroyMenu(sub);
          return false;
        }
      } else if (id == 0 && text.IsEmpty() && !(option & ~MF_END)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(menu, flags, id, text);
      }
      if (option & MF_END) return true;
    }
  }
};

}  // namespace

HMENU LoadMenuIndirectW(const void* menuTemplate, SIZE_T size) {
  if (!menuTemplate || size < 4) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  TemplateReader reader {static_cast<const BYTE*>(menuTemplate), size, 0};
  WORD version, offset;
  reader.Word(version);
  reader.Word(offset);
  if (version != 0 || offset > size - 4) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  reader.pos += offset;
  HMENU menu = CreateMenu();
  if (reader.pos == size) return menu;  // a menu without items
  if (!reader.Level(menu, 0)) {
    DestroyMenu(menu);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return menu;
}

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  MenuRecord* rec = nullptr;
  size_t index = 0;
  if (flags & MF_BYPOSITION) {
    rec = FindMenu(menu);
    if (!rec) return FALSE;
    index = std::min<size_t>(position, rec->items.size());
  } else {
    HMENU owner = nullptr;
    MenuItem* at = FindItem(menu, position, false, &owner);
    if (!at) {
      rec = FindMenu(menu);
      if (!rec) return FALSE;
      index = rec->items.size();
    } else {
      rec = FindMenu(owner);
      index = static_cast<size_t>(at - rec->items.data());
    }
  }
  if ((flags & MF_POPUP) && !IsMenu(reinterpret_cast<HMENU>(idOrPopup))) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  rec->items.insert(rec->items.begin() + static_cast<std::ptrdiff_t>(index), ItemFromFlags(flags, idOrPopup, text));
  MarkBarChanged(menu);
  return TRUE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  MenuRecord* rec = FindMenu(menu);
  if (!rec) return FALSE;
  return InsertMenuW(menu, static_cast<UINT>(rec->items.size()), flags | MF_BYPOSITION, idOrPopup, text);
}

BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  MenuItem* item = FindItem(menu, position, flags & MF_BYPOSITION);
  if (!item) return FALSE;
  MenuItem changed = ItemFromFlags(flags, idOrPopup, text);
  if (item->submenu && item->submenu != changed.submenu) DestroyMenu(item->submenu);
  changed.checked = item->checked;
  changed.unchecked = item->unchecked;
  *item = changed;
  MarkBarChanged(menu);
  return TRUE;
}

namespace {

BOOL TakeItem(HMENU menu, UINT position, UINT flags, bool destroy) {
  HMENU owner = nullptr;
  MenuItem* item = FindItem(menu, position, flags & MF_BYPOSITION, &owner);
  if (!item) return FALSE;
  MenuRecord* rec = FindMenu(owner);
  HMENU sub = item->submenu;
  rec->items.erase(rec->items.begin() + (item - rec->items.data()));
  if (destroy && sub) DestroyMenu(sub);
  MarkBarChanged(menu);
  return TRUE;
}

}  // namespace

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return TakeItem(menu, position, flags, true); }
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return TakeItem(menu, position, flags, false); }

int GetMenuItemCount(HMENU menu) {
  MenuRecord* rec = FindMenu(menu);
  return rec ? static_cast<int>(rec->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  MenuItem* item = position < 0 ? nullptr : FindItem(menu, static_cast<UINT>(position), true);
  if (!item || item->submenu) return static_cast<UINT>(-1);
  return item->id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  MenuItem* item = position < 0 ? nullptr : FindItem(menu, static_cast<UINT>(position), true);
  return item ? item->submenu : nullptr;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  MenuItem* it = FindItem(menu, item, flags & MF_BYPOSITION);
  if (!it) return static_cast<UINT>(-1);
  UINT state = FlagsOf(*it);
  if (it->submenu) state = (state & 0xFF) | (static_cast<UINT>(GetMenuItemCount(it->submenu)) << 8);
  return state;
}

int GetMenuStringW(HMENU menu, UINT item, LPWSTR text, int maxCount, UINT flags) {
  MenuItem* it = FindItem(menu, item, flags & MF_BYPOSITION);
  if (!it) return 0;
  if (!text || maxCount <= 0) return it->text.GetLength();
  int n = std::min(it->text.GetLength(), maxCount - 1);
  std::copy_n(it->text.GetString(), n, text);
  text[n] = 0;
  return n;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  MenuItem* it = FindItem(menu, item, check & MF_BYPOSITION);
  if (!it) return static_cast<DWORD>(-1);
  DWORD old = it->state & MF_CHECKED;
  it->state = (it->state & ~MF_CHECKED) | (check & MF_CHECKED);
  return old;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  MenuItem* it = FindItem(menu, item, enable & MF_BYPOSITION);
  if (!it) return -1;
  BOOL old = static_cast<BOOL>(it->state & (MF_GRAYED | MF_DISABLED));
  it->state = (it->state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  if (it->submenu) MarkBarChanged(menu);
  return old;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  bool any = false;
  for (UINT i = first; i <= last; ++i) {
    MenuItem* it = FindItem(menu, i, flags & MF_BYPOSITION);
    if (!it) continue;
    any = true;
    it->type |= MFT_RADIOCHECK;
    it->state = (i == check) ? (it->state | MF_CHECKED) : (it->state & ~MF_CHECKED);
  }
  return any;
}

BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked) {
  MenuItem* it = FindItem(menu, position, flags & MF_BYPOSITION);
  if (!it) return FALSE;
  it->unchecked = unchecked;
  it->checked = checked;
  return TRUE;
}

BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOW info) {
  if (!info) return FALSE;
  MenuItem* it = FindItem(menu, item, byPosition);
  if (!it) return FALSE;
  UINT mask = info->fMask;
  if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it->type;
  if (mask & MIIM_STATE) info->fState = it->state;
  if (mask & MIIM_ID) info->wID = it->id;
  if (mask & MIIM_SUBMENU) info->hSubMenu = it->submenu;
  if (mask & MIIM_CHECKMARKS) {
    info->hbmpChecked = it->checked;
    info->hbmpUnchecked = it->unchecked;
  }
  if (mask & MIIM_DATA) info->dwItemData = it->data;
  if (mask & MIIM_BITMAP) info->hbmpItem = it->bitmap;
  if (mask & (MIIM_STRING | MIIM_TYPE)) {
    if (!info->dwTypeData || info->cch == 0) {
      info->cch = static_cast<UINT>(it->text.GetLength());
    } else {
      UINT n = std::min<UINT>(static_cast<UINT>(it->text.GetLength()), info->cch - 1);
      std::copy_n(it->text.GetString(), n, info->dwTypeData);
      info->dwTypeData[n] = 0;
      info->cch = n;
    }
  }
  return TRUE;
}

BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info) {
  if (!info) return FALSE;
  MenuItem* it = FindItem(menu, item, byPosition);
  if (!it) return FALSE;
  UINT mask = info->fMask;
  if (mask & (MIIM_TYPE | MIIM_FTYPE)) it->type = info->fType;
  if (mask & MIIM_STATE) it->state = info->fState;
  if (mask & MIIM_ID) it->id = info->wID;
  if (mask & MIIM_SUBMENU) it->submenu = info->hSubMenu;
  if (mask & MIIM_CHECKMARKS) {
    it->checked = info->hbmpChecked;
    it->unchecked = info->hbmpUnchecked;
  }
  if (mask & MIIM_DATA) it->data = info->dwItemData;
  if (mask & MIIM_BITMAP) it->bitmap = info->hbmpItem;
  if ((mask & (MIIM_STRING | MIIM_TYPE)) && !(it->type & (MFT_SEPARATOR | MFT_BITMAP)))
    it->text = info->dwTypeData;
  MarkBarChanged(menu);
  return TRUE;
}

BOOL InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info) {
  if (!info) return FALSE;
  if (!InsertMenuW(menu, item, (byPosition ? MF_BYPOSITION : 0) | MF_STRING, 0, nullptr)) return FALSE;
  UINT position = item;
  if (!byPosition) {
    // The new item sits where the command was; find it by its empty place.
    MenuRecord* rec = FindMenu(menu);
    position = static_cast<UINT>(rec->items.size() - 1);
    for (UINT i = 0; i < rec->items.size(); ++i)
      if (rec->items[i].id == 0 && rec->items[i].text.IsEmpty() && !rec->items[i].submenu) position = i;
  } else {
    position = std::min<UINT>(item, static_cast<UINT>(FindMenu(menu)->items.size() - 1));
  }
  return SetMenuItemInfoW(menu, position, TRUE, info);
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !IsTopLevel(*rec)) return FALSE;
  if (menu && !FindMenu(menu)) return FALSE;
  if (rec->menu)
    if (MenuRecord* old = FindMenu(rec->menu)) old->bar = nullptr;
  rec->menu = menu;
  if (menu) FindMenu(menu)->bar = hwnd;
  RealizeMenuBar(*rec);
  return SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                      SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HMENU GetMenu(HWND hwnd) {
  WindowRecord* rec = Get(hwnd);
  return rec ? rec->menu : nullptr;
}

BOOL DrawMenuBar(HWND hwnd) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  RealizeMenuBar(*rec);
  return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, LPCRECT) {
  if (!FindMenu(menu) || !IsWindow(owner)) return FALSE;
  // The menu takes the mouse, as on the original platform.
  if (GetCapture()) ReleaseCapture();
  SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));
  if (!IsWindow(owner) || !FindMenu(menu)) return FALSE;
  QMenu qmenu;
  AddItems(&qmenu, menu, owner, false);
  QSize size = qmenu.sizeHint();
  QPoint at(x, y);
  if (flags & TPM_RIGHTALIGN) at.rx() -= size.width();
  else if (flags & TPM_CENTERALIGN) at.rx() -= size.width() / 2;
  if (flags & TPM_BOTTOMALIGN) at.ry() -= size.height();
  else if (flags & TPM_VCENTERALIGN) at.ry() -= size.height() / 2;
  QAction* chosen = qmenu.exec(at);
  UINT id = chosen ? chosen->data().toUInt() : 0;
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(id);
  if (id && IsWindow(owner)) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  return TRUE;
}

// ---- Accelerator tables -----------------------------------------------------------------------

namespace {

std::map<HACCEL, std::vector<ACCEL>>& Accelerators() {
  static std::map<HACCEL, std::vector<ACCEL>> tables;
  return tables;
}

}  // namespace

HACCEL CreateAcceleratorTableW(LPACCEL entries, int count) {
  if (!entries || count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  static std::uintptr_t next = 0x30000;
  HACCEL h = reinterpret_cast<HACCEL>(next += 4);
  Accelerators()[h] = std::vector<ACCEL>(entries, entries + count);
  return h;
}

BOOL DestroyAcceleratorTable(HACCEL table) { return Accelerators().erase(table) ? TRUE : FALSE; }

int CopyAcceleratorTableW(HACCEL table, LPACCEL entries, int count) {
  auto it = Accelerators().find(table);
  if (it == Accelerators().end()) return 0;
  int n = static_cast<int>(it->second.size());
  if (!entries) return n;
  n = std::min(n, count);
  std::copy_n(it->second.begin(), n, entries);
  return n;
}

int TranslateAcceleratorW(HWND hwnd, HACCEL table, LPMSG msg) {
  if (!hwnd || !msg) return 0;
  auto it = Accelerators().find(table);
  if (it == Accelerators().end()) return 0;
  bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  bool character = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
  if (!keyDown && !character) return 0;
  BYTE mods = 0;
  if (GetKeyState(VK_SHIFT) < 0) mods |= FSHIFT;
  if (GetKeyState(VK_CONTROL) < 0) mods |= FCONTROL;
  if (GetKeyState(VK_MENU) < 0 || (msg->lParam & (1 << 29))) mods |= FALT;
  for (const ACCEL& a : it->second) {
    bool match;
    if (a.fVirt & FVIRTKEY) {
      match = keyDown && a.key == msg->wParam && (a.fVirt & (FSHIFT | FCONTROL | FALT)) == mods;
    } else {
      match = character && a.key == msg->wParam && bool(a.fVirt & FALT) == (msg->message == WM_SYSCHAR);
    }
    if (!match) continue;
    // A disabled window (under a modal dialog, for example) takes the key but runs nothing.
    if (IsWindowEnabled(hwnd)) SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return 1;
  }
  return 0;
}
