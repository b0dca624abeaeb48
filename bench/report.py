#!/usr/bin/env python3
"""Prints every benchmarked step beside the plain frame copy measured in the same run.

Usage: bench/report.py [--build DIR] [--repetitions N] [--min-time S] [--filter REGEX]
                       [--statistic median|min] [PROGRAM ...]

Runs each benchmark program (by default every *_bench in DIR/bin, DIR being build), N times
over (default 5), and for every benchmark prints the median (or the least) of the N processor
times and that time as a multiple of the same statistic of the program's own
BM_PlainFrameCopy. The programs share the machine with whatever else runs on it; the copy
measured beside each step, and the median or least of several runs, keep the ratios steadier
than single times (the least comes closest to a machine with nothing else to do).
"""

import argparse
import json
import os
import pathlib
import statistics
import subprocess
import sys

COPY = "BM_PlainFrameCopy"


def run(program, repetitions, min_time, pattern, statistic):
    command = [
        str(program),
        "--benchmark_format=json",
        f"--benchmark_repetitions={repetitions}",
        f"--benchmark_min_time={min_time}",
    ]
    if pattern:
        command.append(f"--benchmark_filter={COPY}|{pattern}")
    result = subprocess.run(command, check=True, capture_output=True, text=True)
    times = {}
    for entry in json.loads(result.stdout)["benchmarks"]:
        if entry.get("run_type") != "iteration":
            continue
        scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[entry["time_unit"]]
        times.setdefault(entry["run_name"], []).append(entry["cpu_time"] * scale)
    pick = min if statistic == "min" else statistics.median
    return {name: pick(values) for name, values in times.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("programs", nargs="*", type=pathlib.Path)
    parser.add_argument("--build", type=pathlib.Path, default=pathlib.Path("build"))
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--min-time", type=float, default=0.2)
    parser.add_argument("--filter", default="")
    parser.add_argument("--statistic", choices=["median", "min"], default="median")
    args = parser.parse_args()
    programs = args.programs or sorted((args.build / "bin").glob("*_bench"))
    if not programs:
        sys.exit(f"report: no benchmark programs in {args.build / 'bin'}")
    for program in programs:
        medians = run(program, args.repetitions, args.min_time, args.filter, args.statistic)
        copy = medians.get(COPY)
        print(f"== {program.name} ({args.statistic} of {args.repetitions} runs, load average "
              f"{os.getloadavg()[0]:.1f})")
        print(f"{'step':52s} {'us':>10s} {'x copy':>8s}")
        for name, micros in medians.items():
            ratio = f"{micros / copy:8.1f}" if copy else "       -"
            print(f"{name:52s} {micros:10.1f} {ratio}")
        print()


if __name__ == "__main__":
    main()
