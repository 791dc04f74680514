#!/usr/bin/env bash
# The release packages, tried as their users would (CTest's "package" test):
#
#   packaging/test-package.sh BUILD_DIR
#
# packages BUILD_DIR's programs (a 32-bit tree) and those of the 64-bit tree
# it names twice with scripts/package.sh, unsigned and signed by a
# certificate made here, and checks the archives' contents, the checksums and
# the signatures; then, in a 64-bit Wine prefix of its own: with the kit's
# 64-bit stand-in control registered alone, the installer must choose the
# 64-bit bridge and the x86 MSI must log the mismatch; with the 32-bit one
# registered, as on a workstation, the installer installs the 32-bit bridge
# silently, the guide's receiver is built from INTEGRATION.md, the installed
# bridge scans once, the MSI refuses to install over it, and it uninstalls
# silently. Last the x86 MSI: it installs silently, refuses setup.exe over
# it, scans once, is upgraded in place by a newer MSI, refuses the older one
# over that (1603), and is removed by its product code.
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
zip=$dist/Denoptix-$version-portable.zip
kit=$dist/DenoptixIntegratorKit-$version.zip
setup=$dist/Denoptix-$version-setup.exe
msi=$dist/Denoptix-$version-x86.msi

echo "== contents and checksums"
packages="Denoptix-$version-debug.zip Denoptix-$version-portable.zip Denoptix-$version-setup.exe"
packages+=" Denoptix-$version-x64.msi Denoptix-$version-x86.msi DenoptixIntegratorKit-$version.zip"
check "dist holds the six packages and SHA256SUMS" same "$(ls "$dist" | tr '\n' ' ')" "$packages SHA256SUMS "
check "the portable zip holds exactly both bridges, both checks and README.txt" same "$(listing "$zip")" \
  "Denoptix.exe DenoptixCheck.exe README.txt x64/Denoptix.exe x64/DenoptixCheck.exe "
check "the kit holds exactly the checks, the stand-ins, wintool and the guide" same "$(listing "$kit")" \
  "DenoptixCheck.exe DenoptixReceivers.exe DenoptixScanSim.dll INTEGRATION.md wintool.exe x64/DenoptixCheck.exe x64/DenoptixScanSim.dll "
check "the debug zip holds every program's .debug" same "$(listing "$dist/Denoptix-$version-debug.zip")" \
  "Denoptix.exe.debug DenoptixCheck.exe.debug DenoptixReceivers.exe.debug DenoptixScanSim.dll.debug wintool.exe.debug x64/Denoptix.exe.debug x64/DenoptixCheck.exe.debug x64/DenoptixScanSim.dll.debug "
check "SHA256SUMS covers the six packages and all match" \
  bash -c "cd '$dist' && [ \$(wc -l <SHA256SUMS) -eq 6 ] && sha256sum --strict -c SHA256SUMS"
for bits in 32 64; do
  arch=x86; [ "$bits" = 64 ] && arch=x64
  check "the $arch MSI carries the $bits-bit bridge as Denoptix.exe, its check, and README.txt" \
    bash -c "msiextract -C '$work/msi-$arch' '$dist/Denoptix-$version-$arch.msi' >/dev/null &&
      file -b \"\$(find '$work/msi-$arch' -name Denoptix.exe)\" | grep -q '^PE32$([ "$bits" = 64 ] && echo +) executable' &&
      file -b \"\$(find '$work/msi-$arch' -name DenoptixCheck.exe)\" | grep -q '^PE32$([ "$bits" = 64 ] && echo +) executable' &&
      [ -n \"\$(find '$work/msi-$arch' -name README.txt)\" ]"
done
mkdir -p "$work/portable" "$work/kit"
unzip -q "$zip" -d "$work/portable"
unzip -q "$kit" -d "$work/kit"
check "README.txt and the guide name the version" \
  grep -q "Denoptix $version" "$work/portable/README.txt" "$work/kit/INTEGRATION.md"
for program in Denoptix.exe x64/Denoptix.exe DenoptixCheck.exe x64/DenoptixCheck.exe; do
  kind="PE32 executable (GUI) Intel 80386"; [ "${program%%/*}" = x64 ] && kind="PE32+ executable (GUI) x86-64"
  [ "${program##*/}" = DenoptixCheck.exe ] && kind=${kind/GUI/console}
  check "the portable $program is a $kind program" bash -c "file -b '$work/portable/$program' | grep -q '^$kind'"
done
# The PE header's DllCharacteristics (at the same place in PE32 and PE32+):
# the 32-bit programs that host the control lack IMAGE_DLLCHARACTERISTICS_NX_COMPAT
# (0x100), which would turn off Windows' thunk emulation; the 64-bit ones keep it.
nx_mark() {  # program: "marked", "unmarked", or nothing when the header cannot be read
  local header characteristics
  header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$header" ] || return 0
  characteristics=$(od -An -tu2 -j$((header + 24 + 70)) -N2 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$characteristics" ] || return 0
  if [ $((characteristics & 0x100)) -ne 0 ]; then echo marked; else echo unmarked; fi
}
for program in Denoptix.exe DenoptixCheck.exe; do
  check "the 32-bit $program carries no NX-compatible mark" same "$(nx_mark "$work/portable/$program")" unmarked
  check "the 64-bit $program carries the NX-compatible mark" same "$(nx_mark "$work/portable/x64/$program")" marked
done

echo "== signatures"
check "the unsigned run says so" grep -q UNSIGNED "$work/unsigned.log"
check "the unsigned program carries no signature" \
  bash -c "! osslsigncode verify -CAfile '$work/ca.pem' -in '$work/unsigned/Denoptix-$version-setup.exe'"
check "the signed run names its certificate" grep -q "signed with subject=CN = Denoptix Test Signer" "$work/signed.log"
for signed in "$work/portable/Denoptix.exe" "$work/portable/x64/Denoptix.exe" "$work/portable/DenoptixCheck.exe" \
  "$work/portable/x64/DenoptixCheck.exe" "$work/kit/DenoptixScanSim.dll" \
  "$work/kit/x64/DenoptixScanSim.dll" "$work/kit/DenoptixReceivers.exe" "$work/kit/wintool.exe" "$setup" \
  "$msi" "$dist/Denoptix-$version-x64.msi"; do
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
# Each registry read names its view: with wine32 installed, `wine reg` is
# the 32-bit reg.exe, which reads the 32-bit view unless told otherwise.
reg64() { wine reg "$@" /reg:64; }
regsvr32() {  # 32|64 [/u] dll: the regsvr32 of that bitness writes that view
  local bits=$1; shift
  local tool='C:\windows\system32\regsvr32.exe'; [ "$bits" = 32 ] && tool='C:\windows\syswow64\regsvr32.exe'
  wine "$tool" /s "$@"
}
# Windows exit codes reach the shell cut to their low 8 bits: 1603 as 67.
windows_status() { echo $(($1 % 256)); }
# "view version" for each Apps & features entry named Denoptix, in both views.
arp_entries() {
  local view
  for view in 32 64; do
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$view 2>/dev/null | tr -d '\r' |
      awk -v view=$view '/^HKEY/ { if (name == "Denoptix") print view, version; name = version = "" }
        $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" { version = $3 }
        END { if (name == "Denoptix") print view, version }'
  done | tr '\n' ' '
}
# The product code of the MSI's installation: the name of its entry's key.
msi_product_code() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:32 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ { key = $0 } $1 == "DisplayName" && $3 == "Denoptix" { print key; exit }' | grep -o '{[0-9A-F-]*}' || true
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Denoptix'
settings_key='HKCU\Software\Velt\Denoptix'
installed=$WINEPREFIX/drive_c/Program\ Files\ \(x86\)/Velt/Denoptix
installed64=$WINEPREFIX/drive_c/Program\ Files/Velt/Denoptix
patient=$WINEPREFIX/drive_c/Pazienti/0042
stand_in=$(winpath "$work/kit/DenoptixScanSim.dll")
stand_in64=$(winpath "$work/kit/x64/DenoptixScanSim.dll")

# The prefix is kept between runs: start from a workstation without Denoptix
# and without a scanner control.
reg64 delete "$settings_key" /f >/dev/null 2>&1 || true
regsvr32 32 /u "$stand_in" >/dev/null 2>&1 || true
regsvr32 64 /u "$stand_in64" >/dev/null 2>&1 || true
while code=$(msi_product_code) && [ -n "$code" ]; do wine msiexec /x "$code" /qn || break; done
rm -rf "$installed" "$installed64" "$patient"

echo "== a control registered for 64-bit programs only: the 64-bit bridge"
check "the kit's 64-bit stand-in control registers (64-bit view)" regsvr32 64 "$stand_in64"
check "the installer runs silently (/S) and exits 0" wine "$setup" /S
check "it installed the 64-bit bridge and its check under Program Files" \
  bash -c "file -b '$installed64/Denoptix.exe' | grep -q '^PE32+ executable' &&
    file -b '$installed64/DenoptixCheck.exe' | grep -q '^PE32+ executable'"
check "its log says which build and why" grep -q "installed the 64-bit Denoptix.exe: the scanner control is registered for 64-bit programs only" "$installed64/setup.log"
check "the uninstaller runs silently (/S)" wine "$installed64/uninstall.exe" /S
for _ in $(seq 300); do [ -e "$installed64" ] || break; sleep 0.1; done
check "it removed the 64-bit bridge's folder" test ! -e "$installed64"
check "the x86 MSI still installs silently (exit 0)" wine msiexec /i "$(winpath "$msi")" /qn /l*v "$(winpath "$work/msi-mismatch.log")"
check "and its log says the control is installed for 64-bit programs, in the bridge's words" \
  grep -qF "The scanner control is installed for 64-bit programs, but this Denoptix.exe is the 32-bit build" "$work/msi-mismatch.log"
check "it is removed silently" wine msiexec /x "$(winpath "$msi")" /qn
regsvr32 64 /u "$stand_in64" >/dev/null 2>&1 || true

echo "== a control registered for 32-bit programs, as on a workstation: the 32-bit bridge"
check "the kit's stand-in control registers (32-bit view)" regsvr32 32 "$stand_in"
check "the installer runs silently (/S) and exits 0" wine "$setup" /S
check "it installed the 32-bit program, its check, README.txt and the uninstaller under Program Files (x86)" \
  test -f "$installed/Denoptix.exe" -a -f "$installed/DenoptixCheck.exe" -a -f "$installed/README.txt" -a -f "$installed/uninstall.exe"
check "the installed program is 32-bit" bash -c "file -b '$installed/Denoptix.exe' | grep -q '^PE32 executable'"
check "its log says which build and why" grep -q "installed the 32-bit Denoptix.exe: the scanner control is registered for 32-bit programs" "$installed/setup.log"
entry=$(reg64 query "$uninstall_key" 2>/dev/null | tr -d '\r' || true)
for value in "DisplayName REG_SZ Denoptix" "DisplayVersion REG_SZ $version" "Publisher REG_SZ Velt" \
  'DisplayIcon REG_SZ C:\Program Files (x86)\Velt\Denoptix\Denoptix.exe,0' \
  'QuietUninstallString REG_SZ "C:\Program Files (x86)\Velt\Denoptix\uninstall.exe" /S' "EstimatedSize REG_DWORD 0x"; do
  check "Apps & features entry: $value" grep -qF "$value" <<<"$(tr -s ' ' <<<"$entry")"
done
check "the installed program's version resource carries $version" \
  grep -q "VALUE \"FileVersion\", \"$version.0\"" <(i686-w64-mingw32-windres -i "$installed/Denoptix.exe" -O rc)
check "the uninstaller is signed too" osslsigncode verify -CAfile "$work/ca.pem" -in "$installed/uninstall.exe"

awk '/^```c$/ { code = 1; next } /^```$/ { code = 0 } code' "$work/kit/INTEGRATION.md" >"$work/receiver.c"
check "the guide's receiver compiles without a warning" \
  i686-w64-mingw32-gcc -Wall -Wextra -Werror "$work/receiver.c" -o "$work/receiver.exe"

scan_once() {  # Windows path of the installed bridge
  rm -rf "$patient"
  wine "$work/receiver.exe" VELT_FOTO_SERVER >"$work/receiver.out" 2>&1 &
  receiver_pid=$!
  wintool wait-window VELT_FOTO_SERVER --timeout-ms 30000 >/dev/null || true

  wine "$1" 'C:\Pazienti\0042' &
  local bridge=$! bridge_status=0 images
  check "the installed bridge starts" wintool wait-window TForm1 --timeout-ms 30000
  # Each step may fail: the checks after them say what went wrong.
  wintool click TForm1 Accendi >/dev/null || true
  for _ in $(seq 100); do [ "$(wintool is-enabled TForm1 Accendi)" = 0 ] && break; sleep 0.1; done
  wintool copydata TForm1 53584E44 scan --child DenoptixScanSimWindow >/dev/null || true
  wintool close TForm1 >/dev/null || true
  wintool wait-gone TForm1 --timeout-ms 30000 >/dev/null || kill "$bridge" 2>/dev/null || true
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
  check "the bridge stored its settings" reg64 query "$settings_key" /v X
}
scan_once "C:\\Program Files (x86)\\Velt\\Denoptix\\Denoptix.exe"

# The installed check, as an IT script runs it: no window, the exit code and
# its report beside the trail.
status=0
wine "$installed/DenoptixCheck.exe" /quiet >"$work/check.out" 2>/dev/null || status=$?
check "the installed check finds nothing that would stop a scan (exit 0), silently" \
  bash -c "[ $status -eq 0 ] && [ ! -s '$work/check.out' ]"
report=$(ls -t "$WINEPREFIX"/drive_c/users/*/AppData/Local/Velt/Denoptix/Check-*.txt 2>/dev/null | head -n 1)
check "its report names the installed bridge and its Apps & features entry" \
  bash -c "grep -qF 'C:\\Program Files (x86)\\Velt\\Denoptix\\Denoptix.exe (beside this check): version $version.0, 32-bit' '$report' &&
    grep -qF 'Apps & features: Denoptix $version, installed by setup.exe' '$report'"

status=0
wine msiexec /i "$(winpath "$msi")" /qn || status=$?
check "the MSI refuses to install over setup.exe's installation (1603)" test "$status" -eq "$(windows_status 1603)"
check "and leaves no entry of its own" same "$(arp_entries)" "64 $version "

# The uninstaller copies itself away and returns at once: wait for its work.
check "the uninstaller runs silently (/S)" wine "$installed/uninstall.exe" /S
for _ in $(seq 300); do [ -e "$installed" ] || break; sleep 0.1; done
check "it removed the program's folder" test ! -e "$installed"
check "and its Apps & features entry" bash -c "! wine reg query '$uninstall_key' /reg:64"
check "the user's settings stay" reg64 query "$settings_key" /v X

echo "== the Windows Installer package (x86): install, upgrade, refuse a downgrade, remove"
IFS=. read -r major minor patch <<<"$version"
newer_version=$major.$minor.$((patch + 1))
newer=$work/Denoptix-$newer_version-x86.msi
"$root/packaging/msi.sh" "$newer_version" 32 "$work/portable" "$work/portable/README.txt" "$newer" >/dev/null 2>&1
check "the x86 MSI installs silently (exit 0)" wine msiexec /i "$(winpath "$msi")" /qn /l*v "$(winpath "$work/msi-install.log")"
check "it installed the 32-bit program, its check and README.txt under Program Files (x86)" \
  bash -c "file -b '$installed/Denoptix.exe' | grep -q '^PE32 executable' && test -f '$installed/DenoptixCheck.exe' &&
    test -f '$installed/README.txt'"
check "one Apps & features entry, Denoptix $version" same "$(arp_entries)" "32 $version "
entry=$(wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(msi_product_code)" /reg:32 | tr -d '\r' | tr -s ' ')
check "its publisher is Velt" grep -qF "Publisher REG_SZ Velt" <<<"$entry"
# Wine's msi writes neither the size (ARPSIZE) nor the icon (ARPPRODUCTICON)
# into the entry, as Windows does: those are not checked here.
status=0
wine "$setup" /S || status=$?
check "setup.exe refuses to install over the MSI's installation" test "$status" -ne 0
check "and adds no entry of its own" same "$(arp_entries)" "32 $version "
scan_once "C:\\Program Files (x86)\\Velt\\Denoptix\\Denoptix.exe"
check "a newer MSI upgrades it silently (exit 0)" wine msiexec /i "$(winpath "$newer")" /qn
check "in place: one Apps & features entry, Denoptix $newer_version" same "$(arp_entries)" "32 $newer_version "
check "the program is still there" test -f "$installed/Denoptix.exe"
status=0
wine msiexec /i "$(winpath "$msi")" /qn || status=$?
check "the older MSI over the newer is refused (1603)" test "$status" -eq "$(windows_status 1603)"
check "and the newer stays" same "$(arp_entries)" "32 $newer_version "
check "removal by product code runs silently (exit 0)" wine msiexec /x "$(msi_product_code)" /qn
check "it removed the program's folder" test ! -e "$installed"
check "and its Apps & features entry" same "$(arp_entries)" ""
check "the user's settings stay" reg64 query "$settings_key" /v X

echo
if [ "$failures" -ne 0 ]; then
  echo "package test: $failures checks failed (work files in $work)"
  echo "-- receiver output:"; cat "$work/receiver.out" 2>/dev/null || true
  exit 1
fi
echo "package test: all checks passed"
