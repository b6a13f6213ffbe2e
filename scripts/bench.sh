#!/usr/bin/env bash
# Sets up the machine, builds the benchmarks and runs them: reading and
# writing journals of 1,000, 10,000 and 50,000 experiences against pugixml,
# export, selecting a big journal in the main window, start-up and peak
# memory. Prints each figure and a closing table; see docs/performance.md.
# Extra arguments go to somnary_bench (--quick: fewer runs, for trying out).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
echo "load before building: $(cut -d' ' -f1-3 /proc/loadavg)"
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSOMNARY_BENCH=ON -DSOMNARY_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target somnary_bench somnary_bench_startup somnary_bench_load

echo "machine: $(nproc) cores,$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2)," \
     "$(awk '/MemTotal/ {printf "%.1f GB", $2 / 1048576}' /proc/meminfo) memory"
exec build-bench/bench/somnary_bench --data build-bench/bench-data "$@"
