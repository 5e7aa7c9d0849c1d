#!/usr/bin/env bash
# Runs lumabench, single-threaded ImageMagick and Pillow on the same photo-like pictures and
# prints, for every operation that they do alike, our time, ImageMagick's, Pillow's and the
# ratios ours / ImageMagick and ours / Pillow (below 1.0: we are faster). Pillow has no
# Gaussian resize and a Hamming kernel of another support: those rows have no Pillow figure.
#
#   LUMATRE_BUILD_DIR=build-me tools/benchmark/compare-imagemagick.sh [--native] [--runs N]
#                                     [--sizes WxH,...] [--im-rounds N] [--wall]
#
# Both sides are measured in processor time (user + system, so page faults count), which
# other work on a busy machine does not inflate; --wall compares the fastest wall times
# instead. Our figure is the editor's path: ApplyInPlace on a DIB. The Windows
# build (default) runs under Wine in the build folder's own prefix; --native runs the host
# build. ImageMagick runs with one thread and a private policy without the 256 MiB memory
# cap; its time for an operation comes from the command with the operation repeated minus the
# same command without it (reading the picture), each the best of several rounds. Pillow
# (Debian's python3-pil) times each operation inside one process on the picture read once:
# the mean of at least --runs runs, more while they take under a second, like ours; it makes
# a new picture each time where ours changes the editor's bitmap in place. --wall leaves
# Pillow's processor times as they are.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="${LUMATRE_BUILD_DIR:-build}"
[[ "$out" = /* ]] || out="$here/$out"
# shellcheck source=SCRIPTDIR/bench-common.sh
source "$here/tools/benchmark/bench-common.sh"
mode=windows
runs=5
sizes="1920x1080,4000x3000"
im_rounds=3
clock=cpu

while [ $# -gt 0 ]; do
  case "$1" in
    --native) mode=native ;;
    --runs) runs="$2"; shift ;;
    --sizes) sizes="$2"; shift ;;
    --im-rounds) im_rounds="$2"; shift ;;
    --wall) clock=wall ;;
    *) echo "usage: $0 [--native] [--runs N] [--sizes WxH,...] [--im-rounds N] [--wall]" >&2; exit 2 ;;
  esac
  shift
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/images"
im_prepare "$work"
pillow_prepare

# --- our figures ------------------------------------------------------------------------------
bench_prepare "$mode" lumabench "$work/images"

echo "Timing lumabench ($bench_label, at least $runs runs)..." >&2
run_bench --sizes "$sizes" --runs "$runs" --csv --write-images "$bench_dir" | tr -d '\r' > "$work/ours.csv"

# --- ImageMagick ------------------------------------------------------------------------------
# Milliseconds of one command, best of im_rounds rounds: processor time (user + system) of the
# ImageMagick process, or its wall time with --wall.
im_run_ms() {  # picture args...
  local picture="$1"
  shift
  local best="" r t0 t1 us cpu TIMEFORMAT='%3U %3S'
  for r in $(seq 1 "$im_rounds"); do
    t0=$(date +%s%N)
    cpu=$( { time "$IM" -limit thread 1 "$picture" "$@" null: >/dev/null 2>&1; } 2>&1 ) ||
      { echo "ImageMagick failed: $*" >&2; return 1; }
    t1=$(date +%s%N)
    if [ "$clock" = wall ]; then
      us=$(( (t1 - t0) / 1000 ))
    else
      us=$(awk -v u="${cpu% *}" -v s="${cpu#* }" 'BEGIN { printf "%d", (u + s) * 1000000 }')
    fi
    if [ -z "$best" ] || [ "$us" -lt "$best" ]; then best="$us"; fi
  done
  awk -v us="$best" 'BEGIN { printf "%.3f", us / 1000.0 }'
}

# Milliseconds of one operation: the command with the operation repeated `count` times minus
# the command without it (reading the picture), divided by count. In-place operations are
# repeated as they are (each repetition does the same work); operations that make a new
# picture work on a clone that is dropped again, so that every repetition starts from the
# original picture.
im_op_ms() {  # picture count style op-args...
  local picture="$1" count="$2" style="$3"
  shift 3
  local args=() i
  for i in $(seq 1 "$count"); do
    if [ "$style" = clone ]; then args+=( "(" +clone "$@" ")" +delete ); else args+=( "$@" ); fi
  done
  local with base
  with=$(im_run_ms "$picture" "${args[@]}")
  base=$(im_run_ms "$picture")
  awk -v a="$with" -v b="$base" -v n="$count" 'BEGIN { d = (a - b) / n; if (d < 0.001) d = 0.001; printf "%.2f", d }'
}

ours_ms() {  # operation width height
  local column=6
  [ "$clock" = wall ] && column=4
  awk -F, -v op="$1" -v w="$2" -v h="$3" -v c="$column" '$1 == op && $2 == w && $3 == h { print $c }' "$work/ours.csv"
}

# Our operation names and the rest of each row: the label, how often ImageMagick repeats the
# operation (fast, slow or one), how (chain or clone), and its arguments, where @HALF@ and @MORE@
# stand for the sizes of 50 % and 150 %.
pairs="invert (in place)|invert / -negate|fast|chain|-negate
flip vertical (in place)|flip vertical / -flip|fast|chain|-flip
flip horizontal (in place)|flip horizontal / -flop|fast|chain|-flop
rotate 90 cw (in place)|rotate 90 / -rotate 90|fast|chain|-rotate 90
rotate 90 ccw (in place)|rotate -90 / -rotate -90|fast|chain|-rotate -90
rotate 180 (in place)|rotate 180 / -rotate 180|fast|chain|-rotate 180
rotate 17 (in place)|rotate 17 / -rotate -17|slow|clone|-background white -rotate -17
resize box 50% (in place)|box 50% / -filter Box|slow|clone|-filter Box -resize @HALF@
resize bilinear 50% (in place)|bilinear 50% / -filter Triangle|slow|clone|-filter Triangle -resize @HALF@
resize gaussian 50% (in place)|gaussian 50% / -filter Gaussian|slow|clone|-filter Gaussian -resize @HALF@
resize hamming 50% (in place)|hamming 50% / -filter Hamming|slow|clone|-filter Hamming -resize @HALF@
resize box 150% (in place)|box 150% / -filter Box|slow|clone|-filter Box -resize @MORE@
resize bilinear 150% (in place)|bilinear 150% / -filter Triangle|slow|clone|-filter Triangle -resize @MORE@
resize gaussian 150% (in place)|gaussian 150% / -filter Gaussian|slow|clone|-filter Gaussian -resize @MORE@
resize hamming 150% (in place)|hamming 150% / -filter Hamming|slow|clone|-filter Hamming -resize @MORE@
grayscale (in place)|grayscale / -grayscale Rec709Luma|one|chain|-grayscale Rec709Luma
quantize median cut / no dither (in place)|256 colours / +dither -colors|slow|clone|+dither -colors 256
quantize median cut / floyd-steinberg (in place)|256 colours FS / -dither FS|slow|clone|-dither FloydSteinberg -colors 256"

pillow_ms() {  # operation width height
  awk -F, -v op="$1" '$1 == op { print $2 }' "$work/pillow-$2x$3.csv"
}

ms() {  # milliseconds or nothing
  if [ -n "$1" ]; then printf '%.2f' "$1"; fi
}

ratio() {  # ours theirs
  if [ -z "$1" ] || [ -z "$2" ]; then echo "-"; return; fi
  awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) print "-"; else printf "%.3f", a / b }'
}

row_format='%-34s %-10s %10s %10s %10s %8s %8s\n'
# shellcheck disable=SC2059
printf "$row_format" "operation" "size" "ours ms" "IM ms" "Pillow ms" "ours/IM" "ours/PIL"
echo "($clock time; Pillow: processor time)"
IFS=, read -r -a size_list <<< "$sizes"
for size in "${size_list[@]}"; do
  w="${size%x*}"
  h="${size#*x}"
  picture="$work/images/photo-${w}x${h}.ppm"
  big=$(( w * h > 4000000 ? 1 : 0 ))
  fast=$(( big ? 4 : 10 ))   # repetitions of the quick operations
  slow=$(( big ? 1 : 2 ))    # and of the slow ones
  one=1                      # operations that change the picture so that a repeat would differ
  half="$((w / 2))x$((h / 2))!"
  more="$((w * 3 / 2))x$((h * 3 / 2))!"
  echo "Timing Pillow on $size..." >&2
  ops=()
  while IFS='|' read -r ours_op _; do ops+=("$ours_op"); done <<< "$pairs"
  pillow filters --runs "$runs" "$picture" "${ops[@]}" > "$work/pillow-${w}x${h}.csv"
  while IFS='|' read -r ours_op label count style im_args; do
    ours=$(ours_ms "$ours_op" "$w" "$h")
    pil=$(pillow_ms "$ours_op" "$w" "$h")
    im_args="${im_args//@HALF@/$half}"
    im_args="${im_args//@MORE@/$more}"
    # shellcheck disable=SC2086
    im=$(im_op_ms "$picture" "${!count}" "$style" $im_args)
    ours_text=$(ms "$ours")
    pil_text=$(ms "$pil")
    # shellcheck disable=SC2059
    printf "$row_format" "$label" "$size" "${ours_text:-failed}" "$im" "${pil_text:--}" "$(ratio "$ours" "$im")" \
      "$(ratio "$ours" "$pil")"
  done <<< "$pairs"
done
