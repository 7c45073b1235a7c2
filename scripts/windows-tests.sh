#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows stage of the tests: builds Tessel.dll and its test programs with mingw-w64
# (scripts/build.sh windows), renders the factory programs with the Linux build in build/
# as the reference, and runs every test program under Wine in a throw-away prefix. Window
# tests use the X server named by TESSEL_TEST_DISPLAY and skip without one.
# Exits non-zero when a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

scripts/build.sh windows
# The Linux references: the plain build's plug-in through the same host code, and its
# picture of the panel (program 0 at scale 1).
cmake --build build --target tessel-program-render tessel-shot tessel-shot-compare Tessel \
  -j "$(nproc)" >/dev/null
build/tests/windows/tessel-program-render build/Tessel.so "$work/linux-render"
TESSEL_CONFIG_HOME="$work/config" build/tessel-shot "$work/linux-shot.png" >/dev/null

echo "== Windows tests under Wine (prefix $WINEPREFIX)"
# One prefix and one server for every program, all on the same display: Wine's desktop
# belongs to the server and keeps the display it was started with.
export DISPLAY="${TESSEL_TEST_DISPLAY:-}"
"$wine" wineboot -i >/dev/null 2>&1 || true
# After the prefix is made, a server that stays up between the programs.
"$wineserver" -w
"$wineserver" -p 60
status=0
for program in engine_tests presets_tests toolkit_tests platform_tests plugin_tests; do
  echo "== $program"
  filter=()
  # The stored hashes pin glibc's sin, cos, tan, exp and pow to the last bit; the Windows C
  # runtime's round some results the other way. plugin_tests compares whole renders with
  # the Linux build's instead.
  [ "$program" = engine_tests ] && filter=(--gtest_filter=-GoldenOutput.RendersMatchTheirStoredHashes)
  TESSEL_LINUX_RENDER="Z:$work/linux-render" \
    TESSEL_WINE_SHOT="Z:$work/wine-shot.ppm" \
    "$wine" "$PWD/build-windows/wine-tests/$program.exe" --gtest_brief=1 "${filter[@]}" || status=1
done

# The editor's picture under Wine against tessel-shot's (none without an X server).
if [ -s "$work/wine-shot.ppm" ]; then
  build/tests/windows/tessel-shot-compare "$work/linux-shot.png" "$work/wine-shot.ppm" \
    ${TESSEL_WINE_SHOT_PNG:+"$TESSEL_WINE_SHOT_PNG"} || status=1
else
  echo "== no editor picture under Wine (no X server): not compared"
fi
exit $status
