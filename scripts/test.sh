#!/usr/bin/env bash
# The one test command: installs what is missing, builds both configurations and runs
# every test (native under ASan/UBSan, Windows under Wine). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"
# A short run of each fuzz target; scripts/fuzz.sh runs them longer by hand.
scripts/fuzz.sh 20

cmake --preset windows
cmake --build --preset windows -j "$jobs"
# A fresh prefix each run: it is cheaper to make than to trust an old one.
rm -rf build/windows/wineprefix
scripts/with-wine.sh ctest --preset windows

# The download rebuilds bit for bit: two fresh clones of the committed HEAD, built in
# different folders, time zones, umasks and locales, give the same zip (about 4 minutes).
scripts/check-reproducible.sh
