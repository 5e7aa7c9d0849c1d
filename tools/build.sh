#!/usr/bin/env bash
# Configures and builds the i686 Windows tree ($LUMATRE_BUILD_DIR/win32, default build/win32)
# or, with --native, the sanitizer build of the portable core ($LUMATRE_BUILD_DIR/native).
# Further arguments name the targets to build (default: all).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
out="${LUMATRE_BUILD_DIR:-build}"
jobs=$(nproc)
if [ "${1:-}" = "--native" ]; then
  shift
  cmake -S . -B "$out/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMATRE_SANITIZE=ON >/dev/null
  targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build "$out/native" -j "$jobs" "${targets[@]}"
  exit 0
fi
cmake -S . -B "$out/win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$here/tools/wine-run" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$out/win32" -j "$jobs" "${targets[@]}"
