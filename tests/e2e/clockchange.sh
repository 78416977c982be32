#!/usr/bin/env bash
# A clock time on the night the clocks go back, with the zone rules of the
# real system: the clock faked to 20:00 on 24 October 2026 in Warsaw, where
# 08:00 the next morning is 13 hours away, not 12.
source "$(dirname "$0")/lib.sh"

FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -e "$FAKETIME_LIB" ] || fail "no $FAKETIME_LIB (package faketime)"

# The server starts on the real clock; only the program sees the faked one.
wine reg delete "$KEY" /f >/dev/null 2>&1 || true
# libfaketime reaches Wine only with the 64-bit loader started directly: under
# the wine wrapper script the program sees the real time.
LD_PRELOAD=$FAKETIME_LIB FAKETIME="@2026-10-24 20:00:00" FAKETIME_DONT_FAKE_MONOTONIC=1 TZ=Europe/Warsaw \
  /usr/lib/wine/wine64 "$EXE" &
kwiet=$!
drv wait-window settime 20 || fail "no set-time dialog"
drv click settime 104
drv settext settime 105 08
drv settext settime 106 00
summary_is() { [ "$(control_text settime 108)" = "$1" ]; }
wait_for 5 summary_is "[13:00]" || fail "08:00 from 20:00 on the night the clocks go back: $(control_text settime 108)"
pass "the summary reads [13:00]"

drv click settime 1000
drv wait-main 20 || fail "no main window after OK"
drv command 0x107
wait "$kwiet" || fail "exit code $?"
[ "$(reg_value "Last Time")" = 0xb6d0 ] || fail "Last Time $(reg_value "Last Time"), not 46800 s"
pass "the period saved is 46800 s"
