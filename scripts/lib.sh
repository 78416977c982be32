# Shared by the scripts: packages, builds, a display and Wine prefixes.
# shellcheck shell=bash
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${KWIET_BUILD:-$ROOT/build}
JOBS=${KWIET_JOBS:-$(nproc)}
export WINEDEBUG=${WINEDEBUG:--all}

PACKAGES=(cmake make g++ python3 googletest g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine wine64 libwine fonts-wine fonts-liberation xvfb xauth
  x11-utils imagemagick xdotool locales
  git wixl msitools faketime zip unzip osslsigncode openssl)

log() { printf '\033[1m== %s\033[0m\n' "$*" >&2; }

ensure_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  # With their recommended packages, as a desktop install has them (Wine's fonts among them).
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

# build_arch x86|x64 [target...]: both build the unit-test exe; only x64 runs
# it (these machines run no 32-bit code). KWIET_TESTS=OFF leaves the tests out.
build_arch() {
  local arch=$1 dir=$BUILD/$1 tests=${KWIET_TESTS:-ON}
  shift
  log "building $arch"
  cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DKWIET_TESTS=$tests >/dev/null
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$dir" -j "$JOBS" "${targets[@]}" -- --no-print-directory
}

build_native() {
  log "building native tests"
  cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$BUILD/native" -j "$JOBS" -- --no-print-directory
}

# Starts a private Xvfb and exports DISPLAY; it ends with the script. A
# display number another server holds (its lock file may not be visible, as
# in a container) is passed over: the next one is tried.
start_xvfb() {
  local n i
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for i in $(seq 1 50); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  echo "Xvfb did not start" >&2
  return 1
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# make_prefix DIR: a Wine prefix of our own, set up for running without a
# window manager and without the crash dialog that would hang a run.
make_prefix() {
  local dir=$1
  [ -f "$dir/.kwiet-ready" ] && return 0
  log "creating Wine prefix $dir"
  rm -rf "$dir"
  mkdir -p "$dir"
  (
    export WINEPREFIX=$dir WINEDLLOVERRIDES="mscoree=;mshtml="
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
  )
  touch "$dir/.kwiet-ready"
}

# copy_prefix FROM TO: a throw-away copy of a ready prefix.
copy_prefix() {
  rm -rf "$2"
  cp -a "$1" "$2"
}
