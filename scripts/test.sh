#!/usr/bin/env bash
# Installs what is missing, builds both bitnesses and runs every check: the
# Windows tests under Wine, all of them against the 32-bit build (the
# product, run under WoW64 as a 64-bit workstation runs it; the soak
# included, `-LE soak` skips it) and, against the 64-bit build, the suites
# that meet the control and the receivers; the release packages made from
# these builds and tried under Wine (CTest's `package` test, in the 32-bit
# tree); and, beside them, the platform-free rules natively under sanitizers
# and fuzzers, static analysis and a second compiler over the Windows code.
# Arguments go to both CTest runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# Both builds first: each tree's tests start the other tree's bridge, and
# the package test packs both.
for preset in x86 x64; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done

# The Wine tests spend most of their time waiting for windows to go away,
# so the CPU-bound checks run meanwhile.
mkdir -p build
scripts/hardening.sh >build/hardening.log 2>&1 &
hardening=$!

failed_runs=()
for preset in x86 x64; do
  set +e
  ctest --preset "$preset" "$@" 2>&1 | tee "build/ctest-$preset.log"
  status=${PIPESTATUS[0]}
  set -e
  [ "$status" -eq 0 ] || failed_runs+=("$preset")
done

checks=0
wait "$hardening" || checks=$?
echo
grep '^hardening: ' build/hardening.log || true
if [ "$checks" -ne 0 ]; then
  echo "hardening failed; its log: build/hardening.log (the end of it follows)"
  tail -n 60 build/hardening.log
fi

# The test runners' own summaries close the output, then both added up.
echo
passed=0
failed=0
for preset in x86 x64; do
  summary=$(grep -E '^[0-9]+% tests passed' "build/ctest-$preset.log" || echo "no summary")
  echo "$preset: $summary"
  if [[ $summary =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
done
[ ${#failed_runs[@]} -eq 0 ] && [ "$failed" -eq 0 ] || failed=$((failed > 0 ? failed : 1))
echo "tests: $passed passed, $failed failed"
[ ${#failed_runs[@]} -eq 0 ] && [ "$checks" -eq 0 ]
