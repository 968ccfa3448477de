#!/usr/bin/env bash
# Builds Vexlor and runs every test headless (installing what is missing).
# VEXLOR_BUILD_DIR and VEXLOR_CMAKE_ARGS select another build, e.g. with sanitizers.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/tools/setup.sh"

build="${VEXLOR_BUILD_DIR:-$top/build}"
# shellcheck disable=SC2086
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VEXLOR_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure --timeout 300 "$@"
