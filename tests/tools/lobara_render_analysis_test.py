#!/usr/bin/python3
"""lobara-render --analyze: values summed by SciPy's sph_harm on each grid and at scattered
points give back a field with SciPy's values, --values of the program's own grid give back its
field, and each bad input is refused with one line, exit 1 or 2 and nothing written."""
import os

import numpy as np
from scipy.special import sph_harm

from render_run import WORK, check, finish, run

rng = np.random.default_rng(30)


def random_field(lmax):
    return {(l, m): rng.uniform(-1, 1) for l in range(lmax + 1) for m in range(-l, l + 1)}


def scipy_sum(field, theta, phi):
    """The field in the program's own real harmonics (ortho, no Condon-Shortley phase,
    Y(l, -m) = -sqrt(2) Pbar sin(m phi)) from SciPy's complex ones, which carry the phase."""
    total = np.zeros(np.broadcast(theta, phi).shape)
    for (l, m), c in field.items():
        y = sph_harm(abs(m), l, phi, theta)
        sign = (-1.0) ** abs(m)
        total += c * (y.real if m == 0 else np.sqrt(2) * sign * (y.real if m > 0 else -y.imag))
    return total


def at_values(result):
    return np.array([float(line) for line in result.stdout.decode().split()[-3:]])


POINTS = [(0.3, 1.0), (1.9, 4.0), (3.0, 0.5)]
AT = [arg for t, p in POINTS for arg in ("--at", f"{t},{p}")]
EXPECTED_AT = lambda field: np.array([scipy_sum(field, t, p) for t, p in POINTS])


def path(name):
    return os.path.join(WORK, name)


# Each grid at a small size, as .npy, its degree the grid's limit (the default).
field = random_field(8)
for grid, nt, npp in (("lobara", 12, 20), ("cells", 10, 19), ("dh", 10, 20), ("gl", 9, 17)):
    if grid == "gl":
        theta = np.arccos(np.polynomial.legendre.leggauss(nt)[0])[::-1]  # from the north pole
    elif grid == "lobara":
        theta = np.arange(nt) * np.pi / (nt - 1)
    elif grid == "cells":
        theta = (np.arange(nt) + 0.5) * np.pi / nt
    else:
        theta = np.arange(nt) * np.pi / nt
    phi = np.arange(npp) * 2 * np.pi / npp
    values = scipy_sum(field, theta[:, None], phi[None, :])
    np.save(path(f"{grid}.npy"), values)
    result = run("--analyze", f"{grid}.npy", "--grid", grid, *AT)
    check(result.returncode == 0, f"{grid}: {result.stderr}")
    if result.returncode == 0:
        error = np.max(np.abs(at_values(result) - EXPECTED_AT(field)))
        check(error < 1e-12, f"{grid}: the analysed field is off SciPy's by {error}")

# A 1-degree cells grid as headerless doubles, its shape from --theta and --phi.
theta = (np.arange(180) + 0.5) * np.pi / 180
phi = np.arange(360) * 2 * np.pi / 360
scipy_sum(field, theta[:, None], phi[None, :]).astype("<f8").tofile(path("cells.bin"))
result = run("--analyze", "cells.bin", "--grid", "cells", "--theta", 180, "--phi", 360, "--lmax", 20, *AT)
check(result.returncode == 0 and np.max(np.abs(at_values(result) - EXPECTED_AT(field))) < 1e-12,
      f"1-degree cells grid: {result.stderr}")
mollweide = run("--analyze", "cells.bin", "--grid", "cells", "--theta", 180, "--phi", 360, "--lmax", 20, "--map",
                "mollweide", "--size", "200x120", "--out", "map.png")
check(mollweide.returncode == 0 and os.path.getsize(path("map.png")) > 0, f"a map of the cells grid: {mollweide.stderr}")

# The program's own --values as CSV come back as its field, in another convention.
result = run("--term", "3,-2,0.5", "--term", "5,4,-1", "--theta", 13, "--phi", 24, "--values", "own.csv")
check(result.returncode == 0, f"own values: {result.stderr}")
again = run("--analyze", "own.csv", "--norm", "4pi", "--sine", "standard", *AT)
first = run("--term", "3,-2,0.5", "--term", "5,4,-1", *AT)
check(again.returncode == 0 and np.max(np.abs(at_values(again) - at_values(first))) < 1e-13,
      f"--values back through --analyze: {again.stderr}")

# Scattered points with weights: the residual line, then the field.
field = random_field(6)
n = 800
theta = np.arccos(rng.uniform(-1, 1, n))
phi = rng.uniform(0, 2 * np.pi, n)
values = scipy_sum(field, theta, phi)
with open(path("points.csv"), "w") as f:
    f.write("theta,phi,value,weight\n")
    for t, p, v in zip(theta, phi, values):
        f.write(f"{t!r},{p!r},{v!r},{rng.uniform(0.5, 2)!r}\n")
result = run("--analyze", "points.csv", "--grid", "points", "--lmax", 6, *AT)
lines = result.stdout.decode().splitlines()
check(result.returncode == 0 and lines and "relative residual" in lines[0] and "iterations" in lines[0],
      f"points: {result.stderr} {lines[:1]}")
if result.returncode == 0:
    error = np.max(np.abs(at_values(result) - EXPECTED_AT(field)))
    check(error < 1e-10, f"points: the fitted field is off SciPy's by {error}")
few = run("--analyze", "points.csv", "--grid", "points", "--lmax", 40, "--at", "1,1")
check(few.returncode == 0 and "cannot determine degree 40" in few.stderr, f"too few points: {few.stderr}")

# The default degree for 400 random points of a field of degree 10: one the points determine
# (no warning), at which the field comes back as NumPy's least squares give it.
field = random_field(10)
theta = np.arccos(rng.uniform(-1, 1, 400))
phi = rng.uniform(0, 2 * np.pi, 400)
with open(path("random.csv"), "w") as f:
    for t, p, v in zip(theta, phi, scipy_sum(field, theta, phi)):
        f.write(f"{t!r},{p!r},{v!r}\n")
result = run("--analyze", "random.csv", "--grid", "points", *AT)
check(result.returncode == 0 and "warning" not in result.stderr,
      f"default degree for 400 points: {result.stderr}")
if result.returncode == 0:
    error = np.max(np.abs(at_values(result) - EXPECTED_AT(field)))
    check(error < 1e-9, f"default degree for 400 points: off SciPy's by {error}")

# Bad inputs: one line, exit 1 or 2, no --values file.
np.save(path("f32.npy"), np.zeros((4, 8), np.float32))
np.save(path("cube.npy"), np.zeros((2, 4, 8)))
nan = np.zeros((6, 12))
nan[2, 3] = np.nan
np.save(path("nan.npy"), nan)
np.zeros(10).tofile(path("short.bin"))
with open(path("outside.csv"), "w") as f:
    f.write("theta,phi,value\n4,0,1\n")
cases = [
    (("--analyze", "f32.npy"), 1, "float64"),
    (("--analyze", "cube.npy"), 1, "shape"),
    (("--analyze", "nan.npy"), 1, "not finite"),
    (("--analyze", "short.bin"), 2, "--theta and --phi"),
    (("--analyze", "short.bin", "--theta", 4, "--phi", 8), 1, "bytes"),
    (("--analyze", "own.csv", "--grid", "cells"), 1, "not a cells grid"),
    (("--analyze", "lobara.npy", "--lmax", 11), 2, "limit is 9"),
    (("--analyze", "lobara.npy", "--grid", "dh"), 2, "Driscoll-Healy"),
    (("--analyze", "lobara.npy", "--grid", "points"), 2, ".csv"),
    (("--analyze", "lobara.npy", "--grid", "hexagons"), 2, "--grid needs"),
    (("--grid", "cells", "-l", 2, "--stats"), 2, "--grid"),
    (("--grid", "points", "-l", 2), 2, "--grid points"),
    (("--grid", "dh", "-l", 2, "--theta", 5, "--phi", 9), 2, "Driscoll-Healy"),
    (("--analyze", "outside.csv", "--grid", "points"), 1, "theta"),
    (("--analyze", "missing.npy"), 1, "missing.npy"),
]
for args, status, words in cases:
    result = run(*args, "--values", "out.npy")
    lines = result.stderr.strip().splitlines()
    check(result.returncode == status and len(lines) == 1 and words in lines[0],
          f"{args}: exit {result.returncode}, {result.stderr!r}")
    check(not os.path.exists(path("out.npy")), f"{args}: wrote --values")

finish("lobara_render_analysis")
