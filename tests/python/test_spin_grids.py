"""lobara.alm2grid, alm2grid_spin, grid2alm and grid2alm_spin: the maps against SciPy's spherical
harmonics and Wigner's d functions, whose sums are first checked against healpy's alm2map and
alm2map_spin at HEALPix pixel centres, and the analysis against the coefficients the maps were
made of, on every grid."""

import math

import numpy
import pytest
import scipy.special

import lobara

hp = pytest.importorskip("healpy")

GRIDS = ["lobara", "cells", "dh", "gl"]


def random_alms(rng, lmax, spin):
    l, m = hp.Alm.getlm(lmax)
    alms = rng.standard_normal((2, l.size)) + 1j * rng.standard_normal((2, l.size))
    alms[:, m == 0] = alms[:, m == 0].real
    alms[:, l < spin] = 0.0
    return alms


def wigner_d(j, a, b, beta):
    """d^j_(a,b)(beta) by Wigner's explicit sum."""
    total = numpy.zeros_like(beta)
    f = math.factorial
    for k in range(max(0, b - a), min(j + b, j - a) + 1):
        term = math.sqrt(f(j + a) * f(j - a) * f(j + b) * f(j - b)) / (f(j + b - k) * f(k) * f(a - b + k) * f(j - a - k))
        total += (-1) ** (a - b + k) * term * numpy.cos(beta / 2) ** (2 * j + b - a - 2 * k) \
            * numpy.sin(beta / 2) ** (a - b + 2 * k)
    return total


def spin_maps(alms, spin, lmax, theta, phi):
    """Q, U from Q + iU = -Σ (E + iB)_lm sY_lm over m = -l .. l, sY_lm = (-1)^s √((2l+1)/4π)
    d^l_(m,-s)(θ) e^(imφ) and a_l(-m) = (-1)^m conj(a_lm)."""
    total = numpy.zeros(numpy.broadcast(theta, phi).shape, dtype=complex)
    for l in range(spin, lmax + 1):
        for m in range(-l, l + 1):
            i = hp.Alm.getidx(lmax, l, abs(m))
            e, b = (alms[0, i], alms[1, i]) if m >= 0 else ((-1) ** m * alms[0, i].conjugate(), (-1) ** m * alms[1, i].conjugate())
            y = (-1) ** spin * math.sqrt((2 * l + 1) / (4 * math.pi)) * wigner_d(l, m, -spin, theta) * numpy.exp(1j * m * phi)
            total -= (e + 1j * b) * y
    return numpy.array([total.real, total.imag])


def scalar_map(alm, lmax, mmax, theta, phi):
    """Σ a_lm Y_lm over m = -mmax .. mmax by SciPy's Y_lm (with the Condon-Shortley phase) and
    a_l(-m) = (-1)^m conj(a_lm)."""
    total = numpy.zeros(numpy.broadcast(theta, phi).shape, dtype=complex)
    for m in range(mmax + 1):
        for l in range(m, lmax + 1):
            y = scipy.special.sph_harm(m, l, phi, theta)
            a = alm[hp.Alm.getidx(lmax, l, m)]
            total += a * y if m == 0 else 2.0 * (a * y).real
    return total.real


def test_scalar_maps_are_the_sum_of_harmonics_that_healpy_sums(rng):
    lmax, mmax = 6, 4
    alms = random_alms(rng, lmax, 0)
    alms = alms[:, hp.Alm.getlm(lmax)[1] <= mmax]
    nside = 4
    theta, phi = hp.pix2ang(nside, numpy.arange(hp.nside2npix(nside)))
    healpys = hp.alm2map(numpy.ascontiguousarray(alms[0]), nside, lmax=lmax, mmax=mmax)
    assert numpy.abs(scalar_map(alms[0], lmax, mmax, theta, phi) - healpys).max() < 1e-13
    for grid in GRIDS:
        # 9 x 18 holds the band limit; 8 x 6 folds orders above 2 onto the rings.
        for ntheta, nphi in ((9, 18), (8, 16 if grid == "dh" else 6)):
            angles = lobara.grid(ntheta, nphi, grid)
            got = lobara.alm2grid(alms, ntheta, nphi, grid=grid, lmax=lmax, mmax=mmax, threads=2)
            assert got.shape == (2, ntheta, nphi)
            for k in range(2):
                expected = scalar_map(alms[k], lmax, mmax, angles[0][:, None], angles[1][None, :])
                assert numpy.abs(got[k] - expected).max() < 1e-13, (grid, ntheta, nphi)
            assert numpy.array_equal(lobara.alm2grid(alms[1], ntheta, nphi, grid, lmax, mmax), got[1])


@pytest.mark.parametrize("grid", GRIDS)
def test_scalar_analysis_returns_the_coefficients_on_every_grid(grid, rng):
    for ntheta, lmax, mmax in ((66, 64, 64), (100, 40, 30)):
        alms = random_alms(rng, lmax, 0)[:, hp.Alm.getlm(lmax)[1] <= mmax]
        limit = ntheta - 2 if grid == "lobara" else ntheta - 1
        maps = lobara.alm2grid(alms, ntheta, grid=grid, lmax=lmax, mmax=mmax)
        got = lobara.grid2alm(maps, lmax=lmax, mmax=mmax, grid=grid, threads=2)
        assert got.shape == alms.shape
        assert numpy.abs(got - alms).max() < 1e-12 * numpy.abs(alms).max()
    # One map, to the grid's own limit by default.
    assert lobara.grid2alm(maps[0], grid=grid).shape == (hp.Alm.getsize(limit),)


def test_scalar_bad_input_is_refused_in_one_line():
    alm = numpy.zeros(hp.Alm.getsize(4), dtype=complex)
    with pytest.raises(ValueError, match="mmax"):
        lobara.alm2grid(alm, 10, lmax=4, mmax=5)
    with pytest.raises(ValueError, match="size 14 do not hold lmax = 4"):
        lobara.alm2grid(alm[:-1], 10, lmax=4, mmax=4)
    with pytest.raises(ValueError, match="not finite"):
        lobara.alm2grid(numpy.full_like(alm, numpy.nan), 10)
    with pytest.raises(ValueError, match="grid needs one of"):
        lobara.grid2alm(numpy.zeros((10, 20)), grid="healpix")
    with pytest.raises(ValueError, match="shape"):
        lobara.grid2alm(numpy.zeros(20))


@pytest.mark.parametrize("spin", [1, 2, 3])
def test_maps_are_the_sum_of_wigner_functions_that_healpy_sums(spin, rng):
    lmax = 5
    alms = random_alms(rng, lmax, spin)
    nside = 4
    theta, phi = hp.pix2ang(nside, numpy.arange(hp.nside2npix(nside)))
    healpys = numpy.array(hp.alm2map_spin(list(alms), nside, spin, lmax))
    assert numpy.abs(spin_maps(alms, spin, lmax, theta, phi) - healpys).max() < 1e-13
    for grid in GRIDS:
        # ntheta 7 x nphi 14 holds the band limit; 8 x 6 folds orders above 3 onto the rings.
        for ntheta, nphi in ((7, 14), (8, 16 if grid == "dh" else 6)):
            angles = lobara.grid(ntheta, nphi, grid)
            got = lobara.alm2grid_spin(alms, spin, ntheta, nphi, grid=grid)
            assert got.shape == (2, ntheta, nphi)
            expected = spin_maps(alms, spin, lmax, angles[0][:, None], angles[1][None, :])
            assert numpy.abs(got - expected).max() < 1e-13, (grid, ntheta, nphi)


@pytest.mark.parametrize("grid", GRIDS)
@pytest.mark.parametrize("spin", [1, 2])
def test_analysis_returns_the_coefficients_on_every_grid(grid, spin, rng):
    # At the grid's limit and below it, with mmax below lmax.
    for ntheta, lmax, mmax in ((66, 64, 64), (100, 40, 30)):
        alms = random_alms(rng, lmax, spin)
        keep = hp.Alm.getlm(lmax)[1] <= mmax
        alms = alms[:, keep]
        limit = ntheta - 2 if grid == "lobara" else ntheta - 1
        lmax = min(lmax, limit)
        maps = lobara.alm2grid_spin(alms, spin, ntheta, grid=grid, lmax=lmax, mmax=mmax)
        got = lobara.grid2alm_spin(maps, spin, lmax=lmax, mmax=mmax, grid=grid, threads=2)
        assert numpy.abs(got - alms).max() < 1e-12 * numpy.abs(alms).max()
    # The grid's own limit by default.
    full = lobara.grid2alm_spin(lobara.alm2grid_spin(alms, spin, ntheta, grid=grid, lmax=lmax, mmax=mmax), spin,
                                grid=grid)
    assert full.shape == (2, hp.Alm.getsize(limit))


def test_a_spin_two_quadrupole_is_its_closed_form():
    # E_20 = 1: Q = -2Y_20 = -√(15 / 32π) sin²θ, U = 0 (healpy's convention); B_20 = 1 swaps them.
    alms = numpy.zeros((2, hp.Alm.getsize(2)), dtype=complex)
    alms[0, hp.Alm.getidx(2, 2, 0)] = 1.0
    theta, _ = lobara.grid(9, 18, "lobara")
    q, u = lobara.alm2grid_spin(alms, 2, 9, 18)
    expected = -math.sqrt(15.0 / (32.0 * math.pi)) * numpy.sin(theta) ** 2
    assert numpy.abs(q - expected[:, None]).max() < 1e-15
    assert numpy.abs(u).max() < 1e-15


def test_bad_input_is_refused_in_one_line():
    alms = numpy.zeros((2, hp.Alm.getsize(4)), dtype=complex)
    with pytest.raises(ValueError, match="limit is 9"):
        lobara.grid2alm_spin(numpy.zeros((2, 10, 40)), 2, lmax=12, grid="gl")
    with pytest.raises(ValueError, match="Driscoll-Healy"):
        lobara.alm2grid_spin(alms, 2, 10, 12, grid="dh")
    with pytest.raises(ValueError, match="grid needs one of"):
        lobara.alm2grid_spin(alms, 2, 10, grid="healpix")
    with pytest.raises(ValueError, match="spin"):
        lobara.alm2grid_spin(alms, 0, 10)
    with pytest.raises(ValueError, match="two maps on a grid"):
        lobara.grid2alm_spin(numpy.zeros((3, 10, 20)), 2)
    with pytest.raises(ValueError, match="not finite"):
        lobara.grid2alm_spin(numpy.full((2, 10, 20), numpy.nan), 2)
    with pytest.raises(TypeError):
        lobara.alm2grid_spin(alms, 2, 10.5)
    # Spin 3 has no degree up to 1: zeros, and no sums sized below zero degrees.
    assert not lobara.grid2alm_spin(numpy.ones((2, 4, 8)), 3, lmax=1, grid="gl").any()
