#!/usr/bin/python3
"""Checks with Pillow that a display bitmap shows the start-up grey ramp (row y = 225 y) in the
standard 290-row or the Zenka 373-row geometry. Usage: check_ramp_bitmap.py FILE ROWS"""

import sys

import numpy as np
from PIL import Image


def expected(rows):
    high = ((np.arange(290) * 225) >> 8).astype(np.float32)
    if rows == 290:
        column = high.astype(np.uint8)
    else:
        column = np.zeros(373, dtype=np.uint8)
        for i in range(373):
            s = np.float32(i / 1.2862068)
            h = int(s)
            f = np.float32(s - np.float32(h))
            upper = h if i == 372 else h + 1
            v = np.float32(high[h] + (high[upper] - high[h]) * f)
            column[i] = 255 if v >= 256 else int(v)
    picture = np.repeat(column[:, None], 512, axis=1)
    picture[:, 510:] = 0
    return picture


def main():
    path, rows = sys.argv[1], int(sys.argv[2])
    image = Image.open(path)
    pixels = np.array(image.convert("L"))
    if pixels.shape != (rows, 512):
        print(f"{path}: {pixels.shape[1]} x {pixels.shape[0]}, expected 512 x {rows}")
        return 1
    differ = int(np.count_nonzero(pixels != expected(rows)))
    if differ:
        print(f"{path}: {differ} pixels differ from the ramp")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
