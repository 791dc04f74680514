#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every check: the
# Windows tests under Wine (the soak included; `ctest -LE soak` skips it),
# the release packages made from this build and tried under Wine (CTest's
# `package` test) and, beside them, the platform-free rules natively under
# sanitizers and fuzzers, static analysis and a second compiler over the
# Windows code.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default

# The Wine tests spend most of their time waiting for windows to go away,
# so the CPU-bound checks run meanwhile.
mkdir -p build
scripts/hardening.sh >build/hardening.log 2>&1 &
hardening=$!

set +e
ctest --preset default "$@" 2>&1 | tee build/ctest.log
tests=${PIPESTATUS[0]}
set -e

checks=0
wait "$hardening" || checks=$?
echo
grep '^hardening: ' build/hardening.log || true
if [ "$checks" -ne 0 ]; then
  echo "hardening failed; its log: build/hardening.log (the end of it follows)"
  tail -n 60 build/hardening.log
fi

# The test runner's own summary closes the output.
echo
grep -E '^[0-9]+% tests passed' build/ctest.log || true
[ "$tests" -eq 0 ] && [ "$checks" -eq 0 ]
