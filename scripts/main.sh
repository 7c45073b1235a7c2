#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Tessel, and installs the plug-in for the current user.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
# Only what is installed below: no test program or benchmark.
scripts/build.sh plain Tessel Tessel.lv2 tessel-render tessel-shot

dest="${HOME}/.vst"
mkdir -p "$dest"
install -s -m 0755 build/Tessel.so "$dest/Tessel.so"
echo "Installed the plug-in: $dest/Tessel.so"
echo "Carla, Qtractor and REAPER find it there (~/.vst) after a plug-in rescan."
echo "Ardour looks only where LXVST_PATH points: start it with LXVST_PATH=$dest:\$LXVST_PATH"

# The LV2 edition: the bundle replaces any older one whole.
lv2dest="${HOME}/.lv2/Tessel.lv2"
rm -rf "$lv2dest"
install -d "$lv2dest"
install -m 0644 build/Tessel.lv2/*.ttl "$lv2dest/"
install -s -m 0755 build/Tessel.lv2/tessel_lv2.so "$lv2dest/tessel_lv2.so"
echo "Installed the LV2 edition: $lv2dest"
echo "Ardour, Qtractor, Carla, Audacity and Jalv find it there without any setup (URI urn:tessel:lv2:plugin)."
if [ -x build/tessel-render ]; then
  mkdir -p out
  echo "Rendering the demo phrase through factory programs into out/ (one file per program):"
  for program in "*Init" "1 4 Feedback" "Doubler Stereo" "Dub Hit" "Wow Tape" "Piano Case"; do
    file="out/$(echo "$program" | tr -c 'A-Za-z0-9\n' '_' | sed 's/^_*//').wav"
    build/tessel-render --program "$program" "$file"
  done
fi
