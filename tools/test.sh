#!/usr/bin/env bash
# Installs what is missing, checks the format of the sources, then builds (warnings are errors)
# and runs every test three ways:
#   1. the normal build and its unit and widget tests (build/);
#   2. the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/);
#   3. a bounded run of every fuzz target on its seed corpus (build-fuzz/, clang).
# Each stage prints one summary line; a failing build shows its errors, failing tests their whole
# output, and ctest's own "N tests passed/failed" lines close both test stages.
#
# FUZZ_SECONDS sets each fuzz target's run (default 20); TINKLA_STAGES picks stages by number
# (default "123").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/deps.sh
export QT_QPA_PLATFORM=offscreen
# Tests never touch the user's own settings or doorbell memory.
export XDG_CONFIG_HOME="${XDG_CONFIG_HOME:-$(mktemp -d)}"
export XDG_DATA_HOME="${XDG_DATA_HOME:-$(mktemp -d)}"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
jobs=$(nproc)
stages=${TINKLA_STAGES:-123}
logs=$(mktemp -d)
failed=0
started=$SECONDS

elapsed() {
    local s=$(($SECONDS - $1))
    printf '%dm%02ds' $((s / 60)) $((s % 60))
}

# build NAME DIR CMAKE-ARGS...: configures and builds quietly; on failure shows the compiler's
# errors (the first ones matter) and the end of the log.
build() {
    local name=$1 dir=$2 t=$SECONDS
    shift 2
    local log="$logs/$name.log"
    if cmake -S . -B "$dir" -G Ninja "$@" >"$log" 2>&1 && cmake --build "$dir" -j"$jobs" >>"$log" 2>&1; then
        echo "== $name: built in $(elapsed $t)"
        return 0
    fi
    grep -E -A5 'error:|Error |FAILED:|CMake Error' "$log" | head -150 || true
    echo "..."
    tail -20 "$log"
    echo "== $name: BUILD FAILED after $(elapsed $t) (whole log: $log)"
    return 1
}

# check NAME DIR: runs ctest; the progress lines of passing tests are left out, everything else
# (the whole output of every failing test and ctest's closing summary) is shown.
check() {
    local name=$1 dir=$2 t=$SECONDS
    local log="$logs/$name.log"
    local status=0
    ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 600 >"$log" 2>&1 || status=$?
    grep -v -E '^ *(Start +[0-9]+:|[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed)|^Test project |^Internal ctest changing|^$' "$log" |
        sed -E 's/ \.{3,}/ .../' || true
    if [ $status -eq 0 ]; then
        echo "== $name: passed in $(elapsed $t)"
    else
        echo "== $name: FAILED after $(elapsed $t) (whole log: $log)"
    fi
    return $status
}

# The sources as .clang-format lays them out: a difference is shown and fails the run.
t=$SECONDS
if git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror >"$logs/format.log" 2>&1; then
    echo "== format: clean in $(elapsed $t)"
else
    head -40 "$logs/format.log"
    echo "== format: FAILED (clang-format -i on the files named above mends it)"
    failed=1
fi

# The menu entry and the software-centre entry, as desktops and software centres read them.
t=$SECONDS
if desktop-file-validate res/*.desktop >"$logs/desktop.log" 2>&1 &&
    appstreamcli validate --no-net res/*.metainfo.xml >>"$logs/desktop.log" 2>&1; then
    echo "== desktop files: valid in $(elapsed $t)"
else
    cat "$logs/desktop.log"
    echo "== desktop files: FAILED (desktop-file-validate, appstreamcli validate --no-net)"
    failed=1
fi

if [[ $stages == *1* ]]; then
    if build build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINKLA_WERROR=ON; then
        check tests build || failed=1
    else
        failed=1
    fi
fi

if [[ $stages == *2* ]]; then
    # Qt, fontconfig and glib keep some allocations until exit on purpose; tools/lsan.supp names
    # them so that a leak of our own still fails the run. The sound tests crash a child process on
    # purpose to see that the speaker is silenced on the way down: the program's handler must see
    # SIGSEGV as a real run would (a stray one still fails its test, without ASan's stack).
    export ASAN_OPTIONS="detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:handle_segv=0"
    export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    # Warnings are stage 1's to catch: the sanitizers' instrumentation makes GCC's flow warnings
    # (array bounds inside Qt's inline code) misfire.
    if build sanitizer-build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINKLA_SANITIZE=ON -DTINKLA_WERROR=OFF \
        -DTINKLA_BENCH=OFF; then
        check sanitizer-tests build-asan || failed=1
    else
        failed=1
    fi
    unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
fi

if [[ $stages == *3* ]]; then
    # Fuzzing needs clang; each target runs for a bounded time on its seed corpus.
    if build fuzz-build build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTINKLA_FUZZ=ON -DTINKLA_GUI=OFF -DTINKLA_TESTS=OFF -DTINKLA_BENCH=OFF; then
        t=$SECONDS
        if bash tools/fuzz.sh build-fuzz "${FUZZ_SECONDS:-20}"; then
            echo "== fuzz: passed in $(elapsed $t)"
        else
            echo "== fuzz: FAILED after $(elapsed $t)"
            failed=1
        fi
    else
        failed=1
    fi
fi

if [ $failed -eq 0 ]; then
    echo "== all stages passed in $(elapsed $started)"
else
    echo "== FAILED after $(elapsed $started)"
fi
exit $failed
