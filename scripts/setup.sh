#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a build needs, only those that are missing,
# then configures and builds out of the source tree.
# Usage: scripts/setup.sh play|test BUILD_DIR [extra cmake args...]
#   play: the compiler, CMake and Qt 6; builds the two programs and pictures.
#   test: also the test and benchmark tools; builds everything.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kind=$1
build=$2
shift 2

# The Linguist tools build the translations; Qt's own put its buttons in the
# player's language too.
packages=(cmake g++ make qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n)
case $kind in
    play)
        configure=(-DBUILD_TESTING=OFF -DARDESIA_BENCH=OFF)
        targets=(--target client server) ;;
    test)
        packages+=(libbenchmark-dev clang-14 libclang-rt-14-dev xvfb xauth xdotool imagemagick
                   x11-utils desktop-file-utils appstream dpkg-dev man-db)
        configure=(-DBUILD_TESTING=ON)
        targets=() ;;
    *)
        echo "usage: $0 play|test BUILD_DIR [cmake args...]" >&2
        exit 2 ;;
esac

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release "${configure[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
