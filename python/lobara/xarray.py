"""Stacks of gridded fields as xarray DataArrays: a (time, lat, lon) year of daily grids, a decade of
monthly ones, any dimensions besides latitude and longitude, analysed, synthesised, filtered and
smoothed field by field.

    >>> import xarray, lobara.xarray
    >>> stack = xarray.open_dataset("monthly.nc")["lwe_thickness"]        # (time, lat, lon)
    >>> coeffs = lobara.xarray.analyze(stack, lmax=60)                     # (time, coefficient)
    >>> lobara.xarray.power(coeffs)                                        # (time, degree)
    >>> smooth = lobara.xarray.smooth(lobara.xarray.band(coeffs, 2, 60), fwhm_km=600)
    >>> lobara.xarray.synthesize(smooth, "gl", 64, 128)                    # (time, lat, lon)

The grid is recognised from the coordinates ``lat`` and ``lon`` (or ``latitude``, ``longitude``),
in degrees: the equiangular grids "lobara" (both poles), "cells" (cell centres), "dh"
(Driscoll–Healy) and Gaussian latitudes "gl", latitudes in either order, longitudes equally spaced
from 0 or from -180; anything else raises ValueError naming what the coordinates are.

On NumPy-backed arrays the work runs at once, without the GIL, the fields shared among ``threads``
threads (0: one for each core). On Dask-backed arrays every function stays lazy: one task for each
chunk of the other dimensions, latitude and longitude (or the coefficients) whole in each, which
any Dask scheduler runs, the threaded one or ``dask.distributed`` on a cluster (each task then runs
on one thread unless ``threads`` says otherwise). Each field comes out bit for bit as
:meth:`lobara.Field.analyze` gives it.

xarray is imported only when one of these functions is called, so that ``import lobara`` needs it not.
"""

import math

import numpy

from . import _lobara
from .convention import LOBARA, Convention
from .field import MAX_DEGREE

#: The names of the dimensions read as latitude and longitude, in the order they are looked for.
LATITUDE_NAMES = ("lat", "latitude")
LONGITUDE_NAMES = ("lon", "longitude")
#: The sphere's radius (km) for :func:`smooth` unless given: the Earth's mean radius.
EARTH_RADIUS_KM = 6371.0


def _xarray():
    import xarray
    return xarray


def _dimension(da, names, what):
    for name in names:
        if name in da.dims:
            return name
    raise ValueError(f"the array needs a {what} dimension ({' or '.join(names)}); its dimensions are "
                     f"{tuple(da.dims)}")


def _coordinates(da, name):
    if name not in da.coords:
        raise ValueError(f"the dimension {name} has no coordinate: the grid is known from its values")
    return numpy.asarray(da[name].values, dtype=float)


def _whole(da, dims):
    """da with each of dims in a single chunk where it is Dask-backed."""
    if da.chunks is None:
        return da
    return da.chunk({dim: -1 for dim in dims})


def _convention_of(coeffs):
    attrs = coeffs.attrs
    if "norm" not in attrs:
        return LOBARA
    return Convention(attrs["norm"], bool(attrs["cs"]), attrs["sine"])


def _default_threads(da, threads):
    if threads is None:
        return 1 if da.chunks is not None else 0
    if isinstance(threads, bool) or not isinstance(threads, (int, numpy.integer)) or threads < 0:
        raise ValueError(f"threads needs a count from 0, not {threads!r}")
    return int(threads)


def _coefficient_index(da):
    for name in ("l", "m"):
        if name not in da.coords or da[name].dims != ("coefficient",):
            raise ValueError("coefficients need a dimension 'coefficient' with coordinates l and m, as "
                             "lobara.xarray.analyze makes them")
    return (numpy.asarray(da["l"].values, dtype=numpy.int64), numpy.asarray(da["m"].values, dtype=numpy.int64))


def _stacked(values, core):
    """values (..., *core shape) as a C-ordered (fields, *core shape) array, and the leading shape."""
    lead = values.shape[:values.ndim - core]
    return numpy.ascontiguousarray(values, dtype=float).reshape((-1,) + values.shape[values.ndim - core:]), lead


def _analyze_block(values, grid, lmax, norm, cs, sine, south_first, shift, threads):
    stack, lead = _stacked(values, 2)
    if south_first:
        stack = stack[:, ::-1, :]
    if shift:
        stack = numpy.roll(stack, shift, axis=2)
    coefficients = _lobara.analyze_stack(stack, grid, lmax, norm, cs, sine, threads)
    return coefficients.reshape(lead + coefficients.shape[1:])


def _synthesize_block(coefficients, l, m, norm, cs, sine, grid, nlat, nlon, threads):
    stack, lead = _stacked(coefficients, 1)
    values = _lobara.synthesize_stack(l, m, stack, norm, cs, sine, grid, nlat, nlon, threads)
    return values.reshape(lead + values.shape[1:])


def _power_block(coefficients, l, m, norm, cs, sine):
    stack, lead = _stacked(coefficients, 1)
    power = _lobara.power_stack(l, m, stack, norm, cs, sine)
    return power.reshape(lead + power.shape[1:])


def analyze(da, lmax=None, convention=LOBARA, threads=None):
    """The coefficients of each field of a DataArray on latitude and longitude, up to degree
    ``lmax`` (the grid's limit unless given) in ``convention``: a DataArray of dimensions (*others,
    "coefficient") with integer coordinates ``l`` and ``m`` on "coefficient" (every (l, m) up to
    lmax, index l² + l + m, m < 0 the sine harmonics), the other dimensions' coordinates kept, and
    the convention and grid as attributes (norm, cs, sine, grid). Each field's coefficients are
    those of :meth:`lobara.Field.analyze` on it, bit for bit. A cell that is NaN or infinite raises
    ValueError."""
    xarray = _xarray()
    if not isinstance(da, xarray.DataArray):
        raise TypeError(f"analyze needs an xarray.DataArray, not {type(da).__name__}")
    if not isinstance(convention, Convention):
        raise TypeError(f"convention needs a lobara.Convention, not {convention!r}")
    lat = _dimension(da, LATITUDE_NAMES, "latitude")
    lon = _dimension(da, LONGITUDE_NAMES, "longitude")
    grid, south_first, shift = _lobara.recognise_grid(_coordinates(da, lat), _coordinates(da, lon))
    limit = _lobara.analysis_limit(grid, da.sizes[lat], da.sizes[lon])
    if lmax is None:
        lmax = limit
    elif isinstance(lmax, bool) or not isinstance(lmax, (int, numpy.integer)) or not 0 <= lmax <= min(limit, MAX_DEGREE):
        raise ValueError(f"lmax needs a degree from 0 to {limit}, the {grid} grid's limit, not {lmax!r}")
    if lmax < 0:
        raise ValueError(f"a {grid} grid of {da.sizes[lat]} x {da.sizes[lon]} holds no degree")
    count = (lmax + 1) ** 2
    index = numpy.arange(count)
    l = numpy.floor(numpy.sqrt(index)).astype(numpy.int64)
    m = index - l * l - l
    result = xarray.apply_ufunc(
        _analyze_block, _whole(da, (lat, lon)),
        input_core_dims=[[lat, lon]], output_core_dims=[["coefficient"]],
        dask="parallelized", output_dtypes=[float], dask_gufunc_kwargs={"output_sizes": {"coefficient": count}},
        kwargs=dict(grid=grid, lmax=int(lmax), norm=convention.norm, cs=convention.cs, sine=convention.sine,
                    south_first=bool(south_first), shift=int(shift), threads=_default_threads(da, threads)))
    result = result.assign_coords(l=("coefficient", l), m=("coefficient", m))
    result.attrs = {"norm": convention.norm, "cs": int(convention.cs), "sine": convention.sine, "grid": grid}
    return result


def synthesize(coeffs, grid, nlat, nlon, threads=None):
    """The fields of coefficients (as :func:`analyze` makes them, in the convention of their
    attributes) on a grid of ``nlat`` latitudes from the north and ``nlon`` longitudes from 0:
    dimensions (*others, "lat", "lon") with CF coordinates (degrees_north, degrees_east) and the
    grid's name as an attribute."""
    xarray = _xarray()
    l, m = _coefficient_index(coeffs)
    convention = _convention_of(coeffs)
    latitudes, longitudes = _lobara.grid_degrees(grid, nlat, nlon)
    result = xarray.apply_ufunc(
        _synthesize_block, _whole(coeffs, ("coefficient",)),
        input_core_dims=[["coefficient"]], output_core_dims=[["lat", "lon"]],
        dask="parallelized", output_dtypes=[float],
        dask_gufunc_kwargs={"output_sizes": {"lat": int(nlat), "lon": int(nlon)}},
        kwargs=dict(l=l, m=m, norm=convention.norm, cs=convention.cs, sine=convention.sine, grid=grid,
                    nlat=int(nlat), nlon=int(nlon), threads=_default_threads(coeffs, threads)))
    result = result.drop_vars([name for name in ("l", "m") if name in result.coords])
    result = result.assign_coords(
        lat=("lat", numpy.asarray(latitudes), {"units": "degrees_north", "standard_name": "latitude"}),
        lon=("lon", numpy.asarray(longitudes), {"units": "degrees_east", "standard_name": "longitude"}))
    result.attrs = {"grid": grid}
    return result


def power(coeffs):
    """The power of each degree of each field, (*others, "degree") with ``degree`` from 0 to the
    highest: the mean square over the sphere of the field's part of that degree, as
    :attr:`lobara.Field.power` gives it."""
    xarray = _xarray()
    l, m = _coefficient_index(coeffs)
    convention = _convention_of(coeffs)
    degrees = int(l.max()) + 1 if l.size else 0
    result = xarray.apply_ufunc(
        _power_block, _whole(coeffs, ("coefficient",)),
        input_core_dims=[["coefficient"]], output_core_dims=[["degree"]],
        dask="parallelized", output_dtypes=[float], dask_gufunc_kwargs={"output_sizes": {"degree": degrees}},
        kwargs=dict(l=l, m=m, norm=convention.norm, cs=convention.cs, sine=convention.sine))
    result = result.drop_vars([name for name in ("l", "m") if name in result.coords])
    return result.assign_coords(degree=numpy.arange(degrees))


def band(coeffs, lmin=0, lmax=None):
    """The coefficients of degrees ``lmin`` to ``lmax`` (the highest unless given), the others left
    out."""
    l, _ = _coefficient_index(coeffs)
    top = int(l.max()) if l.size else -1
    lmax = top if lmax is None else lmax
    if not 0 <= lmin <= lmax:
        raise ValueError(f"the band needs 0 <= lmin <= lmax, not lmin {lmin!r}, lmax {lmax!r}")
    return coeffs.isel(coefficient=numpy.flatnonzero((l >= lmin) & (l <= lmax)))


def smooth(coeffs, fwhm_km, radius_km=EARTH_RADIUS_KM):
    """The coefficients smoothed by Jekeli's Gaussian kernel, as monthly gravity solutions are:
    W(γ) ∝ exp(-b (1 - cos γ)) with b = ln 2 / (1 - cos(fwhm_km / (2 radius_km))), which falls to half
    its central value at fwhm_km / 2 along the sphere (full width at half maximum fwhm_km), on a sphere
    of ``radius_km`` (the Earth's mean radius unless given). Each coefficient of degree l is
    multiplied by W_l = i_l(b) / i_0(b) (modified spherical Bessel functions; W_0 = 1)."""
    xarray = _xarray()
    l, _ = _coefficient_index(coeffs)
    if not (isinstance(fwhm_km, (int, float)) and math.isfinite(fwhm_km)):
        raise ValueError(f"fwhm_km needs a finite number of km, not {fwhm_km!r}")
    weights = numpy.asarray(_lobara.smoothing_weights(fwhm_km / 2.0, radius_km * 1000.0,
                                                      int(l.max()) if l.size else 0))
    result = coeffs * xarray.DataArray(weights[l], dims="coefficient")
    result.attrs = dict(coeffs.attrs)
    return result
