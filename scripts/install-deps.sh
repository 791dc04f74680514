#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests, the demo and the
# release packages need: as root it runs apt-get, otherwise it prints the
# command to run.
set -euo pipefail

packages=(
  cmake make
  g++-mingw-w64-x86-64-posix mingw-w64-tools   # the Windows cross compiler
  googletest                                    # sources in /usr/src/googletest
  wine wine64                                   # runs the Windows programs
  fonts-wine                                    # Windows-like fonts ("MS Sans Serif") for them
  xvfb xauth                                    # an X server for headless runs
  imagemagick                                   # screenshots of the window
  clang clang-tidy cppcheck libclang-rt-14-dev  # sanitizers, fuzzers, static analysis
  jq
  nsis osslsigncode zip unzip openssl           # release packages, signing and their test
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them as root with:" >&2
  echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
