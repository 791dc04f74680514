#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests, the demo and the
# release packages need, and lets this machine run 32-bit Windows programs
# under Wine: as root it does it, otherwise it prints what to run.
#
# The 32-bit bridge (the product) runs in a 64-bit Wine prefix through
# WoW64, which needs Wine's 32-bit loader (wine32:i386). These kernels run no
# 32-bit Linux program by themselves, so that loader runs through qemu-user
# (bookworm-backports: 10.x starts a process in about 0.3 s, 7.2 in about a
# minute), registered for i386 programs through binfmt_misc.
set -euo pipefail

packages=(
  cmake make
  g++-mingw-w64-i686-posix                      # the Windows cross compilers: 32-bit,
  g++-mingw-w64-x86-64-posix mingw-w64-tools    # 64-bit, and their tools
  googletest                                    # sources in /usr/src/googletest
  wine wine64 wine32:i386                       # runs the Windows programs, 64- and 32-bit
  fonts-wine                                    # Windows-like fonts ("MS Sans Serif") for them
  xvfb xauth                                    # an X server for headless runs
  imagemagick                                   # screenshots of the window
  clang clang-tidy cppcheck libclang-rt-14-dev  # sanitizers, fuzzers, static analysis
  jq file
  nsis osslsigncode zip unzip openssl           # release packages, signing and their test
  wixl msitools                                 # the Windows Installer packages
)
backports_packages=(qemu-user)                  # runs Wine's 32-bit loader
backports_source=/etc/apt/sources.list.d/denoptix-bookworm-backports.sources
binfmt=/proc/sys/fs/binfmt_misc

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for package in "${packages[@]}" "${backports_packages[@]}"; do
  installed "$package" || missing+=("$package")
done
needs_binfmt=0
grep -qx enabled "$binfmt/qemu-i386" 2>/dev/null || needs_binfmt=1
[ ${#missing[@]} -eq 0 ] && [ "$needs_binfmt" -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "This machine is not ready. As root, run scripts/install-deps.sh; it installs:" >&2
  echo "  ${missing[*]:-(nothing: only the i386 binfmt_misc registration of qemu-user is missing)}" >&2
  exit 1
fi

# apt-get update exits 100 for any index it could not fetch. One failure is
# known and harmless: after the i386 architecture is added, the mirror's i386
# index of bookworm-security can be out of step with its Release file ("File
# has unexpected size ... Mirror sync in progress?"). The i386 packages come
# from the main suite then (see below). Any other failure stops here.
update_indexes() {
  local log status others
  log=$(mktemp)
  set +e
  apt-get update -q 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  set -e
  others=$(grep -E '^(E|Err):' "$log" | grep -v 'Some index files failed to download' \
    | grep -v -E 'bookworm-security/.*binary-i386/.*(unexpected size|Mirror sync)|^Err:.*bookworm-security/main i386 Packages' || true)
  rm -f "$log"
  [ "$status" -eq 0 ] && return 0
  if [ -z "$others" ] && [ "$status" -eq 100 ]; then
    echo "install-deps: warning: the mirror's i386 index of bookworm-security is out of step; i386 packages come from bookworm" >&2
    return 0
  fi
  echo "install-deps: a package index could not be fetched, so nothing was installed:" >&2
  echo "${others:-apt-get update exited with $status}" >&2
  exit 1
}

# A library installed for amd64 from bookworm-security may have a version the
# i386 side cannot match (its index is the one that may be missing); both
# copies of a Multi-Arch: same library must be equal, so that amd64 copy goes
# back to bookworm's version. Prints the amd64 packages to take from bookworm.
skewed_multiarch_partners() {
  local name
  for name in $(grep -o -E 'Depends: [^ :]+:i386' "$1" | sed 's/Depends: //; s/:i386$//' | sort -u); do
    installed "$name:amd64" && echo "$name:amd64/bookworm"
  done
}

install_packages() {
  local log attempt status partners=()
  log=$(mktemp)
  for attempt in 1 2 3; do
    set +e
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends --allow-downgrades \
      -t bookworm "$@" "${partners[@]}" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    [ "$status" -eq 0 ] && { rm -f "$log"; return 0; }
    mapfile -t more < <(skewed_multiarch_partners "$log")
    [ ${#more[@]} -eq 0 ] && break
    partners+=("${more[@]}")
    echo "install-deps: taking bookworm's version of ${more[*]} so that its i386 copy can match" >&2
  done
  rm -f "$log"
  echo "install-deps: apt-get could not install: $*" >&2
  exit 1
}

if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    cat >"$backports_source" <<'EOF'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  fi
  update_indexes
  main_missing=()
  for package in "${packages[@]}"; do installed "$package" || main_missing+=("$package"); done
  [ ${#main_missing[@]} -eq 0 ] || install_packages "${main_missing[@]}"
  for package in "${backports_packages[@]}"; do
    installed "$package" || DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
      -t bookworm-backports "$package"
  done
fi

# The registration lives in the kernel, not on disk: it is made again after
# every boot of the machine.
if ! grep -qx enabled "$binfmt/qemu-i386" 2>/dev/null; then
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || true
  [ -e "$binfmt/qemu-i386" ] && echo 1 >"$binfmt/qemu-i386"
  [ -e "$binfmt/qemu-i386" ] || cat /usr/share/qemu/binfmt.d/qemu-i386.conf >"$binfmt/register" 2>/dev/null || true
  if ! grep -qx enabled "$binfmt/qemu-i386" 2>/dev/null; then
    echo "install-deps: cannot register qemu-user for 32-bit programs in binfmt_misc ($binfmt):" >&2
    echo "install-deps: without it Wine's 32-bit loader fails with \"Exec format error\" and no Windows program runs." >&2
    exit 1
  fi
fi
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "install-deps: Wine's 32-bit loader does not start, although qemu-user is registered for it" >&2
  exit 1
fi
