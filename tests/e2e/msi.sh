#!/usr/bin/env bash
# The MSIs under Wine, in a fresh prefix, as a user without administrator
# rights would use them: the install leaves the program, its Start-menu
# shortcut and one entry among the installed programs; the installed program
# runs to its power-off request; a newer package upgrades in place and an
# older one is refused; removal takes the files, the shortcut and the entry
# and leaves the settings. All that for the packages of the architecture of
# the exe given; the x64 run also installs the x86 package without running it
# and sees it give way to the x64 one of its version.
source "$(dirname "$0")/lib.sh"
source_version
ONE=$RELEASE_DIR/one
PKG=$ONE/kwiet-$KWIET_VERSION-$ARCH.msi
X64=$ONE/kwiet-$KWIET_VERSION-x64.msi
X86=$ONE/kwiet-$KWIET_VERSION-x86.msi
NEXT=$(ls "$RELEASE_DIR"/next/kwiet-*-"$ARCH".msi)
for msi in "$X64" "$X86" "$NEXT"; do [ -f "$msi" ] || fail "no $msi: the release tests make it"; done
NEXT_VERSION=$(msi_property "$NEXT" ProductVersion)
[ -z "$(msi_property "$PKG" ALLUSERS)" ] || fail "the package asks for an installation for all users"

# msiexec quietly, with a log; Wine returns only the low 8 bits of its code.
MSI_RUNS=0
msi() {
  MSI_RUNS=$((MSI_RUNS + 1))
  wine msiexec "$@" /qn /l*v "$(winepath -w "$WORK/msiexec-$MSI_RUNS.log")"
}

folders=$(wine "$BIN/shortcut.exe" folders | tr -d '\r')
PROGRAMS=$(sed -n 's/^programs=//p' <<<"$folders")
LOCALAPPDATA=$(sed -n 's/^localappdata=//p' <<<"$folders")
INSTALL_DIR="$LOCALAPPDATA\\Programs\\Kwiet!"
INSTALLED="$INSTALL_DIR\\kwiet.exe"
LNK="$PROGRAMS\\Kwiet!.lnk"
unix() { winepath -u "$1" 2>/dev/null; }
ICON=$BUILD_DIR/pictures/mainicon.ico

# The installed-program entries named Kwiet!, one line each: version, publisher,
# uninstall command. Windows keeps a per-user package's entry under HKCU;
# Wine 8 writes it under HKLM (Wow6432Node for x86), so all three are read,
# in the 64-bit view: with 32-bit Wine installed, `wine reg` is the 32-bit
# reg.exe, which would see Wow6432Node in place of the 64-bit key.
entries() {
  local key
  for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
    'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall' \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'; do
    wine reg query "$key" /s /reg:64 2>/dev/null || true
  done | tr -d '\r' | awk -F'    ' '
    /^HKEY_/ { key = $0; next }
    NF >= 4 { value[key, $2] = $4; keys[key] = 1 }
    END {
      for (k in keys)
        if (value[k, "DisplayName"] == "Kwiet!")
          print value[k, "DisplayVersion"] "\t" value[k, "Publisher"] "\t" value[k, "UninstallString"]
    }'
}

# The icon of the entry. Windows shows DisplayIcon, which Wine 8 does not
# write; both take it from the per-user product registration read here.
entry_icon() {
  wine reg query 'HKCU\Software\Microsoft\Installer\Products' /s 2>/dev/null | tr -d '\r' | awk -F'    ' '
    /^HKEY_/ { key = $0; next }
    NF >= 4 { value[key, $2] = $4; keys[key] = 1 }
    END { for (k in keys) if (value[k, "ProductName"] == "Kwiet!") print value[k, "ProductIcon"] }'
}

# expect_installed MSI_VERSION ZIP: the program from ZIP, its shortcut and
# one entry of that version.
expect_installed() {
  local version=$1 zip=$2 lines workdir
  unzip -p "$zip" kwiet.exe >"$WORK/expected.exe"
  cmp -s "$(unix "$INSTALLED")" "$WORK/expected.exe" || fail "the installed kwiet.exe is not the one of ${zip##*/}"
  for file in CZYTAJ.txt LICENSE.txt; do
    [ -f "$(unix "$INSTALL_DIR\\$file")" ] || fail "$file not installed"
  done
  wine "$BIN/shortcut.exe" read "$LNK" | tr -d '\r' >"$WORK/lnk" || fail "no shortcut $LNK"
  grep -qxF "target=$INSTALLED" "$WORK/lnk" || fail "the shortcut does not start $INSTALLED: $(cat "$WORK/lnk")"
  workdir=$(sed -n 's/^workdir=//p' "$WORK/lnk")
  [ "${workdir%\\}" = "$INSTALL_DIR" ] || fail "the shortcut starts in $workdir"
  cmp -s "$(unix "$(sed -n 's/^icon=//p' "$WORK/lnk")")" "$ICON" || fail "the shortcut lacks the program's icon"
  lines=$(entries)
  [ "$(echo "$lines" | grep -c .)" = 1 ] || fail "$(echo "$lines" | grep -c .) installed-program entries: $lines"
  [ "$(cut -f1,2 <<<"$lines")" = "$version"$'\t'"Orlo Software" ] || fail "the entry reads: $lines"
  cmp -s "$(unix "$(entry_icon)")" "$ICON" || fail "the entry lacks the program's icon"
}

# expect_removed: no program, shortcut, entry or installer key; the settings kept.
expect_removed() {
  [ ! -e "$(unix "$INSTALL_DIR")" ] || fail "left behind: $(ls -A "$(unix "$INSTALL_DIR")")"
  [ ! -e "$(unix "$LNK")" ] || fail "the shortcut is left"
  [ -z "$(entries)" ] || fail "the entry is left: $(entries)"
  [ -z "$(entry_icon)" ] || fail "the product registration is left"
  ! wine reg query "$KEY\\Install" >/dev/null 2>&1 || fail "the installer's key is left"
}

# --- install, run, upgrade, refuse a downgrade, remove ---
msi /i "$(winepath -w "$PKG")" || fail "install: msiexec exit code $?"
expect_installed "$KWIET_MSI_VERSION" "${PKG%.msi}.zip"
[ -z "$(reg_value "Last Time")" ] || fail "settings before the first run"
pass "$ARCH $KWIET_MSI_VERSION: per user into $INSTALL_DIR; shortcut \"Kwiet!\" to it with its icon; one entry by Orlo Software"
sed "s/^/  shortcut: /" "$WORK/lnk"
entries | sed "s/^/  entry: /"

start_watch
wine "$INSTALLED" 3 || fail "the installed kwiet.exe exit code $?"
wait_for 15 grep -q "endsession 1" "$WATCH_LOG" || fail "no power-off request: $(cat "$WATCH_LOG")"
wait "$WATCH_PID" 2>/dev/null || true
wineserver -w
[ "$(reg_value "Last Time")" = 0x3 ] || fail "settings not written: Last Time is $(reg_value "Last Time")"
pass "the installed kwiet.exe 3 ran to its power-off request and saved its settings"

msi /i "$(winepath -w "$NEXT")" || fail "upgrade: msiexec exit code $?"
expect_installed "$NEXT_VERSION" "${NEXT%.msi}.zip"
pass "$NEXT_VERSION over $KWIET_MSI_VERSION: upgraded in place, one entry of the new version"

msi /i "$(winepath -w "$PKG")" && fail "an older package installed over a newer one"
expect_installed "$NEXT_VERSION" "${NEXT%.msi}.zip"
pass "$KWIET_MSI_VERSION over $NEXT_VERSION: refused, $NEXT_VERSION stays alone"

# As the list of installed programs removes it: its own command, quietly.
uninstall=$(entries | cut -f3)
[[ "$uninstall" =~ ^MsiExec.exe\ /X(\{[0-9A-F-]+\})$ ]] || fail "the entry's uninstall command is $uninstall"
msi /x "${BASH_REMATCH[1]}" || fail "removal: msiexec exit code $?"
expect_removed
[ "$(reg_value "Last Time")" = 0x3 ] || fail "the settings went with the program"
pass "removed by the entry's own command: files, folder, shortcut and entry gone; the settings kept"

[ "$ARCH" = x64 ] || exit 0
# --- x86, not run (e2e.x86.msi runs it where 32-bit code runs): installed and
# removed; then the x64 package replaces it ---
msi /i "$(winepath -w "$X86")" || fail "x86 install: msiexec exit code $?"
expect_installed "$KWIET_MSI_VERSION" "${X86%.msi}.zip"
msi /x "$(winepath -w "$X86")" || fail "x86 removal: msiexec exit code $?"
expect_removed
pass "x86 $KWIET_MSI_VERSION: installed with shortcut and entry, removed"

msi /i "$(winepath -w "$X86")" || fail "x86 install: msiexec exit code $?"
msi /i "$(winepath -w "$X64")" || fail "x64 over x86: msiexec exit code $?"
expect_installed "$KWIET_MSI_VERSION" "${X64%.msi}.zip"
msi /x "$(winepath -w "$X64")" || fail "x64 removal: msiexec exit code $?"
expect_removed
[ "$(reg_value "Last Time")" = 0x3 ] || fail "the settings went with the program"
pass "x64 over x86 of one version: one entry, the x64 program; removal leaves the settings"
