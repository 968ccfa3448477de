#!/usr/bin/env bash
# Runs vexlor-cli under valgrind's memcheck over damaged pictures and bad
# binary files, and over good ones for comparison. AddressSanitizer cannot see
# a decoder leaving pixels unwritten; memcheck sees them reach the output.
# Any memcheck finding fails the run, as does an exit status other than the
# one expected (1 for a refused file).
#   bash tools/memcheck.sh [BUILD_DIR]    (default build/, built if needed)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/tools/setup.sh"

build="${1:-$top/build}"
if [ ! -x "$build/cli/vexlor-cli" ]; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VEXLOR_CMAKE_ARGS:-} >/dev/null
    cmake --build "$build" --parallel "$(nproc)" --target vexlor-cli
fi
cli="$build/cli/vexlor-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# libjpeg-turbo's SIMD code works on whole vectors that run into the padding
# of its rows, lane by lane beyond what memcheck follows: it reports their
# bytes as uninitialised even in djpeg's output. Its plain C path decodes the
# same files, and is what memcheck watches here.
export JSIMD_FORCENONE=1

# A distinct code for memcheck's findings: 1 is the command refusing a file.
found=99
failures=0
runs=0
expect() {
    local code=$1 status=0
    shift
    runs=$((runs + 1))
    # An endless input read whole would grow until the machine gives out.
    timeout 60 valgrind --quiet --error-exitcode=$found --track-origins=yes "$cli" "$@" \
        >"$work/out" 2>"$work/err" </dev/null || status=$?
    if [ "$status" -ne "$code" ]; then
        failures=$((failures + 1))
        echo "FAILED (exit $status, expected $code): vexlor-cli $*" >&2
        tail -n 30 "$work/err" >&2
    fi
}

for f in "$top"/fuzz/regressions/picture/*; do
    expect 1 to-bin "$f" -o "$work/out.bin"
    expect 1 to-bin --fit --dither floyd-steinberg "$f" -o -
    expect 0 info "$f"
done
for f in "$top"/fuzz/corpus/picture/* "$top"/examples/*.png "$top"/examples/*.bmp; do
    expect 0 to-bin --fit --dither atkinson "$f" -o -
done

# Too large to keep: a megabyte each that would take a gigabyte; drawings
# naming other files, which are drawn without them, and with text.
python3 "$top/fuzz/make_seeds.py" --generated "$work/generated"
photo="$work/generated/refused/photo.jpg"
convert -size 128x64 gradient:black-white -quality 90 "$photo"
# Larger than the display, so that they are reduced while they are read.
convert -size 400x200 plasma:fractal -interlace JPEG "$work/progressive.jpg"
convert -size 400x200 plasma:fractal "$work/large.png"
python3 - "$photo" "$work/progressive.jpg" "$work/large.png" <<'EOF'
import sys
path, progressive, large = sys.argv[1:]
data = bytearray(open(path, "rb").read())
scan = data.index(b"\xff\xda") + 14
# Three quarters of the scan cut out, the end marker kept.
open(path.replace("photo", "scan-cut"), "wb").write(data[:scan + (len(data) - scan) // 4] + data[-2:])
frame = data.index(b"\xff\xc0") + 5
data[frame:frame + 4] = (65500).to_bytes(2, "big") * 2
open(path.replace("photo", "declared-huge"), "wb").write(data)
# Coefficients of 600 megapixels, which libjpeg would hold before reading any.
data = bytearray(open(progressive, "rb").read())
frame = data.index(b"\xff\xc2") + 5
data[frame:frame + 4] = (20000).to_bytes(2, "big") + (30000).to_bytes(2, "big")
open(path.replace("photo", "progressive-600mp"), "wb").write(data)
data = open(large, "rb").read()
open(path.replace("photo.jpg", "cut-short.png"), "wb").write(data[:len(data) // 2])
EOF
rm "$photo"
for f in "$work/progressive.jpg" "$work/large.png"; do
    expect 0 to-bin --fit "$f" -o "$work/out.bin"
done
for f in "$work"/generated/refused/*; do
    expect 1 to-bin --fit "$f" -o "$work/out.bin"
    expect 0 info "$f"
done
for f in "$work"/generated/drawn/*.svg; do
    expect 0 to-bin "$f" -o -
done

head -c 1000 /dev/urandom >"$work/short.bin"
head -c 65537 /dev/urandom >"$work/long.bin"
head -c 66561 /dev/urandom >"$work/past-65.bin"
for f in "$work/short.bin" "$work/long.bin" "$work/past-65.bin" /dev/zero; do
    expect 1 hex "$f"
    expect 1 to-bmp "$f" -o "$work/out.bmp"
done
expect 1 info /dev/zero
expect 1 to-bin /dev/zero -o "$work/out.bin"
expect 0 split "$top/examples/demo.bin" -o "$work/"
expect 0 to-bmp --all "$top/examples/demo.bin" -o "$work/"

# Fonts: a good one in both kinds and with grey rendering, then cut and
# scrambled ones, which FreeType must refuse without reading past them.
dejavu=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
if [ -f "$dejavu" ]; then
    expect 0 font "$dejavu" --font-size 16 --kind gfxfont -o "$work/font.c"
    expect 0 font "$dejavu" --font-size 12 --threshold 128 --proportional --chars 32-255 -o -
    expect 0 font "$dejavu" --font-size 16 --preview 'Hello, world' -o "$work/preview.png"
    head -c 30000 "$dejavu" >"$work/cut.ttf"
    expect 1 font "$work/cut.ttf" --font-size 16 -o "$work/font.c"
fi
head -c 4000 /dev/urandom >"$work/noise.ttf"
expect 1 font "$work/noise.ttf" --font-size 16 -o "$work/font.c"
expect 1 font /dev/zero --font-size 16 -o "$work/font.c"

echo "memcheck: $runs runs, $failures failed"
[ "$failures" -eq 0 ]
