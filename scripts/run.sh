#!/usr/bin/env bash
# Builds the Linux program and starts it in the current folder, where it keeps
# its settings file time.txt.
set -euo pipefail
here=$PWD
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINDORA_BUILD_QT=ON >/dev/null
cmake --build build/linux --target tindora
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Tindora 需要图形桌面才能运行：没有找到显示器（DISPLAY 未设置）。" >&2
  echo "No display found (DISPLAY is not set). Run this command from a desktop session," >&2
  echo "or start a virtual one first:  Xvfb :99 & export DISPLAY=:99" >&2
  exit 1
fi
cd "$here"
exec "$OLDPWD/build/linux/ui/qt/tindora"
