#!/usr/bin/python3
"""Synthesis of every coefficient up to L, side by side with healpy's alm2map in one run: for
L = 256, 1024 and 2048, on one thread and on two. Lobara samples L + 1 rows of 2L columns (the
grid of its surfaces), healpy 12 Nside^2 points with Nside = L / 2 (half again as many).
Each figure is the best of a few runs. Usage: synthesis_vs_healpy.py BUILD_DIR"""
import json
import os
import subprocess
import sys

BENCH = os.path.join(sys.argv[1], "bench", "field_synthesis_bench")
HEALPY = """
import sys, time
import numpy as np, healpy as hp
lmax = int(sys.argv[1])
rng = np.random.default_rng(1)
alm = (rng.uniform(-1, 1, hp.Alm.getsize(lmax)) + 1j * rng.uniform(-1, 1, hp.Alm.getsize(lmax)))
best = min(_time(lambda: hp.alm2map(alm, lmax // 2, lmax=lmax)) for _ in range(3))
print(best)
"""
TIMER = "def _time(f):\n    import time\n    t = time.perf_counter(); f(); return time.perf_counter() - t\n"


def healpy_seconds(lmax, threads):
    env = dict(os.environ, OMP_NUM_THREADS=str(threads))
    out = subprocess.run([sys.executable, "-c", TIMER + HEALPY, str(lmax)], env=env, capture_output=True, text=True,
                         check=True)
    return float(out.stdout)


def lobara_seconds(lmax, threads):
    out = subprocess.run([BENCH, f"--benchmark_filter=Synthesize/L:{lmax}/threads:{threads}/",
                          "--benchmark_format=json", "--benchmark_repetitions=3",
                          "--benchmark_report_aggregates_only=true"], capture_output=True, text=True, check=True)
    runs = json.loads(out.stdout)["benchmarks"]
    return min(r["real_time"] for r in runs if r.get("aggregate_name") in ("mean", "median", "min")) / 1000


print(f"{'L':>5} {'threads':>7} {'healpy s':>9} {'Lobara s':>9} {'healpy/Lobara':>13}")
for lmax in (256, 1024, 2048):
    for threads in (1, 2):
        h = healpy_seconds(lmax, threads)
        lob = lobara_seconds(lmax, threads)
        print(f"{lmax:>5} {threads:>7} {h:>9.3f} {lob:>9.3f} {h / lob:>13.2f}", flush=True)
