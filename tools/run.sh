#!/usr/bin/env bash
# Builds the program and starts it under Wine. Without a display it gets a private Xvfb display
# with a Wine virtual desktop (a prefix kept in .deps/wineprefix-run between runs).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
bash tools/setup-deps.sh
tools/build.sh
source tools/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$here/.deps/wineprefix-run"
echo "Lumatre is running on display $DISPLAY; end it with File > Exit (or Ctrl+C here)."
wine "$here/${LUMATRE_BUILD_DIR:-build}/win32/bin/Lumatre.exe" "$@"
