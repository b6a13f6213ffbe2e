# Sourced: the Wine prefix the Windows tests and the end-to-end run use, in
# the cache folder beside the dependencies (made once, then reused).
#
#   SOMNARY_CACHE   the cache folder (default ~/.cache/somnary)

export WINEPREFIX=${SOMNARY_CACHE:-$HOME/.cache/somnary}/wine
export WINEDEBUG=-all
# No dialogs about Mono or Gecko while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_prefix_ready() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== making the Wine prefix $WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver --wait
  fi
  # Readable Cyrillic in screenshots: the DejaVu fonts (fonts-dejavu-core)
  # in the prefix's own font folder, where Windows programs look.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d /usr/share/fonts/truetype/dejavu ] && [ ! -e "$fonts/DejaVuSans.ttf" ]; then
    cp /usr/share/fonts/truetype/dejavu/*.ttf "$fonts/"
  fi
}
