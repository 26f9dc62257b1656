#!/usr/bin/env bash
# Writes the library of tunes, res/examples/NAME.fml, from res/examples/tunes.txt with the
# tinkla-cli of BUILD_DIR (default build/): a new set of the tune's format, the tune imported into
# its first melody exactly as written (no transposition). The .fml files are kept in git, so the
# program can be built and installed without running this.
#   bash tools/make_examples.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
cli="$build/tinkla-cli"
[ -x "$cli" ] || { echo "make_examples: no $cli (build tinkla-cli first)"; exit 1; }
dir="$root/res/examples"
count=0
while read -r name format tune; do
    case "$name" in '' | '#'*) continue ;; esac
    out="$dir/$name.fml"
    "$cli" new --format "$format" "$out"
    if ! printf '%s\n' "$tune" | "$cli" import "$out" 1 - --transpose 0 2>"$dir/.log"; then
        cat "$dir/.log"
        echo "make_examples: $name failed"
        rm -f "$dir/.log"
        exit 1
    fi
    # Every note as written: a fold or a dropped note means the line needs mending.
    if grep -qE 'Перенесены|отброшено' "$dir/.log"; then
        cat "$dir/.log"
        echo "make_examples: $name does not fit its format as written"
        rm -f "$dir/.log"
        exit 1
    fi
    count=$((count + 1))
done <"$dir/tunes.txt"
rm -f "$dir/.log"
echo "make_examples: $count tunes written to $dir"
