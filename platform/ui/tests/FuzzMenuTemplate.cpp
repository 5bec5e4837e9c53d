// Menu templates: loads the template, walks the menu it makes and destroys it. Each item takes at
// least four bytes of the template, so a menu can never hold more items than that allows.

#include "platform/ui/win/winuser.h"
#include "tools/fuzz/FuzzSupport.h"

#include <vector>

namespace {

// Counts the items of the menu and of its pop-ups, reading each one as a caller would.
size_t Walk(HMENU menu, int depth) {
  fuzz::Check(depth <= 64, "a menu nests deeper than templates may");
  const int count = GetMenuItemCount(menu);
  fuzz::Check(count >= 0, "a loaded menu has no item count");
  size_t items = static_cast<size_t>(count);
  std::vector<WCHAR> text(256);
  for (int position = 0; position < count; ++position) {
    GetMenuStringW(menu, static_cast<UINT>(position), text.data(), static_cast<int>(text.size()), MF_BYPOSITION);
    GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
    GetMenuItemID(menu, position);
    if (HMENU sub = GetSubMenu(menu, position)) items += Walk(sub, depth + 1);
  }
  return items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HMENU menu = LoadMenuIndirectW(data, size);
  if (!menu) return 0;
  fuzz::Check(Walk(menu, 0) <= size / 4, "a menu holds more items than its template");
  fuzz::Check(DestroyMenu(menu) && !IsMenu(menu), "a loaded menu cannot be destroyed");
  return 0;
}
