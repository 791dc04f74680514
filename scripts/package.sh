#!/usr/bin/env bash
# Makes the release packages: installs what is missing, builds the release
# presets (build/release-x86, build/release-x64) and writes into build/dist:
#
#   Denoptix-<version>-portable.zip      Denoptix.exe and DenoptixCheck.exe (32-bit), the
#                                        same in x64\, README.txt
#   Denoptix-<version>-setup.exe         the installer (/S, /D=folder); installs the
#                                        build that matches the scanner control
#   Denoptix-<version>-x86.msi           Windows Installer package of the 32-bit bridge,
#   Denoptix-<version>-x64.msi           and of the 64-bit one (managed deployment)
#   DenoptixIntegratorKit-<version>.zip  stand-in control and workstation check (32-bit,
#                                        and x64\), receivers, wintool, INTEGRATION.md
#   Denoptix-<version>-debug.zip         the programs' .debug files (x64\ for the 64-bit ones)
#   SHA256SUMS
#
#   scripts/package.sh [--build-dir DIR] [--out DIR]
#
# --build-dir packages what a 32-bit tree of the same build type, and the
# 64-bit tree its DENOPTIX_OTHER_BUILD_DIR names, have built already (the
# test command packages its own builds rather than compile everything
# twice); --out writes elsewhere than build/dist.
#
# With DENOPTIX_SIGN_PFX naming a PKCS#12 certificate (password in
# DENOPTIX_SIGN_PASSWORD) every program, the installer, its uninstaller and
# the .msi packages are signed with Authenticode; without it they are not,
# and the summary says so.
set -euo pipefail

# Paths given are taken from where the script was started.
build=
out=
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build=$(realpath "$2"); shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    *) echo "usage: scripts/package.sh [--build-dir DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done
if [ -n "${DENOPTIX_SIGN_PFX:-}" ]; then
  DENOPTIX_SIGN_PFX=$(realpath "$DENOPTIX_SIGN_PFX")
  export DENOPTIX_SIGN_PFX
fi

cd "$(dirname "$0")/.."
root=$PWD
out=${out:-$root/build/dist}

# The 32-bit build ships whole; of the 64-bit one, the bridge, its check and
# the stand-in control (the receivers and wintool run on either).
programs=(Denoptix.exe DenoptixCheck.exe DenoptixScanSim.dll DenoptixReceivers.exe wintool.exe)
programs64=(Denoptix.exe DenoptixCheck.exe DenoptixScanSim.dll)

scripts/install-deps.sh
if [ -z "$build" ]; then
  build=$root/build/release-x86
  for preset in release-x86 release-x64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target "${programs[@]%.*}"
  done
fi
build64=$(sed -n 's/^DENOPTIX_OTHER_BUILD_DIR:PATH=//p' "$build/CMakeCache.txt")

# What ships carries its debug information in a .debug file beside it: only
# the build type that makes both is packaged.
check_tree() {  # tree bits programs...
  local tree=$1 bits=$2 program kind; shift 2
  grep -qx 'CMAKE_BUILD_TYPE:STRING=RelWithDebInfo' "$tree/CMakeCache.txt" 2>/dev/null \
    || { echo "package: $tree is not a RelWithDebInfo build" >&2; exit 1; }
  kind="PE32 executable"; [ "$bits" = 64 ] && kind="PE32+ executable"
  for program in "$@"; do
    [ -f "$tree/bin/$program" ] || { echo "package: $tree/bin/$program is not built" >&2; exit 1; }
    file -b "$tree/bin/$program" | grep -q "^$kind" \
      || { echo "package: $tree/bin/$program is not a $bits-bit program" >&2; exit 1; }
  done
}
check_tree "$build" 32 "${programs[@]}"
check_tree "$build64" 64 "${programs64[@]}"

version=$(cat "$build/version.txt")
[ "$(cat "$build64/version.txt")" = "$version" ] \
  || { echo "package: $build and $build64 are of different versions" >&2; exit 1; }
bin=$build/bin
bin64=$build64/bin
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/portable/x64" "$stage/kit/x64" "$stage/debug/x64"

versioned() { sed "s/@VERSION@/$version/g" "$1"; }

cp "$bin/Denoptix.exe" "$bin/DenoptixCheck.exe" "$stage/portable/"
cp "$bin64/Denoptix.exe" "$bin64/DenoptixCheck.exe" "$stage/portable/x64/"
versioned packaging/README.txt | sed 's/$/\r/' >"$stage/portable/README.txt"  # Notepad's line ends
cp "$bin/DenoptixCheck.exe" "$bin/DenoptixScanSim.dll" "$bin/DenoptixReceivers.exe" "$bin/wintool.exe" "$stage/kit/"
cp "$bin64/DenoptixCheck.exe" "$bin64/DenoptixScanSim.dll" "$stage/kit/x64/"
versioned packaging/INTEGRATION.md >"$stage/kit/INTEGRATION.md"
for program in "${programs[@]}"; do cp "$bin/$program.debug" "$stage/debug/"; done
for program in "${programs64[@]}"; do cp "$bin64/$program.debug" "$stage/debug/x64/"; done

nsis_defines=()
if [ -n "${DENOPTIX_SIGN_PFX:-}" ]; then
  for program in "$stage"/portable/*.exe "$stage"/portable/x64/*.exe \
    "$stage"/kit/*.exe "$stage"/kit/*.dll "$stage"/kit/x64/*.exe "$stage"/kit/x64/*.dll; do
    scripts/sign.sh "$program"
  done
  nsis_defines+=("-DSIGN=$root/scripts/sign.sh")
  export DENOPTIX_SIGN_PASSWORD=${DENOPTIX_SIGN_PASSWORD:-}
  signing="signed with $(openssl pkcs12 -in "$DENOPTIX_SIGN_PFX" -nokeys -clcerts \
    -passin env:DENOPTIX_SIGN_PASSWORD | openssl x509 -noout -subject)"
else
  signing="UNSIGNED: set DENOPTIX_SIGN_PFX (and DENOPTIX_SIGN_PASSWORD) to sign"
fi

# Zips without extra timestamps or owners, so two runs differ only by the
# files' own dates.
rm -rf "$out"
mkdir -p "$out"
(cd "$stage/portable" && zip -X -q "$out/Denoptix-$version-portable.zip" Denoptix.exe DenoptixCheck.exe README.txt \
  x64/Denoptix.exe x64/DenoptixCheck.exe)
(cd "$stage/kit" && zip -X -q "$out/DenoptixIntegratorKit-$version.zip" DenoptixCheck.exe \
  DenoptixScanSim.dll DenoptixReceivers.exe wintool.exe INTEGRATION.md x64/DenoptixCheck.exe x64/DenoptixScanSim.dll)
debug64=("${programs64[@]/#/x64/}")
(cd "$stage/debug" && zip -X -q "$out/Denoptix-$version-debug.zip" "${programs[@]/%/.debug}" "${debug64[@]/%/.debug}")
# The installer refuses to install over the Windows Installer package, so it
# knows the package's upgrade code, kept once, in the package's source.
upgrade_code=$(sed -n 's/.*define UpgradeCode = "\({[0-9A-F-]*}\)".*/\1/p' packaging/denoptix.wxs)
[ -n "$upgrade_code" ] || { echo "package: no upgrade code in packaging/denoptix.wxs" >&2; exit 1; }
makensis -V2 -DVERSION="$version" -DSTAGE="$stage/portable" -DICON="$root/resources/Denoptix.ico" \
  -DUPGRADE_CODE="$upgrade_code" -DOUTFILE="$out/Denoptix-$version-setup.exe" "${nsis_defines[@]}" packaging/installer.nsi
packaging/msi.sh "$version" 32 "$stage/portable" "$stage/portable/README.txt" "$out/Denoptix-$version-x86.msi"
packaging/msi.sh "$version" 64 "$stage/portable/x64" "$stage/portable/README.txt" "$out/Denoptix-$version-x64.msi"
(cd "$out" && sha256sum -- *.zip *.exe *.msi >SHA256SUMS)

echo "Denoptix $version, $signing:"
(cd "$out" && ls -l -- *.zip *.exe *.msi SHA256SUMS | awk '{ printf "  %-45s %9d bytes\n", $NF, $5 }')
echo "in $out"
