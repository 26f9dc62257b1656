#!/usr/bin/env bash
# Takes the screenshots in this folder from the real editor on a virtual X display, driven with
# xdotool: bash docs/screenshots/make.sh [BUILD_DIR]. Needs Xvfb, xdotool and ImageMagick.
BUILD_DIR=${1:-} source "$(dirname "$0")/display.sh" 87
"$build/tinkla" --speaker none &
app=$!

main=$(window ' - Tinkla')
xdotool windowmove "$main" 0 0 windowfocus "$main"
pause 1
shot "$main" main-window-empty

# A melody: notes of different tones and lengths, over two staff rows.
keys Insert w w w w Insert w w a Insert d Insert x x Insert w w w w w w w a Insert w w w w
keys Insert d d Insert x x x Insert w w a Insert Insert w w w w w Insert w w d Insert x x a
keys Insert w w w Insert
keys n
title=$(window 'Задание названия мелодии')
xdotool windowmove "$title" 120 160 windowfocus "$title"
pause
xdotool type --delay 30 'Утренний звонок'
pause
shot "$title" dialog-melody-title
keys Return
pause
main_keys o o o o o o o o
pause
shot "$main" main-window-selected-note

# The two context menus, on a note and beside the staff.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove 140 175 click 3
pause
screen_shot 700x560+0+0 context-menu-note
keys Escape
xdotool mousemove 330 420 click 3
pause
screen_shot 700x560+0+0 context-menu-melody
keys Escape
pause

# The save-modified question before a new set, then the set-format dialog.
keys ctrl+n
question=$(window '^Tinkla$')
pause
shot "$question" dialog-save-modified
keys Escape
pause
main_keys ctrl+s
save=$(window 'Сохранить как')
pause
shot "$save" dialog-save-as
xdotool type --delay 20 "$work/morning.fml"
keys Return
pause
main_keys ctrl+n
format=$(window 'Выбор формата набора мелодий')
pause
shot "$format" dialog-set-format
keys Escape
pause

# About and help.
main_keys F1
help=$(window 'Справка - Tinkla')
xdotool windowmove "$help" 40 40
pause 0.8
shot "$help" help-window
keys Escape
xdotool windowfocus "$main"
pause
xdotool mousemove 441 34 click 1
about=$(window 'О программе')
pause
shot "$about" dialog-about
keys Return
