#include "framework/dialogs/CQVComboBox.h"

IMPLEMENT_DYNAMIC(CQVComboBox, CComboBox)

namespace {
constexpr DWORD kKindBits = 0x3;
}

BOOL CQVComboBox::SetMode(int mode) {
  if (mode < 1 || mode > 3 || !GetSafeHwnd()) return FALSE;
  static_assert(CBS_SIMPLE == 1 && CBS_DROPDOWN == 2 && CBS_DROPDOWNLIST == 3);
  ModifyStyle(kKindBits, static_cast<DWORD>(mode));
  return TRUE;
}

BOOL CQVComboBox::GetMode(int& mode) const {
  if (!GetSafeHwnd()) return FALSE;
  mode = static_cast<int>(GetStyle() & kKindBits);
  return TRUE;
}
