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
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot --init >/dev/null 2>&1
    wineserver --wait
  fi
  # Readable Cyrillic in screenshots: the DejaVu fonts (fonts-dejavu-core)
  # in the prefix's own font folder, where Windows programs look, standing
  # in for the Windows fonts the prefix lacks.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d /usr/share/fonts/truetype/dejavu ] && [ ! -e "$fonts/DejaVuSans.ttf" ]; then
    cp /usr/share/fonts/truetype/dejavu/*.ttf "$fonts/"
    local font
    for font in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" Arial "MS Sans Serif"; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "DejaVu Sans" /f \
        >/dev/null 2>&1
    done
    wineserver --wait
  fi
}
