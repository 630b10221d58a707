#!/usr/bin/python3
"""The boundary surface of --enclose 0.9 of a few orbitals, side by side in one run on 2 threads:
Lobara's build on 128 x 256 x 512 (r x theta x phi) samples, from the orbital to the closed mesh,
against VTK's flying edges (vtkFlyingEdges3D) on a 256^3 Cartesian sampling of the same psi at
the same level, over the cube that just holds Lobara's grid (the sampling by NumPy and SciPy is
not timed). Each time is the best of three. The area and enclosed volume of both, and of a
reference build of Lobara on twice the samples along each axis, show the accuracy each reaches.
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


vtk.vtkSMPTools.Initialize(2)
print(f"VTK SMP backend: {vtk.vtkSMPTools.GetBackend()}, 2 threads")
print(f"{'orbital':>9} {'Lobara s':>9} {'VTK s':>7} {'Lobara area':>12} {'VTK area':>10} {'reference':>10}"
      f" {'Lobara vol':>11} {'VTK vol':>10} {'reference':>10} {'triangles L / VTK':>19}")
for n, l, m in ORBITALS:
    ours = lobara(n, l, m, 128, 256, 512)
    reference = lobara(n, l, m, 256, 512, 1024)
    seconds, area, volume, cells = vtk_surface(n, l, m, ours["level"], ours["extent"], 256)
    print(f"{n},{l},{m:>3} {ours['seconds']:>9.3f} {seconds:>7.3f} {ours['area']:>12.2f} {area:>10.2f}"
          f" {reference['area']:>10.2f} {ours['volume']:>11.1f} {volume:>10.1f} {reference['volume']:>10.1f}"
          f" {ours['triangles']:>9} / {cells}", flush=True)
