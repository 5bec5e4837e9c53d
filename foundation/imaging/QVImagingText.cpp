#include "foundation/imaging/QVImagingText.h"

#include "platform/core/codepage.h"

#include <string_view>

namespace {

// STUB: stands in for the language manager's text lookup until it is part of this build; the
// texts are those of the kernel's language files, which are the same in every language.
struct KernelText {
  std::u16string_view key;
  std::u16string_view text;
};
constexpr KernelText kKernelTexts[] = {
  { u"STR_PDF_PRODUCTOR", u"Brisk lane" },
  { u"STR_PDF_CREATOR", u"Brisk lane document imaging" },
  { u"STR_TIF_SOFTWARE", u"Brisk lane" },
  { u"STR_TIF_VERSION", u"Brisk lane 0.1" },
  { u"STR_TIF_IMAGEDESCRIPTION", u"Scanned with Brisk lane" },
  { u"STR_TIF_ARTIST", u"Brisk lane" },
  { u"STR_TIF_BLN_IMAGEDESCRIPTION", u"Brisk lane stored image" },
};

}  // namespace

std::string QVLoadAnsiText(LPCWSTR key) {
  const std::u16string_view wanted(key ? key : u"");
  for (const KernelText& entry : kKernelTexts) {
    if (entry.key == wanted) return WideToAnsi(entry.text);
  }
  return {};
}
