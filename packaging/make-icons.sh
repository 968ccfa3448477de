#!/usr/bin/env bash
# Draws the desktop icons from the window icon compiled into the program, so the
# launcher, the window and the software centre all show the same picture.
# Usage: packaging/make-icons.sh [OUTPUT_DIR]   (default: packaging/icons)
# Needs ImageMagick. Rerun whenever the window icon in app/windowpictures.cpp changes;
# packaging/check-package.sh fails while the committed icons lag behind it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
out=${1:-$here/icons}
source_file=$top/app/windowpictures.cpp

# /usr/local/bin/convert may be a stand-in that only knows a few conversions.
magick=/usr/bin/convert
[ -x "$magick" ] || magick=$(command -v convert) || { echo "ImageMagick's convert is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The C array of the window icon is an XPM picture already: only the wrapper differs.
{
    echo '/* XPM */'
    echo 'static const char *vexlor[] = {'
    awk '/windowIcon\[\] = \{/ { inside = 1; next }
         inside && /^\};/      { exit }
         inside'
    echo '};'
} < "$source_file" > "$work/vexlor.xpm"
grep -q '"32 32 ' "$work/vexlor.xpm" || { echo "no 32x32 windowIcon found in $source_file" >&2; exit 1; }

for size in 16 32 48 64 128 256; do
    mkdir -p "$out/hicolor/${size}x${size}/apps"
    if [ "$size" -lt 32 ]; then
        # Averaging 2x2 blocks smears the one-pixel grid lines into mud; keeping every
        # second pixel (the lower right of each block) keeps the sheet's frame and a 4x4 chart.
        scaling=(-define sample:offset=75 -sample "${size}x${size}")
    else
        # Larger sizes keep the hard pixel edges of the original instead of blurring them.
        scaling=(-filter point -resize "${size}x${size}")
    fi
    "$magick" "$work/vexlor.xpm" "${scaling[@]}" \
        -strip -define png:exclude-chunks=date,time "PNG32:$out/hicolor/${size}x${size}/apps/vexlor.png"
done

# A scalable copy: one square per pixel run, with crisp edges so that any size stays sharp.
mkdir -p "$out/hicolor/scalable/apps"
awk '
    function unquote(s) { sub(/^[ \t]*"/, "", s); sub(/",?[ \t]*$/, "", s); return s }
    /^"/ || /^[ \t]+"/ {
        line = unquote($0)
        if (!header) {
            split(line, h, " "); w = h[1]; ht = h[2]; ncolours = h[3]; cpp = h[4]; header = 1
            printf "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" shape-rendering=\"crispEdges\">\n", w, ht, w, ht
            next
        }
        if (read_colours < ncolours) {
            key = substr(line, 1, cpp)
            rest = substr(line, cpp + 1)
            n = split(rest, parts, " ")
            for (i = 1; i < n; i++) if (parts[i] == "c") colour[key] = parts[i + 1]
            read_colours++
            next
        }
        run_start = 0; run_key = substr(line, 1, cpp)
        for (x = 1; x <= w; x++) {
            key = (x < w) ? substr(line, x * cpp + 1, cpp) : ""
            if (key != run_key) {
                if (tolower(colour[run_key]) != "none")
                    printf "  <rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"1\" fill=\"%s\"/>\n", run_start, row, x - run_start, colour[run_key]
                run_start = x; run_key = key
            }
        }
        row++
    }
    END { print "</svg>" }
' "$work/vexlor.xpm" > "$out/hicolor/scalable/apps/vexlor.svg"

echo "icons written under $out"
