#!/usr/bin/env bash
# Makes the pictures of the help (help/images/*.png) and of the README (docs/screenshots/*.png)
# from the real program: builds it with the screenshot driver, starts a private Wine session
# (own Xvfb display and prefix, as tools/dev-test.sh does), lets the driver open the windows,
# menus and dialogs and save them as BMP files, and turns those into small PNG files.
#   LUMATRE_BUILD_DIR=build-me bash tools/screenshots.sh [NAME...]
# Without names it makes every picture; NAME is a picture name without .png (main-window ...).
# Pictures that cannot be made are reported and leave the existing PNG alone.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
out="${LUMATRE_BUILD_DIR:-build}"
command -v convert >/dev/null || { echo "screenshots: ImageMagick's convert is missing (package imagemagick)" >&2; exit 1; }

# The pictures and where they go.
help_pictures=(main-window tray-menu capture-menu tracker-rectangle color-picker image-window
  open-dialog save-dialog print-layout options-dialog options-hotkeys resize-dialog rotate-dialog
  windows-dialog)
readme_pictures=(main-window image-window tray-menu options-dialog tracker-rectangle)

source tools/windows-arch.sh
arch=$(lumatre_runnable_arch)
LUMATRE_ARCH=$arch tools/build.sh lumatre_screenshots Lumatre QuorvaHook
bin="$here/$out/$(lumatre_windows_dir "$arch")/bin"

export LUMATRE_OWN_DISPLAY=1
lumatre_use_wine "$arch"
source tools/wine-session.sh
shots=$(mktemp -d "${TMPDIR:-/tmp}/lumatre-screenshots.XXXXXX")
cleanup() {
  wine_session_stop
  rm -rf "$shots"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
wine_session_start "$here/$out/wineprefix-$(lumatre_windows_dir "$arch")"

status=0
# Wine's drive Z: is the Linux root.
timeout 900 wine "$bin/lumatre_screenshots.exe" "Z:${shots//\//\\}" "$@" || status=$?

# A picture of few colours (dialogs, menus) becomes an 8-bit palette PNG, losslessly; others
# stay true colour.
to_png() {  # bmp png
  local colours
  colours=$(convert "$1" -alpha off -format %k info:)
  if [ "$colours" -le 256 ]; then
    convert "$1" -alpha off -strip -define png:compression-level=9 "PNG8:$2"
  else
    convert "$1" -alpha off -strip -define png:compression-level=9 "PNG24:$2"
  fi
}

mkdir -p help/images docs/screenshots
made=0
for bmp in "$shots"/*.bmp; do
  if [ ! -e "$bmp" ]; then continue; fi
  name=$(basename "$bmp" .bmp)
  to_png "$bmp" "$shots/$name.png"
  placed=""
  for p in "${help_pictures[@]}"; do
    if [ "$p" = "$name" ]; then cp "$shots/$name.png" "help/images/$name.png"; placed+=" help/images"; fi
  done
  for p in "${readme_pictures[@]}"; do
    if [ "$p" = "$name" ]; then cp "$shots/$name.png" "docs/screenshots/$name.png"; placed+=" docs/screenshots"; fi
  done
  echo "screenshots: $name.png ($(stat -c %s "$shots/$name.png") bytes) ->${placed:- nowhere}"
  made=$((made + 1))
done
echo "screenshots: $made pictures made"
if [ "$status" -ne 0 ]; then
  echo "screenshots: the driver reported $status failed pictures (see above)" >&2
  exit 1
fi
