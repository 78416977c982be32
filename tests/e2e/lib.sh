# Shared by the end-to-end tests: each runs the real kwiet.exe in a throw-away
# Wine prefix copied from the rig's template, and watches it from outside.
# shellcheck shell=bash
set -euo pipefail

BUILD_DIR=$1
BIN=$BUILD_DIR/bin
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# Releases made by the release tests, for the installer test.
RELEASE_DIR=$BUILD_DIR/release
TEMPLATE=${KWIET_WINE_TEMPLATE:?the test command sets KWIET_WINE_TEMPLATE}
export WINEDEBUG=-all
KEY='HKCU\SOFTWARE\Orlo Software\Kwiet!'

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kwiet-e2e.XXXXXX")
export WINEPREFIX=$WORK/prefix
cp -a "$TEMPLATE" "$WINEPREFIX"
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

pass() { echo "ok: $*"; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
  local limit=$1 i
  shift
  for i in $(seq 1 $((limit * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Prints a stored value's data as wine reg shows it, or nothing.
reg_value() {
  wine reg query "$KEY" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$0 ~ n {print $NF}'
}

# The watcher: a window process that logs the session's messages.
start_watch() {
  WATCH_LOG=$WORK/watch.log
  wine "$BIN/sessionwatch.exe" "$(winepath -w "$WATCH_LOG")" &
  WATCH_PID=$!
  wait_for 30 grep -q ready "$WATCH_LOG" 2>/dev/null || fail "the watcher did not start"
}

# The watcher's process has ended, as the session's end ends it.
watch_ended() { ! kill -0 "$WATCH_PID" 2>/dev/null; }

drv() { wine "$BIN/driver.exe" "$@" | tr -d '\r'; }

# drv_says TEXT COMMAND...: the driver answers exactly TEXT (for wait_for).
drv_says() {
  local want=$1
  shift
  [ "$(drv "$@")" = "$want" ]
}

# The program's visible windows of one kind: "kind x y w h topmost title".
window_line() { drv windows | awk -v k="$1" '$1 == k'; }

# After the program has ended by itself: no power-off may have been asked for.
expect_no_poweroff() {
  sleep 3
  ! grep -q queryendsession "$WATCH_LOG" || fail "a power-off was asked for"
  kill -0 "$WATCH_PID" 2>/dev/null || fail "the session ended"
}

# The control text of a window's control: control_text KIND ID
control_text() { drv texts "$1" | awk -F'\t' -v id="$2" '$1 == id {print $2}'; }

# The version as the build has it (KWIET_VERSION, KWIET_MSI_VERSION, ...).
# shellcheck source=/dev/null
source_version() { source "$BUILD_DIR/version.env"; }

# A value of an MSI's Property table.
msi_property() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v n="$2" '$1 == n {print $2}'; }
