#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer on the sample published batches.
# Without arguments the viewer starts with "-M:" on the sample profile, so that its search runs at
# once; a first start also gets settings that search the folder of both sample batches.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
samples="$build/samples/small"
settings="$build/bin/Workstation/Sys/SXS.dat"
if [ ! -f "$settings" ]; then
  mkdir -p "$(dirname "$settings")"
  printf '[QVSettings]\r\nSearchMode = 2\r\nPath = %s/\r\n' "$samples" > "$settings"
fi
if [ $# -eq 0 ]; then set -- "-M:$samples/orbel.dps"; fi
exec "$build/bin/OrbelMain" "$@"
