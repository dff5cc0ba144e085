#!/usr/bin/env bash
# Inside a Wine session on a virtual display: starts the launcher in the demo folder, opens
# each window by keyboard as a player would, starts the patched game from it, and saves a
# screenshot of each.
set -euo pipefail
demo=$1
shots=${KIT_DEMO_SHOTS_DIR:-$demo/screenshots}
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
  # A click on the title bar activates the window again (a started program, ostrel's console
  # say, may hold the foreground) without pressing anything; clicked again until it is active.
  for _ in $(seq 1 10); do
    xdotool mousemove --window "$id" 120 8 click 1
    sleep 0.3
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$id" ] && break
  done
  xdotool key --delay 150 "$@"
}

# A length of the 96-dpi layout on the demo's screen, rounded as the launcher rounds.
px() { awk -v n="$1" -v dpi="${KIT_DEMO_DPI:-96}" 'BEGIN { v = n * dpi / 96; printf "%d", v + (v >= 0 ? 0.5 : -0.5) }'; }

main=$(wait_for_window "Зорелия")
shot "$main" main.png

# Focus starts on "Запустить"; Tab order: Геймпад 1, Клавиатура, Геймпад 2, Экран.
keys "$main" Tab Tab Return
keyboard=$(wait_for_window "Настройка клавиатуры")
shot "$keyboard" keyboard.png
# As a player: OK has the focus; two Tabs reach "Легкая атака" (Z in the shipped file), Down
# picks the next key (X), back to OK and confirm. ostrel then builds GameMain-kb.exe.
keys "$keyboard" Tab Tab Down shift+Tab shift+Tab Return
for _ in $(seq 1 100); do [ -f GameMain-kb.exe ] && break; sleep 0.2; done
if [ -f GameMain-kb.exe ]; then
  sed -n 10p ostrel.ini
  # KeyA's field: 0x71C plus the key code, little-endian.
  field=$(od -An -tx4 -j $((0x56AD)) -N4 GameMain-kb.exe | tr -d ' ')
  echo "GameMain-kb.exe created; KeyA tests key 0x$(printf '%X' $((0x$field - 0x71C)))"
else
  echo "GameMain-kb.exe did not appear" >&2
fi

# Focus is back on "Клавиатура"; two more stops reach "Экран".
keys "$main" Tab Tab Return
if display=$(wait_for_window "Настройка графики"); then
  # As a player: "В окне" has the focus; Down chooses "Во весь экран", which enables the size
  # list; back to it, two sizes down (1024 x 768); then "Не масштабировать" is ticked and OK
  # writes game.ini.
  keys "$display" Down shift+Tab Down Down
  shot "$display" display.png
  keys "$display" Tab Tab space Tab Return
  for _ in $(seq 1 50); do [ -f game.ini ] && break; sleep 0.1; done
  if [ -f game.ini ]; then
    echo "game.ini: $(tr -d '\r' < game.ini | paste -sd ' ')"
  else
    echo "game.ini did not appear" >&2
  fi
fi

# "Запустить" clicked, wherever the focus is: it starts GameMain-kb.exe and ends the launcher.
# Its centre is at (124, 336) in the client area of 256 x 356 (at 96 dpi), which lies at the
# bottom of the window between equal side borders.
eval "$(xdotool getwindowgeometry --shell "$main")"
border=$(( (WIDTH - $(px 256)) / 2 ))
xdotool mousemove --window "$main" $((border + $(px 124))) \
  $((HEIGHT - border - $(px 356) + $(px 336))) click 1
for _ in $(seq 1 100); do kill -0 "$launcher_pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$launcher_pid" 2>/dev/null; then
  echo "the launcher did not end after \"Запустить\"" >&2
  kill "$launcher_pid"
fi
wait "$launcher_pid" || true
if game=$(wait_for_window "Зорелия: игра"); then
  # The key just bound to "Легкая атака" held down: that input lights up (and "Средняя
  # атака", which the shipped file binds to the same key).
  xdotool mousemove --window "$game" 120 8 click 1
  sleep 0.3
  xdotool keydown x
  shot "$game" game.png
  xdotool keyup x
  keys "$game" alt+F4
  for _ in $(seq 1 50); do xdotool search --onlyvisible --name "^Зорелия: игра\$" >/dev/null 2>&1 || break; sleep 0.1; done
fi
