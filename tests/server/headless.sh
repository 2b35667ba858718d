#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The server started with no display and no platform argument runs without a
# window and listens; on a port already taken it says so and exits non-zero.
# Every process it starts has a time limit.
set -u
server=$1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
fail() { echo "FAIL: $*" >&2; exit 1; }

pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null' EXIT
listening=0
for attempt in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 30000))
    timeout 30 "$server" --port "$port" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 50); do
        if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            listening=1
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    # Still running: the port is this server's, not someone else's.
    sleep 0.2
    kill -0 "$pid" 2>/dev/null && [ "$listening" = 1 ] && break
    listening=0
done
[ "$listening" = 1 ] || fail "the server never listened without a display"

message=$(timeout 10 "$server" --port "$port" 2>&1 >/dev/null)
status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "a busy port ended with status $status"
grep -q "cannot listen on port $port" <<<"$message" || fail "nothing said of the busy port: $message"
echo "PASS: listens headless on $port; a busy port exits $status"
