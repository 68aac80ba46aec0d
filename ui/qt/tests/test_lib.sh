# What the Linux program's shell tests share; sourced, not run.

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
# True once the process has ended.
gone() { ! kill -0 "$1" 2>/dev/null; }
# True when the command prints the expected text: equals TEXT COMMAND...
equals() { [ "$("${@:2}")" = "$1" ]; }

# An X window's map state, and the two the tests ask about.
mapState() { xwininfo -id "$1" 2>/dev/null | awk '/Map State:/{print $3}'; }
isViewable() { [ "$(mapState "$1")" = IsViewable ]; }
isUnmapped() { [ "$(mapState "$1")" = IsUnMapped ]; }

# Writes the configuration of a private D-Bus bus: busConfig FILE TYPE SOCKET
# [SERVICES]. Anyone on it may own any name and watch every message (the
# tests log calls with dbus-monitor); a session bus activates only what
# SERVICES holds, so nothing of the user's session answers.
busConfig() {
  local file=$1 type=$2 socket=$3 services=${4:-}
  cat >"$file" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$type</type>
  <listen>unix:path=$socket</listen>
  $([ -n "$services" ] && echo "<servicedir>$services</servicedir>")
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
}

# Stops what the script started (the numbers in its array pids), newest
# first, and only what still runs: the number of a process that ended may
# belong to another by now.
stopStarted() {
  local running i
  running=" $(jobs -pr | tr '\n' ' ') "
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    [[ $running == *" ${pids[i]} "* ]] && kill "${pids[i]}" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
