#!/usr/bin/env bash
# Screenshots of the Linux program on a private Xvfb with trayer: the window,
# the About box over it, and the tray menu. Look at them after a change to the
# window's layout, font or boxes.
#   ui/qt/tests/screenshots.sh build/linux/ui/qt/tindora OUTDIR
set -euo pipefail
program=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$out"
if [ -z "${TINDORA_PRIVATE_DISPLAY:-}" ]; then
  export TINDORA_PRIVATE_DISPLAY=1
  exec env -u DISPLAY "$(dirname "$0")/../../../scripts/with-xvfb.sh" "$0" "$program" "$out"
fi

work=$(mktemp -d)
trayer --edge top --align right --widthtype pixel --width 64 --heighttype pixel --height 32 \
  --SetDockType false --transparent false >/dev/null 2>&1 &
tray=$!
trap 'kill "$tray" "${pid:-}" 2>/dev/null; rm -rf "$work"' EXIT
sleep 0.5
printf '"8","30","0","5","\xbf\xaa\xbb\xe1"\r\n"","","","5",""\r\n"","","","5",""\r\n' >"$work/time.txt"
(cd "$work" && LANG=zh_CN.UTF-8 exec "$program") 2>/dev/null &
pid=$!
sleep 2
window=$(xdotool search --name '^Tindora1\.0$' | head -n1)
import -window "$window" "$out/window.png"

# The About button ("关    于") is at 368,80 and 97 x 25 pixels.
xdotool mousemove 416 92 click 1
sleep 1
import -window root -crop 800x300+0+0 "$out/about.png"
xdotool key Return
sleep 0.5

icon=$(xwininfo -root -tree | awk '/"tindora": \("tindora" "tindora"\)/{print $1; exit}')
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
sleep 0.5
import -window root -crop 300x120+980+0 "$out/tray-menu.png"
xdotool key Escape
echo "screenshots in $out: window.png about.png tray-menu.png"
