#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing, then configures and builds out of the source tree.
# Usage: scripts/setup.sh [BUILD_DIR] [extra cmake args...]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
shift || true

packages=(cmake g++ make qt6-base-dev libbenchmark-dev clang-14 libclang-rt-14-dev
          xvfb xauth xdotool imagemagick x11-utils)

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

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
