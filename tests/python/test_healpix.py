"""lobara.healpix against healpy on the same inputs, and against mpmath where healpy itself errs."""

import math

import numpy
import pytest

import lobara.healpix as lh

hp = pytest.importorskip("healpy")


def random_alms(rng, count, lmax, spin=0):
    size = hp.Alm.getsize(lmax)
    l, m = hp.Alm.getlm(lmax)
    alms = rng.standard_normal((count, size)) + 1j * rng.standard_normal((count, size))
    alms[:, m == 0] = alms[:, m == 0].real
    alms[:, l < spin] = 0.0
    return alms


def relative(got, expected):
    return numpy.abs(numpy.asarray(got) - expected).max() / numpy.abs(expected).max()


# At Nside 256 the synthesis goes through its rings in several chunks.
@pytest.mark.parametrize("nside", [64, 128, 256])
def test_maps_and_coefficients_are_healpys(nside, rng):
    lmax = 2 * nside
    alm = random_alms(rng, 1, lmax)[0]
    expected = hp.alm2map(alm, nside, lmax=lmax)
    got = lh.alm2map(alm, nside, lmax=lmax, threads=2)
    assert got.shape == expected.shape
    assert relative(got, expected) < 1e-12
    for steps in (0, 3):
        assert relative(lh.map2alm(expected, lmax=lmax, iter=steps), hp.map2alm(expected, lmax=lmax, iter=steps)) < 1e-10
    # healpy's defaults: lmax = 3 nside - 1 for the analysis, lmax from the size for the synthesis.
    default = lh.map2alm(expected, iter=1)
    assert default.shape == (hp.Alm.getsize(3 * nside - 1),)
    assert relative(default, hp.map2alm(expected, iter=1)) < 1e-10
    assert relative(lh.alm2map(default, nside), hp.alm2map(default, nside)) < 1e-12


def test_mmax_below_lmax_and_several_maps_at_once(rng):
    nside, lmax, mmax = 32, 70, 40
    size = hp.Alm.getsize(lmax, mmax)
    alms = rng.standard_normal((2, size)) + 1j * rng.standard_normal((2, size))
    alms[:, :lmax + 1] = alms[:, :lmax + 1].real
    maps = lh.alm2map(alms, nside, lmax=lmax, mmax=mmax, pol=False)
    for row, alm in zip(maps, alms):
        assert relative(row, hp.alm2map(alm, nside, lmax=lmax, mmax=mmax)) < 1e-12
    got = lh.map2alm(maps, lmax=lmax, mmax=mmax, pol=False)
    assert relative(got, hp.map2alm(maps, lmax=lmax, mmax=mmax, pol=False)) < 1e-10


# At Nside 128 the high orders' values near the poles start below the range of doubles and are
# scaled until the recurrence lifts them back.
@pytest.mark.parametrize("spin, nside", [(1, 64), (2, 64), (3, 64), (2, 128)])
def test_spin_transforms_are_healpys(spin, nside, rng):
    lmax = 2 * nside
    alms = random_alms(rng, 2, lmax, spin)
    expected = numpy.array(hp.alm2map_spin(list(alms), nside, spin, lmax))
    assert relative(lh.alm2map_spin(alms, nside, spin, lmax), expected) < 1e-12
    got = lh.map2alm_spin(expected, spin, lmax)
    assert relative(got, numpy.array(hp.map2alm_spin(list(expected), spin, lmax))) < 1e-10


def test_polarised_maps_and_their_spectra_are_healpys(rng):
    nside = 64
    lmax = 2 * nside
    alms = random_alms(rng, 3, lmax)
    alms[1:, hp.Alm.getlm(lmax)[0] < 2] = 0.0
    tqu = hp.alm2map(alms, nside, lmax=lmax, pol=True)
    assert relative(lh.alm2map(alms, nside, lmax=lmax), tqu) < 1e-12
    assert relative(lh.map2alm(tqu, lmax=lmax, iter=3), hp.map2alm(tqu, lmax=lmax, iter=3)) < 1e-10
    spectra = lh.anafast(tqu, lmax=lmax)
    assert spectra.shape == (6, lmax + 1)
    assert relative(spectra, hp.anafast(tqu, lmax=lmax)) < 1e-10
    other = tqu[:, ::-1].copy()
    assert relative(lh.anafast(tqu, other, lmax=lmax), hp.anafast(tqu, other, lmax=lmax)) < 1e-10
    assert relative(lh.anafast(tqu[0], lmax=lmax, pol=False), hp.anafast(tqu[0], lmax=lmax)) < 1e-10


def test_unseen_pixels_are_masked_out_as_healpy_masks_them(rng):
    nside = 32
    alm = random_alms(rng, 1, 60)[0]
    values = hp.alm2map(alm, nside, lmax=60)
    values[rng.choice(values.size, 500, replace=False)] = lh.UNSEEN
    assert relative(lh.map2alm(values, lmax=60), hp.map2alm(values, lmax=60)) < 1e-10
    assert lh.UNSEEN == hp.UNSEEN


def test_polar_rings_are_nearer_the_exact_sum_than_healpy():
    # The zonal sum at the first ring of Nside 256 to 40 digits: healpy's value errs there by
    # about 1e-12 of the map's largest value, and these stay within 1e-14 of it.
    mpmath = pytest.importorskip("mpmath")
    mpmath.mp.dps = 40
    nside, lmax = 256, 512
    coefficients = numpy.random.default_rng(1).standard_normal(lmax + 1)
    alm = numpy.zeros(hp.Alm.getsize(lmax), dtype=complex)
    alm[:lmax + 1] = coefficients
    got = lh.alm2map(alm, nside)
    z = 1 - mpmath.mpf(1) / (3 * mpmath.mpf(nside) ** 2)
    p0, p1 = mpmath.mpf(1), z
    total = coefficients[0] * p0 + math.sqrt(3) * coefficients[1] * p1
    for l in range(2, lmax + 1):
        p0, p1 = p1, ((2 * l - 1) * z * p1 - (l - 1) * p0) / l
        total += math.sqrt(2 * l + 1) * coefficients[l] * p1
    exact = float(total / mpmath.sqrt(4 * mpmath.pi))
    assert abs(got[0] - exact) < 1e-14 * numpy.abs(got).max()


def test_bad_input_is_refused_in_one_line():
    with pytest.raises(ValueError, match="12·nside²"):
        lh.map2alm(numpy.zeros(100))
    with pytest.raises(ValueError, match="not finite"):
        lh.map2alm(numpy.full(12 * 4, numpy.nan))
    with pytest.raises(ValueError, match="no healpy layout"):
        lh.alm2map(numpy.zeros(7, dtype=complex), 4)
    with pytest.raises(ValueError, match="not finite"):
        lh.alm2map(numpy.full(6, numpy.inf, dtype=complex), 4)
    with pytest.raises(ValueError, match="Nside"):
        lh.alm2map(numpy.zeros(6, dtype=complex), 0)
    with pytest.raises(ValueError, match="spin"):
        lh.alm2map_spin(numpy.zeros((2, 6), dtype=complex), 4, 0, 2)
    with pytest.raises(ValueError, match="three"):
        lh.map2alm(numpy.zeros((2, 48)))
    with pytest.raises(TypeError):
        lh.map2alm(["a"] * 48)
    with pytest.raises(ValueError, match="iter"):
        lh.map2alm(numpy.zeros(48), iter=-1)
