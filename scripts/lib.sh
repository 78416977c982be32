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

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

apt_install() {
  log "installing: $*"
  as_root apt-get update -qq
  # With their recommended packages, as a desktop install has them (Wine's fonts among them).
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Installs what is missing. Where the kernel runs 32-bit code, that includes
# Debian's 32-bit Wine beside the 64-bit one, for the x86 exe; where it does
# not, nothing 32-bit: there wine32 would make `wine` pick a loader the kernel
# refuses, and break the 64-bit Wine too.
ensure_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}" "$@"; do
    installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] || apt_install "${missing[@]}"
  if runs_x86; then
    installed wine32:i386 || install_wine32
  elif [ "$RUNS_X86" = no ] && installed wine32:i386; then
    log "warning: wine32 is installed, but this kernel runs no 32-bit code: Wine will fail (apt-get remove wine32:i386)"
  fi
}

# The i386 packages dpkg holds in any state, installed or half so.
i386_packages() {
  dpkg-query -W -f='${binary:Package} ${db:Status-Status}\n' 2>/dev/null | awk '$1 ~ /:i386$/ && $2 != "not-installed" {print $1}' | sort
}

# Debian's 32-bit Wine. Where it cannot be installed (no i386 packages in the
# configured repositories, no network), one line says so and the machine
# counts as one without 32-bit code; whatever the attempt left of i386 goes
# again, since a half-installed wine32 breaks the 64-bit Wine as well.
install_wine32() {
  local before added= out=$BUILD/wine32-install.log left reason
  log "installing: wine32:i386"
  mkdir -p "$BUILD"
  : >"$out"
  before=$(i386_packages)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386 >>"$out" 2>&1 && added=yes
  fi
  # An update that fails (no network) may leave usable lists: the install decides.
  as_root apt-get update -qq >>"$out" 2>&1 || true
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wine32:i386 >>"$out" 2>&1 || true
  installed wine32:i386 && return 0
  left=$(comm -13 <(echo "$before") <(i386_packages))
  # shellcheck disable=SC2086
  [ -z "$left" ] || as_root dpkg --purge --force-depends $left >>"$out" 2>&1 || true
  [ -z "$added" ] || [ -n "$(i386_packages)" ] || as_root dpkg --remove-architecture i386 >>"$out" 2>&1 || true
  reason=$(grep '^E:' "$out" | tail -1) || reason="apt-get failed"
  RUNS_X86=nowine32 X86_WHY="32-bit Wine could not be installed ($reason; all of it in $out)"
  log "x86: $X86_WHY; going on without it"
}

# Whether this machine runs 32-bit x86 code, found by running a tiny 32-bit
# program: yes; no, the kernel refuses it; unknown, no folder here lets a
# program run (noexec mounts); off, KWIET_X86=no asked for the answer of a
# machine without it. X86_WHY says why not.
runs_x86() {
  if [ -z "${RUNS_X86:-}" ]; then
    RUNS_X86=off X86_WHY="KWIET_X86=no"
    if [ "${KWIET_X86:-}" != no ]; then
      local code=0
      X86_WHY=$(python3 "$ROOT/scripts/x86probe.py" "$BUILD" "${TMPDIR:-/tmp}" /dev/shm) || code=$?
      case $code in 0) RUNS_X86=yes ;; 1) RUNS_X86=no ;; *) RUNS_X86=unknown ;; esac
    fi
    export RUNS_X86 X86_WHY
  fi
  [ "$RUNS_X86" = yes ]
}

# The architectures whose exes run here: x64 always, x86 where the kernel
# runs 32-bit code and 32-bit Wine is there.
run_archs() { if runs_x86; then echo "x64 x86"; else echo x64; fi; }
# Why x86 is not among them.
x86_note() { echo "x86: compiled and linked, not run: ${X86_WHY:-}"; }

# build_arch x86|x64 [target...]: both build the unit-test exe; the x64 tree
# also runs the end-to-end tests against the x86 exe where it runs.
# KWIET_TESTS=OFF leaves the tests out.
build_arch() {
  local arch=$1 dir=$BUILD/$1 tests=${KWIET_TESTS:-ON} x86_exe=
  shift
  log "building $arch"
  local options=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release -DKWIET_TESTS=$tests)
  if [ "$arch" = x64 ] && [ "$tests" = ON ]; then
    runs_x86 && x86_exe=$BUILD/x86/bin/kwiet.exe
    options+=(-DKWIET_X86_EXE="$x86_exe")
  fi
  cmake -S "$ROOT" -B "$dir" "${options[@]}" >/dev/null
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

# Wine only ever in a prefix of ours: without WINEPREFIX, a Wine tool would
# use, or make, the user's own ~/.wine.
own_prefix_only() {
  [ -n "${WINEPREFIX:-}" ] || { echo "$1 called without WINEPREFIX: it would use ~/.wine" >&2; return 1; }
  command "$@"
}
wine() { own_prefix_only wine "$@"; }
winepath() { own_prefix_only winepath "$@"; }
wineserver() { own_prefix_only wineserver "$@"; }

# What a prefix was made for: one made before wine32 was installed has an
# empty syswow64, and once wine32 is there nothing starts in it, x64 programs
# included. Prefixes are remade when this changes.
wine_flavour() { if [ -x /usr/lib/wine/wine ]; then echo "wine32+wine64"; else echo wine64; fi; }

# make_prefix DIR: a Wine prefix of our own, set up for running without a
# window manager and without the crash dialog that would hang a run.
make_prefix() {
  local dir=$1 flavour
  flavour=$(wine_flavour)
  [ "$(cat "$dir/.kwiet-ready" 2>/dev/null)" = "$flavour" ] && return 0
  log "creating Wine prefix $dir ($flavour)"
  rm -rf "$dir"
  mkdir -p "$dir"
  (
    export WINEPREFIX=$dir WINEDLLOVERRIDES="mscoree=;mshtml="
    # Made by the 64-bit loader: where 32-bit Wine is installed, the `wine`
    # wrapper starts the 32-bit one, which finds no kernel32 in a prefix not
    # made yet and fails (c0000135) while the 64-bit side goes on making it.
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    local dll
    for dll in system32 $([ "$flavour" = wine64 ] || echo syswow64); do
      [ -f "$dir/drive_c/windows/$dll/kernel32.dll" ] || { echo "Wine prefix $dir: no $dll/kernel32.dll" >&2; exit 1; }
    done
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
  )
  echo "$flavour" >"$dir/.kwiet-ready"
}

# copy_prefix FROM TO: a throw-away copy of a ready prefix.
copy_prefix() {
  rm -rf "$2"
  cp -a "$1" "$2"
}
