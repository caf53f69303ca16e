#!/bin/sh
# Signs a Setup.exe that brisklay made, with a throwaway self-signed certificate, the way
# the README shows; checks the signature, that brisklay refuses the signed program as a
# setup program to copy unless told to drop the signature, and leaves the signed Setup.exe
# at OUTPUT for the installation test to install.
# usage: sign_test.sh SOURCE_DIR BRISKLAY SETUP_PROGRAM DEMO_STAGE WORKDIR OUTPUT
#   BRISKLAY is a command (for example "wine-run.sh brisklay.exe").
set -u
source_dir=$1
brisklay=$2
setup_program=$3
stage=$4
work=$5
output=$6
unset BRISKLAY_SETUP SOURCE_DATE_EPOCH

fail() {
  echo "FAILED: $*"
  exit 1
}

rm -rf "$work" "$output"
mkdir -p "$work" "$(dirname "$output")"
cd "$work" || exit 1
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Brisklay Test Signer" >/dev/null 2>&1 || fail "openssl could not make a certificate"
$brisklay build "$source_dir/examples/demo/manifest.toml" -o Setup.exe --setup "$setup_program" --root "$stage" \
  >/dev/null || fail "build"
BRISKLAY_SIGN_CERT=cert.pem BRISKLAY_SIGN_KEY=key.pem bash "$source_dir/scripts/sign.sh" Setup.exe ||
  fail "scripts/sign.sh"
osslsigncode verify -CAfile cert.pem -in Setup.exe >verify.log 2>&1 || { cat verify.log; fail "verify"; }

if $brisklay build "$source_dir/examples/demo/manifest.toml" -o Again.exe --setup Setup.exe --root "$stage" \
  >again.out 2>again.err; then
  fail "a signed setup program was taken without --strip-signature"
fi
grep -q "is signed" again.err || fail "no word about the signature: $(cat again.err)"
[ ! -e Again.exe ] || fail "the refused build left Again.exe"
$brisklay build "$source_dir/examples/demo/manifest.toml" -o Again.exe --setup Setup.exe --root "$stage" \
  --strip-signature >/dev/null 2>again.err || fail "--strip-signature: $(cat again.err)"
if osslsigncode verify -CAfile cert.pem -in Again.exe >/dev/null 2>&1; then fail "Again.exe still claims a signature"; fi

cp Setup.exe "$output"
echo "signed, verified, and the signed program refused as a setup program to copy"
