# Writes a source file that registers the pictures of the list IN with the module it is built into.
include(${CMAKE_CURRENT_LIST_DIR}/QvImageList.cmake)
qv_read_image_list("${IN}" entries)
set(arrays "")
set(calls "")
set(index 0)
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 kind)
  list(GET fields 1 name)
  list(GET fields 2 file)
  list(GET fields 3 x)
  list(GET fields 4 y)
  file(READ "${file}" hex HEX)
  if(hex STREQUAL "")
    message(FATAL_ERROR "${IN}: ${file} is empty or missing")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char kPicture${index}[] = {${bytes}};\n")
  if(name MATCHES "^[0-9]+$")
    set(key "reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(${name}))")
  else()
    set(key "u\"${name}\"")
  endif()
  string(SUBSTRING "${kind}" 0 1 first)
  string(TOUPPER "${first}" first)
  string(SUBSTRING "${kind}" 1 -1 rest)
  string(APPEND calls "  RegisterModuleImage(module, ModuleImageKind::${first}${rest}, ${key}, kPicture${index}, sizeof kPicture${index}, ${x}, ${y});\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUT}.tmp" "// Built from ${NAME}.images; do not edit.
#include \"platform/core/module.h\"
#include \"platform/gdi/ModuleImages.h\"

#include <cstdint>

namespace {
${arrays}
__attribute__((constructor)) void RegisterPictures() {
  HMODULE module = GetModuleFromAddress(reinterpret_cast<const void*>(&RegisterPictures));
${calls}}
__attribute__((destructor)) void UnregisterPictures() {
  UnregisterModuleImages(GetModuleFromAddress(reinterpret_cast<const void*>(&RegisterPictures)));
}
}  // namespace
")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
