// CQVHotKeyList, the texts of its keys: how a menu shows a command's shortcut. Keys are named as
// users read them on their keyboards ("Page Down", "Num 0", "Ctrl"), in the language of the
// kernel's texts (KEYNAME_... in its language file; German "Bild ab", "Strg"). Letters, digits
// and function keys are their own names in every language.

#include "framework/app/CQVHotKeyList.h"

#include "foundation/language/CQVRCM.h"
#include "foundation/language/KernelEntry.h"
#include "foundation/util/DPXLookupTables.h"

namespace {

constexpr WCHAR kTablePrefix[] = u"VK_";

// The kernel's text of the key, or the given name when the language files have none.
CString KernelText(const CString& key, LPCWSTR otherwise) {
  CString text;
  if (!CQVRCM::LoadText(key, text, QVKernelInstance()) || text.IsEmpty()) text = otherwise;
  return text;
}

}  // namespace

void CQVHotKeyList::GetKeyName(WORD virtualKey, CString& name) {
  DPXVirtualKeyToName(virtualKey, name);
  if (name.Left(3) != kTablePrefix) return;
  const CString key = name.Mid(3);
  const bool functionKey = key.GetLength() > 1 && key[0] == u'F' && key.SpanIncluding(u"F0123456789") == key;
  if (key.GetLength() == 1 || functionKey) {
    name = key;
    return;
  }
  name = KernelText(u"KEYNAME_" + key, name);
}

void CQVHotKeyList::GetKeyDescription(BYTE modifiers, WORD key, LPCWSTR description, CString& text) {
  text = description ? description : u"";
  text.Trim();
  if (!text.IsEmpty()) return;
  const struct {
    BYTE flag;
    LPCWSTR textKey;
    LPCWSTR name;
  } parts[] = {{FCONTROL, u"KEYNAME_CTRL", u"Ctrl"}, {FSHIFT, u"KEYNAME_SHIFT", u"Shift"}, {FALT, u"KEYNAME_ALT", u"Alt"}};
  for (const auto& part : parts) {
    if (!(modifiers & part.flag)) continue;
    if (!text.IsEmpty()) text += u"+";
    text += KernelText(part.textKey, part.name);
  }
  CString name;
  if (modifiers & FVIRTKEY) GetKeyName(key, name);
  else name = CString(static_cast<WCHAR>(key));
  if (!text.IsEmpty()) text += u"+";
  text += name;
}
