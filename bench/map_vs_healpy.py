#!/usr/bin/python3
"""An 800-pixel-wide Mollweide PNG of one field with its colour bar, side by side in one run:
a whole lobara-render --map run against healpy's alm2map, mollview and savefig in a Python that
has already imported healpy and matplotlib. The field holds every coefficient up to L, random,
as an shtools text file for lobara-render and as the same field's complex alm for healpy
(Nside = L / 2). Each figure is the best of a few runs. Usage: map_vs_healpy.py BUILD_DIR"""
import math
import os
import subprocess
import sys
import tempfile
import time

import numpy as np

RENDER = os.path.join(sys.argv[1], "lobara-render")
HEALPY = """
import sys, time
import numpy as np, healpy as hp, matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
alm = np.load(sys.argv[1])
lmax, out = int(sys.argv[2]), sys.argv[3]
def once():
    t = time.perf_counter()
    m = hp.alm2map(alm, lmax // 2, lmax=lmax)
    hp.mollview(m, xsize=800)
    plt.savefig(out)
    plt.close("all")
    return time.perf_counter() - t
print(min(once() for _ in range(3)))
"""


def field_files(lmax, folder):
    """The shtools text file (ortho, +sin) and healpy's alm of one random field."""
    rng = np.random.default_rng(1)
    coefficients = os.path.join(folder, f"field{lmax}.txt")
    alm = np.zeros(lmax * (lmax + 1) // 2 + lmax + 1, complex)
    with open(coefficients, "w") as f:
        for m in range(lmax + 1):
            for l in range(m, lmax + 1):
                c, s = rng.uniform(-1, 1), (rng.uniform(-1, 1) if m else 0.0)
                f.write(f"{l} {m} {c!r} {s!r}\n")
                # Real ortho harmonics sqrt(2) N P cos, sin against healpy's with (-1)^m.
                index = m * (2 * lmax + 1 - m) // 2 + l
                alm[index] = c if m == 0 else (-1) ** m * (c - 1j * s) / math.sqrt(2)
    np.save(os.path.join(folder, f"alm{lmax}.npy"), alm)
    return coefficients, os.path.join(folder, f"alm{lmax}.npy")


def lobara_seconds(coefficients, out):
    best = math.inf
    for _ in range(3):
        start = time.perf_counter()
        subprocess.run([RENDER, "--coeffs", coefficients, "--norm", "ortho", "--map", "mollweide", "--out", out],
                       check=True, stderr=subprocess.DEVNULL)
        best = min(best, time.perf_counter() - start)
    return best


folder = tempfile.mkdtemp()
print(f"{'L':>5} {'healpy s':>9} {'Lobara s':>9} {'healpy/Lobara':>13}")
for lmax in (128, 512):
    coefficients, alm = field_files(lmax, folder)
    out = subprocess.run([sys.executable, "-c", HEALPY, alm, str(lmax), os.path.join(folder, "healpy.png")],
                         capture_output=True, text=True, check=True)
    h = float(out.stdout)
    lob = lobara_seconds(coefficients, os.path.join(folder, "lobara.png"))
    print(f"{lmax:>5} {h:>9.3f} {lob:>9.3f} {h / lob:>13.2f}", flush=True)
