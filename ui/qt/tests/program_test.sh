#!/usr/bin/env bash
# The real program, out of process, on a private Xvfb with trayer as the
# notification area, driven with xdotool like a user.
#
#   program_test.sh TINDORA tray         title, size, tray clicks, close through
#                                        the tray menu, time.txt written
#   program_test.sh TINDORA warning WAV  the clock (libfaketime) just before a
#                                        slot's warning, the window in the tray:
#                                        the box comes up above everything, the
#                                        clip reaches SDL's disk output, and the
#                                        end of the session (SIGTERM) saves
#   program_test.sh TINDORA twice        two starts in one folder, from two
#                                        sessions (runtime folder set and not,
#                                        other temporary folders, the folder
#                                        reached through a link): the second
#                                        brings the first's window forward and
#                                        leaves; one box comes at the moment;
#                                        no lock file is left anywhere
set -euo pipefail

program=$1
scenario=$2
clip=${3:-}
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${TINDORA_PRIVATE_DISPLAY:-}" ]; then
  # Always a display of its own: the test starts a tray host and moves the
  # pointer, which must touch neither the user's desktop nor other tests.
  export TINDORA_PRIVATE_DISPLAY=1
  exec env -u DISPLAY "$here/../../../scripts/with-xvfb.sh" "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  # Only those still running: the number of one that ended may already belong
  # to another test's process (process numbers wrap at 32768 here).
  local running
  running=" $(jobs -pr | tr '\n' ' ') "
  for pid in "${pids[@]}"; do
    [[ $running == *" $pid "* ]] && kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/program.log" ] && sed "s/^/program: /" "$work/program.log" >&2
  exit 1
}

# Polls a command for up to $1 tenths of a second.
waitFor() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

mapState() { xwininfo -id "$1" | awk '/Map State:/{print $3}'; }
isViewable() { [ "$(mapState "$1")" = IsViewable ]; }
isUnmapped() { [ "$(mapState "$1")" = IsUnMapped ]; }
# The docked tray icon: the program's only window of class tindora named tindora.
trayIcon() { xwininfo -root -tree | awk '/"tindora": \("tindora" "tindora"\)/{print $1; exit}'; }
hasTrayIcon() { [ -n "$(trayIcon)" ]; }
clickTrayIcon() {
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$(trayIcon)")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click "$1"
}
gone() { ! kill -0 "$1" 2>/dev/null; }

# Slot 1 at 8:30:00, 5 minutes ahead; slot 2 at 12:00:00 with a lead written
# 010; slot 3 never set. Notes in GB18030, as Windows writes them.
printf '"8","30","0","05","\xbf\xaa\xbb\xe1"\r\n"12","0","0","010","\xce\xe7\xb7\xb9"\r\n"","","","5",""\r\n' \
  >"$work/time.txt"
# What the program writes back: the leads in their plain form, the pickers
# never set still empty.
printf '"8","30","0","5","\xbf\xaa\xbb\xe1"\r\n"12","0","0","10","\xce\xe7\xb7\xb9"\r\n"","","","5",""\r\n' \
  >"$work/expected.txt"

# Now and then trayer dies on a display it has just met, before its panel
# shows: start it again, up to three times.
startTrayer() {
  trayer --edge top --align right --widthtype pixel --width 64 --heighttype pixel --height 32 \
    --SetDockType false --transparent false >>"$work/trayer.log" 2>&1 &
  pids+=($!)
  waitFor 30 xdotool search --name '^panel$'
}
startTrayer || startTrayer || startTrayer || {
  cat "$work/trayer.log" >&2
  fail "trayer did not start"
}

export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 QT_QPA_PLATFORM=xcb TZ=UTC
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
unset QT_NO_GLIB # libfaketime does not reach Qt's clock without GLib's loop
if [ "$scenario" = warning ]; then
  # 8 seconds before slot 1's warning at 08:25:00 (time to start and go to the
  # tray first, also on a busy machine); the fake clock runs on.
  export LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME="@2026-12-07 08:24:52"
  export FAKETIME_DONT_RESET=1 FAKETIME_NO_CACHE=1
elif [ "$scenario" = twice ]; then
  # One clock for both copies: an offset from the real one, 15 seconds before
  # slot 1's warning at 08:25:00 when the first copy starts.
  offset=$(($(date -d '2026-12-07 08:24:45' +%s) - $(date +%s)))
  if [ "$offset" -lt 0 ]; then fake="$offset"; else fake="+$offset"; fi
  export LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME="$fake" FAKETIME_NO_CACHE=1
  # The first copy in a desktop session, the second as from su, ssh or cron.
  mkdir -m 700 "$work/runtime" "$work/tmp-first" "$work/tmp-second"
  ln -s "$work" "$work/link"
  export XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp-first"
fi
(cd "$work" && exec "$program") >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
unset LD_PRELOAD FAKETIME

waitFor 100 xdotool search --name '^Tindora1\.0$' || fail "no window titled Tindora1.0"
window=$(xdotool search --name '^Tindora1\.0$' | head -n1)
waitFor 50 isViewable "$window" || fail "the window is not shown"
size=$(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$size" = 681x110 ] || fail "window size $size, expected 681x110"
waitFor 50 hasTrayIcon || fail "no icon in the tray"

case "$scenario" in
tray)
  clickTrayIcon 1
  waitFor 30 isUnmapped "$window" || fail "a left click on the icon did not hide the window"
  clickTrayIcon 1
  waitFor 30 isViewable "$window" || fail "a second left click did not show the window"
  clickTrayIcon 3
  sleep 0.5 # the menu takes the keyboard once it is up
  xdotool key Down Return
  waitFor 50 gone "$program_pid" || fail "关闭 in the tray menu did not end the program"
  wait "$program_pid" || fail "the program ended with status $?"
  cmp "$work/time.txt" "$work/expected.txt" || {
    xxd "$work/time.txt" >&2
    fail "time.txt differs from what was expected"
  }
  ;;
warning)
  clickTrayIcon 1 # to the tray: the box must come up all the same
  waitFor 30 isUnmapped "$window" || fail "a left click on the icon did not hide the window"
  waitFor 150 xdotool search --name '^固定报时！$' || fail "no warning box by 08:25:07"
  box=$(xdotool search --name '^固定报时！$' | head -n1)
  waitFor 20 isViewable "$box" || fail "the warning box is not shown"
  xprop -id "$box" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the warning box is not kept above"
  sleep 1 # a second of the clip
  xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
  waitFor 30 gone xdotool search --name '^固定报时！$' || fail "the box did not close"
  # The session ends: the program saves and ends, as when Windows logs off.
  kill -TERM "$program_pid"
  waitFor 50 gone "$program_pid" || fail "SIGTERM did not end the program"
  cmp "$work/time.txt" "$work/expected.txt" || fail "time.txt was not saved when the session ended"
  # The captured output is the clip's samples, bit for bit. SDL plays silence
  # while the device it just opened is still paused, so on a busy machine a
  # buffer of silence can come first: compare from the first sound on (the
  # clip itself starts with a few milliseconds of silence).
  [ -s "$work/audio.raw" ] || fail "nothing reached the audio output"
  # Prints the bytes of stdin from the first one that is not zero.
  fromFirstSound() {
    local all first
    all=$(mktemp -p "$work")
    cat >"$all"
    first=$(LC_ALL=C cmp "$all" /dev/zero 2>/dev/null | awk '{print $5}' | tr -d ,) || true
    [ -n "$first" ] && tail -c +"$first" "$all"
  }
  fromFirstSound <"$work/audio.raw" >"$work/played.raw"
  tail -c +57 "$clip" | fromFirstSound >"$work/clip.raw"
  bytes=$(stat -c %s "$work/played.raw")
  [ "$bytes" -ge 88200 ] || fail "only $bytes bytes of sound reached the output"
  cmp -n 88200 "$work/played.raw" "$work/clip.raw" || fail "the output is not the clip"
  ;;
twice)
  clickTrayIcon 1 # to the tray: the second start must bring the window back
  waitFor 30 isUnmapped "$window" || fail "a left click on the icon did not hide the window"
  (cd "$work/link" && LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME="$fake" \
    TMPDIR="$work/tmp-second" exec env -u XDG_RUNTIME_DIR "$program") >"$work/second.log" 2>&1 &
  second_pid=$!
  pids+=("$second_pid")
  waitFor 100 gone "$second_pid" || fail "the second copy did not leave"
  wait "$second_pid" || fail "the second copy ended with status $?"
  waitFor 50 isViewable "$window" || fail "the second start did not bring the first copy's window forward"
  waitFor 200 xdotool search --name '^固定报时！$' || fail "no warning box by 08:25:10"
  sleep 2 # time for a second box, were there a second copy
  boxes=$(xdotool search --name '^固定报时！$' | wc -l)
  [ "$boxes" = 1 ] || fail "$boxes warning boxes at 08:25:00, expected one"
  box=$(xdotool search --name '^固定报时！$' | head -n1)
  xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
  waitFor 30 gone xdotool search --name '^固定报时！$' || fail "the box did not close"
  kill -TERM "$program_pid"
  waitFor 50 gone "$program_pid" || fail "SIGTERM did not end the program"
  cmp "$work/time.txt" "$work/expected.txt" || fail "time.txt was not saved when the session ended"
  left=$(find "$work/runtime" "$work/tmp-first" "$work/tmp-second" "$work" -maxdepth 1 -name 'tindora*')
  [ -z "$left" ] || fail "files left behind: $left"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
