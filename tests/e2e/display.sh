#!/usr/bin/env bash
# The corner window: its place and size, and the tray menu hiding and
# showing it.
source "$(dirname "$0")/lib.sh"

start_watch
wine "$EXE" 120 &
kwiet=$!
drv wait-main 20 || fail "no main window"
drv wait-window display 10 || fail "no display window"
screen=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
[ "$(window_line display | awk '{print $2, $3, $4, $5}')" = "$((screen - 75)) 0 75 20" ] ||
  fail "display at $(window_line display)"
pass "display window at the top-right corner, 75 x 20"

# The menu, opened as a right click on the icon would open it, and driven by
# the keys a user would press. Wine keeps menus per process, so the items
# cannot be read from here; the unit tests read them from inside.
choose() {
  drv tray 0x204
  drv menu | grep -q '^open ' || fail "the menu did not open"
  drv menukey "$1"
  sleep 0.5
}
SHOW_TIME=DDDDDDDR  # the caption line, five items, the separator skipped
EXIT=DDDDDDDDDR

choose $SHOW_TIME
[ -z "$(window_line display)" ] || fail "the display window stayed"
choose $SHOW_TIME
drv wait-window display 5 || fail "the display window did not come back"
[ "$(window_line display | awk '{print $2, $3, $4, $5}')" = "$((screen - 75)) 0 75 20" ] || fail "moved"
pass "Pokaż czas in the tray menu hides and shows the display window"

choose $EXIT
wait "$kwiet" || fail "exit code $?"
expect_no_poweroff
[ "$(reg_value "Show Timer Display")" = 0x1 ] || fail "Show Timer Display $(reg_value "Show Timer Display")"
pass "Zakończ ended the program without a power-off"
