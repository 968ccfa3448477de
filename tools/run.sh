#!/usr/bin/env bash
# Builds Vexlor (installing what is missing) and starts it.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/tools/setup.sh"

build="$top/build"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target vexlor

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat <<MSG
Vexlor is built, but this session has no display to show its window on.
Start it from a desktop session with:
    $build/vexlor
or inside a virtual X server with:
    xvfb-run -a $build/vexlor
MSG
    exit 0
fi
exec "$build/vexlor" "$@"
