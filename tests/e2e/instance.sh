#!/usr/bin/env bash
# One copy at a time from the first moment of start-up: a second start while
# the first still shows its set-time dialog ends at once, and every end of the
# first lets a later start run.
source "$(dirname "$0")/lib.sh"

settime_count() { drv windows | awk '$1 == "settime"' | wc -l; }
# Seconds a second start may take to end by itself: room for a slow machine,
# yet short of the 60-s period a copy that did not end would count.
ENDS_WITHIN=20

# --- two starts without an argument: one dialog, brought to the front ---
wine "$EXE" &
first=$!
drv wait-window settime 20 || fail "no set-time dialog"
# It goes when it loses the foreground; its limit only has to outlast the
# steps up to the second start, on a slow machine too.
drv cover 120 &
cover=$!
wait_for 10 drv_says cover foreground ||
  fail "another window did not take the foreground: $(drv foreground)"
code=$(drv run $ENDS_WITHIN "$(winepath -w "$EXE")") || fail "the second start did not end by itself"
[ "$code" = 0 ] || fail "the second start's exit code is $code"
[ "$(settime_count)" = 1 ] || fail "not one set-time dialog: $(drv windows)"
pass "a second start without an argument ended by itself, exit code 0, one dialog"
# Wine lets any process take the foreground; Windows lets the second start,
# as the user has just started it.
[ "$(drv foreground)" = settime ] || fail "the dialog was not brought forward: $(drv foreground)"
wait "$cover" || true
pass "the second start brought the first copy's dialog to the front"

# --- a start with a period while the dialog is open ---
code=$(drv run $ENDS_WITHIN "$(winepath -w "$EXE")" 60) || fail "a start with a period did not end by itself"
[ "$code" = 0 ] || fail "a start with a period: exit code $code"
[ "$(settime_count)" = 1 ] || fail "the first copy's dialog is gone: $(drv windows)"
pass "a start with a period ended by itself, exit code 0; the first copy still asks"

# --- the first copy cancels: a new start shows the dialog again ---
drv click settime 1001
wait "$first" || fail "the cancelled copy's exit code is $?"
wine "$EXE" &
again=$!
drv wait-window settime 20 || fail "no set-time dialog after the first copy cancelled"
drv click settime 1001
wait "$again" || fail "exit code $?"
pass "after a cancelled dialog a new start showed the dialog"

# --- a countdown ends with its power-off: a new start runs ---
start_watch
wine "$EXE" 2 || fail "the countdown's exit code is $?"
wait_for 15 grep -q queryendsession "$WATCH_LOG" || fail "no power-off request seen: $(cat "$WATCH_LOG")"
# Wine ends the session about 2 s after the request, and with it every
# window process: the new start must come after that.
wait_for 15 watch_ended || fail "the session did not end"
wine "$EXE" &
after=$!
drv wait-window settime 20 || fail "no set-time dialog after the power-off"
[ "$(control_text settime 103)" = 02 ] || fail "the saved period did not come back: $(drv texts settime)"
drv click settime 1001
wait "$after" || fail "exit code $?"
pass "after the power-off a new start ran, with the period just saved"
