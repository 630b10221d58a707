"""Real and spin-weighted fields on the sample grids of :func:`lobara.grid` ("lobara", "cells",
"dh", "gl"), from and to healpy's a_lm: of a real field as :func:`lobara.healpix.alm2map` takes
them, and the gradient and curl a_lm (E and B for spin 2) in healpy's COSMO convention as
:func:`lobara.healpix.alm2map_spin` has it: Q + iU = -Σ (a_E + i a_B) ₛY_lm (for the IAU convention
negate U).

    >>> t = lobara.alm2grid(alm, 64, 128, grid="gl")              # (64, 128)
    >>> alm = lobara.grid2alm(t, grid="gl")                       # exact up to the grid's limit
    >>> qu = lobara.alm2grid_spin([e, b], 2, 64, 128, grid="gl")    # (2, 64, 128): Q, U
    >>> e, b = lobara.grid2alm_spin(qu, 2, grid="gl")              # exact up to the grid's limit

The analysis is exact, to rounding, for every field of degree up to the grid's limit (as
:meth:`lobara.Field.analyze` for spin 0): ntheta - 2 for "lobara", ntheta - 1 for the others, and
(nphi - 1) / 2. The work runs without the GIL on ``threads`` threads (0: one for each core).
"""

import numpy

from . import _lobara
from .field import _count, _threads
from .healpix import _as_alms, _spin


def _grid(grid):
    names = _lobara.grid_names()
    if grid not in names:
        raise ValueError(f"grid needs one of {', '.join(names)}, not {grid!r}")
    return grid


def alm2grid(alms, ntheta, nphi=None, grid="lobara", lmax=None, mmax=None, *, threads=0):
    """The map of a real field, shape (ntheta, nphi), from its a_lm (several arrays of a_lm: the
    maps of each, shape (k, ntheta, nphi)) on a grid of :func:`lobara.grid`: row i at θ_i, column j
    at φ_j = 2π·j/nphi; the values healpy's alm2map gives at those points. nphi is 2·ntheta unless
    given; lmax and mmax as healpy infers them from the size unless given."""
    array, lmax, mmax, single = _as_alms(alms, lmax, mmax)
    ntheta = _count(ntheta, "ntheta")
    nphi = 2 * ntheta if nphi is None else _count(nphi, "nphi")
    maps = _lobara.grid_synthesis(array, lmax, mmax, ntheta, nphi, _grid(grid), _threads(threads))
    return maps[0] if single else maps


def grid2alm(maps, lmax=None, mmax=None, grid="lobara", *, threads=0):
    """The a_lm in healpy's layout of a real field sampled on a grid, shape (ntheta, nphi) (or the
    rows of a_lm of a stack of maps, shape (k, ntheta, nphi)): exact for a field of degree up to
    lmax, which is the grid's limit unless given, mmax lmax unless given (as
    :meth:`lobara.Field.analyze` and :meth:`lobara.Field.to_healpy`)."""
    from .convention import PHYSICS
    from .field import Field, _real_array
    given = _real_array(maps, "maps")
    if given.ndim not in (2, 3):
        raise ValueError(f"grid2alm needs a map on a grid, shape (ntheta, nphi), or a stack of them, not {given.shape}")
    stack = given if given.ndim == 3 else given[numpy.newaxis]
    limit = _lobara.analysis_limit(_grid(grid), stack.shape[1], stack.shape[2])
    lmax = limit if lmax is None else _count(lmax, "lmax")
    alms = numpy.array([Field.analyze(values, grid, lmax, PHYSICS, threads).to_healpy(lmax, mmax) for values in stack])
    return alms if given.ndim == 3 else alms[0]


def alm2grid_spin(alms, spin, ntheta, nphi=None, grid="lobara", lmax=None, mmax=None, *, threads=0):
    """The two maps of a spin-weighted field (Q and U for spin 2), shape (2, ntheta, nphi), from its
    gradient and curl a_lm, on a grid of :func:`lobara.grid`: row i at θ_i, column j at φ_j =
    2π·j/nphi. nphi is 2·ntheta unless given (Driscoll–Healy's shape, which "dh" needs); lmax and
    mmax as healpy infers them from the size unless given."""
    array, lmax, mmax, _ = _as_alms(alms, lmax, mmax)
    if array.shape[0] != 2:
        raise ValueError(f"alm2grid_spin needs two arrays of a_lm, not {array.shape[0]}")
    ntheta = _count(ntheta, "ntheta")
    nphi = 2 * ntheta if nphi is None else _count(nphi, "nphi")
    return _lobara.spin_grid_synthesis(array, _spin(spin), lmax, mmax, ntheta, nphi, _grid(grid), _threads(threads))


def grid2alm_spin(maps, spin, lmax=None, mmax=None, grid="lobara", *, threads=0):
    """The gradient and curl a_lm, shape (2, size) in healpy's layout, of the two maps of a
    spin-weighted field sampled on a grid, shape (2, ntheta, nphi): exact for a field of degree up
    to lmax, which is the grid's limit unless given (a larger one is refused), mmax lmax unless
    given."""
    given = numpy.asarray(maps)
    if given.dtype.kind not in "biuf":
        raise TypeError(f"maps need real numbers, not values of type {given.dtype}")
    if given.ndim != 3 or given.shape[0] != 2:
        raise ValueError(f"grid2alm_spin needs two maps on a grid, shape (2, ntheta, nphi), not {given.shape}")
    array = numpy.ascontiguousarray(given, dtype=float)
    if not numpy.isfinite(array).all():
        raise ValueError("maps hold values that are not finite (NaN or inf)")
    lmax = -1 if lmax is None else _count(lmax, "lmax")
    mmax = -1 if mmax is None else _count(mmax, "mmax")
    return _lobara.spin_grid_analysis(array, _spin(spin), lmax, mmax, _grid(grid), _threads(threads))


__all__ = ["alm2grid", "alm2grid_spin", "grid2alm", "grid2alm_spin"]
