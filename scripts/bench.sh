#!/usr/bin/env bash
# Size and speed of what we ship. Prints a few timings of ostrel on its own, then the table of
# the README's "Size and speed": each figure, its value on this machine, its goal and whether
# the goal is met, as Markdown rows ready to paste there.
#
# Each ratio is measured pair by pair (A, B, A, B... after one warm-up start of each) and is
# the median of the pairs' ratios: a noisy machine slows both of a pair alike. The reference
# programs are the small sources in tools/bench/, built by CMake here. Big files live in
# /dev/shm when it is there, so that the disk's own noise stays out of the ratios.
#
# BENCH_SMALL_PAIRS and BENCH_BIG_PAIRS set the number of pairs (201 and 31): on this two-core
# machine one start of a small program under Wine takes anything from 30 to 90 ms, and with
# fewer pairs a ratio moves by 0.1 from one run to the next.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh

small_pairs=${BENCH_SMALL_PAIRS:-201}
big_pairs=${BENCH_BIG_PAIRS:-31}
jobs=$(nproc)

echo "building..." >&2
cmake --preset windows >/dev/null
cmake --build --preset windows --target launcher ostrel read_write run_pairs -j "$jobs" >/dev/null
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DKIT_TESTS=OFF >/dev/null
cmake --build build/bench-native --target ostrel read_write -j "$jobs" >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native --target fake_game -j "$jobs" >/dev/null

# The reference programs, as the build made them.
tools=$root/build/windows/tools/bench
native_read_write=$root/build/bench-native/tools/bench/read_write

# A prefix of the bench's own: a Windows test run elsewhere keeps its Wine server.
export WINEPREFIX=$root/build/bench/wineprefix
scratch=/dev/shm
[ -d "$scratch" ] && [ -w "$scratch" ] || scratch=${TMPDIR:-/tmp}
work=$(mktemp -d "$scratch/kit-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The table's rows, each "figure|value|goal|met", in the order they are printed.
size_rows=()
launcher_rows=()
ostrel_rows=()

with_commas() { sed ':a; s/\B[0-9]\{3\}\>/,&/; ta' <<<"$1"; }

# "met" when the number `$1` is at most `$2`, "not met" otherwise or when there is no number.
at_most() { awk -v value="$1" -v goal="$2" 'BEGIN {
  print (value ~ /^[0-9.]+$/ && value + 0 <= goal + 0) ? "met" : "not met" }'; }

ratio_row() {  # figure, ratio, goal
  local value=failed
  [ -z "${2:-}" ] || value=$(awk -v r="$2" 'BEGIN { printf "%.3f", r }')
  ostrel_rows+=("$1|$value|at most $3|$(at_most "$value" "$3")")
}

# --- Sizes of the stripped exes -------------------------------------------------------------
size_row() {  # exe, figure, goal in bytes
  x86_64-w64-mingw32-strip -o "$work/stripped.exe" "build/windows/$1"
  local size
  size=$(stat -c %s "$work/stripped.exe")
  size_rows+=("$2|$(with_commas "$size") bytes|at most $(with_commas "$3")|$(at_most "$size" "$3")")
  rm "$work/stripped.exe"
}
size_row ostrel/ostrel.exe '`ostrel.exe`, stripped' 200000
size_row launcher/launcher.exe '`launcher.exe`, stripped, artwork and skin included' 600000

# --- The launcher's figures ---------------------------------------------------------------
# scripts/bench-launcher.sh, when there, measures the launcher (start-up against a bare window,
# private memory). It runs after the Windows build above, with WINEPREFIX naming the bench's
# prefix, and prints its rows on standard output, one a line as "figure|value|goal|met" (met
# being "met" or "not met"); anything else it says goes to standard error.
launcher_figures() {
  [ -f scripts/bench-launcher.sh ] || return 0
  echo "measuring the launcher..." >&2
  local line
  while IFS= read -r line; do
    [ -n "$line" ] && launcher_rows+=("$line")
  done < <(bash scripts/bench-launcher.sh || echo "scripts/bench-launcher.sh|failed||not met")
}
launcher_figures

# --- ostrel on its own ----------------------------------------------------------------------
small=$work/small
mkdir "$small"
build/native/tests/ostrel/fake_game "$small/GameMain.exe"
cp dist/ostrel.ini "$small/"
small_size=$(stat -c %s "$small/GameMain.exe")

runs=50
start=$(date +%s%N)
for _ in $(seq "$runs"); do (cd "$small" && "$root/build/bench-native/ostrel/ostrel" >/dev/null); done
echo "ostrel (native): $(( ($(date +%s%N) - start) / runs / 1000 )) us per run"

# A hostile ostrel.ini: distinct entries in section KEYS up to about $1 bytes, then KeyUp.
make_key_file() {
  awk -v size="$1" 'BEGIN {
    printf "[KEYS]\n"; n = 7
    for (i = 0; n < size; i++) { line = sprintf("Entry%d = %d\n", i, i % 256); printf "%s", line; n += length(line) }
    printf "KeyUp = 0x11\n" }' >"$1.ini"
}
keys=$work/keys
mkdir "$keys"
cp "$small/GameMain.exe" "$keys/"
(
  cd "$keys"
  for size in 1048576 100000000; do
    make_key_file "$size"
    mv "$size.ini" ostrel.ini
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
)
rm -rf "$keys"

# The 700 MiB stand-in: the small one followed by copies of itself (ostrel needs only its
# version mark and its minimum size), cut to 700 MiB.
big=$work/big
mkdir "$big"
for _ in $(seq 32); do cat "$small/GameMain.exe"; done >"$work/32.bin"
for _ in $(seq 32); do cat "$work/32.bin"; done >"$big/GameMain.exe"
rm "$work/32.bin"
truncate -s $((700 << 20)) "$big/GameMain.exe"
cp dist/ostrel.ini "$big/"
big_mb="700 MiB"

# Native pairs: prints the medians of A's and B's milliseconds and of the ratios A/B.
native_pairs() {  # pairs, folder, program A, program B
  local pair a b start
  (
    cd "$2"
    for pair in $(seq 0 "$1"); do
      # Each run starts without the last run's output, as run_pairs does under Wine.
      rm -f GameMain-kb.exe; start=$(date +%s%N); "$3" >/dev/null; a=$(( $(date +%s%N) - start ))
      rm -f GameMain-kb.exe; start=$(date +%s%N); "$4" >/dev/null; b=$(( $(date +%s%N) - start ))
      [ "$pair" = 0 ] || echo "$a $b"  # the first pair warms up
    done
  ) | awk '
    function median(v, n,   i, j, t) {
      for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
      return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }
    { a[NR] = $1 / 1e6; b[NR] = $2 / 1e6; r[NR] = $1 / $2 }
    END { printf "%.2f %.2f %.4f\n", median(a, NR), median(b, NR), median(r, NR) }'
}

echo "ostrel at ${big_mb}, natively, against read_write: $big_pairs pairs..." >&2
read -r native_ms reference_ms native_ratio < <(
  native_pairs "$big_pairs" "$big" "$root/build/bench-native/ostrel/ostrel" "$native_read_write")
echo "ostrel (native) at ${big_mb}: $native_ms ms, read_write $reference_ms ms"

# Under Wine: both exes in each folder, started by run_pairs without a console, standard
# output on NUL.
for folder in "$small" "$big"; do
  cp build/windows/ostrel/ostrel.exe "$tools/read_write.exe" "$folder/"
done
echo "ostrel.exe under Wine: $small_pairs pairs at $(with_commas "$small_size") bytes," \
  "$big_pairs at ${big_mb}..." >&2
scripts/with-wine.sh bash -c '
  set -e
  cd "$1" && wine "$3" "$4" ostrel.exe read_write.exe >"$1/pairs.txt"
  cd "$2" && wine "$3" "$5" ostrel.exe read_write.exe >"$2/pairs.txt"' \
  - "$small" "$big" "$tools/run_pairs.exe" "$small_pairs" "$big_pairs" >"$work/wine.txt" 2>&1 ||
  { echo "bench: a Wine measurement failed:" >&2; cat "$work/wine.txt" >&2; }
read -r small_ms small_reference_ms small_ratio <"$small/pairs.txt" || true
read -r big_ms big_reference_ms big_ratio <"$big/pairs.txt" || true
echo "ostrel.exe (Wine, stdout on NUL) at $(with_commas "$small_size") bytes: ${small_ms:-?} ms," \
  "read_write.exe ${small_reference_ms:-?} ms"
echo "ostrel.exe (Wine) at ${big_mb}: ${big_ms:-?} ms, read_write.exe ${big_reference_ms:-?} ms"

ratio_row "\`ostrel.exe\` on the $(with_commas "$small_size")-byte stand-in with its standard output going to the NUL device, divided by a minimal static program that reads the file and writes it whole with Win32 calls, under Wine" \
  "${small_ratio:-}" 1.1
ratio_row "\`ostrel\` at ${big_mb}, divided by a minimal read-whole-then-write program, under Wine" \
  "${big_ratio:-}" 1.03
ratio_row "\`ostrel\` at ${big_mb}, divided by a minimal read-whole-then-write program, natively" \
  "${native_ratio:-}" 1.03

# --- The table ------------------------------------------------------------------------------
echo
echo "| Figure | now | goal | met |"
echo "|---|---|---|---|"
for row in "${size_rows[@]}" "${launcher_rows[@]}" "${ostrel_rows[@]}"; do
  IFS='|' read -r figure value goal met <<<"$row"
  echo "| $figure | $value | $goal | $met |"
done
