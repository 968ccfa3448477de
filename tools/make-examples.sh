#!/usr/bin/env bash
# Regenerates examples/: draws the sample pictures, then builds demo.bin from
# them with vexlor-cli. VEXLOR_BUILD_DIR selects the build directory.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${VEXLOR_BUILD_DIR:-$top/build}"
examples="$top/examples"

cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target vexlor-cli vexlor-make-examples
cli="$build/cli/vexlor-cli"

mkdir -p "$examples"
"$build/cli/vexlor-make-examples" "$examples"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$examples"
"$cli" to-bin testpattern.bmp text.png logo.png -o "$work/plain.bin"
"$cli" to-bin gradient.png --dither floyd-steinberg -o "$work/dithered.bin"
"$cli" join "$work/plain.bin" "$work/dithered.bin" -o demo.bin
"$cli" info testpattern.bmp text.png logo.png gradient.png demo.bin
