#!/usr/bin/env bash
# The Linux program against a minimal Qt 6 Widgets window program built the
# same way (same compiler, flags and Qt), on a private Xvfb:
#   - start to a shown window (ms from exec to the X server mapping the window),
#   - resident memory (VmRSS) 2 s after the window is shown,
#   - CPU while idle (utime + stime over IDLE_SECONDS, after 5 s to settle).
# Medians over RUNS starts, the two programs alternating.
#   bench/linux_program.sh                 # RUNS=21 IDLE_SECONDS=600
#   RUNS=5 IDLE_SECONDS=60 bench/linux_program.sh
# Not a test: run it by hand on a quiet machine and quote its output.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${RUNS:-21}
idle=${IDLE_SECONDS:-600}

if [ -z "${TINDORA_BENCH_DISPLAY:-}" ]; then
  cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINDORA_BUILD_QT=ON \
    -DTINDORA_BUILD_BENCH=ON >/dev/null
  cmake --build build/linux --target tindora tindora_minimal_window tindora_controls_window \
    tindora_time_to_window >/dev/null
  export TINDORA_BENCH_DISPLAY=1
  exec env -u DISPLAY scripts/with-xvfb.sh "$0" "$@"
fi

bin=$root/build/linux/bench/qt
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export LANG=zh_CN.UTF-8 QT_QPA_PLATFORM=xcb

median() { sort -n | awk '{v[NR]=$1} END{print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

: >tindora.txt
: >minimal.txt
: >text.txt
: >controls.txt
for _ in $(seq "$runs"); do
  "$bin/tindora_time_to_window" 2000 "$root/build/linux/ui/qt/tindora" >>tindora.txt
  "$bin/tindora_time_to_window" 2000 "$bin/tindora_minimal_window" >>minimal.txt
  "$bin/tindora_time_to_window" 2000 "$bin/tindora_minimal_window" text >>text.txt
  "$bin/tindora_time_to_window" 2000 "$bin/tindora_controls_window" >>controls.txt
done
start_t=$(cut -d' ' -f1 tindora.txt | median)
start_m=$(cut -d' ' -f1 minimal.txt | median)
start_x=$(cut -d' ' -f1 text.txt | median)
rss_t=$(cut -d' ' -f2 tindora.txt | median)
rss_m=$(cut -d' ' -f2 minimal.txt | median)
rss_x=$(cut -d' ' -f2 text.txt | median)
start_c=$(cut -d' ' -f1 controls.txt | median)
rss_c=$(cut -d' ' -f2 controls.txt | median)

# CPU seconds a process has used so far (utime + stime).
cpuSeconds() { awk -v tck="$(getconf CLK_TCK)" '{print ($14 + $15) / tck}' "/proc/$1/stat"; }
"$root/build/linux/ui/qt/tindora" 2>/dev/null &
pid=$!
sleep 5
before=$(cpuSeconds "$pid")
sleep "$idle"
after=$(cpuSeconds "$pid")
kill "$pid"

echo "Linux program vs minimal Qt window, $runs starts each, Xvfb, $(nproc) cores"
awk -v a="$start_t" -v b="$start_m" 'BEGIN{printf "start to shown window: %.1f ms vs %.1f ms, ratio %.2f (target <= 1.5)\n", a, b, a / b}'
awk -v a="$rss_t" -v b="$rss_m" 'BEGIN{printf "resident memory:       %.1f MB vs %.1f MB, ratio %.2f (target <= 1.5)\n", a / 1024, b / 1024, a / b}'
echo "minimal window with one Chinese caption (the cost of text):"
awk -v a="$start_t" -v b="$start_x" 'BEGIN{printf "  start %.1f ms vs %.1f ms, ratio %.2f\n", a, b, a / b}'
awk -v a="$rss_t" -v b="$rss_x" 'BEGIN{printf "  memory %.1f MB vs %.1f MB, ratio %.2f\n", a / 1024, b / 1024, a / b}'
echo "the same window's widgets alone (what the window costs any program):"
awk -v c="$start_c" -v b="$start_m" -v a="$start_t" \
  'BEGIN{printf "  start %.1f ms: %.2f of the minimal window; tindora %.2f of it\n", c, c / b, a / c}'
awk -v c="$rss_c" -v b="$rss_m" -v a="$rss_t" \
  'BEGIN{printf "  memory %.1f MB: %.2f of the minimal window; tindora %.2f of it\n", c / 1024, c / b, a / c}'
awk -v b="$before" -v a="$after" -v s="$idle" \
  'BEGIN{printf "idle CPU over %d s:    %.3f s used, %.4f %% of one core (target < 0.1 %%)\n", s, a - b, (a - b) / s * 100}'
