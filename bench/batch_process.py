#!/usr/bin/env python3
"""Times talvor-batch process over a night of frames, and checks that two builds agree.

Usage: bench/batch_process.py [--batch PATH] [--baseline PATH] [--frames N]
                              [--steps "median:2:7 log"] [--format fit]

Makes N frames (default 500) of a sloping, noisy sky with stars as native raw files, and a
dark frame, in a temporary folder. Then, frame by frame, runs

    talvor-batch --data-dir DATA process FRAME OUT dark:DARK STEPS...

with the build under test (--batch, default build/bin/talvor-batch) and, when given, with a
baseline build (--baseline, for example one built from the commit before a change), each
with its own empty data folder. The two runs of a frame follow each other, so both builds
meet the same load on the machine. Prints for each build the frames per second (wall time),
the processor time per frame of the process and the files it writes, and, with a baseline,
the ratio of the two and whether every output file is the same byte for byte.
"""

import argparse
import os
import pathlib
import resource
import subprocess
import sys
import tempfile
import time


def make_frames(folder, count):
    import numpy as np
    rng = np.random.default_rng(2024)
    y, x = np.mgrid[0:290, 0:510]
    slope = 3000 + 4 * x + 6 * y
    dark = np.clip(800 + rng.normal(0, 30, slope.shape), 0, 65535).astype("<u2")
    (folder / "dark").write_bytes(dark.tobytes())
    frames = []
    for n in range(count):
        sky = slope + 800 + rng.normal(0, 150, slope.shape)
        stars = rng.integers(0, sky.size, 1500)
        sky.flat[stars] = rng.integers(10000, 65536, stars.size)
        path = folder / f"frame{n:04d}"
        path.write_bytes(np.clip(sky, 0, 65535).astype("<u2").tobytes())
        frames.append(path)
    return folder / "dark", frames


def run(batch, data, frame, out, dark, steps):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    result = subprocess.run([str(batch), "--data-dir", str(data), "process", str(frame),
                             str(out), f"dark:{dark}", *steps], capture_output=True, text=True)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if result.returncode != 0:
        sys.exit(f"batch_process: {batch} failed on {frame}: {result.stderr.strip()}")
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--batch", type=pathlib.Path, default=pathlib.Path("build/bin/talvor-batch"))
    parser.add_argument("--baseline", type=pathlib.Path)
    parser.add_argument("--frames", type=int, default=500)
    parser.add_argument("--steps", default="median:2:7 log")
    parser.add_argument("--format", default="fit")
    args = parser.parse_args()
    builds = [("under test", args.batch.resolve())]
    if args.baseline:
        builds.append(("baseline", args.baseline.resolve()))
    steps = args.steps.split()
    with tempfile.TemporaryDirectory(prefix="talvor-batch-bench-") as folder:
        root = pathlib.Path(folder)
        dark, frames = make_frames(root, args.frames)
        totals = {name: [0.0, 0.0] for name, _ in builds}
        for name, _ in builds:
            (root / name / "data").mkdir(parents=True)
            (root / name / "out").mkdir()
        for frame in frames:
            for name, batch in builds:
                out = root / name / "out" / f"{frame.name}.{args.format}"
                wall, cpu = run(batch, root / name / "data", frame, out, dark, steps)
                totals[name][0] += wall
                totals[name][1] += cpu
        print(f"talvor-batch process FRAME OUT dark:DARK {' '.join(steps)}, "
              f"{len(frames)} frames, load average {os.getloadavg()[0]:.1f}")
        for name, batch in builds:
            wall, cpu = totals[name]
            leftovers = sorted(p.name for p in (root / name / "data").iterdir())
            print(f"{name:11s} {len(frames) / wall:7.1f} frames/s  {1000 * wall / len(frames):6.1f} ms "
                  f"wall  {1000 * cpu / len(frames):6.1f} ms processor per frame  "
                  f"data folder: {', '.join(leftovers) or 'empty'}  ({batch})")
        if args.baseline:
            (wall, cpu), (base_wall, base_cpu) = totals["under test"], totals["baseline"]
            print(f"speed-up    {base_wall / wall:7.2f}x frames per second, "
                  f"{base_cpu / cpu:.2f}x processor time")
            differing = [f.name for f in frames
                         if (root / "under test" / "out" / f"{f.name}.{args.format}").read_bytes()
                         != (root / "baseline" / "out" / f"{f.name}.{args.format}").read_bytes()]
            print(f"outputs     {len(frames) - len(differing)} of {len(frames)} identical"
                  + (f"; differing: {', '.join(differing[:10])}" if differing else ""))
            if differing:
                sys.exit(1)


if __name__ == "__main__":
    main()
