#!/usr/bin/env bash
# Makes the files that the codec tests decode, and ImageMagick's own decode of each as raw
# 8-bit RGBA (<name>.rgba), so the tests compare our pixels with an independent decoder.
# Run again only to change the set; the outputs are kept in the repository.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
IM=/usr/bin/convert-im6.q16
W=45; H=27

rm -f ./*.png ./*.tif ./*.gif ./*.jpg ./*.rgba
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
# Sources: a smooth colour field with hard edges, and the same with an alpha ramp.
$IM -seed 7 -size ${W}x${H} plasma:fractal -blur 0x0.7 \
    -fill '#ffffff' -draw 'rectangle 2,2 12,8' -fill '#000000' -draw 'line 20,0 44,26' \
    -depth 8 -define png:color-type=2 "$tmp/src.png"
$IM -size ${H}x${W} gradient:white-black -rotate 90 "$tmp/ramp.png"
$IM "$tmp/src.png" "$tmp/ramp.png" -alpha off -compose copy_opacity -composite "$tmp/srca.png"

png() { local name=$1; shift; $IM "$@" "png:$name.png"; }
png png_g1   "$tmp/src.png" -colorspace gray -threshold 50% -define png:color-type=0 -define png:bit-depth=1
png png_g2   "$tmp/src.png" -colorspace gray -depth 2 -define png:color-type=0 -define png:bit-depth=2
png png_g4   "$tmp/src.png" -colorspace gray -depth 4 -define png:color-type=0 -define png:bit-depth=4
png png_g8   "$tmp/src.png" -colorspace gray -define png:color-type=0 -define png:bit-depth=8
png png_g16  "$tmp/src.png" -colorspace gray -depth 16 -define png:color-type=0 -define png:bit-depth=16
png png_ga8  "$tmp/srca.png" -colorspace gray -define png:color-type=4 -define png:bit-depth=8
png png_ga16 "$tmp/srca.png" -colorspace gray -depth 16 -define png:color-type=4 -define png:bit-depth=16
png png_rgb8 "$tmp/src.png" -define png:color-type=2 -define png:bit-depth=8
png png_rgb16 "$tmp/src.png" -depth 16 -define png:color-type=2 -define png:bit-depth=16
png png_rgba8 "$tmp/srca.png" -define png:color-type=6 -define png:bit-depth=8
png png_rgba16 "$tmp/srca.png" -depth 16 -define png:color-type=6 -define png:bit-depth=16
$IM "$tmp/src.png" -colors 2 -define png:bit-depth=1 png8:png_p1.png
$IM "$tmp/src.png" -colors 4 -define png:bit-depth=2 png8:png_p2.png
png png_p4   "$tmp/src.png" -colors 16 -define png:color-type=3 -define png:bit-depth=4
png png_p8   "$tmp/src.png" -colors 200 -define png:color-type=3 -define png:bit-depth=8
png png_rgb8_interlaced "$tmp/src.png" -interlace PNG -define png:color-type=2 -define png:bit-depth=8
png png_p8_interlaced   "$tmp/src.png" -colors 50 -interlace PNG -define png:color-type=3 -define png:bit-depth=8

tif() { local name=$1; shift; $IM "$@" "tiff:$name.tif"; }
tif tif_rgb       "$tmp/src.png" -compress none
tif tif_rgb_zip   "$tmp/src.png" -compress zip
tif tif_rgb_packbits "$tmp/src.png" -compress rle
tif tif_rgb_jpeg  "$tmp/src.png" -compress jpeg -quality 90
tif tif_rgb16     "$tmp/src.png" -depth 16 -compress none
tif tif_rgba      "$tmp/srca.png" -compress none
tif tif_rgb_tiled "$tmp/src.png" -compress zip -define tiff:tile-geometry=16x16
tif tif_rgb_planar "$tmp/src.png" -compress none -interlace plane
tif tif_g8        "$tmp/src.png" -colorspace gray -type grayscale -depth 8 -compress none
tif tif_g4        "$tmp/src.png" -colorspace gray -type grayscale -depth 4 -compress none
tif tif_g2        "$tmp/src.png" -colorspace gray -type grayscale -depth 2 -compress none
tif tif_g16       "$tmp/src.png" -colorspace gray -type grayscale -depth 16 -compress none
tif tif_bilevel_black "$tmp/src.png" -colorspace gray -threshold 50% -depth 1 -type bilevel -compress none
tif tif_bilevel_white "$tmp/src.png" -colorspace gray -threshold 50% -depth 1 -type bilevel -define quantum:polarity=min-is-white -compress none
tif tif_bilevel_fax "$tmp/src.png" -colorspace gray -threshold 50% -depth 1 -type bilevel -compress group4
tif tif_p8        "$tmp/src.png" -colors 200 -type palette -compress none
tif tif_p4        "$tmp/src.png" -colors 16 -type palette -depth 4 -compress none

$IM "$tmp/src.png" -colors 200 gif_basic.gif
$IM "$tmp/src.png" -colors 100 -interlace GIF gif_interlaced.gif
$IM -dispose none -delay 10 \( "$tmp/src.png" -colors 64 -repage ${W}x${H}+0+0 \) \
    \( -size 20x10 xc:red -repage ${W}x${H}+5+7 \) \
    \( -size 10x12 xc:blue -fill none -draw 'point 3,3' -repage ${W}x${H}+30+12 \) \
    \( -size 8x8 xc:none -fill yellow -draw 'rectangle 0,0 3,7' -repage ${W}x${H}+2+15 \) \
    gif_anim.gif

$IM "$tmp/src.png" -quality 85 -sampling-factor 2x2 jpg_base.jpg
$IM "$tmp/src.png" -quality 85 -sampling-factor 2x2 -interlace JPEG jpg_progressive.jpg
$IM "$tmp/src.png" -quality 90 -colorspace gray jpg_grey.jpg
$IM "$tmp/src.png" -quality 90 -sampling-factor 1x1 jpg_444.jpg
$IM "$tmp/src.png" -quality 85 -colorspace cmyk jpg_cmyk.jpg

# ImageMagick's decodes. An animation is composed frame over frame (the last coalesced frame).
for f in *.png *.tif *.gif *.jpg; do
  base=${f%.*}
  case $f in
    gif_anim.gif) $IM "$f" -coalesce -delete 0--2 -depth 8 "RGBA:$base.rgba" ;;
    *) $IM "$f" -colorspace sRGB -depth 8 "RGBA:$base.rgba" ;;
  esac
done
ls | wc -l
