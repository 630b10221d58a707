"""Gravity and magnetic models at geodetic places, and their quantities' coefficients.

A :class:`~lobara.Field` read from a model's file keeps the model's constants as pyshtools' coefficient
classes name them, ``field.gm`` (m³/s²) and ``field.r0`` (m), and a magnetic model's secular variation
as ``field.rate``, the field of its coefficients' yearly rates::

    >>> wmm = lobara.Field.from_file("WMM.COF", epoch="2027-07-02")
    >>> wmm.at_geodetic(80.0, 0.0, 0.0, quantity="D")              # declination, degrees east
    >>> wmm.at_geodetic(lat[:, None], lon[None, :], 0.0, quantity="F", secular_variation=True)
    >>> egm = lobara.Field.from_file("EGM2008.gfc", lmax=360)
    >>> egm.at_geodetic(46.5, 7.5, 1000.0, quantity="height-anomaly", remove_normal="GRS80")
    >>> egm.quantity("geoid", remove_normal="GRS80").sample(181, 360)

Places are geodetic latitude and longitude in degrees and the height in metres above the ellipsoid:
that of ``remove_normal``, else GRS80 for a gravity model and WGS84 for a magnetic one. The quantities
and their units are lobara-render's ``--quantity`` (see :data:`QUANTITIES`).
"""

import math

import numpy

from . import _lobara

#: The quantities' names, as lobara-render's --quantity takes them.
QUANTITIES = tuple(_lobara.quantity_names())
#: The reference ellipsoids whose normal field ``remove_normal`` removes, and ``"none"``.
NORMAL_FIELDS = ("GRS80", "WGS84", "none")


def _constant(value, given):
    """A model constant given in the call, else the field's, NaN for none."""
    chosen = given if given is not None else value
    return _lobara.NOT_STATED if chosen is None else float(chosen)


def _smoothing(radius):
    return _lobara.NOT_STATED if radius is None else float(radius)


def at_geodetic(field, lat, lon, h=0.0, quantity="potential", *, remove_normal=None, smooth_radius=None,
                secular_variation=False, gm=None, r0=None):
    """The quantity of the model at geodetic places, lat, lon and h broadcast against each other.

    ``remove_normal`` removes the normal field of an ellipsoid (to degree 20), ``"none"`` says the
    model is of the disturbing potential already; the quantities of the disturbing potential (geoid,
    height-anomaly, gravity-disturbance, gravity-anomaly, deflection-north, deflection-east) need one
    of them. ``smooth_radius`` smooths a gravity model by Jekeli's Gaussian kernel of that radius in
    km. ``secular_variation`` gives the yearly change of a magnetic element (X, Y, Z, H, F, D, I) from
    the model's rates. ``gm`` and ``r0`` stand in for constants the field does not carry."""
    lat, lon, h = numpy.broadcast_arrays(*(numpy.asarray(v, dtype=float) for v in (lat, lon, h)))
    rate = getattr(field, "rate", None)
    values = _lobara.quantity_at_geodetic(
        field._core, None if rate is None else rate._core, _constant(getattr(field, "gm", None), gm),
        _constant(getattr(field, "r0", None), r0), quantity, numpy.ravel(lat), numpy.ravel(lon), numpy.ravel(h),
        remove_normal or "", _smoothing(smooth_radius), bool(secular_variation))
    values = values.reshape(lat.shape)
    return values[()] if values.ndim == 0 else values


def model_quantity(field, name, height=0.0, *, remove_normal=None, smooth_radius=None, gm=None, r0=None):
    """The field of the quantity's coefficients on the sphere of radius r0 + height, in its unit:
    what lobara-render's --quantity samples and --coeffs-out writes (the geoid with Bruns' formula
    and the ellipsoid's mean normal gravity; ewh from the load Love numbers). The quantities taken at
    geodetic places only, and the intensity, have none: take them with :func:`at_geodetic`."""
    from .field import Field
    if not math.isfinite(float(height)):
        raise ValueError(f"height needs a finite number of metres, not {height!r}")
    core = _lobara.model_quantity(field._core, _constant(getattr(field, "gm", None), gm),
                                  _constant(getattr(field, "r0", None), r0), name, float(height),
                                  remove_normal or "", _smoothing(smooth_radius))
    return Field._of(core)
