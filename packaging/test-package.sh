#!/usr/bin/env bash
# The release packages, tried as their users would (CTest's "package" test):
#
#   packaging/test-package.sh BUILD_DIR
#
# packages BUILD_DIR's programs twice with scripts/package.sh, unsigned and
# signed by a certificate made here, and checks the archives' contents, the
# checksums and the signatures; then, in a Wine prefix of its own, installs
# silently, registers the kit's stand-in control, builds the guide's receiver
# from INTEGRATION.md, scans once with the installed bridge, and uninstalls
# silently.
set -euo pipefail
export LC_ALL=C  # file listings sort the same everywhere
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
version=$(cat "$build/version.txt")
work=$build/package-test
rm -rf "$work"
mkdir -p "$work"

failures=0
check() {  # description command...
  local description=$1; shift
  if "$@" >/dev/null 2>&1; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
same() { [ "$1" = "$2" ] || { printf 'expected: %s\n     got: %s\n' "$2" "$1" >&2; return 1; }; }
listing() { unzip -Z1 "$1" | sort | tr '\n' ' '; }

echo "== a test certificate authority and a code-signing certificate"
(
  cd "$work"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Denoptix Test CA" \
    -addext basicConstraints=critical,CA:true -addext keyUsage=critical,keyCertSign
  openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Denoptix Test Signer"
  printf 'extendedKeyUsage=codeSigning\nkeyUsage=critical,digitalSignature\n' >signer.ext
  openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext -out signer.pem
  openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout pass:test-pass -out signer.pfx
) >"$work/openssl.log" 2>&1

echo "== packaging, unsigned and signed"
"$root/scripts/package.sh" --build-dir "$build" --out "$work/unsigned" | tee "$work/unsigned.log"
DENOPTIX_SIGN_PFX=$work/signer.pfx DENOPTIX_SIGN_PASSWORD=test-pass \
  "$root/scripts/package.sh" --build-dir "$build" --out "$work/signed" | tee "$work/signed.log"
dist=$work/signed
zip=$dist/Denoptix-$version-win64.zip
kit=$dist/DenoptixIntegratorKit-$version-win64.zip
setup=$dist/Denoptix-$version-setup.exe

echo "== contents and checksums"
check "dist holds the four packages and SHA256SUMS" same "$(ls "$dist" | tr '\n' ' ')" \
  "Denoptix-$version-debug.zip Denoptix-$version-setup.exe Denoptix-$version-win64.zip DenoptixIntegratorKit-$version-win64.zip SHA256SUMS "
check "the portable zip holds exactly the program and README.txt" same "$(listing "$zip")" "Denoptix.exe README.txt "
check "the kit holds exactly the stand-ins, wintool and the guide" same "$(listing "$kit")" \
  "DenoptixReceivers.exe DenoptixScanSim.dll INTEGRATION.md wintool.exe "
check "the debug zip holds every program's .debug" same "$(listing "$dist/Denoptix-$version-debug.zip")" \
  "Denoptix.exe.debug DenoptixReceivers.exe.debug DenoptixScanSim.dll.debug wintool.exe.debug "
check "SHA256SUMS covers the four packages and all match" \
  bash -c "cd '$dist' && [ \$(wc -l <SHA256SUMS) -eq 4 ] && sha256sum --strict -c SHA256SUMS"
mkdir -p "$work/portable" "$work/kit"
unzip -q "$zip" -d "$work/portable"
unzip -q "$kit" -d "$work/kit"
check "README.txt and the guide name the version" \
  grep -q "Denoptix $version" "$work/portable/README.txt" "$work/kit/INTEGRATION.md"

echo "== signatures"
check "the unsigned run says so" grep -q UNSIGNED "$work/unsigned.log"
check "the unsigned program carries no signature" \
  bash -c "! osslsigncode verify -CAfile '$work/ca.pem' -in '$work/unsigned/Denoptix-$version-setup.exe'"
check "the signed run names its certificate" grep -q "signed with subject=CN = Denoptix Test Signer" "$work/signed.log"
for signed in "$work/portable/Denoptix.exe" "$work/kit/DenoptixScanSim.dll" "$work/kit/DenoptixReceivers.exe" \
  "$work/kit/wintool.exe" "$setup"; do
  check "$(basename "$signed") verifies against the test CA" osslsigncode verify -CAfile "$work/ca.pem" -in "$signed"
done

echo "== install, scan, uninstall under Wine"
export DENOPTIX_WINEPREFIX=$build/wine-package-prefix
eval "$("$build/wine-env.sh" env)"  # boots the prefix, starts our X server when there is no display
receiver_pid=
cleanup() {
  [ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null
  "$build/wine-env.sh" stop
}
trap cleanup EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }
wintool() { wine "$work/kit/wintool.exe" "$@" | tr -d '\r'; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Denoptix'
settings_key='HKCU\Software\Velt\Denoptix'
installed=$WINEPREFIX/drive_c/Program\ Files/Velt/Denoptix
patient=$WINEPREFIX/drive_c/Pazienti/0042

# The prefix is kept between runs: start from a workstation without Denoptix.
wine reg delete "$settings_key" /f >/dev/null 2>&1 || true
rm -rf "$installed" "$patient"

check "the installer runs silently (/S) and exits 0" wine "$setup" /S
check "it installed the program, README.txt and the uninstaller" \
  test -f "$installed/Denoptix.exe" -a -f "$installed/README.txt" -a -f "$installed/uninstall.exe"
entry=$(wine reg query "$uninstall_key" 2>/dev/null | tr -d '\r' || true)
for value in "DisplayName REG_SZ Denoptix" "DisplayVersion REG_SZ $version" "Publisher REG_SZ Velt" \
  'DisplayIcon REG_SZ C:\Program Files\Velt\Denoptix\Denoptix.exe,0' \
  'QuietUninstallString REG_SZ "C:\Program Files\Velt\Denoptix\uninstall.exe" /S' "EstimatedSize REG_DWORD 0x"; do
  check "Apps & features entry: $value" grep -qF "$value" <<<"$(tr -s ' ' <<<"$entry")"
done
check "the installed program's version resource carries $version" \
  grep -q "VALUE \"FileVersion\", \"$version.0\"" <(x86_64-w64-mingw32-windres -i "$installed/Denoptix.exe" -O rc)
check "the uninstaller is signed too" osslsigncode verify -CAfile "$work/ca.pem" -in "$installed/uninstall.exe"

check "the kit's stand-in control registers" wine regsvr32 /s "$(winpath "$work/kit/DenoptixScanSim.dll")"
awk '/^```c$/ { code = 1; next } /^```$/ { code = 0 } code' "$work/kit/INTEGRATION.md" >"$work/receiver.c"
check "the guide's receiver compiles without a warning" \
  x86_64-w64-mingw32-gcc -Wall -Wextra -Werror "$work/receiver.c" -o "$work/receiver.exe"
wine "$work/receiver.exe" VELT_FOTO_SERVER >"$work/receiver.out" 2>&1 &
receiver_pid=$!
wintool wait-window VELT_FOTO_SERVER --timeout-ms 30000 >/dev/null || true

wine "C:\\Program Files\\Velt\\Denoptix\\Denoptix.exe" 'C:\Pazienti\0042' &
bridge=$!
check "the installed bridge starts" wintool wait-window TForm1 --timeout-ms 30000
# Each step may fail: the checks after them say what went wrong.
wintool click TForm1 Accendi >/dev/null || true
for _ in $(seq 100); do [ "$(wintool is-enabled TForm1 Accendi)" = 0 ] && break; sleep 0.1; done
wintool copydata TForm1 53584E44 scan --child DenoptixScanSimWindow >/dev/null || true
wintool close TForm1 >/dev/null || true
wintool wait-gone TForm1 --timeout-ms 30000 >/dev/null || kill "$bridge" 2>/dev/null || true
bridge_status=0
wait "$bridge" || bridge_status=$?
check "the bridge closes with exit code 0" test "$bridge_status" -eq 0
wintool close VELT_FOTO_SERVER >/dev/null || true
wait "$receiver_pid" || true
receiver_pid=
tr -d '\r' <"$work/receiver.out" >"$work/receiver.txt"
images=$(grep -c '^image: C:\\Pazienti\\0042\\IMG_.*\.bmp$' "$work/receiver.txt" || true)
check "the guide's receiver got the three scanned images' names" test "$images" -eq 3
check "and the close notice" grep -qx 'bridge closing' "$work/receiver.txt"
check "the three images are in the patient's folder" test "$(ls "$patient" | wc -l)" -eq 3
check "the bridge stored its settings" wine reg query "$settings_key" /v X

# The uninstaller copies itself away and returns at once: wait for its work.
check "the uninstaller runs silently (/S)" wine "$installed/uninstall.exe" /S
for _ in $(seq 300); do [ -e "$installed" ] || break; sleep 0.1; done
check "it removed the program's folder" test ! -e "$installed"
check "and its Apps & features entry" bash -c "! wine reg query '$uninstall_key'"
check "the user's settings stay" wine reg query "$settings_key" /v X

echo
if [ "$failures" -ne 0 ]; then
  echo "package test: $failures checks failed (work files in $work)"
  echo "-- receiver output:"; cat "$work/receiver.out" 2>/dev/null || true
  exit 1
fi
echo "package test: all checks passed"
