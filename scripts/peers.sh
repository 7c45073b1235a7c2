#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times Tessel beside two other plug-ins through one host and prints the ratios.
# Installs the two peers (Debian packages, only here: neither the build nor the tests need
# them), builds peer_bench and the plug-in in the plain build, runs every case three times
# in random order and prints the medians and Tessel's cost over each peer's. Arguments go
# to the benchmark (for example --benchmark_repetitions=5).
set -euo pipefail
cd "$(dirname "$0")/.."

peers=(lsp-plugins-vst dragonfly-reverb-vst)
missing=()
for p in "${peers[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

scripts/install-deps.sh
# The plain build configured as scripts/build.sh does, building only the benchmark and
# the plug-in it loads.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSEL_SANITIZE= \
  -DTESSEL_TESTS=ON -DTESSEL_BENCH=ON >/dev/null
cmake --build build -j "$(nproc)" --target peer_bench Tessel

# The plug-in reads its settings from a fresh folder: the factory bank, no user's map.
config="$(mktemp -d)"
json="$(mktemp)"
trap 'rm -rf "$config" "$json"' EXIT
TESSEL_CONFIG_HOME="$config" build/bench/peer_bench --benchmark_repetitions=3 \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json "$@"

# The medians' ns/frame, then each of Tessel's configurations over its peer.
awk '
  /"name":/ { name = $2; gsub(/[",]/, "", name) }
  /"ns\/frame":/ && name ~ /_median$/ { v = $2; gsub(/,/, "", v); sub(/_median$/, "", name); ns[name] = v }
  function ratio(ours, peer, what) {
    if ((ours in ns) && (peer in ns) && ns[peer] > 0)
      printf "  %-28s %6.2f ns / %6.2f ns = %5.2fx\n", what, ns[ours], ns[peer], ns[ours] / ns[peer]
    else
      printf "  %-28s n/a (a case was skipped)\n", what
  }
  END {
    print "Tessel over its peers (medians of ns per stereo frame, 256-frame blocks):"
    ratio("Tessel/config:0", "Peer/Delay", "plain delay / delay")
    ratio("Tessel/config:1", "Peer/Delay", "default program / delay")
    ratio("Tessel/config:2", "Peer/Delay", "LFO-clocked / delay")
    ratio("Tessel/config:3", "Peer/Plate", "every section, spring / plate")
    ratio("Tessel/config:4", "Peer/Plate", "every section, plate / plate")
  }' "$json"
