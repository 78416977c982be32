#!/usr/bin/env bash
# What the shell and the session do to a running program: the notification
# area created anew, and a log-off.
source "$(dirname "$0")/lib.sh"

start_watch
wine "$EXE" 300 &
kwiet=$!
drv wait-main 20 || fail "no main window"
wait_for 5 drv_says 1 tray-icons || fail "no tray icon"
drv delete-icon
[ "$(drv tray-icons)" = 0 ] || fail "the icon did not go"
drv taskbar-created
wait_for 5 drv_says 1 tray-icons || fail "the icon did not come back"
pass "the tray icon came back on TaskbarCreated"

[ -z "$(reg_value "Last Time")" ] || fail "settings written too early"
[ "$(drv endsession)" = 1 ] || fail "the program refused the end of the session"
[ "$(reg_value "Last Time")" = 0x12c ] || fail "settings not written at log-off"
pass "log-off agreed to, settings written"

drv command 0x107
wait "$kwiet" || fail "exit code $?"
expect_no_poweroff
