# Sourced by the run and test scripts: one or more Wine desktops, each a private X display, a
# Wine prefix with its own persistent wineserver and a 1024 x 768 virtual desktop named "shell"
# (it has a taskbar with a tray). Everything started here is stopped again by
# wine_session_stop, which the callers put in an EXIT trap.
#
#   wine_session_start PREFIX...   one desktop per prefix folder (created when it has no registry)
#
# Afterwards LUMATRE_DESKTOPS holds the number of desktops, LUMATRE_DESKTOP_<i>_DISPLAY and
# LUMATRE_DESKTOP_<i>_PREFIX name desktop i, and DISPLAY and WINEPREFIX name desktop 0.
# Desktops share nothing: the clipboard, the registry, window stations and named objects belong
# to a prefix's wineserver, and every desktop has an X display of its own (Wine mirrors its
# clipboard to the X selections, so two prefixes on one display would share it).

# Fonts of Debian's fonts-wine that a fresh prefix does not find by itself: without Marlett the
# title-bar buttons, check marks and scroll arrows show as letters.
WINE_SESSION_FONTS=(marlett.ttf)
WINE_SESSION_FONT_DIR=/usr/share/wine/fonts

source "$(dirname "${BASH_SOURCE[0]}")/windows-arch.sh"
# The private printer (a CUPS queue "PDF" writing PDF files) that every session offers Wine.
source "$(dirname "${BASH_SOURCE[0]}")/print-session.sh"

WINE_SESSION_PREFIXES=()
WINE_SESSION_XVFB_PIDS=()
WINE_SESSION_DESKTOP_PIDS=()

wine_session_start() {  # prefix folder...
  # The Wine of the build that runs here (tools/windows-arch.sh; the caller may have chosen).
  [ -n "${WINEARCH:-}" ] || lumatre_use_wine "$(lumatre_runnable_arch)"
  export WINEDEBUG=-all
  # No Mono or Gecko installers; and a program that crashes ends at once instead of waiting
  # in the debugger.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  WINE_SESSION_PREFIXES=("$@")
  local n=$# i
  # Before any Wine process starts, so that each one finds the printer.
  print_session_start "$(dirname "$1")/print-session-$(basename "$1")"
  local displays=()
  wine_session_check || return 1
  for ((i = 0; i < n; i++)); do
    if [ $i -eq 0 ] && [ -n "${DISPLAY:-}" ] && [ -z "${LUMATRE_OWN_DISPLAY:-}" ]; then
      displays+=("$DISPLAY")
    else
      wine_session_xvfb || return 1
      displays+=("$WINE_SESSION_NEW_DISPLAY")
    fi
  done
  # Fresh prefixes take a while each: make them side by side.
  local pids=()
  for ((i = 0; i < n; i++)); do
    (
      export DISPLAY="${displays[i]}" WINEPREFIX="${WINE_SESSION_PREFIXES[i]}"
      wine_session_prefix
    ) &
    pids+=($!)
  done
  local failed=0
  for i in "${pids[@]}"; do wait "$i" || failed=1; done
  [ $failed -eq 0 ] || { echo "wine-session: could not prepare the Wine prefixes" >&2; return 1; }
  for ((i = 0; i < n; i++)); do
    export "LUMATRE_DESKTOP_${i}_DISPLAY=${displays[i]}"
    export "LUMATRE_DESKTOP_${i}_PREFIX=${WINE_SESSION_PREFIXES[i]}"
    # A persistent server keeps every later wine start quick.
    DISPLAY="${displays[i]}" WINEPREFIX="${WINE_SESSION_PREFIXES[i]}" wineserver -p >/dev/null 2>&1 || true
    DISPLAY="${displays[i]}" WINEPREFIX="${WINE_SESSION_PREFIXES[i]}" \
      wine explorer /desktop=shell,1024x768 >/dev/null 2>&1 &
    WINE_SESSION_DESKTOP_PIDS+=($!)
  done
  export LUMATRE_DESKTOPS=$n
  export DISPLAY="${displays[0]}" WINEPREFIX="${WINE_SESSION_PREFIXES[0]}"
  # Wait until every desktop window exists on its X display.
  local tries
  for ((i = 0; i < n; i++)); do
    for ((tries = 0; tries < 100; tries++)); do
      DISPLAY="${displays[i]}" xdotool search --name "Wine desktop" >/dev/null 2>&1 && break
      sleep 0.2
    done
  done
  sleep 1
}

# Say so plainly when Wine cannot start.
wine_session_check() {
  local out
  if ! out=$(wine --version 2>&1); then
    echo "wine-session: Wine cannot start on this machine: $out" >&2
    case "$out" in
      *"Exec format error"*)
        echo "wine-session: the kernel runs no 32-bit programs here (IA-32 emulation is off); LUMATRE_ARCH=x86_64 runs the 64-bit build" >&2 ;;
    esac
    return 1
  fi
}

# Starts an Xvfb display of its own; its name lands in WINE_SESSION_NEW_DISPLAY.
wine_session_xvfb() {
  local fdfile i
  fdfile=$(mktemp)
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset 9>"$fdfile" >/dev/null 2>&1 &
  WINE_SESSION_XVFB_PIDS+=($!)
  for ((i = 0; i < 100; i++)); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  WINE_SESSION_NEW_DISPLAY=":$(head -1 "$fdfile" | tr -d '[:space:]')"
  rm -f "$fdfile"
  if [ "$WINE_SESSION_NEW_DISPLAY" = ":" ]; then
    echo "wine-session: Xvfb did not start" >&2
    return 1
  fi
}

# Creates $WINEPREFIX (with the "shell" desktop as default) unless it has a registry already,
# then adds the fonts it lacks. Old prefixes get the fonts on their next start.
wine_session_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
  fi
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-session: wineboot made no prefix in $WINEPREFIX" >&2; return 1; }
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
  mkdir -p "$fonts"
  for f in "${WINE_SESSION_FONTS[@]}"; do
    [ -f "$fonts/$f" ] && continue
    if [ -f "$WINE_SESSION_FONT_DIR/$f" ]; then
      cp "$WINE_SESSION_FONT_DIR/$f" "$fonts/"
    else
      echo "wine-session: $WINE_SESSION_FONT_DIR/$f is missing (package fonts-wine)" >&2
    fi
  done
}

# Writes ctest's resource file with one "desktops" slot per desktop of the session, so
# that ctest's resource allocation gives each screen test a desktop of its own.
wine_session_resource_file() {  # file
  local i sep="" ids=""
  for ((i = 0; i < ${LUMATRE_DESKTOPS:-1}; i++)); do
    ids+="$sep{\"id\": \"$i\", \"slots\": 1}"
    sep=", "
  done
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"desktops": [%s]}]}\n' "$ids" >"$1"
}

wine_session_stop() {
  local p
  for p in "${WINE_SESSION_PREFIXES[@]}"; do
    WINEPREFIX="$p" wineserver -k >/dev/null 2>&1 || true
  done
  for p in "${WINE_SESSION_PREFIXES[@]}"; do
    WINEPREFIX="$p" wineserver -w >/dev/null 2>&1 || true
  done
  for p in "${WINE_SESSION_DESKTOP_PIDS[@]}"; do
    kill "$p" >/dev/null 2>&1 || true
  done
  for p in "${WINE_SESSION_XVFB_PIDS[@]}"; do
    kill "$p" >/dev/null 2>&1 || true
    wait "$p" 2>/dev/null || true
  done
  WINE_SESSION_PREFIXES=()
  WINE_SESSION_DESKTOP_PIDS=()
  WINE_SESSION_XVFB_PIDS=()
  print_session_stop
}
