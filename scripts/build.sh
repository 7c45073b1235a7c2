#!/usr/bin/env bash
# Configures and builds one flavour of Tessel.
#   scripts/build.sh            plain build in build/
#   scripts/build.sh address    AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
#   scripts/build.sh thread     ThreadSanitizer in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

flavour="${1:-}"
case "$flavour" in
  "") dir=build ;;
  address) dir=build-asan ;;
  thread) dir=build-tsan ;;
  *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
esac
extra=()
# Sanitizer builds run the tests only; benchmarks and tools come with the plain build.
[ -n "$flavour" ] && extra=(-DTESSEL_BENCH=OFF)

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSEL_SANITIZE="$flavour" "${extra[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
