"""Gravity and magnetic models at geodetic places from Python: WMM2025 against the WMM2025
report's table of test values, broadcast over arrays; a degree-2 gravity model's geoid and height
anomaly at the pole against GRS80's closed-form normal potential (mpmath) and its published normal
gravity; and the refusals."""

import math
import os

import mpmath
import numpy
import pytest

import lobara

WMM = os.path.join(os.path.dirname(__file__), "..", "..", "docs", "WMM2025.COF")
GM, R, C20 = 3.986004415e14, 6378136.3, -0.484165143790815e-3


def test_world_magnetic_model_at_the_reports_test_points():
    # The WMM2025 report's test values at 2027.5: X and D at 0 and 100 km, dF/dt at 0 km.
    field = lobara.Field.from_file(WMM, epoch="2027.5")
    assert field.r0 == 6371200.0 and field.gm is None and field.rate is not None
    lat = numpy.array([80.0, 0.0, -80.0])
    lon = numpy.array([0.0, 120.0, 240.0])
    h = numpy.array([[0.0], [100e3]])
    x = field.at_geodetic(lat, lon, h, quantity="X")
    assert x.shape == (2, 3)
    assert numpy.all(numpy.abs(x - [[6500.8, 39701.6, 6200.7], [6196.7, 37711.5, 5984.0]]) <= 0.05)
    d = field.at_geodetic(lat, lon, h, quantity="D")
    assert numpy.all(numpy.abs(d - [[2.59, -0.24, 68.49], [2.16, -0.23, 67.93]]) <= 0.005)
    df = field.at_geodetic(lat, lon, 0.0, quantity="F", secular_variation=True)
    assert numpy.all(numpy.abs(df - [30.3, -10.7, -89.5]) <= 0.05)
    assert isinstance(field.at_geodetic(80.0, 0.0, quantity="Z"), float)


def normal_potential_on_axis(r):
    """GRS80's normal gravitational potential at distance r on its axis, closed form."""
    mpmath.mp.dps = 40
    a, gm, omega, j2 = mpmath.mpf(6378137), mpmath.mpf("3986005e8"), mpmath.mpf("7292115e-11"), mpmath.mpf("108263e-8")
    e2 = 3 * j2  # the level ellipsoid's e^2 from J2 by its fixed point
    for _ in range(60):
        e = mpmath.sqrt(e2 / (1 - e2))
        q0 = ((1 + 3 / e ** 2) * mpmath.atan(e) - 3 / e) / 2
        e2 = 3 * j2 + mpmath.mpf(4) / 15 * omega ** 2 * a ** 3 / gm * e2 ** 1.5 / (2 * q0)
    b = a * mpmath.sqrt(1 - e2)
    big_e = mpmath.sqrt(a * a - b * b)
    q = lambda u: ((1 + 3 * u * u / big_e ** 2) * mpmath.atan(big_e / u) - 3 * u / big_e) / 2
    r = mpmath.mpf(r)
    return float(gm / big_e * mpmath.atan(big_e / r) + omega ** 2 * a ** 2 / 3 * q(r) / q(b)), float(b)


def test_degree_two_model_at_the_pole(tmp_path):
    path = tmp_path / "degree2.gfc"
    path.write_text(f"begin_of_head\nearth_gravity_constant {GM!r}\nradius {R!r}\nnorm fully_normalized\n"
                    f"end_of_head\ngfc 0 0 1.0 0.0\ngfc 2 0 {C20!r} 0.0\n")
    field = lobara.Field.from_file(path)
    assert (field.gm, field.r0, field.rate) == (GM, R, None)
    # Bruns' geoid on the sphere of radius R with GRS80's published mean normal gravity.
    normal, b = normal_potential_on_axis(R)
    geoid = field.quantity("geoid", remove_normal="GRS80")
    assert geoid(0.0, 0.0) == pytest.approx((GM / R * (1 + math.sqrt(5) * C20) - normal) / 9.7976446561, abs=1e-6)
    # The height anomaly at the geodetic pole (r = b), with the published normal gravity at the pole.
    normal, b = normal_potential_on_axis(b)
    anomaly = field.at_geodetic(90.0, 0.0, 0.0, quantity="height-anomaly", remove_normal="GRS80")
    expected = (GM / b * (1 + math.sqrt(5) * C20 * (R / b) ** 2) - normal) / 9.8321863685
    assert anomaly == pytest.approx(expected, abs=1e-6)
    assert field.at_geodetic(90.0, 0.0, 0.0, quantity="geoid", remove_normal="GRS80") == anomaly


def test_refusals(tmp_path):
    field = lobara.Field.from_file(WMM)
    with pytest.raises(ValueError, match="is of the disturbing potential"):
        field.at_geodetic(0.0, 0.0, 0.0, quantity="geoid", gm=GM)
    with pytest.raises(ValueError, match="the latitude 91 is not from -90 to 90 degrees"):
        field.at_geodetic(91.0, 0.0, 0.0, quantity="X")
    with pytest.raises(ValueError, match="quantity needs one of"):
        field.at_geodetic(0.0, 0.0, 0.0, quantity="declination")
    with pytest.raises(ValueError, match="Br has no secular variation"):
        field.at_geodetic(0.0, 0.0, 0.0, quantity="Br", secular_variation=True)
    with pytest.raises(ValueError, match="has no coefficients of its own"):
        field.quantity("D")
    with pytest.raises(ValueError, match="epoch needs a date"):
        lobara.Field.from_file(WMM, epoch="tomorrow")
    with pytest.raises(ValueError, match="needs its GM"):
        lobara.Field.harmonic(2, 0).at_geodetic(0.0, 0.0, 0.0, quantity="gravity-north", r0=R)
