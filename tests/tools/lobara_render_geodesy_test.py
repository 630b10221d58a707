#!/usr/bin/python3
"""Gravity and magnetic models through lobara-render, against NumPy: geoid heights, gravity
disturbances and anomalies of a small model with GRS80's normal field removed, summed directly
from the formulas with SciPy's Legendre functions and the normal field from GRS80's defining
constants; an ICGEM 2.0 model at epochs against its sum written out by hand; a magnetic dipole's
Br and intensity against their closed forms; the refusals of bad
headers, epochs and heights, which write nothing."""
import json
import math
import os

import numpy as np
from scipy.special import lpmv

from render_run import WORK, check, finish, run

GM, R = 3.986004415e14, 6378136.3
N_THETA, N_PHI = 13, 24


def grs80_normal_coefficients(lmax):
    """GRS80's C(2n, 0), fully normalised, for a model of GM and R: e^2 from J2 by the fixed point
    of the level ellipsoid, J_2n by the closed formula."""
    a, gm, omega, j2 = 6378137.0, 3986005e8, 7292115e-11, 108263e-8
    e2 = 3 * j2
    for _ in range(50):
        ep = math.sqrt(e2 / (1 - e2))
        q0 = sum((-1) ** (n + 1) * 2 * n * ep ** (2 * n + 1) / ((2 * n + 1) * (2 * n + 3)) for n in range(1, 30))
        e2 = 3 * j2 + 4 / 15 * omega ** 2 * a ** 3 / gm * e2 ** 1.5 / (2 * q0)
    c = {0: gm / GM}
    for n in range(1, lmax // 2 + 1):
        j2n = (-1) ** (n + 1) * 3 * e2 ** n / ((2 * n + 1) * (2 * n + 3)) * (1 - n + 5 * n * j2 / e2)
        c[2 * n] = -j2n / math.sqrt(4 * n + 1) * gm / GM * (a / R) ** (2 * n)
    return c


def p_bar(l, m, x):
    """Fully normalised P(l, m) without the Condon-Shortley phase."""
    k = math.factorial(l - m) / math.factorial(l + m)
    return (-1) ** m * lpmv(m, l, x) * math.sqrt((2 - (m == 0)) * (2 * l + 1) * k)


def direct_sum(c, s, weight):
    theta = np.arange(N_THETA)[:, None] / (N_THETA - 1) * math.pi
    phi = np.arange(N_PHI)[None, :] / N_PHI * 2 * math.pi
    total = np.zeros((N_THETA, N_PHI))
    for (l, m), value in c.items():
        total += weight(l) * (value * np.cos(m * phi) + s.get((l, m), 0.0) * np.sin(m * phi)) * p_bar(l, m, np.cos(theta))
    return total


def write(name, text):
    path = os.path.join(WORK, name)
    with open(path, "w") as f:
        f.write(text)
    return path


def values(*args):
    path = os.path.join(WORK, "values.npy")
    result = run(*args, "--theta", N_THETA, "--phi", N_PHI, "--values", path, "--stats")
    check(result.returncode == 0, f"{args}: exit {result.returncode}: {result.stderr}")
    return np.load(path) if result.returncode == 0 else None, result


# A small static model, Kaula-like, C(0, 0) = 1 and a flattening of the Earth's size.
rng = np.random.default_rng(35)
C = {(l, m): 1e-5 / (l * l) * rng.uniform(-1, 1) for l in range(1, 7) for m in range(l + 1)}
S = {(l, m): 1e-5 / (l * l) * rng.uniform(-1, 1) for l in range(1, 7) for m in range(1, l + 1)}
C[(0, 0)], C[(2, 0)] = 1.0, -4.8416e-4
lines = [f"gfc {l} {m} {C[(l, m)]!r} {S.get((l, m), 0.0)!r}" for (l, m) in sorted(C)]
model = write("model.gfc", f"begin_of_head\nearth_gravity_constant {GM!r}\nradius {R!r}\nnorm fully_normalized\n"
              "end_of_head\n" + "\n".join(lines) + "\n")
T = dict(C)
# The normal field reaches degree 20 whatever the model's own degree.
for l, c in grs80_normal_coefficients(20).items():
    T[(l, 0)] = T.get((l, 0), 0.0) - c
gamma = 9.7976446561  # GRS80's mean normal gravity, published
for height in (0.0, 2000.0):
    r = R + height
    expected = {
        "geoid": direct_sum(T, S, lambda l: GM / (r * gamma) * (R / r) ** l),
        "gravity-disturbance": direct_sum(T, S, lambda l: 1e5 * GM / r ** 2 * (l + 1) * (R / r) ** l),
        "gravity-anomaly": direct_sum(T, S, lambda l: 1e5 * GM / r ** 2 * (l - 1) * (R / r) ** l),
    }
    for name, want in expected.items():
        got, result = values("--coeffs", model, "--remove-normal", "GRS80", "--quantity", name, "--height", height)
        if got is None:
            continue
        error = np.max(np.abs(got - want)) / np.max(np.abs(want))
        # The geoid's published gamma is rounded to 1e-10 of itself.
        check(error < (2e-10 if name == "geoid" else 1e-10), f"{name} at {height} m: relative error {error}")
        stats = json.loads(result.stdout)
        check(stats["quantity"] == name and stats["unit"] == ("m" if name == "geoid" else "mGal"), result.stdout)

# An ICGEM 2.0 model of two intervals at three epochs: C(0, 0) static, C(2, 0) and C(2, 1), S(2, 1)
# time-variable; the field is the plain sum of the coefficients in 4pi.
v2 = write("v2.gfc", "format icgem2.0\nend_of_head\n"
           "gfc  0 0 1.0 0.0\n"
           "gfct 2 0 1.0e-3 0.0 20100101.0000 20110101.0000\n"
           "trnd 2 0 1.0e-4 0.0 20100101.0000 20110101.0000\n"
           "gfct 2 0 2.0e-3 0.0 20110101.0000 20120101.0000\n"
           "asin 2 0 3.0e-4 0.0 20110101.0000 20120101.0000 0.5\n"
           "gfct 2 1 4.0e-3 5.0e-3 20100101.0000 20120101.0000\n"
           "acos 2 1 6.0e-4 7.0e-4 20100101.0000 20120101.0000 1.0\n")
# 2010-04-11 is 100 days into 2010; 2011.5 is 2011-07-02 12:00, 182.5 days into 2011 and 547.5 from
# 2010; 2011-12-31 is 364 days into 2011 and 729 from 2010.
for epoch, c20, c21, s21 in [
        ("2010-04-11", 1.0e-3 + 1.0e-4 * 100 / 365.25, 4.0e-3 + 6.0e-4 * math.cos(2 * math.pi * 100 / 365.25),
         5.0e-3 + 7.0e-4 * math.cos(2 * math.pi * 100 / 365.25)),
        ("2011.5", 2.0e-3 + 3.0e-4 * math.sin(2 * math.pi * 182.5 / 365.25 / 0.5),
         4.0e-3 + 6.0e-4 * math.cos(2 * math.pi * 547.5 / 365.25), 5.0e-3 + 7.0e-4 * math.cos(2 * math.pi * 547.5 / 365.25)),
        ("2011-12-31", 2.0e-3 + 3.0e-4 * math.sin(2 * math.pi * 364 / 365.25 / 0.5),
         4.0e-3 + 6.0e-4 * math.cos(2 * math.pi * 729 / 365.25), 5.0e-3 + 7.0e-4 * math.cos(2 * math.pi * 729 / 365.25))]:
    got, result = values("--coeffs", v2, "--epoch", epoch)
    want = direct_sum({(0, 0): 1.0, (2, 0): c20, (2, 1): c21}, {(2, 1): s21}, lambda l: 1.0)
    if got is not None:
        check(np.max(np.abs(got - want)) < 1e-14, f"ICGEM 2.0 at {epoch}: {np.max(np.abs(got - want))}")
        check(result.stderr == "", f"ICGEM 2.0 at {epoch} warns: {result.stderr}")

# A tilted magnetic dipole in pyshtools' layout (R, lmax): V = R q^2 (d . r) with
# d = (g11, h11, g10), so |B| = |d| q^3 sqrt(1 + 3 cos^2 psi), psi the angle from d; and Br.
g10, g11, h11 = -29404.8, -1450.9, 4652.5
dipole = write("dipole.sh", f"6.3712000000000000e+06, 1\n1, 0, {g10}, 0\n1, 1, {g11}, {h11}\n")
q = 6371200.0 / (6371200.0 + 400e3)
theta = np.arange(N_THETA)[:, None] / (N_THETA - 1) * math.pi
phi = np.arange(N_PHI)[None, :] / N_PHI * 2 * math.pi
d = np.array([g11, h11, g10])
along = (d[0] * np.sin(theta) * np.cos(phi) + d[1] * np.sin(theta) * np.sin(phi) + d[2] * np.cos(theta))
for name, want in (("intensity", np.linalg.norm(d) * q ** 3 * np.sqrt(1 + 3 * (along / np.linalg.norm(d)) ** 2)),
                   ("Br", 2 * q ** 3 * along)):
    path = os.path.join(WORK, "dipole.npy")
    result = run("--coeffs", dipole, "--quantity", name, "--height", 400e3, "--theta", N_THETA, "--phi", N_PHI,
                 "--values", path)
    check(result.returncode == 0, f"dipole {name}: exit {result.returncode}: {result.stderr}")
    if result.returncode == 0:
        error = np.max(np.abs(np.load(path) - want)) / np.max(np.abs(want))
        check(error < 1e-12, f"dipole {name}: relative error {error}")

# Refusals: one line, exit 1 or 2, nothing written.
bare = write("bare.sh", "0 0 1.0 0.0\n2 0 -4.8e-4 0.0\n")
semi = write("semi.gfc", "norm semi\nend_of_head\ngfc 0 0 1 0\n")
out = os.path.join(WORK, "refused.npy")
for args, code, words in [
        (("--coeffs", bare, "--quantity", "potential"), 1, "needs the model's reference radius"),
        (("--coeffs", model, "--quantity", "geoid"), 2, "is of the disturbing potential"),
        (("--coeffs", bare, "--remove-normal", "GRS80"), 1, "needs the model's GM and radius"),
        (("--coeffs", semi, "--quantity", "potential"), 1, "neither fully_normalized nor unnormalized"),
        (("--coeffs", v2, "--epoch", "2009-12-31"), 1, "outside every interval of C(2, 0)"),
        (("--coeffs", v2, "--epoch", "2011-02-30"), 2, "--epoch needs a date"),
        (("--coeffs", model, "--quantity", "geoid", "--remove-normal", "GRS80", "--height", -R - 1), 1,
         "at or below the centre"),
        (("--coeffs", model, "--quantity", "Br", "--remove-normal", "WGS84"), 2, "does not go with --quantity Br"),
        (("--coeffs", model, "--quantity", "Br"), 2, "contradicts"),
        (("-l", 2, "--quantity", "geoid"), 2, "reads the model of --coeffs"),
        (("--coeffs", model, "--height", 10), 2, "--height places --quantity"),
        (("--coeffs", dipole, "--quantity", "intensity", "--stats"), 2, "does not go with --stats"),
        (("--coeffs", model, "--quantity", "geoid", "--remove-normal", "GRS80", "--coeffs-out", out + ".gfc"), 2,
         "as a gravity model's")]:
    result = run(*args, "--values", out)
    check(result.returncode == code and result.stderr.count("\n") == 1 and words in result.stderr,
          f"{args}: exit {result.returncode}, {result.stderr!r}")
    check(not os.path.exists(out), f"{args} wrote {out}")

finish("lobara_render_geodesy")
