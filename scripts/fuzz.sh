#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each for a while.
#   scripts/fuzz.sh [SECONDS_EACH]     (default 600)
# New inputs go to build-fuzz/corpus-*, seeded from tests/fuzz/corpus; a
# crash leaves its input in build-fuzz/ as crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKESTREL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_inifile fuzz_favorites
for target in inifile favorites; do
  mkdir -p "build-fuzz/corpus-$target"
  cp -n tests/fuzz/corpus/$target/* "build-fuzz/corpus-$target/" 2>/dev/null || true
done
pids=()
for target in inifile favorites; do
  (cd build-fuzz && ./tests/fuzz/fuzz_$target -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
      "corpus-$target" > "fuzz-$target.log" 2>&1) &
  pids+=($!)
done
status=0
for p in "${pids[@]}"; do wait "$p" || status=1; done
for target in inifile favorites; do
  echo "== fuzz_$target"; grep -E "stat::number_of_executed_units|stat::new_units_added|ERROR|invariant" "build-fuzz/fuzz-$target.log" || true
done
exit $status
