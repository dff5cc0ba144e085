#!/usr/bin/env bash
# Builds the download kit and the stand-in game, lays out a demo game folder (build/demo: the
# kit's zip unpacked, as a player does, beside the stand-in game of tools/game as GameMain.exe)
# and opens the launcher there under Wine.
# Without a display (or with KIT_DEMO_SHOTS=1) it runs under Xvfb instead, opens each window
# in turn and saves screenshots into build/demo/screenshots. KIT_DEMO_DPI=144 (or 120, 192)
# runs it on a screen of that density instead (the Wine prefix's LogPixels), with the
# screenshots in build/demo/screenshots-144.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
dpkg-query -W -f='${Status}' xdotool 2>/dev/null | grep -q 'ok installed' || {
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends xdotool >/dev/null
}

jobs=$(nproc)
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
# cpack builds what is not built yet, then packs kit-<version>.zip.
cpack --preset kit >/dev/null
version=$(sed -n 's/^project([^ ]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
kit="$root/build/windows/kit-$version.zip"
[ -f "$kit" ] || { echo "demo: $kit was not made" >&2; exit 1; }

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/screenshots"
# The guide's Cyrillic name needs a UTF-8 locale to be unpacked.
(cd "$demo" && LC_ALL=C.UTF-8 cmake -E tar xf "$kit")
cp build/windows/tools/game/GameMain.exe "$demo/GameMain.exe"
echo "Demo folder: $demo"

export KIT_DEMO_DPI=${KIT_DEMO_DPI:-96}
dpi=$KIT_DEMO_DPI
export WINEPREFIX="$root/build/demo-wineprefix"
export KIT_DEMO_SHOTS_DIR="$demo/screenshots"
if [ "$dpi" != 96 ]; then
  WINEPREFIX="$root/build/demo-wineprefix-$dpi"
  KIT_DEMO_SHOTS_DIR="$demo/screenshots-$dpi"
  mkdir -p "$KIT_DEMO_SHOTS_DIR"
fi
# Each program reads the density as it starts: set before the first window.
density="wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1"
if [ -n "${DISPLAY:-}" ] && [ "${KIT_DEMO_SHOTS:-0}" != 1 ]; then
  cd "$demo"
  KIT_USE_XVFB=0 exec "$root/scripts/with-wine.sh" bash -c "$density; exec wine launcher.exe"
fi
exec "$root/scripts/with-wine.sh" bash -c "$density; exec \"\$0\" \"\$1\"" \
  "$root/scripts/demo-shots.sh" "$demo"
