"""The analysis, rotation and power of real and complex fields against SciPy's harmonics, their
nodes and the formulas they follow; fits at points against NumPy's least squares; rotations by a
matrix against SciPy's Rotation and healpy's rotate_alm."""

import math

import numpy
import pytest
import scipy.spatial.transform
import scipy.special
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


def design_matrix(theta, phi, lmax):
    """Each harmonic of this program's convention up to lmax at the points, from SciPy: (points, terms)."""
    keys = [(l, m) for l in range(lmax + 1) for m in range(-l, l + 1)]
    return keys, numpy.stack([real_harmonic(l, m, theta, phi) for l, m in keys], axis=1)


def test_weighted_points_fit_as_numpys_least_squares(rng):
    # Values that are no field of degree 3, so that the weights decide the fit.
    count, lmax = 70, 3
    theta, phi = numpy.arccos(rng.uniform(-1, 1, count)), rng.uniform(0, 2 * math.pi, count)
    values, weights = rng.normal(size=count), rng.uniform(0.2, 5.0, count)
    keys, a = design_matrix(theta, phi, lmax)
    root = numpy.sqrt(weights)
    expected = numpy.linalg.lstsq(root[:, None] * a, root * values, rcond=None)[0]
    field = lobara.Field.analyze(values, grid="points", theta=theta, phi=phi, weights=weights, lmax=lmax)
    found = dict(zip(zip(*field.terms[:2]), field.terms[2]))
    assert max(abs(found.get(key, 0.0) - c) for key, c in zip(keys, expected)) <= 1e-10 * max(abs(expected))


def test_points_of_a_field_give_it_back_at_the_degree_they_determine(rng):
    terms = [(l, m, rng.uniform(-1, 1)) for l in range(5) for m in range(-l, l + 1)]
    theta, phi = numpy.arccos(rng.uniform(-1, 1, 400)), rng.uniform(0, 2 * math.pi, 400)
    field = lobara.Field.analyze(scipy_values(terms, theta, phi), grid="points", theta=theta, phi=phi,
                                 convention=lobara.GEODESY)
    assert field.convention == lobara.GEODESY and field.max_degree >= 4
    points = rng.uniform(0, math.pi, 30), rng.uniform(0, 2 * math.pi, 30)
    assert_close_to_largest(field(*points), scipy_values(terms, *points), 1e-9)
    # Fewer places than coefficients: a warning with the count.
    with pytest.warns(lobara.FitWarning, match="cannot determine degree 4: 10 distinct points for 25"):
        lobara.Field.analyze(numpy.ones(10), grid="points", theta=theta[:10], phi=phi[:10], lmax=4)


def complex_terms(rng, lmax):
    return [(l, m, complex(rng.uniform(-1, 1), rng.uniform(-1, 1))) for l in range(lmax + 1) for m in range(-l, l + 1)]


def sph_harm_values(terms, theta, phi):
    return sum(c * scipy.special.sph_harm(m, l, phi, theta) for l, m, c in terms)


def test_complex_values_analyse_to_scipys_coefficients(rng):
    terms = complex_terms(rng, L)
    theta = numpy.arccos(-numpy.polynomial.legendre.leggauss(L + 1)[0])
    phi = 2.0 * math.pi * numpy.arange(2 * L + 2) / (2 * L + 2)
    values = sph_harm_values(terms, *numpy.meshgrid(theta, phi, indexing="ij"))
    scipys = lobara.Convention("ortho", cs=True)
    field = lobara.ComplexField.analyze(values, grid="gl", convention=scipys)
    assert field.convention == scipys
    l, m, c = field.terms
    expected = {(t[0], t[1]): t[2] for t in terms}
    assert_close_to_largest(c, [expected[key] for key in zip(l, m)])
    # The mean of |f_l|^2 over the sphere: the sum of |c|^2 over 4 pi.
    degrees, power = field.power
    assert_close_to_largest(power, [sum(abs(c) ** 2 for k, _, c in terms if k == d) / (4 * math.pi)
                                    for d in degrees])


@pytest.mark.parametrize("convention", [lobara.LOBARA, lobara.Convention("unnorm", cs=True),
                                        lobara.Convention("schmidt"), lobara.Convention("4pi", cs=True)])
def test_complex_terms_are_the_ones_given(convention, rng):
    terms = complex_terms(rng, 6)
    l, m, c = lobara.ComplexField(terms, convention).terms
    assert list(zip(l, m)) == [t[:2] for t in terms]
    assert_close_to_largest(c, [t[2] for t in terms])


def sphere_points(rng, count):
    theta, phi = numpy.arccos(rng.uniform(-1, 1, count)), rng.uniform(0, 2 * math.pi, count)
    xyz = numpy.stack([numpy.sin(theta) * numpy.cos(phi), numpy.sin(theta) * numpy.sin(phi), numpy.cos(theta)], 1)
    return theta, phi, xyz


def angles_of(xyz):
    return numpy.arccos(numpy.clip(xyz[:, 2], -1, 1)), numpy.arctan2(xyz[:, 1], xyz[:, 0])


def test_a_field_turned_by_scipys_matrix_is_the_field_turned_back(rng):
    rotation = scipy.spatial.transform.Rotation.from_euler("ZYX", [40, -70, 15], degrees=True)
    theta, phi, xyz = sphere_points(rng, 60)
    back = angles_of(rotation.inv().apply(xyz))
    terms = random_terms(rng)
    turned = lobara.Field(terms).rotated(matrix=rotation.as_matrix())
    assert_close_to_largest(turned(theta, phi), scipy_values(terms, *back))
    complex_ = complex_terms(rng, 8)
    turned = lobara.ComplexField(complex_, lobara.Convention("ortho", cs=True)).rotated(matrix=rotation.as_matrix())
    assert_close_to_largest(turned(theta, phi), sph_harm_values(complex_, *back))
    # The texts turn the complex field as well.
    by_text = lobara.ComplexField(complex_).rotated("axis:1,2,3,50")
    axis = scipy.spatial.transform.Rotation.from_rotvec(numpy.array([1, 2, 3]) / math.sqrt(14) * math.radians(50))
    assert_close_to_largest(by_text(theta, phi), lobara.ComplexField(complex_)(*angles_of(axis.inv().apply(xyz))))


def test_a_field_turned_by_healpys_matrix_has_rotate_alms_coefficients(rng):
    import healpy
    lmax = 10
    size = healpy.Alm.getsize(lmax)
    alm = rng.uniform(-1, 1, size) + 1j * rng.uniform(-1, 1, size)
    alm[:lmax + 1] = alm[:lmax + 1].real
    matrix = healpy.Rotator(rot=(30, 50, -20)).mat
    turned = alm.copy()
    healpy.rotate_alm(turned, matrix=matrix)
    mine = lobara.Field.from_healpy(alm).rotated(matrix=matrix).to_healpy(lmax)
    assert numpy.max(numpy.abs(mine - turned)) <= 1e-12 * numpy.max(numpy.abs(turned))


def test_matrices_and_values_that_are_not_finite_or_no_rotation_raise():
    field = lobara.Field.harmonic(2, 1)
    for matrix, message in [(numpy.diag([1.0, 1.0, -1.0]), "reflection"), (numpy.diag([1.0, 2.0, 1.0]), "no rotation"),
                            (numpy.eye(2), r"shape \(3, 3\)"), (numpy.full((3, 3), numpy.nan), "finite"),
                            (numpy.diag([1.0, numpy.inf, 1.0]), "finite")]:
        for turn in (field.rotated, lobara.ComplexField.harmonic(2, 1).rotated):
            with pytest.raises(ValueError, match=message):
                turn(matrix=matrix)
    with pytest.raises(ValueError, match="not both"):
        field.rotated("zyz:1,2,3", matrix=numpy.eye(3))
    theta, phi, values = numpy.array([0.5, 1.0, 2.0]), numpy.array([0.0, 1.0, 2.0]), numpy.ones(3)
    for key, bad in [("theta", [0.5, numpy.nan, 2.0]), ("phi", [0.0, numpy.inf, 2.0]), ("values", [1.0, -numpy.inf, 1.0]),
                     ("weights", [1.0, numpy.nan, 1.0]), ("weights", [1.0, 0.0, 1.0]), ("theta", [0.5, 4.0, 2.0])]:
        given = dict(theta=theta, phi=phi, values=values, weights=None, lmax=1)
        given[key] = numpy.array(bad)
        with pytest.raises(ValueError):
            lobara.Field.analyze(grid="points", **given)
        given["values"] = given["values"] * (1 + 1j)
        with pytest.raises(ValueError):
            lobara.ComplexField.analyze(grid="points", **given)
    with pytest.raises(ValueError, match="finite"):
        lobara.ComplexField.analyze(numpy.full((6, 10), complex(numpy.nan, 0)))
    with pytest.raises(ValueError, match="finite"):
        lobara.ComplexField.analyze(numpy.full((6, 10), complex(0, numpy.inf)))
    with pytest.raises(ValueError, match="needs the points"):
        lobara.Field.analyze(values, grid="points", theta=theta)
    with pytest.raises(ValueError, match="go with grid='points'"):
        lobara.Field.analyze(numpy.zeros((6, 10)), theta=theta, phi=phi)
