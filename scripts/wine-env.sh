#!/usr/bin/env bash
# Runs a command with one Wine prefix and one Xvfb display for the whole run: Wine builds its
# prefix on first use (seconds), so every test after the first reuses it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  sleep 1
fi
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  # A crashing test must end as a failed test: no debugger that waits for a user forever.
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
    >/dev/null 2>&1 || true
  wineserver -w || true
fi
"$@"
