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
