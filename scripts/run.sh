#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer on the sample published batches.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
exec "$build/bin/OrbelMain" "$@"
