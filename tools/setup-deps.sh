#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine, and cross-builds
# the image libraries into .deps/<arch> (rebuilt only when missing, and libtiff also when an
# older setup built it without LZW): for i686 always, and for x86_64 too where the tests run the
# 64-bit build (tools/windows-arch.sh). Idempotent.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="$here/.deps"

need_pkgs=(mingw-w64 wine wine32:i386 wine64 fonts-wine xvfb xdotool cmake ninja-build nasm libz-mingw-w64-dev
           googletest imagemagick netpbm python3 clang libclang-rt-14-dev dpkg-dev x11-utils
           libjpeg-dev libpng-dev libtiff-dev libgif-dev libdeflate-dev libtiff-tools nsis
           cups printer-driver-cups-pdf ghostscript poppler-utils libcups2 libcups2:i386 x11vnc
           python3-pil)

missing=()
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

src_list=/etc/apt/sources.list.d/debian.sources
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
if [ -f "$src_list" ] && grep -q '^Types: deb$' "$src_list"; then
  sed -i 's/^Types: deb$/Types: deb deb-src/' "$src_list"
  need_update=1
fi
if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

mkdir -p "$deps/src"

fetch_src() {  # source package; prints the unpacked folder
  local pkg=$1 dir
  dir=$(cat "$deps/src/$pkg.dir" 2>/dev/null || true)
  if [ -n "$dir" ] && [ -d "$dir" ]; then echo "$dir"; return; fi
  local before after v
  before=$(ls -d "$deps/src"/*/ 2>/dev/null || true)
  # The newest version may be missing from an archive mirror: fall back to the older ones.
  if ! (cd "$deps/src" && apt-get source -qq "$pkg" >/dev/null 2>&1); then
    for v in $(apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | sort -rV); do
      (cd "$deps/src" && apt-get source -qq "$pkg=$v" >/dev/null 2>&1) && break
    done
  fi
  after=$(ls -d "$deps/src"/*/ 2>/dev/null || true)
  dir=$(comm -13 <(echo "$before" | sort) <(echo "$after" | sort) | head -1)
  [ -n "$dir" ] || { echo "setup: cannot fetch the sources of $pkg" >&2; exit 1; }
  dir=${dir%/}
  echo "$dir" > "$deps/src/$pkg.dir"
  echo "$dir"
}

cmake_lib() {  # arch, source dir, build name, extra args...
  local arch=$1 src=$2 name=$3; shift 3
  local prefix="$deps/$arch" build="$deps/build-$arch/$name"
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -Wno-dev "$@" >/dev/null
  cmake --build "$build" >/dev/null
  cmake --install "$build" >/dev/null
}

# True when the libtiff installed under a prefix was configured with the LZW codec.
tiff_has_lzw() {  # prefix
  grep -q '^#define LZW_SUPPORT' "$1/include/tiffconf.h" 2>/dev/null
}

# Builds libtiff (LZW, JPEG and Deflate codecs) into a staging prefix beside the real one and
# then moves the library and its headers into place one rename each, so that a build that links
# against .deps meanwhile sees either the old library or the new one, never a half-written file.
build_tiff() {  # arch
  local arch=$1 src f
  local prefix="$deps/$arch" stage="$deps/stage-$arch-tiff" build="$deps/build-$arch/tiff"
  src=$(fetch_src tiff)
  rm -rf "$stage" "$build"
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" -DCMAKE_INSTALL_PREFIX="$stage" \
    -DCMAKE_PREFIX_PATH="$prefix" -Wno-dev -DBUILD_SHARED_LIBS=OFF -Dtiff-tools=OFF \
    -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dlzw=ON -Dwebp=OFF -Dzstd=OFF \
    -Dlzma=OFF -Djbig=OFF -Dlerc=OFF -Dlibdeflate=OFF -Djpeg=ON -Dzlib=ON >/dev/null
  cmake --build "$build" >/dev/null
  cmake --install "$build" >/dev/null
  tiff_has_lzw "$stage" || { echo "setup: libtiff ($arch) was configured without LZW" >&2; exit 1; }
  mkdir -p "$prefix/lib/pkgconfig" "$prefix/lib/cmake" "$prefix/include"
  for f in libtiff.a libtiffxx.a; do
    # (touched after the move, so that builds which linked the old library link again)
    if [ -f "$stage/lib/$f" ]; then touch "$stage/lib/$f"; mv -f "$stage/lib/$f" "$prefix/lib/$f"; fi
  done
  for f in "$stage"/include/*; do mv -f "$f" "$prefix/include/"; done
  [ -f "$stage/lib/pkgconfig/libtiff-4.pc" ] && mv -f "$stage/lib/pkgconfig/libtiff-4.pc" "$prefix/lib/pkgconfig/"
  if [ -d "$stage/lib/cmake/tiff" ]; then
    rm -rf "$prefix/lib/cmake/tiff.old"
    [ -d "$prefix/lib/cmake/tiff" ] && mv "$prefix/lib/cmake/tiff" "$prefix/lib/cmake/tiff.old"
    mv "$stage/lib/cmake/tiff" "$prefix/lib/cmake/tiff"
    rm -rf "$prefix/lib/cmake/tiff.old"
  fi
  rm -rf "$stage"
}

# libdeflate (the PNG encoder's compressor): its portable and x86 sources straight into a static
# library, staged and moved into place in one rename like libtiff. A few seconds of compiling.
build_libdeflate() {  # arch
  local arch=$1 src f
  local prefix="$deps/$arch" build="$deps/build-$arch/deflate"
  src=$(fetch_src libdeflate)
  rm -rf "$build" && mkdir -p "$build" "$prefix/lib" "$prefix/include"
  for f in "$src"/lib/*.c "$src"/lib/x86/*.c; do
    $arch-w64-mingw32-gcc-posix -O2 -DNDEBUG -c "$f" -I"$src" -o "$build/$(basename "${f%.c}").o"
  done
  $arch-w64-mingw32-ar rcs "$build/libdeflate.a" "$build"/*.o
  cp "$src/libdeflate.h" "$build/libdeflate.h"
  mv -f "$build/libdeflate.h" "$prefix/include/libdeflate.h"
  mv -f "$build/libdeflate.a" "$prefix/lib/libdeflate.a"
}

# The image libraries, static, for one arch.
build_libs() {  # arch
  local arch=$1 src
  local prefix="$deps/$arch"
  mkdir -p "$prefix"
  if [ ! -f "$prefix/lib/libjpeg.a" ]; then
    echo "setup: building libjpeg-turbo ($arch)"
    src=$(fetch_src libjpeg-turbo)
    cmake_lib "$arch" "$src" jpeg -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF
  fi
  if [ ! -f "$prefix/lib/libpng.a" ]; then
    echo "setup: building libpng ($arch)"
    src=$(fetch_src libpng1.6)
    cmake_lib "$arch" "$src" png -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
  fi
  if [ ! -f "$prefix/lib/libtiff.a" ] || ! tiff_has_lzw "$prefix"; then
    echo "setup: building libtiff with LZW ($arch)"
    build_tiff "$arch"
  fi
  if [ ! -f "$prefix/lib/libgif.a" ]; then
    echo "setup: building giflib ($arch)"
    src=$(fetch_src giflib)
    rm -rf "$deps/build-$arch/gif" && mkdir -p "$deps/build-$arch/gif"
    for f in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
      $arch-w64-mingw32-gcc-posix -O2 -c "$src/$f.c" -I"$src" -o "$deps/build-$arch/gif/$f.o"
    done
    $arch-w64-mingw32-ar rcs "$prefix/lib/libgif.a" "$deps/build-$arch/gif"/*.o
    cp "$src/gif_lib.h" "$prefix/include/"
  fi
  if [ ! -f "$prefix/lib/libdeflate.a" ] || [ ! -f "$prefix/include/libdeflate.h" ]; then
    echo "setup: building libdeflate ($arch)"
    build_libdeflate "$arch"
  fi
}

source "$here/tools/windows-arch.sh"
build_libs i686
[ "$(lumatre_runnable_arch)" = i686 ] || build_libs x86_64
echo "setup: dependencies ready"
