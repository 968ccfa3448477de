#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests still lack.
# Sourced by run.sh and test.sh; does nothing when everything is present.
set -euo pipefail

VEXLOR_PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev zlib1g-dev libwebp-dev libjpeg-dev libfreetype-dev
    qt6-image-formats-plugins libqt6svg6 qt6-translations-l10n fonts-dejavu-core
    libbenchmark-dev python3-pil time
    xvfb xauth xclip x11-utils imagemagick poppler-utils
    clang libclang-rt-14-dev valgrind
    appstream desktop-file-utils dpkg-dev file
    lintian srecord
    gcc-avr avr-libc gputils
    fonts-terminus-otb xfonts-base fonts-wqy-microhei
)

vexlor_missing_packages() {
    local missing=() p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    echo "${missing[@]:-}"
}

vexlor_install() {
    local missing
    missing=$(vexlor_missing_packages "$@")
    [ -z "$missing" ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Missing packages: $missing (run as root or install sudo)" >&2; exit 1; }
        sudo=(sudo)
    fi
    echo "Installing Debian packages: $missing"
    "${sudo[@]}" apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends $missing
}

vexlor_install "${VEXLOR_PACKAGES[@]}"
