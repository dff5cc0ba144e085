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

"$root/scripts/make-wine-prefix.sh"

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
