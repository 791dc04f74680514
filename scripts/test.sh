#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
# The platform-free rules natively under sanitizers and fuzzers, static
# analysis, and a second compiler over the Windows code.
scripts/hardening.sh
# Every Windows test under Wine, the soak included (`ctest -LE soak` skips it).
ctest --preset default "$@"
