"""The analysis, rotation and power of fields against SciPy's harmonics, their nodes and the
formulas they follow."""

import math

import numpy
import pytest
import scipy.spatial.transform
from conftest import assert_close_to_largest, real_harmonic

import lobara

L = 12


def random_terms(rng):
    return [(l, m, rng.uniform(-1, 1)) for l in range(L + 1) for m in range(-l, l + 1)]


def scipy_values(terms, theta, phi):
    return sum(c * real_harmonic(l, m, theta, phi) for l, m, c in terms)


@pytest.mark.parametrize("grid", ["lobara", "gl"])
def test_values_from_scipy_analyse_back_to_their_coefficients(grid, rng):
    # The rings of each grid from its definition: both poles and equal steps, or the arccosines
    # of NumPy's Gauss-Legendre nodes from the north.
    rows, columns = L + 2, 2 * L + 2
    theta = (numpy.linspace(0.0, math.pi, rows) if grid == "lobara" else
             numpy.arccos(-numpy.polynomial.legendre.leggauss(L + 1)[0]))
    phi = 2.0 * math.pi * numpy.arange(columns) / columns
    terms = random_terms(rng)
    values = scipy_values(terms, *numpy.meshgrid(theta, phi, indexing="ij"))
    field = lobara.Field.analyze(values, grid=grid, lmax=L)
    l, m, c = field.terms
    expected = {(t[0], t[1]): t[2] for t in terms}
    assert_close_to_largest(c, [expected[key] for key in zip(l, m)])


def test_a_turned_field_at_a_point_is_the_field_at_the_point_turned_back(rng):
    terms = random_terms(rng)
    turned = lobara.Field(terms).rotated("zyz:30,60,-45", "axis:1,1,0,90")
    # The first rotation turns first: R = R2 R1, and f_R(x) = f(R^-1 x).
    first = scipy.spatial.transform.Rotation.from_euler("ZYZ", [30, 60, -45], degrees=True)
    second = scipy.spatial.transform.Rotation.from_rotvec(numpy.array([1, 1, 0]) / math.sqrt(2) * math.pi / 2)
    theta, phi = rng.uniform(0, math.pi, 50), rng.uniform(0, 2 * math.pi, 50)
    points = numpy.stack([numpy.sin(theta) * numpy.cos(phi), numpy.sin(theta) * numpy.sin(phi), numpy.cos(theta)], 1)
    back = (second * first).inv().apply(points)
    expected = scipy_values(terms, numpy.arccos(numpy.clip(back[:, 2], -1, 1)), numpy.arctan2(back[:, 1], back[:, 0]))
    assert_close_to_largest(turned(theta, phi), expected)


def test_the_power_of_a_degree_is_the_sum_of_its_squares_over_4pi(rng):
    terms = random_terms(rng)
    l, power = lobara.Field(terms).power
    assert list(l) == list(range(L + 1))
    expected = [sum(c * c for k, _, c in terms if k == degree) / (4 * math.pi) for degree in range(L + 1)]
    assert_close_to_largest(power, expected)


def test_bad_grids_rotations_and_values_raise():
    values = numpy.zeros((6, 10))
    with pytest.raises(ValueError, match="grid needs one of"):
        lobara.Field.analyze(values, grid="healpix")
    with pytest.raises(ValueError, match="limit is"):
        lobara.Field.analyze(values, lmax=9)
    with pytest.raises(ValueError, match="two-dimensional"):
        lobara.Field.analyze(numpy.zeros(10))
    with pytest.raises(ValueError):
        lobara.Field.harmonic(2, 1).rotated("zyz:1,2")
    with pytest.raises(ValueError, match="threads"):
        lobara.Field.harmonic(2, 1).rotated("zyz:1,2,3", threads=-1)
