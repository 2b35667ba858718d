#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed client in the languages a desktop may ask for: its title and
# the rules page that the help key opens come in the locale's language, and
# as written under C. A screenshot of each stays in ARTIFACT_DIR.
# Usage: languages.sh CLIENT ARTIFACT_DIR  (inside xvfb-run)
set -euo pipefail
client=$1
artifacts=$2
mkdir -p "$artifacts"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
found() { xdotool search --name "$1" >/dev/null 2>&1; }
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME

# locale, window title, rules page title (as patterns: no accent needed).
while read -r locale title rules; do
    LANG=$locale LC_ALL='' LC_MESSAGES='' LANGUAGE='' timeout 60 "$client" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 100); do found "^$title\$" && break; sleep 0.2; done
    found "^$title\$" || fail "no window titled $title under $locale"
    sleep 0.5
    /usr/bin/import -window root "$artifacts/language_$locale.png"
    xdotool windowfocus --sync "$(xdotool search --name "^$title\$" | head -1)" key F1
    for _ in $(seq 50); do found "^$rules\$" && break; sleep 0.2; done
    found "^$rules\$" || fail "the help key opened no page titled $rules under $locale"
    /usr/bin/import -window root "$artifacts/language_${locale}_rules.png"
    kill "$pid"
    wait "$pid" || true
done <<'LIST'
fr_FR.UTF-8 Ardesia R.+gles
en_GB.UTF-8 Ardesia Rules
C QArdesia.multi Rules
LIST
echo "each language shown; screenshots in $artifacts"
