// Hot-key scripts: whatever a profile or language file holds, a line either is skipped or makes
// one key, with only the modifier bits an accelerator table has.

#include "framework/app/CQVHotKeyList.h"
#include "tools/fuzz/FuzzSupport.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString value = CString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  BYTE modifiers = 0;
  WORD key = 0;
  CString description;
  if (!CQVHotKeyList::ParseScript(value.GetString(), modifiers, key, description)) return 0;
  fuzz::Check((modifiers & ~(FVIRTKEY | FSHIFT | FCONTROL | FALT)) == 0, "a key with modifier bits the table has not");
  fuzz::Check(key != 0, "a key of code 0");
  return 0;
}
