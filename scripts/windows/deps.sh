#!/usr/bin/env bash
# Builds what the Windows version links, from Debian's own source packages,
# with Debian's mingw-w64: Qt (Core, Gui, Widgets, Network for the
# single-instance socket, PrintSupport for QScintilla, Test; the windows and
# offscreen platforms), QScintilla, Snowball's libstemmer and GoogleTest.
# Everything goes into one prefix in a cache folder outside the work tree,
# keyed by the versions and by this folder's scripts, so a change here builds
# anew and an unchanged cache is reused at once. Prints the prefix by a
# name that stays the same, <cache>/win64 (a link to the current one), so
# that builds against it compile the same command lines whatever the key.
#
#   SOMNARY_CACHE   the cache folder (default ~/.cache/somnary)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

qt_version=6.4.2
qsci_version=2.13.3
snowball_version=2.2.0

shopt -s nullglob
key=$(cat "$here/deps.sh" "$here/toolchain-mingw64.cmake" "$here/qscintilla/CMakeLists.txt" \
        "$here"/patches/*.patch | sha256sum | cut -c1-12)
cache=${SOMNARY_CACHE:-$HOME/.cache/somnary}
prefix=$cache/win64-qt$qt_version-qsci$qsci_version-snowball$snowball_version-$key
if [ -f "$prefix/.complete" ]; then
  ln -sfn "$(basename "$prefix")" "$cache/win64"
  echo "$cache/win64"
  exit 0
fi

log() { echo "deps: $*" >&2; }
# Runs a long build with its output in LOG, shown in part when it fails.
quietly() {
  local log_file=$1
  shift
  if ! "$@" >"$log_file" 2>&1; then
    grep -E "FAILED|error" "$log_file" | head -20 >&2
    tail -20 "$log_file" >&2
    exit 1
  fi
}
jobs=$(nproc)
# One work folder whatever the key: with ccache's paths taken relative to it,
# a build after a change to these scripts compiles again only what changed.
work=$cache/work
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$work
fi
toolchain=(-DCMAKE_TOOLCHAIN_FILE="$here/toolchain-mingw64.cmake" -DSOMNARY_WIN_PREFIX="$prefix")

# The sources: `apt-get source` with a source list made from the machine's own
# package sources (one-line and deb822 forms), in a private apt state.
fetch() {
  local apt=$work/apt
  mkdir -p "$apt/parts" "$apt/lists/partial" "$apt/cache/archives/partial"
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^deb \(.*\)$/deb-src \1/p' "$f"
  done > "$apt/parts/own.list"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types: deb$/Types: deb-src/' "$f" > "$apt/parts/$(basename "$f")"
  done
  cat > "$apt/apt.conf" <<EOF
Dir::Etc::SourceList "/dev/null";
Dir::Etc::SourceParts "$apt/parts";
Dir::State::Lists "$apt/lists";
Dir::Cache "$apt/cache";
APT::Sandbox::User "root";
EOF
  export APT_CONFIG=$apt/apt.conf
  apt-get update -qq >&2
  (cd "$work" && apt-get source -qq qt6-base qscintilla2 snowball >&2)
  unset APT_CONFIG
  qt_src=$(ls -d "$work"/qt6-base-$qt_version*/ | head -1)
  qsci_src=$(ls -d "$work"/qscintilla2-$qsci_version*/ | head -1)
  snowball_src=$(ls -d "$work"/snowball-$snowball_version*/ | head -1)
  if [ -z "$qt_src" ] || [ -z "$qsci_src" ] || [ -z "$snowball_src" ]; then
    log "the source packages are not Qt $qt_version, QScintilla $qsci_version, Snowball $snowball_version"
    exit 1
  fi
}

# No OpenGL, no TLS, no tablets (the "+dfsg" sources lack Wintab), no
# Direct2D: less to build and to ship. The patches make the last one link.
build_qt() {
  local patch
  for patch in "$here"/patches/qt-*.patch; do
    patch -d "$qt_src" -p1 --forward --silent < "$patch" >&2
  done
  # The host tools (moc, rcc, uic) are Debian's own Qt of the same version.
  cmake -G Ninja -S "$qt_src" -B "$work/qt-build" "${toolchain[@]}" "${launcher[@]}" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_icu=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_ssl=OFF -DFEATURE_openssl=OFF -DFEATURE_system_zlib=OFF \
    -DFEATURE_direct2d=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_schannel=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_testlib=ON -DFEATURE_network=ON >"$work/qt-configure.log" 2>&1 ||
    { tail -30 "$work/qt-configure.log" >&2; exit 1; }
  quietly "$work/qt-build.log" cmake --build "$work/qt-build" --parallel "$jobs"
  cmake --install "$work/qt-build" >/dev/null
}

build_qscintilla() {
  cmake -G Ninja -S "$here/qscintilla" -B "$work/qsci-build" "${toolchain[@]}" "${launcher[@]}" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DQSCINTILLA_SOURCE="$qsci_src" >/dev/null
  quietly "$work/qsci-build.log" cmake --build "$work/qsci-build" --parallel "$jobs"
  cmake --install "$work/qsci-build" >/dev/null
}

# Snowball's compiler runs here to generate the stemmers' C, which then
# builds for Windows.
build_snowball() {
  make -C "$snowball_src" -j"$jobs" libstemmer.a >/dev/null
  find "$snowball_src" -name '*.o' -delete
  rm -f "$snowball_src/libstemmer.a"
  make -C "$snowball_src" -j"$jobs" CC=x86_64-w64-mingw32-gcc-posix AR=x86_64-w64-mingw32-ar \
    libstemmer.a >/dev/null 2>&1
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$snowball_src/libstemmer.a" "$prefix/lib/"
  cp "$snowball_src/include/libstemmer.h" "$prefix/include/"
}

# GoogleTest from Debian's own copy of its sources (libgtest-dev).
build_googletest() {
  cmake -G Ninja -S /usr/src/googletest -B "$work/gtest-build" "${toolchain[@]}" "${launcher[@]}" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
  quietly "$work/gtest-build.log" cmake --build "$work/gtest-build" --parallel "$jobs"
  cmake --install "$work/gtest-build" >/dev/null
}

started=$SECONDS
log "building Qt $qt_version, QScintilla $qsci_version, Snowball $snowball_version and GoogleTest into $prefix"
fetch
build_snowball
build_googletest
build_qt
build_qscintilla
touch "$prefix/.complete"
rm -rf "$work"
# Prefixes of older scripts are of no further use.
for old in "$cache"/win64-*/; do
  old=${old%/}
  [ "$old" = "$prefix" ] || rm -rf "$old"
done
ln -sfn "$(basename "$prefix")" "$cache/win64"
log "done in $(((SECONDS - started) / 60)) min"
echo "$cache/win64"
