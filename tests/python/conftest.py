"""Shared expectations of the lobara tests: the harmonics from SciPy and their definitions."""

import math

import numpy
import pytest
import scipy.special


def scipy_real_harmonic(l, m, theta, phi):
    """The real harmonic of ortho with the (-1)^m phase and +sin, from SciPy's complex one
    (which carries the phase): Re Y for m = 0, √2 Re Y(l, m) for m > 0, √2 Im Y(l, |m|) for m < 0."""
    y = scipy.special.sph_harm(abs(m), l, phi, theta)
    if m == 0:
        return y.real
    return math.sqrt(2.0) * (y.real if m > 0 else y.imag)


def normalization(l, m, norm):
    """n(l, m) of a normalisation, from the formulas of its table."""
    a = abs(m)
    d = 1.0 if m == 0 else 0.0
    k = math.exp(math.lgamma(l - a + 1) - math.lgamma(l + a + 1))
    return {
        "ortho": math.sqrt((2 - d) * (2 * l + 1) / (4 * math.pi) * k),
        "4pi": math.sqrt((2 - d) * (2 * l + 1) * k),
        "n3d": math.sqrt((2 - d) * (2 * l + 1) * k),
        "schmidt": math.sqrt((2 - d) * k),
        "sn3d": math.sqrt((2 - d) * k),
        "unnorm": 1.0,
    }[norm]


def norm_over_ortho(l, m, norm):
    return normalization(l, m, norm) / normalization(l, m, "ortho")


def real_harmonic(l, m, theta, phi, norm="ortho", cs=False, sine="lobara"):
    """Y(l, m) of a convention at the points, from SciPy: the (-1)^m phase undone unless cs,
    the sine's sign flipped for lobara."""
    y = scipy_real_harmonic(l, m, theta, phi) * norm_over_ortho(l, m, norm)
    if not cs and m % 2:
        y = -y
    if m < 0 and sine == "lobara":
        y = -y
    return y


@pytest.fixture
def rng():
    return numpy.random.default_rng(7)


def assert_close_to_largest(actual, expected, tolerance=1e-12):
    """actual within tolerance of the largest |expected|."""
    expected = numpy.asarray(expected)
    scale = numpy.max(numpy.abs(expected))
    assert numpy.all(numpy.isfinite(actual))
    assert numpy.max(numpy.abs(numpy.asarray(actual) - expected)) <= tolerance * scale
