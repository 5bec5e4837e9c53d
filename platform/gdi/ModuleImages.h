#pragma once
// Pictures a module carries among its resources: bitmaps, icons and cursors, each by a name or by
// MAKEINTRESOURCEW(id). They are image files (PNG, BMP) built into the module from a resource list
// of its res/ folder (qv_add_image_resources in CMake), registered when the module loads and
// decoded the first time they are asked for.
//
// A resource list holds one picture a line; '#' starts a comment line, file names are in double
// quotes and relative to the list, a cursor names its hot spot:
//
//   bitmap 126 "layout-portrait-1.png"
//   icon IDI_PROGRAM "program.png"
//   cursor 155 "magnifier.png" 7 7

#include "platform/core/wintypes.h"

#include <QImage>
#include <QPoint>

#include <cstddef>

enum class ModuleImageKind { Bitmap, Icon, Cursor };

struct ModuleImage {
  QImage image;  // null when there is no such picture, or its file cannot be read
  QPoint hotSpot;
};

// Called by the code qv_add_image_resources generates. `data` stays valid as long as the module;
// a name is compared without regard to case.
void RegisterModuleImage(HMODULE module, ModuleImageKind kind, LPCWSTR name, const unsigned char* data,
                         std::size_t size, int hotX = 0, int hotY = 0);
// Forgets a module's pictures; called when the module unloads, since their data goes with it.
void UnregisterModuleImages(HMODULE module);
ModuleImage FindModuleImage(HMODULE module, ModuleImageKind kind, LPCWSTR name);
// The module that has such a picture: the program, else the first other module that registered
// one; null when none has.
HMODULE FindModuleImageModule(ModuleImageKind kind, LPCWSTR name);
