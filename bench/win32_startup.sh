#!/usr/bin/env bash
# tindora.exe against a minimal Win32 window program built the same way, both
# under Wine on the project's virtual display, in the same run:
#   - start-up: from launch to the window shown (xdotool sees it mapped),
#   - working set: resident memory of the program's process 1 s after that,
#   - idle CPU: tindora.exe's CPU time (and the wine server's) over an idle span.
# Not part of the test command. Usage:
#   bench/win32_startup.sh [runs=7] [idle-seconds=60]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
idle=${2:-60}

cmake -S "$root" -B "$root/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINDORA_BUILD_BENCH=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$root/build/windows" -j2 --target tindora minimal_window controls_window >/dev/null
tindora=$root/build/windows/ui/win32/tindora.exe
baseline=$root/build/windows/bench/win32/minimal_window.exe
floor=$root/build/windows/bench/win32/controls_window.exe
wine_run=$root/scripts/wine-run.sh

work=$(mktemp -d)
started=()
cleanup() {
  for p in "${started[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

# One warm-up run sets up the prefix, the server and the display.
"$wine_run" "$baseline" & warm=$!
started+=("$warm")
sleep 3
kill "$warm" 2>/dev/null || true
wait "$warm" 2>/dev/null || true
if [ -z "${DISPLAY:-}" ]; then
  DISPLAY=$(cat "$root/build/wineprefix.state/display")
  export DISPLAY
fi

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# measure <exe> <window title> [argument]: prints "start-up-ms rss-kB"
measure() {
  local exe=$1 title=$2 start pid shown rss
  start=$(now_ms)
  "$wine_run" "$exe" ${3:+"$3"} 2>/dev/null & pid=$!
  started+=("$pid")
  until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    sleep 0.005
    [ $(( $(now_ms) - start )) -lt 20000 ] || { echo "no $title window within 20 s" >&2; exit 1; }
  done
  shown=$(now_ms)
  sleep 1
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  # Let the window go before the next run looks for one.
  for _ in $(seq 500); do
    xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 || break
    sleep 0.02
  done
  echo "$((shown - start)) $rss"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

: >"$work/tindora"; : >"$work/baseline"; : >"$work/text"; : >"$work/floor"
for _ in $(seq "$runs"); do
  # Alternate, so that drift of the machine touches all alike.
  measure "$baseline" MinimalWindow >>"$work/baseline"
  measure "$baseline" MinimalWindow text >>"$work/text"
  measure "$floor" ControlsWindow >>"$work/floor"
  rm -f time.txt
  measure "$tindora" Tindora1.0 >>"$work/tindora"
done

b_start=$(cut -d' ' -f1 "$work/baseline" | median); t_start=$(cut -d' ' -f1 "$work/tindora" | median)
b_rss=$(cut -d' ' -f2 "$work/baseline" | median); t_rss=$(cut -d' ' -f2 "$work/tindora" | median)
x_start=$(cut -d' ' -f1 "$work/text" | median); x_rss=$(cut -d' ' -f2 "$work/text" | median)
f_start=$(cut -d' ' -f1 "$work/floor" | median); f_rss=$(cut -d' ' -f2 "$work/floor" | median)
size=$(stat -c %s "$tindora")
echo "runs: $runs"
echo "tindora.exe size: $size bytes ($(awk -v s="$size" 'BEGIN {printf "%.2f", s / 1048576}') MiB)"
echo "start-up to shown window, median ms: tindora $t_start, baseline $b_start, ratio $(awk -v a="$t_start" -v b="$b_start" 'BEGIN {printf "%.2f", a / b}')"
echo "working set (VmRSS) median kB: tindora $t_rss, baseline $b_rss, ratio $(awk -v a="$t_rss" -v b="$b_rss" 'BEGIN {printf "%.2f", a / b}')"
echo "baseline with one Chinese caption: start-up $x_start ms, working set $x_rss kB;" \
  "tindora against it: $(awk -v a="$t_start" -v b="$x_start" 'BEGIN {printf "%.2f", a / b}')," \
  "$(awk -v a="$t_rss" -v b="$x_rss" 'BEGIN {printf "%.2f", a / b}')"
echo "the same window's controls alone: start-up $f_start ms, working set $f_rss kB;" \
  "against the baseline: $(awk -v a="$f_start" -v b="$b_start" 'BEGIN {printf "%.2f", a / b}')," \
  "$(awk -v a="$f_rss" -v b="$b_rss" 'BEGIN {printf "%.2f", a / b}');" \
  "tindora against it: $(awk -v a="$t_start" -v b="$f_start" 'BEGIN {printf "%.2f", a / b}')," \
  "$(awk -v a="$t_rss" -v b="$f_rss" 'BEGIN {printf "%.2f", a / b}')"

# Idle: the program ticks once a second with nothing to announce.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# The wine server of our prefix works from <tmp>/server-DEV-INODE of the prefix.
server_pid() {
  local dir want pid
  dir=$(stat -c '%D %i' "$root/build/wineprefix")
  want=$(printf 'server-%x-%x' "0x${dir% *}" "${dir#* }")
  for pid in /proc/[0-9]*; do
    [ "$(basename "$(readlink "$pid/cwd" 2>/dev/null)")" = "$want" ] && { echo "${pid#/proc/}"; return 0; }
  done
  return 0
}
rm -f time.txt
"$wine_run" "$tindora" 2>/dev/null & pid=$!
started+=("$pid")
until xdotool search --onlyvisible --name '^Tindora1.0$' >/dev/null 2>&1; do sleep 0.01; done
sleep 2
server=$(server_pid)
hz=$(getconf CLK_TCK)
p0=$(ticks "$pid"); s0=$( [ -n "$server" ] && ticks "$server" || echo 0 )
sleep "$idle"
p1=$(ticks "$pid"); s1=$( [ -n "$server" ] && ticks "$server" || echo 0 )
kill "$pid"; wait "$pid" 2>/dev/null || true
echo "idle over ${idle} s, % of one core: tindora.exe $(awk -v d=$((p1 - p0)) -v hz="$hz" -v t="$idle" 'BEGIN {printf "%.3f", 100 * d / hz / t}')," \
  "wine server $(awk -v d=$((s1 - s0)) -v hz="$hz" -v t="$idle" 'BEGIN {printf "%.3f", 100 * d / hz / t}')" \
  "(CPU clock ticks of 1/$hz s: $((p1 - p0)) and $((s1 - s0)))"
