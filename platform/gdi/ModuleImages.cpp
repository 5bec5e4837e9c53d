#include "platform/gdi/ModuleImages.h"

#include "platform/core/module.h"

#include <QString>

#include <mutex>
#include <string>
#include <vector>

namespace {

// A resource name: an ID (MAKEINTRESOURCEW) or a text, kept folded to compare without case.
struct Key {
  std::uintptr_t id {};
  QString name;
  bool operator==(const Key& other) const { return id == other.id && name == other.name; }
};

Key KeyOf(LPCWSTR name) {
  auto value = reinterpret_cast<std::uintptr_t>(name);
  if ((value >> 16) == 0) return Key {value, QString()};
  return Key {0, QString::fromStdU16String(name).toCaseFolded()};
}

struct Entry {
  HMODULE module {};
  ModuleImageKind kind {};
  Key key;
  const unsigned char* data {};
  std::size_t size {};
  QPoint hotSpot;
  bool decoded {};
  QImage image;
};

struct Registry {
  std::mutex lock;
  std::vector<Entry> entries;
};

// Never destroyed: modules forget their pictures as they unload, which may be after the end of
// static objects.
Registry& Images() {
  static auto* registry = new Registry;
  return *registry;
}

}  // namespace

void RegisterModuleImage(HMODULE module, ModuleImageKind kind, LPCWSTR name, const unsigned char* data,
                         std::size_t size, int hotX, int hotY) {
  if (!name || !data) return;
  Registry& r = Images();
  std::lock_guard<std::mutex> guard(r.lock);
  r.entries.push_back(Entry {module, kind, KeyOf(name), data, size, QPoint(hotX, hotY), false, QImage()});
}

void UnregisterModuleImages(HMODULE module) {
  Registry& r = Images();
  std::lock_guard<std::mutex> guard(r.lock);
  std::erase_if(r.entries, [module](const Entry& e) { return e.module == module; });
}

ModuleImage FindModuleImage(HMODULE module, ModuleImageKind kind, LPCWSTR name) {
  if (!module || !name) return ModuleImage {};
  Key key = KeyOf(name);
  Registry& r = Images();
  std::lock_guard<std::mutex> guard(r.lock);
  for (Entry& e : r.entries) {
    if (e.module != module || e.kind != kind || !(e.key == key)) continue;
    if (!e.decoded) {
      e.image = QImage::fromData(e.data, static_cast<int>(e.size));
      e.decoded = true;
    }
    return ModuleImage {e.image, e.hotSpot};
  }
  return ModuleImage {};
}

HMODULE FindModuleImageModule(ModuleImageKind kind, LPCWSTR name) {
  if (!name) return nullptr;
  Key key = KeyOf(name);
  HMODULE program = GetModuleHandleW(nullptr);
  HMODULE other = nullptr;
  Registry& r = Images();
  std::lock_guard<std::mutex> guard(r.lock);
  for (const Entry& e : r.entries) {
    if (e.kind != kind || !(e.key == key)) continue;
    if (e.module == program) return program;
    if (!other) other = e.module;
  }
  return other;
}
