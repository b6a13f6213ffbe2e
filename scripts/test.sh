#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the whole
# suite under AddressSanitizer and UndefinedBehaviorSanitizer (Debug) in the
# Russian locale our users run, then the Release build under C.UTF-8 and
# again under ru_RU.UTF-8 (decimal comma, Russian system messages).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Configuring compiles the Russian, German and US locales into <build>/locales.
in_locale() {
  local build=$1 locale=$2
  shift 2
  echo "== tests in ${build} under ${locale}"
  LOCPATH="$PWD/$build/locales" LANG="$locale" LC_ALL="$locale" "$@"
}

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSOMNARY_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
in_locale build-asan ru_RU.UTF-8 ctest --test-dir build-asan -j"$jobs" --output-on-failure

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
in_locale build C.UTF-8 ctest --test-dir build -j"$jobs" --output-on-failure
in_locale build ru_RU.UTF-8 ctest --test-dir build -j"$jobs" --output-on-failure
