#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix under the build folder and a virtual X display,
# so that Windows test programs (console and windowed) can run: scripts/with-wine.sh CMD...
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine turns Windows file names into Unix ones in the locale's character set: in the C locale
# of a bare machine it cannot create a Cyrillic name at all, and the tests make many.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LC_ALL=C.UTF-8
fi

# make_prefix: a fresh prefix. What Wine says while it is made goes to a log beside it, shown
# only when a step fails, so that a failure says which step it was and why.
make_prefix() {
  local log="$WINEPREFIX.log"
  step() {
    local status=0
    "$@" >>"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
      echo "with-wine: making the prefix failed at '$*' (exit $status); Wine said:" >&2
      cat "$log" >&2
      exit "$status"
    fi
  }
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  : >"$log"
  step wineboot -i
  step wineserver -w
  # Without this every message box takes two seconds to close under the X11 driver.
  step wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  step wineserver -w
  # Tahoma and Marlett come from fonts-wine.
  for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$WINEPREFIX/drive_c/windows/Fonts/"; done
  touch "$WINEPREFIX/.kit-ready"
}

if [ ! -f "$WINEPREFIX/.kit-ready" ]; then
  make_prefix
fi

if [ "${1:-}" = --inside ]; then
  shift
  wineserver -k 2>/dev/null || true  # a server left by an interrupted run would refuse us
  wineserver -p
  wine cmd /c exit 0 >/dev/null 2>&1 || true
  rc=0
  "$@" || rc=$?
  wineserver -k || true
  exit $rc
fi

if [ -n "${DISPLAY:-}" ] && [ "${KIT_USE_XVFB:-1}" = 0 ]; then
  exec "$0" --inside "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$@"
