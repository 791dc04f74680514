#!/usr/bin/env bash
# Pictures of the bridge's window as the operator sees it, at 96 and at
# 144 dpi, for the README: docs/denoptix-96dpi.png and docs/denoptix-144dpi.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh
cmake --preset x86 >/dev/null
cmake --build --preset x86 --target Denoptix DenoptixScanSim wintool -- -s

build=$root/build/x86
bin=$build/bin
export DENOPTIX_WINEPREFIX=$build/wine-shots-prefix
unset DISPLAY  # our own Xvfb, so every run looks the same
"$build/wine-env.sh" setup
eval "$("$build/wine-env.sh" env)"
trap '"$build/wine-env.sh" stop' EXIT
mkdir -p docs

wintool() { wine "$bin/wintool.exe" "$@" | tr -d '\r'; }

shoot() {  # dpi
  wintool set-dpi "$1" >/dev/null
  wine "$bin/Denoptix.exe" 'C:\Pazienti\0042' &
  local bridge=$!
  wintool wait-window TForm1 --timeout-ms 30000 >/dev/null
  sleep 1  # let the first paint finish
  read -r left top right bottom < <(wintool rect TForm1)
  import -display "$DISPLAY" -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
    "docs/denoptix-$1dpi.png"
  wintool close TForm1 >/dev/null
  wait "$bridge" || true
  echo "docs/denoptix-$1dpi.png: $((right - left)) x $((bottom - top)) pixels"
}

shoot 96
shoot 144
wintool set-dpi 96 >/dev/null
