#!/usr/bin/python3
"""Reads the display bitmaps with Pillow and checks every pixel and palette entry against values
computed here from the rules, independently of the program's own code."""

import math
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
from PIL import Image

ROWS, COLUMNS, ZENKA_ROWS = 290, 512, 373


def pattern():
    y, x = np.mgrid[0:ROWS, 0:COLUMNS]
    return ((x * 37 + y * 1013) % 65536).astype(np.uint16)


def plain_bytes(frame):
    picture = (frame >> 8).astype(np.uint8)
    picture[:, 510:] = 0
    return picture


def zenka_bytes(frame):
    high = (frame >> 8).astype(np.float32)
    picture = np.zeros((ZENKA_ROWS, COLUMNS), dtype=np.uint8)
    for i in range(ZENKA_ROWS):
        s = np.float32(i / 1.2862068)
        h = int(s)
        f = np.float32(s - np.float32(h))
        upper = h if i == ZENKA_ROWS - 1 else h + 1
        a, b = high[h, :510], high[upper, :510]
        v = (a + (b - a) * f).astype(np.float32)
        picture[i, :510] = np.where(v >= 256, 255, np.trunc(v)).astype(np.uint8)
    return picture


def grey(levels):
    return [(d, d, d) for d in levels]


def false_colours(levels):
    out = []
    for d in levels:
        if d >= 241:
            out.append((d, d, d))
        else:
            rest = 255 - d
            out.append((d, d * d // 256, rest - rest * rest // 256))
    return out


def contrast_levels(g):
    return [0 if i <= g else min(255, int(round((i - g) ** 0.3 * 255 ** 0.7, 9))) for i in range(256)]


def check(path, expected_pixels, expected_palette, failures):
    before = len(failures)
    image = Image.open(path)
    # Pillow reports an 8-bit bitmap whose colour table is the grey ramp as a grey image.
    if image.mode not in ("P", "L") or image.format != "BMP":
        failures.append(f"{path.name}: mode {image.mode} format {image.format}")
        return
    pixels = np.array(image)
    if pixels.shape != expected_pixels.shape:
        failures.append(f"{path.name}: size {pixels.shape}, expected {expected_pixels.shape}")
        return
    wrong = np.argwhere(pixels != expected_pixels)
    if len(wrong):
        r, c = wrong[0]
        failures.append(f"{path.name}: {len(wrong)} pixels differ, first at row {r} column {c}: "
                        f"{pixels[r, c]} instead of {expected_pixels[r, c]}")
    if image.mode == "L":
        got = grey(range(256))
    else:
        palette = image.getpalette()[: 256 * 3]
        got = [tuple(palette[3 * k: 3 * k + 3]) for k in range(256)]
    for k, (have, want) in enumerate(zip(got, expected_palette)):
        if have != want:
            failures.append(f"{path.name}: colour {k} is {have}, expected {want}")
            break
    if len(failures) == before:
        print(f"ok   {path.name}: {pixels.shape[1]} x {pixels.shape[0]}")


def main():
    tool = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([tool, folder], check=True)
        out = Path(folder)
        frame = pattern()
        plain = plain_bytes(frame)
        failures = []
        identity = list(range(256))
        check(out / "plain.bmp", plain, grey(identity), failures)
        check(out / "zenka.bmp", zenka_bytes(frame), grey(identity), failures)
        small = (frame.reshape(-1)[:128 * 128] >> 8).astype(np.uint8).reshape(128, 128)
        check(out / "small.bmp", small, grey(identity), failures)
        check(out / "false.bmp", plain, false_colours(identity), failures)
        check(out / "auto.bmp", plain, grey(contrast_levels(10)), failures)
        check(out / "max14.bmp", plain, grey([min(255, i * 4) for i in range(256)]), failures)
        check(out / "false_auto.bmp", plain, false_colours(contrast_levels(10)), failures)
        for failure in failures:
            print("FAIL", failure)
        return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
