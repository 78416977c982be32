#!/usr/bin/env bash
# A DLL planted beside the exe, as in a Downloads folder, is not loaded: the
# program limits the DLL search to System32 before anything loads a library.
# Nor is a crypto provider: the stack protector is seeded without one.
# The name is uxtheme.dll, which the system loads on demand by name when the
# program makes its first window.
source "$(dirname "$0")/lib.sh"

folder=$WORK/Downloads
mkdir -p "$folder"
cp "$EXE" "$folder/kwiet.exe"
cp "$(dirname "$EXE")/planted.dll" "$folder/uxtheme.dll"
loads=$WORK/loads.log

# Wine prefers its own builtin uxtheme to a file of that name found by the
# search; "n,b" makes it take the first one found, as Windows does. Without
# the program's limit that is the planted one (it then leaves uxtheme.dll.loaded).
(cd "$folder" && WINEDLLOVERRIDES=uxtheme=n,b WINEDEBUG=+loaddll exec wine kwiet.exe 60) 2>"$loads" &
kwiet=$!
drv wait-main 20 || fail "no main window"
drv wait-window display 10 || fail "no countdown window"
drv command 0x107
wait "$kwiet" || fail "exit code $?"

system=$(grep -i 'loaded.*uxtheme' "$loads" | tr -d '\r') || true
[ -n "$system" ] || fail "uxtheme.dll was not loaded at all, so the test shows nothing: $(grep -c Loaded "$loads") loads"
[ ! -e "$folder/uxtheme.dll.loaded" ] || fail "the planted uxtheme.dll was loaded: $system"
# A 32-bit process's System32 is SysWOW64 on a 64-bit system, and Wine may
# name it so.
system32='system32'
[ "$ARCH" = x86 ] && system32='(system32|syswow64)'
grep -qiE "$system32\\\\\\\\uxtheme.dll" <<<"$system" || fail "uxtheme.dll came from elsewhere than System32: $system"
pass "uxtheme.dll loaded from System32, the planted one beside the exe left alone"

# The stack protector's canary comes from RtlGenRandom: no crypto provider,
# whose DLLs would slow the start-up.
provider=$(grep -i -m1 'loaded.*rsaenh' "$loads" | tr -d '\r') || true
[ -z "$provider" ] || fail "a crypto provider was loaded: $provider"
pass "no crypto provider loaded"
