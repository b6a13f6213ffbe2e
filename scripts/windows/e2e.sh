#!/usr/bin/env bash
# The Windows release used end to end under Wine, on a virtual display:
#  1. the portable folder: the real somnary.exe starts on its sample library,
#     its default journal shown with its graphs (a screenshot taken), a
#     second start ends at once and leaves the first running, the
#     window is resized, the session ends (WM_QUERYENDSESSION and
#     WM_ENDSESSION, as Windows sends them at logout), and the files are as
#     they must be: the journals untouched byte for byte, the settings
#     written with the new size in their text form;
#  2. the installer: installed silently (/S), the installed program started
#     once (settings in %APPDATA%\Somnary, the sample in the documents),
#     uninstalled silently; only the user's own files are left.
# Usage: e2e.sh BUILD_DIR   (after package.sh; screenshots go to BUILD_DIR/dist)
set -euo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine.sh"
wine_prefix_ready
dist=$build/dist
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

fail() {
  echo "e2e: $*" >&2
  exit 1
}

# A display of our own with a window manager, closed on every exit.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1100x750x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
work=$(mktemp -d)
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &

# The program's main window, waited for.
wait_window() {
  local id
  # The first start in a new prefix builds Wine's font cache: minutes.
  for _ in $(seq 480); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.5
  done
  return 1
}

# Ends the session the way Windows ends one at logout (Wine's own wineboot
# --end-session does not reach the program's windows) and waits for the
# program to end.
end_session() {
  local program=$1
  wine "$build/tests/app/somnary_end_session.exe" || fail "no window took the end of the session"
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || return 0; sleep 0.2; done
  fail "the program did not end with the session"
}

# ---- 1. the portable folder ----
cp -r "$dist/Somnary-$version-win64" "$work/portable"
app=$work/portable
before=$(cd "$app/sample" && sha256sum ./*.xml)
wine "$app/somnary.exe" >"$work/portable.log" 2>&1 &
program=$!
window=$(wait_window "Somnary") || fail "the window did not show"
sleep 2
# The default journal is shown at the start, its graphs beside it.
import -window root "$dist/windows-e2e.png"
# One copy per settings folder: a second start shows the first and ends.
timeout 120 wine "$app/somnary.exe" >"$work/second.log" 2>&1 || fail "the second start did not end well"
kill -0 "$program" 2>/dev/null || fail "the first copy ended when a second started"
xdotool windowsize --sync "$window" 980 700 2>/dev/null || true
sleep 1
end_session "$program"
[ "$(cd "$app/sample" && sha256sum ./*.xml)" = "$before" ] || fail "a journal changed without an edit"
settings=$app/dreams.ini
grep -q 'width="980" height="700"' "$settings" || fail "the settings were not written at the session's end"
head -c 46 "$settings" | grep -q '^<?xml version="1.0" encoding="windows-1251"' ||
  fail "the settings lost their declaration"
[ "$(grep -c $'\r$' "$settings")" = "$(wc -l <"$settings")" ] ||
  fail "the settings have a line not ended by CR LF"
echo "e2e: portable program started, journal shown, session ended, files as expected"

# ---- 2. the installer ----
user_dir="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}"
installed="$user_dir/AppData/Local/Programs/Somnary"
rm -rf "$installed" "$user_dir/AppData/Roaming/Somnary" "$user_dir/Documents/Somnary"
wine "$dist/Somnary-$version-setup.exe" /S
wineserver --wait
[ -f "$installed/bin/somnary.exe" ] || fail "the installer put no program in $installed"
ls "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/"*.lnk >/dev/null ||
  fail "no Start-menu entry"
wine "$installed/bin/somnary.exe" >"$work/installed.log" 2>&1 &
program=$!
wait_window "Somnary" >/dev/null || fail "the installed program did not show its window"
sleep 2
end_session "$program"
[ -f "$user_dir/AppData/Roaming/Somnary/dreams.ini" ] || fail "no settings in %APPDATA%\\Somnary"
[ -f "$user_dir/Documents/Somnary/sample/library.xml" ] || fail "no sample library in the documents"
wine "$installed/uninstall.exe" /S
wineserver --wait
for _ in $(seq 50); do [ -e "$installed" ] || break; sleep 0.2; done
[ ! -e "$installed" ] || fail "the uninstaller left $(find "$installed" | head -5)"
[ -f "$user_dir/Documents/Somnary/sample/library.xml" ] || fail "the uninstaller took the user's library"
echo "e2e: installed, started, uninstalled; the user's files kept"
