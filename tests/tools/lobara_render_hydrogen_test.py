#!/usr/bin/python3
"""Hydrogen-like orbitals from the command line: the boundary surface's STL is watertight for VTK
and admesh, its pieces are the lobes (radial node shells included) that SciPy's radial function
puts above the level --stats reports, every orbital to n = 30 draws at every probability with its
inner shells where SciPy puts them, --stats' enclosed probability and largest |psi| are SciPy's, a
slice shows psi's signs where they lie and a nodal plane as 0, a table of a shell holds its
orbitals where they belong, and bad numbers or combinations get one line and exit 2."""
import json
import math
import os

import meshio
import numpy as np
import vtk
from scipy import integrate, optimize, special
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


def expected_pieces(n, l, m, level):
    """The pieces of |psi| = level by SciPy's lobes: each radial lobe (between nodes of R) whose peak
    times the peak of an angular lobe (between nodes of P_l^|m| in cos theta) exceeds the level
    gives a piece for each of the 2|m| turns of phi of a real orbital of m != 0, two for a shell
    of an s orbital (its inner and outer side); None where a product lies within 5 % of the level,
    which a grid may or may not resolve."""
    r = np.linspace(1e-9, 8 * n * n + 30, 400001) ** 1.0
    x = np.linspace(-1 + 1e-9, 1 - 1e-9, 200001)
    factor = 1.0 if m == 0 else math.sqrt(2.0)
    angular = factor * np.abs(special.sph_harm(abs(m), l, 0.0, np.arccos(x)).real)

    def peaks(values, signs):
        return [part.max() for part in np.split(np.abs(values), np.where(np.diff(np.sign(signs)) != 0)[0] + 1)]

    radial_peaks = peaks(radial(n, l, r), radial(n, l, r))
    angular_peaks = peaks(angular, special.lpmv(abs(m), l, x))
    count = 0
    for k, radial_peak in enumerate(radial_peaks):
        for angular_peak in angular_peaks:
            if abs(radial_peak * angular_peak / level - 1) < 0.05:
                return None
            if radial_peak * angular_peak > level:
                count += (1 if m == 0 else 2 * abs(m)) * (2 if l == 0 and k > 0 else 1)
    return count


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


def test_every_orbital_to_n30_draws():
    """26s, 28d and 30p, whose level no grid of radii held before, draw at 50, 90 and 99 %: each
    STL closed for VTK, as many pieces as SciPy's lobes above the level --stats reports, each named
    as the orbital in its header, and --stats' enclosed probability the one asked."""
    for name, numbers in (("26s", "26,0,0"), ("28d", "28,2,0"), ("30p", "30,1,0")):
        for probability in (0.5, 0.9, 0.99):
            result = run("--hydrogen", numbers, "--enclose", probability, "--theta", 24, "--phi", 48, "--stats",
                         "--mesh", f"{name}.stl")
            check(result.returncode == 0, f"{name} at {probability}: {result.stderr}")
            if result.returncode:
                continue
            stats = json.loads(result.stdout)
            check(abs(stats["enclosed"] - probability) < 1e-12, f"{name} at {probability}: encloses {stats['enclosed']}")
            surface = read_stl(f"{name}.stl")
            check(open_edges(surface) == [0, 0], f"{name} at {probability}: open edges {open_edges(surface)}")
            n, l, m = map(int, numbers.split(","))
            expected = expected_pieces(n, l, m, stats["level"])
            check(expected is None or pieces(surface) == expected,
                  f"{name} at {probability}: {pieces(surface)} surfaces, SciPy's lobes give {expected}")
            with open(os.path.join(WORK, f"{name}.stl"), "rb") as stl:
                header = stl.read(80).decode()
            check(header.startswith(f"binary STL of the orbital psi({numbers})"), f"{name}: header {header!r}")


def test_inner_shells_where_they_lie():
    """16s's innermost surface is the sphere where SciPy's |R| / sqrt(4pi) takes the level, 1.824 a0,
    within 1e-3 of it; 20s and 25s at 90 % show all their 39 and 49 surfaces."""
    result = run("--hydrogen", "16,0,0", "--theta", 64, "--phi", 128, "--stats", "--mesh", "16s.stl")
    check(result.returncode == 0, f"16s: {result.stderr}")
    if result.returncode == 0:
        level = json.loads(result.stdout)["level"]
        inner = optimize.brentq(lambda r: radial(16, 0, r) / math.sqrt(4 * math.pi) - level, 0.5, 2.5)
        check(abs(inner - 1.824) < 1e-3, f"16s: SciPy's innermost radius at the level is {inner}")
        points = np.array(meshio.read(os.path.join(WORK, "16s.stl")).points)
        innermost = np.sqrt((points ** 2).sum(axis=1)).min()
        check(abs(innermost - inner) < 1e-3 * inner, f"16s: innermost surface at {innermost}, SciPy's {inner}")
    for n, count in ((20, 39), (25, 49)):
        result = run("--hydrogen", f"{n},0,0", "--theta", 24, "--phi", 48, "--mesh", f"{n}s.stl")
        check(result.returncode == 0, f"{n}s: {result.stderr}")
        if result.returncode == 0:
            check(pieces(read_stl(f"{n}s.stl")) == count, f"{n}s: {pieces(read_stl(f'{n}s.stl'))} surfaces")


def true_probability_988(level):
    """P(|psi(9, 8, 8)| > level) by SciPy: R98 = N rho^8 e^(-rho/2) (rho = 2r/9) is one lobe,
    where R^2 r^2 dr is the gamma density of shape 19 in rho, above a value between the two roots
    Lambert's W gives; over the directions, Y88 = sqrt2 N P88 cos 8 phi by dblquad on the 32nd of a
    turn of phi from a peak of |cos 8 phi| to its zero, and on the northern half of theta."""
    norm = radial(9, 8, 9.0) / (2.0 ** 8 * math.exp(-1))

    def radial_mass(value):
        w = -(value / norm) ** (1 / 8) / 16
        if w <= -1 / math.e:
            return 0.0
        inside, outside = -16 * special.lambertw(w, 0).real, -16 * special.lambertw(w, -1).real
        return special.gammainc(19, outside) - special.gammainc(19, inside)

    def integrand(theta, phi):
        y = math.sqrt(2) * abs(special.sph_harm(8, 8, phi, theta).real)
        return math.sin(theta) * y * y * radial_mass(level / y) if y > 0 else 0.0

    part, _ = integrate.dblquad(integrand, 0, math.pi / 16, 0, math.pi / 2, epsabs=1e-11, epsrel=1e-10)
    return 64 * part


def test_stats_are_computed():
    """--stats' enclosed probability of 9,8,8 is SciPy's at its level within 1e-6 (the sampled
    quadrature printed 0.89999998 where its level held 0.90097); the largest |psi| of 2,1,1 is
    R21(2) sqrt(3 / 4pi) within 1e-9, and --iso just under it draws."""
    check(abs(true_probability_988(2.8107299228425573e-4) - 0.90097) < 5e-6, "SciPy's 9,8,8 at the old level")
    result = run("--hydrogen", "9,8,8", *GRID, "--stats")
    check(result.returncode == 0, f"9,8,8: {result.stderr}")
    if result.returncode == 0:
        stats = json.loads(result.stdout)
        truth = true_probability_988(stats["level"])
        check(abs(stats["enclosed"] - truth) < 1e-6, f"9,8,8: encloses {stats['enclosed']}, SciPy {truth}")
    peak = 2 * math.exp(-1) / (2 * math.sqrt(6)) * math.sqrt(3 / (4 * math.pi))
    result = run("--hydrogen", "2,1,1", "--theta", 129, "--phi", 256, "--iso", repr(peak * (1 - 1e-4)), "--stats")
    check(result.returncode == 0, f"--iso just under the largest |psi| of 2,1,1: {result.stderr}")
    if result.returncode == 0:
        stats = json.loads(result.stdout)
        check(abs(stats["peak"] / peak - 1) < 1e-9 and stats["faces"] > 0, f"2,1,1 just under its peak: {stats}")
    result = run("--hydrogen", "2,1,1", "--iso", repr(peak * (1 + 1e-9)), "--stats")
    check(result.returncode == 2, f"--iso just above the largest |psi| of 2,1,1: {result.returncode}")


def test_nodal_slice_is_zero():
    """2p_z in the xy plane, where psi is 0: one colour and one line of warning, as a map of a field 0
    everywhere."""
    result = run("--orbital", "2p_z", "--slice", "xy", "--size", "120x150", "--out", "nodal.png")
    check(result.returncode == 0 and result.stderr.count("\n") == 1 and "0 everywhere" in result.stderr,
          f"--slice xy of 2p_z: {result.returncode}, {result.stderr}")
    if result.returncode == 0:
        pixels = read_png(os.path.join(WORK, "nodal.png"))[:120, :, :3].reshape(-1, 3)
        check(len(np.unique(pixels, axis=0)) == 1, "--slice xy of 2p_z: more than one colour")


def test_refusals():
    """Numbers of no orbital, and items that do not go with one: one line, exit 2, no file."""
    for args in (["--hydrogen", "3,3,0"], ["--hydrogen", "2,1,2"], ["--hydrogen", "31,0,0"],
                 ["--hydrogen", "0,0,0"], ["--hydrogen", "2.5,1,0"], ["--hydrogen", "2,1"],
                 ["--orbital", "3f_xyz"], ["--orbital", "2sp3"], ["--orbital", "99999999999s"],
                 ["--hydrogen", "2,1,0", "--charge", "0"], ["--hydrogen", "2,1,0", "--charge", "nan"],
                 ["--hydrogen", "2,1,0", "--charge", "inf"], ["--hydrogen", "2,1,0", "--enclose", "1"],
                 ["--hydrogen", "2,1,0", "--enclose", "0"], ["--hydrogen", "2,1,0", "--enclose", "-0.5"],
                 ["--hydrogen", "2,1,0", "--iso", "1"], ["--hydrogen", "2,1,0", "--enclose", "0.5", "--iso", "0.01"],
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
test_every_orbital_to_n30_draws()
test_inner_shells_where_they_lie()
test_stats_are_computed()
test_nodal_slice_is_zero()
test_table_of_a_shell()
test_refusals()
finish("lobara_render_hydrogen")
