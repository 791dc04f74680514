#!/usr/bin/env bash
# Makes the release packages: installs what is missing, builds the release
# preset (build/release) and writes into build/dist:
#
#   Denoptix-<version>-win64.zip               Denoptix.exe and README.txt, portable
#   Denoptix-<version>-setup.exe               the installer (/S, /D=folder)
#   DenoptixIntegratorKit-<version>-win64.zip  stand-in control, receivers, wintool, INTEGRATION.md
#   Denoptix-<version>-debug.zip               the programs' .debug files
#   SHA256SUMS
#
#   scripts/package.sh [--build-dir DIR] [--out DIR]
#
# --build-dir packages what another tree of the same build type has built
# already (the test command packages its own build rather than compile
# everything twice); --out writes elsewhere than build/dist.
#
# With DENOPTIX_SIGN_PFX naming a PKCS#12 certificate (password in
# DENOPTIX_SIGN_PASSWORD) every program, the installer and its uninstaller
# are signed with Authenticode; without it they are not, and the summary
# says so.
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

programs=(Denoptix.exe DenoptixScanSim.dll DenoptixReceivers.exe wintool.exe)

scripts/install-deps.sh
if [ -z "$build" ]; then
  build=$root/build/release
  cmake --preset release >/dev/null
  cmake --build --preset release --target "${programs[@]%.*}"
fi
# What ships carries its debug information in a .debug file beside it: only
# the build type that makes both is packaged.
grep -qx 'CMAKE_BUILD_TYPE:STRING=RelWithDebInfo' "$build/CMakeCache.txt" \
  || { echo "package: $build is not a RelWithDebInfo build" >&2; exit 1; }
for program in "${programs[@]}"; do
  [ -f "$build/bin/$program" ] || { echo "package: $build/bin/$program is not built" >&2; exit 1; }
done

version=$(cat "$build/version.txt")
bin=$build/bin
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/portable" "$stage/kit" "$stage/debug"

versioned() { sed "s/@VERSION@/$version/g" "$1"; }

cp "$bin/Denoptix.exe" "$stage/portable/"
versioned packaging/README.txt | sed 's/$/\r/' >"$stage/portable/README.txt"  # Notepad's line ends
cp "$bin/DenoptixScanSim.dll" "$bin/DenoptixReceivers.exe" "$bin/wintool.exe" "$stage/kit/"
versioned packaging/INTEGRATION.md >"$stage/kit/INTEGRATION.md"
for program in "${programs[@]}"; do cp "$bin/$program.debug" "$stage/debug/"; done

nsis_defines=()
if [ -n "${DENOPTIX_SIGN_PFX:-}" ]; then
  for program in "$stage/portable/Denoptix.exe" "$stage"/kit/*.exe "$stage"/kit/*.dll; do
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
(cd "$stage/portable" && zip -X -q "$out/Denoptix-$version-win64.zip" Denoptix.exe README.txt)
(cd "$stage/kit" && zip -X -q "$out/DenoptixIntegratorKit-$version-win64.zip" \
  DenoptixScanSim.dll DenoptixReceivers.exe wintool.exe INTEGRATION.md)
(cd "$stage/debug" && zip -X -q "$out/Denoptix-$version-debug.zip" "${programs[@]/%/.debug}")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage/portable" -DICON="$root/resources/Denoptix.ico" \
  -DOUTFILE="$out/Denoptix-$version-setup.exe" "${nsis_defines[@]}" packaging/installer.nsi
(cd "$out" && sha256sum -- *.zip *.exe >SHA256SUMS)

echo "Denoptix $version, $signing:"
(cd "$out" && ls -l -- *.zip *.exe SHA256SUMS | awk '{ printf "  %-45s %9d bytes\n", $NF, $5 }')
echo "in $out"
