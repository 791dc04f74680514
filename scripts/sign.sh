#!/usr/bin/env bash
# Signs one Windows program in place with Authenticode (SHA-256), for
# scripts/package.sh and the installer's makensis run:
#
#   DENOPTIX_SIGN_PFX=cert.pfx [DENOPTIX_SIGN_PASSWORD=...] scripts/sign.sh FILE
#
# The certificate's chain goes into the signature. DENOPTIX_SIGN_TIMESTAMP_URL,
# when set, names an RFC 3161 time-stamping service, so the signature outlives
# the certificate.
set -euo pipefail
file=$1
: "${DENOPTIX_SIGN_PFX:?names the PKCS#12 certificate to sign with}"

args=(-pkcs12 "$DENOPTIX_SIGN_PFX" -h sha256 -n "Denoptix")
# Through a private file, so the password never shows in the process list
# (osslsigncode cannot read it from a pipe).
if [ -n "${DENOPTIX_SIGN_PASSWORD:-}" ]; then
  passfile=$(umask 077 && mktemp)
  trap 'rm -f "$passfile"' EXIT
  printf '%s' "$DENOPTIX_SIGN_PASSWORD" >"$passfile"
  args+=(-readpass "$passfile")
fi
[ -n "${DENOPTIX_SIGN_TIMESTAMP_URL:-}" ] && args+=(-ts "$DENOPTIX_SIGN_TIMESTAMP_URL")

osslsigncode sign "${args[@]}" -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
