#!/usr/bin/env bash
# The bridge's main job, on this machine, under Wine: the stand-in scanner
# control and the stand-in host and photo server receive what the bridge
# hands over.
#
#   scripts/demo.sh              with a display: the operator drives the window;
#                                without one: a scripted demo under Xvfb
#   scripts/demo.sh --scripted   the scripted demo even with a display
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripted=0
[ -z "${DISPLAY:-}" ] && scripted=1
[ "${1:-}" = "--scripted" ] && scripted=1

scripts/install-deps.sh
cmake --preset x86 >/dev/null
cmake --build --preset x86 --target Denoptix DenoptixScanSim DenoptixReceivers wintool -- -s

build=$root/build/x86
bin=$build/bin
export DENOPTIX_WINEPREFIX=$build/wine-demo-prefix
"$build/wine-env.sh" setup
eval "$("$build/wine-env.sh" env)"

demo=$build/demo
rm -rf "$demo"
mkdir -p "$demo"
folder="$demo/Patient 0042"
winfolder="Z:${folder//\//\\}"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  "$build/wine-env.sh" stop
}
trap cleanup EXIT

step() { printf '\n== %s\n' "$*"; }
wintool() { wine "$bin/wintool.exe" "$@"; }

wait_for_line() {  # file pattern seconds
  for _ in $(seq $(( $3 * 10 ))); do
    grep -q -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

step "Starting the stand-in host application and photo server"
wine "$bin/DenoptixReceivers.exe" --windows host --log "Z:${demo//\//\\}\\host.log" >/dev/null &
pids+=($!)
wine "$bin/DenoptixReceivers.exe" --windows photo --log "Z:${demo//\//\\}\\photo.log" >/dev/null &
pids+=($!)
wait_for_line "$demo/host.log" '^ready' 30 && wait_for_line "$demo/photo.log" '^ready' 30 \
  || { echo "the stand-in receivers did not start"; exit 1; }
echo "host window TTesmiraWnd and photo server window VELT_FOTO_SERVER are up"

step "Starting Denoptix.exe \"$winfolder\""
wine "$bin/Denoptix.exe" "$winfolder" &
bridge=$!
pids+=($bridge)
wintool wait-window TForm1 --timeout-ms 30000 >/dev/null || { echo "the bridge window did not appear"; exit 1; }
echo "the bridge window is up"

if [ "$scripted" -eq 0 ]; then
  step "Over to you"
  echo "Press Accendi, wait until the scanner is ready, then press the stand-in control's Scan button."
  echo "What the receivers get is printed below. Close the bridge window to end."
  tail -n +2 -f "$demo/host.log" "$demo/photo.log" &
  pids+=($!)
  wait "$bridge" || true
  exit 0
fi

step "Pressing Accendi"
wintool click TForm1 Accendi >/dev/null
for _ in $(seq 100); do
  [ "$(wintool is-enabled TForm1 Accendi 2>/dev/null | tr -d '\r')" = "0" ] && break
  sleep 0.1
done
[ "$(wintool is-enabled TForm1 Accendi | tr -d '\r')" = "0" ] || { echo "the scanner never came ready"; exit 1; }
echo "the scanner is ready (state 6); Accendi is now disabled"

step "Scanning one set of three images"
wintool copydata TForm1 53584E44 "images 3" --child DenoptixScanSimWindow >/dev/null
wintool copydata TForm1 53584E44 "scan" --child DenoptixScanSimWindow >/dev/null
wait_for_line "$demo/photo.log" 'WM_ACQ_DENOPTIX' 30 || { echo "the photo server was not notified"; exit 1; }

shot=$demo/denoptix-window.png
if command -v import >/dev/null; then
  read -r left top right bottom < <(wintool rect TForm1 | tr -d '\r')
  import -display "$DISPLAY" -window root -crop "$((right-left))x$((bottom-top))+$left+$top" "$shot" 2>/dev/null || true
fi

step "Closing the bridge"
wintool close TForm1 >/dev/null
code=0
wait "$bridge" || code=$?
wait_for_line "$demo/photo.log" 'WM_DELETE_RESOURCE' 10 || true

step "What the receivers got"
for log in host photo; do
  echo "-- $log:"
  grep -v '^ready' "$demo/$log.log" | sed 's/^/   /'
done

ok=1
host_line=$(grep 'WM_ACQ_DENOPTIX' "$demo/host.log" | head -n1 || true)
photo_line=$(grep 'WM_ACQ_DENOPTIX' "$demo/photo.log" | head -n1 || true)
names=$(printf '%s' "$host_line" | sed -n 's/.*clipboard=//p')
count=$(printf '%s' "$names" | grep -o '\\r\\n' | wc -l)
[ "$count" -eq 3 ] || { echo "expected 3 names on the clipboard, found $count"; ok=0; }
[ "$host_line" != "" ] && [ "${photo_line#*clipboard=}" = "$names" ] || { echo "host and photo server saw different clipboards"; ok=0; }
grep -q $'WM_DELETE_RESOURCE\twParam=3' "$demo/photo.log" || { echo "the photo server was not told about the close"; ok=0; }
files=$(find "$folder" -type f | wc -l)
[ "$files" -eq 3 ] || { echo "expected 3 image files in $folder, found $files"; ok=0; }
[ "$code" -eq 0 ] || { echo "the bridge exited with $code"; ok=0; }

step "Result"
echo "images in: $folder ($files files)"
[ -f "$shot" ] && echo "screenshot: $shot"
if [ "$ok" -eq 1 ]; then echo "hand-over complete and correct"; exit 0; fi
echo "hand-over FAILED"; exit 1
