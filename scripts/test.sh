#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up what is missing, builds, and runs the whole test suite:
#   1. every test of a normal build (real-window tests under Xvfb included),
#   2. the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer
#      (the real-window test included; the install test only in 1),
#   3. the wire fuzzer for a bounded time,
#   4. one short run of each benchmark (a smoke run, not a measurement).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

echo "== build and test"
"$here/scripts/setup.sh" test "$here/build" -DARDESIA_BENCH=ON
ctest --test-dir "$here/build" --output-on-failure -j"$jobs"

echo "== sanitizer build and test"
"$here/scripts/setup.sh" test "$here/build-asan" -DARDESIA_SANITIZE=ON -DARDESIA_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$here/build-asan" --output-on-failure -j"$jobs" -LE install

echo "== fuzzing the wire"
"$here/fuzz/run.sh" 30

echo "== benchmark smoke run"
"$here/build/bin/engine_bench" --benchmark_min_time=0.05
"$here/build/bin/speed_bench" --benchmark_filter=Described
"$here/build/bin/relay_bench" --benchmark_min_time=0.05
"$here/build/bin/dialog_bench" --benchmark_min_time=0.05
"$here/build/bin/match_bench" 4
QT_QPA_PLATFORM=offscreen "$here/build/bin/window_bench" --benchmark_min_time=0.05 --benchmark_filter='Beginner|Normal'
QT_QPA_PLATFORM=offscreen "$here/build/bin/board_bench" --benchmark_min_time=0.05
