"""Sums, differences and multiples of fields, at points against SciPy's harmonics."""

import math

import numpy
import pytest
from conftest import assert_close_to_largest, real_harmonic

import lobara


def scipy_values(terms, convention, theta, phi):
    return sum(c * real_harmonic(l, m, theta, phi, convention.norm, convention.cs, convention.sine)
               for l, m, c in terms)


def random_terms(rng, lmax):
    return [(l, m, rng.uniform(-1, 1)) for l in range(lmax + 1) for m in range(-l, l + 1)]


def test_fields_of_different_conventions_and_degrees_add_in_the_left_ones(rng):
    first, second = random_terms(rng, 6), random_terms(rng, 9)
    a = lobara.Field(first)
    b = lobara.Field(second, lobara.Convention("schmidt", cs=True, sine="standard"))
    a.gm, a.r0 = 3.986004415e14, 6378136.3
    theta, phi = rng.uniform(0, math.pi, 40), rng.uniform(0, 2 * math.pi, 40)
    f = scipy_values(first, a.convention, theta, phi)
    g = scipy_values(second, b.convention, theta, phi)
    for result, expected in [(a + b, f + g), (a - b, f - g), (2 * a, 2 * f), (a * -3, -3 * f), (a / 4, f / 4),
                             (-a, -f), (numpy.float32(0.5) * a, 0.5 * f)]:
        assert result.convention == a.convention
        assert (result.gm, result.r0) == (a.gm, a.r0)
        assert_close_to_largest(result(theta, phi), expected)
    assert (b + a).convention == b.convention
    assert_close_to_largest((b + a)(theta, phi), f + g)
    # A field less itself has no term left.
    assert (a - a).terms[0].size == 0


def test_scalars_that_are_not_finite_or_not_numbers_raise():
    a = lobara.Field([(2, 1, 10.0)])
    for scalar in (math.nan, math.inf, -math.inf, numpy.float64("nan")):
        with pytest.raises(ValueError, match="finite"):
            a * scalar
        with pytest.raises(ValueError, match="finite"):
            scalar * a
        with pytest.raises(ValueError, match="finite"):
            a / scalar
    with pytest.raises(ValueError, match="not finite"):
        a * 1e308  # 1e309 is beyond the range of doubles
    with pytest.raises(ZeroDivisionError):
        a / 0
    for other in ("2", None, True, 1j, [2.0]):
        with pytest.raises(TypeError):
            a * other
    for other in (1.0, "a"):
        with pytest.raises(TypeError):
            a + other
    with pytest.raises(TypeError):
        a * a
