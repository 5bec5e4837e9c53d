#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent: packages already present are skipped, so a second run costs a dpkg query.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev
  libtiff-dev libjpeg62-turbo-dev libpng-dev zlib1g-dev uuid-dev
  libsane-dev libcurl4-openssl-dev libgtest-dev libssl-dev libcups2-dev
  # tests: display, checkers of what the system writes, real counterparts
  xvfb xauth openbox xdotool xclip x11-utils libtiff-tools poppler-utils qpdf libjpeg-turbo-progs imagemagick
  sane-utils fonts-liberation2 fonts-dejavu-core locales python3-aiosmtpd
  # a print server of the tests' own (scripts/cups-queue.sh)
  cups-daemon cups-client
  # run time: the desktop opener the viewer hands its help file to
  xdg-utils
  # benchmarks: the peers a user would use instead
  libvips-tools img2pdf
  # tests of the viewer's exports: xmllint, and Python's readers of CSV and XML
  libxml2-utils python3
  # fuzzing (scripts/fuzz.sh): clang with libFuzzer and the sanitizers
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Tests check that numbers are written the same under a German locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the de_DE.UTF-8 locale"
  "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
