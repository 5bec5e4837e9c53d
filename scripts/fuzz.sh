#!/usr/bin/env bash
# Fuzzes the parsers of outside input with libFuzzer, under the address and undefined-behaviour
# sanitizers, in a build of its own (build-fuzz/, or $QV_FUZZ_BUILD_DIR).
#
#   scripts/fuzz.sh [target] [seconds]
#
# Without a target every one runs, one after the other; each runs for `seconds` (60 by default),
# starting from its seeds. What a run learns is kept in build-fuzz/corpus/<target>/ for the next
# run; inputs that crash, hang or leak are written to build-fuzz/findings/<target>/.
# Targets: the fuzz_* programs (their names without the prefix), listed by `scripts/fuzz.sh list`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_FUZZ_BUILD_DIR:-$root/build-fuzz}
target=${1:-all}
seconds=${2:-60}

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_FUZZ=ON >/dev/null
fi
cmake --build "$build" --target qv_fuzz_targets

targets=()
for seeds in "$build"/fuzz/*.seeds; do targets+=("$(basename "$seeds" .seeds)"); done
if [ "$target" = list ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [ "$target" != all ]; then
  if [ ! -f "$build/fuzz/$target.seeds" ]; then
    echo "no fuzz target '$target'; there are: ${targets[*]}" >&2
    exit 2
  fi
  targets=("$target")
fi

export QT_QPA_PLATFORM=offscreen
# Targets write each input to a file and the savers flush theirs to the disk: a folder in memory
# keeps that from setting the pace.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
failed=0
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  # libFuzzer writes what it learns into its first corpus folder: the seeds are copied there, so
  # that seed folders in the source tree stay as they are.
  while IFS= read -r seed; do
    [ -n "$seed" ] || continue
    if [ -d "$seed" ]; then
      find "$seed" -maxdepth 1 -type f -exec cp -n {} "$corpus/" \;
    elif [ -f "$seed" ]; then
      cp -n "$seed" "$corpus/"
    else
      echo "warning: seed $seed of $name is missing" >&2
    fi
  done < "$build/fuzz/$name.seeds"
  echo "== fuzz_$name for ${seconds} s"
  if ! "$build/fuzz/fuzz_$name" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" -print_final_stats=1; then
    echo "fuzz_$name found a fault: see $findings/" >&2
    failed=1
  fi
done
exit $failed
