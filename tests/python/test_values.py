"""Values of fields against SciPy, mpmath and healpy, and the layouts of coefficient arrays
against their definitions."""

import math

import healpy
import mpmath
import numpy
import pytest
import scipy.special
from conftest import assert_close_to_largest, normalization, real_harmonic

import lobara

CONVENTIONS = [lobara.LOBARA, lobara.GEODESY, lobara.AMBIX, lobara.PHYSICS,
               lobara.Convention("schmidt", True, "lobara"), lobara.Convention("unnorm", False, "standard"),
               lobara.Convention("n3d", True, "standard")]


@pytest.mark.parametrize("convention", CONVENTIONS, ids=str)
def test_each_harmonic_agrees_with_scipy(convention, rng):
    theta = rng.uniform(0, numpy.pi, 40)
    phi = rng.uniform(-7, 7, 40)
    for l in range(0, 25):
        for m in range(-l, l + 1):
            expected = real_harmonic(l, m, theta, phi, convention.norm, convention.cs, convention.sine)
            assert_close_to_largest(lobara.Field.harmonic(l, m, convention)(theta, phi), expected)


def test_a_sum_sampled_on_the_grid_agrees_with_scipy(rng):
    lmax = 16
    terms = [(l, m, rng.uniform(-1, 1)) for l in range(lmax + 1) for m in range(-l, l + 1)]
    field = lobara.Field(terms, lobara.GEODESY)
    nt, nphi = 2 * lmax + 3, 4 * lmax + 4
    theta = numpy.arange(nt) * numpy.pi / (nt - 1)
    phi = 2 * numpy.pi * numpy.arange(nphi) / nphi
    grid_theta, grid_phi = numpy.meshgrid(theta, phi, indexing="ij")
    expected = sum(c * real_harmonic(l, m, grid_theta, grid_phi, "4pi", False, "standard") for l, m, c in terms)
    assert_close_to_largest(field.sample(nt, nphi), expected)
    # The same sum at points off the grid.
    points = rng.uniform(0, numpy.pi, 50), rng.uniform(0, 2 * numpy.pi, 50)
    expected = sum(c * real_harmonic(l, m, *points, "4pi", False, "standard") for l, m, c in terms)
    assert_close_to_largest(field(*points), expected)


def test_complex_harmonics_are_scipys_sph_harm(rng):
    theta, phi = rng.uniform(0, numpy.pi, 30), rng.uniform(0, 2 * numpy.pi, 30)
    for l in range(0, 30, 3):
        for m in range(-l, l + 1):
            field = lobara.ComplexField.harmonic(l, m, lobara.Convention("ortho", cs=True))
            assert_close_to_largest(field(theta, phi), scipy.special.sph_harm(m, l, phi, theta))
    # A sum with complex coefficients, sampled.
    terms = [(l, m, complex(*rng.uniform(-1, 1, 2))) for l in range(12) for m in range(-l, l + 1)]
    field = lobara.ComplexField(terms, lobara.Convention("ortho", cs=True))
    grid_theta, grid_phi = numpy.meshgrid(*lobara.grid(30, 48), indexing="ij")
    expected = sum(c * scipy.special.sph_harm(m, l, grid_phi, grid_theta) for l, m, c in terms)
    assert_close_to_largest(field.sample(30, 48), expected)


def test_high_orders_stay_exact_where_scipy_fails():
    l, m = 120, 100
    theta = numpy.array([0.9, 1.2, 1.5707963267948966, 2.4])
    phi = numpy.array([0.3, 1.1, 2.0, 5.0])
    assert not numpy.all(numpy.isfinite(scipy.special.sph_harm(m, l, phi, theta)) &
                         (scipy.special.sph_harm(m, l, phi, theta) != 0))
    mpmath.mp.dps = 40
    expected = numpy.array([complex(mpmath.spherharm(l, m, t, p)) for t, p in zip(theta, phi)])
    largest = max(abs(complex(mpmath.spherharm(l, m, t, 0))) for t in numpy.linspace(0.3, math.pi / 2, 30))
    actual = lobara.ComplexField.harmonic(l, m, lobara.Convention("ortho", cs=True))(theta, phi)
    assert numpy.max(numpy.abs(actual - expected)) <= 1e-12 * largest


def test_healpy_coefficients_make_healpys_map(rng):
    lmax, nside = 24, 16
    size = healpy.Alm.getsize(lmax)
    alm = rng.uniform(-1, 1, size) + 1j * rng.uniform(-1, 1, size)
    alm[:lmax + 1] = alm[:lmax + 1].real  # a real map's a_l0 are real
    expected = healpy.alm2map(alm, nside, lmax=lmax)
    theta, phi = healpy.pix2ang(nside, numpy.arange(healpy.nside2npix(nside)))
    assert_close_to_largest(lobara.Field.from_healpy(alm)(theta, phi), expected)


def test_healpy_layout_with_mmax_follows_its_definition(rng):
    lmax, mmax = 9, 4
    size = healpy.Alm.getsize(lmax, mmax)
    alm = rng.uniform(-1, 1, size) + 1j * rng.uniform(-1, 1, size)
    theta, phi = rng.uniform(0, numpy.pi, 20), rng.uniform(0, 2 * numpy.pi, 20)
    # f = sum over l and -l <= m <= l of a_lm Y_lm, with a_l,-m = (-1)^m conj a_lm, from the index formula.
    expected = numpy.zeros(20, dtype=complex)
    for m in range(mmax + 1):
        for l in range(m, lmax + 1):
            a = alm[m * (2 * lmax + 1 - m) // 2 + l]
            if m == 0:
                a = a.real
            expected += a * scipy.special.sph_harm(m, l, phi, theta)
            if m > 0:
                expected += (-1) ** m * numpy.conj(a) * scipy.special.sph_harm(-m, l, phi, theta)
    assert numpy.max(numpy.abs(expected.imag)) < 1e-12 * numpy.max(numpy.abs(expected))
    field = lobara.Field.from_healpy(alm, lmax=lmax, mmax=mmax)
    assert_close_to_largest(field(theta, phi), expected.real)


@pytest.mark.parametrize("norm,csphase", [("4pi", 1), ("ortho", -1), ("schmidt", 1), ("unnorm", -1)])
def test_shtools_layout_follows_its_definition(norm, csphase, rng):
    lmax = 8
    cilm = rng.uniform(-1, 1, (2, lmax + 1, lmax + 1))
    theta, phi = rng.uniform(0, numpy.pi, 25), rng.uniform(0, 2 * numpy.pi, 25)
    # cilm[0, l, m] n(l, m) P_lm cos(m phi) + cilm[1, l, m] n(l, m) P_lm sin(m phi), P_lm from SciPy's
    # lpmv, which carries the (-1)^m phase, and n from the normalisation's formula.
    expected = numpy.zeros(25)
    for l in range(lmax + 1):
        for m in range(l + 1):
            p = scipy.special.lpmv(m, l, numpy.cos(theta)) * (1 if csphase == -1 else (-1) ** m)
            expected += normalization(l, m, norm) * p * (cilm[0, l, m] * numpy.cos(m * phi) + cilm[1, l, m] * numpy.sin(m * phi))
    field = lobara.Field.from_shtools(cilm, norm, csphase)
    assert_close_to_largest(field(theta, phi), expected)


def test_layouts_go_back_and_healpys_map_of_an_shtools_field_is_the_fields(rng):
    lmax = 12
    cilm = numpy.tril(rng.uniform(-1, 1, (2, lmax + 1, lmax + 1)))
    cilm[1, :, 0] = 0
    field = lobara.Field.from_shtools(cilm, "schmidt", -1)
    assert numpy.allclose(field.to_shtools("schmidt", -1), cilm, rtol=1e-14, atol=0)
    alm = field.to_healpy()
    assert numpy.allclose(lobara.Field.from_healpy(alm).to_healpy(), alm, rtol=1e-14, atol=1e-16)
    nside = 8
    theta, phi = healpy.pix2ang(nside, numpy.arange(healpy.nside2npix(nside)))
    assert_close_to_largest(field(theta, phi), healpy.alm2map(alm, nside, lmax=lmax))


def test_a_field_keeps_its_values_in_another_convention(rng):
    terms = [(l, m, rng.uniform(-1, 1)) for l in range(10) for m in range(-l, l + 1)]
    field = lobara.Field(terms, lobara.Convention("schmidt", True, "standard"))
    theta, phi = rng.uniform(0, numpy.pi, 30), rng.uniform(0, 2 * numpy.pi, 30)
    for convention in CONVENTIONS:
        converted = field.in_convention(convention)
        assert converted.convention == convention
        assert_close_to_largest(converted(theta, phi), field(theta, phi))
    # The named sets are those the README's --convention names.
    assert lobara.Convention.named("physics") == lobara.Convention("ortho", True, "standard")
    assert lobara.Convention.named("geodesy") == lobara.Convention("4pi", False, "standard")
    # A coefficient of Y(1, -1) in the lobara sine is minus that of the standard one; 4pi's is
    # ortho's over sqrt(4 pi).
    assert lobara.LOBARA.convert(1, -1, 2.0, lobara.Convention(sine="standard")) == pytest.approx(-2.0)
    assert lobara.LOBARA.convert(3, 2, 1.0, lobara.GEODESY) == pytest.approx(1 / math.sqrt(4 * math.pi))


def test_ambisonic_channels_orbitals_and_files_are_what_they_say(tmp_path):
    # W + X in AmbiX is a cardioid towards +x: 2 there, 0 at -x.
    cardioid = lobara.Field.acn([1, 0, 0, 1])
    assert cardioid(numpy.pi / 2, [0, numpy.pi]) == pytest.approx([2, 0], abs=1e-15)
    # Orbitals are positive where their polynomial is, in every convention.
    for convention in CONVENTIONS:
        assert lobara.Field.orbital("p_x", convention)(numpy.pi / 2, 0) > 0
        assert lobara.Field.orbital("d_xy", convention)(numpy.pi / 2, numpy.pi / 4) > 0
    assert "d_x2-y2" in lobara.ORBITALS
    # An shtools text file: 4pi, +sin; C(2, 1) = 0.5 and S(2, 1) = -0.25.
    path = tmp_path / "model.txt"
    path.write_text("2 1 0.5 -0.25\n")
    theta, phi = 0.7, 1.9
    expected = 0.5 * real_harmonic(2, 1, theta, phi, "4pi", False, "standard") - 0.25 * real_harmonic(
        2, -1, theta, phi, "4pi", False, "standard")
    assert lobara.Field.from_file(path)(theta, phi) == pytest.approx(expected, abs=1e-14)
    assert lobara.Field.from_file(path, norm="schmidt").convention == lobara.Convention("schmidt", False, "standard")
