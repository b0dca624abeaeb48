#!/usr/bin/python3
"""Finds where the display bitmap stands on a screenshot and the brightest stars in it, for the
end-to-end run to click on. Usage: locate_picture.py SCREENSHOT BITMAP COUNT
Prints 'OFFSET_X OFFSET_Y' and then 'X Y' (frame coordinates) for each of COUNT stars."""

import sys

import numpy as np
from PIL import Image


def main():
    screen = np.array(Image.open(sys.argv[1]).convert("RGB")).astype(int)
    bitmap = Image.open(sys.argv[2]).convert("RGB")
    picture = np.array(bitmap).astype(int)
    count = int(sys.argv[3])
    # The picture is drawn 1:1 at the left edge of the window, below the menu and tool bar.
    patch = picture[:40, :200]
    best = None
    for y in range(0, 200):
        for x in range(0, 20):
            region = screen[y:y + 40, x:x + 200]
            if region.shape != patch.shape:
                continue
            difference = np.abs(region - patch).sum()
            if best is None or difference < best[0]:
                best = (difference, x, y)
    print(best[1], best[2])
    grey = np.array(bitmap.convert("L")).astype(int)
    grey[:, 505:] = 0
    # Stars spread over several pixels, hot pixels stand alone: rank by the sum of 3 x 3 patches.
    padded = np.pad(grey, 1)
    grey = sum(padded[1 + dy:1 + dy + grey.shape[0], 1 + dx:1 + dx + grey.shape[1]]
               for dy in (-1, 0, 1) for dx in (-1, 0, 1))
    taken = []
    order = np.argsort(grey, axis=None)[::-1]
    for index in order:
        y, x = divmod(int(index), grey.shape[1])
        if not (20 <= x <= 490 and 20 <= y <= 270):
            continue
        if all((x - a) ** 2 + (y - b) ** 2 > 30 ** 2 for a, b in taken):
            taken.append((x, y))
            print(x, y)
            if len(taken) == count:
                break


if __name__ == "__main__":
    main()
