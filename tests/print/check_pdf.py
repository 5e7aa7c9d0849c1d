#!/usr/bin/env python3
"""Runs the print jobs of print_job_writer on the session's printer and reads their PDFs back
with pdftoppm: the page count, where the picture landed (within 1 mm) and that it is upright.
Then runs it once more with the printer gone. Exit code 77: no print session (skipped)."""
import os
import subprocess
import sys
import tempfile

DPI = 150
MM = DPI / 25.4  # pixels per millimetre


def read_ppm(path):
    with open(path, 'rb') as f:
        data = f.read()
    parts, pos = [], 0
    while len(parts) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        parts.append(data[pos:end])
        pos = end
    pos += 1
    width, height = int(parts[1]), int(parts[2])
    return width, height, data[pos:]


def pages(pdf, folder, name):
    subprocess.run(['pdftoppm', '-r', str(DPI), pdf, os.path.join(folder, name)], check=True)
    files = sorted(f for f in os.listdir(folder) if f.startswith(name + '-') and f.endswith('.ppm'))
    return [read_ppm(os.path.join(folder, f)) for f in files]


def classify(r, g, b):
    if r > 180 and g < 90 and b < 90:
        return 'red'
    if b > 180 and r < 90 and g < 90:
        return 'blue'
    if g > 180 and r < 90 and b < 90:
        return 'green'
    if r > 230 and g > 230 and b > 230:
        return 'white'
    return 'other'


def boxes(page):
    """Bounding boxes (left, top, right, bottom in pixels) of each colour on a page."""
    width, height, pixels = page
    found = {}
    step = 2
    for y in range(0, height, step):
        row = y * width * 3
        for x in range(0, width, step):
            i = row + x * 3
            c = classify(pixels[i], pixels[i + 1], pixels[i + 2])
            if c in ('white',):
                continue
            b = found.get(c)
            if b is None:
                found[c] = [x, y, x + step, y + step]
            else:
                b[0] = min(b[0], x)
                b[1] = min(b[1], y)
                b[2] = max(b[2], x + step)
                b[3] = max(b[3], y + step)
    return found


def layout(path):
    values = {}
    with open(path) as f:
        for line in f:
            key, *rest = line.split()
            values[key] = [int(v) for v in rest]
    return values


failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print('FAILED: ' + message)


def near(pixels, tenths_mm, what, mm=1):
    check(abs(pixels - tenths_mm / 10 * MM) <= mm * MM + 1, '%s: %d px, expected %.1f px' % (what, pixels, tenths_mm / 10 * MM))


def union(bs, names):
    got = [bs[n] for n in names if n in bs]
    if not got:
        return None
    return [min(b[0] for b in got), min(b[1] for b in got), max(b[2] for b in got), max(b[3] for b in got)]


def main():
    runner, exe = sys.argv[1:3]
    output = os.environ.get('LUMATRE_PRINT_OUTPUT')
    if not output or not os.environ.get('CUPS_SERVER'):
        print('no print session: skipped')
        return 77
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, LUMATRE_PRINT_CHECK_DIR=folder)
        run = subprocess.run([runner, exe, '--gtest_brief=1'], env=env, timeout=240)
        check(run.returncode == 0, 'print_job_writer failed')

        # Fitted inside the 12 mm margins, centred, at the fitted size.
        fit = pages(os.path.join(folder, 'fit.pdf'), folder, 'fit')
        l = layout(os.path.join(folder, 'fit.txt'))
        check(len(fit) == 1, 'fit: %d pages' % len(fit))
        if fit:
            bs = boxes(fit[0])
            pcx, pcy = l['page']
            pw, ph = pcx - 240, pcy - 240
            k = min(pw / 400, ph / 200)
            w, h = round(k * 400), round(k * 200)
            left, top = 120 + (pw - w) // 2, 120 + (ph - h) // 2
            pic = union(bs, ['red', 'blue', 'green'])
            check(pic is not None, 'fit: no picture on the page')
            if pic:
                near(pic[0], left, 'fit left')
                near(pic[1], top, 'fit top')
                near(pic[2] - pic[0], w, 'fit width')
                near(pic[3] - pic[1], h, 'fit height')
                # Upright: red above, blue left of green.
                check(bs['red'][3] <= bs['blue'][1] + 4, 'fit: red is not above blue')
                check(bs['blue'][2] <= bs['green'][0] + 4, 'fit: blue is not left of green')

        # Tiled: three pages whose parts join to the picture.
        tiled = pages(os.path.join(folder, 'tiled.pdf'), folder, 'tiled')
        check(len(tiled) == 3, 'tiled: %d pages' % len(tiled))
        if len(tiled) == 3:
            lt = layout(os.path.join(folder, 'tiled.txt'))
            pcx = lt['page'][0]
            pw = pcx - 240
            widths = []
            for n, page in enumerate(tiled):
                pic = union(boxes(page), ['red', 'blue', 'green'])
                check(pic is not None, 'tiled page %d is empty' % (n + 1))
                if pic:
                    near(pic[0], 120, 'tiled page %d left' % (n + 1))
                    near(pic[1], 120, 'tiled page %d top' % (n + 1))
                    near(pic[3] - pic[1], 2000, 'tiled page %d height' % (n + 1))
                    widths.append(pic[2] - pic[0])
            if len(widths) == 3:
                near(widths[0], pw, 'tiled page 1 width')
                near(widths[2], 4000 - 2 * pw, 'tiled page 3 width (the rest)')
                near(sum(widths), 4000, 'tiled pages together', mm=3)  # three edges, 1 mm each
            colours = [set(boxes(p)) for p in tiled]
            check('blue' in colours[0] and 'green' not in colours[0], 'tiled page 1 is not the left part')
            check('green' in colours[2] and 'blue' not in colours[2], 'tiled page 3 is not the right part')

        # Print mode 7: one empty page.
        empty = pages(os.path.join(folder, 'mode7.pdf'), folder, 'mode7')
        check(len(empty) == 1 and not boxes(empty[0]), 'mode 7 printed something')

        # Margins past the page: the picture fills the page's width.
        big = pages(os.path.join(folder, 'bigmargins.pdf'), folder, 'bigmargins')
        if big:
            pic = union(boxes(big[0]), ['red', 'blue', 'green'])
            lb = layout(os.path.join(folder, 'bigmargins.txt'))
            check(pic is not None, 'big margins: nothing printed')
            if pic:
                near(pic[0], 0, 'big margins left')
                near(pic[2] - pic[0], lb['page'][0], 'big margins width')

        # A capture printed by its outputs: the same fitted page.
        capture = pages(os.path.join(folder, 'capture.pdf'), folder, 'capture')
        check(len(capture) == 1, 'capture: %d pages' % len(capture))
        if capture:
            check(union(boxes(capture[0]), ['red', 'blue', 'green']) is not None, 'capture: nothing printed')

        # The printer gone: message 151 or nothing, no hang.
        gone = dict(os.environ, CUPS_SERVER=os.path.join(folder, 'no-such-socket'), LUMATRE_PRINT_NO_PRINTER='1')
        gone.pop('LUMATRE_PRINT_CHECK_DIR', None)
        run = subprocess.run([runner, exe, '--gtest_brief=1', '--gtest_filter=PrintWithoutPrinter.*'], env=gone,
                             timeout=120)
        check(run.returncode == 0, 'without a printer: print_job_writer failed')
    print('%d failures' % len(failures))
    return 1 if failures else 0


sys.exit(main())
