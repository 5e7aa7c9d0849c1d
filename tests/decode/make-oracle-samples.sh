#!/usr/bin/env bash
# Makes the sample files of the oracle test: pictures written by ImageMagick and netpbm in every
# variant the decoders read, each with ImageMagick's own decode of it as raw RGBA bytes.
#   make-oracle-samples.sh <output folder>
# TIFFs compressed by libtiff's tiffcp (LZW in every common layout) join them, since the TIFFs
# people meet most are LZW.
# manifest.txt lines: "<file> <width> <height> <tolerance> <what>" for files to compare, or
# "<file> fail <code>" for files that must be refused with that code.
set -uo pipefail
out=$1
mkdir -p "$out"
cd "$out"
rm -f manifest.txt ./*.bmp ./*.tga ./*.pcx ./*.pgm ./*.tif ./*.rgba
IM=/usr/bin/convert-im6.q16
if [ ! -x "$IM" ] || ! command -v ppmtobmp >/dev/null || ! command -v python3 >/dev/null ||
   ! command -v tiffcp >/dev/null; then
  echo "missing-tools ImageMagick (convert-im6.q16), netpbm, libtiff-tools and python3 are needed" > manifest.txt
  exit 0
fi

# Colourful pictures of awkward widths: every row needs padding somewhere.
python3 - <<'PY'
import sys
def ppm(name, w, h, f):
    px = bytearray()
    for y in range(h):
        for x in range(w):
            px += bytes(f(x, y))
    open(name, 'wb').write(b'P6\n%d %d\n255\n' % (w, h) + px)
ppm('wide.ppm', 37, 23, lambda x, y: ((x * 7 + y * 3) % 256, (y * 11) % 256, (x * x + y * 5) % 256))
ppm('narrow.ppm', 3, 5, lambda x, y: ((x * 90) % 256, (y * 60) % 256, 255 - x * 40 - y * 20))
ppm('one.ppm', 1, 4, lambda x, y: (y * 80, 255 - y * 80, 128))
PY

fails=0
add() {  # file width height tolerance what [reference decoder]
  local ok=1
  if [ -n "${6:-}" ]; then
    "$6" "$1" 2>/dev/null | "$IM" ppm:- -depth 8 "rgba:$1.rgba" 2>/dev/null || ok=0
  else
    "$IM" "$1" -auto-orient -depth 8 "rgba:$1.rgba" 2>/dev/null || ok=0
  fi
  if [ -s "$1" ] && [ $ok -eq 1 ]; then
    echo "$1 $2 $3 $4 $5" >> manifest.txt
  else
    echo "oracle: could not make $1" >&2
    fails=$((fails + 1))
  fi
}

for src in wide narrow one; do
  read -r w h < <(python3 -c "import sys; d=open('$src.ppm','rb').read().split(b'\n'); print(d[1].decode())")
  q() { pnmquant "$1" "$src.ppm" 2>/dev/null; }
  # ImageMagick's BMP writer.
  $IM $src.ppm -type bilevel BMP3:im-$src-1.bmp;                          add im-$src-1.bmp $w $h 0 "bmp 1 bit"
  $IM $src.ppm -colors 16 -compress none BMP3:im-$src-4.bmp;             add im-$src-4.bmp $w $h 0 "bmp 4 bits"
  $IM $src.ppm -colors 200 -compress none BMP3:im-$src-8.bmp;            add im-$src-8.bmp $w $h 0 "bmp 8 bits"
  if [ "$w" -ge 3 ]; then
    # (ImageMagick's RLE writer runs past the end of rows narrower than 3 pixels.)
    $IM $src.ppm -colors 200 -compress RLE BMP3:im-$src-8rle.bmp;        add im-$src-8rle.bmp $w $h 0 "bmp rle8"
    $IM $src.ppm -colors 7 -compress RLE BMP3:im-$src-8rle7.bmp;         add im-$src-8rle7.bmp $w $h 0 "bmp rle8 few colours"
  fi
  $IM $src.ppm -define bmp:subtype=RGB565 BMP:im-$src-565.bmp;           add im-$src-565.bmp $w $h 7 "bmp 5-6-5 v5 header"
  $IM $src.ppm -define bmp:subtype=RGB555 BMP:im-$src-555.bmp;           add im-$src-555.bmp $w $h 7 "bmp 5-5-5 v5 header"
  $IM $src.ppm -type truecolor BMP3:im-$src-24.bmp;                      add im-$src-24.bmp $w $h 0 "bmp 24 bits"
  $IM $src.ppm -alpha set -channel A -fx "(i+j)%2*0.5+0.25" +channel BMP:im-$src-32.bmp 2>/dev/null ||
    $IM $src.ppm -alpha set -channel A -evaluate set 50% +channel BMP:im-$src-32.bmp
  add im-$src-32.bmp $w $h 0 "bmp 32 bits with alpha"
  $IM $src.ppm -colorspace gray -type grayscale -compress none BMP3:im-$src-grey.bmp; add im-$src-grey.bmp $w $h 0 "bmp grey palette"
  # netpbm's BMP writer.
  ppmtobmp -windows -bpp=24 $src.ppm > nb-$src-24.bmp 2>/dev/null;       add nb-$src-24.bmp $w $h 0 "netpbm bmp 24"
  q 200 | ppmtobmp -windows -bpp=8 > nb-$src-8.bmp 2>/dev/null;          add nb-$src-8.bmp $w $h 0 "netpbm bmp 8"
  q 16 | ppmtobmp -windows -bpp=4 > nb-$src-4.bmp 2>/dev/null;           add nb-$src-4.bmp $w $h 0 "netpbm bmp 4"
  ppmtopgm $src.ppm | pgmtopbm -threshold | ppmtobmp -windows -bpp=1 > nb-$src-1.bmp 2>/dev/null; add nb-$src-1.bmp $w $h 0 "netpbm bmp 1"
  # TGA from both.
  $IM $src.ppm -type truecolor -compress none TGA:im-$src-24.tga;        add im-$src-24.tga $w $h 0 "tga 24 raw"
  $IM $src.ppm -type truecolor -compress RLE TGA:im-$src-24rle.tga;      add im-$src-24rle.tga $w $h 0 "tga 24 rle"
  $IM $src.ppm -alpha set -channel A -evaluate set 40% +channel -compress none TGA:im-$src-32.tga; add im-$src-32.tga $w $h 0 "tga 32 raw"
  $IM $src.ppm -alpha set -channel A -evaluate set 40% +channel -compress RLE TGA:im-$src-32rle.tga; add im-$src-32rle.tga $w $h 0 "tga 32 rle"
  $IM $src.ppm -colors 200 -type palette -compress none TGA:im-$src-map.tga; add im-$src-map.tga $w $h 0 "tga colour-mapped raw"
  $IM $src.ppm -colors 200 -type palette -compress RLE TGA:im-$src-maprle.tga; add im-$src-maprle.tga $w $h 0 "tga colour-mapped rle"
  $IM $src.ppm -colorspace gray -type grayscale -compress none TGA:im-$src-grey.tga; add im-$src-grey.tga $w $h 0 "tga grey raw"
  $IM $src.ppm -colorspace gray -type grayscale -compress RLE TGA:im-$src-greyrle.tga; add im-$src-greyrle.tga $w $h 0 "tga grey rle"
  ppmtotga -rgb $src.ppm > nt-$src-rle.tga 2>/dev/null;                  add nt-$src-rle.tga $w $h 0 "netpbm tga rle"
  ppmtotga -rgb -norle $src.ppm > nt-$src-raw.tga 2>/dev/null;           add nt-$src-raw.tga $w $h 0 "netpbm tga raw"
  q 100 | ppmtotga -cmap > nt-$src-map.tga 2>/dev/null;                  add nt-$src-map.tga $w $h 0 "netpbm tga colour-mapped rle"
  ppmtopgm $src.ppm | ppmtotga -mono -norle > nt-$src-grey.tga 2>/dev/null; add nt-$src-grey.tga $w $h 0 "netpbm tga grey"
  # PCX from both.
  $IM $src.ppm -colors 200 PCX:im-$src-8.pcx;                            add im-$src-8.pcx $w $h 0 "pcx 8 bits"
  $IM $src.ppm -type truecolor PCX:im-$src-24.pcx;                       add im-$src-24.pcx $w $h 0 "pcx 3 planes"
  $IM $src.ppm -type bilevel PCX:im-$src-1.pcx;                          add im-$src-1.pcx $w $h 0 "pcx bilevel"
  q 200 | ppmtopcx -8bit > np-$src-8.pcx 2>/dev/null;                    add np-$src-8.pcx $w $h 0 "netpbm pcx 8 bits"
  ppmtopgm $src.ppm | pgmtopbm -threshold | ppmtopcx > np-$src-1.pcx 2>/dev/null; add np-$src-1.pcx $w $h 0 "netpbm pcx 1 bit" pcxtoppm
  # (ImageMagick reads 1-bit single-plane PCX files inverted; netpbm's reader is the reference.)
  ppmtopcx -24bit $src.ppm > np-$src-24.pcx 2>/dev/null;                 add np-$src-24.pcx $w $h 0 "netpbm pcx 24"
  q 16 | ppmtopcx -planes=4 > np-$src-4planes.pcx 2>/dev/null;           add np-$src-4planes.pcx $w $h 0 "netpbm pcx 4 planes"
  q 8 | ppmtopcx -planes=3 > np-$src-3planes.pcx 2>/dev/null;            add np-$src-3planes.pcx $w $h 0 "netpbm pcx 3 1-bit planes"
  q 4 | ppmtopcx -packed > np-$src-2bit.pcx 2>/dev/null;                 add np-$src-2bit.pcx $w $h 0 "netpbm pcx 2 bits packed"
  q 16 | ppmtopcx -packed > np-$src-4bit.pcx 2>/dev/null;                add np-$src-4bit.pcx $w $h 0 "netpbm pcx 4 bits packed"
  # PGM from both.
  $IM $src.ppm -colorspace gray PGM:im-$src-p5.pgm;                      add im-$src-p5.pgm $w $h 0 "pgm binary"
  $IM $src.ppm -colorspace gray -compress none PGM:im-$src-p2.pgm;       add im-$src-p2.pgm $w $h 0 "pgm text"
  ppmtopgm $src.ppm > np-$src-p5.pgm 2>/dev/null;                        add np-$src-p5.pgm $w $h 0 "netpbm pgm binary"
  ppmtopgm $src.ppm | pnmtoplainpnm > np-$src-p2.pgm 2>/dev/null;        add np-$src-p2.pgm $w $h 0 "netpbm pgm text"
  ppmtopgm $src.ppm | pnmdepth 1000 > np-$src-1000.pgm 2>/dev/null;      add np-$src-1000.pgm $w $h 1 "pgm binary maximum 1000"
  ppmtopgm $src.ppm | pnmdepth 1000 | pnmtoplainpnm > np-$src-1000p2.pgm 2>/dev/null; add np-$src-1000p2.pgm $w $h 1 "pgm text maximum 1000"
  ppmtopgm $src.ppm | pnmdepth 15 | pnmtoplainpnm > np-$src-15.pgm 2>/dev/null; add np-$src-15.pgm $w $h 1 "pgm text maximum 15"
  # PICT from both.
  # (Both writers need rows of 8 bytes or more: ImageMagick packs shorter rows, which the
  # format stores unpacked; ppmtopict refuses them.)
  if [ "$w" -ge 8 ]; then
    $IM $src.ppm -type truecolor PICT:im-$src-32.pict;                   add im-$src-32.pict $w $h 0 "pict direct 32 bits"
    $IM $src.ppm -colors 200 -type palette PICT:im-$src-8.pict;          add im-$src-8.pict $w $h 1 "pict packed 8 bits (16-bit colour table)"
    $IM $src.ppm -type bilevel PICT:im-$src-1.pict;                      add im-$src-1.pict $w $h 0 "pict bilevel"
    q 200 | ppmtopict > np-$src-8.pict 2>/dev/null;                      add np-$src-8.pict $w $h 0 "netpbm pict 8 bits"
  fi
  # LZW TIFFs: ImageMagick's default, and tiffcp's LZW of ImageMagick's uncompressed files.
  $IM $src.ppm -type truecolor -compress LZW TIFF:im-$src-lzw.tif;      add im-$src-lzw.tif $w $h 0 "tiff lzw (ImageMagick)"
  $IM $src.ppm -type truecolor -compress none TIFF:$src-rgb.tif
  $IM $src.ppm -colorspace gray -type grayscale -depth 8 -compress none TIFF:$src-grey.tif
  $IM $src.ppm -alpha set -channel A -evaluate set 40% +channel -type truecolormatte -compress none TIFF:$src-rgba.tif
  $IM $src.ppm -colors 200 -type palette -compress none TIFF:$src-map.tif
  tiffcp -c lzw $src-rgb.tif tc-$src-lzw.tif;                            add tc-$src-lzw.tif $w $h 0 "tiff lzw"
  tiffcp -c lzw:2 $src-rgb.tif tc-$src-lzwpred.tif;                      add tc-$src-lzwpred.tif $w $h 0 "tiff lzw with predictor"
  tiffcp -t -w 16 -l 16 -c lzw $src-rgb.tif tc-$src-lzwtiled.tif;        add tc-$src-lzwtiled.tif $w $h 0 "tiff tiled lzw"
  tiffcp -B -c lzw $src-rgb.tif tc-$src-lzwbig.tif;                      add tc-$src-lzwbig.tif $w $h 0 "tiff big-endian lzw"
  tiffcp -c lzw $src-grey.tif tc-$src-lzwgrey.tif;                       add tc-$src-lzwgrey.tif $w $h 0 "tiff 8-bit grey lzw"
  tiffcp -c lzw:2 $src-grey.tif tc-$src-lzwgreypred.tif;                 add tc-$src-lzwgreypred.tif $w $h 0 "tiff 8-bit grey lzw with predictor"
  tiffcp -c lzw $src-rgba.tif tc-$src-lzwrgba.tif;                       add tc-$src-lzwrgba.tif $w $h 1 "tiff rgba lzw"
  tiffcp -c lzw $src-map.tif tc-$src-lzwmap.tif;                         add tc-$src-lzwmap.tif $w $h 1 "tiff palette lzw"
  rm -f $src-rgb.tif $src-grey.tif $src-rgba.tif $src-map.tif
  # Refused: OS/2 bitmap headers.
  ppmtobmp -os2 -bpp=24 $src.ppm > nb-$src-os2.bmp 2>/dev/null && echo "nb-$src-os2.bmp fail 2" >> manifest.txt
done
rm -f ./*.ppm
[ $fails -eq 0 ] || echo "oracle: $fails samples could not be made" >&2
exit 0
