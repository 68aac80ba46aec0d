#!/usr/bin/env bash
# Runs a Windows program of ours under Wine: a 32-bit prefix of the project's
# own (made once), the Chinese locale, a persistent wine server and, when no
# display is set, a virtual X display shared by every run. CTest uses it as the
# emulator of the Windows build; it works as well by hand:
#   scripts/wine-run.sh build/windows/ui/win32/tindora.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

export WINEARCH=win32
export WINEPREFIX=${TINDORA_WINEPREFIX:-$root/build/wineprefix}
# Under C.UTF-8 Chinese renders as empty boxes and the ANSI code page is not 936.
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

state=$WINEPREFIX.state
mkdir -p "$state"

# Everything below runs once per machine boot and prefix; CTest starts many
# of us at once, so one at a time.
exec 9>"$state/lock"
flock 9

if [ -z "${DISPLAY:-}" ]; then
  display=""
  [ -f "$state/display" ] && display=$(cat "$state/display")
  if [ -z "$display" ] || ! xdpyinfo -display "$display" >/dev/null 2>&1; then
    # Let Xvfb pick a free display; detach it from our pipes, or CTest would
    # wait for it to end.
    rm -f "$state/displayfd"
    setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp \
      3>"$state/displayfd" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do
      [ -s "$state/displayfd" ] && break
      sleep 0.05
    done
    display=":$(tr -d '[:space:]' <"$state/displayfd")"
    echo "$display" >"$state/display"
  fi
  export DISPLAY=$display
fi

# A persistent server that does not hold CTest's pipes open; started first, so
# that no program of ours starts one of its own with our pipes. It exits 0 only
# when it started; with one running already it leaves at once.
mkdir -p "$WINEPREFIX"
fresh_server=0
setsid wineserver -p </dev/null >/dev/null 2>&1 && fresh_server=1

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 </dev/null
  # Without a window manager every closed window froze the thread for 2 s
  # unless Wine manages no windows itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
elif [ "$fresh_server" = 1 ]; then
  # The first program of a server's session starts Wine's own services, which
  # stay as long as the server and keep its output open: let that be this
  # one, with no pipes, rather than a test under CTest or a `| tail`.
  wineboot >/dev/null 2>&1 </dev/null
fi

flock -u 9
exec 9>&-
exec wine "$@"
