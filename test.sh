#!/usr/bin/env bash
# Installs what is missing, builds Kestrel with its tests and runs them all:
# unit and widget tests headless, end-to-end tests under a virtual display.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
(cd build && ctest --output-on-failure -j2 --timeout 300)

# The same unit and widget tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the run.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON -DKESTREL_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
(cd build-asan && ctest --output-on-failure -j2 --timeout 300 -LE e2e)
