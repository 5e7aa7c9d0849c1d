#!/usr/bin/env bash
# Runs lumabench_codecs, single-threaded ImageMagick and Pillow on the same two pictures (a
# 1920 x 1080 screenshot-like one and a 4000 x 3000 photo-like one) and prints, for encoding and
# decoding every writable format, our time, ImageMagick's, Pillow's and the ratios
# ours / ImageMagick and ours / Pillow (below 1.0: we are faster).
#
#   LUMATRE_BUILD_DIR=build-me tools/benchmark/compare-codecs.sh [--native] [--runs N] [--im-rounds N]
#
# Times are CPU times (user + system) so that other work on the machine does not count. Ours:
# MakeFileFromBmp and MakeBmpFromFile, the fastest of --runs runs (the Windows build, default,
# runs under Wine in the build folder's own prefix; --native runs the host build). ImageMagick:
# encoding is "convert picture.ppm OUT" minus "convert picture.ppm null:", decoding is
# "convert FILE null:" minus the start-up "convert xc: null:", on the very files our encoder
# wrote, each the best of --im-rounds rounds. ImageMagick writes JPEG with quality 95 and 2 x 2
# colour subsampling like ours, PNG at its default settings, TIFF uncompressed, BMP as BMP3 and
# GIF without dithering. Pillow (Debian's python3-pil, tools/benchmark/pillow_bench.py) encodes
# the same pictures with the same settings (its BMP has 24 bits like ours) and decodes the
# files our encoder wrote, timed inside one process like ours: the best of --runs rounds.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="${LUMATRE_BUILD_DIR:-build}"
[[ "$out" = /* ]] || out="$here/$out"
# shellcheck source=SCRIPTDIR/bench-common.sh
source "$here/tools/benchmark/bench-common.sh"
mode=windows
runs=3
im_rounds=3

while [ $# -gt 0 ]; do
  case "$1" in
    --native) mode=native ;;
    --runs) runs="$2"; shift ;;
    --im-rounds) im_rounds="$2"; shift ;;
    *) echo "usage: $0 [--native] [--runs N] [--im-rounds N]" >&2; exit 2 ;;
  esac
  shift
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/files"
im_prepare "$work"
pillow_prepare

# --- our figures ------------------------------------------------------------------------------
bench_prepare "$mode" lumabench_codecs "$work/files"

echo "Timing lumabench_codecs ($bench_label, best of $runs runs)..." >&2
run_bench --runs "$runs" --csv --write-files "$bench_dir" | tr -d '\r' > "$work/ours.csv"

# --- Pillow -----------------------------------------------------------------------------------
echo "Timing Pillow..." >&2
pillow codecs --runs "$runs" "$work/files" > "$work/pillow.csv"

pillow_ms() {  # picture-file-name format column (3 encode, 4 decode)
  awk -F, -v p="$1" -v f="$2" -v c="$3" '$1 == p && $2 == f { print $c }' "$work/pillow.csv"
}

# --- ImageMagick ------------------------------------------------------------------------------
# CPU milliseconds (user + system) of one command, best of im_rounds rounds.
cpu_ms() {
  local best="" r t
  for r in $(seq 1 "$im_rounds"); do
    t=$( { TIMEFORMAT='%U %S'; time "$IM" -limit thread 1 "$@" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%d", ($1 + $2) * 1000 }')
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best="$t"; fi
  done
  echo "$best"
}

ours() {  # picture format column
  awk -F, -v p="$1" -v f="$2" -v c="$3" '$1 == p && $4 == f { print $c }' "$work/ours.csv"
}

ratio() {  # ours theirs
  if [ -z "$1" ] || [ -z "$2" ]; then echo "-"; return; fi
  awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) b = 1; printf "%.2f", a / b }'
}

ms() {  # milliseconds or "-"
  if [ -n "$1" ]; then printf '%.1f' "$1"; else echo "-"; fi
}

row_format='%-28s %10s %10s %10s %8s %8s\n'
row() {  # label ours im pillow
  # shellcheck disable=SC2059
  printf "$row_format" "$1" "$(ms "$2")" "$(ms "$3")" "$(ms "$4")" "$(ratio "$2" "$3")" "$(ratio "$2" "$4")"
}

# shellcheck disable=SC2059
printf "$row_format" "operation (CPU)" "ours ms" "IM ms" "Pillow ms" "ours/IM" "ours/PIL"
startup=$(cpu_ms xc: null:)
for picture in screen-1920x1080 photo-4000x3000; do
  name="${picture%%-*}"
  ppm="$work/files/$picture.ppm"
  read_ms=$(cpu_ms "$ppm" null:)
  for format in bmp jpg png tif gif; do
    case "$format" in
      bmp) target="BMP3:$work/im.bmp"; opts=() ;;
      jpg) target="$work/im.jpg"; opts=(-quality 95 -sampling-factor 2x2) ;;
      png) target="$work/im.png"; opts=() ;;
      tif) target="$work/im.tif"; opts=(-compress none) ;;
      gif) target="$work/im.gif"; opts=(+dither) ;;
    esac
    im_encode=$(( $(cpu_ms "$ppm" "${opts[@]}" "$target") - read_ms ))
    im_decode=$(( $(cpu_ms "$work/files/$picture.$format" null:) - startup ))
    row "$picture $format encode" "$(ours "$name" "$format" 5)" "$im_encode" "$(pillow_ms "$picture" "$format" 3)"
    row "$picture $format decode" "$(ours "$name" "$format" 6)" "$im_decode" "$(pillow_ms "$picture" "$format" 4)"
  done
done
echo
echo "File sizes (ours):"
awk -F, 'NR > 1 { printf "  %s %s: %d bytes\n", $1, $4, $7 }' "$work/ours.csv"
