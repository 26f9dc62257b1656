#!/usr/bin/env bash
# The installed documentation and shell completion against the programs themselves:
#   man BUILD_DIR SOURCE_DIR         every usage line, grammar word and option that the --help
#                                    texts print appears in the man pages;
#   completion BUILD_DIR SOURCE_DIR  Tab in bash offers each command's options, the PORT and SINK
#                                    words, and set or melody files where they are expected.
set -uo pipefail
mode=$1
build=$(cd "$2" && pwd)
src=$(cd "$3" && pwd)
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# The help texts in English, whatever the machine's locale (the locale need not be installed: the
# programs read the names).
unset LC_ALL LC_MESSAGES
export LANGUAGE=en LANG=en_US.UTF-8 QT_QPA_PLATFORM=offscreen
cli=$build/tinkla-cli

# The man page as a reader sees it: one line a paragraph (nothing hyphenated), plain hyphens.
render() {
    (
        export LC_ALL=C.UTF-8
        MANWIDTH=4000 man -l "$1" 2>/dev/null | col -b | sed 's/\xe2\x80\x90/-/g; s/\xe2\x88\x92/-/g'
    )
}

# The words of a help block, without the punctuation around them.
words() {
    tr -s ' \t' '\n\n' | sed -E 's/^[("]+//; s/[)",.;:]+$//' | grep -v '^$' | sort -u
}

check_man() {
    local page help
    page=$(render "$src/res/man/tinkla-cli.1")
    help=$("$cli" --help)
    local usage
    while IFS= read -r usage; do
        grep -qF -- "$usage" <<<"$page" || fail "tinkla-cli.1 lacks the usage line '$usage'"
    done < <(sed -n '/^Commands:/,/^$/p' <<<"$help" | grep -E '^  [a-z]' | sed 's/^  //')
    # The grammars and the exit statuses, word for word.
    local word
    while IFS= read -r word; do
        grep -qiF -- "$word" <<<"$page" || fail "tinkla-cli.1 lacks '$word' of the PORT/SINK/exit text"
    done < <(sed -n '/^PORT/,$p' <<<"$help" | words)

    page=$(render "$src/res/man/tinkla.1")
    help=$(QT_QPA_PLATFORM=offscreen "$build/tinkla" --help 2>/dev/null)
    [ -n "$help" ] || fail "tinkla --help printed nothing"
    while IFS= read -r word; do
        grep -qF -- "$word" <<<"$page" || fail "tinkla.1 lacks the option $word"
    done < <(grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' <<<"$help" | sed 's/^[ ,]//' | sort -u)
    # Every kind of port and sound output, as the command line's grammar names them.
    while IFS= read -r word; do
        grep -qF -- "$word" <<<"$page" || fail "tinkla.1 lacks the grammar word $word"
    done < <("$cli" --help | sed -n '/^PORT/,/^Faults/p; /^SINK/,/^$/p' |
        grep -oE '^  [a-z]+' | sed 's/^  //')
}

# complete WORDS...: what Tab offers for the last word, the words split as readline splits them
# ("--port = sim", "sim : FILE"; '' an empty word).
complete_line() {
    (
        cd "$work" || exit 1
        # shellcheck disable=SC1091
        source /usr/share/bash-completion/bash_completion
        source "$src/res/completion/tinkla-cli"
        compopt() { :; } # only readline has a word to set options for
        COMP_WORDS=("$@")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE=$1
        local i
        for ((i = 1; i < ${#COMP_WORDS[@]}; i++)); do
            case ${COMP_WORDS[i]}:${COMP_WORDS[i - 1]} in
            =:* | ::* | *:= | *::) COMP_LINE+=${COMP_WORDS[i]} ;;
            *) COMP_LINE+=" ${COMP_WORDS[i]}" ;;
            esac
        done
        COMP_POINT=${#COMP_LINE}
        PATH="$build:$PATH" _tinkla_cli tinkla-cli "${COMP_WORDS[COMP_CWORD]}" \
            "${COMP_WORDS[COMP_CWORD - 1]}"
        printf '%s\n' "${COMPREPLY[@]}" | sort
    )
}

# expect "WORDS" CANDIDATE...: every CANDIDATE is offered. refuse: none of them is.
offered() {
    local line=$1
    eval "set -- $line"
    complete_line "$@"
}
expect() {
    local line=$1 got c
    shift
    got=$(offered "$line")
    for c in "$@"; do
        grep -qxF -- "$c" <<<"$got" || fail "'$line' does not offer '$c' (offers: $(echo $got))"
    done
}
refuse() {
    local line=$1 got c
    shift
    got=$(offered "$line")
    for c in "$@"; do
        grep -qxF -- "$c" <<<"$got" && fail "'$line' offers '$c'"
    done
}

check_completion() {
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    touch "$work/a.fml" "$work/b.mel" "$work/c.txt"
    mkdir "$work/sub"
    local help commands
    help=$("$cli" --help)
    # shellcheck disable=SC2207
    commands=($(sed -n '/^Commands:/,/^$/p' <<<"$help" | grep -oE '^  [a-z-]+' | sed 's/^  //'))
    expect "tinkla-cli ''" "${commands[@]}" --help --version
    # Each command's options, as its usage line names them.
    local c
    for c in "${commands[@]}"; do
        # shellcheck disable=SC2046
        expect "tinkla-cli $c -" $("$cli" "$c" --help 2>/dev/null | head -1 | grep -oE -- '(^|[ [])--?[a-z][a-z-]*' |
            sed 's/^[ [ ]//' | sort -u)
    done
    refuse "tinkla-cli play -" --port --force
    # word line                                        candidates
    expect "tinkla-cli write a.fml --port ''"          sim sim: direct:0x378 exec: ppdev:
    expect "tinkla-cli read x.fml --port = ''"         sim direct:0x378
    expect "tinkla-cli test --port sim : ''"           a.fml sub/
    expect "tinkla-cli test --port ppdev : ''"         /dev/parport0
    expect "tinkla-cli play a.fml 1 --speaker ''"      audio pcspkr ports wav: none
    expect "tinkla-cli silence --speaker wav : s"      sub/
    expect "tinkla-cli new --format ''"                32x7 8x31 1x255
    expect "tinkla-cli import a.fml 1 --transpose ''"  fit
    expect "tinkla-cli info ''"                        a.fml b.mel sub
    expect "tinkla-cli melody-save ''"                 a.fml sub
    refuse "tinkla-cli melody-save ''"                 b.mel c.txt
    expect "tinkla-cli melody-load a.fml 1 ''"         b.mel sub
    refuse "tinkla-cli melody-load a.fml 1 ''"         a.fml c.txt
    expect "tinkla-cli import a.fml 1 ''"              c.txt
    expect "tinkla-cli examples ''"                    ode_to_joy
    expect "tinkla-cli examples ode_to_joy ''"         a.fml
}

case $mode in
man) check_man ;;
completion) check_completion ;;
*) echo "usage: $0 man|completion BUILD_DIR SOURCE_DIR" >&2; exit 2 ;;
esac
[ $failures -eq 0 ] || { echo "$failures failures"; exit 1; }
echo "all passed"
