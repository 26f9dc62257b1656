#!/usr/bin/env bash
# Takes the sound output dialog (sound-output.png) from the real editor on a virtual X display,
# driven with xdotool: bash docs/screenshots/sound-make.sh [BUILD_DIR]. Needs Xvfb, xdotool and
# ImageMagick. The PC speaker is checked on a machine without its driver, so the dialog shows the
# answer that names the fix.
BUILD_DIR=${1:-} source "$(dirname "$0")/display.sh" 92
# Remembered rather than given with --speaker, so that the dialog has no note about this run.
mkdir -p "$XDG_CONFIG_HOME/Korvel"
printf '[Sound]\nSpeaker=none\n' >"$XDG_CONFIG_HOME/Korvel/Tinkla.conf"
env LANGUAGE=ru_RU "$build/tinkla" &
app=$!

main=$(window ' - Tinkla')
xdotool windowmove "$main" 0 0 windowfocus "$main"
pause 1
# "Воспроизведение" → "Вывод звука...": the last item of the fourth menu.
main_keys alt Right Right Right Down Up Return
sound=$(window 'Вывод звука')
xdotool windowmove "$sound" 60 60
pause
# "Встроенный динамик", then "Проверить".
keys alt+Cyrillic_ve alt+Cyrillic_pe
pause 0.8
shot "$sound" sound-output
keys Escape
pause
