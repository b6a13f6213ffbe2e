#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it on its sample
# library (the settings and the sample live beside the built program).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target somnary
cd build/src/app
exec ./somnary
