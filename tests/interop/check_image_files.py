#!/usr/bin/python3
"""Checks the files Talvor writes with readers that are not ours: astropy, CFITSIO, fitsverify,
libtiff's tiffinfo and Pillow. The frames and the expected pixels are made here, independently
of the program's code. Usage: check_image_files.py TALVOR-BATCH READ-WITH-CFITSIO"""

import subprocess
import sys
import tempfile
import warnings
from pathlib import Path

import numpy as np
from astropy.io import fits
from PIL import Image

failures = []


def check(what, condition, detail=""):
    print(("ok   " if condition else "FAIL ") + what + ("" if condition else f": {detail}"))
    if not condition:
        failures.append(what)


def card(text):
    return text.ljust(80)[:80].encode("ascii")


def pattern():
    y, x = np.mgrid[0:290, 0:512]
    return ((x * 131 + y * 977) % 65536).astype(np.uint16)


def our_layout_fits(frame, date, time, history):
    """A FITS file in the program's fixed 72-card layout, built from the layout description."""
    cards = [
        "SIMPLE  =                    T /", "BITPIX  =                   16 /",
        "NAXIS   =                    2 /", "NAXIS1  =                  512 /",
        "NAXIS2  =                  290 /", "OBJECT  = 'M42'", "TELESCOP= 'Refractor'",
        "INSTRUME= 'Veltrane CCD'", "OBSERVER= 'Ann'", "ORIGIN  = 'Hill'",
        f"DATE-OBS= '{date}'", f"TIME-OBS= '{time}'",
    ]
    cards += [f"HISTORY = '{line}'" for line in history + [""] * (15 - len(history))]
    cards += ["HISTORY = '" + " " * 68 + "'"] * 4 + ["COMMENT = '" + " " * 68 + "'"] * 4
    cards += [
        "BZERO   =   +3.2768000000E+04", "BSCALE  =   +1.0000000000E+00",
        "PIXWIDTH=    9.8000000000E-03", "PIXHEIGH=    1.2600000000E-02",
        "SATURATE=                32768", "EXPTIME =    3.0000000000E+01",
        "FOCALLEN=    4.7000000000E+01", "APERTURE=    5.0000000000E+01", "FILTER  = 'Red'", "END",
    ]
    cards += [""] * (72 - len(cards))
    header = b"".join(card(c) for c in cards)
    data = (frame.astype(np.int32) - 32768).astype(">i2").tobytes()
    return header + data + b" " * 320


def tiff_rows(frame):
    high = (frame >> 8).astype(np.float32)
    out = np.zeros((372, 510), dtype=np.uint8)
    for i in range(372):
        s = np.float32(i / 1.2827586)
        h = int(s)
        f = np.float32(s - np.float32(h))
        upper = h if i == 371 else h + 1
        v = (high[h, :510] + (high[upper, :510] - high[h, :510]) * f).astype(np.float32)
        out[i] = np.where(v >= 256, 255, np.trunc(v)).astype(np.uint8)
    return out


def run(batch, *arguments):
    return subprocess.run([batch, *arguments], capture_output=True, text=True)


def main():
    batch, cfitsio_reader = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        out = Path(folder)
        data = ["--data-dir", str(out / "data")]
        frame = pattern()
        source = out / "source.fit"
        source.write_bytes(our_layout_fits(frame, "2026-12-07", "21:30:00", ["Log Stretch"]))

        info = run(batch, *data, "info", str(source))
        check("info reads a FITS file built from the layout", info.returncode == 0, info.stderr)
        check("info lists the header", "FITS layout 3\nOBJECT: M42\n" in info.stdout
              and "EXPTIME: 30\n" in info.stdout and "HISTORY: Log Stretch\n" in info.stdout,
              info.stdout)

        # Both 16-bit formats hold 0..65535 the standard way, with BZERO 32768.
        for name, options, bzero in (("signed.fit", [], 32768), ("unsigned.fit", ["--unsigned"],
                                                                  32768)):
            result = run(batch, *data, "convert", str(source), str(out / name), *options)
            check(f"convert writes {name}", result.returncode == 0, result.stderr)
            with warnings.catch_warnings(record=True) as caught:
                warnings.simplefilter("always")
                with fits.open(out / name) as hdus:
                    pixels = hdus[0].data.astype(np.int64)
                    header = hdus[0].header
            check(f"astropy reads every pixel of {name}",
                  pixels.shape == (290, 512) and np.array_equal(pixels, frame))
            check(f"astropy reads the texts of {name}",
                  header["OBJECT"] == "M42" and header["DATE-OBS"] == "2026-12-07"
                  and header["FILTER"] == "Red" and header["BZERO"] == bzero
                  and header["EXPTIME"] == 30.0, repr(header))
            check(f"astropy warns only of the short last record of {name}",
                  all("truncated" in str(w.message).lower() or "size" in str(w.message).lower()
                      for w in caught), [str(w.message) for w in caught])
            full = subprocess.run(["fitsverify", str(out / name)], capture_output=True, text=True)
            report = full.stdout + full.stderr
            errors = [line for line in report.splitlines() if line.startswith("*** Error")]
            check(f"fitsverify finds only the data fill of {name}",
                  len(errors) == 1 and "checking data fill" in errors[0]
                  and "0 warning(s) and 1 error(s)" in report, report[-800:])
            dump = out / ("cfitsio-" + name + ".bin")
            read = subprocess.run([cfitsio_reader, str(out / name), str(dump)],
                                  capture_output=True, text=True)
            raw = dump.read_bytes() if dump.exists() else b""
            shape = tuple(np.frombuffer(raw[:16], dtype="<i8")) if len(raw) >= 16 else ()
            again = np.frombuffer(raw[16:], dtype="<i4")
            check(f"CFITSIO reads every pixel of {name}",
                  read.returncode == 0 and shape == (512, 290)
                  and np.array_equal(again.reshape(290, 512), frame),
                  read.stderr)

        result = run(batch, *data, "convert", str(source), str(out / "eight.fit"), "--8bit")
        with fits.open(out / "eight.fit") as hdus:
            eight = hdus[0].data.astype(np.int64)
        check("8-bit FITS reads as the upper bytes 0..255",
              result.returncode == 0 and (out / "eight.fit").stat().st_size == 155840
              and np.array_equal(eight, (frame >> 8).astype(np.int64)))

        result = run(batch, *data, "convert", str(source), str(out / "export.TIF"))
        check("convert writes a TIFF file", result.returncode == 0, result.stderr)
        tiffinfo = subprocess.run(["tiffinfo", str(out / "export.TIF")], capture_output=True,
                                  text=True)
        check("tiffinfo reads the TIFF layout",
              "Image Width: 510 Image Length: 372" in tiffinfo.stdout
              and "Bits/Sample: 8" in tiffinfo.stdout and "Rows/Strip: 31" in tiffinfo.stdout,
              tiffinfo.stdout + tiffinfo.stderr)
        with Image.open(out / "export.TIF") as image:
            tiff = np.array(image)
        check("Pillow reads the TIFF pixels", np.array_equal(tiff, tiff_rows(frame)))

        native = out / "~native"
        result = run(batch, *data, "convert", str(source), str(native))
        raw = np.frombuffer(native.read_bytes(), dtype="<u2").reshape(290, 510)
        check("native raw output holds columns 0..509",
              result.returncode == 0 and np.array_equal(raw, frame[:, :510]))

        result = run(batch, *data, "convert", str(source), str(out / "picture.bmp"))
        with Image.open(out / "picture.bmp") as image:
            picture = np.array(image.convert("L"))
        expected = (frame >> 8).astype(np.uint8)
        expected[:, 510:] = 0
        check("the display bitmap output reads with Pillow", np.array_equal(picture, expected[::1]))

        bad = out / "short.fit"
        bad.write_bytes(our_layout_fits(frame, "2026-12-07", "21:30:00", [])[:-1000])
        result = run(batch, *data, "convert", str(bad), str(out / "never.fit"))
        check("a FITS file whose data end early is refused and nothing is written",
              result.returncode == 1 and not (out / "never.fit").exists()
              and "Unable to load FITS file" in result.stderr)
        odd = out / "odd.fit"
        odd.write_bytes(b"not an image" * 100)
        result = run(batch, *data, "convert", str(odd), str(out / "never.fit"))
        check("a file of no accepted size that is no FITS is refused",
              result.returncode == 1 and not (out / "never.fit").exists()
              and "You didn't choose an Zenka or a suitable FITS File" in result.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
