#!/usr/bin/env bash
# Builds capturebench (the Windows build that Wine runs here, see tools/windows-arch.sh) and runs
# it on a Wine desktop of its own (private Xvfb display and prefix), so that the screen copy and
# the clipboard are the real ones. Arguments go to capturebench, e.g.
#   LUMATRE_BUILD_DIR=build-me tools/benchmark/capture-bench.sh --runs 9
#   LUMATRE_BUILD_DIR=build-me tools/benchmark/capture-bench.sh --no-clipboard --photo
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$here"
out="${LUMATRE_BUILD_DIR:-build}"
source tools/windows-arch.sh
arch=$(lumatre_runnable_arch)
LUMATRE_ARCH=$arch tools/build.sh capturebench >/dev/null
export LUMATRE_OWN_DISPLAY=1
lumatre_use_wine "$arch"
source tools/wine-session.sh
trap wine_session_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
wine_session_start "$here/$out/wineprefix-bench-$(lumatre_windows_dir "$arch")" >/dev/null
wine "$here/$out/$(lumatre_windows_dir "$arch")/bin/capturebench.exe" "$@" | tr -d '\r'
