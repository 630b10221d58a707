#!/usr/bin/python3
"""The boundary surface of --enclose 0.9 of a few orbitals, side by side in one run on 2 threads,
all at one level c (Lobara's at 90 % on 128 x 256 x 512 samples), with the area and enclosed volume
of each against a reference that no mesh gives: a quadrature along rays from the nucleus (SciPy's
Laguerre and Legendre functions, Newton on R(r) = c / |Y|, converged to about 1e-6).
VTK: flying edges (vtkFlyingEdges3D) on a side^3 Cartesian sampling of the same psi over the box that
just holds the surface, a cell of margin each side; its time is the flying edges' alone, and beside
it, the time with NumPy and SciPy's sampling of psi on its grid added (best of up to three), the work
Lobara's time includes.
Lobara: its build from the orbital to the closed mesh on theta rows x phi columns (the radii chosen
from the orbital, about as far apart as the rows), all of it.
Each time is the best of three runs or of as many as take 0.2 s (up to 100). First the two on as many
samples (128 x 256 x 512 against 256^3), then, for each tolerance, the fastest grid of each side's
ladder whose area and volume are both within it: the two at equal accuracy.
Usage: hydrogen_vs_vtk.py BUILD_DIR"""
import json
import math
import os
import subprocess
import sys
import time

import numpy as np
import vtk
from scipy import optimize, special
from vtk.util import numpy_support

BENCH = os.path.join(sys.argv[1], "bench", "hydrogen_build_bench")
ORBITALS = ((3, 2, 0), (4, 3, 1), (5, 1, 0), (2, 1, 0), (4, 3, 3), (6, 0, 0))
# The ladders: Lobara's theta rows (phi columns twice the rows), VTK's sides.
LADDER = (8, 12, 16, 24, 32, 48, 64, 96, 128, 192, 256)
SIDES = (24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256)
TOLERANCES = (1e-2, 1e-3, 3e-4)


def lobara(n, l, m, rows, columns, level=None):
    extra = [repr(level)] if level is not None else []
    out = subprocess.run([BENCH, str(n), str(l), str(m), str(rows), str(columns), "2", *extra],
                         capture_output=True, text=True, check=True)
    return json.loads(out.stdout)


def psi(n, l, m, x, y, z):
    """The real orbital, Z = 1: R from SciPy's Laguerre polynomial, Y from SciPy's complex harmonic
    without its Condon-Shortley phase, sqrt2 Re for m > 0 and -sqrt2 Im for m < 0 (this program's sine)."""
    r = np.sqrt(x * x + y * y + z * z)
    rho = 2 * r / n
    norm = math.sqrt((2 / n) ** 3 * math.factorial(n - l - 1) / (2 * n * math.factorial(n + l)))
    radial = norm * rho ** l * np.exp(-rho / 2) * special.eval_genlaguerre(n - l - 1, 2 * l + 1, rho)
    theta = np.arccos(np.clip(np.divide(z, r, out=np.ones_like(z), where=r > 0), -1, 1))
    phi = np.arctan2(y, x)
    y_lm = special.sph_harm(abs(m), l, phi, theta) * (-1) ** abs(m)
    angular = y_lm.real if m == 0 else math.sqrt(2) * (y_lm.real if m > 0 else -y_lm.imag)
    return radial * angular


def radial_parts(n, l):
    """R(n, l) of Z = 1 and its derivative, from SciPy's Laguerre polynomials
    (d/drho L_k^a = -L_(k-1)^(a+1))."""
    norm = math.sqrt((2 / n) ** 3 * math.factorial(n - l - 1) / (2 * n * math.factorial(n + l)))
    k = n - l - 1
    def value(r):
        rho = 2 * r / n
        return norm * rho ** l * np.exp(-rho / 2) * special.eval_genlaguerre(k, 2 * l + 1, rho)

    def slope(r):
        rho = 2 * r / n
        lag = special.eval_genlaguerre(k, 2 * l + 1, rho)
        dlag = -special.eval_genlaguerre(k - 1, 2 * l + 2, rho) if k > 0 else 0.0
        low = l * rho ** (l - 1) * lag if l > 0 else 0.0
        return (2 / n) * norm * np.exp(-rho / 2) * (low - 0.5 * rho ** l * lag + rho ** l * dlag)
    return value, slope


def cosine_rule(a, b, count):
    """Gauss-Legendre nodes on [a, b] through x = a + (b - a)(1 - cos pi u) / 2, which smooths the
    inverse square roots at both ends."""
    u, w = np.polynomial.legendre.leggauss(count)
    u, w = 0.5 * (u + 1), 0.5 * w
    return a + (b - a) * 0.5 * (1 - np.cos(np.pi * u)), w * (b - a) * 0.5 * np.pi * np.sin(np.pi * u)


def reference(n, l, m, c, count=32):
    """Area and volume of |psi| = c, Z = 1, by rays from the nucleus, independent of any mesh: along
    each direction the radii where |R| = c / |Y| (each monotone piece of |R| inverted on a fine table,
    then Newton's steps), the volume from the radii cubed (+ where |R| falls through c / |Y|, - where it
    rises) and the area from rho^2 sqrt(1 + (R / (rho R'))^2 |grad Y|^2 / Y^2). The directions: cos
    theta, then phi over a quarter of a period of cos(m phi), cut where a radial lobe's rim appears
    (|Y| = c / its peak), each piece by cosine_rule. Converged to about 1e-6."""
    value, slope = radial_parts(n, l)
    r = np.linspace(0.0, 10.0 * n * n + 40.0, 200001)
    table = np.abs(value(r))
    d = np.sign(np.diff(table))
    turns = np.where(d[1:] != d[:-1])[0] + 1
    bounds = np.concatenate(([0], turns, [len(r) - 1]))
    pieces = []
    for a, b in zip(bounds[:-1], bounds[1:]):
        seg_r, seg_v = r[a:b + 1], table[a:b + 1]
        order = np.argsort(seg_v)
        pieces.append((seg_v[-1] > seg_v[0], seg_v.min(), seg_v.max(), seg_v[order], seg_r[order]))
    peaks = [table[t] for t in turns if table[t] > table[t - 1]]
    am = abs(m)
    scale = math.sqrt((2 * l + 1) / (4 * math.pi) * math.factorial(l - am) / math.factorial(l + am))
    fac = scale * (1 if m == 0 else math.sqrt(2))

    def legendre(x):
        p = special.lpmv(am, l, x)
        p_low = special.lpmv(am, l - 1, x) if l - 1 >= am else np.zeros_like(x)
        dp = (l * x * p - (l + am) * p_low) / (x * x - 1)
        return p, (dp / p) ** 2 * (1 - x * x)

    def sums(y, grad, weight):
        s = c / np.maximum(y, 1e-300)
        area = volume = 0.0
        for rising, lo, hi, values, radii in pieces:
            hit = (s > lo) & (s < hi)
            if not hit.any():
                continue
            target = s[hit]
            rho = np.interp(target, values, radii)
            for _ in range(6):
                R, dR = value(rho), slope(rho)
                rho = rho - (np.abs(R) - target) / (np.sign(R) * dR)
            R, dR = value(rho), slope(rho)
            w = weight[hit]
            volume += np.sum(w * rho ** 3 / 3) * (-1 if rising else 1)
            area += np.sum(w * rho ** 2 * np.sqrt(1 + (R / (rho * dR)) ** 2 * grad[hit]))
        return area, volume

    # The cos theta where fac |P| passes a rim level c / peak.
    xs = np.linspace(-1, 1, 200001)
    fp = fac * np.abs(special.lpmv(am, l, xs))
    breaks = [-1.0, 1.0]
    for peak in peaks:
        g = fp - c / peak
        for k in np.where(np.sign(g[1:]) != np.sign(g[:-1]))[0]:
            breaks.append(optimize.brentq(lambda t, peak=peak: fac * abs(special.lpmv(am, l, t)) - c / peak,
                                          xs[k], xs[k + 1], xtol=1e-15))
    breaks = np.unique(breaks)
    area = volume = 0.0
    for a, b in zip(breaks[:-1], breaks[1:]):
        x, wx = cosine_rule(a, b, count)
        p, gtheta = legendre(x)
        if m == 0:
            A, V = sums(fac * np.abs(p), gtheta, wx * 2 * math.pi)
        else:
            A = V = 0.0
            for xi, wi, pi_, gi in zip(x, wx, p, gtheta):
                top = math.pi / (2 * am)
                pb = [0.0, top]
                for peak in peaks:
                    u = c / (peak * fac * abs(pi_))
                    if u < 1:
                        pb.append(math.acos(u) / am)
                pb = np.unique(pb)
                phis, wps = zip(*(cosine_rule(pa, pz, count) for pa, pz in zip(pb[:-1], pb[1:])))
                phi, wp = np.concatenate(phis), np.concatenate(wps)
                g = math.sqrt(2) * np.cos(am * phi)
                y = scale * abs(pi_) * g
                grad = gi + (am * np.tan(am * phi)) ** 2 / (1 - xi * xi)
                a_, v_ = sums(y, grad, wi * wp * 4 * am)
                A, V = A + a_, V + v_
        area, volume = area + A, volume + V
    return area, volume


def vtk_surface(n, l, m, level, box, side):
    """Flying edges on side^3 samples over the box (low, high of x, y, z) widened by a cell each way."""
    low, high = np.array(box[0::2]), np.array(box[1::2])
    spacing = (high - low) / (side - 3)
    low = low - spacing
    axes = [low[a] + spacing[a] * np.arange(side) for a in range(3)]
    z, y, x = np.meshgrid(axes[2], axes[1], axes[0], indexing="ij")
    sampling, spent, runs = math.inf, 0.0, 0
    while runs < 3 and (runs < 1 or spent < 0.2):
        start = time.perf_counter()
        values = np.abs(psi(n, l, m, x, y, z)).astype(np.float64)
        seconds = time.perf_counter() - start
        sampling, spent, runs = min(sampling, seconds), spent + seconds, runs + 1
    image = vtk.vtkImageData()
    image.SetDimensions(side, side, side)
    image.SetOrigin(*low)
    image.SetSpacing(*spacing)
    image.GetPointData().SetScalars(numpy_support.numpy_to_vtk(values.ravel(), deep=True))
    best, total, runs = math.inf, 0.0, 0
    while runs < 100 and (runs < 3 or total < 0.2):
        edges = vtk.vtkFlyingEdges3D()
        edges.SetInputData(image)
        edges.SetValue(0, level)
        edges.ComputeNormalsOff()
        edges.ComputeGradientsOff()
        edges.ComputeScalarsOff()
        start = time.perf_counter()
        edges.Update()
        seconds = time.perf_counter() - start
        best, total, runs = min(best, seconds), total + seconds, runs + 1
    mass = vtk.vtkMassProperties()
    mass.SetInputData(edges.GetOutput())
    mass.Update()
    return {"seconds": best, "sampling": sampling, "area": mass.GetSurfaceArea(), "volume": mass.GetVolume(),
            "triangles": edges.GetOutput().GetNumberOfCells()}


def errors(row, area, volume):
    return row["area"] / area - 1, row["volume"] / volume - 1


vtk.vtkSMPTools.Initialize(2)
print(f"VTK SMP backend: {vtk.vtkSMPTools.GetBackend()}, 2 threads; load {os.getloadavg()[0]:.1f};"
      " errors against the rays' quadrature")
print(f"{'orbital':>9} {'within':>6} {'grid':>20} {'seconds':>8} {'sampled':>8} {'area':>10} {'error':>8} {'volume':>10}"
      f" {'error':>8} {'triangles':>10}")


def show(orbital, within, name, row, area, volume):
    area_error, volume_error = errors(row, area, volume)
    print(f"{orbital:>9} {within:>6} {name:>20} {row['seconds']:>8.3f}"
          f" {row['seconds'] + row.get('sampling', 0.0):>8.3f} {row['area']:>10.2f}"
          f" {100 * area_error:>+7.3f}% {row['volume']:>10.1f} {100 * volume_error:>+7.3f}%"
          f" {row['triangles']:>10}", flush=True)


def fastest(rows, area, volume, tolerance):
    """The fastest of the (name, row) whose area and volume are within the tolerance."""
    good = [(row["seconds"], name, row) for name, row in rows
            if max(map(abs, errors(row, area, volume))) <= tolerance]
    return min(good, key=lambda item: item[0])[1:] if good else None


for n, l, m in ORBITALS:
    orbital = f"{n},{l},{m}"
    level = lobara(n, l, m, 256, 512)["level"]
    ours = lobara(n, l, m, 256, 512, level)
    area, volume = reference(n, l, m, level)
    theirs = [(f"VTK {side}^3", vtk_surface(n, l, m, level, ours["box"], side)) for side in SIDES]
    show(orbital, "-", "Lobara 256x512", ours, area, volume)
    show(orbital, "-", *theirs[-1], area, volume)
    ladder = [(f"Lobara {rows}x{2 * rows}", lobara(n, l, m, rows, 2 * rows, level)) for rows in LADDER]
    for tolerance in TOLERANCES:
        for rows in (ladder, theirs):
            best = fastest(rows, area, volume, tolerance)
            if best is None:
                side = rows[0][0].split()[0]
                print(f"{orbital:>9} {tolerance:>6.0e} {side:>20} none of its ladder", flush=True)
            else:
                show(orbital, f"{tolerance:.0e}", *best, area, volume)
