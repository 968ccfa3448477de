#!/usr/bin/env bash
# Starts Vexlor in a virtual X server with the sample files loaded and saves a
# screenshot of every page into docs/screenshots/.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/tools/setup.sh"
build="${VEXLOR_BUILD_DIR:-$top/build}"

cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target vexlor-screenshots
mkdir -p "$top/docs/screenshots"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/tools/vexlor-screenshots" "$top/examples" "$top/docs/screenshots"
ls "$top/docs/screenshots"
