#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages Tessel needs to build and test, only those missing.
# Runs apt-get as root, or through sudo for other users. zenity shows the preset bar's file
# dialogs (and the window tests drive it with xdotool). mingw-w64 cross-builds the Windows
# edition, which the tests run under Wine.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config
          libgtest-dev libgmock-dev libbenchmark-dev libsndfile1-dev libpng-dev libx11-dev
          libxtst-dev xvfb clang-format binutils
          libcairo2-dev fonts-dejavu-core
          zenity xdotool
          lv2-dev liblilv-dev lilv-utils sordi
          dpkg-dev lintian zip
          g++-mingw-w64-x86-64-posix wine64)

# `scripts/install-deps.sh build` leaves out what only the tests and benchmarks need.
test_only=(libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev xvfb clang-format xdotool
           liblilv-dev lilv-utils sordi lintian g++-mingw-w64-x86-64-posix wine64)

missing=()
for p in "${packages[@]}"; do
  [ "${1:-}" = build ] && [[ " ${test_only[*]} " == *" $p "* ]] && continue
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
