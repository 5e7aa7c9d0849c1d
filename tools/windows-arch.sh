# Sourced by the build, run and test scripts: which Windows build runs here, and the Wine that
# runs it.
#
# Lumatre is a 32-bit Windows program (i686), run by Wine's 32-bit loader, which is a 32-bit
# Linux program. Where the kernel runs no 32-bit programs (IA-32 emulation off), that loader
# cannot start: the tests then run a 64-bit build of the same sources (x86_64) under Wine's
# 64-bit loader, and the 32-bit program is still built. LUMATRE_ARCH=i686|x86_64 overrides.

# Prints i686 or x86_64: the build that Wine can run on this machine.
lumatre_runnable_arch() {
  if [ -n "${LUMATRE_ARCH:-}" ]; then
    echo "$LUMATRE_ARCH"
  elif [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}

# The build folder's subfolder of an arch: win32 or win64.
lumatre_windows_dir() {  # arch
  if [ "$1" = x86_64 ]; then echo win64; else echo win32; fi
}

# Makes `wine`, `wineserver` and `wineboot` on the PATH the ones of this arch and sets WINEARCH.
lumatre_use_wine() {  # arch
  if [ "$1" != x86_64 ]; then
    export WINEARCH=win32
    return
  fi
  # Debian's wrappers prefer the 32-bit loader whenever it is installed: go round them.
  local shim="${TMPDIR:-/tmp}/lumatre-wine64-$(id -u)"
  mkdir -p "$shim"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine64"
  printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$shim/wineserver"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 wineboot "$@"\n' >"$shim/wineboot"
  chmod +x "$shim/wine" "$shim/wine64" "$shim/wineserver" "$shim/wineboot"
  case ":$PATH:" in
    *":$shim:"*) ;;
    *) export PATH="$shim:$PATH" ;;
  esac
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
}
