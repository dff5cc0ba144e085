#!/usr/bin/env bash
# Makes the Wine prefix $WINEPREFIX for the tests, unless a finished one is there:
# scripts/make-wine-prefix.sh [--fresh] [--dpi N]
# --fresh makes it anew; --dpi sets the screen density that every program of the prefix reads
# as the prefix's first program starts (Wine 10 keeps it for the whole session after that).
set -euo pipefail

fresh=0
dpi=
while [ $# -gt 0 ]; do
  case $1 in
    --fresh) fresh=1 ;;
    --dpi) dpi=$2; shift ;;
    *) echo "make-wine-prefix: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done

: "${WINEPREFIX:?make-wine-prefix: WINEPREFIX is not set}"
if [ $fresh = 1 ]; then
  wineserver -k 2>/dev/null || true  # a session left in it would outlive the files
  rm -rf "$WINEPREFIX"
fi
[ -f "$WINEPREFIX/.kit-ready" ] && exit 0

# What Wine says while the prefix is made goes to a log beside it, shown only when a step
# fails, so that a failure says which step it was and why.
log="$WINEPREFIX.log"
step() {
  local status=0
  "$@" >>"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "make-wine-prefix: making $WINEPREFIX failed at '$*' (exit $status); Wine said:" >&2
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
if [ -n "$dpi" ]; then
  step wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
fi
step wineserver -w
# Tahoma and Marlett come from fonts-wine.
for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$WINEPREFIX/drive_c/windows/Fonts/"; done
touch "$WINEPREFIX/.kit-ready"
