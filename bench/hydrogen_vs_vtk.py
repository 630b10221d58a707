#!/usr/bin/python3
"""The boundary surface of --enclose 0.9 of a few orbitals, side by side in one run on 2 threads:
Lobara's build on 128 x 256 x 512 (r x theta x phi) samples, from the orbital to the closed mesh,
against VTK's flying edges (vtkFlyingEdges3D) on a 256^3 Cartesian sampling of the same psi at
the same level, over the cube that just holds Lobara's grid (the sampling by NumPy and SciPy is
not timed). Each time is the best of three. The area and enclosed volume of both, against a
reference build of Lobara on twice the samples along each axis, show the accuracy each reaches;
Lobara's build on half the samples along each axis (64 x 128 x 256) shows what it takes to be as
accurate as VTK's 256^3.
Usage: hydrogen_vs_vtk.py BUILD_DIR"""
import json
import math
import os
import subprocess
import sys
import time

import numpy as np
import vtk
from scipy import special
from vtk.util import numpy_support

BENCH = os.path.join(sys.argv[1], "bench", "hydrogen_build_bench")
ORBITALS = ((3, 2, 0), (4, 3, 1), (5, 1, 0))


def lobara(n, l, m, radii, rows, columns):
    out = subprocess.run([BENCH, str(n), str(l), str(m), str(radii), str(rows), str(columns), "2"],
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


def vtk_surface(n, l, m, level, extent, side):
    h = 2 * extent / (side - 1)
    axis = -extent + h * np.arange(side)
    z, y, x = np.meshgrid(axis, axis, axis, indexing="ij")
    values = np.abs(psi(n, l, m, x, y, z)).astype(np.float64)
    image = vtk.vtkImageData()
    image.SetDimensions(side, side, side)
    image.SetOrigin(-extent, -extent, -extent)
    image.SetSpacing(h, h, h)
    image.GetPointData().SetScalars(numpy_support.numpy_to_vtk(values.ravel(), deep=True))
    best = math.inf
    for _ in range(3):
        edges = vtk.vtkFlyingEdges3D()
        edges.SetInputData(image)
        edges.SetValue(0, level)
        edges.ComputeNormalsOff()
        edges.ComputeGradientsOff()
        edges.ComputeScalarsOff()
        start = time.perf_counter()
        edges.Update()
        best = min(best, time.perf_counter() - start)
    mass = vtk.vtkMassProperties()
    mass.SetInputData(edges.GetOutput())
    mass.Update()
    return best, mass.GetSurfaceArea(), mass.GetVolume(), edges.GetOutput().GetNumberOfCells()


def error(value, reference):
    return f"{100 * (value / reference - 1):+.3f}%"


vtk.vtkSMPTools.Initialize(2)
print(f"VTK SMP backend: {vtk.vtkSMPTools.GetBackend()}, 2 threads; errors against Lobara on 256 x 512 x 1024")
print(f"{'orbital':>9} {'grid':>20} {'seconds':>8} {'area':>10} {'error':>8} {'volume':>10} {'error':>8}"
      f" {'triangles':>10}")
for n, l, m in ORBITALS:
    ours = lobara(n, l, m, 128, 256, 512)
    coarse = lobara(n, l, m, 64, 128, 256)
    reference = lobara(n, l, m, 256, 512, 1024)
    seconds, area, volume, cells = vtk_surface(n, l, m, ours["level"], ours["extent"], 256)
    rows = (("Lobara 128x256x512", ours["seconds"], ours["area"], ours["volume"], ours["triangles"]),
            ("Lobara 64x128x256", coarse["seconds"], coarse["area"], coarse["volume"], coarse["triangles"]),
            ("VTK 256^3", seconds, area, volume, cells))
    for name, time_taken, row_area, row_volume, triangles in rows:
        print(f"{n},{l},{m:>3} {name:>20} {time_taken:>8.3f} {row_area:>10.2f}"
              f" {error(row_area, reference['area']):>8} {row_volume:>10.1f}"
              f" {error(row_volume, reference['volume']):>8} {triangles:>10}", flush=True)
