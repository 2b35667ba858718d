#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the relay server on port 50885.
# With --headless it runs without a display (Qt's offscreen platform).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
cd "$here/build/bin"
if [ "${1:-}" = "--headless" ]; then
    exec ./server -platform offscreen
fi
exec ./server
