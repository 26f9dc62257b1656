#!/usr/bin/env bash
# Takes the doorbell screenshots in this folder (bell-*.png) from the real editor on a virtual X
# display, driven with xdotool: bash docs/screenshots/bell-make.sh [BUILD_DIR]. Needs Xvfb,
# xdotool and ImageMagick. The simulated doorbell is made slow (a long page store, a stretched
# clock) so that the progress dialogs stay up long enough to be taken.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
work=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export DISPLAY=:88 QT_QPA_PLATFORM=xcb
Xvfb $DISPLAY -screen 0 1280x1024x24 -nolisten tcp &
xvfb=$!
sleep 1
"$build/tinkla" --speaker none &
app=$!

pause() { sleep "${1:-0.4}"; }
window() { xdotool search --sync --onlyvisible --name "$1" | tail -1; }
shot() { import -window "$1" "$here/$2.png"; }
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; pause 0.05; done; }
# Without a window manager nothing gives the focus back when a dialog closes.
main_keys() { xdotool windowfocus "$main"; pause 0.2; keys "$@"; }

main=$(window ' - Tinkla')
xdotool windowmove "$main" 0 0 windowfocus "$main"
pause 1
keys Insert w w w w Insert d Insert x x a Insert w w

# "Звонок" → "Порт звонка...": the last item of the fifth menu.
main_keys alt Right Right Right Right Down Up Return
port=$(window 'Порт звонка')
xdotool windowmove "$port" 60 60
pause
shot "$port" bell-port
# The simulated doorbell, slowed down: the clock stretched a little, pages stored slowly.
xdotool mousemove --window "$port" 320 103 click 1
pause 0.2
xdotool type --delay 20 'stretch=4,twr=60'
xdotool mousemove --window "$port" 50 385 click 1
pause 0.8
shot "$port" bell-port-checked
keys Return
pause

main_keys ctrl+w
question=$(window '^Tinkla$')
keys Return
write=$(window 'Запись мелодий в звонок')
pause 0.8
shot "$write" bell-write
sleep 3

main_keys ctrl+r
question=$(window '^Tinkla$')
pause
shot "$question" bell-read-question
keys Return
save=$(window 'Сохранить как')
keys Escape
read=$(window 'Чтение мелодий из звонка')
pause 0.3
shot "$read" bell-read
sleep 2

main_keys ctrl+t
test=$(window 'Тестирование звонка')
pause
shot "$test" bell-test
keys Return
pause 0.3
shot "$test" bell-test-playing
keys Escape
pause
