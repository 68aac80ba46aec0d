#!/usr/bin/env bash
# The Debian package as a user gets it: its control fields and contents,
# lintian with no error, the copyright file naming the licence of LICENSE,
# and, unpacked into a scratch root, the menu entry's command starting the
# program in the user's settings folder on a display of its own, and SIGTERM
# (the end of the session) ending it.
#   deb_test.sh PACKAGES_DIR VERSION      (the package: cpack -G DEB)
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
version=$2
# A display of our own, so that the program's window never meets the other
# tests' windows.
if [ "${TINDORA_DEB_TEST_DISPLAY:-}" != 1 ]; then
  exec env -u DISPLAY TINDORA_DEB_TEST_DISPLAY=1 "$root/scripts/with-xvfb.sh" "$0" "$@"
fi
deb=$(find "$1" -maxdepth 1 -name "tindora_${version}_*.deb" 2>/dev/null | head -n1)
if [ -z "$deb" ]; then
  echo "FAIL: no tindora_${version}_*.deb in $1: build it first (cpack -G DEB in the build folder)" >&2
  exit 1
fi

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

echo "== control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tindora ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
depends=$(field Depends)
echo "Depends: $depends"
# From dpkg-shlibdeps (the binary's own libraries), and SDL2, which it loads itself.
for needed in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6 libsdl2-2.0-0; do
  [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] || fail "Depends lacks $needed"
done

echo "== contents"
expected='./usr/bin/tindora -rwxr-xr-x
./usr/bin/tindora-start -rwxr-xr-x
./usr/share/applications/tindora.desktop -rw-r--r--
./usr/share/doc/tindora/changelog.gz -rw-r--r--
./usr/share/doc/tindora/copyright -rw-r--r--
./usr/share/icons/hicolor/32x32/apps/tindora.png -rw-r--r--
./usr/share/man/man1/tindora-start.1.gz -rw-r--r--
./usr/share/man/man1/tindora.1.gz -rw-r--r--'
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6, $1 }' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
  fail "the package's files differ from the list"
  diff <(echo "$expected") <(echo "$actual") >&2 || true
fi
dpkg-deb -c "$deb" | awk '{ print $2 }' | grep -qv '^root/root$' && fail "a file not owned by root"

echo "== lintian"
if ! lintian --fail-on error "$deb"; then
  fail "lintian reports an error"
fi

echo "== the program from the unpacked package"
scratch=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && [[ " $(jobs -pr | tr '\n' ' ') " == *" $pid "* ]] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
dpkg -x "$deb" "$scratch/root"

echo "== copyright (DEP-5, the MIT licence of LICENSE)"
copyright=$scratch/root/usr/share/doc/tindora/copyright
[ "$(head -n1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
  fail "the copyright file is not in the machine-readable format"
# Paragraphs, as awk reads them with an empty RS; Debian names the MIT licence Expat.
files=$(awk -v RS= '$1 == "Files:" && $2 == "*"' "$copyright")
holder=$(sed -n 's/^Copyright (c) //p' "$root/LICENSE")
[ -n "$holder" ] || fail "LICENSE has no line 'Copyright (c) YEAR HOLDER'"
grep -qx "Copyright: $holder" <<<"$files" || fail "the copyright file's 'Files: *' does not name '$holder'"
grep -qx "License: Expat" <<<"$files" || fail "the copyright file's 'Files: *' is not under the Expat (MIT) licence"
# The licence's own paragraph: its text indented by one space, '.' for an empty line.
text=$(awk -v RS= '$1 == "License:" && $2 == "Expat" && NF > 2' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//')
if [ "$text" != "$(sed -n '/^Permission/,$p' "$root/LICENSE")" ]; then
  fail "the copyright file's Expat text is not that of LICENSE"
  diff <(sed -n '/^Permission/,$p' "$root/LICENSE") <(echo "$text") >&2 || true
fi
grep -qx 'Exec=tindora-start' "$scratch/root/usr/share/applications/tindora.desktop" ||
  fail "the menu entry does not run tindora-start"

# The session's XDG_CONFIG_HOME, and the folder the program must run in.
home=$scratch/home
check_start() {
  local config=$1 expected=$2 session=$scratch/session
  rm -rf "$home" "$scratch/xdg" "$session"
  mkdir -p "$home" "$session"
  (cd "$session" && exec env -u XDG_CONFIG_HOME HOME="$home" ${config:+XDG_CONFIG_HOME="$config"} \
    "$scratch/root/usr/bin/tindora-start" >"$scratch/program.log" 2>&1) &
  pid=$!
  local window=""
  for _ in $(seq 150); do
    window=$(xdotool search --all --pid "$pid" --name '^Tindora1\.0$' 2>/dev/null | head -n1) || true
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    fail "XDG_CONFIG_HOME='$config': no window Tindora1.0"
    cat "$scratch/program.log" >&2
  fi
  [ "$(readlink "/proc/$pid/cwd")" = "$expected" ] ||
    fail "XDG_CONFIG_HOME='$config': runs in $(readlink "/proc/$pid/cwd"), not $expected"
  [ -f "$expected/time.txt" ] || fail "XDG_CONFIG_HOME='$config': no time.txt in $expected"
  [ -e "$session/time.txt" ] && fail "XDG_CONFIG_HOME='$config': time.txt in the session's folder"
  # Only while it runs: an ended program's number may already be another's.
  [[ " $(jobs -pr | tr '\n' ' ') " == *" $pid "* ]] && kill -TERM "$pid"
  local status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" = 0 ] || fail "XDG_CONFIG_HOME='$config': SIGTERM ended it with status $status"
}
check_start "" "$home/.config/tindora"
check_start "$scratch/xdg" "$scratch/xdg/tindora"
check_start "relative/config" "$home/.config/tindora" # not absolute: ignored, as XDG says

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all checks passed: $deb"
