#!/usr/bin/env bash
# Makes the Windows release from a cross build: the install of the build
# (bin/ and share/somnary/, as on Linux) with the DLLs the programs load,
# Qt's plugins and Russian texts, then
#   dist/Somnary-<version>-win64.zip    portable: everything in one folder,
#                                       dreams.ini beside somnary.exe
#   dist/Somnary-<version>-setup.exe    the installer (NSIS), per user
# Usage: package.sh BUILD_DIR DEPS_PREFIX
set -euo pipefail
build=$(realpath "$1")
prefix=$2
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
triple=x86_64-w64-mingw32
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

stage=$build/stage
dist=$build/dist
rm -rf "$stage" "$dist"
mkdir -p "$dist"
cmake --install "$build" --prefix "$stage" --strip >/dev/null
bin=$stage/bin

# Every DLL a program or plugin names that is not part of Windows itself,
# from the dependencies' prefix or the compiler's runtime, followed until
# nothing new is named.
search=("$prefix/bin" "$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")"
        "/usr/$triple/lib")
copy_needed() {
  local pending=("$@") file dll dir
  while [ ${#pending[@]} -gt 0 ]; do
    file=${pending[0]}
    pending=("${pending[@]:1}")
    for dll in $($triple-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
      [ -e "$bin/$dll" ] && continue
      for dir in "${search[@]}"; do
        if [ -f "$dir/$dll" ]; then
          cp "$dir/$dll" "$bin/"
          pending+=("$bin/$dll")
          break
        fi
      done
    done
  done
}

# Plugins beside the program, where Qt looks first: the Windows platform,
# the native widget style, and picture formats for experiences' pictures.
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qjpeg.dll \
              imageformats/qgif.dll imageformats/qico.dll; do
  if [ -f "$prefix/plugins/$plugin" ]; then
    mkdir -p "$bin/$(dirname "$plugin")"
    cp "$prefix/plugins/$plugin" "$bin/$plugin"
  fi
done
copy_needed "$bin"/*.exe "$bin"/*/*.dll
# Qt's own dialogs and buttons in Russian (the same file Debian ships).
mkdir -p "$bin/translations"
cp /usr/share/qt6/translations/qtbase_ru.qm "$bin/translations/"
printf '[Paths]\r\nPrefix = .\r\nTranslations = translations\r\n' > "$bin/qt.conf"
find "$bin" -name '*.dll' -exec $triple-strip --strip-unneeded {} +

# Portable: the program's folder holds its settings and the sample library.
portable=$dist/Somnary-$version-win64
mkdir -p "$portable"
cp -r "$bin"/. "$portable/"
cp -r "$stage/share/somnary"/. "$portable/"
(cd "$dist" && cmake -E tar cf "Somnary-$version-win64.zip" --format=zip "Somnary-$version-win64")

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
  -DICON="$source_dir/packaging/windows/somnary.ico" \
  -DOUTFILE="$dist/Somnary-$version-setup.exe" "$source_dir/packaging/windows/somnary.nsi" >/dev/null

ls -l "$dist"/*.zip "$dist"/*.exe
