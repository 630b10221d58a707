"""The shapes of sampling: the grid without a copy, points of any shape."""

import numpy
import pytest

import lobara


def test_the_grid_is_the_documented_one():
    theta, phi = lobara.grid(5, 8)
    assert theta.tolist() == [i * numpy.pi / 4 for i in range(5)]
    assert phi.tolist() == [2 * numpy.pi * j / 8 for j in range(8)]
    assert lobara.grid(1, 1)[0].tolist() == [0.0]


def test_samples_are_the_librarys_buffer_and_stay_alive_after_the_field():
    values = lobara.Field.harmonic(2, 1).sample(7, 12)
    assert values.shape == (7, 12) and values.dtype == numpy.float64
    assert not values.flags.owndata and values.flags.c_contiguous and values.flags.writeable
    view = values[2:4]
    del values
    # The view holds the buffer; its values are the field's.
    theta, phi = lobara.grid(7, 12)
    assert view == pytest.approx(lobara.Field.harmonic(2, 1)(theta[2:4, None], phi), abs=1e-15)


def test_points_broadcast_to_any_shape():
    field = lobara.Field.harmonic(3, 1)
    theta = numpy.linspace(0, numpy.pi, 6).reshape(3, 1, 2)
    phi = numpy.linspace(0, 6, 4).reshape(1, 4, 1)
    values = field(theta, phi)
    assert values.shape == (3, 4, 2)
    assert values[2, 3, 1] == field(float(theta[2, 0, 1]), float(phi[0, 3, 0]))
    assert isinstance(field(1.0, 2.0), float)
    assert field(numpy.zeros((0, 3)), 1.0).shape == (0, 3)
    assert isinstance(lobara.ComplexField.harmonic(3, 1)(1.0, 2.0), complex)


def test_empty_grids_and_the_aliasing_warning():
    field = lobara.Field.harmonic(10, 4)
    assert field.sample(0, 5).shape == (0, 5)
    with pytest.warns(lobara.AliasingWarning, match="12 x 21"):
        field.sample(11, 21)
    assert field.sufficient_grid == (21, 16)
    assert lobara.ComplexField.harmonic(2, 1).sample(5, 6).dtype == numpy.complex128
