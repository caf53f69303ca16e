#!/usr/bin/env bash
# Signs a Windows program in place with osslsigncode (Authenticode, SHA-256).
#
#   BRISKLAY_SIGN_CERT=cert.pem BRISKLAY_SIGN_KEY=key.pem scripts/sign.sh out/Setup.exe
#
# BRISKLAY_SIGN_CERT: the certificate chain (PEM, or a .spc file); BRISKLAY_SIGN_KEY: its
# private key (PEM); BRISKLAY_SIGN_PASS: the key's password, if it has one;
# BRISKLAY_SIGN_TIMESTAMP: a time-stamping server (RFC 3161) so the signature outlives the
# certificate; none by default. The same script signs Uninstall.exe when the setup program
# is built with -DBRISKLAY_SIGN_COMMAND=/path/to/scripts/sign.sh.
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: scripts/sign.sh PROGRAM.exe (with BRISKLAY_SIGN_CERT and BRISKLAY_SIGN_KEY set)" >&2
  exit 2
fi
program=$1
: "${BRISKLAY_SIGN_CERT:?the certificate to sign with}" "${BRISKLAY_SIGN_KEY:?its private key}"
options=(-h sha256 -certs "$BRISKLAY_SIGN_CERT" -key "$BRISKLAY_SIGN_KEY")
[ -n "${BRISKLAY_SIGN_PASS:-}" ] && options+=(-pass "$BRISKLAY_SIGN_PASS")
[ -n "${BRISKLAY_SIGN_TIMESTAMP:-}" ] && options+=(-ts "$BRISKLAY_SIGN_TIMESTAMP")
signed="$program.signing"
rm -f "$signed"
osslsigncode sign "${options[@]}" -in "$program" -out "$signed" >/dev/null
mv -f "$signed" "$program"
