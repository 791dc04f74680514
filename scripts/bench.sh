#!/usr/bin/env bash
# Measures the bridge under Wine against the true floor (what any program
# meeting its contract must do) and the bare floor (one window, the same
# hand-over calls), and prints the figures as Markdown tables: the 32-bit
# build first (the product, under WoW64 as on a 64-bit workstation), then
# the 64-bit one (also written to build/<preset>/bench.md). Prints figures
# and verdicts; never fails on them.
#
#   scripts/bench.sh [--runs N] [--repeats N] [--step-runs N]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
for preset in x86 x64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" \
    --target DenoptixBench DenoptixBenchFloor DenoptixBenchTrueFloor Denoptix DenoptixScanSim -- -s
done

measure() {  # preset title driver-arguments...
  local build=$PWD/build/$1 title=$2 raw
  shift 2
  export DENOPTIX_WINEPREFIX=$build/wine-bench-prefix
  trap '"$build/wine-env.sh" stop' EXIT
  "$build/wine-env.sh" setup
  # Written to a file first: the prefix's services outlive the driver and
  # would hold a pipe open.
  raw=$build/bench.raw
  "$build/wine-env.sh" run "$build/bin/DenoptixBench.exe" "$@" >"$raw"
  {
    echo "## $title"
    echo
    echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores," \
         "$(sed -n 's/^model name[[:space:]]*: *//p' /proc/cpuinfo | head -n1), $(wine --version 2>/dev/null)," \
         "load average at the end $(cut -d' ' -f1-3 /proc/loadavg)."
    echo
    tr -d '\r' <"$raw"
  } >"$build/bench.md"
  rm -f "$raw"
  "$build/wine-env.sh" stop
  trap - EXIT
  cat "$build/bench.md"
  echo
}

measure x86 "32-bit build (Denoptix.exe as shipped; WoW64)" "$@"
measure x64 "64-bit build" "$@"
