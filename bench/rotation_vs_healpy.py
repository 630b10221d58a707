#!/usr/bin/python3
"""Rotation of every coefficient up to L by Euler angles, side by side with healpy's rotate_alm in
one run: for L = 256, 1024 and 2048, on one thread and on two. Both turn the same number of
coefficients: Lobara's (L + 1)^2 real ones, healpy's (L + 1)(L + 2) / 2 complex ones for m >= 0.
Each figure is the best of a few runs (one at L = 2048); each side's peak memory is that of its
own process, the coefficients and the program included. Usage: rotation_vs_healpy.py BUILD_DIR"""
import json
import os
import subprocess
import sys
import tempfile

BENCH = os.path.join(sys.argv[1], "bench", "field_rotation_bench")
HEALPY = """
import sys, time
import numpy as np, healpy as hp
lmax, runs = int(sys.argv[1]), int(sys.argv[2])
rng = np.random.default_rng(1)
alm = rng.uniform(-1, 1, hp.Alm.getsize(lmax)) + 1j * rng.uniform(-1, 1, hp.Alm.getsize(lmax))
best = float("inf")
for _ in range(runs):
    t = time.perf_counter()
    hp.rotate_alm(alm, np.radians(20), np.radians(30), np.radians(40), lmax=lmax)
    best = min(best, time.perf_counter() - t)
print(best)
"""


def run(command, env=None):
    """The command's standard output and its peak resident memory in MB."""
    with tempfile.TemporaryFile() as out:
        process = subprocess.Popen(command, stdout=out, env=env)
        _, status, usage = os.wait4(process.pid, 0)
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{command[0]} failed")
        out.seek(0)
        return out.read().decode(), usage.ru_maxrss / 1024


def healpy_run(lmax, threads, runs):
    env = dict(os.environ, OMP_NUM_THREADS=str(threads))
    out, peak = run([sys.executable, "-c", HEALPY, str(lmax), str(runs)], env)
    return float(out), peak


def lobara_run(lmax, threads, runs):
    out, peak = run([BENCH, f"--benchmark_filter=Rotate/L:{lmax}/threads:{threads}/", "--benchmark_format=json",
                     f"--benchmark_repetitions={runs}", "--benchmark_min_time=0"])
    times = [r["real_time"] for r in json.loads(out)["benchmarks"] if r.get("run_type") == "iteration"]
    return min(times) / 1000, peak


print(f"{'L':>5} {'threads':>7} {'healpy s':>9} {'Lobara s':>9} {'healpy/Lobara':>13} {'healpy MB':>9} {'Lobara MB':>9}")
for lmax, runs in ((256, 3), (1024, 2), (2048, 1)):
    for threads in (1, 2):
        h, h_peak = healpy_run(lmax, threads, runs)
        lob, lob_peak = lobara_run(lmax, threads, runs)
        print(f"{lmax:>5} {threads:>7} {h:>9.3f} {lob:>9.3f} {h / lob:>13.1f} {h_peak:>9.0f} {lob_peak:>9.0f}", flush=True)
