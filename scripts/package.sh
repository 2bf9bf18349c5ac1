#!/usr/bin/env bash
# Makes the Debian package build-deb/velt-browser_<version>_<arch>.deb: builds for
# /usr without tests, then CPack, which takes the runtime dependencies from
# dpkg-shlibdeps. Install it with: sudo apt-get install ./build-deb/velt-browser_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --package
cd build-deb
rm -f velt-browser_*.deb
cpack -G DEB
ls "$PWD"/velt-browser_*.deb
