// Pictures a module carries: the bytes of a picture file listed in a module's res/*.images, as the
// module registers them, decoded the first time the module's bitmap is asked for and made into a
// bitmap. (The list itself is read by the build, which refuses any line it does not know.)

#include "platform/gdi/ModuleImages.h"
#include "platform/gdi/gdi.h"
#include "tools/fuzz/FuzzSupport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int self;
  const auto module = reinterpret_cast<HMODULE>(&self);
  const auto name = reinterpret_cast<LPCWSTR>(std::uintptr_t {126});
  RegisterModuleImage(module, ModuleImageKind::Bitmap, name, data, size);
  const ModuleImage picture = FindModuleImage(module, ModuleImageKind::Bitmap, name);
  if (!picture.image.isNull() && fuzz::PictureFits(picture.image.width(), picture.image.height())) {
    HBITMAP bitmap = LoadBitmapW(module, name);
    fuzz::Check(bitmap != nullptr, "a picture that decodes becomes a bitmap");
    BITMAP info {};
    fuzz::Check(GetObjectW(bitmap, sizeof info, &info) == sizeof info, "a bitmap describes itself");
    fuzz::Check(info.bmWidth == picture.image.width() && info.bmHeight == picture.image.height(),
                "the bitmap has the picture's size");
    DeleteObject(bitmap);
  }
  UnregisterModuleImages(module);
  return 0;
}
