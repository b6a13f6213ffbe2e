#!/usr/bin/env bash
# Makes the Debian package of the build folder $1 with cpack ($2) and checks what
# it holds: the programs, the shipped files, the menu entry, the icons and
# the metainfo, library dependencies found by dpkg-shlibdeps, nothing of the
# build or the tests.
set -euo pipefail
build=$1
cpack=${2:-cpack}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, got ${debs[*]}"
deb=${debs[0]}

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
echo "package $(basename "$deb"): $(grep -vc '/$' "$work/files") files"
for f in /usr/bin/somnary /usr/bin/somnary-export /usr/bin/somnary-search \
         /usr/share/somnary/dreams.ini /usr/share/somnary/empty.bmp \
         /usr/share/somnary/library.xsl /usr/share/somnary/library.css \
         /usr/share/somnary/journal.xsl /usr/share/somnary/journal.css \
         /usr/share/somnary/somnary.schema.json \
         /usr/share/somnary/Help/index.html /usr/share/somnary/icons/opened.bmp \
         /usr/share/somnary/icons/dream.bmp /usr/share/somnary/sample/library.xml \
         /usr/share/somnary/sample/autumn2026.xml /usr/share/somnary/sample/practice.xml \
         /usr/share/applications/org.example.somnary.desktop \
         /usr/share/metainfo/org.example.somnary.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/somnary.svg \
         /usr/share/icons/hicolor/16x16/apps/somnary.png \
         /usr/share/icons/hicolor/48x48/apps/somnary.png \
         /usr/share/icons/hicolor/256x256/apps/somnary.png; do
  grep -qxF "$f" "$work/files" || fail "missing $f"
done
# Only the programs in bin/, only the shipped files elsewhere.
stray=$(grep -v '/$' "$work/files" |
        grep -Ev '^/usr/bin/somnary(-[a-z]+)?$|^/usr/share/(somnary|applications|metainfo|icons/hicolor)/' || true)
[ -z "$stray" ] || fail "unexpected files: $stray"

[ "$(dpkg-deb -f "$deb" Package)" = somnary ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libqt6widgets6 libqt6gui6 libqt6core6 libqscintilla2-qt6; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib"
done

dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.example.somnary.metainfo.xml"
desktop-file-validate "$work/root/usr/share/applications/org.example.somnary.desktop"
desktop="$work/root/usr/share/applications/org.example.somnary.desktop"
grep -qx 'Name=Somnary' "$desktop" && grep -q '^GenericName\[ru\]=' "$desktop" &&
  grep -qx 'Categories=Office;' "$desktop" || fail "menu entry"
"$work/root/usr/bin/somnary" --version | grep -qx "Somnary $(dpkg-deb -f "$deb" Version)" ||
  fail "--version differs from the package version"
echo "package checked"
