#!/usr/bin/env bash
# Idle cost of the programs with nothing to announce for a while: three slots
# set up, the hourly chime ticked, the next announcement more than IDLE_SECONDS
# away; window shown and window hidden in the tray; the current program and the
# same program built from BASELINE_REV, all at once in one run.
#   bench/idle.sh                      # both platforms, IDLE_SECONDS=600
#   IDLE_SECONDS=30 bench/idle.sh linux
#   BASELINE_REV=307b199 bench/idle.sh windows
#   FLOOR=0 bench/idle.sh              # without the empty-window floor rows
# For each process, over the same IDLE_SECONDS: wake-ups a second (voluntary
# context switches, all threads) and CPU time (schedstat, all threads) as ms
# per 120 s; under Wine also the prefix's wine server, which serves every
# timer message of the program. Beside them, as the floor, each platform's
# empty window program (bench/qt/minimal_window.cpp,
# bench/win32/minimal_window.cpp): one shown window, no timer. Then the same
# figures thread by thread. Not a test: run it by hand on a quiet machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
idle=${IDLE_SECONDS:-600}
settle=${SETTLE_SECONDS:-15}
baseline_rev=${BASELINE_REV:-307b199}
floor=${FLOOR:-1}
platforms=("$@")
[ ${#platforms[@]} -gt 0 ] || platforms=(linux windows)
for p in "${platforms[@]}"; do
  case $p in linux | windows) ;; *) echo "usage: bench/idle.sh [linux] [windows]" >&2; exit 2 ;; esac
done
# The slots move out with a longer run; the next full hour, about 57 minutes
# after the start, bounds it.
[ "$idle" -le 3000 ] || { echo "bench: IDLE_SECONDS at most 3000 (the hourly chime would come)" >&2; exit 2; }

. "$root/bench/lib/processes.sh"
. "$root/bench/lib/builds.sh"
. "$root/bench/lib/display.sh"

has() { [[ " ${platforms[*]} " == *" $1 "* ]]; }

echo "building (current tree and $baseline_rev)..." >&2
tree=$(baselineTree "$baseline_rev")
declare -A program
if has linux; then
  buildCurrentLinux
  program[linux-new]=$root/build/linux/ui/qt/tindora
  program[linux-old]=$(buildBaselineLinux "$tree")
  program[linux-floor]=$root/build/linux/bench/qt/tindora_minimal_window
fi
if has windows; then
  buildCurrentWindows
  program[windows-new]=$root/build/windows/ui/win32/tindora.exe
  program[windows-old]=$(buildBaselineWindows "$tree")
  program[windows-floor]=$root/build/windows/bench/win32/minimal_window.exe
fi

mkdir -p "$root/build"
work=$(mktemp -d "$root/build/bench-idle.XXXXXX")

# Under Wine each program gets a copy of the project's prefix with a wine
# server of its own, so that each server's CPU is spent for one program.
if has windows; then
  if [ ! -f "$root/build/wineprefix/system.reg" ]; then
    echo "making the Wine prefix..." >&2
    startDisplay
    DISPLAY=$new_display "$root/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 </dev/null || true
  fi
  # A copy of a prefix whose server still runs could miss its last registry writes.
  WINEPREFIX=$root/build/wineprefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$root/build/wineprefix wineserver -w 2>/dev/null || true
  for name in windows-new-shown windows-new-hidden windows-old-shown windows-old-hidden windows-floor-shown; do
    cp -a "$root/build/wineprefix" "$work/prefix-$name"
  done
fi

# Local time a few minutes past a full hour, through a time zone with an
# arbitrary offset (glibc and Wine both follow TZ; libfaketime reaches
# neither 32-bit Wine nor the Linux program's wall-clock timer).
now=$(date +%s)
offset_minutes=$(( (63 - 10#$(date -u -d "@$now" +%M)) % 60 ))
tz=$(printf 'XXX-5:%02d' "$offset_minutes")
# Slots 20, 30 and 40 minutes ahead (further for a long run), 5 minutes' lead:
# nothing is due until well after the run.
first_minutes=$(( (idle + settle + 240) / 60 + 6 ))
[ "$first_minutes" -ge 20 ] || first_minutes=20
slotLine() {
  local t=$(( now + $1 * 60 ))
  printf '"%s","%s","%s","5","%s"\r\n' "$(TZ=$tz date -d "@$t" +%-H)" "$(TZ=$tz date -d "@$t" +%-M)" \
    "$(TZ=$tz date -d "@$t" +%-S)" "$2"
}
{
  slotLine "$first_minutes" a
  slotLine $((first_minutes + 10)) b
  slotLine $((first_minutes + 20)) c
} >"$work/time.txt"
echo "TZ=$tz: local time $(TZ=$tz date -d "@$now" +%H:%M:%S), slots at" \
  "$(tr -d '"\r' <"$work/time.txt" | awk -F, '{printf "%s:%02d:%02d ", $1, $2, $3}')" >&2

mainWindow() { DISPLAY=$1 xdotool search --onlyvisible --name "^${2:-Tindora1\.0}\$" 2>/dev/null | head -n1; }
hasMainWindow() { [ -n "$(mainWindow "$@")" ]; }
hasNoMainWindow() { [ -z "$(mainWindow "$1")" ]; }
anyBox() { DISPLAY=$1 xdotool search --onlyvisible --name '^(固定报时！|整点报时！)$' 2>/dev/null | head -n1; }

# clickControl DISPLAY WINDOW LEFT TOP WIDTH HEIGHT: a click in the middle of
# a control given in twips. Wine draws the frame itself inside the X window
# (Managed=N); without a window manager the Qt window is the client area.
# Prints a digest of the control's pixels before and after.
clickControl() {
  local d=$1 w=$2 X Y WIDTH HEIGHT SCREEN WINDOW bx by left top width height
  eval "$(DISPLAY=$d xdotool getwindowgeometry --shell "$w")"
  bx=$(( (WIDTH - 681) / 2 ))
  by=$(( HEIGHT - 110 - bx ))
  left=$(( X + bx + $3 / 15 )) top=$(( Y + by + $4 / 15 )) width=$(( $5 / 15 )) height=$(( $6 / 15 ))
  pixels() { DISPLAY=$d import -window root -crop "${width}x${height}+${left}+${top}" png:- 2>/dev/null | md5sum; }
  pixels
  DISPLAY=$d xdotool mousemove $((left + width / 2)) $((top + height / 2)) click 1
  sleep 0.5
  pixels
  # Off the window, so that no hover state stays.
  DISPLAY=$d xdotool mousemove 1270 1010
}

declare -A pid display server prefix
names=()
declare -A title
# setUp NAME STATE: one program on a display of its own with trayer as its
# tray; hourly chime ticked; hidden to the tray when STATE is hidden. The
# floor's empty window is only shown.
setUp() {
  local name=$1 state=$2 kind=${1%-*} dir=$work/$1 d w digest
  case $kind in
  linux-floor) title[$name]=Minimal ;;
  windows-floor) title[$name]=MinimalWindow ;;
  *) title[$name]='Tindora1\.0' ;;
  esac
  mkdir -p "$dir"
  cp "$work/time.txt" "$dir/time.txt"
  startDisplay
  d=$new_display
  startTrayer "$d" "$dir/trayer.log"
  case $kind in
  linux-*)
    (cd "$dir" && exec env DISPLAY="$d" TZ="$tz" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 QT_QPA_PLATFORM=xcb \
      "${program[$kind]}") >"$dir/program.log" 2>&1 </dev/null &
    ;;
  windows-*)
    prefix[$name]=$work/prefix-$name
    prefixes+=("${prefix[$name]}")
    (cd "$dir" && exec env DISPLAY="$d" TZ="$tz" TINDORA_WINEPREFIX="${prefix[$name]}" \
      "$root/scripts/wine-run.sh" "${program[$kind]}") >"$dir/program.log" 2>&1 </dev/null &
    ;;
  esac
  pid[$name]=$!
  started+=("${pid[$name]}")
  display[$name]=$d
  waitFor 600 hasMainWindow "$d" "${title[$name]}" || { echo "bench: $name showed no window" >&2; exit 1; }
  sleep 1
  if [[ $kind == *-floor ]]; then
    DISPLAY=$d xdotool mousemove 1270 1010
    names+=("$name")
    finishSetUp "$name" "$kind"
    return 0
  fi
  w=$(mainWindow "$d")
  digest=$(clickControl "$d" "$w" 2520 1200 1095 375) # Check3, 整点报时
  [ "$(echo "$digest" | sort -u | wc -l)" = 2 ] || { echo "bench: $name: the click did not tick 整点报时" >&2; exit 1; }
  if [ "$state" = hidden ]; then
    clickControl "$d" "$w" 7080 1200 1455 375 >/dev/null # Command6, 最小化到托盘
    waitFor 50 hasNoMainWindow "$d" || { echo "bench: $name: the window did not go to the tray" >&2; exit 1; }
  fi
  names+=("$name")
  finishSetUp "$name" "$kind"
}
finishSetUp() {
  local name=$1 kind=$2
  if [[ $kind == windows-* ]]; then
    server[$name]=$(serverPid "${prefix[$name]}")
    [ -n "${server[$name]}" ] || { echo "bench: $name: no wine server found" >&2; exit 1; }
  fi
  echo "set up $name on ${display[$name]} (pid ${pid[$name]}${server[$name]:+, wine server ${server[$name]}})" >&2
}

# The wine server of a prefix works in <tmp>/.wine-UID/server-DEV-INODE.
serverPid() {
  local dir want p
  dir=$(stat -c '%D %i' "$1")
  want=$(printf 'server-%x-%x' "0x${dir% *}" "${dir#* }")
  for p in /proc/[0-9]*; do
    if [ "$(basename "$(readlink "$p/cwd" 2>/dev/null)")" = "$want" ] \
      && [[ "$(tr '\0' ' ' <"$p/cmdline" 2>/dev/null)" == *wineserver* ]]; then
      echo "${p#/proc/}"
      return 0
    fi
  done
}

# All threads of a process: voluntary context switches (each one a sleep the
# process woke from) and CPU nanoseconds.
wakeups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ {s += $2} END {print s + 0}'; }
cpuNs() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%.0f\n", s}'; }

for kind in linux-new linux-old linux-floor windows-new windows-old windows-floor; do
  [ -n "${program[$kind]:-}" ] || continue
  if [[ $kind == *-floor ]]; then
    [ "$floor" = 0 ] || setUp "$kind-shown" shown
    continue
  fi
  setUp "$kind-shown" shown
  setUp "$kind-hidden" hidden
done

checkStates() {
  local name
  for name in "${names[@]}"; do
    kill -0 "${pid[$name]}" 2>/dev/null || { echo "bench: $name has ended" >&2; exit 1; }
    if [[ $name == *-shown ]]; then
      hasMainWindow "${display[$name]}" "${title[$name]}" || { echo "bench: $name: the window is no longer shown" >&2; exit 1; }
    else
      hasNoMainWindow "${display[$name]}" || { echo "bench: $name: the window is no longer hidden" >&2; exit 1; }
    fi
    [ -z "$(anyBox "${display[$name]}")" ] || { echo "bench: $name announced something: not idle" >&2; exit 1; }
  done
}

# The Qt caret stops blinking 10 s after the last input (the clicks above).
sleep "$settle"
checkStates
declare -A w0 c0 w1 c1
# threads NAME PID: one line per thread, "NAME TID COMM WAKEUPS NS".
threads() {
  local t
  for t in /proc/"$2"/task/*; do
    echo "$1 ${t##*/} $(tr ' ' _ <"$t/comm" 2>/dev/null) $(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null)" \
      "$(cut -d' ' -f1 "$t/schedstat" 2>/dev/null)"
  done 2>/dev/null
}
sample() {
  local -n wakes=$1 cpu=$2
  local name
  for name in "${names[@]}"; do
    threads "$name" "${pid[$name]}" >>"$work/threads.$1"
    [ -z "${server[$name]:-}" ] || threads "$name-server" "${server[$name]}" >>"$work/threads.$1"
    wakes[$name]=$(wakeups "${pid[$name]}")
    cpu[$name]=$(cpuNs "${pid[$name]}")
    if [ -n "${server[$name]:-}" ]; then
      wakes[$name-server]=$(wakeups "${server[$name]}")
      cpu[$name-server]=$(cpuNs "${server[$name]}")
    fi
  done
}
echo "measuring ${#names[@]} programs for $idle s..." >&2
sample w0 c0
sleep "$idle"
sample w1 c1
checkStates

perSecond() { awk -v a="$1" -v b="$2" -v s="$idle" 'BEGIN {printf "%.3f", (b - a) / s}'; }
msPer120() { awk -v a="$1" -v b="$2" -v s="$idle" 'BEGIN {printf "%.2f", (b - a) / 1e6 * 120 / s}'; }
target() {
  case $1 in
  linux-new-hidden) echo "<= 0.02 /s, <= 0.5 ms" ;;
  linux-new-shown) echo "<= 0.02 /s, <= 0.5 ms (caret stopped)" ;;
  linux-old-*) echo "(issue, before: 1.02 /s, 11-13 ms)" ;;
  *-floor-*) echo "(floor: an empty window, no timer)" ;;
  windows-new-hidden) echo "exe <= 0.1 /s; exe + server <= 20 ms" ;;
  windows-new-shown) echo "(none set)" ;;
  windows-old-*) echo "(issue, before: 2.2 /s, server ~300 ms)" ;;
  esac
}
echo "idle over $idle s after ${settle} s to settle, all at once; $(nproc) cores; TZ=$tz;" \
  "old = $baseline_rev ($(git -C "$root" rev-parse --short=7 "$baseline_rev")), new = $(git -C "$root" rev-parse --short=7 HEAD)$(git -C "$root" diff --quiet HEAD -- . ':!bench' || echo ' + uncommitted changes')"
row() { printf '| %-7s | %-5s | %-6s | %10s | %12s | %14s | %15s | %12s | %22s | %s |\n' "$@"; }
row program rev state wake-ups/s "CPU ms/120 s" "server wakes/s" "server ms/120 s" "exe + server" "server above floor's" target
echo '|---|---|---|---|---|---|---|---|---|---|'
for name in "${names[@]}"; do
  IFS=- read -r plat rev state <<<"$name"
  exe_w=$(perSecond "${w0[$name]}" "${w1[$name]}")
  exe_c=$(msPer120 "${c0[$name]}" "${c1[$name]}")
  if [ -n "${server[$name]:-}" ]; then
    srv_w=$(perSecond "${w0[$name-server]}" "${w1[$name-server]}")
    srv_c=$(msPer120 "${c0[$name-server]}" "${c1[$name-server]}")
    sum=$(awk -v a="$exe_c" -v b="$srv_c" 'BEGIN {printf "%.2f", a + b}')
    # The server above what it does with no timer to serve, in the same run.
    above=""
    if [ -n "${server[windows-floor-shown]:-}" ] && [ "$name" != windows-floor-shown ]; then
      above=$(awk -v w="$srv_w" -v c="$srv_c" \
        -v fw="$(perSecond "${w0[windows-floor-shown-server]}" "${w1[windows-floor-shown-server]}")" \
        -v fc="$(msPer120 "${c0[windows-floor-shown-server]}" "${c1[windows-floor-shown-server]}")" \
        'BEGIN {printf "%+.2f /s, %+.1f ms", w - fw, c - fc}')
    fi
  else
    srv_w="" srv_c="" sum="" above=""
  fi
  row "$plat" "$rev" "$state" "$exe_w" "$exe_c" "$srv_w" "$srv_c" "$sum" "$above" "$(target "$name")"
done

echo
echo "thread by thread (threads alive at both samples, those that woke):"
awk -v s="$idle" 'NR == FNR {w[$1 " " $2] = $4; c[$1 " " $2] = $5; next}
  ($1 " " $2) in w && $4 > w[$1 " " $2] {
    printf "  %-26s %-8s %-16s %8.3f wake-ups/s %9.2f ms/120 s\n", $1, $2, $3, ($4 - w[$1 " " $2]) / s,
      ($5 - c[$1 " " $2]) / 1e6 * 120 / s
  }' "$work/threads.w0" "$work/threads.w1"
