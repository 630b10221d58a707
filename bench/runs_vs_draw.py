#!/usr/bin/env python3
"""Whole runs of lobara-render against the drawing alone of what they draw.

Usage: runs_vs_draw.py BUILD. Times whole runs of BUILD/lobara-render, start to exit (surface
builds, drawing, readback, filtering, PNG encoding and writing), of a turntable of the default
surface and of a table, and BUILD/bench/run_draw_bench's paint and glFinish of the same frames
and cells at the same sizes. Rounds alternate the two, each timing one run and one pass of the
drawing, which take about as long; other load on the machine only slows a round down, so the
fastest round of each is printed, per second, with their ratio. The target is a ratio of at
least 0.8.
"""
import json
import os
import subprocess
import sys
import tempfile
import time

ROUNDS = 7
SIZE = "640x480"
FRAMES = 36
TABLE_MAX = 5  # 36 cells, as many pictures as the turntable's, so start-up weighs the same
CELLS = (TABLE_MAX + 1) ** 2


def draw_rates(build):
    result = subprocess.run([os.path.join(build, "bench", "run_draw_bench"), "--benchmark_format=json",
                             "--benchmark_min_time=0.1", f"--turntable={FRAMES}", f"--table={TABLE_MAX}",
                             f"--size={SIZE}"], check=True, capture_output=True, text=True)
    runs = {run["name"].split("/")[0]: run for run in json.loads(result.stdout)["benchmarks"]}
    return runs["turntable"]["frames/s"], runs["table"]["cells/s"]


def run_seconds(build, *args):
    start = time.perf_counter()
    subprocess.run([os.path.join(build, "lobara-render"), "--size", SIZE, *args], check=True)
    return time.perf_counter() - start


def main():
    build = sys.argv[1]
    rates = {name: [] for name in ("draw frames", "run frames", "draw cells", "run cells")}
    start_up = []
    with tempfile.TemporaryDirectory() as work:
        for _ in range(ROUNDS):
            frames, cells = draw_rates(build)
            rates["draw frames"].append(frames)
            rates["draw cells"].append(cells)
            rates["run frames"].append(
                FRAMES / run_seconds(build, "--turntable", str(FRAMES), "--out", os.path.join(work, "f%02d.png")))
            rates["run cells"].append(
                CELLS / run_seconds(build, "--table", str(TABLE_MAX), "--out", os.path.join(work, "table.png")))
            start_up.append(run_seconds(build, "--theta", "3", "--phi", "4", "--out", os.path.join(work, "tiny.png")))
    best = {name: max(values) for name, values in rates.items()}
    print("load average (1, 5, 15 min): %s; the fastest of %d rounds" % (
        " ".join("%.2f" % x for x in os.getloadavg()), ROUNDS))
    print("%-34s %10s %10s %6s" % ("", "drawing/s", "run/s", "ratio"))
    for label, unit in ((f"--turntable {FRAMES} --size {SIZE}", "frames"),
                        (f"--table {TABLE_MAX} --size {SIZE}", "cells")):
        draw, run = best[f"draw {unit}"], best[f"run {unit}"]
        print("%-34s %10.2f %10.2f %6.2f   (%s)" % (label, draw, run, run / draw, unit))
    print("every run includes its start-up and exit, alone %.0f ms (a picture of 12 samples at that size)" % (min(start_up) * 1000))


if __name__ == "__main__":
    main()
