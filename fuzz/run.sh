#!/usr/bin/env bash
# Builds the address fuzzer with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it.
#
#   fuzz/run.sh [--build-dir DIR] [--seconds N]   build, then fuzz for N s (default 60)
#   fuzz/run.sh [--build-dir DIR] --build-only    build only
#   fuzz/run.sh [--build-dir DIR] --replay        run every kept crash input and seed once
#
# Exits non-zero on any crash, sanitizer report, broken promise of the result,
# input that takes longer than 10 s, or build failure. Nothing is written into
# the source tree: a failing input found by fuzzing stays in the build folder's
# artifacts/, and the run names it, to be copied to fuzz/regressions/ and
# committed with its fix so that --replay (a CI test) keeps running it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$here/../build-fuzz"
seconds=60
mode=fuzz
while (($#)); do
    case "$1" in
        --build-dir) build="$2"; shift 2 ;;
        --seconds) seconds="$2"; shift 2 ;;
        --build-only) mode=build; shift ;;
        --replay) mode=replay; shift ;;
        *) echo "fuzz/run.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
mkdir -p "$build"
build="$(cd "$build" && pwd)"
binary="$build/fuzz_addressinput"

fail() { echo "FUZZ FAILURE: $*" >&2; exit 1; }

build_fuzzer() {
    command -v clang++ >/dev/null || fail "clang++ is not installed (apt-get install clang libclang-rt-14-dev)"
    generator=()
    command -v ninja >/dev/null && generator=(-G Ninja)
    if [[ ! -f "$build/CMakeCache.txt" ]]; then
        cmake -S "$here/harness" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 \
            || { cat "$build/configure.log" >&2; fail "configuring the fuzzer failed"; }
    fi
    cmake --build "$build" -j2 >"$build/build.log" 2>&1 \
        || { cat "$build/build.log" >&2; fail "building the fuzzer failed"; }
}

# A libFuzzer log that reports any error fails the run even if the exit status
# did not say so.
check_log() {
    local log="$1"
    if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|BROKEN PROMISE: |SUMMARY: " "$log"; then
        grep -E -A30 "ERROR:|runtime error:|BROKEN PROMISE: " "$log" | head -80 >&2
        return 1
    fi
}

# Inputs too big to keep in git, made afresh for each replay.
make_big_inputs() {
    local dir="$1"
    mkdir -p "$dir"
    { printf 'http://'; head -c 1048576 /dev/zero | tr '\0' 'a'; printf '.com/'; } >"$dir/megabyte-host"
    { printf 'http://example.com/'; head -c 1048576 /dev/zero | tr '\0' 'x'; } >"$dir/megabyte-path"
    head -c 1048576 /dev/zero | tr '\0' ' ' >"$dir/megabyte-blanks"
    # More UTF-16 units than an address may have, read as UTF-8.
    { printf 'http://example.com/'; head -c 2200000 /dev/zero | tr '\0' 'y'; } >"$dir/over-limit"
}

case "$mode" in
build)
    build_fuzzer
    echo "built $binary"
    ;;
replay)
    [[ -x "$binary" ]] || build_fuzzer
    make_big_inputs "$build/big"
    inputs=()
    for f in "$here"/regressions/* "$here"/corpus/* "$build"/big/*; do
        [[ -f "$f" ]] && inputs+=("$f")
    done
    log="$build/replay.log"
    status=0
    "$binary" -timeout=10 -rss_limit_mb=4096 "${inputs[@]}" >"$log" 2>&1 || status=$?
    if ((status != 0)) || ! check_log "$log"; then
        tail -40 "$log" >&2
        fail "replaying kept inputs (exit status $status)"
    fi
    echo "replayed ${#inputs[@]} inputs: no crash, no sanitizer report"
    ;;
fuzz)
    build_fuzzer
    mkdir -p "$build/corpus" "$build/artifacts"
    rm -f "$build"/artifacts/*
    log="$build/fuzz.log"
    status=0
    # New inputs go to the build's own corpus; the seeds in git are only read.
    "$binary" "$build/corpus" "$here/corpus" -dict="$here/addresses.dict" \
        -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/" >"$log" 2>&1 || status=$?
    runs=$(grep -oE "^Done [0-9]+ runs" "$log" | grep -oE "[0-9]+" || true)
    execs=$(grep -oE "stat::number_of_executed_units: *[0-9]+" "$log" | grep -oE "[0-9]+$" || true)
    crashes=$(find "$build/artifacts" -type f | wc -l)
    if ((status != 0)) || ((crashes > 0)) || ! check_log "$log"; then
        tail -60 "$log" >&2
        for a in "$build"/artifacts/*; do
            [[ -f "$a" ]] || continue
            echo "failing input kept in $a (copy it to fuzz/regressions/ and commit it with the fix)" >&2
        done
        fail "the address fuzzer found a fault (exit status $status, $crashes failing inputs)"
    fi
    echo "fuzz_addressinput: ${seconds} s, ${execs:-${runs:-?}} inputs run, 0 crashes, 0 sanitizer reports," \
         "corpus $(find "$build/corpus" -type f | wc -l) inputs"
    ;;
esac
