# X displays for the benchmarks; sourced, with $started an array the caller
# ends at exit (each pid we start goes into it).

# startDisplay: a private Xvfb on a free display number; sets new_display to
# its name (":N") once a client can connect. (Not through $(...): the Xvfb's
# pid must reach $started.)
startDisplay() {
  local fdfile number
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" </dev/null >/dev/null 2>&1 &
  started+=($!)
  for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  number=$(tr -d '[:space:]' <"$fdfile")
  rm -f "$fdfile"
  [ -n "$number" ] || { echo "bench: Xvfb gave no display number" >&2; return 1; }
  for _ in $(seq 100); do
    xdpyinfo -display ":$number" >/dev/null 2>&1 && break
    sleep 0.05
  done
  new_display=":$number"
}

# startTrayer DISPLAY LOG: trayer as the display's notification area. Now and
# then it dies on a display it has just met, before its panel shows: up to
# three tries.
startTrayer() {
  local display=$1 log=$2
  for _ in 1 2 3; do
    DISPLAY=$display trayer --edge top --align right --widthtype pixel --width 64 --heighttype pixel \
      --height 32 --SetDockType false --transparent false >>"$log" 2>&1 </dev/null &
    started+=($!)
    for _ in $(seq 30); do
      DISPLAY=$display xdotool search --name '^panel$' >/dev/null 2>&1 && return 0
      sleep 0.1
    done
  done
  echo "bench: trayer did not start on $display" >&2
  return 1
}

# waitFor TENTHS COMMAND...: polls COMMAND for up to TENTHS tenths of a second.
waitFor() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
