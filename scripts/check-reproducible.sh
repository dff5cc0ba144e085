#!/usr/bin/env bash
# Builds the download twice from the committed HEAD, as two strangers would: two fresh clones
# in folders of different names and lengths, in different time zones, umasks and locales, one
# after the other. Fails unless both kit-<version>.zip (and their .sha256) are the same, byte
# for byte. Uncommitted changes are not in the clones: commit first.
#   scripts/check-reproducible.sh [WORK FOLDER]   (default build/reproducible)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

root=$(pwd)
work=$(mkdir -p "${1:-build/reproducible}" && cd "${1:-build/reproducible}" && pwd)
commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "note: uncommitted changes are not checked; the clones hold $commit" >&2
fi

# build_kit FOLDER TZ UMASK LOCALE: clones HEAD into FOLDER and makes the kit there, building
# only what the zip holds (no tests).
build_kit() {
  local folder=$1
  rm -rf "$folder"
  git clone -q --no-checkout "$root" "$folder"
  git -C "$folder" checkout -q --detach "$commit"
  (
    cd "$folder"
    umask "$3"
    export TZ=$2 LC_ALL=$4
    unset SOURCE_DATE_EPOCH
    cmake --preset windows -DKIT_TESTS=OFF >/dev/null
    cmake --build --preset windows -j "$(nproc)" >/dev/null
    cpack --preset kit >/dev/null
  )
}

first=$work/a
second=$work/second-clone-of-the-kit
started=$SECONDS
build_kit "$first" UTC0 022 C
build_kit "$second" NPT-5:45 077 C.UTF-8

status=0
for file in "$first"/build/windows/kit-*.zip "$first"/build/windows/kit-*.zip.sha256; do
  name=${file##*/}
  if ! cmp "$file" "$second/build/windows/$name"; then
    echo "FAIL: $name differs between the two builds" >&2
    status=1
  fi
done
zips=("$first"/build/windows/kit-*.zip)
if [ ${#zips[@]} -ne 1 ] || [ ! -f "${zips[0]}" ]; then
  echo "FAIL: the build made no single kit zip" >&2
  status=1
elif ! (cd "$first/build/windows" && sha256sum --quiet -c "${zips[0]##*/}.sha256"); then
  echo "FAIL: ${zips[0]##*/}.sha256 does not match the zip" >&2
  status=1
fi
[ $status -eq 0 ] || exit $status
echo "reproducible: ${zips[0]##*/} of $commit, built twice in $((SECONDS - started)) s:"
cat "${zips[0]}.sha256"
