#!/usr/bin/env bash
# Builds the Windows release on this Debian machine: the dependencies from
# Debian's sources (once, cached), Somnary cross-built with mingw-w64, then
# the portable zip and the installer in build-win/dist/.
#
#   bash scripts/build-windows.sh          build and package
#   bash scripts/build-windows.sh --test   also run the suite under Wine, and
#                                          the program and installer end to end
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh windows

run_tests=no
[ "${1:-}" = --test ] && run_tests=yes

started=$SECONDS
prefix=$(bash scripts/windows/deps.sh)
# libsodium in a cache of its own (static: nothing more to ship).
sodium=$(bash scripts/windows/sodium.sh)
echo "== Windows dependencies ready in $prefix and $sodium ($((SECONDS - started)) s)"

build=build-win
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/scripts/windows/toolchain-mingw64.cmake" \
  -DSOMNARY_WIN_PREFIX="$prefix" -DSOMNARY_SODIUM_PREFIX="$sodium" \
  -DCMAKE_PREFIX_PATH="$prefix;$sodium" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
echo "== Windows build done ($((SECONDS - started)) s)"

source scripts/windows/wine.sh
if [ "$run_tests" = yes ]; then
  wine_prefix_ready
  echo "== tests under Wine"
  ctest --test-dir "$build" -j"$(nproc)" --output-on-failure
fi

bash scripts/windows/package.sh "$build" "$prefix"
if [ "$run_tests" = yes ]; then
  bash scripts/windows/e2e.sh "$build"
fi
echo "== Windows release in $build/dist ($((SECONDS - started)) s)"
