#!/usr/bin/env bash
# Builds the Debian package from a build directory and checks what a user would
# get from it: the files and where they land, the run-time dependencies, the
# launcher entry, the AppStream data, the manual pages and the icons.
# Usage: packaging/check-package.sh [BUILD_DIR]   (default: build/)
# An existing, built BUILD_DIR is reused as it is; an empty one is configured and
# built first. Nothing is installed: the package is only unpacked in a temporary
# directory, which is removed at the end.

# Checks run as 'bash -c SCRIPT _ ARGS...': the single quotes are meant, the arguments expand inside.
# shellcheck disable=SC2016
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
build=$(realpath -m "${1:-$top/build}")

failures=0
passes=0
ok()   { passes=$((passes + 1)); echo "ok:   $*"; }
fail() { failures=$((failures + 1)); echo "FAIL: $*"; }
indent() { sed 's/^/      /'; }
check() {  # check DESCRIPTION COMMAND... : the command's success is the check
    local what=$1; shift
    local output
    if output=$("$@" 2>&1); then ok "$what"; else fail "$what"; [ -n "$output" ] && printf '%s\n' "$output" | indent; fi
}
die() { echo "FAIL: $*"; exit 1; }

for tool in cmake cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli file groff lintian; do
    command -v "$tool" >/dev/null || die "$tool is missing (bash tools/setup.sh installs it)"
done
[ -x /usr/bin/convert ] || die "ImageMagick is missing (bash tools/setup.sh installs it)"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -DVEXLOR_BENCHMARKS=OFF >/dev/null || die "configuring $build"
    cmake --build "$build" --parallel "$(nproc)" || die "building $build"
fi
[ -f "$build/CPackConfig.cmake" ] || die "$build/CPackConfig.cmake missing: packaging/ was not configured"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$version" ] || die "no CPACK_PACKAGE_VERSION in $build/CPackConfig.cmake"

echo "== cpack -G DEB ($build, version $version)"
if ! (cd "$build" && cpack --config CPackConfig.cmake -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
    indent <"$work/cpack.log"
    # cpack first brings the build up to date ('preinstall'); show why that failed.
    preinstall_log=$work/out/_CPack_Packages/Linux/DEB/PreinstallOutput.log
    [ -f "$preinstall_log" ] && grep -E -m 20 'error|Error' "$preinstall_log" | indent
    die "cpack -G DEB"
fi
shopt -s nullglob
debs=("$work"/out/vexlor_*.deb)
shopt -u nullglob
[ "${#debs[@]}" -eq 1 ] || die "expected one vexlor_*.deb, got: ${debs[*]:-none}"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
check "file name is vexlor_${version}_${arch}.deb" test "$(basename "$deb")" = "vexlor_${version}_${arch}.deb"

echo "== control fields"
field() { dpkg-deb -f "$deb" "$1"; }
check "Package is vexlor" test "$(field Package)" = vexlor
check "Version is $version" test "$(field Version)" = "$version"
check "Architecture is $arch" test "$(field Architecture)" = "$arch"
check "Maintainer has the form 'Name <address>'" grep -Eq '^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$' <<<"$(field Maintainer)"
check "Section is set" test -n "$(field Section)"
check "Description has a synopsis and a long text" \
    bash -c '[ "$(dpkg-deb -f "$1" Description | wc -l)" -ge 3 ]' _ "$deb"
depends=$(field Depends)
echo "      Depends: $depends"
depends_names=$(awk '{ print $1 }' <<<"${depends//, /$'\n'}")
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    qt6-image-formats-plugins libqt6svg6 qt6-translations-l10n fonts-dejavu-core zlib1g \
    libwebp7 libwebpdemux2 libjpeg62-turbo libfreetype6; do
    check "Depends names $library" grep -qxF "$library" <<<"$depends_names"
done
# Development packages or sanitizer run-times in Depends would mean a wrong build was packaged.
check "Depends names no -dev package nor sanitizer run-time" \
    bash -c '! grep -Eq -- "-dev( |,|$)|libasan|libubsan|libtsan" <<<"$1"' _ "$depends"

echo "== contents"
dpkg-deb -c "$deb" >"$work/contents" || die "dpkg-deb -c"
paths=$(awk '{ print $6 }' "$work/contents" | sed 's|^\./|/|')
required=(
    /usr/bin/vexlor
    /usr/bin/vexlor-cli
    /usr/share/applications/vexlor.desktop
    /usr/share/metainfo/io.github.vexlor.Vexlor.metainfo.xml
    /usr/share/man/man1/vexlor.1.gz
    /usr/share/man/man1/vexlor-cli.1.gz
    /usr/share/icons/hicolor/scalable/apps/vexlor.svg
    /usr/share/cmake/Vexlor/VexlorConfig.cmake
    /usr/share/cmake/Vexlor/VexlorConfigVersion.cmake
    /usr/share/cmake/Vexlor/VexlorImages.cmake
)
for size in 16 32 48 64 128 256; do
    required+=("/usr/share/icons/hicolor/${size}x${size}/apps/vexlor.png")
done
for path in "${required[@]}"; do
    check "contains $path" grep -qxF "$path" <<<"$paths"
done
check "every file lies under /usr/bin or /usr/share" \
    bash -c '! grep -Ev "^/(usr/?|usr/bin/.*|usr/share/.*)?$" <<<"$1"' _ "$paths"
check "every entry belongs to root:root" bash -c '! awk "\$2 != \"root/root\"" "$1" | grep -q .' _ "$work/contents"
check "the programs are executable by all (rwxr-xr-x)" \
    bash -c '[ "$(grep -Ec "^-rwxr-xr-x .* \./usr/bin/vexlor(-cli)?$" "$1")" -eq 2 ]' _ "$work/contents"

dpkg-deb -x "$deb" "$work/root" || die "dpkg-deb -x"
root=$work/root
for program in vexlor vexlor-cli; do
    check "$program is a stripped executable" \
        bash -c 'file -b "$1" | grep -q "ELF .*executable.*, stripped"' _ "$root/usr/bin/$program"
done
check "packaged vexlor-cli --version reports $version" \
    bash -c '"$1" --version | head -n 1 | grep -qxF "vexlor-cli $2"' _ "$root/usr/bin/vexlor-cli" "$version"

check "the packaged CMake package builds the example project" bash -c '
    cmake -S "$1/examples/cmake" -B "$2/example" -DCMAKE_PREFIX_PATH="$3/usr" >/dev/null &&
    cmake --build "$2/example" >/dev/null && "$2/example/show_logo" >/dev/null' \
    _ "$top" "$work" "$root"

echo "== Debian policy"
check "lintian has nothing to say" bash -c '
    out=$(lintian --tag-display-limit 0 "$1" 2>&1 | grep -v "running with root privileges")
    [ -z "$out" ] || { printf "%s\n" "$out"; exit 1; }' _ "$deb"
check "the copyright file names GPL-3+ and the authors" bash -c '
    grep -qx "License: GPL-3+" "$1" && grep -qx "Copyright: 2026 Les auteurs de Vexlor" "$1"' _ "$root/usr/share/doc/vexlor/copyright"
check "metainfo names the licence" grep -qF "<project_license>GPL-3.0-or-later</project_license>" "$root/usr/share/metainfo/io.github.vexlor.Vexlor.metainfo.xml"

echo "== launcher entry and AppStream data"
check "desktop-file-validate packaging/vexlor.desktop" desktop-file-validate "$here/vexlor.desktop"
check "appstreamcli validate --no-net packaging/io.github.vexlor.Vexlor.metainfo.xml" \
    appstreamcli validate --no-net "$here/io.github.vexlor.Vexlor.metainfo.xml"
desktop=$root/usr/share/applications/vexlor.desktop
metainfo=$root/usr/share/metainfo/io.github.vexlor.Vexlor.metainfo.xml
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
check "Exec=$exec_line starts a packaged program" test -x "$root/usr/bin/${exec_line%% *}"
check "Icon=$icon_name has packaged icons" test -f "$root/usr/share/icons/hicolor/48x48/apps/$icon_name.png"
check "metainfo launches the packaged desktop file" \
    grep -qF '<launchable type="desktop-id">vexlor.desktop</launchable>' "$metainfo"
check "metainfo names the packaged icon" grep -qF "<icon type=\"stock\">$icon_name</icon>" "$metainfo"
check "metainfo's newest release is $version" \
    bash -c 'grep -o "<release version=\"[^\"]*\"" "$1" | head -n 1 | grep -qF "\"$2\""' _ "$metainfo" "$version"
check "desktop file and metainfo list the same categories" bash -c '
    a=$(sed -n "s/^Categories=//p" "$1" | tr ";" "\n" | sed "/^$/d" | sort)
    b=$(grep -o "<category>[^<]*</category>" "$2" | sed "s/<[^>]*>//g" | sort)
    [ "$a" = "$b" ]' _ "$desktop" "$metainfo"

echo "== icons"
for size in 16 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/vexlor.png
    check "${size}x${size} icon is a ${size} x ${size} PNG" \
        bash -c 'file -b "$1" | grep -q "^PNG image data, $2 x $2,"' _ "$png" "$size"
done
# The launcher must show the same picture as the window: redraw from the window
# icon in the sources and compare pixel by pixel with the committed files.
if bash "$here/make-icons.sh" "$work/icons" >"$work/icons.log" 2>&1; then
    for size in 16 32 48 64 128 256; do
        rel=hicolor/${size}x${size}/apps/vexlor.png
        check "committed $rel matches the window icon" \
            bash -c '[ "$(/usr/bin/compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]' _ "$here/icons/$rel" "$work/icons/$rel"
    done
    check "committed scalable icon matches the window icon" \
        cmp -s "$here/icons/hicolor/scalable/apps/vexlor.svg" "$work/icons/hicolor/scalable/apps/vexlor.svg"
else
    fail "packaging/make-icons.sh"; indent <"$work/icons.log"
fi

echo "== manual pages"
for page in vexlor vexlor-cli; do
    check "$page.1 formats without warnings" \
        bash -c '[ -z "$(gzip -dc "$1" | LC_ALL=C.UTF-8 groff -ww -man -z 2>&1)" ]' _ "$root/usr/share/man/man1/$page.1.gz"
    check "$page.1 has a NAME line apropos can read" \
        bash -c 'gzip -dc "$1" | sed -n "/^\.SH NAME/{n;p}" | grep -q "^$2 \\\\- "' _ "$root/usr/share/man/man1/$page.1.gz" "$page"
done
# The manual of vexlor-cli is written by hand: compare it with the program's own
# help, command by command and option by option, in both directions.
cli=$build/cli/vexlor-cli
man=$here/vexlor-cli.1
if [ -x "$cli" ]; then
    commands=$("$cli" --help | awk '/^Commands:/ { inside = 1; next } inside && /^$/ { exit } inside { print $1 }')
    check "vexlor-cli --help lists commands" test -n "$commands"
    documented=$(sed -n 's/^\.SS "\([a-z\\-]*\) .*/\1/p' "$man" | sed 's/\\-/-/g')
    check "the manual documents exactly the commands of vexlor-cli --help" \
        test "$(sort <<<"$commands")" = "$(sort <<<"$documented")"
    for command in $commands; do
        help_options=$("$cli" "$command" --help | grep -o -- '--[a-z0-9-]*' | sort -u | grep -vxE -- '--help(-all)?')
        man_options=$(awk -v cmd="$command" '
            /^\.S[SH] / { inside = 0 }
            /^\.SS "/ { name = $2; gsub(/"/, "", name); gsub(/\\-/, "-", name); inside = (name == cmd) }
            inside' "$man" | grep -o -- '\\-\\-[a-z0-9\\-]*' | sed 's/\\-/-/g' | sort -u)
        check "manual of $command lists the options of '$command --help'" \
            test "$help_options" = "$man_options"
        [ "$help_options" = "$man_options" ] ||
            diff <(echo "$help_options") <(echo "$man_options") | indent
    done
else
    fail "no built $cli to compare the manual with"
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
