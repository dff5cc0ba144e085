#!/usr/bin/env bash
# Kills ostrel at a random moment of its write, again and again, on a stand-in game, and reports
# what the kills left behind: temporary files beside GameMain-kb.exe, and whether
# GameMain-kb.exe was whole after every kill (a complete run's output for the binding file of
# that run, or the file that stood there before it).
#
#   scripts/kill-loop.sh [--runs N] [--wine-runs M] [--ostrel PATH] [--ostrel-exe PATH]
#
# N native runs of build/native (default 200); M runs of the Windows build under Wine through
# scripts/with-wine.sh (default 0). --ostrel and --ostrel-exe name other builds to compare. Needs build/native/tests/ostrel/fake_game, and for Wine
# build/windows/ostrel/ostrel.exe. Hand-run; exits with 1 when a file was torn or
# temporary files piled up.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=200
wine_runs=0
native_ostrel=$root/build/native/ostrel/ostrel
windows_ostrel=$root/build/windows/ostrel/ostrel.exe
inside_wine=0
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --wine-runs) wine_runs=$2; shift 2 ;;
    --ostrel) native_ostrel=$(realpath "$2"); shift 2 ;;
    --inside-wine) inside_wine=1; shift ;;
    --ostrel-exe) windows_ostrel=$(realpath "$2"); shift 2 ;;
    *) echo "usage: $0 [--runs N] [--wine-runs M] [--ostrel PATH] [--ostrel-exe PATH]" >&2
       exit 2 ;;
  esac
done

fake_game=$root/build/native/tests/ostrel/fake_game
work=$root/build/kill-loop

now_us() { local t=${EPOCHREALTIME/[.,]/}; echo $(( 10#$t )); }

temporaries_in() {
  find "$1" -maxdepth 1 -name 'GameMain-kb.exe.*.tmp' -printf '%f\n' | sort
}
count_of() { grep -c . <<< "$1" || true; }

# Waits until a temporary file shows up that is not among `known`, that is until the run
# `pid` has begun its write, and names it `written`; fails when the run ends first or after
# `limit_us`.
declare -A known
written=
wait_for_write() {
  local pid=$1 limit_us=$2 start f
  start=$(now_us)
  while kill -0 "$pid" 2> /dev/null && (( $(now_us) - start < limit_us )); do
    for f in GameMain-kb.exe.*.tmp; do
      if [ -e "$f" ] && [ -z "${known[$f]:-}" ]; then
        written=$f
        return 0
      fi
    done
  done
  return 1
}

pause_us() {
  local until=$(( $(now_us) + $1 ))
  while (( $(now_us) < until )); do :; done
}

# loop LABEL RUNS COMMAND...: COMMAND runs ostrel in the current folder.
loop() {
  local label=$1 count=$2
  shift 2
  local folder=$work/$label
  rm -rf "$folder"
  mkdir -p "$folder"
  cd "$folder"
  "$fake_game" GameMain.exe

  # Two binding files, so that "the previous file" and "this run's file" differ.
  cp "$root/dist/ostrel.ini" a.ini
  sed 's/^KeyA = 0x2C/KeyA = 0x1E/; s/^KeyAB = 0/KeyAB = 0x10/' "$root/dist/ostrel.ini" > b.ini
  local ini
  for ini in a b; do
    cp "$ini.ini" ostrel.ini
    "$@" > /dev/null 2>&1
    mv GameMain-kb.exe "reference-$ini.exe"
  done
  if cmp -s reference-a.exe reference-b.exe; then
    echo "$label: the two binding files give the same output; nothing to tell apart" >&2
    exit 2
  fi

  # How long a complete run takes, and how long its temporary file lives (from its creation
  # to its rename): the kills fall uniformly within the latter.
  local start seen pid run_us=0 write_us=0 calibrations=5
  for (( i = 0; i < calibrations; i++ )); do
    known=()
    for f in $(temporaries_in .); do known[$f]=1; done
    start=$(now_us)
    "$@" > /dev/null 2>&1 &
    pid=$!
    if wait_for_write "$pid" 10000000; then
      seen=$(now_us)
      while [ -e "$written" ]; do :; done
      write_us=$(( write_us + $(now_us) - seen ))
    fi
    wait "$pid" || true
    run_us=$(( run_us + $(now_us) - start ))
  done
  run_us=$(( run_us / calibrations ))
  write_us=$(( write_us / calibrations ))
  rm -f GameMain-kb.exe

  local in_write=0 finished=0 torn=0 left_by_kill=0 most=0 i f delay status left before after
  for (( i = 1; i <= count; i++ )); do
    if (( RANDOM % 2 )); then ini=b; else ini=a; fi
    cp "$ini.ini" ostrel.ini
    if [ -f GameMain-kb.exe ]; then cp GameMain-kb.exe previous.exe; else rm -f previous.exe; fi
    before=$(temporaries_in .)
    known=()
    for f in $before; do known[$f]=1; done

    "$@" > /dev/null 2>&1 &
    pid=$!
    if wait_for_write "$pid" $(( run_us * 5 )); then
      delay=$(( (RANDOM * 32768 + RANDOM) % (write_us + 1) ))
      pause_us "$delay"
    fi
    kill -KILL "$pid" 2> /dev/null || true
    status=0
    wait "$pid" 2> /dev/null || status=$?
    if [ "$status" = 137 ]; then in_write=$(( in_write + 1 )); else finished=$(( finished + 1 )); fi

    if [ -f GameMain-kb.exe ]; then
      if ! cmp -s GameMain-kb.exe "reference-$ini.exe" &&
         ! { [ -f previous.exe ] && cmp -s GameMain-kb.exe previous.exe; }; then
        torn=$(( torn + 1 ))
        cp GameMain-kb.exe "torn-$i.exe"
      fi
    elif [ -f previous.exe ]; then
      torn=$(( torn + 1 ))  # an existing file vanished
    fi
    after=$(temporaries_in .)
    left=$(count_of "$after")
    (( left > most )) && most=$left
    [ "$(count_of "$(comm -13 <(echo "$before") <(echo "$after"))")" -gt 0 ] &&
      left_by_kill=$(( left_by_kill + 1 ))
  done
  local at_end after_complete
  at_end=$(count_of "$(temporaries_in .)")
  cp a.ini ostrel.ini
  "$@" > /dev/null 2>&1
  after_complete=$(count_of "$(temporaries_in .)")
  cmp -s GameMain-kb.exe reference-a.exe || torn=$(( torn + 1 ))

  echo "$label: $count runs (whole run $(( run_us / 1000 )) ms, its write" \
    "$(( write_us / 1000 )).$(( write_us % 1000 / 100 )) ms): $in_write killed, $finished ended before the kill;" \
    "$left_by_kill left a temporary file; GameMain-kb.exe torn or lost: $torn"
  echo "$label: temporary files: at most $most at once, $at_end after the last run," \
    "$after_complete after one more complete run"
  cd "$root"
  [ "$torn" = 0 ] && [ "$after_complete" = 0 ] && [ "$most" -le 1 ]
}

if [ "$inside_wine" = 1 ]; then
  loop wine "$wine_runs" wine "$windows_ostrel"
  exit
fi

[ -x "$fake_game" ] || { echo "build the native preset first ($fake_game)" >&2; exit 2; }
rc=0
if [ "$runs" -gt 0 ]; then
  loop native "$runs" "$native_ostrel" || rc=1
fi
if [ "$wine_runs" -gt 0 ]; then
  [ -f "$windows_ostrel" ] || { echo "build the windows preset first ($windows_ostrel)" >&2; exit 2; }
  "$root/scripts/with-wine.sh" "$0" --inside-wine --wine-runs "$wine_runs" \
    --ostrel-exe "$windows_ostrel" || rc=1
fi
exit $rc
