#!/usr/bin/env bash
# Installs what is missing, builds Kestrel with its tests and runs them all:
# unit and widget tests headless, end-to-end tests under a virtual display.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j2 --timeout 300
