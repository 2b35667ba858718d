#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up what is missing, builds, and starts the relay server (port 50885
# unless --port N is given). With --headless it runs without a display.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" play "$here/build"
if [ "${1:-}" = "--headless" ]; then
    shift
    exec "$here/build/bin/ardesia-server" -platform offscreen "$@"
fi
exec "$here/build/bin/ardesia-server" "$@"
