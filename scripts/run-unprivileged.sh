#!/usr/bin/env bash
# Runs a test program without privileges: as nobody when we are root (root
# reads and writes a file whatever its mode), as ourselves otherwise.
#   scripts/run-unprivileged.sh PROGRAM [ARGUMENTS...]
# nobody may be unable to reach the checkout (a clone in root's home, mode
# 700): the program runs from a private copy in a fresh temporary folder, with
# its current folder and its temporary files there too, all removed
# afterwards. The checkout is only read, its permissions left as they are.
set -euo pipefail
program=$1
shift

work=""
cleanup() {
  [ -n "$work" ] || return 0
  # A test may leave a file or folder without rights for its owner.
  chmod -R u+rwX "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

as=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || {
    echo "run-unprivileged: setpriv (util-linux) is needed to run as nobody" >&2
    exit 1
  }
  as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

# The temporary folder the user chose first; if it is missing or nobody
# cannot get there (TMPDIR inside a private home, say), /tmp.
for parent in "${TMPDIR:-/tmp}" /tmp; do
  work=$(mktemp -d -p "$parent" tindora-unprivileged.XXXXXX 2>/dev/null) || continue
  chmod 755 "$work" # mktemp makes it 700
  if [ ${#as[@]} -eq 0 ] || "${as[@]}" test -x "$work"; then
    break
  fi
  rm -rf "$work"
  work=""
done
if [ -z "$work" ]; then
  echo "run-unprivileged: neither ${TMPDIR:-/tmp} nor /tmp is open to nobody" >&2
  exit 1
fi

copy=$work/$(basename "$program")
install -m 755 "$program" "$copy"
mkdir -m 700 "$work/tmp"
[ ${#as[@]} -eq 0 ] || chown nobody:nogroup "$work/tmp"

status=0
(cd "$work" && TMPDIR="$work/tmp" HOME="$work/tmp" "${as[@]}" "$copy" "$@") || status=$?
exit "$status"
