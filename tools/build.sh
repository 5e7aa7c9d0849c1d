#!/usr/bin/env bash
# Configures and builds the i686 Windows tree (build/win32) and, with --native, the
# sanitizer build of the portable core (build/native).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
jobs=$(nproc)
if [ "${1:-}" = "--native" ]; then
  cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMATRE_SANITIZE=ON >/dev/null
  cmake --build build/native -j "$jobs"
  exit 0
fi
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$here/tools/wine-run" >/dev/null
cmake --build build/win32 -j "$jobs"
