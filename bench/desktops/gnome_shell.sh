#!/usr/bin/env bash
# Tindora on GNOME Shell 43, headless: what the user gets. A measurement aid
# run by hand (not part of scripts/test.sh); it prints what it observed and
# keeps the screenshots.
#
#   sudo bench/desktops/gnome_shell.sh [TINDORA [TINDORA_START]]
#
# Defaults: build/linux/ui/qt/tindora and packaging/debian/tindora-start.
# PARTS (default "xcb tray wayland") chooses which of the parts below run.
# Needs (Debian 12): gnome-shell, gnome-shell-extension-appindicator, gjs,
# xwayland, qt6-wayland, x11-utils (xmessage, xprop, xwininfo), xdotool,
# python3, fonts-noto-cjk and the zh_CN.UTF-8 locale. Results go to
# $OUT (default ./gnome_shell-results): results.txt, the screenshots, and the
# logs of the shell, the program and dbus-monitor. About 2.5 minutes.
#
# gnome-shell refuses to run as root: the whole session (a private system
# bus and session bus, gnome-shell --headless with Xwayland, the program)
# runs as nobody in a fresh folder, in a process group of its own that is
# ended when the script ends, whatever happens. The shell runs in unsafe
# mode so that org.gnome.Shell.Eval answers: it reads the window stack and
# the notification list, and clicks and types through a virtual pointer and
# keyboard of the compositor's own seat, as a user would.
#
# Measured, in order:
#   1. Xwayland (tindora-start's choice; no tray): 最小化到托盘 without a tray;
#      a reminder box, another window clicked, the box's place in the stack;
#      its notification (Notify, urgency, the Shell's list) and its
#      withdrawal when the box is closed (Return); a second box and a click
#      on its notification banner (ActionInvoked; does the box come forward?).
#   2. The AppIndicator extension enabled after the program started: is the
#      program's item listed by the watcher, shown in the top bar, and how
#      soon; what a right click, a left click and a double click on the icon
#      open or do (the menu's items, Activate calls); 最小化到托盘 then, and
#      the icon bringing the window back; the extension disabled while the
#      window is hidden. Then the program started with the extension already
#      up: its icon, and 关闭 chosen in the icon's menu. A minimal item with
#      and without a Menu property, for comparison. dbus-monitor logs what
#      the tray sent the program (tray-monitor.txt).
#   3. Native Wayland (TINDORA_WAYLAND=1): the box and notification as in 1.
set -euo pipefail

if [ "${1:-}" != --inner ]; then
  here=$(cd "$(dirname "$0")" && pwd)
  repo=$(cd "$here/../.." && pwd)
  program=$(realpath "${1:-$repo/build/linux/ui/qt/tindora}")
  start=$(realpath "${2:-$repo/packaging/debian/tindora-start}")
  out=$(realpath -m "${OUT:-$PWD/gnome_shell-results}")
  [ "$(id -u)" = 0 ] || { echo "run as root: the session runs as nobody (setpriv)" >&2; exit 1; }
  # Under /tmp, not TMPDIR: the session's user, nobody, must reach it.
  work=$(mktemp -d -p /tmp)
  chmod 755 "$work"
  cp "$program" "$start" "$here/gnome_shell.sh" "$repo/ui/qt/tests/test_lib.sh" "$work/"
  mkdir -p "$work/runtime" "$work/home" "$work/out"
  chown -R 65534:65534 "$work"
  chmod 700 "$work/runtime"
  inner=""
  cleanup() {
    # The session's process group (setsid below): the buses, the shell,
    # Xwayland, the services the bus started, the program.
    if [ -n "$inner" ]; then
      kill -TERM -- "-$inner" 2>/dev/null || true
      sleep 1
      kill -KILL -- "-$inner" 2>/dev/null || true
      wait "$inner" 2>/dev/null || true
    fi
    mkdir -p "$out"
    cp -r "$work/out/." "$out/" 2>/dev/null || true
    rm -rf "$work"
    echo "results: $out"
  }
  trap cleanup EXIT
  trap 'exit 130' INT TERM
  # A background child of a non-interactive shell is no group leader, so
  # setsid makes it the leader of a new group whose id is its pid.
  setsid setpriv --reuid=65534 --regid=65534 --clear-groups \
    bash "$work/gnome_shell.sh" --inner "$work" &
  inner=$!
  status=0
  wait "$inner" || status=$?
  exit "$status"
fi

# ------------------------------------------------------ inside, as nobody ----
work=$2
out=$work/out
cd "$work"
# shellcheck source=../../ui/qt/tests/test_lib.sh
source "$work/test_lib.sh"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY QT_QPA_PLATFORM TINDORA_WAYLAND

part() { [[ " ${PARTS:-xcb tray wayland} " == *" $1 "* ]]; }
pids=()
shellUp=""
stopAll() {
  if [ -n "$shellUp" ]; then
    # Ended cleanly, the shell also removes its X sockets and lock files.
    shellEval 'global.context.terminate(); ""' >/dev/null 2>&1 || true
    sleep 1
  fi
  stopStarted
}
trap stopAll EXIT

note() { echo "$*" | tee -a "$out/results.txt"; }
fail() {
  note "STOPPED: $*"
  exit 1
}

# Buses: a private system bus (the shell needs one) and a private session
# bus whose service folder holds only what GNOME itself starts by activation.
mkdir -p bus/services
for s in ca.desrt.dconf org.gnome.Shell.Notifications org.gnome.Shell.Extensions \
  org.gnome.Shell.CalendarServer org.gnome.ScreenSaver; do
  cp "/usr/share/dbus-1/services/$s.service" bus/services/
done
for type in system session; do
  services=""
  [ "$type" = session ] && services=$work/bus/services
  busConfig "bus/$type.conf" "$type" "$work/bus/$type" "$services"
  dbus-daemon --config-file="bus/$type.conf" --nofork >"$out/dbus-$type.log" 2>&1 &
  pids+=($!)
done
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/bus/system DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus/session
waitFor 50 test -S bus/session || fail "the session bus did not start"
waitFor 50 test -S bus/system || fail "the system bus did not start"
dbus-monitor --session "interface='org.freedesktop.Notifications'" >"$out/monitor.txt" 2>&1 &
pids+=($!)
waitFor 50 grep -q NameAcquired "$out/monitor.txt" || fail "dbus-monitor did not start"
dbus-monitor --session "interface='org.kde.StatusNotifierItem'" "interface='com.canonical.dbusmenu'" \
  "interface='org.kde.StatusNotifierWatcher'" \
  >"$out/tray-monitor.txt" 2>&1 &
pids+=($!)
waitFor 50 grep -q NameAcquired "$out/tray-monitor.txt" || fail "the second dbus-monitor did not start"

# org.gnome.Shell.Eval; prints the value (a string value without its quotes).
shellEval() {
  gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Eval "$1" | python3 -c '
import ast, json, sys
text = sys.stdin.read().strip()
ok, _, value = text[1:-1].partition(", ")
value = ast.literal_eval(value)
if ok != "true":
    sys.exit("Eval failed: " + value)
value = json.loads(value) if value else ""
print(value if isinstance(value, str) else json.dumps(value, ensure_ascii=False))'
}

# JavaScript pieces.
jsWin() { printf 'global.display.list_all_windows().find(w => w.get_title() === %s)' "$(jsString "$1")"; }
jsString() { python3 -c 'import json, sys; print(json.dumps(sys.argv[1]))' "$1"; }
# Windows bottom to top: * has the focus, ^ asks to stay above (layer in
# brackets), _ minimized; Xwayland windows marked (X11).
stacking() {
  shellEval 'global.display.sort_windows_by_stacking(global.display.list_all_windows())
    .filter(w => w.get_title() !== "gnome-shell")
    .map(w => w.get_title() + (w.get_client_type() === 1 ? "(X11)" : "(Wayland)") + "[" + w.get_layer() + "]" +
      (w.has_focus() ? "*" : "") + (w.is_above() ? "^" : "") + (w.minimized ? "_" : "")).join(" < ")'
}
# The title of the topmost window of those given, as the stack has them.
topmostOf() {
  shellEval "const t = [$(for x in "$@"; do printf '%s,' "$(jsString "$x")"; done)];
    global.display.sort_windows_by_stacking(global.display.list_all_windows())
      .filter(w => t.includes(w.get_title())).map(w => w.get_title()).pop() || \"\""
}
focused() { shellEval 'global.display.focus_window ? global.display.focus_window.get_title() : ""'; }
exists() { [ "$(shellEval "$(jsWin "$1") ? \"yes\" : \"no\"")" = yes ]; }
boxGone() { ! exists '固定报时！'; }
clientType() { shellEval "$(jsWin "$1").get_client_type() === 1 ? \"Xwayland\" : \"Wayland\""; }
minimized() { shellEval "$(jsWin "$1").minimized ? \"yes\" : \"no\""; }
inAltTab() {
  shellEval "global.display.get_tab_list(imports.gi.Meta.TabList.NORMAL, null)
    .some(w => w.get_title() === $(jsString "$1")) ? \"yes\" : \"no\""
}
activate() { shellEval "$(jsWin "$1").activate(global.get_current_time()); \"\"" >/dev/null; }
# A click with the primary button, and a key, through virtual devices of the
# compositor's seat: the shell and the windows get them as real input. The
# devices are made once (makeDevices, after the shell started); the pointer
# moves first, then the button goes down and up.
makeDevices() {
  shellEval 'const C = imports.gi.Clutter, seat = C.get_default_backend().get_default_seat();
    global._benchPointer = seat.create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
    global._benchKeyboard = seat.create_virtual_device(C.InputDeviceType.KEYBOARD_DEVICE); ""' >/dev/null
}
device() { # $1: Pointer or Keyboard, $2: JavaScript with d (the device) and t (now, µs)
  shellEval "const C = imports.gi.Clutter, d = global._bench$1, t = imports.gi.GLib.get_monotonic_time(); $2; \"\"" >/dev/null
}
click() {
  clickAt "$1" "$2" PRIMARY
  echo "$1,$2"
}
pressKey() {
  device Keyboard "d.notify_keyval(t, C.KEY_$1, C.KeyState.PRESSED)"
  sleep 0.1
  device Keyboard "d.notify_keyval(t, C.KEY_$1, C.KeyState.RELEASED)"
}
screenshot() {
  gdbus call --session --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
    --method org.gnome.Shell.Screenshot.Screenshot false false "$out/$1.png" >/dev/null
}
# The Shell's notification list: "source: title (urgency)" per notification;
# urgency 3 is critical, 1 normal.
shellNotifications() {
  shellEval 'Main.messageTray.getSources().map(s => s.notifications.map(n =>
    s.title + ": " + n.title + " (urgency " + n.urgency + ")").join("; ")).filter(x => x).join("; ")'
}

# The program's side of the notification protocol in dbus-monitor's log, one
# line each: "Notify<TAB>summary<TAB>urgency", "CloseNotification<TAB>id",
# and the signals the program received: "ActionInvoked<TAB>id<TAB>key",
# "NotificationClosed<TAB>id<TAB>reason".
protocol() {
  awk '
    function flush() {
      if (call == "Notify") print "Notify\t" n[3] "\t" urgency
      if (call == "ActionInvoked" || call == "NotificationClosed") print call "\t" v[1] "\t" v[2]
      call = ""
    }
    /^(method call|signal|method return|error)/ { flush() }
    /^method call/ && /destination=org\.freedesktop\.Notifications / {
      if ($0 ~ /member=Notify$/) { call = "Notify"; count = 0; urgency = ""; delete n }
      else if ($0 ~ /member=CloseNotification$/) call = "Close"
      next
    }
    /^signal/ && /destination=:/ && /member=(ActionInvoked|NotificationClosed)$/ {
      call = ($0 ~ /ActionInvoked$/) ? "ActionInvoked" : "NotificationClosed"; k = 0; delete v; next
    }
    call == "Close" && /uint32/ { print "CloseNotification\t" $2; call = ""; next }
    call == "Notify" && /^   string "/ && count < 5 {
      count++; s = $0; sub(/^   string "/, "", s); sub(/"$/, "", s); n[count] = s; next
    }
    call == "Notify" && /string "urgency"/ { wantUrgency = 1; next }
    call == "Notify" && wantUrgency && /byte/ { urgency = $NF; wantUrgency = 0; next }
    (call == "ActionInvoked" || call == "NotificationClosed") && /^   (uint32|string)/ {
      k++; s = $2; gsub(/"/, "", s); v[k] = s; next
    }
    END { flush() }
  ' "$out/monitor.txt"
}
count() { protocol | grep -c "^$1" || true; }

itemsRegistered() {
  gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
    --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems \
    2>/dev/null | grep -o "'[^']*'" | tr -d "'" | tr '\n' ' ' || true
}
# The program's names on the session bus, as an extended regular
# expression: its item's service and its connections' unique names (it
# registers its item by path, so watchers name it by a unique name).
programNames=""
findProgramNames() {
  local names="org\\.kde\\.StatusNotifierItem-$programPid-1" name pid
  for name in $(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.ListNames | grep -o "':[0-9.]*'" | tr -d "'"); do
    pid=$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
      --method org.freedesktop.DBus.GetConnectionUnixProcessID "$name" 2>/dev/null |
      sed -n 's/.*uint32 \([0-9]*\).*/\1/p' || true)
    [ "$pid" = "$programPid" ] && names="$names|${name//./\\.}"
  done
  programNames="($names)"
}
watcherUp() { gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher | grep -q true; }
watcherGone() { ! watcherUp; }
# What the watcher lists over 5 s, then the top bar, then what the extension
# logged about the program's item.
watchItems() {
  local seen="" now
  for _ in $(seq 25); do
    now=$(itemsRegistered)
    [ -n "$now" ] && seen="$seen $now"
    sleep 0.2
  done
  printf "the watcher listed within 5 s: '%s'; lists then: '%s'; top bar indicators: '%s'; the extension logged: '%s'" \
    "$(tr ' ' '\n' <<<"$seen" | sort -u | xargs)" "$(itemsRegistered)" "$(panelIndicators)" \
    "$(grep -E "$programNames" "$out/shell.log" | sed 's/.*WARNING \*\*: [0-9:.]* //' | tr '\n' ' ')"
}
panelIndicators() {
  shellEval 'Object.keys(Main.panel.statusArea).filter(k => k.startsWith("appindicator")).join(" ")'
}

# The program's own item: listed by the watcher, and its icon in the top bar
# (the extension's key for it names the item as its watcher does).
ourItemListed() { itemsRegistered | tr ' ' '\n' | grep -E "^$programNames([/@]|\$)" || true; }
ourIndicator() { panelIndicators | tr ' ' '\n' | grep -E "^appindicator-$programNames([/@]|\$)" | head -n1; }
jsIndicator() { printf 'Main.panel.statusArea[%s]' "$(jsString "$(ourIndicator)")"; }
ourIndicatorShown() {
  [ -n "$(ourIndicator)" ] &&
    [ "$(shellEval "const b = $(jsIndicator); b && b.visible && b.mapped && b.width > 0 ? \"yes\" : \"no\"")" = yes ]
}
since() { python3 -c 'import sys, time; print(f"{time.time() - float(sys.argv[1]):.1f}")' "$1"; }
indicatorCenter() {
  shellEval "const b = $(jsIndicator), [x, y] = b.get_transformed_position(), [w, h] = b.get_transformed_size();
    Math.round(x + w / 2) + \" \" + Math.round(y + h / 2)"
}
indicatorMenuOpen() { shellEval "$(jsIndicator).menu.isOpen ? \"yes\" : \"no\""; }
indicatorMenuItems() {
  shellEval "$(jsIndicator).menu._getMenuItems().map(i => i.label ? i.label.text : \"(separator)\").join(\", \")"
}
# The middle of the menu item labelled $1, while the menu is open.
menuItemCenter() {
  shellEval "const i = $(jsIndicator).menu._getMenuItems().find(i => i.label && i.label.text === $(jsString "$1"));
    if (!i) \"\"; else { const [x, y] = i.get_transformed_position(), [w, h] = i.get_transformed_size();
    Math.round(x + w / 2) + \" \" + Math.round(y + h / 2) }"
}
closeIndicatorMenu() {
  if [ "$(indicatorMenuOpen 2>/dev/null)" = yes ]; then
    pressKey Escape
    waitFor 20 equals no indicatorMenuOpen || true
  fi
}
# A click with a button (PRIMARY, SECONDARY) at x, y.
clickAt() {
  device Pointer "d.notify_absolute_motion(t, $1, $2)"
  sleep 0.3
  device Pointer "d.notify_button(t, C.BUTTON_$3, C.ButtonState.PRESSED)"
  sleep 0.1
  device Pointer "d.notify_button(t, C.BUTTON_$3, C.ButtonState.RELEASED)"
}
# Two clicks 150 ms apart, well within the double-click time, in one go.
doubleClickIndicator() {
  local x y
  read -r x y < <(indicatorCenter)
  device Pointer "d.notify_absolute_motion(t, $x, $y)"
  sleep 0.3
  device Pointer "const P = C.BUTTON_PRIMARY, S = C.ButtonState;
    d.notify_button(t, P, S.PRESSED); d.notify_button(t + 40000, P, S.RELEASED);
    d.notify_button(t + 150000, P, S.PRESSED); d.notify_button(t + 190000, P, S.RELEASED)"
}
windowGone() { ! exists "$1"; }
# What the tray sent the program: Activate and ContextMenu calls, and the
# menu's events, from the second dbus-monitor's log.
activations() { grep -c 'interface=org.kde.StatusNotifierItem; member=Activate$' "$out/tray-monitor.txt" || true; }
menuEvents() {
  awk '/member=Event$/ { e = 1; n = 0; next } e && /^   (int32|string)/ { n++; s = s (n == 1 ? "Event(" : ", ") $2; if (n == 2) { print s ")"; e = 0; s = "" } }' \
    "$out/tray-monitor.txt" | sort | uniq -c | sed 's/^ *//' | tr '\n' ';'
}
menuCalls() {
  grep -o 'interface=com.canonical.dbusmenu; member=[A-Za-z]*' "$out/tray-monitor.txt" | sed 's/.*member=//' |
    sort | uniq -c | sed 's/^ *//' | tr '\n' ' '
}
# Right click, left click and double click on our icon, as a user does
# them; what each one opened or did.
trayClicks() {
  local x y before
  read -r x y < <(indicatorCenter)
  note "tray: our icon at $x,$y; the window is $(exists Tindora1.0 && echo shown || echo hidden)"
  clickAt "$x" "$y" SECONDARY
  waitFor 30 equals yes indicatorMenuOpen || true
  sleep 0.5
  note "tray: RESULT right click: menu open: $(indicatorMenuOpen), items: '$(indicatorMenuItems)'; the menu calls the program answered so far: $(menuCalls)"
  screenshot tray-right-click-menu
  closeIndicatorMenu
  before=$(activations)
  clickAt "$x" "$y" PRIMARY
  sleep 1.5
  note "tray: RESULT left click: menu open: $(indicatorMenuOpen); Activate calls: $before -> $(activations); the window is $(exists Tindora1.0 && echo shown || echo hidden)"
  screenshot tray-left-click
  closeIndicatorMenu
  waitFor 30 exists Tindora1.0 || true
  before=$(activations)
  doubleClickIndicator
  sleep 1.5
  note "tray: RESULT double click: menu open: $(indicatorMenuOpen); Activate calls: $before -> $(activations); the window is $(exists Tindora1.0 && echo shown || echo hidden)"
  closeIndicatorMenu
  # Back to a shown, normal window for what follows.
  if ! exists Tindora1.0; then
    doubleClickIndicator
    waitFor 30 exists Tindora1.0 || note "tray: the window did not come back with a second double click"
    closeIndicatorMenu
  fi
}

# ------------------------------------------------------------- the shell ----
gnome-shell --headless --wayland --virtual-monitor 1280x800 --unsafe-mode >"$out/shell.log" 2>&1 &
pids+=($!)
waitFor 300 grep -q "GNOME Shell started" "$out/shell.log" || fail "gnome-shell did not start (see shell.log)"
shellUp=1
makeDevices
display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$out/shell.log" | head -n1)
[ -n "$display" ] || fail "the shell started no Xwayland"
export WAYLAND_DISPLAY=wayland-0 DISPLAY=$display
XAUTHORITY=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name ".mutter-Xwaylandauth.*" | head -n1)
export XAUTHORITY
# Headless GNOME starts in the overview; a user at the desktop sees the windows.
shellEval 'Main.overview.hide(); ""' >/dev/null
waitFor 50 equals false shellEval 'Main.overview.visible ? "true" : "false"' || fail "the overview stays"
note "GNOME Shell $(gnome-shell --version | awk '{print $3}'), headless 1280x800, Xwayland on $DISPLAY; extensions enabled: $(gsettings get org.gnome.shell enabled-extensions)"

# ------------------------------------------------------------ a program ----
# time.txt: a reminder due in $1 s and one in $2 s (lead 0: the box comes
# when due).
writeSettings() {
  mkdir -p "$XDG_CONFIG_HOME/tindora"
  local a b
  a=$(date -d "+$1 sec" '+%-H %-M %-S')
  b=$(date -d "+$2 sec" '+%-H %-M %-S')
  # shellcheck disable=SC2086
  printf '"%d","%d","%d","0","first"\r\n"%d","%d","%d","0","second"\r\n"","","","5",""\r\n' $a $b \
    >"$XDG_CONFIG_HOME/tindora/time.txt"
}
: >"$out/program.log"
programPid=""
startProgram() { # $1: extra environment, e.g. TINDORA_WAYLAND=1
  env ${1:+"$1"} "$work/tindora-start" >>"$out/program.log" 2>&1 &
  programPid=$!
  pids+=("$programPid")
  waitFor 100 exists Tindora1.0 || fail "no window titled Tindora1.0"
  waitFor 50 equals Tindora1.0 focused || fail "the window did not take the focus"
  sleep 1
  findProgramNames
}
stopProgram() {
  kill "$programPid" 2>/dev/null || true
  wait "$programPid" 2>/dev/null || true
  waitFor 50 bash -c "! kill -0 $programPid" || fail "the program did not end"
}
elsewherePid=""
startElsewhere() {
  xmessage -name elsewhere -title elsewhere -geometry 800x450+240+170 "another program" \
    >"$out/xmessage.log" 2>&1 &
  elsewherePid=$!
  pids+=("$elsewherePid")
  waitFor 50 exists elsewhere || fail "xmessage did not start"
}
stopElsewhere() { kill "$elsewherePid" 2>/dev/null || true; }

# The button 最小化到托盘 (Command6: 7080, 1200 twips, 1455 x 375, 15 twips a
# pixel) on the Xwayland window: X11 gives the client area's place.
clickMinimizeToTray() {
  local id x y
  id=$(xdotool search --name '^Tindora1\.0$' | head -n1)
  read -r x y < <(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}')
  click $((x + 472 + 48)) $((y + 80 + 12)) >/dev/null
}

# One platform: a box, another window clicked, the stack; the notification;
# closing the box; a second box and a click on its banner.
boxes() { # $1: label (xcb or wayland)
  local label=$1 closes notes notifies actions
  notifies=$(count "Notify	固定报时！")
  actions=$(count ActionInvoked)
  startElsewhere
  waitFor 350 exists '固定报时！' || fail "$label: no box when the first reminder was due"
  sleep 0.5
  note "$label: the box appeared; stack (bottom < top): $(stacking)"
  waitFor 30 equals $((notifies + 1)) count "Notify	固定报时！" || fail "$label: no Notify for the box"
  note "$label: notification sent: $(protocol | grep '^Notify' | tail -n1 | tr '\t' ' ') (urgency byte); the Shell lists: $(shellNotifications)"
  note "$label: click on the other window at $(click 1000 600)"
  sleep 1
  note "$label: after the click: focus on '$(focused)'; stack: $(stacking)"
  note "$label: RESULT box above the other window after the click: $([ "$(topmostOf '固定报时！' elsewhere)" = '固定报时！' ] && echo yes || echo no)"
  if [ "$label" = xcb ]; then
    note "$label: X11 stacking (bottom to top): $(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //' | tr ',' '\n' |
      while read -r w; do printf '%s; ' "$(xdotool getwindowname "$w" || true)"; done)" \
      "the box's _NET_WM_STATE: $(xprop -id "$(xdotool search --name '^固定报时！$' | head -n1)" _NET_WM_STATE | sed 's/.*= //')"
  fi
  screenshot "$label-box-after-click"
  # Closing the box: the user brings it forward (as Alt+Tab does) and
  # presses Return.
  closes=$(count CloseNotification)
  activate '固定报时！'
  waitFor 30 equals '固定报时！' focused || fail "$label: the box did not take the focus"
  pressKey Return
  waitFor 50 boxGone || fail "$label: Return did not close the box"
  if waitFor 30 equals $((closes + 1)) count CloseNotification; then
    note "$label: box closed with Return: $(protocol | grep '^CloseNotification' | tail -n1 | tr '\t' ' '), then the program got $(protocol | grep '^NotificationClosed' | tail -n1 | tr '\t' ' ') (reason 3: closed by CloseNotification)"
  else
    note "$label: box closed with Return: no CloseNotification"
  fi
  sleep 0.5
  notes=$(shellNotifications)
  note "$label: RESULT notification sent and withdrawn: $([ "$closes" != "$(count CloseNotification)" ] && ! grep -q '固定报时' <<<"$notes" && echo yes || echo no); the Shell lists now: '${notes}'"

  # The second box: the other window clicked again, then the banner.
  waitFor 400 exists '固定报时！' || fail "$label: no box when the second reminder was due"
  waitFor 30 equals $((notifies + 2)) count "Notify	固定报时！" || fail "$label: no Notify for the second box"
  sleep 0.5
  click 1000 600 >/dev/null
  waitFor 30 equals elsewhere focused || note "$label: the click did not focus the other window"
  screenshot "$label-second-box-banner"
  note "$label: banner clicked at $(click 640 90)"
  waitFor 30 equals $((actions + 1)) count ActionInvoked || note "$label: no ActionInvoked after the click on the banner"
  sleep 1.5
  note "$label: after the banner click: $(protocol | grep '^ActionInvoked' | tail -n1 | tr '\t' ' '); focus on '$(focused)'; stack: $(stacking)"
  note "$label: RESULT choosing the notification brings the box forward: $([ "$(focused)" = '固定报时！' ] && [ "$(topmostOf '固定报时！' elsewhere)" = '固定报时！' ] && echo yes || echo no)"
  screenshot "$label-after-banner-click"
  activate '固定报时！'
  waitFor 30 equals '固定报时！' focused && pressKey Return
  waitFor 50 boxGone || note "$label: the second box stays"
  stopElsewhere
}

# ------------------------------------------- 1. Xwayland, no tray at all ----
if part xcb; then
writeSettings 20 55
startProgram ""
tr '\0' '\n' <"/proc/$programPid/environ" | grep -qx QT_QPA_PLATFORM=xcb || fail "tindora-start did not choose Xwayland"
note "xcb: started through tindora-start: the window runs on $(clientType Tindora1.0); watcher on the bus: $(watcherUp && echo yes || echo no)"
clickMinimizeToTray
waitFor 30 equals yes minimized Tindora1.0 || note "xcb: 最小化到托盘 did not minimize the window"
note "xcb: RESULT 最小化到托盘 without a tray: minimized $(minimized Tindora1.0), in Alt+Tab $(inAltTab Tindora1.0), skip-taskbar $(shellEval "$(jsWin Tindora1.0).is_skip_taskbar() ? \"yes\" : \"no\"")"
shellEval 'Main.overview.show(); ""' >/dev/null
sleep 1.5
screenshot xcb-minimized-overview
shellEval 'Main.overview.hide(); ""' >/dev/null
sleep 1
activate Tindora1.0
waitFor 30 equals no minimized Tindora1.0 || fail "the window did not come back"
boxes xcb
fi

# ------------------------------------ 2. the tray comes after the program ----
if part tray; then
# When xcb did not run: the program, with no tray yet.
[ -n "$programPid" ] || { writeSettings 3600 3700; startProgram ""; }
note "tray: before: watcher $(watcherUp && echo yes || echo no); the program's own item name on the bus: $(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus --method org.freedesktop.DBus.ListNames | grep -o 'org.kde.StatusNotifierItem-[^'\'']*' || echo none)"
gnome-extensions enable ubuntu-appindicators@ubuntu.com
enabledAt=$(date +%s.%N)
waitFor 100 watcherUp || fail "the AppIndicator extension brought no StatusNotifierWatcher"
if waitFor 150 ourIndicatorShown; then
  note "tray: extension enabled after the program: our icon in the top bar $(since "$enabledAt") s after enabling"
else
  note "tray: extension enabled after the program: no icon of ours in the top bar within 15 s"
fi
note "tray: $(watchItems)"
note "tray: RESULT icon when the extension comes late: $([ -n "$(ourItemListed)" ] && ourIndicatorShown && echo "yes, and still there 5 s later" || echo no)"
screenshot tray-extension-late
if ourIndicatorShown; then
  trayClicks
  # 最小化到托盘 with the icon there: hidden; the icon brings it back.
  clickMinimizeToTray
  waitFor 30 windowGone Tindora1.0 || true
  note "tray: RESULT 最小化到托盘 with the icon there: window hidden: $(windowGone Tindora1.0 && echo yes || echo no), in Alt+Tab: $(inAltTab Tindora1.0 2>/dev/null || echo no)"
  screenshot tray-after-minimize-to-tray
  before=$(activations)
  doubleClickIndicator
  waitFor 30 exists Tindora1.0 || true
  note "tray: RESULT a double click on the icon brings the hidden window back: $(exists Tindora1.0 && echo yes || echo no) (Activate calls: $before -> $(activations))"
  closeIndicatorMenu
  waitFor 30 exists Tindora1.0 || activate Tindora1.0 2>/dev/null || true
  clickMinimizeToTray
  waitFor 30 windowGone Tindora1.0 || true
  note "tray: hidden again for the next step: $(windowGone Tindora1.0 && echo yes || echo no)"
else
  clickMinimizeToTray
  sleep 1.5
  note "tray: 最小化到托盘 with the extension up: window still listed by the Shell: $(exists Tindora1.0 && echo yes || echo no), in Alt+Tab: $(inAltTab Tindora1.0 2>/dev/null || echo no)"
  screenshot tray-after-minimize-to-tray
fi
# The tray goes while the window is hidden in it.
gnome-extensions disable ubuntu-appindicators@ubuntu.com
waitFor 50 watcherGone || note "tray: the watcher stays after disabling"
waitFor 50 exists Tindora1.0 || true
note "tray: RESULT extension disabled: the window is back: $(exists Tindora1.0 && echo "yes (minimized $(minimized Tindora1.0))" || echo no)"
stopProgram
# The other order: the extension is up before the program starts. The
# program ends through 关闭 in the icon's menu.
gnome-extensions enable ubuntu-appindicators@ubuntu.com
waitFor 100 watcherUp || fail "no watcher"
sleep 1
writeSettings 3600 3700
startProgram ""
if waitFor 150 ourIndicatorShown; then
  note "tray: extension up before the program: our icon in the top bar; $(watchItems)"
else
  note "tray: extension up before the program: no icon of ours within 15 s; $(watchItems)"
fi
note "tray: RESULT icon when the extension is up first: $([ -n "$(ourItemListed)" ] && ourIndicatorShown && echo yes || echo no)"
if ourIndicatorShown; then
  read -r x y < <(indicatorCenter)
  clickAt "$x" "$y" SECONDARY
  if waitFor 30 equals yes indicatorMenuOpen && item=$(menuItemCenter 关闭) && [ -n "$item" ]; then
    read -r x y <<<"$item"
    clickAt "$x" "$y" PRIMARY
    if waitFor 50 bash -c "! kill -0 $programPid"; then
      note "tray: RESULT 关闭 chosen in the icon's menu: the program ended ($(menuEvents))"
    else
      note "tray: RESULT 关闭 chosen in the icon's menu: the program still runs ($(menuEvents))"
    fi
  else
    note "tray: RESULT 关闭 chosen in the icon's menu: no menu with 关闭 opened"
  fi
fi
stopProgram
# For comparison, a minimal item of our own (gjs), with and without Menu.
cat >"$work/item.js" <<'JS'
const { Gio, GLib } = imports.gi;
const [name, menu] = ARGV;
const xml = `<node><interface name="org.kde.StatusNotifierItem">
 <property name="Category" type="s" access="read"/><property name="Id" type="s" access="read"/>
 <property name="Title" type="s" access="read"/><property name="Status" type="s" access="read"/>
 <property name="IconName" type="s" access="read"/>${menu ? '<property name="Menu" type="o" access="read"/>' : ''}
 <method name="Activate"><arg type="i" direction="in"/><arg type="i" direction="in"/></method>
 <method name="ContextMenu"><arg type="i" direction="in"/><arg type="i" direction="in"/></method>
</interface></node>`;
const impl = { Category: 'ApplicationStatus', Id: name, Title: name, Status: 'Active',
  IconName: 'dialog-information', Menu: menu, Activate() {}, ContextMenu() {} };
Gio.DBusExportedObject.wrapJSObject(xml, impl).export(Gio.DBus.session, '/StatusNotifierItem');
const bus = `org.kde.StatusNotifierItem-${name}-1`;
Gio.DBus.session.call_sync('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
  'RequestName', new GLib.Variant('(su)', [bus, 4]), null, 0, -1, null);
Gio.DBus.session.call_sync('org.kde.StatusNotifierWatcher', '/StatusNotifierWatcher',
  'org.kde.StatusNotifierWatcher', 'RegisterStatusNotifierItem', new GLib.Variant('(s)', [bus]), null, 0, -1, null);
new GLib.MainLoop(null, false).run();
JS
gjs "$work/item.js" nomenu >"$out/item-nomenu.log" 2>&1 &
item1=$!
pids+=("$item1")
gjs "$work/item.js" withmenu /MenuBar >"$out/item-withmenu.log" 2>&1 &
item2=$!
pids+=("$item2")
sleep 5
note "tray: minimal items (no Menu / Menu=/MenuBar): the watcher lists '$(itemsRegistered)'; top bar indicators: '$(panelIndicators)'"
kill "$item1" "$item2" 2>/dev/null || true
gnome-extensions disable ubuntu-appindicators@ubuntu.com
waitFor 50 watcherGone || true
fi

# ------------------------------------------------ 3. native Wayland ----
if part wayland; then
writeSettings 20 55
startProgram TINDORA_WAYLAND=1
note "wayland: started through tindora-start with TINDORA_WAYLAND=1: the window runs on $(clientType Tindora1.0)"
boxes wayland
stopProgram
fi
note "done"
