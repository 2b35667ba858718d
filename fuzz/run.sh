#!/usr/bin/env bash
# Builds the relay fuzz target with clang-14 (libFuzzer, ASan, UBSan) and runs
# it for a bounded time from a small starting corpus written here.
# Exits non-zero on a crash, a sanitizer report or a failed check.
# Usage: fuzz/run.sh [SECONDS]     (default 30; FUZZ_BUILD_DIR overrides build-fuzz)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-"$root/build-fuzz"}
seconds=${1:-30}

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" \
    -DARDESIA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target relay_fuzz -j"$(nproc)" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seeds="$work/seeds"
corpus="$work/corpus"
mkdir -p "$seeds" "$corpus"

# Seeds in the target's input language (see relay_fuzz.cpp): op byte = kind | slot << 3.
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

echo "relay_fuzz: running for ${seconds}s"
# libFuzzer exits non-zero on a crash, a leak, a timeout or a sanitizer report.
"$build/bin/relay_fuzz" "$corpus" "$seeds" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=70000 \
    -print_final_stats=1 -artifact_prefix="$build/" 2>"$work/log" || {
    status=$?
    tail -n 60 "$work/log"
    echo "relay_fuzz: FAILED (exit $status); the input is saved under $build/" >&2
    exit "$status"
}
grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/log" || true
echo "relay_fuzz: no crash, leak or sanitizer report in ${seconds}s"
