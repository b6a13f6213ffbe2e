#!/usr/bin/env bash
# Builds libsodium for the Windows version, static (no DLL to ship), from
# Debian's own source package, with Debian's mingw-w64. Apart from deps.sh
# on purpose: its prefix has a cache of its own, keyed by the version and by
# this script alone, so adding or changing it never builds Qt again. Its
# folder is named outside deps.sh's `win64-*`, which deps.sh clears when it
# builds anew. Prints the prefix by a name that stays the same,
# <cache>/sodium-win64 (a link to the current one).
#
#   SOMNARY_CACHE   the cache folder (default ~/.cache/somnary)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

sodium_version=1.0.18

key=$(sha256sum < "$here/sodium.sh" | cut -c1-12)
cache=${SOMNARY_CACHE:-$HOME/.cache/somnary}
prefix=$cache/sodium-win64-$sodium_version-$key
if [ -f "$prefix/.complete" ]; then
  ln -sfn "$(basename "$prefix")" "$cache/sodium-win64"
  echo "$cache/sodium-win64"
  exit 0
fi

log() { echo "sodium: $*" >&2; }
# Runs a build step with its output in LOG, shown in part when it fails.
quietly() {
  local log_file=$1
  shift
  if ! "$@" >"$log_file" 2>&1; then
    grep -E "error" "$log_file" | head -20 >&2
    tail -20 "$log_file" >&2
    exit 1
  fi
}
# A folder of its own: deps.sh clears <cache>/work whenever it starts.
work=$cache/work-sodium
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cc=x86_64-w64-mingw32-gcc-posix
if command -v ccache >/dev/null; then
  cc="ccache $cc"
  export CCACHE_BASEDIR=$work
fi

# The source as deps.sh gets its own: `apt-get source` with a source list
# made from the machine's own package sources, in a private apt state.
fetch() {
  local apt=$work/apt
  mkdir -p "$apt/parts" "$apt/lists/partial" "$apt/cache/archives/partial"
  local f
  shopt -s nullglob
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
  (cd "$work" && apt-get source -qq libsodium >&2)
  unset APT_CONFIG
  sodium_src=$(ls -d "$work"/libsodium-$sodium_version*/ | head -1)
  if [ -z "$sodium_src" ]; then
    log "the source package is not libsodium $sodium_version"
    exit 1
  fi
}

# Debian's source comes without configure: autoreconf makes it, as
# Debian's own build does.
build_sodium() {
  (cd "$sodium_src" &&
    quietly "$work/autoreconf.log" autoreconf -if &&
    quietly "$work/configure.log" ./configure --host=x86_64-w64-mingw32 CC="$cc" \
      --disable-shared --enable-static --prefix="$prefix" &&
    quietly "$work/build.log" make -j2 &&
    quietly "$work/install.log" make install)
}

started=$SECONDS
log "building libsodium $sodium_version into $prefix"
fetch
build_sodium
touch "$prefix/.complete"
rm -rf "$work"
# Prefixes of older versions of this script are of no further use.
for old in "$cache"/sodium-win64-*/; do
  old=${old%/}
  [ "$old" = "$prefix" ] || rm -rf "$old"
done
ln -sfn "$(basename "$prefix")" "$cache/sodium-win64"
log "done in $((SECONDS - started)) s"
echo "$cache/sodium-win64"
