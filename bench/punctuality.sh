#!/usr/bin/env bash
# How late each box comes after the second it announces, on a real run of the
# real programs: the box of a moment must be on screen within 50 ms of its
# second (p99).
#   bench/punctuality.sh                       # both platforms, 36 boxes each
#   INSTANCES=2 bench/punctuality.sh linux     # a quicker look, 12 boxes
#   ROUNDS=2 bench/punctuality.sh windows      # 72 boxes
#   REVISION=307b199 bench/punctuality.sh      # the program as built at a revision
# Each round starts INSTANCES copies of the program (at most 6), each in its own
# folder, on one private Xvfb (under Wine in one copy of the project's prefix
# with its own wine server), each with three slots due 60 to 114 s ahead with a
# lead of 1 minute, so every slot gives a warning box and a due box, every box
# at a second of its own, 3 s apart. tindora_box_watch (bench/tools) prints the
# wall-clock time at which the X server maps each window titled 固定报时！ or
# 整点报时！; each is matched to the second it announces (known from the
# time.txt written here) and its lateness is the time past that second's start.
# The boxes are left open, stacked, as a user away from the desk would.
# Not a test: run it by hand on a quiet machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
instances=${INSTANCES:-6}
rounds=${ROUNDS:-1}
revision=${REVISION:-}
lead_in=${LEAD_IN_SECONDS:-15}
platforms=("$@")
[ ${#platforms[@]} -gt 0 ] || platforms=(linux windows)
for p in "${platforms[@]}"; do
  case $p in linux | windows) ;; *) echo "usage: bench/punctuality.sh [linux] [windows]" >&2; exit 2 ;; esac
done
# 3 slots an instance, 3 s apart: all due boxes must come after the last warning.
[ "$instances" -ge 1 ] && [ "$instances" -le 6 ] || { echo "bench: INSTANCES from 1 to 6" >&2; exit 2; }

. "$root/bench/lib/processes.sh"
. "$root/bench/lib/builds.sh"
. "$root/bench/lib/display.sh"

echo "building..." >&2
buildCurrentLinux # the watcher, whatever is measured
declare -A program
for p in "${platforms[@]}"; do
  if [ -n "$revision" ]; then
    tree=$(baselineTree "$revision")
    [ "$p" = linux ] && program[linux]=$(buildBaselineLinux "$tree")
    [ "$p" = windows ] && program[windows]=$(buildBaselineWindows "$tree")
  else
    [ "$p" = linux ] && program[linux]=$root/build/linux/ui/qt/tindora
    [ "$p" = windows ] && buildCurrentWindows && program[windows]=$root/build/windows/ui/win32/tindora.exe
  fi
done
watch=$root/build/linux/bench/tools/tindora_box_watch

mkdir -p "$root/build"
work=$(mktemp -d "$root/build/bench-punctuality.XXXXXX")
startDisplay
display=$new_display
if [[ " ${platforms[*]} " == *" windows "* ]]; then
  if [ ! -f "$root/build/wineprefix/system.reg" ]; then
    echo "making the Wine prefix..." >&2
    DISPLAY=$display "$root/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 </dev/null || true
  fi
  WINEPREFIX=$root/build/wineprefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$root/build/wineprefix wineserver -w 2>/dev/null || true
  cp -a "$root/build/wineprefix" "$work/prefix"
  prefixes+=("$work/prefix")
  # The server and Wine's own processes start with the first program: let that
  # be a program that is not measured.
  DISPLAY=$display TINDORA_WINEPREFIX=$work/prefix "$root/scripts/wine-run.sh" cmd /c exit \
    >/dev/null 2>&1 </dev/null || true
fi

# slotLine EPOCH: a slot due at that second (local time is UTC here), 1 minute's lead.
slotLine() {
  printf '"%s","%s","%s","1",""\r\n' "$(date -u -d "@$1" +%-H)" "$(date -u -d "@$1" +%-M)" "$(date -u -d "@$1" +%-S)"
}

# round PLATFORM N: one round; appends the expected seconds to expected.N and
# the watcher's lines to events.N.
round() {
  local platform=$1 n=$2 base i j k due dir pids=() watcher
  : >"$work/events.$n"
  DISPLAY=$display "$watch" $((lead_in + 60 + 9 * instances + 5)) 固定报时！ 整点报时！ >"$work/events.$n" 2>"$work/watch.$n.log" \
    </dev/null &
  watcher=$!
  started+=("$watcher")
  waitFor 50 grep -q '^# watching' "$work/events.$n" || {
    cat "$work/watch.$n.log" >&2
    echo "bench: the watcher did not start" >&2
    exit 1
  }
  base=$(( $(date +%s) + lead_in ))
  for ((i = 0; i < instances; i++)); do
    dir=$work/$platform-$n-$i
    mkdir -p "$dir"
    for ((j = 0; j < 3; j++)); do
      k=$((3 * i + j))
      due=$((base + 60 + 3 * k))
      slotLine "$due" >>"$dir/time.txt"
      echo $((due - 60)) >>"$work/expected.$n"
      echo "$due" >>"$work/expected.$n"
    done
    case $platform in
    linux)
      (cd "$dir" && exec env DISPLAY="$display" TZ=UTC LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 QT_QPA_PLATFORM=xcb \
        SDL_AUDIODRIVER=dummy "${program[linux]}") >"$dir/program.log" 2>&1 </dev/null &
      ;;
    windows)
      (cd "$dir" && exec env DISPLAY="$display" TZ=UTC TINDORA_WINEPREFIX="$work/prefix" \
        "$root/scripts/wine-run.sh" "${program[windows]}") >"$dir/program.log" 2>&1 </dev/null &
      ;;
    esac
    pids+=($!)
    started+=($!)
  done
  # Every program must be up before its first warning.
  DISPLAY=$display waitFor $(( (lead_in - 3) * 10 )) bash -c \
    "[ \$(xdotool search --onlyvisible --name '^Tindora1\\.0\$' | wc -l) -ge $instances ]" \
    || echo "bench: warning: not all $instances programs showed their window in time" >&2
  wait "$watcher" || true
  kill "${pids[@]}" 2>/dev/null || true
  wait "${pids[@]}" 2>/dev/null || true
}

# report PLATFORM FILES...: lateness of each box, matched to the announced
# second it follows (a box more than 2 s late, or early, counts as unexpected).
report() {
  local platform=$1
  shift
  awk -v platform="$platform" '
    FILENAME ~ /expected/ { want[$1] = 1; next }
    /^#/ { next }
    {
      s = int($1 / 1000) ; found = 0
      for (c = s + 1; c >= s - 2; c--)
        if ((c in want) && !(c in got) && $1 - c * 1000 >= -1000 && $1 - c * 1000 < 2000) { found = 1; break }
      if (!found) { extra++; next }
      got[c] = 1; late[++n] = $1 - c * 1000
    }
    END {
      for (c in want) if (!(c in got)) missing++
      for (a = 1; a <= n; a++) for (b = a + 1; b <= n; b++) if (late[b] < late[a]) { t = late[a]; late[a] = late[b]; late[b] = t }
      if (n == 0) { printf "%s: no box seen (%d expected)\n", platform, missing; exit }
      p99 = late[int(0.99 * n + 0.999999)]
      median = (n % 2) ? late[(n + 1) / 2] : (late[n / 2] + late[n / 2 + 1]) / 2
      over = 0; for (a = 1; a <= n; a++) if (late[a] > 50) over++
      printf "%s: %d boxes (%d missing, %d unexpected): median %.1f ms, p99 %.1f ms, max %.1f ms, over 50 ms: %d (target: p99 <= 50 ms)\n",
        platform, n, missing, extra, median, p99, late[n], over
      printf "  sorted, ms:"; for (a = 1; a <= n; a++) printf " %.0f", late[a]; printf "\n"
    }' "$@"
}

echo "punctuality: $(nproc) cores, $instances programs a round, $rounds round(s);" \
  "program ${revision:-$(git -C "$root" rev-parse --short=7 HEAD)}"
for platform in "${platforms[@]}"; do
  files=()
  for ((r = 0; r < rounds; r++)); do
    echo "$platform: round $((r + 1)) of $rounds, about $((lead_in + 60 + 9 * instances + 5)) s..." >&2
    round "$platform" "$platform-$r"
    files+=("$work/expected.$platform-$r" "$work/events.$platform-$r")
  done
  report "$platform" "${files[@]}"
done
