#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite: the plain build, then the
# AddressSanitizer+UndefinedBehaviorSanitizer build, then the ThreadSanitizer build.
# Exits non-zero when any test fails. `scripts/test.sh quick` runs the plain build only.
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
trap 'rm -rf "$TESSEL_CONFIG_HOME"' EXIT

status=0
for flavour in "${flavours[@]}"; do
  scripts/build.sh $flavour
  case "$flavour" in "") dir=build ;; address) dir=build-asan ;; thread) dir=build-tsan ;; esac
  echo "== tests: ${flavour:-plain} build ($dir)"
  skip=()
  # Long single-threaded renders gain nothing from the race detector; the plain and
  # AddressSanitizer runs cover them.
  [ "$flavour" = thread ] && skip=(-E '^(Soak\.|FactoryBank\.EveryProgram)')
  ctest --test-dir "$dir" -j "$(nproc)" --output-on-failure --timeout 600 "${skip[@]}" || status=1
done
exit $status
