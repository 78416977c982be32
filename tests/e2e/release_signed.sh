#!/usr/bin/env bash
# With a code-signing certificate (a throw-away self-signed one made here),
# the exes and the MSIs carry Authenticode signatures that verify as intact;
# a changed byte breaks them. Built as the next version, from a commit that
# only raises the build number, and left in release/next for the installer
# test's upgrade.
source "$(dirname "$0")/lib.sh"
source_version
NEXT=${KWIET_VERSION%.*}.$((${KWIET_VERSION##*.} + 1))
DIR=$RELEASE_DIR/next

git clone -q "$ROOT" "$WORK/src"
git -C "$WORK/src" checkout -q "$(git -C "$ROOT" rev-parse HEAD)"
sed -i "s/^project(kwiet VERSION $KWIET_VERSION /project(kwiet VERSION $NEXT /" "$WORK/src/CMakeLists.txt"
git -C "$WORK/src" -c user.name=test -c user.email=test@example.invalid commit -qam "Version $NEXT" ||
  fail "the version $KWIET_VERSION is not in project(VERSION)"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kwiet test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$WORK/key.pem" -in "$WORK/cert.pem" -passout pass:throwaway -out "$WORK/cert.pfx"

rm -rf "$DIR"
KWIET_SIGN_PFX=$WORK/cert.pfx KWIET_SIGN_PASSWORD=throwaway "$WORK/src/scripts/release" "$DIR" >"$WORK/log" 2>&1 ||
  fail "signed release: $(tail -5 "$WORK/log")"
! grep -q unsigned "$WORK/log" || fail "a signed release says it is unsigned"
(cd "$DIR" && sha256sum --check --strict --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
pass "release $NEXT signed with a throw-away certificate"

# verify FILE: intact, by our signer; the chain is trusted only when our
# certificate is given as the root.
verify() {
  local out
  out=$(osslsigncode verify -in "$1" 2>&1) && fail "${1##*/}: a self-signed chain verified without its root"
  grep -q "Subject: /CN=Kwiet test signer" <<<"$out" || fail "${1##*/}: not signed by the test's certificate: $out"
  grep -q "self-signed certificate" <<<"$out" || fail "${1##*/}: fails for another reason than the chain: $out"
  # The digest stored in the signature against the one of the file as it is
  # (an MSI's is called DigitalSignature).
  local stored
  stored=$(sed -n -E 's/^Current (message digest|DigitalSignature) *: *([0-9A-F]+).*/\1 \2/p' <<<"$out")
  [ -n "$stored" ] || fail "${1##*/}: no stored digest: $out"
  sed -n -E 's/^Calculated (message digest|DigitalSignature) *: *([0-9A-F]+).*/\1 \2/p' <<<"$out" | grep -qxF "$stored" ||
    fail "${1##*/}: the file does not match its signature: $out"
  osslsigncode verify -CAfile "$WORK/cert.pem" -in "$1" >"$WORK/verify.log" 2>&1 ||
    fail "${1##*/}: does not verify with its root: $(tail -5 "$WORK/verify.log")"
}

for arch in x86 x64; do
  mkdir -p "$WORK/$arch"
  unzip -q "$DIR/kwiet-$NEXT-$arch.zip" kwiet.exe -d "$WORK/$arch/zip"
  msiextract -C "$WORK/$arch/msi" "$DIR/kwiet-$NEXT-$arch.msi" >/dev/null
  cmp -s "$WORK/$arch/zip/kwiet.exe" "$WORK/$arch/msi/Programs/Kwiet!/kwiet.exe" ||
    fail "$arch: the MSI holds another kwiet.exe than the zip"
  for file in "$WORK/$arch/zip/kwiet.exe" "$DIR/kwiet-$NEXT-$arch.msi"; do
    verify "$file"
    # One changed byte in the middle of the file.
    cp "$file" "$WORK/changed"
    size=$(stat -c %s "$file")
    printf '\x5A' | dd of="$WORK/changed" bs=1 seek=$((size / 3)) conv=notrunc status=none
    cmp -s "$file" "$WORK/changed" && printf '\x5B' | dd of="$WORK/changed" bs=1 seek=$((size / 3)) conv=notrunc status=none
    ! osslsigncode verify -CAfile "$WORK/cert.pem" -in "$WORK/changed" >/dev/null 2>&1 ||
      fail "${file##*/}: a changed byte still verifies"
  done
  pass "$arch: kwiet.exe (in the zip and the MSI) and the MSI verify as intact; a changed byte breaks each"
done
