#!/usr/bin/env bash
# Installs what building (and, with --tests, testing) the browser needs on Debian 12,
# then configures and builds it in ./build. Shared by run.sh and test.sh.
# With --package: what packaging needs too, and a build for /usr without tests in
# ./build-deb (scripts/package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ ninja-build pkg-config qt6-base-dev qt6-webengine-dev libgl-dev libegl-dev
          libxcb1-dev fonts-dejavu-core)
build=build
configure=()
if [[ "${1:-}" == "--package" ]]; then
    # dpkg-shlibdeps, and file, which CPack uses to find the programs and libraries.
    packages+=(dpkg-dev file)
    build=build-deb
    configure=(-DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF)
elif [[ "${1:-}" == "--tests" ]]; then
    # A virtual X server and window manager for the tests that need a real display
    # (with dbus-launch, which a desktop has, so that a bus started for the browser
    # shows), the accessibility bus that a screen reader starts (at-spi2-core), and
    # clang's fuzzing runtime for the address fuzzer.
    # desktop-file-validate and appstreamcli check the installed desktop files;
    # openssl makes a test server's certificate, pdftotext reads a printed PDF.
    packages+=(xvfb xauth openbox x11-utils xdotool dbus-x11 at-spi2-core desktop-file-utils appstream
               clang libclang-rt-14-dev openssl poppler-utils)
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

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
