#!/usr/bin/env python3
"""Times the median and kernel filters of other programs on the benchmark frame beside ours.

Usage: bench/peers.py [--build DIR] [--repeat N]

Writes the frame of the processing benchmarks (DIR/bin/processing_bench --write-sky-frame),
then measures on those very pixels, each where it is installed:
  - scipy.ndimage: median_filter of 3, 5 and 7 pixels, convolve with the six kernels, and a
    numpy copy of the frame as its own yardstick;
  - Siril (siril-cli): fmedian 3, 5 and 7 with one processor (setcpu 1), as the time Siril
    itself reports for the filter;
  - ours: the same filters from processing_bench, with the plain frame copy.
Times are the median of N runs (default 9), in microseconds. The peers compute a plain median
and plain convolutions over the whole frame, borders included; ours computes the program's
conditional median and kernel sums, borders left as they are.
"""

import argparse
import json
import pathlib
import re
import shutil
import statistics
import subprocess
import tempfile
import time

KERNELS = {
    "HighPassLowPower": [[0, -1, 0], [-1, 5, -1], [0, -1, 0]],
    "HighPassHighPower": [[-1] * 5, [-1] * 5, [-1, -1, 25, -1, -1], [-1] * 5, [-1] * 5],
    "SmootherSharper": [[0, -1, -1, -1, 0], [-1, 1, 1, 1, -1], [-1, 1, 5, 1, -1],
                        [-1, 1, 1, 1, -1], [0, -1, -1, -1, 0]],
    "Gaussian": [[0, 1, 2, 1, 0], [1, 4, 8, 4, 1], [2, 8, 16, 8, 2], [1, 4, 8, 4, 1],
                 [0, 1, 2, 1, 0]],
    "LowPassWeightedMean": [[1, 2, 1], [2, 4, 2], [1, 2, 1]],
    "BasRelief": [[0, 0, -1, 0, 0], [0, -1, -1, -1, 0], [-1, -1, 1, 1, 1], [0, 1, 1, 1, 0],
                  [0, 0, 1, 0, 0]],
}


def timed(function, repeat):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        function()
        times.append((time.perf_counter() - start) * 1e6)
    return statistics.median(times)


def ours(build, repeat):
    program = build / "bin" / "processing_bench"
    result = subprocess.run(
        [str(program), "--benchmark_format=json", f"--benchmark_repetitions={repeat}",
         "--benchmark_min_time=0.1",
         "--benchmark_filter=BM_PlainFrameCopy|BM_MedianFilter/radius:./tenths:6|BM_KernelFilter"],
        check=True, capture_output=True, text=True)
    runs = {}
    for entry in json.loads(result.stdout)["benchmarks"]:
        if entry.get("run_type") == "iteration":
            runs.setdefault(entry["run_name"], []).append(entry["cpu_time"] / 1000.0)
    medians = {name: statistics.median(values) for name, values in runs.items()}
    out = {"copy": medians["BM_PlainFrameCopy"]}
    for radius in (1, 2, 3):
        out[f"median {2 * radius + 1}x{2 * radius + 1}"] = medians[
            f"BM_MedianFilter/radius:{radius}/tenths:6"]
    for name in KERNELS:
        out[name] = medians[f"BM_KernelFilter/{name}"]
    return out


def scipy_times(frame, repeat):
    try:
        import numpy as np
        from scipy import ndimage
    except ImportError:
        return {}
    out = {}
    target = np.empty_like(frame)
    out["copy"] = timed(lambda: np.copyto(target, frame), repeat * 20)
    for size in (3, 5, 7):
        out[f"median {size}x{size}"] = timed(lambda: ndimage.median_filter(frame, size=size),
                                             repeat)
    wide = frame.astype(np.int32)
    for name, kernel in KERNELS.items():
        weights = np.array(kernel, dtype=np.int32)
        out[name] = timed(lambda: ndimage.convolve(wide, weights), repeat)
    return out


def siril_times(frame, repeat):
    siril = shutil.which("siril-cli")
    if siril is None:
        return {}
    try:
        from astropy.io import fits
    except ImportError:
        return {}
    out = {}
    with tempfile.TemporaryDirectory() as folder:
        fits.PrimaryHDU(frame).writeto(pathlib.Path(folder) / "sky.fit")
        for size in (3, 5, 7):
            script = pathlib.Path(folder) / "median.ssf"
            lines = ["requires 1.0.0", "setcpu 1", "load sky"]
            lines += [f"fmedian {size} 1", "load sky"] * repeat
            script.write_text("\n".join(lines) + "\n")
            result = subprocess.run([siril, "-d", folder, "-s", str(script)],
                                    capture_output=True, text=True)
            # Siril reports the time of each command; the filter's follows its progress line.
            times = []
            lines = result.stdout.splitlines()
            for index, line in enumerate(lines):
                if "Median Filter: processing" in line and line.startswith("log:"):
                    for later in lines[index + 1:index + 30]:
                        match = re.search(r"Execution time: ([0-9.]+) (ms|s)", later)
                        if match:
                            scale = 1000.0 if match.group(2) == "ms" else 1e6
                            times.append(float(match.group(1)) * scale)
                            break
            if times:
                out[f"median {size}x{size}"] = statistics.median(times)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", type=pathlib.Path, default=pathlib.Path("build"))
    parser.add_argument("--repeat", type=int, default=9)
    args = parser.parse_args()
    # The peers are handed the frame as a numpy array; without numpy only ours is timed.
    try:
        import numpy as np
    except ImportError:
        np = None
    frame = None
    if np is not None:
        with tempfile.TemporaryDirectory() as folder:
            raw = pathlib.Path(folder) / "sky.raw"
            subprocess.run([str(args.build / "bin" / "processing_bench"), "--write-sky-frame",
                            str(raw)], check=True)
            frame = np.fromfile(raw, dtype="<u2").reshape(290, 512)
    peers = frame is not None
    columns = [("ours", ours(args.build, args.repeat)),
               ("scipy.ndimage", scipy_times(frame, args.repeat) if peers else {}),
               ("Siril", siril_times(frame, args.repeat) if peers else {})]
    steps = ["copy"] + [f"median {s}x{s}" for s in (3, 5, 7)] + list(KERNELS)
    print(f"{'step (us, median of runs)':28s}" + "".join(f"{name:>16s}" for name, _ in columns))
    for step in steps:
        cells = []
        for _, times in columns:
            cells.append(f"{times[step]:16.1f}" if step in times else f"{'-':>16s}")
        print(f"{step:28s}" + "".join(cells))
    if not peers:
        print("numpy is not installed (Debian python3-numpy): the peers were not timed")
    elif not columns[1][1]:
        print("scipy.ndimage is not installed (Debian python3-scipy)")
    if peers and not columns[2][1]:
        print("Siril, or astropy to hand it the frame, is not installed "
              "(Debian siril, python3-astropy)")


if __name__ == "__main__":
    main()
