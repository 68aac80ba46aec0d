#!/usr/bin/env bash
# Runs a command with a display: the current one when DISPLAY is set,
# otherwise a private Xvfb on a free display number, stopped afterwards.
#   scripts/with-xvfb.sh ctest --test-dir build/linux
set -euo pipefail

if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi

# -displayfd lets Xvfb pick a free display itself and say which once it is
# ready, so two runs never race for the same number.
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
xvfb=$!
stopXvfb() {
  # Unless it ended already (a test may end it): its number may be another
  # process's by now.
  if [[ " $(jobs -pr | tr '\n' ' ') " == *" $xvfb "* ]]; then kill "$xvfb" 2>/dev/null || true; fi
  wait "$xvfb" 2>/dev/null || true
  rm -f "$fdfile"
}
trap stopXvfb EXIT
for _ in $(seq 100); do
  [ -s "$fdfile" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$fdfile" ] || { echo "with-xvfb: Xvfb gave no display number" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$fdfile")"
# For a test that ends the X server itself, as the end of a session does.
export WITH_XVFB_PID=$xvfb
# Xvfb names its display a moment before every client can connect.
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.05
done
"$@"
