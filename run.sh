#!/usr/bin/env bash
# Sets up, builds and starts Velt Browser.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Velt Browser needs a graphical desktop and this session has none (DISPLAY and WAYLAND_DISPLAY are unset): run ./run.sh from a terminal on your desktop, or without a screen under a virtual display with: xvfb-run -a ./run.sh (from the xvfb package)." >&2
    exit 1
fi
exec build/app/velt-browser
