#!/usr/bin/env bash
# Screenshots of tindora.exe under Wine: the window, started on a settings
# file whose first slot warns a few seconds later, and that warning's box.
# Writes build/screenshots/window.png and build/screenshots/box.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/screenshots
mkdir -p "$out"
[ -f "$root/build/windows/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$root/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$root/build/windows" -j2 --target tindora >/dev/null

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
# Slot 1 due in 5 minutes and 8 seconds: its warning comes in 8 seconds.
IFS=, read -r hour minute second < <(date -d '+5 min 8 sec' +%-H,%-M,%-S)
printf '"%s","%s","%s","5","%s"\r\n"","","","5",""\r\n"","","","5",""\r\n' \
  "$hour" "$minute" "$second" "$(printf '周会' | iconv -f UTF-8 -t GBK)" >time.txt

# (Without a sound card ALSA complains on stderr; the program runs on silently.)
"$root/scripts/wine-run.sh" "$root/build/windows/ui/win32/tindora.exe" 2>/dev/null & pid=$!
[ -n "${DISPLAY:-}" ] || export DISPLAY=$(cat "$root/build/wineprefix.state/display")

wait_window() { # title seconds
  local id=""
  for _ in $(seq $(( $2 * 10 ))); do
    id=$(xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null | head -n1) &&
      [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window '$1' within $2 s" >&2
  return 1
}

window=$(wait_window Tindora1.0 20)
sleep 1
xdotool windowraise "$window"
import -window "$window" "$out/window.png"
box=$(wait_window '固定报时！' 20)
sleep 0.5
import -window "$box" "$out/box.png"
echo "$out/window.png $out/box.png"
