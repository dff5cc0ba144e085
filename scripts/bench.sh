#!/usr/bin/env bash
# Size and speed of what we ship: the sizes of the Windows exes (stripped copies, as shipped),
# the time of a full ostrel run on a stand-in game, natively and under Wine, and the time and
# peak memory of a native run whose ostrel.ini is a large file of distinct entries.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh

cmake --preset windows >/dev/null
cmake --build --preset windows --target launcher ostrel -j "$(nproc)" >/dev/null
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DKIT_TESTS=OFF >/dev/null
cmake --build build/bench-native --target ostrel -j "$(nproc)" >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native --target fake_game -j "$(nproc)" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for exe in launcher/launcher.exe ostrel/ostrel.exe; do
  x86_64-w64-mingw32-strip -o "$work/$(basename "$exe")" "build/windows/$exe"
  printf '%-14s %8d bytes stripped\n' "$(basename "$exe")" "$(stat -c %s "$work/$(basename "$exe")")"
done

build/native/tools/fake_game "$work/GameMain.exe"
cp dist/ostrel.ini "$work/"
runs=50
cd "$work"
start=$(date +%s%N)
for _ in $(seq "$runs"); do "$root/build/bench-native/ostrel/ostrel" >/dev/null; done
echo "ostrel (native): $(( ($(date +%s%N) - start) / runs / 1000 )) us per run"
# A hostile ostrel.ini: distinct entries in section KEYS up to about $1 bytes, then KeyUp.
make_key_file() {
  awk -v size="$1" 'BEGIN {
    printf "[KEYS]\n"; n = 7
    for (i = 0; n < size; i++) { line = sprintf("Entry%d = %d\n", i, i % 256); printf "%s", line; n += length(line) }
    printf "KeyUp = 0x11\n" }' >ostrel.ini
}
for size in 1048576 100000000; do
  make_key_file "$size"
  start=$(date +%s%N)
  "$root/build/bench-native/ostrel/ostrel" >/dev/null
  elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  memory=""
  if command -v /usr/bin/time >/dev/null; then
    /usr/bin/time -v -o time.txt "$root/build/bench-native/ostrel/ostrel" >/dev/null
    memory=", peak $(awk -F': ' '/Maximum resident/ { print $2 }' time.txt) KB resident"
  fi
  echo "ostrel (native), ostrel.ini of $(stat -c %s ostrel.ini) bytes of distinct entries: ${elapsed_ms} ms${memory}"
done
rm -f ostrel.ini time.txt
cp "$root/dist/ostrel.ini" .

cp "$root/build/windows/ostrel/ostrel.exe" .
"$root/scripts/with-wine.sh" bash -c '
  start=$(date +%s%N)
  for _ in $(seq 10); do wine ostrel.exe >/dev/null; done
  echo "ostrel.exe (Wine, process start included): $(( ($(date +%s%N) - start) / 10 / 1000000 )) ms per run"'
