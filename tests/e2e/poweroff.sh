#!/usr/bin/env bash
# The real program counts a period down, asks Wine to power off and ends by
# itself with exit code 0; a second start while one runs ends at once.
source "$(dirname "$0")/lib.sh"

# --- a second start while one runs: ends at once, exit code 0, registry
# untouched. The first counts an hour, so that no slow step here outlasts it.
wine "$EXE" 3600 &
first=$!
drv wait-main 20 || fail "no main window"
wine reg delete "$KEY" /v "Force Shutdown" /f >/dev/null 2>&1 || true
wine "$EXE" 60 || fail "second instance exit code $?"
[ -z "$(reg_value "Force Shutdown")" ] || fail "the second instance wrote the registry"
pass "second instance ended at once without touching the registry"
drv command 0x107
wait "$first" || fail "the first instance's exit code is $?"
wine reg delete "$KEY" /f >/dev/null

# --- plain power-off: applications are asked to close ---
start_watch
start=$(now_ms)
wine "$EXE" 3 || fail "kwiet.exe exit code $?"
elapsed=$(($(now_ms) - start))
[ "$elapsed" -ge 2500 ] || fail "ended after $elapsed ms, before its period"
pass "kwiet.exe 3 ended by itself with exit code 0 after $elapsed ms"

wait_for 15 grep -q "endsession 1" "$WATCH_LOG" || fail "no end of session seen: $(cat "$WATCH_LOG")"
grep -q queryendsession "$WATCH_LOG" || fail "the session was ended without asking"
pass "Wine ended the session after asking the applications (power-off, not forced)"
wait "$WATCH_PID" 2>/dev/null || true
wineserver -w

for v in "Last Mode" "Last Time" "Show Timer Display" "Force Shutdown" "Warning Sound"; do
  [ -n "$(reg_value "$v")" ] || fail "value \"$v\" not written at exit"
done
[ "$(reg_value "Last Time")" = 0x3 ] || fail "Last Time is $(reg_value "Last Time")"
pass "all five settings written at exit"

# --- forced power-off: applications are ended without being asked ---
wine reg add "$KEY" /v "Force Shutdown" /t REG_DWORD /d 1 /f >/dev/null
start_watch
wine "$EXE" 2 || fail "forced run exit code $?"
wait_for 15 watch_ended || fail "the watcher survived a forced power-off"
! grep -q endsession "$WATCH_LOG" || fail "a forced power-off asked the applications: $(cat "$WATCH_LOG")"
pass "a forced power-off ended the other applications without asking"
