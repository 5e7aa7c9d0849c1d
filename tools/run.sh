#!/usr/bin/env bash
# Builds the program and starts it under Wine. Without a display it gets a private Xvfb display
# with a Wine virtual desktop (a prefix kept in .deps/wineprefix-run between runs).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
bash tools/setup-deps.sh
source tools/windows-arch.sh
arch=$(lumatre_runnable_arch)
LUMATRE_ARCH=$arch tools/build.sh
lumatre_use_wine "$arch"
source tools/wine-session.sh
trap wine_session_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
wine_session_start "$here/.deps/wineprefix-run-$arch"
echo "Lumatre is running on display $DISPLAY; end it with File > Exit (or Ctrl+C here)."
wine "$here/${LUMATRE_BUILD_DIR:-build}/$(lumatre_windows_dir "$arch")/bin/Lumatre.exe" "$@"
