#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang-14 (libFuzzer, ASan, UBSan) and runs each
# for half the time given, from a small starting corpus written here:
# relay_fuzz (what peers send the server), then client_fuzz (what the server
# sends a client). Exits non-zero on a crash, a sanitizer report or a failed check.
# Usage: fuzz/run.sh [SECONDS]     (default 30; FUZZ_BUILD_DIR overrides build-fuzz)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-"$root/build-fuzz"}
seconds=${1:-30}

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" \
    -DARDESIA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target relay_fuzz client_fuzz -j"$(nproc)" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/relay_seeds" "$work/client_seeds"

# Seeds in relay_fuzz's input language (see relay_fuzz.cpp): op byte = kind | slot << 3.
seeds="$work/relay_seeds"
# A whole opening: two requests, two game connections, a move.
printf '\x00\x04\x05WHITE\x08\x0c\x05BLACK\x10\x18\x1c\x0aPUT|2|3|1|' > "$seeds/opening"
# The colour already taken, then asked again after a reconnection.
printf '\x00\x04\x05BLACK\x08\x0c\x05BLACK\x09\x08\x0d\x05WHITE' > "$seeds/taken"
# "BLACK" split after its length, then a malformed null marker and a short move.
printf '\x00\x02\x02\x00\x0e\x02\x0e\x00\x00\x00\x0a\x00B\x00L\x00A\x00C\x00K\x02\x06\x00\x04\xff\xff\xff\xff\x04\x04PUT|' > "$seeds/split"
# Partial frames on two connections, a fifth refused, the start sent by hand.
printf '\x00\x08\x02\x03\x00\x0e\x00\x0a\x04\x00\x0a\x00\x00\x02\x0d\x00\x00\x0a\x00B\x00L\x00A\x00C\x00K\x0a\x08\x00\x06\x00E\x00R\x00R\x10\x18\x20\x06\x0cACKGAMEBEGIN' > "$seeds/interleave"
# A lone reader given two frames and a partial third.
printf '\x07\x20\x00\x0e\x00\x00\x00\x0a\x00B\x00L\x00A\x00C\x00K\x00\x08\x00\x00\x00\x04\x00E\x00R\x00\x04\x00' > "$seeds/reader"

# Seeds in client_fuzz's input language (see client_fuzz.cpp): a flags byte,
# then raw connection bytes (flags & 1 = 0) or texts one per line (flags & 1 = 1).
seeds="$work/client_seeds"
# One frame of ASCII text as the server writes it: length, byte count, UTF-16BE.
frame() {
    local n=$((${#1} * 2)) i
    printf "$(printf '\\x%02x\\x%02x\\x00\\x00\\x%02x\\x%02x' \
        $(((n + 4) >> 8)) $(((n + 4) & 255)) $((n >> 8)) $((n & 255)))"
    for ((i = 0; i < ${#1}; i++)); do printf '\x00%s' "${1:i:1}"; done
}
# Black granted, the game begins, white's relayed move and black's answer.
{ printf '\x00'; for t in BLACK ACKGAMEBEGINB 'PUT|2|3|1|' 'PUT|2|2|0|'; do frame "$t"; done; } \
    > "$seeds/start"
# White's game, delivered three bytes at a time: a move, a pass, a square off the board.
texts=(WHITE ACKGAMEBEGINW 'PUT|2|4|0|' 'PUT|-1|-1|0|' 'PUT|9|0|1|')
{ printf '\x06'; for t in "${texts[@]}"; do frame "$t"; done; } > "$seeds/relayed"
# Four moves that open the edge to black, then black passes.
printf '\x01PUT|2|4|0|\nPUT|2|3|1|\nPUT|1|2|0|\nPUT|1|3|1|\nPUT|-1|-1|0|\n' > "$seeds/pass"
# Another peer's texts relayed before and after the start: none of them may steer.
printf '\x01PUT|ACKGAMEBEGINB|\nERR\nACKGAMEBEGIN\n<b>&amp;</b>\nACKGAMEBEGINW\nACKGAMEBEGINB\nWHITE\n' \
    > "$seeds/injected"
# More entries than the log keeps: a quarter of a second an input, too slow to
# fuzz from, so it is run once on its own.
{ printf '\x01'; for ((i = 0; i < 1050; i++)); do printf '%d\n' "$i"; done; } > "$work/flood"

# Fontconfig keeps its configuration to the end and never frees it.
printf 'leak:libfontconfig.so\n' > "$work/lsan.supp"

status=0
run() { # name seconds max_len
    echo "$1: running for ${2}s"
    mkdir -p "$work/$1_corpus"
    # libFuzzer exits non-zero on a crash, a leak, a timeout or a sanitizer report.
    LSAN_OPTIONS="suppressions=$work/lsan.supp" \
    "$build/bin/$1" "$work/$1_corpus" "$work/${1%_fuzz}_seeds" \
        -max_total_time="$2" -timeout=10 -rss_limit_mb=2048 -max_len="$3" \
        -print_final_stats=1 -artifact_prefix="$build/$1-" 2>"$work/$1.log" || {
        status=$?
        tail -n 60 "$work/$1.log"
        echo "$1: FAILED (exit $status); the input is saved under $build/" >&2
        return
    }
    grep -E '^(#[0-9]+ +DONE|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' \
        "$work/$1.log" || true
    echo "$1: no crash, leak or sanitizer report in ${2}s"
}
run relay_fuzz $((seconds / 2)) 70000
run client_fuzz $((seconds - seconds / 2)) 4096
LSAN_OPTIONS="suppressions=$work/lsan.supp" "$build/bin/client_fuzz" "$work/flood" 2>"$work/flood.log" || {
    status=$?
    tail -n 60 "$work/flood.log"
    echo "client_fuzz: FAILED (exit $status) on a flood of texts" >&2
} && echo "client_fuzz: a flood of texts passes"
exit "$status"
