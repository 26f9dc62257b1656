#!/usr/bin/env bash
# Takes the staff screenshots in this folder (staff-*.png) from the real editor on a virtual X
# display, driven with xdotool: bash docs/screenshots/staff-make.sh [BUILD_DIR]: the selection,
# playback following a note in the second row, the staff at 200 %, and the editor at a device
# pixel ratio of 1.5. Needs Xvfb, xdotool and ImageMagick.
BUILD_DIR=${1:-} source "$(dirname "$0")/display.sh" 89

# Starts the editor (extra environment in $@), enters a melody of two rows and selects a note.
start() {
    env "$@" "$build/tinkla" --speaker none &
    app=$!
    main=$(window ' - Tinkla')
    xdotool windowmove "$main" 0 0 windowsize "$main" 700 560 windowfocus "$main"
    pause 1
    keys Insert w w w w Insert w w a Insert d Insert x x Insert w w w w w w w a Insert w w w w
    keys Insert d d Insert x x x Insert w w a Insert Insert w w w w w Insert w w d Insert x x
    keys Insert w w w Insert x x x x Insert w w w w w w w w w Insert w w a Insert x
    keys o o o o o o o o o o
    pause
}
stop() { kill "$app"; wait "$app" 2>/dev/null || true; app=; }

start
shot "$main" staff-selection

# Playback from the start: by the time it is taken the sounding note is in the second row, and
# the view has scrolled to it.
xdotool windowsize "$main" 700 330
pause
main_keys ctrl+p
play=$(window 'Воспроизведение мелодии')
pause
keys space
pause 4.3
screen_shot 1100x400+0+0 staff-playback-second-row
keys Escape
pause
xdotool windowsize "$main" 700 560
main_keys ctrl+0 ctrl+equal ctrl+equal ctrl+equal Left Left Left Left Left Left Left Left
pause
shot "$main" staff-zoom-200
main_keys ctrl+0
pause
stop

start QT_SCALE_FACTOR=1.5
xdotool windowsize "$main" 1050 840
pause 1
shot "$main" staff-ratio-1.5
stop
