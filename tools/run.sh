#!/usr/bin/env bash
# Builds the program and starts it under Wine. Without a display it gets a private Xvfb display
# with a Wine virtual desktop (a prefix kept in .deps/wineprefix-run between runs), and x11vnc
# shows that display on localhost so that a VNC viewer can see and drive the program
# (--no-vnc: not). Other arguments go to Lumatre.exe.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
vnc=1
args=()
for a in "$@"; do
  if [ "$a" = --no-vnc ]; then vnc=0; else args+=("$a"); fi
done
[ -z "${DISPLAY:-}" ] || vnc=0
bash tools/setup-deps.sh
source tools/windows-arch.sh
arch=$(lumatre_runnable_arch)
LUMATRE_ARCH=$arch tools/build.sh
lumatre_use_wine "$arch"
source tools/wine-session.sh
vnc_pid=""
stop_all() {
  [ -z "$vnc_pid" ] || kill "$vnc_pid" 2>/dev/null || true
  wine_session_stop
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
wine_session_start "$here/.deps/wineprefix-run-$arch"
if [ $vnc -eq 1 ]; then
  port_file="$(mktemp)"
  x11vnc -display "$DISPLAY" -localhost -nopw -forever -shared -quiet -autoport 5900 \
    -nolookup -noxdamage >"$port_file" 2>/dev/null &
  vnc_pid=$!
  port=""
  for _ in $(seq 1 50); do
    port=$(sed -n 's/^PORT=//p' "$port_file" | head -1)
    [ -n "$port" ] && break
    sleep 0.2
  done
  rm -f "$port_file"
  if [ -n "$port" ]; then
    echo "See the program with a VNC viewer on localhost:$port (for example: vncviewer localhost::$port)."
  else
    echo "x11vnc did not start; the program runs on display $DISPLAY without a viewer." >&2
  fi
fi
echo "Lumatre is running on display $DISPLAY; end it with File > Exit (or Ctrl+C here)."
wine "$here/${LUMATRE_BUILD_DIR:-build}/$(lumatre_windows_dir "$arch")/bin/Lumatre.exe" ${args[@]+"${args[@]}"}
