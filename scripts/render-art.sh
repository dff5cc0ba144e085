#!/usr/bin/env bash
# Renders the launcher's artwork from the SVG sources in launcher/resources/art/ into the files
# that the build embeds (committed, so the build itself needs no renderer), checks each result
# and prints one line per file. The same sources give the same bytes on every run.
set -euo pipefail
cd "$(dirname "$0")/.."

art=launcher/resources/art
out=launcher/resources

if ! command -v rsvg-convert >/dev/null || ! command -v zopflipng >/dev/null; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    librsvg2-bin zopfli >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "render-art: $*" >&2
  exit 1
}

# Renders SVG at SIZE x SIZE into an 8-bit RGBA PNG with no time stamps in it.
render() {
  local svg=$1 size=$2 png=$3
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$work/raw.png"
  convert "$work/raw.png" -strip +set date:create +set date:modify \
    -define png:exclude-chunks=date,time PNG32:"$png"
}

# As render, then packed tighter for the exe (the same pixels, a third fewer bytes): 8 bits
# per channel, RGBA or, where the colours are few, a palette.
render_packed() {
  render "$1" "$2" "$work/unpacked.png"
  zopflipng -y --filters=0me "$work/unpacked.png" "$3" >/dev/null
}

# Unsigned big-endian integer of COUNT bytes at OFFSET in FILE.
be_uint() {
  local value=0 byte
  for byte in $(od -An -v -tu1 -j "$2" -N "$3" "$1"); do value=$((value * 256 + byte)); done
  echo "$value"
}

# Unsigned little-endian integer of COUNT bytes at OFFSET in FILE.
le_uint() {
  local value=0 bytes i
  read -r -a bytes <<<"$(od -An -v -tu1 -j "$2" -N "$3" "$1")"
  for ((i = ${#bytes[@]} - 1; i >= 0; i--)); do value=$((value * 256 + bytes[i])); done
  echo "$value"
}

# Fails unless FILE is a PNG of SIZE x SIZE, 8 bits per channel, colour type 6 (RGBA) or,
# with PALETTE=1, 3 (palette).
check_png() {
  local file=$1 size=$2
  [ "$(od -An -v -tx1 -N 8 "$file" | tr -d ' ')" = 89504e470d0a1a0a ] || fail "$file is not a PNG"
  local width height depth type
  width=$(be_uint "$file" 16 4)
  height=$(be_uint "$file" 20 4)
  depth=$(be_uint "$file" 24 1)
  type=$(be_uint "$file" 25 1)
  [[ "$width" -eq "$size" && "$height" -eq "$size" ]] ||
    fail "$file is ${width}x$height, not ${size}x$size"
  [[ "$depth" -eq 8 && ("$type" -eq 6 || ("${PALETTE:-0}" = 1 && "$type" -eq 3)) ]] ||
    fail "$file has bit depth $depth and colour type $type, not 8-bit RGBA (type 6)"
}

# Fraction of the pixels of PNG whose alpha is 0.
transparent_fraction() {
  convert "$1" -alpha extract -threshold 0 -format '%[fx:1-mean]' info:
}

# Fails unless FILE is an icon holding exactly the given sizes, each in 32-bit colour: a
# 32-bit bitmap, or an RGBA PNG for the 256-pixel image.
check_ico() {
  local file=$1
  shift
  local sizes=("$@")
  [[ "$(le_uint "$file" 0 2)" -eq 0 && "$(le_uint "$file" 2 2)" -eq 1 ]] ||
    fail "$file is not an icon file"
  local count
  count=$(le_uint "$file" 4 2)
  [ "$count" -eq ${#sizes[@]} ] || fail "$file holds $count images, not ${#sizes[@]}"
  local index entry width height bpp offset size
  for ((index = 0; index < count; index++)); do
    entry=$((6 + 16 * index))
    width=$(le_uint "$file" "$entry" 1)
    height=$(le_uint "$file" $((entry + 1)) 1)
    bpp=$(le_uint "$file" $((entry + 6)) 2)
    offset=$(le_uint "$file" $((entry + 12)) 4)
    size=${sizes[index]}
    [[ "$width" -eq $((size % 256)) && "$height" -eq $((size % 256)) ]] ||
      fail "$file image $index is not ${size}x$size"
    if [ "$(od -An -v -tx1 -j "$offset" -N 4 "$file" | tr -d ' ')" = 89504e47 ]; then
      dd if="$file" of="$work/entry.png" bs=1 skip="$offset" status=none
      check_png "$work/entry.png" "$size"
    else
      [[ "$bpp" -eq 32 && "$(le_uint "$file" $((offset + 14)) 2)" -eq 32 ]] ||
        fail "$file image $index ($size px) is not 32-bit"
    fi
  done
}

report() {
  printf '%-14s %s, %s bytes\n' "$(basename "$1")" "$2" "$(stat -c %s "$1")"
}

# The pictures at 1x (96 dpi), and at 1.5x and 2x for denser screens, each drawn from its
# source at that size: NAME.png, NAME-150.png and NAME-200.png.
scales=("" 100 "-150" 150 "-200" 200)

# The main window's portrait: about a third of it must stay fully transparent.
for ((i = 0; i < ${#scales[@]}; i += 2)); do
  file="$out/portrait${scales[i]}.png"
  size=$((256 * scales[i + 1] / 100))
  render_packed "$art/portrait.svg" "$size" "$file"
  PALETTE=1 check_png "$file" "$size"
  fraction=$(transparent_fraction "$file")
  awk -v f="$fraction" 'BEGIN { exit !(f >= 0.30 && f <= 0.40) }' ||
    fail "$file is $fraction transparent, outside 0.30 to 0.40"
  report "$file" "${size}x$size, $(awk -v f="$fraction" 'BEGIN { printf "%.1f", 100 * f }')% fully transparent"
done

# The dialogs' pictures.
for name in gamepad keyboard; do
  for ((i = 0; i < ${#scales[@]}; i += 2)); do
    file="$out/$name${scales[i]}.png"
    size=$((128 * scales[i + 1] / 100))
    render_packed "$art/$name.svg" "$size" "$file"
    PALETTE=1 check_png "$file" "$size"
    report "$file" "${size}x$size"
  done
done

# The application icon: the 16-pixel image has its own drawing on the pixel grid.
render "$art/icon-16.svg" 16 "$work/icon-16.png"
for size in 32 48 256; do render "$art/icon.svg" "$size" "$work/icon-$size.png"; done
convert "$work"/icon-{16,32,48,256}.png "$out/app.ico"
check_ico "$out/app.ico" 16 32 48 256
report "$out/app.ico" "16, 32, 48, 256 px, 32-bit with alpha"
