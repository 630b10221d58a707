"""Hydrogen-like orbitals from Python: psi at points against SciPy's Laguerre polynomials and
harmonics, the largest |psi| against its closed form, the cube file as ASE's reader reads it, and
Ctrl-C stopping the long builds."""

import math
import subprocess
import sys
import textwrap

import numpy
import pytest
import scipy.special
from ase.io.cube import read_cube, read_cube_data
from ase.units import Bohr

import lobara
from conftest import assert_close_to_largest, real_harmonic


def scipy_radial(n, l, charge, r):
    """R(n, l) of nuclear charge Z from SciPy's generalised Laguerre polynomial."""
    rho = 2.0 * charge * r / n
    norm = math.sqrt((2.0 * charge / n) ** 3 * math.factorial(n - l - 1) / (2 * n * math.factorial(n + l)))
    return norm * rho ** l * numpy.exp(-rho / 2) * scipy.special.eval_genlaguerre(n - l - 1, 2 * l + 1, rho)


def scipy_psi(n, l, m, charge, x, y, z, convention=lobara.LOBARA, complex_=False):
    """psi at the points: R from SciPy times the orthonormal harmonic of the convention's signs
    (conftest's real harmonic), or SciPy's complex one with its phase undone unless cs."""
    r = numpy.sqrt(x * x + y * y + z * z)
    theta = numpy.arccos(numpy.clip(numpy.divide(z, r, out=numpy.ones_like(r), where=r > 0), -1, 1))
    phi = numpy.arctan2(y, x)
    if complex_:
        angular = scipy.special.sph_harm(m, l, phi, theta)
        if not convention.cs and m > 0 and m % 2:
            angular = -angular
    else:
        angular = real_harmonic(l, m, theta, phi, "ortho", convention.cs, convention.sine)
    return scipy_radial(n, l, charge, r) * angular


def points(rng, count, scale):
    return [rng.normal(0.0, scale, count) for _ in range(3)]


def test_psi_at_points_is_scipys(rng):
    cases = [(1, 0, 0, 1.0, lobara.LOBARA, False), (2, 1, -1, 1.0, lobara.LOBARA, False),
             (3, 2, 1, 2.0, lobara.PHYSICS, False), (4, 3, -2, 1.0, lobara.GEODESY, False),
             (7, 3, 3, 0.5, lobara.LOBARA, False), (12, 6, -4, 1.0, lobara.LOBARA, False),
             (30, 12, 7, 1.0, lobara.PHYSICS, False), (3, 2, 1, 1.0, lobara.LOBARA, True),
             (5, 3, -3, 1.0, lobara.PHYSICS, True), (6, 4, 3, 1.0, lobara.PHYSICS, True)]
    for n, l, m, charge, convention, complex_ in cases:
        x, y, z = points(rng, 500, 1.5 * n * n / charge)
        orbital = lobara.HydrogenOrbital(n, l, m, charge=charge, convention=convention, complex=complex_)
        values = orbital(x, y, z)
        assert values.dtype == (numpy.complex128 if complex_ else numpy.float64)
        expected = scipy_psi(n, l, m, charge, x, y, z, convention, complex_)
        assert_close_to_largest(values, expected, 1e-11)
        assert_close_to_largest(orbital.density(x, y, z), numpy.abs(expected) ** 2, 1e-11)


def test_points_broadcast_and_scalars_are_numbers():
    orbital = lobara.HydrogenOrbital(2, 1, 0)
    grid = orbital(numpy.linspace(-5, 5, 7)[:, None], 0.0, numpy.linspace(-4, 4, 3))
    assert grid.shape == (7, 3)
    assert isinstance(orbital(0.0, 0.0, 1.0), float)
    assert orbital(0.0, 0.0, 0.0) == 0.0
    assert isinstance(lobara.HydrogenOrbital(2, 1, 1, complex=True)(1.0, 0.0, 0.0), complex)
    with pytest.raises(ValueError, match="finite"):
        orbital([0.0, numpy.nan], 0.0, 0.0)
    with pytest.raises(ValueError, match="L must be from 0 to N - 1"):
        lobara.HydrogenOrbital(2, 2, 0)(0.0, 0.0, 0.0)
    with pytest.raises(ValueError, match="whole number"):
        lobara.HydrogenOrbital(2.5, 1, 0)(0.0, 0.0, 0.0)
    with pytest.raises(TypeError):
        lobara.HydrogenOrbital("2", 1, 0)(0.0, 0.0, 0.0)


def test_largest_psi_is_computed():
    # 2,1,1: R21(2) sqrt(3 / 4pi) with R21(r) = r e^(-r/2) / (2 sqrt6), at r = 2 on the x axis.
    peak = 2 * math.exp(-1) / (2 * math.sqrt(6)) * math.sqrt(3 / (4 * math.pi))
    assert lobara.HydrogenOrbital(2, 1, 1).peak() == pytest.approx(peak, rel=1e-9)
    assert lobara.HydrogenOrbital(2, 1, 1)(2.0, 0.0, 0.0) == pytest.approx(peak, rel=1e-12)


def test_cube_file_read_by_ase(tmp_path):
    """The cube holds psi at its grid points, as ASE's read_cube_data reads them, to 1e-12 of max
    |psi|: the grid from the file's own origin and axes as ASE reads them (in angstroms: the cell
    is each axis's count times its step), psi from SciPy."""
    for n, l, m, charge, complex_, density in ((3, 2, -1, 1.0, False, False), (4, 1, 0, 2.0, False, False),
                                              (3, 1, 1, 1.0, True, True)):
        orbital = lobara.HydrogenOrbital(n, l, m, charge=charge, complex=complex_)
        orbital.cube(tmp_path / "orbital.cube", cube_size=24, density=density)
        data, atoms = read_cube_data(str(tmp_path / "orbital.cube"))
        with open(tmp_path / "orbital.cube") as file:
            origin = read_cube(file)["origin"] / Bohr
        spacing = numpy.asarray(atoms.cell) / Bohr / 24
        assert data.shape == (24, 24, 24)
        assert numpy.allclose(spacing, numpy.diag(numpy.diag(spacing)))
        axes = [origin[k] + spacing[k, k] * numpy.arange(24) for k in range(3)]
        x, y, z = numpy.meshgrid(*axes, indexing="ij")
        expected = scipy_psi(n, l, m, charge, x, y, z, lobara.LOBARA, complex_)
        if density:
            expected = numpy.abs(expected) ** 2
        assert_close_to_largest(data, expected, 1e-12)
        assert list(atoms.numbers) == [round(charge)]
        # The box reaches the radius that holds 99.9 % of the radial probability.
        half = -origin[0]
        r = numpy.linspace(0, half, 20001)
        inside = numpy.trapz((scipy_radial(n, l, charge, r) * r) ** 2, r)
        assert 0.999 <= inside < 0.9992


def test_cube_refusals(tmp_path):
    with pytest.raises(ValueError, match="complex"):
        lobara.HydrogenOrbital(3, 1, 1, complex=True).cube(tmp_path / "c.cube")
    with pytest.raises(ValueError, match="from 2 to 400"):
        lobara.HydrogenOrbital(3, 1, 1).cube(tmp_path / "c.cube", cube_size=1)
    with pytest.raises(OSError):
        lobara.HydrogenOrbital(3, 1, 1).cube(tmp_path / "no-folder" / "c.cube", cube_size=4)
    assert not (tmp_path / "c.cube").exists()


@pytest.mark.parametrize("call", [
    "lobara.HydrogenOrbital(30, 29, 0).mesh(theta=1024, phi=2048)",
    "lobara.HydrogenOrbital(30, 29, 0).slice('xz', width=8192, height=8192)",
    "lobara.table(20)",
    "lobara.HydrogenOrbital(30, 14, 3)(*points)",
])
def test_ctrl_c_stops_orbitals_and_tables(call):
    # A child process: SIGINT comes a second into a call that runs much longer; KeyboardInterrupt
    # must come within a few seconds of it, not when the call ends.
    script = textwrap.dedent(f"""
        import os, signal, threading, time
        import numpy, lobara
        points = numpy.random.default_rng(1).normal(0, 400, (3, 30000000))
        sent = []
        threading.Timer(1.0, lambda: (sent.append(time.monotonic()), os.kill(os.getpid(), signal.SIGINT))).start()
        try:
            {call}
            print("finished")
        except KeyboardInterrupt:
            print("interrupted", time.monotonic() - sent[0])
    """)
    result = subprocess.run([sys.executable, "-W", "ignore", "-c", script], capture_output=True, text=True,
                            timeout=600)
    assert result.returncode == 0, result.stderr
    words = result.stdout.split()
    assert words[0] == "interrupted", result.stdout
    assert float(words[1]) < 4.0
