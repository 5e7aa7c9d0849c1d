#!/usr/bin/env bash
# Configures and builds the Windows tree or, with --native, the sanitizer build of the portable
# core ($LUMATRE_BUILD_DIR/native). The Windows tree is the 32-bit program in
# $LUMATRE_BUILD_DIR/win32 (default build/win32); LUMATRE_ARCH=x86_64 builds the same sources
# for 64-bit Windows in $LUMATRE_BUILD_DIR/win64 (for machines whose Wine runs only that).
# Further arguments name the targets to build (default: all).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
source tools/windows-arch.sh
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
arch="${LUMATRE_ARCH:-i686}"
case "$arch" in
  i686|x86_64) ;;
  *) echo "build: LUMATRE_ARCH must be i686 or x86_64" >&2; exit 2 ;;
esac
cmake -S . -B "$out/$(lumatre_windows_dir "$arch")" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$here/tools/wine-run" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$out/$(lumatre_windows_dir "$arch")" -j "$jobs" "${targets[@]}"
