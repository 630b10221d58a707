#!/usr/bin/python3
"""Hydrogen-like orbitals from the command line: the boundary surface's STL is watertight for VTK
and admesh, its pieces are the lobes (radial node shells included) that SciPy's radial function
puts above the level --stats reports, a slice shows psi's signs where they lie, a table of a shell
holds its orbitals where they belong, and bad numbers or combinations get one line and exit 2."""
import json
import math
import os

import meshio
import numpy as np
import vtk
from scipy.special import genlaguerre

from mesh_checks import admesh_report, open_edges
from render_run import WORK, check, finish, read_png, run

GRID = ["--theta", 48, "--phi", 96]


def radial(n, l, r):
    """R(n, l) of hydrogen (Z = 1) from SciPy's Laguerre polynomials."""
    rho = 2.0 * r / n
    norm = math.sqrt((2.0 / n) ** 3 * math.factorial(n - l - 1) / (2 * n * math.factorial(n + l)))
    return norm * rho ** l * np.exp(-rho / 2) * genlaguerre(n - l - 1, 2 * l + 1)(rho)


def s_surfaces(n, level):
    """The surfaces |psi| = level of an s orbital: a ball for the innermost radial lobe and two
    spheres for each shell beyond a node, for each lobe whose peak exceeds the level."""
    r = np.linspace(1e-9, 8 * n * n + 30, 400001)
    psi = radial(n, 0, r) / math.sqrt(4 * math.pi)
    lobes = np.split(np.abs(psi), np.where(np.diff(np.sign(psi)) != 0)[0] + 1)
    return sum(1 if k == 0 else 2 for k, lobe in enumerate(lobes) if lobe.max() > level)


def read_stl(name):
    reader = vtk.vtkSTLReader()
    reader.SetFileName(os.path.join(WORK, name))
    reader.Update()
    return reader.GetOutput()


def pieces(surface):
    connectivity = vtk.vtkPolyDataConnectivityFilter()
    connectivity.SetInputData(surface)
    connectivity.SetExtractionModeToAllRegions()
    connectivity.Update()
    return connectivity.GetNumberOfExtractedRegions()


def test_watertight_surfaces_with_their_shells():
    """1s, 3s and 4s show every radial lobe above the level (their node shells as pairs of
    spheres), 2p_z two lobes, 3d_xy four; each STL closed, and nothing for admesh to fix."""
    for name, expected in (("1s", None), ("3s", None), ("4s", None), ("2p_z", 2), ("3d_xy", 4)):
        result = run("--orbital", name, *GRID, "--stats", "--scale", 60, "--mesh", f"{name}.stl")
        check(result.returncode == 0, f"{name}: {result.stderr}")
        if result.returncode:
            continue
        stats = json.loads(result.stdout)
        if expected is None:
            expected = s_surfaces(int(name[0]), stats["level"])
        surface = read_stl(f"{name}.stl")
        check(open_edges(surface) == [0, 0], f"{name}: boundary and non-manifold edges {open_edges(surface)}")
        check(pieces(surface) == expected, f"{name}: {pieces(surface)} surfaces, not {expected}")
        bounds = surface.GetBounds()
        extent = max(bounds[1] - bounds[0], bounds[3] - bounds[2], bounds[5] - bounds[4])
        check(abs(extent - 60) < 1e-3, f"{name}: --scale 60 gives an extent of {extent}")
        problems = {key: value for key, value in admesh_report(os.path.join(WORK, f"{name}.stl")).items()
                    if key not in ("Number of parts", "Total disconnected facets")}
        check(len(problems) == 7 and not any(problems.values()), f"{name}: admesh reports {problems}")
    check(s_surfaces(3, 0.0026) == 5, "3s: its two node shells at the level of 90 % make five surfaces")


def test_other_mesh_formats():
    """PLY, OBJ and glTF of 2p_z hold the triangles of its STL, as meshio and VTK read them."""
    for extension in ("stl", "ply", "obj", "glb"):
        result = run("--orbital", "2p_z", *GRID, "--color", "value", "--mesh", f"2p.{extension}")
        check(result.returncode == 0, f"--mesh 2p.{extension}: {result.stderr}")
    triangles = read_stl("2p.stl").GetNumberOfCells()
    for extension in ("ply", "obj"):
        mesh = meshio.read(os.path.join(WORK, f"2p.{extension}"))
        count = sum(len(cells.data) for cells in mesh.cells if cells.type == "triangle")
        check(count == triangles, f"2p.{extension}: {count} triangles, the STL {triangles}")
    reader = vtk.vtkGLTFReader()
    reader.SetFileName(os.path.join(WORK, "2p.glb"))
    reader.Update()
    blocks = reader.GetOutput().NewIterator()
    count = 0
    blocks.InitTraversal()
    while not blocks.IsDoneWithTraversal():
        count += blocks.GetCurrentDataObject().GetNumberOfCells()
        blocks.GoToNextItem()
    check(count == triangles, f"2p.glb: {count} triangles, the STL {triangles}")


def test_slice_shows_the_signs():
    """2p_z in the xz plane: psi > 0 above the nucleus (warm end of the diverging map), < 0 below."""
    result = run("--hydrogen", "2,1,0", "--slice", "xz", "--size", "200x260", "--out", "slice.png")
    check(result.returncode == 0, f"--slice: {result.stderr}")
    if result.returncode == 0:
        pixels = read_png(os.path.join(WORK, "slice.png")).astype(int)
        above, below = pixels[70, 100], pixels[130, 100]
        check(above[0] > above[2] and below[2] > below[0], f"--slice xz of 2p_z: {above} above, {below} below")


def test_table_of_a_shell():
    """--table --hydrogen 3 lights the nine cells of l = 0..2, |m| <= l (rows and columns where --stats
    lays them out) and no other; 3p_z's outer lobe above the nucleus has the sign of SciPy's R(3, 1)
    beyond its node (Y(1, 0) > 0 there), in the scheme's colour for it; --table-labels orbitals puts
    a caption under the cell of 3s."""
    result = run("--table", "--hydrogen", 3, "--table-labels", "orbitals", "--theta", 32, "--phi", 64,
                 "--size", "500x360", "--stats", "--out", "table.png")
    check(result.returncode == 0, f"--table --hydrogen 3: {result.stderr}")
    if result.returncode:
        return
    layout = json.loads(result.stdout)
    lit = read_png(os.path.join(WORK, "table.png"))[..., :3].astype(int)
    side, pitch = layout["side"], layout["pitch"]

    def cell(l, m):
        left, top = layout["left"] + (m + 2) * side, layout["top"] + l * pitch
        return lit[top:top + side, left:left + side]

    shown = {(l, m) for l in range(3) for m in range(-2, 3) if (cell(l, m).max(axis=-1) > 40).any()}
    check(layout["lmax"] == 2 and shown == {(l, m) for l in range(3) for m in range(-l, l + 1)},
          f"--table --hydrogen 3: cells shown {sorted(shown)}")
    column = cell(1, 0)[:, side // 2]
    rows = np.where(column.max(axis=-1) > 40)[0]
    top_colour = column[rows[0]] if len(rows) else np.zeros(3)
    negative = radial(3, 1, 15.0) < 0
    check((top_colour[2] > top_colour[0]) == negative,
          f"3p_z's lobe above the nucleus is {top_colour}, R(3, 1) beyond its node {radial(3, 1, 15.0):.3g}")
    caption = lit[layout["top"] + side:layout["top"] + pitch, layout["left"] + 2 * side:layout["left"] + 3 * side]
    check((caption.max(axis=-1) > 40).any(), "--table-labels orbitals: no caption under 3s")


def test_refusals():
    """Numbers of no orbital, and items that do not go with one: one line, exit 2, no file."""
    for args in (["--hydrogen", "3,3,0"], ["--hydrogen", "2,1,2"], ["--hydrogen", "31,0,0"],
                 ["--hydrogen", "0,0,0"], ["--hydrogen", "2.5,1,0"], ["--hydrogen", "2,1"],
                 ["--orbital", "3f_xyz"], ["--orbital", "2sp3"], ["--orbital", "99999999999s"],
                 ["--hydrogen", "2,1,0", "--charge", "0"], ["--hydrogen", "2,1,0", "--charge", "nan"],
                 ["--hydrogen", "2,1,0", "--charge", "inf"], ["--hydrogen", "2,1,0", "--enclose", "1"],
                 ["--hydrogen", "2,1,0", "--enclose", "0"], ["--hydrogen", "2,1,0", "--enclose", "-0.5"],
                 ["--hydrogen", "2,1,0", "--iso", "1"], ["--hydrogen", "7,3,-2", "--enclose", "0.999999"], ["--hydrogen", "2,1,0", "--enclose", "0.5", "--iso", "0.01"],
                 ["--hydrogen", "2,1,0", "--coeffs", "c.txt"], ["--hydrogen", "2,1,0", "--analyze", "v.npy"],
                 ["--hydrogen", "2,1,0", "-l", "2"], ["--hydrogen", "2,1,0", "--rotate", "zyz:1,2,3"],
                 ["--hydrogen", "2,1,0", "--slice", "xz", "--html", "page.html"],
                 ["--hydrogen", "2,1,0", "--slice", "xw"], ["--hydrogen", "2,1,0", "--slice", "0,0,0"],
                 ["--hydrogen", "2,1,0", "--density"], ["--enclose", "0.5"], ["--charge", "2"],
                 ["--hydrogen", "3"], ["--table"], ["--table", "--hydrogen", "3,1,0"], ["--table", 3, "--hydrogen", 3],
                 ["--table", "--hydrogen", 3, "--color", "phase"], ["--table", "--hydrogen", 3, "--iso", 1]):
        result = run(*args, "--out", "refused.png")
        check(result.returncode == 2 and result.stderr.count("\n") == 1, f"{args}: {result.returncode}, {result.stderr}")
        check(not os.path.exists(os.path.join(WORK, "refused.png")), f"{args}: wrote its picture")


test_watertight_surfaces_with_their_shells()
test_other_mesh_formats()
test_slice_shows_the_signs()
test_table_of_a_shell()
test_refusals()
finish("lobara_render_hydrogen")
