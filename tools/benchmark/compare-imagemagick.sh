#!/usr/bin/env bash
# Runs lumabench and single-threaded ImageMagick on the same photo-like pictures and prints,
# for every pair of operations that do the same work, our time, ImageMagick's time and the
# ratio ours / ImageMagick (below 1.0: we are faster).
#
#   LUMATRE_BUILD_DIR=build-me tools/benchmark/compare-imagemagick.sh [--native] [--runs N]
#                                                                    [--sizes WxH,...]
#
# Our figure is the editor's path: ApplyInPlace on a DIB, fastest of --runs runs. The Windows
# build (default) runs under Wine in the build folder's own prefix; --native runs the host
# build. ImageMagick runs with one thread and a private policy without the 256 MiB memory
# cap; its time for an operation is its -bench time with the operation minus the time of the
# same command without it (reading the picture), each the best of several rounds.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="${LUMATRE_BUILD_DIR:-build}"
[[ "$out" = /* ]] || out="$here/$out"
mode=win32
runs=5
sizes="1920x1080,4000x3000"
im_rounds=3
IM=/usr/bin/convert-im6.q16

while [ $# -gt 0 ]; do
  case "$1" in
    --native) mode=native ;;
    --runs) runs="$2"; shift ;;
    --sizes) sizes="$2"; shift ;;
    --im-rounds) im_rounds="$2"; shift ;;
    *) echo "usage: $0 [--native] [--runs N] [--sizes WxH,...] [--im-rounds N]" >&2; exit 2 ;;
  esac
  shift
done

[ -x "$IM" ] || { echo "ImageMagick ($IM) is not installed" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/policy" "$work/images"
cat > "$work/policy/policy.xml" <<'POLICY'
<policymap>
  <policy domain="resource" name="memory" value="8GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="area" value="4GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
  <policy domain="resource" name="width" value="64KP"/>
  <policy domain="resource" name="height" value="64KP"/>
</policymap>
POLICY
export MAGICK_CONFIGURE_PATH="$work/policy"

# --- our figures ------------------------------------------------------------------------------
if [ "$mode" = native ]; then
  bench="$out/native/bin/lumabench"
  [ -x "$bench" ] || (cd "$here" && LUMATRE_BUILD_DIR="${out#$here/}" tools/build.sh --native lumabench >/dev/null)
  run_bench() { "$bench" "$@"; }
  image_arg="$work/images"
else
  bench="$out/win32/bin/lumabench.exe"
  [ -f "$bench" ] || (cd "$here" && LUMATRE_BUILD_DIR="${out#$here/}" tools/build.sh lumabench >/dev/null)
  export WINEPREFIX="$out/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    DISPLAY= wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  run_bench() { DISPLAY= wine "$bench" "$@"; }
  image_arg="$(DISPLAY= winepath -w "$work/images" 2>/dev/null)"
fi

echo "Timing lumabench ($mode, best of $runs runs)..." >&2
run_bench --sizes "$sizes" --runs "$runs" --csv --write-images "$image_arg" | tr -d '\r' > "$work/ours.csv"

# --- ImageMagick ------------------------------------------------------------------------------
# Milliseconds per command (best of im_rounds rounds of -bench n).
im_ms() {  # picture iterations args...
  local picture="$1" iterations="$2"
  shift 2
  local best="" r ips ms
  for r in $(seq 1 "$im_rounds"); do
    ips=$("$IM" -limit thread 1 "$picture" -bench "$iterations" "$@" null: 2>&1 |
          sed -n 's/.*Performance\[1\]: *[0-9]*i *\([0-9.]*\)ips.*/\1/p' | head -1)
    [ -n "$ips" ] || { echo "ImageMagick failed: $IM $picture $*" >&2; return 1; }
    ms=$(awk -v i="$ips" 'BEGIN { printf "%.3f", 1000.0 / i }')
    if [ -z "$best" ] || awk -v a="$ms" -v b="$best" 'BEGIN { exit !(a < b) }'; then best="$ms"; fi
  done
  echo "$best"
}

ours_ms() {  # operation width height
  awk -F, -v op="$1" -v w="$2" -v h="$3" '$1 == op && $2 == w && $3 == h { print $4 }' "$work/ours.csv"
}

printf '%-34s %-10s %12s %12s %8s\n' "operation" "size" "ours ms" "IM ms" "ratio"
IFS=, read -r -a size_list <<< "$sizes"
for size in "${size_list[@]}"; do
  w="${size%x*}"
  h="${size#*x}"
  picture="$work/images/photo-${w}x${h}.ppm"
  pixels=$((w * h))
  iterations=$(( pixels > 4000000 ? 3 : 8 ))
  base=$(im_ms "$picture" "$iterations")
  half="$((w / 2))x$((h / 2))!"
  more="$((w * 3 / 2))x$((h * 3 / 2))!"
  while IFS='|' read -r ours_op label im_args; do
    ours=$(ours_ms "$ours_op" "$w" "$h")
    # shellcheck disable=SC2086
    with=$(im_ms "$picture" "$iterations" $im_args)
    im=$(awk -v a="$with" -v b="$base" 'BEGIN { d = a - b; if (d < 0.001) d = 0.001; printf "%.2f", d }')
    if [ -z "$ours" ]; then
      printf '%-34s %-10s %12s %12s %8s\n' "$label" "$size" "failed" "$im" "-"
    else
      ratio=$(awk -v a="$ours" -v b="$im" 'BEGIN { printf "%.3f", a / b }')
      printf '%-34s %-10s %12.2f %12s %8s\n' "$label" "$size" "$ours" "$im" "$ratio"
    fi
  done <<EOF_PAIRS
invert (in place)|invert / -negate|-negate
flip vertical (in place)|flip vertical / -flip|-flip
flip horizontal (in place)|flip horizontal / -flop|-flop
rotate 90 cw (in place)|rotate 90 / -rotate 90|-rotate 90
rotate 17 (in place)|rotate 17 / -rotate -17|-background white -rotate -17
resize box 50% (in place)|box 50% / -filter Box|-filter Box -resize $half
resize bilinear 50% (in place)|bilinear 50% / -filter Triangle|-filter Triangle -resize $half
resize gaussian 50% (in place)|gaussian 50% / -filter Gaussian|-filter Gaussian -resize $half
resize hamming 50% (in place)|hamming 50% / -filter Hamming|-filter Hamming -resize $half
resize box 150% (in place)|box 150% / -filter Box|-filter Box -resize $more
resize bilinear 150% (in place)|bilinear 150% / -filter Triangle|-filter Triangle -resize $more
resize gaussian 150% (in place)|gaussian 150% / -filter Gaussian|-filter Gaussian -resize $more
resize hamming 150% (in place)|hamming 150% / -filter Hamming|-filter Hamming -resize $more
grayscale (in place)|grayscale / -grayscale Rec709Luma|-grayscale Rec709Luma
quantize median cut / no dither (in place)|256 colours / +dither -colors|+dither -colors 256
quantize median cut / floyd-steinberg (in place)|256 colours FS / -dither FS|-dither FloydSteinberg -colors 256
EOF_PAIRS
done
