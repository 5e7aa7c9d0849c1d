#!/usr/bin/python3
"""Pillow's side of the comparisons (compare-imagemagick.sh, compare-codecs.sh): times Pillow
on the very pictures and files our benchmark programs wrote, in processor time of this process
(time.process_time: user + system), and prints CSV rows for the scripts to pick up.

  pillow_bench.py filters [--runs N] [--budget MS] PICTURE OPERATION...
      prints "operation,ms" per operation: the mean processor time of one run, over at least
      --runs runs and as many more as fit into --budget milliseconds (like lumabench).
  pillow_bench.py codecs [--runs N] FOLDER
      for every PICTURE.ppm in FOLDER and every FORMAT in bmp jpg png tif gif with a file
      PICTURE.FORMAT beside it (written by lumabench_codecs): prints
      "picture,format,encode_ms,decode_ms": encoding the picture to that format (to a file) and
      decoding our file, each the mean of a round of at least 200 ms, the best of --runs rounds
      (like lumabench_codecs).

Operation names are lumabench's ("rotate 90 cw", "resize box 50%", ...); an operation Pillow
has no counterpart for prints an empty time. Needs Debian's python3-pil (for /usr/bin/python3).
"""

import argparse
import os
import sys
import tempfile
import time

try:
    from PIL import Image, ImageOps
except ImportError:
    sys.exit("pillow_bench.py: Pillow is missing (Debian package python3-pil, for /usr/bin/python3)")

Image.MAX_IMAGE_PIXELS = None  # our largest pictures are larger than Pillow's bomb guard

RESAMPLE = {"box": Image.Resampling.BOX, "bilinear": Image.Resampling.BILINEAR}


def resize(kernel, factor):
    # Pillow's box and bilinear kernels have the supports of ours (0.5 and 1) and widen them
    # when shrinking like ours; its Hamming kernel has support 1 where ours has 4, and it has no
    # Gaussian, so those rows have no Pillow figure.
    if kernel not in RESAMPLE:
        return None

    def run(im):
        w, h = im.size
        size = (max(1, w // 2), max(1, h // 2)) if factor == 50 else (max(1, w * 3 // 2), max(1, h * 3 // 2))
        return im.resize(size, RESAMPLE[kernel])

    return run


def quantize(dither):
    def run(im):
        return im.quantize(256, method=Image.Quantize.MEDIANCUT, dither=dither)

    return run


# lumabench's operation -> what Pillow does for it. Pillow makes a new picture for every
# operation; ours work in place on the editor's bitmap.
OPERATIONS = {
    "invert": ImageOps.invert,
    "flip vertical": lambda im: im.transpose(Image.Transpose.FLIP_TOP_BOTTOM),
    "flip horizontal": lambda im: im.transpose(Image.Transpose.FLIP_LEFT_RIGHT),
    "rotate 90 cw": lambda im: im.transpose(Image.Transpose.ROTATE_270),
    "rotate 90 ccw": lambda im: im.transpose(Image.Transpose.ROTATE_90),
    "rotate 180": lambda im: im.transpose(Image.Transpose.ROTATE_180),
    # Counter-clockwise, nearest neighbour, the whole turned picture on white.
    "rotate 17": lambda im: im.rotate(17, resample=Image.Resampling.NEAREST, expand=True, fillcolor=(255, 255, 255)),
    # Both make an 8-bit grey picture from weighted red, green and blue.
    "grayscale": lambda im: im.convert("L"),
    "quantize median cut / no dither": quantize(Image.Dither.NONE),
    "quantize median cut / floyd-steinberg": quantize(Image.Dither.FLOYDSTEINBERG),
}
for _kernel in ("box", "bilinear", "gaussian", "hamming"):
    for _factor in (50, 150):
        OPERATIONS[f"resize {_kernel} {_factor}%"] = resize(_kernel, _factor)


def base_name(operation):
    """'rotate 90 cw (in place)' -> 'rotate 90 cw'."""
    for suffix in (" (in place)", " (apply)"):
        if operation.endswith(suffix):
            return operation[: -len(suffix)]
    return operation


def mean_ms(fn, runs, budget_ms):
    spent = 0.0
    count = 0
    while count < runs or (spent < budget_ms and count < 5000):
        t0 = time.process_time()
        fn()
        spent += (time.process_time() - t0) * 1000.0
        count += 1
    return spent / count


def best_round_ms(fn, runs, round_ms=200.0):
    best = None
    for _ in range(runs):
        t0 = time.process_time()
        count = 0
        while True:
            fn()
            count += 1
            used = (time.process_time() - t0) * 1000.0
            if used >= round_ms or count >= 100:
                break
        ms = used / count
        best = ms if best is None or ms < best else best
    return best


def filters(args):
    # Pillow makes a new picture for every operation and by default gives its memory back at
    # once, so that every run would also pay for fresh pages (dear on some virtual machines);
    # ours work on a bitmap that exists already. Keeping the freed blocks for reuse times the
    # work itself.
    Image.core.set_blocks_max(256)
    with Image.open(args.picture) as opened:
        im = opened.convert("RGB")
    for operation in args.operations:
        make = OPERATIONS.get(base_name(operation))
        if make is None:
            print(f"{operation},")
            continue
        print(f"{operation},{mean_ms(lambda: make(im), args.runs, args.budget):.3f}", flush=True)


SAVE_OPTIONS = {
    "bmp": ("BMP", {}),
    "jpg": ("JPEG", {"quality": 95, "subsampling": 2}),  # 2 x 2 colour subsampling, like ours
    "png": ("PNG", {}),
    "tif": ("TIFF", {}),  # uncompressed
    "gif": ("GIF", {}),  # Pillow reduces to 256 colours itself, without dithering
}


def codecs(args):
    # Our bitmaps take their pixel memory from the blocks that earlier pictures gave back; so
    # does Pillow here, so that neither side's decode pays for fresh pages.
    Image.core.set_blocks_max(256)
    pictures = sorted(f[:-4] for f in os.listdir(args.folder) if f.endswith(".ppm"))
    with tempfile.TemporaryDirectory() as scratch:
        for picture in pictures:
            with Image.open(os.path.join(args.folder, picture + ".ppm")) as opened:
                im = opened.convert("RGB")
            for extension, (fmt, options) in SAVE_OPTIONS.items():
                ours = os.path.join(args.folder, f"{picture}.{extension}")
                if not os.path.exists(ours):
                    continue
                target = os.path.join(scratch, f"pillow.{extension}")
                encode = best_round_ms(lambda: im.save(target, fmt, **options), args.runs)

                def decode():
                    with Image.open(ours) as decoded:
                        decoded.load()

                print(f"{picture},{extension},{encode:.3f},{best_round_ms(decode, args.runs):.3f}", flush=True)


def main():
    parser = argparse.ArgumentParser(description="Pillow's side of the benchmark comparisons")
    sub = parser.add_subparsers(dest="mode", required=True)
    f = sub.add_parser("filters")
    f.add_argument("--runs", type=int, default=5)
    f.add_argument("--budget", type=float, default=1000.0)
    f.add_argument("picture")
    f.add_argument("operations", nargs="+")
    c = sub.add_parser("codecs")
    c.add_argument("--runs", type=int, default=3)
    c.add_argument("folder")
    args = parser.parse_args()
    if args.mode == "filters":
        filters(args)
    else:
        codecs(args)


if __name__ == "__main__":
    main()
