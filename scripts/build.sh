#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds one flavour of Tessel, all of it or only the named targets.
#   scripts/build.sh            plain build in build/
#   scripts/build.sh plain Tessel tessel-render    only these targets of the plain build
#   scripts/build.sh address    AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
#   scripts/build.sh thread     ThreadSanitizer in build-tsan/
#   scripts/build.sh windows    Tessel.dll and its Wine tests, cross-built with mingw-w64, in
#                               build-windows/
set -euo pipefail
cd "$(dirname "$0")/.."

flavour="${1:-}"
targets=("${@:2}")
case "$flavour" in
  "" | plain) flavour="" dir=build ;;
  address) dir=build-asan ;;
  thread) dir=build-tsan ;;
  windows) dir=build-windows ;;
  *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
esac
extra=(-DTESSEL_TESTS=ON -DTESSEL_BENCH=ON)
# Sanitizer builds run the tests only; benchmarks come with the plain build.
[ -n "$flavour" ] && extra=(-DTESSEL_TESTS=ON -DTESSEL_BENCH=OFF)
# Named targets need neither the test nor the benchmark libraries to be configured.
[ ${#targets[@]} -gt 0 ] && extra=(-DTESSEL_TESTS=OFF -DTESSEL_BENCH=OFF)
# Every flavour keeps line tables only (-g1): enough for profiles, debuggers' backtraces and
# the sanitizers' reports, and much quicker to build than full debug information. Sanitizer
# builds compile at -O1.
optimise=-O2
case "$flavour" in address | thread) optimise=-O1 ;; esac
flags=(-DCMAKE_C_FLAGS_RELWITHDEBINFO="$optimise -g1 -DNDEBUG"
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$optimise -g1 -DNDEBUG")

# The panel art's generator is a tool of the build machine and the same for every flavour:
# the other flavours take the plain build's (brought up to date first) when there is one.
artgen=()
if [ "$dir" != build ] && [ -f build/build.ninja ]; then
  cmake --build build --target tessel-artgen -j "$(nproc)"
  artgen=(-DTESSEL_ARTGEN="$PWD/build/resources/tessel-artgen")
fi

if [ "$flavour" = windows ]; then
  if [ ${#artgen[@]} -eq 0 ]; then
    # No plain build: the generator is built natively first.
    tools="$dir/native-tools"
    cmake -S . -B "$tools" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSEL_TESTS=OFF \
      -DTESSEL_BENCH=OFF -DTESSEL_CLI=OFF >/dev/null
    cmake --build "$tools" --target tessel-artgen -j "$(nproc)"
    artgen=(-DTESSEL_ARTGEN="$PWD/$tools/resources/tessel-artgen")
  fi
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/MingwToolchain.cmake" "${artgen[@]}" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
  exit
fi

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSEL_SANITIZE="$flavour" \
  "${flags[@]}" "${extra[@]}" "${artgen[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" ${targets[@]:+--target "${targets[@]}"}
