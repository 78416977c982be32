#!/usr/bin/env bash
# Stored settings of the wrong type or size: the program starts, runs to its
# end and writes proper values back.
source "$(dirname "$0")/lib.sh"

wine reg add "$KEY" /v "Last Time" /t REG_SZ /d 120 /f >/dev/null
wine reg add "$KEY" /v "Last Mode" /t REG_BINARY /d 0100 /f >/dev/null
wine reg add "$KEY" /v "Show Timer Display" /t REG_QWORD /d 1 /f >/dev/null
wine reg add "$KEY" /v "Warning Sound" /t REG_DWORD /d 256 /f >/dev/null
wine reg add "$KEY" /v "Force Shutdown" /t REG_MULTI_SZ /d x /f >/dev/null
start_watch
wine "$EXE" 4 || fail "exit code $?"
wait_for 15 grep -q "endsession 1" "$WATCH_LOG" || fail "no power-off at the end"
pass "ran to its end despite bad stored values"
wineserver -w
[ "$(reg_value "Last Time")" = 0x4 ] || fail "Last Time $(reg_value "Last Time")"
[ "$(reg_value "Warning Sound")" = 0x0 ] || fail "Warning Sound $(reg_value "Warning Sound")"
for v in "Last Mode" "Show Timer Display" "Force Shutdown"; do
  wine reg query "$KEY" /v "$v" | grep -q REG_DWORD || fail "$v not rewritten as REG_DWORD"
done
pass "proper values written back"

# A stored period and the argument 0: the countdown takes the stored period,
# as the set-time dialog opened from the menu shows.
wine reg add "$KEY" /v "Last Time" /t REG_DWORD /d 120 /f >/dev/null
wine "$EXE" 0 &
kwiet=$!
drv wait-main 20 || fail "no main window"
drv command 0x104
drv wait-window settime 10 || fail "no set-time dialog from the menu"
fields="$(control_text settime 101):$(control_text settime 102):$(control_text settime 103)"
[ "$fields" = "00:02:00" ] || fail "the set-time dialog shows $fields"
drv click settime 1001
sleep 0.5
drv command 0x107
wait "$kwiet" || fail "exit code $?"
[ "$(reg_value "Last Time")" = 0x78 ] || fail "Last Time $(reg_value "Last Time")"
pass "stored Last Time 120 with the argument 0 counts 120 s"
