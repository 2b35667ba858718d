#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the game in the folder of its pictures.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
cd "$here/build/bin"
exec ./client
