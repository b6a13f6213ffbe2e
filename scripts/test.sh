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

# The Release build also checks the format and runs clang-tidy (label lint),
# once: they do not depend on the locale.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DSOMNARY_LINT=ON >/dev/null
cmake --build build -j"$jobs"
in_locale build C.UTF-8 ctest --test-dir build -j"$jobs" --output-on-failure
in_locale build ru_RU.UTF-8 ctest --test-dir build -j"$jobs" --output-on-failure -LE lint

# Every fuzz target, built with clang, runs briefly over its seed corpus: a
# target that no longer builds, or an input that crashes one, fails the run.
# New inputs go to build-fuzz/corpus-work, findings to build-fuzz/.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DSOMNARY_FUZZ=ON -DSOMNARY_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_xml fuzz_export fuzz_window fuzz_search
fuzz_briefly() {
  local target=$1 corpus=$2
  shift 2
  mkdir -p "build-fuzz/corpus-work/$target"
  in_locale build ru_RU.UTF-8 "build-fuzz/fuzz/$target" -max_total_time=5 -artifact_prefix=build-fuzz/ \
    "$@" "build-fuzz/corpus-work/$target" "$corpus"
}
fuzz_briefly fuzz_xml fuzz/corpus
fuzz_briefly fuzz_export fuzz/corpus
# The toolkit keeps allocations for the process's lifetime: no leak checks.
fuzz_briefly fuzz_window fuzz/corpus-window -detect_leaks=0
fuzz_briefly fuzz_search fuzz/corpus-search

# The Windows version: the dependencies cross-built from Debian's sources
# (once; cached in ~/.cache/somnary), Somnary cross-built, the suite run
# under Wine, the zip and the installer made and used end to end.
bash scripts/build-windows.sh --test
