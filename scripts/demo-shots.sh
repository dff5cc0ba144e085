#!/usr/bin/env bash
# Inside a Wine session on a virtual display: starts the launcher in the demo folder, opens
# each window by keyboard as a player would, and saves a screenshot of each.
set -euo pipefail
demo=$1
shots="$demo/screenshots"
cd "$demo"

wine launcher.exe &
launcher_pid=$!

wait_for_window() {  # title -> window id
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1) && [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "no window \"$1\"" >&2; return 1; }
  echo "$id"
}

shot() {  # window id, file name
  local x y w h
  eval "$(xdotool getwindowgeometry --shell "$1")"
  x=$X y=$Y w=$WIDTH h=$HEIGHT
  sleep 0.5
  import -silent -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$2"
  echo "saved $shots/$2"
}

keys() {  # window id, keys...
  local id=$1; shift
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  sleep 0.2
  xdotool key --delay 150 "$@"
}

main=$(wait_for_window "Зорелия")
shot "$main" main.png

# Focus starts on "Запустить"; Tab order: Геймпад 1, Клавиатура, Геймпад 2, Экран.
keys "$main" Tab Tab Return
keyboard=$(wait_for_window "Настройка клавиатуры")
shot "$keyboard" keyboard.png
keys "$keyboard" alt+F4

# Focus is back on "Клавиатура"; two more stops reach "Экран".
keys "$main" Tab Tab Return
if display=$(wait_for_window "Настройка графики"); then
  shot "$display" display.png
  keys "$display" alt+F4
fi

keys "$main" alt+F4
wait "$launcher_pid" || true
