#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and
# fuzzing need (dpkg-dev and file: cpack's library dependencies of the
# Debian package; appstream, desktop-file-utils: checking its metainfo and
# menu entry; clang-format and clang-tidy: the lint tests; python3: reading
# the table export back). Idempotent: when everything is present it does not touch apt.
# `setup.sh windows` adds the cross build's: mingw-w64, Wine to run the
# tests, NSIS for the installer, dpkg-dev to unpack Debian's sources,
# autoconf, automake and libtool to make libsodium's configure (Debian's
# source has none).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n libqscintilla2-qt6-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev libstemmer-dev libsodium-dev
  clang libclang-rt-14-dev clang-format clang-tidy
  xvfb xauth fonts-dejavu-core
  dpkg-dev file appstream desktop-file-utils locales python3
)
if [ "${1:-}" = windows ]; then
  packages+=(mingw-w64 wine wine64 nsis xdotool x11-utils imagemagick openbox
             autoconf automake libtool)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
