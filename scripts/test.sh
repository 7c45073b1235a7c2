#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test suite: the plain build, then the
# AddressSanitizer+UndefinedBehaviorSanitizer build, then the ThreadSanitizer build, then the
# Windows edition under Wine (scripts/windows-tests.sh). Exits non-zero when any test fails.
# `scripts/test.sh quick` runs the plain build only.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

flavours=("")
[ "${1:-}" = quick ] || flavours+=(address thread)

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
# Tests never touch the user's configuration.
export TESSEL_CONFIG_HOME="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  rm -rf "$TESSEL_CONFIG_HOME"
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# One X server for the whole run, on a display number it finds free itself. Only the
# window tests use it, through TESSEL_TEST_DISPLAY; every test runs with DISPLAY cleared,
# so nothing opens on the user's desktop. Without a server the window tests skip.
start_xvfb() {
  if ! command -v Xvfb >/dev/null; then
    echo "== no Xvfb: the window tests will skip" >&2
    return
  fi
  local number_file
  number_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 200); do
    [ -s "$number_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -s "$number_file" ]; then
    export TESSEL_TEST_DISPLAY=":$(tr -d '[:space:]' <"$number_file")"
    echo "== Xvfb on display $TESSEL_TEST_DISPLAY for the window tests"
  else
    echo "== Xvfb did not start: the window tests will skip" >&2
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
  rm -f "$number_file"
}
start_xvfb

status=0
for flavour in "${flavours[@]}"; do
  scripts/build.sh $flavour
  case "$flavour" in "") dir=build ;; address) dir=build-asan ;; thread) dir=build-tsan ;; esac
  echo "== tests: ${flavour:-plain} build ($dir)"
  skip=()
  # Long single-threaded renders gain nothing from the race detector; the plain and
  # AddressSanitizer runs cover them.
  [ "$flavour" = thread ] &&
    skip=(-E '^(Soak\.|FactoryBank\.EveryProgram|SessionStart\.Every|Lifecycle\.ResumeAfterLoud|ReadmeProgramList\.)')
  ctest --test-dir "$dir" -j "$(nproc)" --output-on-failure --timeout 600 "${skip[@]}" || status=1
done
[ "${1:-}" = quick ] || scripts/windows-tests.sh || status=1
exit $status
