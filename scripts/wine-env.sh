#!/usr/bin/env bash
# Runs a command with one Wine prefix and one Xvfb display for the whole run: Wine builds its
# prefix on first use (seconds), so every test after the first reuses it.
#
#   bash scripts/wine-env.sh ctest --preset win32
#
# The prefix lives in build/wineprefix (or $WINEPREFIX). The Windows user locale is pinned to
# English (United States), ANSI code page 1252, whatever the machine's own locale is; tests
# that need other conventions read fixed locales explicitly.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
mkdir -p "$(dirname "$WINEPREFIX")"
# On a kernel without 32-bit support Wine runs through qemu-user (scripts/wine32.sh sets that
# up); the emulated processes then need its mmap preload.
eval "$(bash "$root/scripts/wine32.sh" --env)"

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display itself and reports its number once it accepts connections.
  fd_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$fd_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  display="$(tr -dc '0-9' <"$fd_file")"
  rm -f "$fd_file"
  if [ -z "$display" ]; then
    echo "wine-env: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$display"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  # A crashing test must end as a failed test: no debugger that waits for a user forever.
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
    >/dev/null 2>&1 || true
  wineserver -w || true
fi
"$@"
