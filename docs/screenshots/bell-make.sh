#!/usr/bin/env bash
# Takes the doorbell screenshots in this folder (bell-*.png) from the real editor on a virtual X
# display, driven with xdotool: bash docs/screenshots/bell-make.sh [BUILD_DIR]. Needs Xvfb,
# xdotool and ImageMagick. The simulated doorbell is made slow (a long page store, a stretched
# clock) so that the progress dialogs stay up long enough to be taken.
BUILD_DIR=${1:-} source "$(dirname "$0")/display.sh" 88
"$build/tinkla" --speaker none &
app=$!

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
