#!/usr/bin/env bash
# The benchmark: builds the browser and the benchmark programs in Release (in
# build-bench/), measures everything under an X server of its own (Xvfb and
# openbox) and prints one table. Takes half an hour or more, 10 minutes of it fuzzing.
# Installs python3.11-doc, whose pages the load benchmark times, when missing.
#
#   bench/run.sh               every measurement, then the address fuzzer for 10 minutes
#   bench/run.sh --no-fuzz     the measurements only
#   bench/run.sh --soak        only the soak: the time window open 10 minutes
#   bench/run.sh --loads       only the page loads
#
#   BENCH_BUILD_DIR=dir        build somewhere else than build-bench/
#   BENCH_FUZZ_SECONDS=n       fuzz for n seconds instead of 600
#   BENCH_SOAK_SECONDS=n       soak for n seconds instead of 600
#
# Medians of several runs with their range; see docs/performance.md.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$top/build-bench}"
fuzz_seconds="${BENCH_FUZZ_SECONDS:-600}"
soak_seconds="${BENCH_SOAK_SECONDS:-600}"
mode=all
fuzz=1
for arg in "$@"; do
    case "$arg" in
        --soak) mode=soak ;;
        --loads) mode=loads ;;
        --no-fuzz) fuzz=0 ;;
        -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
        *) echo "bench/run.sh: unknown argument $arg" >&2; exit 2 ;;
    esac
done

for tool in cmake Xvfb openbox; do
    command -v "$tool" >/dev/null || { echo "bench/run.sh: $tool is missing (scripts/setup.sh --tests installs it)" >&2; exit 1; }
done
# The real pages the loads are timed on: Debian's Python documentation, which the
# benchmark serves itself on 127.0.0.1. Without it only the generated page is timed.
if ! dpkg-query -W -f='${Status}' python3.11-doc 2>/dev/null | grep -q "install ok installed"; then
    echo "Installing python3.11-doc (the real pages of the load benchmark) ..." >&2
    sudo=()
    if [[ $(id -u) -ne 0 ]] && command -v sudo >/dev/null; then sudo=(sudo); fi
    { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q \
        && "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends python3.11-doc; } >&2 \
        || echo "bench/run.sh: python3.11-doc could not be installed; only the generated page will be timed" >&2
fi
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
echo "Building in Release in $build ..." >&2
cmake -S "$top" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target velt_bench -j2 >/dev/null

machine() {
    local cpu mem debian qt
    cpu="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
    mem="$(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
    debian="$(cat /etc/debian_version 2>/dev/null || echo '?')"
    qt="$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || echo '?')"
    echo "Machine: $(nproc) cores, $cpu, $mem, Debian $debian, Qt $qt (qt6-base-dev), $(uname -r); load before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
}

if [[ "$mode" != all ]]; then
    only=(--soak "$soak_seconds")
    [[ "$mode" == loads ]] && only=(--loads-only)
    # Only the table and its problems: the X server and window manager may talk on stdout too.
    table="$("$build/bench/velt_bench" "${only[@]}" | grep -E '^(\||PROBLEM)')" || status=$?
    machine
    echo
    echo "$table"
    exit "${status:-0}"
fi

status=0
table="$("$build/bench/velt_bench" | grep -E '^(\||PROBLEM)')" || status=$?
if ((fuzz)); then
    echo "Fuzzing the address rules for $fuzz_seconds s ..." >&2
    if summary="$("$top/fuzz/run.sh" --build-dir "$build/fuzz-clang" --seconds "$fuzz_seconds")"; then
        runs="$(grep -oE '[0-9]+ inputs run' <<<"$summary" | grep -oE '^[0-9]+')"
        table+=$'\n'"| address fuzzer, $fuzz_seconds s (ASan + UBSan) | $runs inputs, 0 crashes, 0 sanitizer reports | | 0 crashes, 0 reports | yes |"
    else
        table+=$'\n'"| address fuzzer, $fuzz_seconds s (ASan + UBSan) | **found a fault**: see fuzz/regressions/ | | 0 crashes, 0 reports | **no** |"
        status=1
    fi
fi
machine
echo
echo "$table"
exit "$status"
