#!/usr/bin/env bash
# Installs what building (and, with --tests, testing) the browser needs on Debian 12,
# then configures and builds it in ./build. Shared by run.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ ninja-build pkg-config qt6-base-dev qt6-webengine-dev libgl-dev libegl-dev
          libxcb1-dev fonts-dejavu-core)
if [[ "${1:-}" == "--tests" ]]; then
    # A virtual X server and window manager for the tests that need a real display
    # (with dbus-launch, which a desktop has, so that a bus started for the browser
    # shows), and clang's fuzzing runtime for the address fuzzer.
    packages+=(xvfb xauth openbox x11-utils xdotool dbus-x11 clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
