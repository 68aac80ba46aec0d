#!/usr/bin/env bash
# The real program on real desktop parts, headless, each on a private session
# bus of its own (no service folder: nothing starts by activation):
#
#   desktop_test.sh TINDORA START sway   headless sway 1.7 with mako (the
#       notification server) and waybar (the tray), started through the menu
#       entry's tindora-start (START) as a user would: the program comes up
#       before any tray; waybar starts later, gets the icon and reads its
#       menu (com.canonical.dbusmenu); a left click on it sends the window to
#       the tray; waybar ends and the window comes back; waybar starts again
#       and gets the icon again. Meanwhile a warning
#       ahead, the hourly chime and a due reminder each post exactly one
#       notification (dbus-monitor's log: title, text, urgency), choosing the
#       notification brings its box to the front, and closing each box
#       withdraws its notification (CloseNotification, and mako no longer
#       lists it).
#   desktop_test.sh TINDORA START x11    Xvfb with dunst, and trayer started
#       after the program: the icon docks once trayer is up, trayer ending
#       brings the window hidden in it back, trayer again takes the icon; a
#       warning ahead posts one notification, withdrawn with its box.
#
# sway refuses to run as root: the sway session runs as nobody, in a fresh
# folder only it (and root) can reach. Every process started here is stopped
# here, whatever happens.
set -euo pipefail

program=$(realpath "$1")
start=$(realpath "$2")
desktop=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=test_lib.sh
source "$here/test_lib.sh"

fail() {
  echo "FAIL: $*" >&2
  if [ -n "${DISPLAY:-}" ]; then
    echo "windows:" >&2
    xdotool search --name . 2>/dev/null | while read -r w; do echo "  $w $(xdotool getwindowname "$w") $(mapState "$w")"; done >&2
  fi
  for log in "$work"/*.log; do
    [ -f "$log" ] && sed "s|^|$(basename "$log"): |" "$log" | tail -n 40 >&2
  done
  exit 1
}


pids=()

# A private session bus (as with-session-bus.sh) and dbus-monitor logging
# every call and signal of the notification protocol.
startBus() {
  mkdir -p "$work/bus/services"
  busConfig "$work/bus/session.conf" session "$work/bus/socket" "$work/bus/services"
  dbus-daemon --config-file="$work/bus/session.conf" --nofork --print-address=3 3>"$work/bus/address" \
    2>"$work/dbus.log" &
  pids+=($!)
  waitFor 100 test -s "$work/bus/address" || fail "dbus-daemon did not start"
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus/address")
  export DBUS_SESSION_BUS_ADDRESS
  dbus-monitor --session "interface='org.freedesktop.Notifications'" >"$work/monitor.txt" 2>&1 &
  pids+=($!)
  waitFor 50 grep -q NameAcquired "$work/monitor.txt" || fail "dbus-monitor did not start"
  # What trays ask of the tray icon's menu.
  dbus-monitor --session "interface='com.canonical.dbusmenu'" >"$work/menu-monitor.txt" 2>&1 &
  pids+=($!)
  waitFor 50 grep -q NameAcquired "$work/menu-monitor.txt" || fail "the menu's dbus-monitor did not start"
}
menuRead() { grep -q 'path=/MenuBar; interface=com.canonical.dbusmenu; member=GetLayout$' "$work/menu-monitor.txt"; }

# The notification protocol's calls in the monitor's log, one line each:
# "Notify<TAB>summary<TAB>body<TAB>urgency" and "CloseNotification<TAB>id".
protocolCalls() {
  awk '
    function flush() { if (call == "Notify") print "Notify\t" n[3] "\t" n[4] "\t" urgency; call = "" }
    /^method call/ {
      flush()
      if ($0 ~ /member=Notify$/) { call = "Notify"; count = 0; urgency = ""; delete n }
      else if ($0 ~ /member=CloseNotification$/) { call = "Close" }
      next
    }
    /^(signal|method return|error)/ { flush(); next }
    call == "Close" && /uint32/ { print "CloseNotification\t" $2; call = ""; next }
    call == "Notify" && /^   string "/ && count < 5 {
      count++; s = $0; sub(/^   string "/, "", s); sub(/"$/, "", s); n[count] = s; next
    }
    call == "Notify" && /string "urgency"/ { wantUrgency = 1; next }
    call == "Notify" && wantUrgency && /byte/ { urgency = $NF; wantUrgency = 0; next }
    END { flush() }
  ' "$work/monitor.txt"
}
notifyCount() { protocolCalls | grep -c "^Notify	$1	" || true; }
closeCount() { protocolCalls | grep -c "^CloseNotification	" || true; }

# The watcher's items, one a line, as it names them: the bus name (the
# program registers by path, so its unique name) and the object's path.
registeredItems() {
  dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
    string:RegisteredStatusNotifierItems 2>/dev/null | sed -n 's/^ *string "\(.*\)"$/\1/p'
}
itemsRegistered() { registeredItems | grep -c . || true; }
hasOurItem() { [ "$(itemsRegistered)" = 1 ]; }

# The title of the window sway gives the keyboard to.
focusedName() {
  swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("focused"):
        return node.get("name") or ""
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        found = walk(child)
        if found is not None:
            return found
    return None
print(walk(json.load(sys.stdin)) or "")'
}

boxCount() { xdotool search --name "^$1\$" 2>/dev/null | while read -r w; do isViewable "$w" && echo "$w"; done | wc -l; }

# The settings: slot 1 due at 9:00:40, warned a minute ahead (8:59:40);
# slot 2 due at 9:00:20. The clock starts at 8:59:25 (kStart); the hourly
# chime is switched on by a click on its check box.
kStart="@2026-12-07 08:59:25"
writeSettings() {
  mkdir -p "$1"
  printf '"9","0","40","1","\xbf\xaa\xbb\xe1"\r\n"9","0","20","5","\xce\xe7\xb7\xb9"\r\n"","","","5",""\r\n' \
    >"$1/time.txt"
}
# 整点报时 (Check3): 2520, 1200 twips, 15 twips a pixel.
switchHourlyOn() { xdotool mousemove --window "$1" 180 92 click 1; }

# ---------------------------------------------------------------- sway ----
swayInner() {
  export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
  export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
  startBus
  cat >"$work/sway.conf" <<'CONF'
output HEADLESS-1 resolution 1280x800
xwayland enable
# sway's default marks a window that asks for the focus as urgent; here it
# gets the focus, so that the test sees the request.
focus_on_window_activation focus
CONF
  sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
  pids+=($!)
  waitFor 100 bash -c 'ls "$XDG_RUNTIME_DIR"/wayland-* >/dev/null 2>&1' || fail "sway did not start"
  WAYLAND_DISPLAY=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-* | grep -v lock | head -n1)")
  export WAYLAND_DISPLAY
  SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.* | head -n1)
  export SWAYSOCK
  # Xwayland's display, as sway hands it to the programs it starts.
  swaymsg exec "echo \$DISPLAY >$work/display" >/dev/null
  waitFor 50 test -s "$work/display" || fail "sway gave no Xwayland display"
  DISPLAY=$(cat "$work/display")
  export DISPLAY
  printf 'default-timeout=0\n' >"$work/mako.conf"
  mako -c "$work/mako.conf" >"$work/mako.log" 2>&1 &
  pids+=($!)
  waitFor 50 dbus-send --session --print-reply --dest=org.freedesktop.Notifications \
    /org/freedesktop/Notifications org.freedesktop.Notifications.GetServerInformation || fail "mako did not start"
  mkdir -p "$work/waybar"
  printf '{ "layer": "top", "modules-right": ["tray"], "tray": { "spacing": 4 } }\n' >"$work/waybar/config"
  : >"$work/waybar/style.css"

  writeSettings "$HOME/.config/tindora"
  # As the menu entry starts it: tindora-start chooses Xwayland in a
  # Wayland session, so that the desktop can keep the boxes above.
  (LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME="$kStart" \
    FAKETIME_DONT_RESET=1 FAKETIME_NO_CACHE=1 LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 TZ=UTC \
    SDL_AUDIODRIVER=dummy exec "$work/bin/tindora-start") >"$work/program.log" 2>&1 &
  local program_pid=$!
  pids+=("$program_pid")
  waitFor 100 xdotool search --name '^Tindora1\.0$' || fail "no window titled Tindora1.0 on Xwayland"
  local window
  window=$(xdotool search --name '^Tindora1\.0$' | head -n1)
  waitFor 50 isViewable "$window" || fail "the window is not shown"
  tr '\0' '\n' <"/proc/$program_pid/environ" | grep -qx QT_QPA_PLATFORM=xcb ||
    fail "tindora-start did not choose Xwayland"
  [ "$(itemsRegistered)" = 0 ] || fail "a tray item before any tray"
  switchHourlyOn "$window"

  # The warning ahead at 8:59:40, while no tray runs yet.
  waitFor 250 equals 1 boxCount '固定报时！' || fail "no warning box by 8:59:50"
  waitFor 50 equals 1 notifyCount '固定报时！' || fail "the warning posted no notification"
  protocolCalls | grep -q "^Notify	固定报时！	.*	2$" || fail "the warning's notification is not critical"
  waitFor 30 bash -c 'makoctl list | grep -q 固定报时' || fail "mako does not show the warning"
  # Choosing the notification brings the box to the front: another
  # program's window has the focus first.
  xmessage -name elsewhere -title elsewhere "another program" >"$work/xmessage.log" 2>&1 &
  pids+=($!)
  waitFor 50 xdotool search --name '^elsewhere$' || fail "xmessage did not start"
  swaymsg '[title="^elsewhere$"] focus' >/dev/null
  waitFor 30 equals elsewhere focusedName || fail "sway did not focus the other window"
  makoctl invoke
  waitFor 50 equals 固定报时！ focusedName || {
    grep -A3 ActionInvoked "$work/monitor.txt" >&2 || true
    fail "choosing the notification did not bring the box to the front"
  }

  # The tray comes after the program: waybar's tray gets the icon.
  waybar -c "$work/waybar/config" -s "$work/waybar/style.css" >"$work/waybar.log" 2>&1 &
  local waybar_pid=$!
  pids+=("$waybar_pid")
  waitFor 100 hasOurItem || fail "waybar started after the program but did not get the icon"
  # waybar reads the item's menu (it draws it on a right click).
  waitFor 100 menuRead || fail "waybar did not read the icon's menu"

  # The hourly chime at 9:00:00, normal urgency.
  waitFor 200 equals 1 notifyCount '整点报时！' || fail "the hourly chime posted no notification"
  protocolCalls | grep -q "^Notify	整点报时！	.*	1$" || fail "the hourly chime's notification is not of normal urgency"
  # Closing the boxes withdraws their notifications; mako lists none then.
  local closes
  closes=$(closeCount)
  swaymsg '[title="^整点报时！$"] kill' >/dev/null
  waitFor 50 equals $((closes + 1)) closeCount || fail "closing the hourly box withdrew nothing"
  swaymsg '[title="^固定报时！$"] kill' >/dev/null
  waitFor 50 equals $((closes + 2)) closeCount || fail "closing the warning box withdrew nothing"
  # The due box at 9:00:20.
  waitFor 200 equals 2 notifyCount '固定报时！' || fail "the due reminder posted no notification"
  [ "$(protocolCalls | grep -c "^Notify	固定报时！	.*	2$")" = 2 ] || fail "the due notification is not critical"
  swaymsg '[title="^固定报时！$"] kill' >/dev/null
  waitFor 50 equals $((closes + 3)) closeCount || fail "closing the due box withdrew nothing"
  waitFor 50 bash -c '[ -z "$(makoctl list | grep -E "固定报时|整点报时")" ]' || fail "mako still shows a withdrawn notification"
  [ "$(notifyCount '固定报时！')" = 2 ] && [ "$(notifyCount '整点报时！')" = 1 ] || fail "a notification was posted twice"

  # A left click on the icon, as waybar sends it: to the tray.
  local item
  item=$(registeredItems | head -n1)
  dbus-send --session --print-reply --dest="${item%%/*}" "/${item#*/}" org.kde.StatusNotifierItem.Activate \
    int32:0 int32:0 >"$work/activate.log" 2>&1 || fail "the icon did not take the click ($item)"
  waitFor 50 isUnmapped "$window" || fail "a left click on the icon did not hide the window"
  # The tray ends while the window is in it: the window comes back.
  kill "$waybar_pid"
  waitFor 50 isViewable "$window" || fail "the window stayed hidden after the tray ended"
  # The tray again: the icon again.
  waybar -c "$work/waybar/config" -s "$work/waybar/style.css" >>"$work/waybar.log" 2>&1 &
  pids+=($!)
  waitFor 100 hasOurItem || fail "the restarted tray did not get the icon"

  kill -TERM "$program_pid"
  waitFor 50 gone "$program_pid" || fail "SIGTERM did not end the program"
  echo "PASS: sway"
}

# ----------------------------------------------------------------- x11 ----
x11Inner() {
  startBus
  dunst >"$work/dunst.log" 2>&1 &
  pids+=($!)
  waitFor 50 dbus-send --session --print-reply --dest=org.freedesktop.Notifications \
    /org/freedesktop/Notifications org.freedesktop.Notifications.GetServerInformation || fail "dunst did not start"
  writeSettings "$work/home"
  (cd "$work/home" && LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
    FAKETIME="$kStart" FAKETIME_DONT_RESET=1 FAKETIME_NO_CACHE=1 LANG=zh_CN.UTF-8 \
    LC_ALL=zh_CN.UTF-8 TZ=UTC QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy exec "$program") \
    >"$work/program.log" 2>&1 &
  local program_pid=$!
  pids+=("$program_pid")
  waitFor 100 xdotool search --name '^Tindora1\.0$' || fail "no window titled Tindora1.0"
  local window
  window=$(xdotool search --name '^Tindora1\.0$' | head -n1)
  waitFor 50 isViewable "$window" || fail "the window is not shown"

  trayIcon() { xwininfo -root -tree | awk '/"tindora": \("tindora" "tindora"\)/{print $1; exit}'; }
  hasTrayIcon() { [ -n "$(trayIcon)" ] && isViewable "$(trayIcon)"; }
  startTrayer() {
    trayer --edge top --align right --widthtype pixel --width 64 --heighttype pixel --height 32 \
      --SetDockType false --transparent false >>"$work/trayer.log" 2>&1 &
    trayer_pid=$!
    pids+=("$trayer_pid")
    waitFor 30 xdotool search --name '^panel$'
  }
  # Now and then trayer dies on a display it has just met: up to three tries.
  startTrayer || startTrayer || startTrayer || fail "trayer did not start"
  waitFor 100 hasTrayIcon || fail "trayer started after the program but did not get the icon"
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$(trayIcon)")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
  waitFor 30 isUnmapped "$window" || fail "a left click on the icon did not hide the window"
  kill "$trayer_pid"
  waitFor 50 isViewable "$window" || fail "the window stayed hidden after the tray ended"
  startTrayer || startTrayer || startTrayer || fail "trayer did not start again"
  waitFor 100 hasTrayIcon || fail "the restarted tray did not get the icon"

  # The warning ahead at 8:59:40: one critical notification, withdrawn
  # with its box.
  waitFor 250 equals 1 boxCount '固定报时！' || fail "no warning box by 8:59:50"
  waitFor 50 equals 1 notifyCount '固定报时！' || fail "the warning posted no notification"
  protocolCalls | grep -q "^Notify	固定报时！	.*	2$" || fail "the warning's notification is not critical"
  local box closes
  box=$(xdotool search --name '^固定报时！$' | head -n1)
  closes=$(closeCount)
  xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
  waitFor 50 equals $((closes + 1)) closeCount || fail "closing the warning box withdrew nothing"
  kill -TERM "$program_pid"
  waitFor 50 gone "$program_pid" || fail "SIGTERM did not end the program"
  echo "PASS: x11"
}

# ------------------------------------------------------------- outside ----
case "${TINDORA_DESKTOP_TEST_INNER:-}" in
sway)
  work=$TINDORA_DESKTOP_TEST_WORK
  trap stopStarted EXIT
  swayInner
  exit 0
  ;;
x11)
  work=$TINDORA_DESKTOP_TEST_WORK
  trap stopStarted EXIT
  x11Inner
  exit 0
  ;;
esac

# In /tmp, not in a TMPDIR nobody may be unable to reach.
work=$(mktemp -d -p /tmp)
inner=""
cleanup() {
  # The session's own trap stops what it started; this catches a session
  # that was itself killed.
  if [ -n "$inner" ] && [[ " $(jobs -pr | tr '\n' ' ') " == *" $inner "* ]]; then
    kill -- "-$inner" 2>/dev/null || true
    wait "$inner" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

case "$desktop" in
sway)
  for tool in sway waybar mako makoctl Xwayland dbus-daemon dbus-monitor setpriv swaymsg; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
  done
  # Only nobody and root reach the session's folder; the program and
  # tindora-start side by side, as installed, and this script beside them:
  # nobody may be unable to reach the checkout (a clone in root's home).
  chmod 755 "$work"
  mkdir -p "$work/bin" "$work/home" "$work/runtime"
  cp "$program" "$start" "$work/bin/"
  cp "$0" "$work/bin/desktop_test.sh"
  cp "$here/test_lib.sh" "$work/bin/"
  chmod 755 "$work/bin"/*
  chown -R 65534:65534 "$work"
  chmod 700 "$work/runtime"
  chmod 711 "$work"
  status=0
  setsid setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i PATH=/usr/local/bin:/usr/bin:/bin TINDORA_DESKTOP_TEST_INNER=sway TINDORA_DESKTOP_TEST_WORK="$work" \
    bash "$work/bin/desktop_test.sh" "$work/bin/$(basename "$program")" "$work/bin/$(basename "$start")" sway &
  inner=$!
  wait "$inner" || status=$?
  inner=""
  exit "$status"
  ;;
x11)
  for tool in dunst trayer dbus-daemon dbus-monitor Xvfb; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
  done
  mkdir -p "$work/home"
  status=0
  # A display of its own: trayer and the pointer must touch no other test.
  setsid env -u DISPLAY TINDORA_DESKTOP_TEST_INNER=x11 TINDORA_DESKTOP_TEST_WORK="$work" \
    "$here/../../../scripts/with-xvfb.sh" bash "$0" "$program" "$start" x11 &
  inner=$!
  wait "$inner" || status=$?
  inner=""
  exit "$status"
  ;;
*)
  echo "usage: desktop_test.sh TINDORA TINDORA-START sway|x11" >&2
  exit 2
  ;;
esac
