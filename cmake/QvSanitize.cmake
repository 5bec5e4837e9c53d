# The sanitizer pass (scripts/test.sh --sanitize): with QV_SANITIZE=ON the whole tree, its tests and
# the programs the build runs are built with the address and undefined-behaviour sanitizers, and any
# finding stops the program. The fuzz build (QV_FUZZ, cmake/QvFuzzing.cmake) uses the same flags.
option(QV_SANITIZE "Build with the address and undefined-behaviour sanitizers" OFF)

set(QV_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

# The window layer reaches a bar's or a window's control by treating the owning object as the
# control class (GetToolBarCtrl, GetStatusBarCtrl, GetHeaderCtrl, GetTabControl), as the framework
# does; the dynamic-type check (vptr) flags every call made that way, so the pass leaves it out.
if(QV_SANITIZE)
  add_compile_options(${QV_SANITIZER_FLAGS} -fno-sanitize=vptr)
  add_link_options(${QV_SANITIZER_FLAGS} -fno-sanitize=vptr)
endif()
