#!/usr/bin/env bash
# Builds Tindora and runs every test: the portable core and the Qt program on
# Linux, the Windows program under Wine. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash scripts/install-deps.sh

echo "== Format (.clang-format)"
# Every C++ file as clang-format writes it; the command to mend: see README.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

echo "== Linux build and tests"
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTINDORA_BUILD_BENCH=ON -DTINDORA_BUILD_QT=ON >/dev/null
cmake --build build/linux -j "$jobs"
# The Debian package, which the tests check (packaging/debian).
(cd build/linux && cpack -G DEB >/dev/null)
# One Xvfb for the whole run when there is no display (the Qt program's window
# tests); the out-of-process ones start a private display of their own.
LANG=zh_CN.UTF-8 scripts/with-xvfb.sh ctest --test-dir build/linux --output-on-failure -j "$jobs"

echo "== Settings file reader under libFuzzer (ASan + UBSan, 45 s)"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTINDORA_BUILD_FUZZ=ON -DTINDORA_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz --target settings_reader_fuzz -j "$jobs"
mkdir -p build/fuzz/corpus
# New inputs go to build/fuzz/corpus; the checked-in files are only read.
if ! build/fuzz/settings/fuzz/settings_reader_fuzz -max_total_time=45 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ build/fuzz/corpus settings/fuzz/corpus >build/fuzz/fuzz.log 2>&1; then
  tail -n 60 build/fuzz/fuzz.log
  echo "The settings reader fuzzer found a fault; the input is in build/fuzz/" >&2
  exit 1
fi
grep -E '^(Done|stat::new_units_added)' build/fuzz/fuzz.log

echo "== Windows build and tests (under Wine)"
# The test programs run through scripts/wine-run.sh, the toolchain's emulator,
# which makes the Wine prefix (build/wineprefix) once and starts its server.
# The wine server goes before the display does: Wine's own desktop process
# holds a connection to it.
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build build/windows -j "$jobs"
scripts/with-xvfb.sh bash -c 'status=0
  ctest --test-dir build/windows --output-on-failure -j "$1" || status=$?
  WINEPREFIX="$PWD/build/wineprefix" wineserver -k 2>/dev/null || true
  exit "$status"' windows-tests "$jobs"
