#!/usr/bin/env bash
# Builds one Windows Installer package of the bridge from denoptix.wxs with
# wixl, for scripts/package.sh (and, with a bumped version, for the package
# test's upgrade):
#
#   packaging/msi.sh VERSION 32|64 PROGRAM_FOLDER README_TXT OUT_MSI
#
# PROGRAM_FOLDER holds Denoptix.exe and DenoptixCheck.exe, both of the
# bitness named; the package is signed when DENOPTIX_SIGN_PFX is set, as
# every other file of a release.
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: packaging/msi.sh VERSION 32|64 PROGRAM_FOLDER README_TXT OUT_MSI" >&2; exit 2; }
version=$1 bits=$2 programs=$3 readme=$4 out=$5
here=$(cd "$(dirname "$0")" && pwd)

case "$bits" in
  32) arch=x86 kind="PE32 executable" ;;
  64) arch=x64 kind="PE32+ executable" ;;
  *) echo "msi: bitness must be 32 or 64, not $bits" >&2; exit 2 ;;
esac
for program in "$programs/Denoptix.exe" "$programs/DenoptixCheck.exe"; do
  file -b "$program" | grep -q "^$kind" || { echo "msi: $program is not a $bits-bit program" >&2; exit 1; }
done

# wixl takes the files by the names the package gives them, and only by
# paths relative to the folder it runs in.
out=$(realpath -m "$out")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$programs/Denoptix.exe" "$programs/DenoptixCheck.exe" "$stage/"
cp "$readme" "$stage/README.txt"
cp "$here/../resources/Denoptix.ico" "$stage/"
cp "$here/denoptix.wxs" "$stage/"
size_kb=$(( ($(stat -c %s "$stage/Denoptix.exe") + $(stat -c %s "$stage/DenoptixCheck.exe") + $(stat -c %s "$stage/README.txt") + 1023) / 1024 ))
(cd "$stage" && wixl -a "$arch" -D Version="$version" -D Bits="$bits" -D Stage=. -D Icon=Denoptix.ico -D SizeKb="$size_kb" \
  -o "$out" denoptix.wxs)
[ -z "${DENOPTIX_SIGN_PFX:-}" ] || "$here/../scripts/sign.sh" "$out"
