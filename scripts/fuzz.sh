#!/usr/bin/env bash
# Fuzzes each target of tests/fuzz for SECONDS (default 60) on a copy of its seed corpus, so
# the corpus in the repository stays as it is. Builds the targets first (native configuration,
# clang sub-build). Exits non-zero when a target crashes; the input that crashed it is kept in
# build/fuzz-runs/<target>/ beside the fuzzer's log.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is missing (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

cmake --preset native >/dev/null
cmake --build --preset native --target kit_fuzz -j "$(nproc)"

failed=0
for seeds in tests/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  run=build/fuzz-runs/$target
  rm -rf "$run"
  mkdir -p "$run/corpus"
  cp "$seeds"* "$run/corpus/"
  if build/native/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=25 \
      -artifact_prefix="$run/" "$run/corpus" >"$run/log" 2>&1; then
    echo "fuzz_$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$run/log"), no fault"
  else
    failed=1
    echo "fuzz_$target: FAULT (log: $run/log)" >&2
    grep -E 'invariant broken|ERROR:|runtime error:|Test unit written' "$run/log" >&2 || tail -20 "$run/log" >&2
  fi
done
exit "$failed"
