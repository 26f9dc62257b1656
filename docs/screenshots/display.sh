# Sourced by the screenshot scripts: a scratch home and a virtual X display (number $1) for the
# real editor, and the xdotool and ImageMagick helpers they drive it with. Needs Xvfb, xdotool and
# ImageMagick; BUILD_DIR is the scripts' first argument.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)
build=$(cd "${BUILD_DIR:-$here/../../build}" && pwd)
work=$(mktemp -d)
app=
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export DISPLAY=:$1 QT_QPA_PLATFORM=xcb
Xvfb $DISPLAY -screen 0 1280x1024x24 -nolisten tcp &
xvfb=$!
sleep 1

pause() { sleep "${1:-0.4}"; }
# The newest visible window whose title matches.
window() { xdotool search --sync --onlyvisible --name "$1" | tail -1; }
shot() { import -window "$1" "$here/$2.png"; }
# The area of the screen around the main window, so that popups beside it show.
screen_shot() { import -window root -crop "$1" +repage "$here/$2.png"; }
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; pause 0.05; done; }
# Without a window manager nothing gives the focus back when a dialog closes.
main_keys() { xdotool windowfocus "$main"; pause 0.2; keys "$@"; }
