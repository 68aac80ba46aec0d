#!/usr/bin/env bash
# Runs a command on a private D-Bus session bus: its own configuration and an
# empty service folder, so that nothing is started by activation (no
# notification server, no tray) and nothing of the user's session answers.
#   with-session-bus.sh COMMAND...
set -euo pipefail
# shellcheck source=test_lib.sh
source "$(dirname "$0")/test_lib.sh"

dir=$(mktemp -d)
bus=""
cleanup() {
  [ -n "$bus" ] && kill "$bus" 2>/dev/null && wait "$bus" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
mkdir "$dir/services"
busConfig "$dir/session.conf" session "$dir/bus" "$dir/services"
dbus-daemon --config-file="$dir/session.conf" --nofork --print-address=3 3>"$dir/address" &
bus=$!
for _ in $(seq 100); do
  [ -s "$dir/address" ] && break
  kill -0 "$bus" 2>/dev/null || { echo "with-session-bus: dbus-daemon did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$dir/address" ] || { echo "with-session-bus: dbus-daemon gave no address" >&2; exit 1; }
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$dir/address")
export DBUS_SESSION_BUS_ADDRESS
status=0
"$@" || status=$?
exit "$status"
