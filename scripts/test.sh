#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
#
#   scripts/test.sh [--sanitize] [ctest options...]
#
# --sanitize: the sanitizer pass. The tree and its tests are built with the address and
# undefined-behaviour sanitizers into a build folder of their own (build-asan/, or
# $QV_ASAN_BUILD_DIR), and every test runs there; any finding fails its test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD_DIR:-$root/build}
sanitize=0
if [ "${1:-}" = --sanitize ]; then
  sanitize=1
  shift
  build=${QV_ASAN_BUILD_DIR:-$root/build-asan}
fi
bash "$root/scripts/install-deps.sh"
if [ $sanitize = 1 ] && [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_SANITIZE=ON >/dev/null
fi
QV_BUILD_DIR=$build bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
if [ $sanitize = 1 ]; then
  # Leaks are not looked for: Qt and the font libraries keep what they load until the end.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:halt_on_error=1:check_initialization_order=1:strict_init_order=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
fi
cd "$build"
ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@"
