"""The grids of sampling and analysis against NumPy: values summed here from the textbook recurrence
of the normalised Legendre functions at each grid's nodes (NumPy's Gauss-Legendre nodes for gl),
analysed by lobara to every degree below the field's (the exact projection), and lobara's samples
on each grid against the same sums; the unnormalised factors against mpmath's factorials."""

import math
import warnings

import mpmath
import numpy
import pytest
from conftest import assert_close_to_largest

import lobara

GRIDS = ["lobara", "cells", "dh", "gl"]


def legendre_rows(lmax, theta):
    """Pbar[m][l - m] at the points theta: sqrt((2l + 1)/(4π) (l - m)!/(l + m)!) P_l^m(cos θ), no
    (-1)^m, by the recurrence in l from Pbar_mm = sqrt((2m + 1)/(4π) (2m - 1)!!/(2m)!!) sin^m θ."""
    x, u = numpy.cos(theta), numpy.abs(numpy.sin(theta))
    rows, start = [], numpy.full_like(x, math.sqrt(1.0 / (4.0 * math.pi)))
    for m in range(lmax + 1):
        if m > 0:
            start = start * u * math.sqrt((2 * m + 1) / (2 * m))
        values = [start]
        if m < lmax:
            values.append(math.sqrt(2 * m + 3) * x * start)
        for l in range(m + 2, lmax + 1):
            a = math.sqrt((4 * l * l - 1) / (l * l - m * m))
            b = math.sqrt(((l - 1) ** 2 - m * m) / (4 * (l - 1) ** 2 - 1))
            values.append(a * (x * values[-1] - b * values[-2]))
        rows.append(values)
    return rows


def numpy_values(terms, theta, phi):
    """The field Σ c Y(l, m) in lobara's own convention (Y(l, m) = √2 Pbar cos(mφ), Y(l, -m) =
    -√2 Pbar sin(mφ)) on the grid theta x phi."""
    lmax = max(l for l, _, _ in terms)
    rows = legendre_rows(lmax, theta)
    values = numpy.zeros((len(theta), len(phi)))
    for l, m, c in terms:
        a = abs(m)
        azimuth = (numpy.ones_like(phi) if m == 0 else math.sqrt(2.0) * numpy.cos(a * phi) if m > 0
                   else -math.sqrt(2.0) * numpy.sin(a * phi))
        values += c * numpy.outer(rows[a][l - a], azimuth)
    return values


def grid_nodes(grid, rows, columns):
    """Each grid's rings from its definition, NumPy's Gauss-Legendre nodes from the north for gl."""
    i = numpy.arange(rows)
    theta = {"lobara": numpy.pi * i / max(rows - 1, 1), "cells": numpy.pi * (i + 0.5) / rows,
             "dh": numpy.pi * i / rows,
             "gl": numpy.arccos(-numpy.polynomial.legendre.leggauss(rows)[0])}[grid]
    return theta, 2.0 * numpy.pi * numpy.arange(columns) / columns


def smallest_grid(grid, degree, scale):
    rows = scale * (degree + 2 if grid == "lobara" else degree + 1)
    return rows, 2 * rows if grid == "dh" else scale * (2 * degree + 1)


def random_terms(rng, degree):
    return [(l, m, rng.uniform(-1, 1)) for l in range(degree + 1) for m in range(-l, l + 1)]


@pytest.mark.parametrize("grid", GRIDS)
@pytest.mark.parametrize("scale", [1, 2])
def test_analysis_below_the_fields_degree_is_its_exact_projection(grid, scale, rng):
    # A field of degree 40, on the grid that just holds it and on one twice as fine, analysed to
    # each of 10, 20, 39 and 40: its own coefficients up to there. lobara, cells and dh were off
    # by up to 0.15 of the largest coefficient below the grid's limit.
    degree = 40
    terms = random_terms(rng, degree)
    rows, columns = smallest_grid(grid, degree, scale)
    values = numpy_values(terms, *grid_nodes(grid, rows, columns))
    for lmax in (degree // 4, degree // 2, degree - 1, degree):
        l, m, c = lobara.Field.analyze(values, grid=grid, lmax=lmax).terms
        expected = {(tl, tm): tc for tl, tm, tc in terms if tl <= lmax}
        assert len(c) == len(expected)
        assert_close_to_largest(c, [expected[(a, b)] for a, b in zip(l, m)])


@pytest.mark.parametrize("grid", GRIDS)
def test_samples_on_every_grid_are_the_fields_values(grid, rng):
    degree = 30
    terms = random_terms(rng, degree)
    field = lobara.Field(terms)
    for rows, columns in (smallest_grid(grid, degree, 1), (97, 194)):
        nodes = grid_nodes(grid, rows, columns)
        assert_close_to_largest(field.sample(rows, columns, grid=grid), numpy_values(terms, *nodes))
        theta, phi = lobara.grid(rows, columns, grid=grid)[:2]
        assert numpy.allclose(numpy.cos(theta), numpy.cos(nodes[0]), rtol=0, atol=1e-15)
        assert numpy.allclose(phi, nodes[1], rtol=0, atol=1e-14)


@pytest.mark.parametrize("grid", GRIDS)
def test_samples_of_degree_500_analyse_back_on_their_grid(grid, rng):
    # Gauss-Legendre's analysis sums over its 501 rings, where the others sum over about 1000: the
    # rounding of the sums, which averages over the rings, is a third larger (1.3e-13 seen).
    degree = 500
    terms = random_terms(rng, degree)
    rows, columns = smallest_grid(grid, degree, 1)
    values = lobara.Field(terms).sample(rows, columns, grid=grid)
    l, m, c = lobara.Field.analyze(values, grid=grid).terms
    assert_close_to_largest(c, [t[2] for t in terms], 2e-13 if grid == "gl" else 1e-13)


def test_the_gauss_legendre_grid_has_numpys_nodes_and_weights():
    theta, phi, weights = lobara.grid(7, 3, grid="gl")
    x, w = numpy.polynomial.legendre.leggauss(7)
    assert numpy.allclose(numpy.cos(theta), -x, rtol=0, atol=1e-15)
    assert numpy.allclose(weights, w, rtol=0, atol=1e-15)
    assert len(lobara.grid(7, 3, grid="cells")) == 2
    with pytest.raises(ValueError, match="Driscoll-Healy"):
        lobara.grid(7, 13, grid="dh")
    with pytest.raises(ValueError, match="grid needs one of"):
        lobara.Field.harmonic(2, 1).sample(5, 6, grid="healpix")


def test_samples_warn_only_below_the_analysis_limit():
    # Degree 299 is determined by 301 x 599 samples of the lobara grid (302 x 600 warned).
    field = lobara.Field([(299, 5, 1.0), (3, -2, 0.5)])
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        field.sample(302, 600)
        field.sample(301, 599)
        field.sample(300, 599, grid="gl")
    with pytest.warns(lobara.AliasingWarning, match="301 x 599"):
        field.sample(300, 599)
    with pytest.warns(lobara.AliasingWarning, match="300 x 600"):
        field.sample(299, 598, grid="dh")


def test_unnormalised_factors_are_mpmaths_to_the_last_bit():
    # sqrt(4π/((2 - d)(2l + 1)) (l + |m|)!/(l - |m|)!) rounded once, up to the degrees where it
    # leaves the double range, and infinite beyond (they were off by 3.4e-14 at l = 40).
    mpmath.mp.prec = 200
    for l in list(range(0, 176)) + [300, 2000]:
        m = numpy.arange(-l, l + 1)
        factors = lobara.Convention("unnorm", sine="standard").factors(numpy.full(m.shape, l), m)
        for a in range(0, l + 1, 1 if l < 200 else 37):
            exact = mpmath.sqrt(4 * mpmath.pi / ((1 if a == 0 else 2) * (2 * l + 1))
                                * mpmath.factorial(l + a) / mpmath.factorial(l - a))
            expected = float(exact) if exact < mpmath.mpf(numpy.finfo(float).max) else math.inf
            assert abs(factors[l + a]) == expected and abs(factors[l - a]) == expected, (l, a)
