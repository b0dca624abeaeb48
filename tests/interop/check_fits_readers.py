#!/usr/bin/python3
"""FITS both ways, checked with programs that are not ours. Files Talvor writes (signed,
unsigned, 8-bit; texts with a quote and an accented letter; a capture's date) are read by astropy,
CFITSIO, fitsverify, Gnuastro's aststatistics and, when it is installed, siril-cli; files that
astropy writes (every BITPIX, BZERO 32768, an extension, padding, other sizes) are opened by
Talvor. Usage: check_fits_readers.py TALVOR-BATCH READ-WITH-CFITSIO"""

import re
import shutil
import subprocess
import sys
import tempfile
import warnings
from pathlib import Path

import numpy as np
from astropy.io import fits

sys.path.insert(0, str(Path(__file__).resolve().parent))
from check_image_files import our_layout_fits, pattern  # noqa: E402

failures = []


def check(what, condition, detail=""):
    print(("ok   " if condition else "FAIL ") + what + ("" if condition else f": {detail}"))
    if not condition:
        failures.append(what)


def run(*arguments, timeout=120):
    return subprocess.run([str(a) for a in arguments], capture_output=True, text=True,
                          timeout=timeout)


def astropy_read(path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        with fits.open(path) as hdus:
            return hdus[0].data.astype(np.int64), hdus[0].header.copy()


def fitsverify_errors(path):
    report = run("fitsverify", path)
    text = report.stdout + report.stderr
    return [line for line in text.splitlines() if line.startswith("*** Error")], text


def cfitsio_read(reader, path, dump):
    result = run(reader, path, dump)
    raw = Path(dump).read_bytes() if Path(dump).exists() else b""
    if result.returncode != 0 or len(raw) < 16:
        return None
    width, height = np.frombuffer(raw[:16], dtype="<i8")
    return np.frombuffer(raw[16:], dtype="<i4").reshape(height, width).astype(np.int64)


def gnuastro_stats(path):
    result = run("aststatistics", path, "-h0", "--minimum", "--maximum", "--mean")
    try:
        return [float(v) for v in result.stdout.split()]
    except ValueError:
        return None


def siril_stats(folder, path):
    """Siril's minimum, maximum and mean of the image, or None when Siril is not installed."""
    if shutil.which("siril-cli") is None:
        return None
    script = Path(folder) / "stat.ssf"
    script.write_text(f"requires 1.0.0\nload {path}\nstat\n")
    result = run("siril-cli", "-d", folder, "-s", script, timeout=300)
    found = re.search(r"Mean: ([\d.]+).*Min: ([\d.]+), Max: ([\d.]+)", result.stdout)
    return None if found is None else [float(found.group(i)) for i in (2, 3, 1)]


def check_written_files(batch, reader, out):
    data = ["--data-dir", str(out / "data")]
    frame = pattern()
    source = out / "source.fit"
    source.write_bytes(our_layout_fits(frame, "2026-12-07", "21:30:00", ["Log Stretch"]))
    cases = (("signed.fit", [], frame, 32768), ("unsigned.fit", ["--unsigned"], frame, 65535),
             ("eight.fit", ["--8bit"], frame >> 8, 255))
    for name, options, expected, saturate in cases:
        path = out / name
        result = run(batch, *data, "convert", source, path, *options)
        check(f"convert writes {name}", result.returncode == 0, result.stderr)
        pixels, header = astropy_read(path)
        check(f"astropy reads the pixels of {name} as 0..{expected.max()}",
              np.array_equal(pixels, expected), (pixels.min(), pixels.max()))
        check(f"{name} says its saturation {saturate} and its row order",
              header["SATURATE"] == saturate and header["ROWORDER"] == "TOP-DOWN", repr(header))
        again = cfitsio_read(reader, path, out / (name + ".bin"))
        check(f"CFITSIO reads the pixels of {name}",
              again is not None and np.array_equal(again, expected))
        errors, report = fitsverify_errors(path)
        # The layout leaves the data without whole 2880-byte records: only that is reported.
        check(f"fitsverify finds nothing in {name} but the data fill the layout leaves",
              errors and all("data fill" in e or "extra byte" in e for e in errors)
              and (len(errors) == 1 or name == "eight.fit"), report[-800:])
        # Gnuastro takes the largest value of an unsigned 16-bit type for a blank pixel.
        counted = expected[expected != 65535] if expected.max() > 255 else expected
        numbers = [counted.min(), counted.max(), counted.mean()]
        stats = gnuastro_stats(path)
        check(f"Gnuastro's aststatistics agrees on minimum, maximum and mean of {name}",
              stats is not None and np.allclose(stats, numbers, rtol=1e-6), (stats, numbers))
        siril = siril_stats(out, path)
        if siril is None:
            print(f"skip siril-cli on {name}: not installed")
        else:
            # Siril leaves out pixels at 0 from its mean.
            nonzero = [expected.min(), expected.max(), expected[expected > 0].mean()]
            check(f"Siril agrees on minimum, maximum and mean of {name}",
                  np.allclose(siril, nonzero, rtol=2e-3), (siril, nonzero))


def check_texts_and_dates(batch, out):
    folder = out / "night"
    data = ["--data-dir", str(folder)]
    first = run(batch, "--simulate", *data, "capture", "--exposure", "1", "s", "-o",
                out / "first.fit")
    check("a simulated capture writes a FITS file", first.returncode == 0, first.stderr)
    settings = folder / "autosave" / "talvor.ini"
    raw = bytearray(settings.read_bytes()) if settings.exists() else bytearray()
    if len(raw) != 1259:
        check("the capture leaves a settings file", False, len(raw))
        return
    # Texts as an older version stored them: the quote undoubled, the accent as UTF-8 bytes.
    raw[36:116] = "OBJECT  = 'Kemble's Cascade'".ljust(80).encode()
    raw[276:356] = "OBSERVER= 'Renée Ørsted'".encode().ljust(80)
    settings.write_bytes(bytes(raw))
    path = out / "capture.fit"
    second = run(batch, "--simulate", *data, "capture", "--exposure", "1", "s", "-o", path)
    check("a capture with those texts is written", second.returncode == 0, second.stderr)
    pixels, header = astropy_read(path)
    check("astropy reads the quote and the accented letter spelled in ASCII",
          header["OBJECT"] == "Kemble's Cascade" and header["OBSERVER"] == "Renee Orsted",
          (header.get("OBJECT"), header.get("OBSERVER")))
    check("a capture's DATE-OBS and TIME-OBS are filled",
          re.fullmatch(r"\d{4}-\d\d-\d\d", str(header.get("DATE-OBS", "")))
          and re.fullmatch(r"\d\d:\d\d:\d\d", str(header.get("TIME-OBS", ""))), repr(header))
    errors, report = fitsverify_errors(path)
    check("fitsverify finds no error in the texts or the date of a capture",
          len(errors) == 1 and "data fill" in errors[0], report[-800:])

    native = out / "~native"
    native.write_bytes(np.zeros((290, 510), dtype="<u2").tobytes())
    converted = out / "native.fit"
    result = run(batch, *data, "convert", native, converted)
    _, header = astropy_read(converted)
    errors, report = fitsverify_errors(converted)
    check("a native file converted to FITS is dated by its file and passes fitsverify",
          result.returncode == 0 and re.fullmatch(r"\d{4}-\d\d-\d\d", header.get("DATE-OBS", ""))
          and len(errors) == 1 and "data fill" in errors[0], report[-800:])


def check_files_of_astropy(batch, out):
    data = ["--data-dir", str(out / "data")]
    y, x = np.mgrid[0:290, 0:512]
    ramp = ((x * 131 + y * 977) % 65536).astype(np.int64)

    def opened(path, *expect_in_stderr):
        """Talvor's frame after opening the file, from the native raw it converts it to."""
        native = out / ("~" + path.stem)
        result = run(batch, *data, "convert", path, native)
        if result.returncode != 0 or not all(t in result.stderr for t in expect_in_stderr):
            print(result.stderr)
            return None
        return np.frombuffer(native.read_bytes(), dtype="<u2").reshape(290, 510).astype(np.int64)

    cases = (
        ("uint16 with BZERO 32768", ramp.astype(np.uint16), ramp),
        ("BITPIX 8", (ramp % 256).astype(np.uint8), ramp % 256),
        ("BITPIX 32", ramp.astype(np.int32), ramp),
        ("BITPIX -32", ramp.astype(np.float32), ramp),
    )
    for what, array, expected in cases:
        path = out / ("astropy-" + what.split()[-1] + ".fits")
        fits.PrimaryHDU(array).writeto(path, overwrite=True)
        frame = opened(path)
        check(f"Talvor opens a file of astropy: {what}",
              frame is not None and np.array_equal(frame, expected[:, :510]))

    path = out / "extension.fits"
    fits.HDUList([fits.PrimaryHDU(), fits.ImageHDU(ramp.astype(np.uint16))]).writeto(path)
    frame = opened(path)
    check("Talvor opens the first image extension",
          frame is not None and np.array_equal(frame, ramp[:, :510]))

    ours = out / "ours.fit"
    ours.write_bytes(our_layout_fits(ramp.astype(np.uint16), "2026-12-07", "21:30:00",
                                     ["Log Stretch"]))
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        with fits.open(ours) as hdus:
            hdus.writeto(out / "resaved.fit", output_verify="silentfix")
    frame = opened(out / "resaved.fit")
    info = run(batch, *data, "info", out / "resaved.fit")
    check("our file saved again by astropy (padded) opens with its pixels and texts",
          frame is not None and np.array_equal(frame, ramp[:, :510])
          and "FITS image 512 x 290\nOBJECT: M42\n" in info.stdout
          and "HISTORY: Log Stretch\n" in info.stdout, info.stdout + info.stderr)

    wide = (np.arange(480)[:, None] * 100 + np.arange(640)[None, :]).astype(np.uint16)
    path = out / "wide.fits"
    fits.PrimaryHDU(wide).writeto(path)
    frame = opened(path, "640 x 480", "columns 513 to 640", "rows 291 to 480")
    check("a 640 x 480 image is cut to its top-left 512 x 290 with a message",
          frame is not None and np.array_equal(frame, wide[:290, :510].astype(np.int64)))

    small = np.full((100, 100), 1234, dtype=np.uint16)
    path = out / "small.fits"
    fits.PrimaryHDU(small).writeto(path)
    frame = opened(path, "100 x 100")
    expected = np.zeros((290, 510), dtype=np.int64)
    expected[:100, :100] = 1234
    check("a 100 x 100 image stands at the top-left, the rest black, with a message",
          frame is not None and np.array_equal(frame, expected))

    floats = ramp.astype(np.float32) * 2 - 1000
    path = out / "floats.fits"
    fits.PrimaryHDU(floats).writeto(path)
    frame = opened(path, "scaled linearly")
    check("float values outside 0..65535 are scaled into it with a message",
          frame is not None and frame.min() == 0 and frame.max() <= 65535
          and np.corrcoef(frame.ravel(), floats[:, :510].ravel())[0, 1] > 0.9999)


def main():
    batch, reader = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        out = Path(folder)
        check_written_files(batch, reader, out)
        check_texts_and_dates(batch, out)
        check_files_of_astropy(batch, out)
    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
