#!/usr/bin/env bash
# Runs installer_tests.exe as a user meets the installer: in a Wine prefix of
# its own, made fresh for every run (nothing installed yet), on a display of
# its own, so that it can run beside the other window tests.
#   installer_test.sh PREFIX installer_tests.exe tindora-setup-X.exe tindora.exe LICENSE \
#                     tindora-setup-OLDER.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
prefix=$1
export TINDORA_WINEPREFIX=$prefix
export TINDORA_SETUP=$3
export TINDORA_BUILT_EXE=$4
export TINDORA_LICENSE=$5
export TINDORA_OLDER_SETUP=$6

WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
rm -rf "$prefix" "$prefix.state"

# The wine server goes before the display does.
env -u DISPLAY "$root/scripts/with-xvfb.sh" bash -c 'status=0
  "$1/scripts/wine-run.sh" "$2" || status=$?
  WINEPREFIX="$TINDORA_WINEPREFIX" wineserver -k 2>/dev/null || true
  exit "$status"' installer-test "$root" "$2"
