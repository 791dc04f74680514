#!/usr/bin/env bash
# Measures the bridge under Wine against a floor program that makes only the
# same system calls, and prints the figures as a Markdown table (also written
# to build/default/bench.md).
#
#   scripts/bench.sh [--runs N] [--repeats N]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target DenoptixBench DenoptixBenchFloor Denoptix DenoptixScanSim -- -s

build=$PWD/build/default
export DENOPTIX_WINEPREFIX=$build/wine-bench-prefix
trap '"$build/wine-env.sh" stop' EXIT
"$build/wine-env.sh" setup

# Written to a file first: the prefix's services outlive the driver and
# would hold a pipe open.
raw=$build/bench.raw
"$build/wine-env.sh" run "$build/bin/DenoptixBench.exe" "$@" >"$raw"

{
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n1)," \
       "$(wine --version 2>/dev/null), medians of repeated runs."
  echo
  tr -d '\r' <"$raw"
} >"$build/bench.md"
rm -f "$raw"
cat "$build/bench.md"
