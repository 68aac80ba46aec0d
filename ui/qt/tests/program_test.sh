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
#   program_test.sh TINDORA minute       a minute typed into slot 1's picker
#                                        ("05") and committed with Tab is
#                                        saved and rings at its second
#   program_test.sh TINDORA xend         a note typed and committed with Tab,
#                                        then the X server ends: the program
#                                        ends, and time.txt holds the note
#   program_test.sh TINDORA zone         (root) /etc/localtime replaced as
#                                        timedatectl replaces it, in a mount
#                                        namespace of the test's own: a
#                                        reminder due 25 s later in the new
#                                        zone comes at its second
#   program_test.sh TINDORA loadbox      SIGTERM while the box about what
#                                        time.txt holds is open at the start:
#                                        the program ends
#   program_test.sh TINDORA readonly     (root) the settings folder made
#                                        read-only, a note committed that
#                                        cannot be saved, its box open, then
#                                        SIGTERM twice: the program ends and
#                                        says why on stderr, once
set -euo pipefail

program=$1
scenario=$2
clip=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=test_lib.sh
source "$here/test_lib.sh"

if [ -z "${TINDORA_PRIVATE_DISPLAY:-}" ]; then
  # Always a display of its own: the test starts a tray host and moves the
  # pointer, which must touch neither the user's desktop nor other tests.
  export TINDORA_PRIVATE_DISPLAY=1
  exec env -u DISPLAY "$here/../../../scripts/with-xvfb.sh" "$0" "$@"
fi
if [[ $scenario == zone || $scenario == readonly ]] && [ -z "${TINDORA_PRIVATE_MOUNTS:-}" ]; then
  # Mounts of its own (a private /etc, a read-only folder), gone with it.
  export TINDORA_PRIVATE_MOUNTS=1
  exec unshare --mount --propagation private "$0" "$@"
fi

work=$(mktemp -d)
pids=()
mounts=()
cleanup() {
  # Only those still running: the number of one that ended may already belong
  # to another test's process (process numbers wrap at 32768 here).
  local running i
  running=" $(jobs -pr | tr '\n' ' ') "
  for pid in "${pids[@]}"; do
    [[ $running == *" $pid "* ]] && kill "$pid" 2>/dev/null || true
  done
  # A program that ignores SIGTERM (a fault under test) is killed.
  for pid in "${pids[@]}"; do
    [[ $running == *" $pid "* ]] && { waitFor 50 gone "$pid" || kill -KILL "$pid" 2>/dev/null || true; }
  done
  wait 2>/dev/null || true
  # A folder in use or read-only cannot go until its mount does.
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/program.log" ] && sed "s/^/program: /" "$work/program.log" >&2
  exit 1
}


# The docked tray icon: the program's only window of class tindora named tindora.
trayIcon() { xwininfo -root -tree | awk '/"tindora": \("tindora" "tindora"\)/{print $1; exit}'; }
hasTrayIcon() { [ -n "$(trayIcon)" ]; }
clickTrayIcon() {
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$(trayIcon)")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click "$1"
}
# A window of the program's, shown, by its exact title.
shownWindow() {
  local id
  for id in $(xwininfo -root -tree | awk -v name="\"$1\":" '$2 == name {print $1}'); do
    isViewable "$id" && echo "$id" && return 0
  done
  return 1
}

# The folder the program runs in and keeps time.txt in.
folder=$work
[ "$scenario" = readonly ] && folder=$work/settings && mkdir "$folder"
# Slot 1 at 8:30:00, 5 minutes ahead; slot 2 at 12:00:00 with a lead written
# 010; slot 3 never set. Notes in GB18030, as Windows writes them.
printf '"8","30","0","05","\xbf\xaa\xbb\xe1"\r\n"12","0","0","010","\xce\xe7\xb7\xb9"\r\n"","","","5",""\r\n' \
  >"$folder/time.txt"
# What the program writes back: the leads in their plain form, the pickers
# never set still empty.
printf '"8","30","0","5","\xbf\xaa\xbb\xe1"\r\n"12","0","0","10","\xce\xe7\xb7\xb9"\r\n"","","","5",""\r\n' \
  >"$work/expected.txt"
case "$scenario" in
minute) # slot 1 at 8:45:00, until the user types 05
  printf '"8","45","0","5","\xbf\xaa\xbb\xe1"\r\n"","","","5",""\r\n"","","","5",""\r\n' >"$folder/time.txt" ;;
loadbox) # an hour no picker has
  printf '"99","30","0","5",""\r\n"","","","5",""\r\n"","","","5",""\r\n' >"$folder/time.txt" ;;
zone) # slot 1 at 12:00:25, no warning ahead: "到站"
  printf '"12","0","25","0","\xb5\xbd\xd5\xbe"\r\n"","","","5",""\r\n"","","","5",""\r\n' >"$folder/time.txt" ;;
esac

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
faketime=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
# The program's clock: the real one moved by $offset seconds (libfaketime),
# so that the test can tell what time the program sees.
startClockAt() {
  offset=$(($(date -u -d "$1" +%s) - $(date +%s)))
  if [ "$offset" -lt 0 ]; then fake="$offset"; else fake="+$offset"; fi
  export LD_PRELOAD=$faketime FAKETIME="$fake" FAKETIME_NO_CACHE=1
}
# Waits until the program's clock (UTC) reaches a time of the test's day.
waitForClock() {
  local target
  target=$(($(date -u -d "2026-12-07 $1" +%s) - offset))
  while [ "$(date +%s%N)" -lt "${target}000000000" ]; do sleep 0.05; done
}
# Fails when the program's clock (UTC) is already past a time of the test's day.
notPast() {
  [ $(($(date +%s) + offset)) -lt "$(date -u -d "2026-12-07 $1" +%s)" ] ||
    fail "too slow: the program's clock passed $1 before $2"
}
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
elif [ "$scenario" = minute ]; then
  startClockAt "2026-12-07 08:04:40" # 20 s to start and to type
elif [ "$scenario" = zone ]; then
  # A private /etc (an overlay, changes kept in $work) in the namespace:
  # the zone is UTC+8, then becomes UTC+10 as timedatectl makes it so.
  mkdir "$work/etc-changes" "$work/etc-overlay"
  mount -t overlay overlay -o "lowerdir=/etc,upperdir=$work/etc-changes,workdir=$work/etc-overlay" /etc ||
    fail "cannot put a private /etc in place"
  mounts+=(/etc)
  ln -sfn /usr/share/zoneinfo/Etc/GMT-8 /etc/localtime
  unset TZ
  startClockAt "2026-12-07 01:59:50" # 09:59:50 in the first zone
elif [ "$scenario" = readonly ]; then
  # Before the start: a program already in the folder would go on writing
  # through the mount it entered.
  mount --bind "$folder" "$folder" || fail "cannot mount the folder on itself"
  mounts+=("$folder")
  mount -o remount,bind,ro "$folder" || fail "cannot make the folder read-only"
fi
(cd "$folder" && exec "$program") >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
unset LD_PRELOAD FAKETIME

if [ "$scenario" = loadbox ]; then
  waitFor 100 shownWindow Tindora || fail "no box about time.txt at the start"
  kill -TERM "$program_pid"
  waitFor 50 gone "$program_pid" || fail "SIGTERM did not end the program while its first box was open"
  wait "$program_pid" || fail "the program ended with status $?"
  echo "PASS: $scenario"
  exit 0
fi

waitFor 100 xdotool search --name '^Tindora1\.0$' || fail "no window titled Tindora1.0"
window=$(xdotool search --name '^Tindora1\.0$' | head -n1)
waitFor 50 isViewable "$window" || fail "the window is not shown"
size=$(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$size" = 681x110 ] || fail "window size $size, expected 681x110"
waitFor 50 hasTrayIcon || fail "no icon in the tray"

# Where slot 1's fields are on the window (the table's twips at 96 dpi): the
# text part of the minute picker, the note.
minuteField=(111 10)
noteField=(520 9)
# Clicks into a field, selects what it holds, types and leaves it with Tab.
# Latin text only: xdotool types other characters through a key it remaps
# for each one, and Qt missed all but the first of them.
typeInto() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.2 # the click takes the focus before the keys come
  xdotool key ctrl+a
  xdotool type --delay 30 "$3"
  xdotool key Tab
}
savedAs() { iconv -f GB18030 -t UTF-8 "$folder/time.txt" | grep -q "$1"; }

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
minute)
  # Written as on a clock: not as the list has it, so the program, not Qt's
  # own match of the list, takes it.
  typeInto "${minuteField[@]}" 05
  waitFor 50 savedAs '^"8","5","0","5",' || fail "the minute committed with Tab was not saved"
  notPast 08:04:58 "the minute was typed"
  waitForClock 08:04:58
  ! shownWindow '固定报时！' >/dev/null || fail "the box came before 08:05:00"
  waitFor 150 shownWindow '固定报时！' || fail "no box for 8:05:00 by 08:05:13"
  ;;
xend)
  typeInto "${noteField[@]}" 'parcel at 6'
  waitFor 50 savedAs '"parcel at 6"' || fail "the note committed with Tab was not saved"
  # The session's X server ends: the program must end with it.
  kill "$WITH_XVFB_PID"
  waitFor 100 gone "$program_pid" || fail "the program outlived the X server"
  wait "$program_pid" || true # Qt ends the program with status 1 when X goes
  printf '"8","30","0","5","parcel at 6"\r\n"12","0","0","10","\xce\xe7\xb7\xb9"\r\n"","","","5",""\r\n' \
    >"$work/expected.txt"
  cmp "$folder/time.txt" "$work/expected.txt" || fail "time.txt does not hold the note"
  ;;
zone)
  notPast 02:00:00 "the window came"
  waitForClock 02:00:00 # 10:00:00 at UTC+8
  # As timedatectl does it: a new link renamed over the old one.
  ln -s /usr/share/zoneinfo/Etc/GMT-10 /etc/.localtime.new
  mv -T /etc/.localtime.new /etc/localtime # 12:00:00 at UTC+10
  waitForClock 02:00:23
  ! shownWindow '固定报时！' >/dev/null || fail "the box came before 12:00:25"
  # Unnoticed, the zone would reach the program at its next safety wake-up,
  # about 02:00:50.
  waitFor 120 shownWindow '固定报时！' || fail "no box for 12:00:25 by 12:00:35"
  ;;
readonly)
  typeInto "${noteField[@]}" 'parcel at 6'
  waitFor 50 shownWindow Tindora || fail "no box saying the note cannot be saved"
  # The session ends while that box is open; a second signal follows.
  kill -TERM "$program_pid"
  kill -TERM "$program_pid"
  waitFor 50 gone "$program_pid" || fail "SIGTERM did not end the program while a box was open"
  wait "$program_pid" || fail "the program ended with status $?"
  told=$(grep -cx "tindora: 无法保存设置文件 $folder/time.txt：写入临时文件 $folder/time.txt.new 时出错：所在的磁盘是只读的。原来的文件没有改动。" \
    "$work/program.log") || true
  [ "$told" = 1 ] || fail "stderr said $told times why time.txt could not be saved, expected once"
  ! shownWindow Tindora >/dev/null || fail "a box is left"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
