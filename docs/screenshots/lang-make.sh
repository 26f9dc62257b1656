#!/usr/bin/env bash
# Takes the main window in each language of the interface (main-window-en.png, main-window-ru.png)
# from the real editor on a virtual X display, driven with xdotool:
# bash docs/screenshots/lang-make.sh [BUILD_DIR]. Needs Xvfb, xdotool and ImageMagick.
BUILD_DIR=${1:-} source "$(dirname "$0")/display.sh" 91

# The same titled melody with a selected note, its File menu open, under the locale LANGUAGE=$1.
take() {
    env LANGUAGE="$1" "$build/tinkla" --speaker none &
    app=$!
    main=$(window ' - Tinkla')
    xdotool windowmove "$main" 0 0 windowfocus "$main"
    pause 1
    keys Insert w w w w Insert w w a Insert d Insert x x Insert w w w w w w w a Insert w w w w
    keys Insert d d Insert x x x Insert w w a Insert Insert w w w w w Insert w w d Insert x x a
    keys o o o o
    pause
    shot "$main" "main-window-$2"
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=
}

take en_US en
take ru_RU ru
