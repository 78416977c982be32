#!/usr/bin/env bash
# Without an argument the set-time dialog comes first; cancelling it ends the
# program and writes nothing. Its Polish texts read back right under an
# English and a Polish locale.
source "$(dirname "$0")/lib.sh"

export LOCPATH=$BUILD_DIR/locales
for lang in en_US pl_PL; do
  wine reg delete "$KEY" /f >/dev/null 2>&1 || true
  LANG=$lang.UTF-8 LC_ALL=$lang.UTF-8 wine "$EXE" &
  kwiet=$!
  drv wait-window settime 20 || fail "no set-time dialog ($lang)"
  [ -z "$(drv windows | awk '$1 == "display"')" ] || fail "the countdown started before the dialog"
  [ "$(control_text settime 100)" = "Po upływie określonego czasu:" ] || fail "$lang: $(drv texts settime)"
  [ "$(control_text settime 104)" = "O określonej godzinie:" ] || fail "$lang: $(drv texts settime)"
  [ "$(control_text settime 1001)" = "&Anuluj" ] || fail "$lang: $(drv texts settime)"
  pass "set-time dialog first, Polish texts right under $lang"
  drv click settime 1001
  wait "$kwiet" || fail "exit code $?"
  wine reg query "$KEY" >/dev/null 2>&1 || fail "no settings key after the start"
  [ -z "$(reg_value "Last Time")" ] || fail "a cancelled start wrote the settings"
  pass "cancel ended the program ($lang) and wrote nothing"
done
