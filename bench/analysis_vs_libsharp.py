#!/usr/bin/python3
"""Analysis of every coefficient up to L, and the synthesis of them on the same grid, side by side
in one run, for L = 256, 1024 and 2048 on
one thread and on two: Lobara and libsharp's map2alm on the identical Clenshaw-Curtis grid and
values (L + 2 rows, the smallest Lobara analyses exactly, and 2L + 2 rows, the smallest where
libsharp's weights are exact; 2L + 2 values to a row), and healpy's map2alm (iter 0 and 3) on a
HEALPix map of about as many points as the smaller grid. Each figure is the best of five runs
(healpy's three), Lobara's and libsharp's taken in turn;
beside each analysis, the largest error of the coefficients found; beside the synthesis, the
largest difference of libsharp's values from Lobara's (of the largest value). Usage: analysis_vs_libsharp.py BUILD_DIR"""
import os
import subprocess
import sys

BENCH = os.path.join(sys.argv[1], "bench", "analysis_vs_libsharp")
HEALPY = """
import sys, time
import numpy as np, healpy as hp
lmax, nside, iters = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
rng = np.random.default_rng(1)
alm = rng.uniform(-1, 1, hp.Alm.getsize(lmax)) + 1j * rng.uniform(-1, 1, hp.Alm.getsize(lmax))
alm[:lmax + 1] = alm[:lmax + 1].real
values = hp.alm2map(alm, nside, lmax=lmax)
best = 1e300
for _ in range(3):
    t = time.perf_counter()
    found = hp.map2alm(values, lmax=lmax, iter=iters)
    best = min(best, time.perf_counter() - t)
print(best, np.max(np.abs(found - alm)))
"""


def run_bench(lmax, threads, rows):
    env = dict(os.environ, OMP_NUM_THREADS=str(threads))
    out = subprocess.run([BENCH, str(lmax), str(threads), str(rows)], env=env, capture_output=True, text=True,
                         check=True).stdout.split()
    return [float(out[k]) for k in (1, 2, 4, 5, 7, 8, 9)]


def healpy_run(lmax, nside, iters, threads):
    env = dict(os.environ, OMP_NUM_THREADS=str(threads))
    out = subprocess.run(["/usr/bin/python3", "-c", HEALPY, str(lmax), str(nside), str(iters)], env=env,
                         capture_output=True, text=True, check=True).stdout.split()
    return float(out[0]), float(out[1])


print(f"{'':15} {'analysis':-^51} {'synthesis':-^37}")
print(f"{'L':>5} {'thr':>3} {'rows':>5} {'Lobara s':>9} {'error':>8} {'libsharp s':>10} {'error':>8} "
      f"{'libsharp/Lobara':>15} {'Lobara s':>9} {'libsharp s':>10} {'diff':>8} {'lsh/Lob':>7}")
healpy_rows = []
for lmax in (256, 1024, 2048):
    for threads in (1, 2):
        for rows in (lmax + 2, 2 * lmax + 2):
            lob, lob_err, sharp, sharp_err, lob_syn, sharp_syn, diff = run_bench(lmax, threads, rows)
            print(f"{lmax:>5} {threads:>3} {rows:>5} {lob:>9.3f} {lob_err:>8.1e} {sharp:>10.3f} {sharp_err:>8.1e} "
                  f"{sharp / lob:>15.2f} {lob_syn:>9.3f} {sharp_syn:>10.3f} {diff:>8.1e} {sharp_syn / lob_syn:>7.2f}",
                  flush=True)
        nside = round(((lmax + 2) * (2 * lmax + 2) / 12) ** 0.5)
        h0 = healpy_run(lmax, nside, 0, threads)
        h3 = healpy_run(lmax, nside, 3, threads)
        healpy_rows.append((lmax, threads, nside, h0, h3))
print(f"\nhealpy map2alm on a HEALPix map of about the smaller grid's points:")
print(f"{'L':>5} {'thr':>3} {'Nside':>5} {'iter 0 s':>9} {'error':>8} {'iter 3 s':>9} {'error':>8}")
for lmax, threads, nside, h0, h3 in healpy_rows:
    print(f"{lmax:>5} {threads:>3} {nside:>5} {h0[0]:>9.3f} {h0[1]:>8.1e} {h3[0]:>9.3f} {h3[1]:>8.1e}")
