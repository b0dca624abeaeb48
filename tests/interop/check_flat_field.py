#!/usr/bin/python3
"""Checks Apply Flat Field, as talvor-batch runs it, against the same arithmetic done by numpy:
v = i / f x N in IEEE double precision, one rounding per operation, truncated, 65535 from 65535
up; a zero flat pixel keeps a non-zero image pixel and turns a zero one into N; N is 0.0002 times
the sum of the flat over rows 9..19 and columns 9..499. Rows 1..289 and columns 5..509 change.
Usage: check_flat_field.py TALVOR-BATCH"""

import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np

failures = []


def check(what, condition, detail=""):
    print(("ok   " if condition else "FAIL ") + what + ("" if condition else f": {detail}"))
    if not condition:
        failures.append(what)


def write_native(path, frame):
    """A native raw file: 290 rows of columns 0..509, little-endian words, no header."""
    path.write_bytes(frame[:, :510].astype("<u2").tobytes())


def expected(image, flat):
    normaliser = np.float64(0.0002) * np.float64(int(flat[9:20, 9:500].astype(np.int64).sum()))
    i = image.astype(np.float64)
    f = flat.astype(np.float64)
    with np.errstate(divide="ignore", invalid="ignore"):
        v = i / f * normaliser
    v = np.where(f != 0, v, np.where(i != 0, i, normaliser))
    words = np.where(v >= 65535, 65535, np.trunc(np.minimum(v, 65535))).astype(np.uint16)
    out = image.copy()
    out[1:, 5:510] = words[1:, 5:510]
    return out


def frames(seed, level):
    """An image and a flat of that level: vignetted sky with stars and saturated pixels, zeros in
    both, nearly dead flat pixels under bright ones, and whole quotients (the image a multiple of
    the flat), where truncation needs every bit. A bright flat makes N so large that the products
    over nearly dead pixels pass 2^31."""
    random = np.random.default_rng(seed)
    y, x = np.mgrid[0:290, 0:512]
    vignette = 1.0 - 0.35 * (((x - 256) / 256.0) ** 2 + ((y - 145) / 145.0) ** 2)
    flat = np.clip(random.normal(level * vignette, 300), 0, 65535).astype(np.uint16)
    image = np.clip(random.normal(2000 * vignette, 60), 0, 65535).astype(np.uint16)
    image[random.random((290, 512)) < 0.01] = 65535
    image[random.random((290, 512)) < 0.02] = 0
    flat[random.random((290, 512)) < 0.02] = 0
    whole = random.random((290, 512)) < 0.1
    small = random.integers(1, 4000, (290, 512)).astype(np.uint16)
    multiple = random.integers(1, 16, (290, 512)).astype(np.uint16)
    flat[whole] = small[whole]
    image[whole] = np.minimum(small[whole].astype(np.int64) * multiple[whole], 65535)
    dead = random.random((290, 512)) < 0.005  # nearly dead flat pixels under bright ones
    flat[dead] = random.integers(1, 4, (290, 512))[dead]
    image[dead] = random.integers(30000, 65536, (290, 512))[dead]
    image[0, 4] = image[0, 5] = 0  # no label band
    return image, flat


def main():
    batch = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        out = Path(folder)
        data = ["--data-dir", str(out / "data")]
        for seed, level in ((1, 30000), (2, 60000)):
            image, flat = frames(seed, level)
            image[:, 510:] = 0
            flat[:, 510:] = 0
            write_native(out / "image", image)
            write_native(out / "flat", flat)
            result = subprocess.run(
                [batch, *data, "process", str(out / "image"), str(out / "result"),
                 f"flat:{out / 'flat'}"], capture_output=True, text=True)
            check(f"talvor-batch applies the flat field (frames {seed})", result.returncode == 0,
                  result.stderr)
            if result.returncode != 0:
                continue
            got = np.frombuffer((out / "result").read_bytes(), dtype="<u2").reshape(290, 510)
            want = expected(image, flat)[:, :510]
            differ = np.argwhere(got != want)
            check(f"every pixel as numpy divides it (frames {seed})", differ.size == 0,
                  f"{len(differ)} pixels differ, first at row, column {differ[:1].tolist()}")
    if failures:
        sys.exit(f"{len(failures)} checks failed")


if __name__ == "__main__":
    main()
