#!/usr/bin/python3
"""lobara-render's coefficients out, band limits and spectra, read back by readers it does not share
code with: the files parsed here line by line, the conventions' factors from SciPy's Legendre
functions and factorials, the ICGEM header by its keys, the spectrum's CSV by NumPy and its plot
by ImageMagick."""
import math
import os

import numpy as np
from scipy.special import factorial, lpmv

from render_run import WORK, check, finish, read_png, run


def path(name):
    return os.path.join(WORK, name)


def ok(*args):
    result = run(*args)
    check(result.returncode == 0, f"{args}: exit {result.returncode}: {result.stderr}")
    return result


def refused(word, *args, status=2, files=()):
    result = run(*args)
    check(result.returncode == status, f"{args}: exit {result.returncode}, want {status}")
    lines = result.stderr.strip().split("\n")
    check(len(lines) == 1 and word in lines[0], f"{args}: stderr {result.stderr!r} does not name {word}")
    for name in files:
        check(not os.path.exists(name), f"{args}: wrote {name}")


def shtools_rows(name, constants=None):
    """{(l, m): (C, S)} of a shtools file, its comment lines skipped and its line of constants
    (pyshtools' "R, GM, lmax") checked against the numbers given."""
    rows = {}
    with open(name) as f:
        for line in f:
            if line.startswith("#"):
                continue
            fields = line.split(",")
            if "e" in fields[0]:
                check(constants is not None and [float(x) for x in fields] == constants, f"{name}: {line!r}")
                constants = None
                continue
            l, m, c, s = fields
            rows[int(l), int(m)] = (float(c), float(s))
    check(constants is None, f"{name}: no line of the model's radius and GM")
    return rows


def icgem(name):
    """The header's keys and values, and the gfc rows as {(l, m): (C, S)}."""
    header, rows, in_head = {}, {}, True
    with open(name) as f:
        for line in f:
            words = line.split()
            if in_head:
                if words and words[0] == "end_of_head":
                    in_head = False
                elif len(words) == 2:
                    header[words[0]] = words[1]
            elif words:
                check(words[0] == "gfc" and len(words) == 5, f"{name}: row {line!r}")
                rows[int(words[1]), int(words[2])] = (float(words[3]), float(words[4]))
    return header, rows


# A 4pi model written by hand as ICGEM, converted to Schmidt: C' = C sqrt(2l + 1).
model = {(0, 0): (1.0, 0.0), (1, 1): (0.25, -0.5), (2, 0): (-4.8e-4, 0.0), (2, 2): (2.4e-6, -1.4e-6),
         (3, 1): (1e-7, 3e-7)}
with open(path("in.gfc"), "w") as f:
    f.write("begin_of_head\nmodelname TOY-1\nearth_gravity_constant 3.986004415E+14\nradius 6378136.3\n"
            "max_degree 3\nnorm fully_normalized\ntide_system tide_free\nend_of_head\n")
    for (l, m), (c, s) in model.items():
        f.write(f"gfc {l} {m} {c!r} {s!r}\n")
ok("--coeffs", path("in.gfc"), "--coeffs-out", path("out.txt"), "--out-norm", "schmidt")
rows = shtools_rows(path("out.txt"), [6378136.3, 3.986004415e14, 3])
check(sorted(rows) == [(l, m) for l in range(4) for m in range(l + 1)], f"shtools rows {sorted(rows)}")
for (l, m), (c, s) in rows.items():
    want_c, want_s = model.get((l, m), (0.0, 0.0))
    factor = math.sqrt(2 * l + 1)
    check(abs(c - want_c * factor) <= 4e-16 * abs(want_c * factor) and
          abs(s - want_s * factor) <= 4e-16 * abs(want_s * factor), f"schmidt ({l}, {m}): {c}, {s}")

# The same model to ICGEM again keeps its header and, in its own convention, every byte of every
# number; read back, it is the same field to the bit.
ok("--coeffs", path("in.gfc"), "--coeffs-out", path("again.gfc"))
header, again = icgem(path("again.gfc"))
for key, value in [("product_type", "gravity_field"), ("modelname", "TOY-1"), ("errors", "no"),
                   ("norm", "fully_normalized"), ("tide_system", "tide_free"), ("max_degree", "3")]:
    check(header.get(key) == value, f"ICGEM {key}: {header.get(key)}, want {value}")
check(float(header["earth_gravity_constant"]) == 3.986004415e14 and float(header["radius"]) == 6378136.3,
      f"ICGEM constants {header}")
check(all(again[k] == model.get(k, (0.0, 0.0)) for k in again) and len(again) == 10, f"ICGEM rows {again}")
ok("--coeffs", path("again.gfc"), "--coeffs-out", path("third.gfc"))
check(open(path("third.gfc")).read() == open(path("again.gfc")).read(), "ICGEM to ICGEM changed the file")

# Unnormalised, with the Condon-Shortley phase: the field at a point from the coefficients and
# SciPy's P_l^m (which carries (-1)^m itself) is the field lobara-render prints there.
terms = [(2, 1, 0.7), (3, -2, -0.3), (4, 3, 0.2), (1, 0, 0.5)]
term_args = [a for l, m, c in terms for a in ("--term", f"{l},{m},{c}")]
ok(*term_args, "--coeffs-out", path("unnorm.dov"), "--out-norm", "unnorm", "--out-cs")
coefficients = {}
with open(path("unnorm.dov")) as f:
    for line in f:
        if not line.startswith("#"):
            l, m, v = line.split(",")
            coefficients[int(l), int(m)] = float(v)
check(len(coefficients) == 25, f"dov rows {len(coefficients)}")
theta, phi = 1.1, 0.7
value = sum(v * lpmv(abs(m), l, math.cos(theta)) * (math.cos(m * phi) if m >= 0 else math.sin(-m * phi))
            for (l, m), v in coefficients.items())
printed = float(ok(*term_args, "--at", f"{theta},{phi}").stdout.decode().split()[-1])
check(abs(value - printed) <= 1e-14, f"unnormalised field {value}, printed {printed}")
# One factor by hand: C(4, 3) = 0.2 N(4, 3) sqrt(2) (-1)^3 with the ortho N of the input.
n43 = math.sqrt(9 / (4 * math.pi) * factorial(1) / factorial(7))
check(abs(coefficients[4, 3] - 0.2 * n43 * math.sqrt(2) * -1) <= 1e-15, f"C(4, 3) {coefficients[4, 3]}")

# ACN channels in AmbiX (SN3D) from the program's own ortho harmonics, one a line: the SN3D
# harmonic is sqrt(4 pi / (2l + 1)) times the ortho one, so its coefficient is that much smaller.
ok("--term", "1,1,1", "--term", "0,0,2", "--coeffs-out", path("x.acn.txt"))
channels = [float(line) for line in open(path("x.acn.txt"))]
want = [2 / math.sqrt(4 * math.pi), 0, 0, math.sqrt(3 / (4 * math.pi))]
check(len(channels) == 4 and all(abs(a - b) <= 1e-15 * abs(b) for a, b in zip(channels, want)),
      f"ACN channels {channels}, want {want}")

# --lmin keeps the degrees from L up: the band of degrees 1 to 2.
ok("--coeffs", path("in.gfc"), "--lmin", "1", "--lmax", "2", "--coeffs-out", path("band.txt"))
band = shtools_rows(path("band.txt"), [6378136.3, 3.986004415e14, 2])
check(max(l for l, m in band) == 2 and band[0, 0] == (0.0, 0.0) and band[1, 1] == (0.25, -0.5) and
      band[2, 2] == model[2, 2], f"band {band}")

# The spectrum: one row per degree, in 4pi the sum of C^2 + S^2, per coefficient and cumulative.
ok("--coeffs", path("in.gfc"), "--spectrum", path("s.csv"))
spectrum = np.genfromtxt(path("s.csv"), delimiter=",", names=True)
check(spectrum.dtype.names == ("l", "power", "power_per_coefficient", "cumulative_power"), f"{spectrum.dtype}")
power = np.zeros(4)
for (l, m), (c, s) in model.items():
    power[l] += c * c + s * s
check(np.array_equal(spectrum["l"], np.arange(4)), f"degrees {spectrum['l']}")
check(np.allclose(spectrum["power"], power, rtol=1e-15, atol=0), f"power {spectrum['power']}, want {power}")
check(np.allclose(spectrum["power_per_coefficient"], power / (2 * np.arange(4) + 1), rtol=1e-15, atol=0),
      "power per coefficient")
check(np.allclose(spectrum["cumulative_power"], np.cumsum(power), rtol=1e-15, atol=0), "cumulative power")
ok("--coeffs", path("in.gfc"), "--spectrum", path("s.png"), "--title", "Toy model", "--size", "640x480")
pixels = read_png(path("s.png"))
check(pixels.shape == (480, 640, 4), f"plot size {pixels.shape}")
dark = (pixels[:, :, :3] < 100).all(axis=2)
check(dark[:, :80].any() and dark[430:, :].any() and dark[:40, :].any(), "plot without numbers or title")

# Refusals: one line, nothing written, the other outputs neither.
refused("--out-norm", *term_args, "--coeffs-out", path("r.gfc"), "--out-norm", "schmidt", files=[path("r.gfc")])
refused("--out-sine", *term_args, "--coeffs-out", path("r.txt"), "--out-sine", "lobara", files=[path("r.txt")])
refused("--lmin", *term_args, "--lmin", "-1", "--coeffs-out", path("r.txt"), files=[path("r.txt")])
refused("--lmin", *term_args, "--lmin", "3", "--lmax", "2", "--coeffs-out", path("r.txt"), files=[path("r.txt")])
refused("--out-norm", *term_args, "--out-norm", "4pi", "--stats")
refused("0 everywhere", "--term", "1,0,0", "--spectrum", path("r.png"), "--coeffs-out", path("r.txt"), status=1,
        files=[path("r.png"), path("r.txt")])

finish("lobara_render_coefficients")
