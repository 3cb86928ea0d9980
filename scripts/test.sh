#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite; any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-deps.sh
build=build-test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEX_TESTS=ON -DTARVEX_BENCH=ON -DTARVEX_SANITIZE=ON
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
