#!/usr/bin/env bash
# The warning dialog in the last 30 seconds: topmost, Polish texts, a falling
# number, and "Anuluj" ending the program without a power-off.
source "$(dirname "$0")/lib.sh"

start_watch
wine "$EXE" 33 &
kwiet=$!
drv wait-main 20 || fail "no main window"
drv wait-window warning 15 || fail "no warning dialog"
line=$(window_line warning)
[ "$(echo "$line" | awk '{print $6}')" = 1 ] || fail "the warning is not topmost: $line"
[ "$(control_text warning 0 | head -1)" = "Uwaga:" ] || fail "texts: $(drv texts warning)"
[ "$(control_text warning 102)" = "System zostanie zamknięty za" ] || fail "texts: $(drv texts warning)"
drv texts warning | grep -q $'^0\tsekund.$' || fail "texts: $(drv texts warning)"
[ "$(control_text warning 1001)" = "Anuluj" ] || fail "texts: $(drv texts warning)"
first=$(control_text warning 101)
sleep 2.2
second=$(control_text warning 101)
[ "$first" -le 30 ] && [ "$second" -lt "$first" ] || fail "the number did not fall: $first then $second"
pass "topmost warning with Polish texts, counting $first, $second"

# Windows may stop the program while its clock runs on (modern standby, a
# busy machine): a stop of 8 s is left out, and the warning loses none of
# its seconds to it.
before=$(control_text warning 101)
drv stop 8
sleep 0.5
after=$(control_text warning 101)
[ "$after" -ge $((before - 2)) ] || fail "an 8-s stop took the warning from $before to $after"
pass "an 8-s stop of the program left the warning at $after, from $before"

drv click warning 1001
wait "$kwiet" || fail "exit code $?"
expect_no_poweroff
[ "$(reg_value "Last Time")" = 0x21 ] || fail "settings not saved: Last Time $(reg_value "Last Time")"
pass "Anuluj ended the program with the settings saved and no power-off"
