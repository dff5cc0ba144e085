#!/usr/bin/env bash
# The launcher's start-up against a bare Win32 window, under Wine on a virtual display:
# time from process start to a visible main window, the private memory and the CPU time
# with the window up. Runs the two programs alternately, pair by pair, with one Wine server
# and desktop kept alive for the whole run, and prints a human summary on stderr and rows
#   figure|value|goal|met
# on stdout.
#   scripts/bench-launcher.sh [pairs]       (default 61; LAUNCHER_EXE=path skips the launcher's build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
pairs=${1:-61}

# The probe and the bare window are built by CMake, as every program of the kit.
targets=(start_probe bare_window)
launcher=${LAUNCHER_EXE:-}
[ -n "$launcher" ] || targets+=(launcher)
(cd "$root" && cmake --preset windows >/dev/null &&
  cmake --build --preset windows --target "${targets[@]}" -j 2 >/dev/null)
launcher=${launcher:-$root/build/windows/launcher/launcher.exe}
bench=$root/build/windows/tools/bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/launcher" "$work/bare"
cp "$bench/start_probe.exe" "$work/"
cp "$bench/bare_window.exe" "$work/bare/"
# Each program alone in a folder, stripped as shipped; the main window needs no other file.
x86_64-w64-mingw32-strip -o "$work/launcher/launcher.exe" "$launcher"

# A prefix of the bench's own, so that a test run elsewhere cannot disturb it.
export WINEPREFIX=${BENCH_WINEPREFIX:-$root/build/bench-wineprefix}
(cd "$work" && "$root/scripts/with-wine.sh" wine start_probe.exe --pairs "$pairs" \
  'launcher\launcher.exe' 'bare\bare_window.exe') | tr -d '\r' >"$work/rows"

awk -F'|' -v pairs="$pairs" '
  function sort_n(a, n,   i, j, t) {
    for (i = 2; i <= n; i++) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
  }
  # Quantile q of the n sorted values in a (nearest rank).
  function q(a, n, p,   k) { k = int(p * (n - 1) + 0.5) + 1; return a[k] }
  function spread(name, a, n, unit) {
    sort_n(a, n)
    printf "%-26s median %7.1f  min %7.1f  p25 %7.1f  p75 %7.1f  p90 %7.1f  max %7.1f %s\n",
      name, q(a, n, 0.5), a[1], q(a, n, 0.25), q(a, n, 0.75), q(a, n, 0.9), a[n], unit > "/dev/stderr"
  }
  $1 == "run" && $2 == "launcher.exe" { lv[$3] = $4; li[$3] = $5; lp[$3] = $6; lc[$3] = $8; nl++ }
  $1 == "run" && $2 == "bare_window.exe" { bv[$3] = $4; bi[$3] = $5; bp[$3] = $6; bc[$3] = $8; nb++ }
  END {
    n = 0
    for (p = 1; p <= pairs; p++) {
      if (!(p in lv) || !(p in bv) || lv[p] < 0 || bv[p] <= 0) continue
      n++
      a1[n] = lv[p]; a2[n] = bv[p]; r[n] = lv[p] / bv[p]
      a3[n] = li[p]; a4[n] = bi[p]; ri[n] = (bi[p] > 0 ? li[p] / bi[p] : 0)
      a5[n] = lp[p] / 1024; a6[n] = bp[p] / 1024; a7[n] = lc[p]; a8[n] = bc[p]
    }
    if (n == 0) { print "no complete pair measured" > "/dev/stderr"; exit 1 }
    printf "%d pairs (launcher, bare window), one Wine server and desktop\n", n > "/dev/stderr"
    spread("launcher visible", a1, n, "ms"); spread("bare window visible", a2, n, "ms")
    spread("ratio, pair by pair", r, n, "")
    spread("launcher input idle", a3, n, "ms"); spread("bare window input idle", a4, n, "ms")
    spread("idle ratio, pair by pair", ri, n, "")
    spread("launcher private", a5, n, "MB"); spread("bare window private", a6, n, "MB")
    spread("launcher CPU", a7, n, "ms"); spread("bare window CPU", a8, n, "ms")
    ratio = q(r, n, 0.5); memory = q(a5, n, 0.5)
    # A slow mode shows as a tail: the launcher'"'"'s slowest tenth of starts far behind the bare
    # window'"'"'s slowest tenth. (The 90th percentile of the pairs'"'"' ratios, printed above, adds
    # the two programs'"'"' independent noise: two copies of the bare window give 1.14 there.)
    tail_ratio = q(a1, n, 0.9) / q(a2, n, 0.9)
    printf "launcher: process start to the main window visible, divided by the same for a bare Win32 window program, under Wine (median of the pairs)|%.2f|at most 1.3|%s\n", ratio, ratio <= 1.3 ? "met" : "not met"
    printf "the same, 90th percentile of the launcher'"'"'s times divided by that of the bare window'"'"'s (no slow mode)|%.2f|at most 1.3|%s\n", tail_ratio, tail_ratio <= 1.3 ? "met" : "not met"
    printf "launcher'"'"'s private memory with the main window up, under Wine|%.1f MB|at most 7 MB|%s\n", memory, memory <= 7 ? "met" : "not met"
  }' "$work/rows"
