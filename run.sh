#!/usr/bin/env bash
# Installs what is missing, builds Kestrel (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target kestrel
if [ "$(id -u)" -eq 0 ]; then
  # Chromium refuses to sandbox itself as root.
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
exec build/src/kestrel
