# Builds the benchmarks' programs; sourced by bench/idle.sh and
# bench/punctuality.sh, with $root set to the repository's top folder.
# Only the targets a benchmark runs are built, two jobs at a time (the
# development machine's two cores are shared).

# buildCurrentLinux: the Linux program and the box watcher in build/linux,
# configured as the test command configures it.
buildCurrentLinux() {
  cmake -S "$root" -B "$root/build/linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTINDORA_BUILD_BENCH=ON -DTINDORA_BUILD_QT=ON >/dev/null
  cmake --build "$root/build/linux" -j2 --target tindora tindora_box_watch tindora_minimal_window >/dev/null
}

# buildCurrentWindows: tindora.exe and the empty window program
# (bench/win32/minimal_window.cpp) in build/windows.
buildCurrentWindows() {
  cmake -S "$root" -B "$root/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINDORA_BUILD_BENCH=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$root/build/windows" -j2 --target tindora minimal_window >/dev/null
}

# baselineTree REV: the folder of a detached git worktree of REV under build/,
# made on first use. Prints its path.
baselineTree() {
  local rev tree
  rev=$(git -C "$root" rev-parse --short=7 "$1^{commit}")
  tree=$root/build/rev-$rev
  if [ ! -e "$tree/.git" ]; then
    git -C "$root" worktree add --detach "$tree" "$rev" >/dev/null 2>&1
  fi
  [ "$(git -C "$tree" rev-parse --short=7 HEAD)" = "$rev" ] || {
    echo "bench: $tree is not at $rev" >&2
    return 1
  }
  echo "$tree"
}

# buildBaselineLinux TREE / buildBaselineWindows TREE: the same program as it
# was at that revision, built the same way, in TREE/build/. Prints the program.
buildBaselineLinux() {
  cmake -S "$1" -B "$1/build/linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTINDORA_BUILD_TESTS=OFF -DTINDORA_BUILD_QT=ON >/dev/null
  cmake --build "$1/build/linux" -j2 --target tindora >/dev/null
  echo "$1/build/linux/ui/qt/tindora"
}
buildBaselineWindows() {
  cmake -S "$1" -B "$1/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINDORA_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$1/build/windows" -j2 --target tindora >/dev/null
  echo "$1/build/windows/ui/win32/tindora.exe"
}
