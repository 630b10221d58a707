"""healpy's and pyshtools' coefficient arrays over pairs (lmax, mmax), mmax below lmax as well as
equal, each held to healpy's alm2map (its own synthesis) or to SciPy's harmonics."""

import healpy
import numpy
import pytest
from conftest import assert_close_to_largest, real_harmonic

import lobara

PAIRS = [(0, 0), (1, 0), (4, 1), (7, 3), (9, 8), (12, 12), (16, 5), (20, 0)]
NSIDE = 8


def pixel_angles():
    return healpy.pix2ang(NSIDE, numpy.arange(healpy.nside2npix(NSIDE)))


def random_field(rng, lmax, mmax, convention=lobara.GEODESY):
    """Every coefficient of degree up to lmax and order up to mmax, uniform in [-1, 1]."""
    terms = [(l, m, rng.uniform(-1, 1)) for l in range(lmax + 1) for m in range(-l, l + 1) if abs(m) <= mmax]
    return terms, lobara.Field(terms, convention)


def scipy_values(terms, theta, phi, convention):
    return sum(c * real_harmonic(l, m, theta, phi, convention.norm, convention.cs, convention.sine)
               for l, m, c in terms)


@pytest.mark.parametrize("lmax,mmax", PAIRS)
def test_healpys_alm_make_healpys_map(lmax, mmax, rng):
    size = healpy.Alm.getsize(lmax, mmax)
    alm = rng.uniform(-1, 1, size) + 1j * rng.uniform(-1, 1, size)
    alm[:lmax + 1] = alm[:lmax + 1].real  # a real map's a_l0 are real
    field = lobara.Field.from_healpy(alm, lmax=lmax, mmax=mmax)
    assert_close_to_largest(field(*pixel_angles()), healpy.alm2map(alm, NSIDE, lmax=lmax, mmax=mmax))


@pytest.mark.parametrize("lmax,mmax", PAIRS)
def test_to_healpy_gives_the_alm_of_the_fields_map(lmax, mmax, rng):
    terms, field = random_field(rng, lmax, mmax)
    alm = field.to_healpy(lmax, mmax)
    assert alm.size == healpy.Alm.getsize(lmax, mmax)
    expected = scipy_values(terms, *pixel_angles(), lobara.GEODESY)
    assert_close_to_largest(healpy.alm2map(alm, NSIDE, lmax=lmax, mmax=mmax), expected)


@pytest.mark.parametrize("lmax,mmax", PAIRS)
def test_to_healpy_leaves_out_the_orders_above_mmax(lmax, mmax, rng):
    # A field of every order, in this program's convention: healpy's map of its alm is the field's
    # part of orders up to mmax, summed from SciPy's harmonics.
    terms, field = random_field(rng, lmax, lmax, lobara.LOBARA)
    alm = field.to_healpy(lmax, mmax)
    kept = [term for term in terms if abs(term[1]) <= mmax]
    expected = scipy_values(kept, *pixel_angles(), lobara.LOBARA)
    assert_close_to_largest(healpy.alm2map(alm, NSIDE, lmax=lmax, mmax=mmax), expected)


@pytest.mark.parametrize("lmax,mmax", PAIRS)
def test_to_shtools_of_healpys_alm_is_healpys_map(lmax, mmax, rng):
    size = healpy.Alm.getsize(lmax, mmax)
    alm = rng.uniform(-1, 1, size) + 1j * rng.uniform(-1, 1, size)
    alm[:lmax + 1] = alm[:lmax + 1].real
    cilm = lobara.Field.from_healpy(alm, lmax=lmax, mmax=mmax).to_shtools("ortho", -1, lmax=lmax)
    # pyshtools' ortho with the phase are the real harmonics of PHYSICS.
    theta, phi = pixel_angles()
    values = sum(cilm[0, l, m] * real_harmonic(l, m, theta, phi, "ortho", True, "standard") +
                 cilm[1, l, m] * real_harmonic(l, -m, theta, phi, "ortho", True, "standard")
                 for l in range(lmax + 1) for m in range(l + 1))
    assert_close_to_largest(values, healpy.alm2map(alm, NSIDE, lmax=lmax, mmax=mmax))
    assert numpy.all(cilm[:, :, mmax + 1:] == 0)
