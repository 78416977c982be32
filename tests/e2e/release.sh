#!/usr/bin/env bash
# The release of the current commit, built twice (each from its own export,
# into its own folder), is byte-identical; its zips hold the program, the
# Polish guide and the licence; SHA256SUMS matches. The first build stays in
# release/one for the installer test.
source "$(dirname "$0")/lib.sh"
source_version
ONE=$RELEASE_DIR/one
V=$KWIET_VERSION
FILES="SHA256SUMS kwiet-$V-x64.msi kwiet-$V-x64.zip kwiet-$V-x86.msi kwiet-$V-x86.zip"

rm -rf "$ONE"
"$ROOT/scripts/release" "$ONE" >"$WORK/one.log" 2>&1 || fail "release: $(tail -5 "$WORK/one.log")"
"$ROOT/scripts/release" "$WORK/two" >"$WORK/two.log" 2>&1 || fail "second release: $(tail -5 "$WORK/two.log")"
[ "$(ls "$ONE" | tr '\n' ' ')" = "$FILES " ] || fail "release folder holds: $(ls "$ONE")"
[ "$(grep -c unsigned "$WORK/one.log")" = 1 ] || fail "no single line about the missing signature"
pass "release $V without a certificate: the four packages and SHA256SUMS; one line says it is unsigned"

for f in $FILES; do
  cmp "$ONE/$f" "$WORK/two/$f" || fail "$f differs between two builds: $(cmp -l "$ONE/$f" "$WORK/two/$f" | wc -l) bytes"
  printf '  %-26s %7d bytes, identical\n' "$f" "$(stat -c %s "$ONE/$f")"
done
pass "two builds of one commit in two folders are byte-identical"

(cd "$ONE" && sha256sum --check --strict --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
[ "$(awk '{print $2}' "$ONE/SHA256SUMS" | sort | tr '\n' ' ')" = "${FILES#SHA256SUMS } " ] ||
  fail "SHA256SUMS lists: $(cat "$ONE/SHA256SUMS")"
pass "SHA256SUMS lists the four packages and matches them"

# The menu texts the guide explains are the program's own.
menu_texts=$(sed -n -E 's/^ *IDS_(PAUSE|RESTART|FORCE|WARNING_SOUND|SET_TIME|SHOW_TIME|ABOUT|EXIT) "(.*)"$/\2/p' \
  "$ROOT/res/kwiet.rc")
[ "$(echo "$menu_texts" | wc -l)" = 8 ] || fail "menu texts not found in the resource script"
for arch in x86 x64; do
  zip=$ONE/kwiet-$V-$arch.zip dir=$WORK/$arch
  [ "$(unzip -Z1 "$zip" | tr '\n' ' ')" = "kwiet.exe CZYTAJ.txt LICENSE.txt " ] ||
    fail "$arch zip holds: $(unzip -Z1 "$zip")"
  mkdir -p "$dir"
  unzip -q "$zip" -d "$dir/zip"
  format=$(x86_64-w64-mingw32-objdump -f "$dir/zip/kwiet.exe" | sed -n 's/.*file format //p')
  [ "$format" = "$([ $arch = x86 ] && echo pei-i386 || echo pei-x86-64)" ] || fail "$arch kwiet.exe is $format"

  guide=$dir/zip/CZYTAJ.txt
  [ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "CZYTAJ.txt has no UTF-8 mark"
  iconv -f UTF-8 -t UTF-16 "$guide" >/dev/null || fail "CZYTAJ.txt is not UTF-8"
  for file in "$guide" "$dir/zip/LICENSE.txt"; do
    [ "$(grep -c $'\r$' "$file")" = "$(wc -l <"$file")" ] || fail "${file##*/}: not every line ends in CR LF"
  done
  while IFS= read -r text; do
    grep -qF -- "$text" "$guide" || fail "CZYTAJ.txt does not mention \"$text\""
  done <<<"Kwiet! $V
kwiet.exe 5400
HKEY_CURRENT_USER\\SOFTWARE\\Orlo Software\\Kwiet!
Odinstaluj
$menu_texts"
  grep -q "^MIT License" "$dir/zip/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
  grep -q "Copyright (c) .* the Kwiet! authors" "$dir/zip/LICENSE.txt" || fail "LICENSE.txt: not the Kwiet! authors'"

  # The MSI installs the very files the zip holds.
  msiextract -C "$dir/msi" "$ONE/kwiet-$V-$arch.msi" >/dev/null
  for file in kwiet.exe CZYTAJ.txt LICENSE.txt; do
    cmp -s "$dir/zip/$file" "$dir/msi/Programs/Kwiet!/$file" || fail "$arch: $file differs between zip and MSI"
  done
  [ "$(msi_property "$ONE/kwiet-$V-$arch.msi" ProductVersion)" = "$KWIET_MSI_VERSION" ] || fail "$arch MSI version"
  pass "$arch zip: kwiet.exe ($format), CZYTAJ.txt (UTF-8, CR LF, every menu item), LICENSE.txt; the MSI holds the same"
done
[ "$(msi_property "$ONE/kwiet-$V-x86.msi" ProductCode)" != "$(msi_property "$ONE/kwiet-$V-x64.msi" ProductCode)" ] ||
  fail "both MSIs have one product code"
