#!/usr/bin/env bash
# Builds Tindora and runs every test: the portable core and the Qt program on
# Linux, the Windows program under Wine. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash scripts/install-deps.sh

echo "== Linux build and tests"
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTINDORA_BUILD_BENCH=ON >/dev/null
cmake --build build/linux -j "$jobs"
ctest --test-dir build/linux --output-on-failure -j "$jobs"

echo "== Windows build and tests (under Wine)"
# The test programs run through scripts/wine-run.sh, the toolchain's emulator,
# which makes the Wine prefix and a virtual display when there is none.
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build build/windows -j "$jobs"
ctest --test-dir build/windows --output-on-failure -j "$jobs"
