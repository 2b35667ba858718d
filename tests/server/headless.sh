#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The server started with no display and no platform argument runs without a window and listens; on a port already taken
# it says so and exits non-zero. Every process it starts has a time limit.
set -u
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'kill %1 2>/dev/null' EXIT
# Another program may hold a port at random: then the next one is tried.
for attempt in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 30000))
    timeout 30 "$1" --port "$port" >/dev/null 2>&1 &
    timeout 5 bash -c "until (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; do sleep 0.1; done" \
        && sleep 0.2 && kill -0 %1 2>/dev/null && break
    kill %1 2>/dev/null
    wait
    [ "$attempt" = 5 ] && fail "the server never listened without a display"
done
message=$(timeout 10 "$1" --port "$port" 2>&1 >/dev/null)
status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "a busy port ended with status $status"
grep -q "cannot listen on port $port" <<<"$message" || fail "nothing said of the busy port: $message"
echo "PASS: listens headless on $port; a busy port exits $status"
