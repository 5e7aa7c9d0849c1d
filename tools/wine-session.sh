# Sourced by the run and test scripts: a private X display, a fresh Wine prefix and one
# 1024 x 768 Wine virtual desktop named "shell" (it has a taskbar with a tray). Everything
# started here is stopped again by wine_session_stop, which the callers put in an EXIT trap.

wine_session_start() {  # prefix folder
  export WINEPREFIX="$1"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  WINE_SESSION_XVFB_PID=""
  WINE_SESSION_DESKTOP_PID=""
  if [ -z "${DISPLAY:-}" ] || [ -n "${LUMATRE_OWN_DISPLAY:-}" ]; then
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset 9>"$fdfile" >/dev/null 2>&1 &
    WINE_SESSION_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -s "$fdfile" ] && break
      sleep 0.1
    done
    export DISPLAY=":$(head -1 "$fdfile" | tr -d '[:space:]')"
    rm -f "$fdfile"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
  fi
  # A persistent server keeps every later wine start quick.
  wineserver -p >/dev/null 2>&1 || true
  wine explorer /desktop=shell,1024x768 >/dev/null 2>&1 &
  WINE_SESSION_DESKTOP_PID=$!
  # Wait until the desktop window exists on the X display.
  local i
  for i in $(seq 1 100); do
    if xdotool search --name "shell - Wine desktop" >/dev/null 2>&1 ||
       xdotool search --name "Wine desktop" >/dev/null 2>&1; then
      break
    fi
    sleep 0.2
  done
  sleep 1
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "${WINE_SESSION_DESKTOP_PID:-}" ]; then
    kill "$WINE_SESSION_DESKTOP_PID" >/dev/null 2>&1 || true
  fi
  if [ -n "${WINE_SESSION_XVFB_PID:-}" ]; then
    kill "$WINE_SESSION_XVFB_PID" >/dev/null 2>&1 || true
    wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
  fi
}
