#!/usr/bin/python3
"""The analysis and the synthesis of every coefficient up to L on each grid of analysis, at its
smallest size for L and at twice it (2L + 2 values to a row, dh twice its rows), on one thread and
on two: CPU time and wall time, each the best of five runs, and the largest error of the
analysis's coefficients against those the values were synthesised from, with the machine's load
before and after.
Usage: grid_transforms.py BUILD_DIR"""
import os
import subprocess
import sys

BENCH = os.path.join(sys.argv[1], "bench", "grid_transform_bench")


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


print(f"load average before: {load()}")
print(f"{'grid':>6} {'L':>5} {'rows':>5} {'thr':>3} {'analysis CPU s':>14} {'wall s':>7} {'error':>8} "
      f"{'synthesis CPU s':>15} {'wall s':>7}")
for lmax in (1024, 2048):
    for grid in ("lobara", "cells", "dh", "gl"):
        smallest = lmax + 2 if grid == "lobara" else lmax + 1
        for rows in (smallest, 2 * smallest):
            for threads in (1, 2):
                out = subprocess.run([BENCH, str(lmax), str(threads), str(rows), grid], capture_output=True,
                                     text=True, check=True).stdout.split()
                a_cpu, a_wall, a_err, s_cpu, s_wall = (float(out[k]) for k in (1, 2, 3, 5, 6))
                print(f"{grid:>6} {lmax:>5} {rows:>5} {threads:>3} {a_cpu:>14.3f} {a_wall:>7.3f} {a_err:>8.1e} "
                      f"{s_cpu:>15.3f} {s_wall:>7.3f}", flush=True)
print(f"load average after: {load()}")
