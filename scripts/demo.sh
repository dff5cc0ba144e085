#!/usr/bin/env bash
# Builds everything, lays out a demo game folder (build/demo: the kit's exes, the shipped
# ostrel.ini and the stand-in game of tools/game as GameMain.exe) and opens the launcher there
# under Wine.
# Without a display (or with KIT_DEMO_SHOTS=1) it runs under Xvfb instead, opens each window
# in turn and saves screenshots into build/demo/screenshots.
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
cmake --build --preset windows --target launcher ostrel game -j "$jobs"

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/screenshots"
cp build/windows/launcher/launcher.exe build/windows/ostrel/ostrel.exe dist/ostrel.ini "$demo/"
cp build/windows/tools/game/GameMain.exe "$demo/GameMain.exe"
echo "Demo folder: $demo"

export WINEPREFIX="$root/build/demo-wineprefix"
if [ -n "${DISPLAY:-}" ] && [ "${KIT_DEMO_SHOTS:-0}" != 1 ]; then
  cd "$demo"
  KIT_USE_XVFB=0 exec "$root/scripts/with-wine.sh" wine launcher.exe
fi
exec "$root/scripts/with-wine.sh" "$root/scripts/demo-shots.sh" "$demo"
