"""HEALPix maps and their harmonic coefficients with healpy's names, signatures and layouts.

Maps are in RING order, 12·nside² values each: one map as a 1-D array, several (T, Q, U) as
rows of a 2-D array. Coefficients are healpy's complex a_lm of m >= 0 at index
m·(2·lmax + 1 - m)/2 + l, several as rows. Harmonics are orthonormal with the Condon–Shortley
phase, polarisation in healpy's COSMO convention (Q + iU = -Σ (a_E + i a_B) ₂Y_lm): a map in IAU
convention has U of the opposite sign, so negate U to read it here or in healpy.

    >>> from lobara import healpix
    >>> m = healpix.alm2map(alm, 256)                    # healpy.alm2map
    >>> alm = healpix.map2alm(m, lmax=511, iter=3)       # healpy.map2alm, the same Jacobi steps
    >>> alm, left, steps = healpix.map2alm(m, lmax=511, solver="lsq", return_residual=True)  # least squares
    >>> tqu = healpix.alm2map([t, e, b], 256)            # pol=True: T, Q, U
    >>> cl = healpix.anafast(tqu)                        # TT, EE, BB, TE, EB, TB

Pixels of value UNSEEN (-1.6375e30) are masked out as healpy masks them: the analysis takes them
as 0. NaN and inf are refused with ValueError, as is a map whose length is not 12·nside², and
coefficients of a length that is no layout. The work runs without the GIL on ``threads`` threads
(0: one for each core).
"""

import math

import numpy

from . import _lobara
from .field import _threads
from .healpix_files import _MASK_BLOCK, UNSEEN, mask_bad, nest2ring, read_alm, read_map, ring2nest, write_alm, write_map
from .layouts import healpy_lmax, healpy_size

# The analyses of map2alm: healpy's quadrature and Jacobi steps, or the least-squares solution.
SOLVERS = ("jacobi", "lsq")


def nside2npix(nside):
    """12·nside², the number of pixels of a map of that resolution."""
    return 12 * int(nside) ** 2


def npix2nside(npix):
    """The resolution of a map of npix pixels; ValueError when npix is not 12·nside²."""
    nside = int(round(numpy.sqrt(int(npix) / 12.0)))
    if nside < 1 or 12 * nside * nside != int(npix):
        raise ValueError(f"a HEALPix map holds 12·nside² values, not {npix}")
    return nside


def _as_maps(maps, name="maps"):
    """maps as (rows, pixels) float64 with UNSEEN pixels as 0, and whether one map was given."""
    given = numpy.asarray(maps)
    if given.dtype.kind not in "biuf":
        raise TypeError(f"{name} need real numbers, not values of type {given.dtype}")
    if given.ndim not in (1, 2):
        raise ValueError(f"{name} need one map (pixels,) or several (maps, pixels), not the shape {given.shape}")
    array = numpy.ascontiguousarray(given.reshape(1, -1) if given.ndim == 1 else given, dtype=float)
    npix2nside(array.shape[1])
    # UNSEEN as healpy's mask_bad finds it; the caller's array is left as it is.
    unseen = mask_bad(array)
    if unseen.any():
        array = numpy.where(unseen, 0.0, array)
    if not _all_finite(array):
        raise ValueError(f"{name} hold values that are not finite (NaN or inf)")
    return array, given.ndim == 1


def _all_finite(array, block=_MASK_BLOCK):
    """Whether every value is finite, a block at a time into one buffer (a map's own array of
    flags would be taken afresh, page by page, at each call)."""
    flat = array.reshape(-1)
    finite = numpy.empty(min(flat.size, block), dtype=bool)
    for start in range(0, flat.size, block):
        part = flat[start:start + block]
        if not numpy.isfinite(part, out=finite[:part.size]).all():
            return False
    return True


def _as_alms(alms, lmax, mmax, name="alms"):
    """alms as (rows, coefficients) complex128, their lmax and mmax, and whether one was given."""
    given = numpy.asarray(alms)
    if given.dtype.kind not in "biufc":
        raise TypeError(f"{name} need numbers, not values of type {given.dtype}")
    if given.ndim not in (1, 2):
        raise ValueError(f"{name} need one array of a_lm or several as rows, not the shape {given.shape}")
    # The caller's array itself where it is already complex and contiguous: no copy.
    array = numpy.array(given, dtype=complex, ndmin=2, order="C", copy=False)
    size = array.shape[1]
    if lmax is None:
        lmax = healpy_lmax(size, None if mmax is None else int(mmax))
        if lmax is None:
            raise ValueError(f"{name} of size {size} are no healpy layout" +
                             ("" if mmax is None else f" with mmax = {mmax}"))
    lmax = int(lmax)
    mmax = lmax if mmax is None else int(mmax)
    if not 0 <= mmax <= lmax or size != healpy_size(lmax, mmax):
        raise ValueError(f"{name} of size {size} do not hold lmax = {lmax} and mmax = {mmax}")
    if not numpy.isfinite(array).all():
        raise ValueError(f"{name} hold values that are not finite (NaN or inf)")
    return array, lmax, mmax, given.ndim == 1


def _degrees(lmax, mmax, nside):
    lmax = 3 * nside - 1 if lmax is None else int(lmax)
    mmax = lmax if mmax is None else int(mmax)
    if not 0 <= mmax <= lmax:
        raise ValueError(f"lmax and mmax need 0 <= mmax <= lmax, not lmax = {lmax} and mmax = {mmax}")
    return lmax, mmax


def _spin(spin):
    if not isinstance(spin, (int, numpy.integer)) or not 1 <= spin <= 100:
        raise ValueError(f"spin needs a whole number from 1 to 100, not {spin!r}")
    return int(spin)


def _polarised(count, pol):
    if pol and count not in (1, 3):
        raise ValueError(f"pol=True takes one map or three (T, Q, U), not {count}")
    return pol and count == 3


def _solver(solver, tol, maxiter):
    if solver not in SOLVERS:
        raise ValueError(f"solver needs one of {', '.join(SOLVERS)}, not {solver!r}")
    if isinstance(tol, bool) or not isinstance(tol, (int, float, numpy.integer, numpy.floating)) \
            or not 0 <= tol < math.inf:
        raise ValueError(f"tol needs a finite number from 0, not {tol!r}")
    if isinstance(maxiter, bool) or not isinstance(maxiter, (int, numpy.integer)) or not 0 <= maxiter <= 100000:
        raise ValueError(f"maxiter needs a count of steps from 0 to 100000, not {maxiter!r}")
    return float(tol), int(maxiter)


def _analyse(array, spin, lmax, mmax, iter, solver, tol, maxiter, threads):
    """The a_lm of the rows of array (spin 0: each row; spin s: the pair Q, U), each solve's
    relative residual ||Y a - f|| / ||f||, and its steps."""
    if solver == "lsq":
        alms, residual, steps, _ = _lobara.healpix_least_squares(array, spin, lmax, mmax, tol, maxiter, threads)
        return alms, residual, steps
    if spin == 0:
        alms = _lobara.healpix_analysis(array, lmax, mmax, int(iter), threads)
    else:
        alms = _lobara.healpix_analysis_spin(array, spin, lmax, mmax, int(iter), threads)
    return alms, None, numpy.full(1 if spin else array.shape[0], int(iter), dtype=numpy.int32)


def _with_residual(array, spin, lmax, mmax, threads, analysed):
    alms, residual, steps = analysed
    if residual is None:
        residual = _lobara.healpix_residual(array, alms, spin, lmax, mmax, threads)
    return alms, residual, steps


def map2alm(maps, lmax=None, mmax=None, iter=3, pol=True, *, threads=0, solver="jacobi", tol=1e-14, maxiter=100,
            return_residual=False):
    """healpy.map2alm: the a_lm of one map or of several; with pol and three maps (T, Q, U) the
    a_lm of T, E and B. The quadrature with each pixel's weight 4π/npix, then ``iter`` Jacobi
    steps, each analysing what the synthesis of the a_lm so far leaves of the map, as healpy does.
    lmax is 3·nside - 1 and mmax lmax unless given.

    ``solver="lsq"`` finds instead the a_lm whose synthesis is nearest the map, least squares over
    the pixels, by conjugate gradients on the normal equations from the quadrature (``iter`` is not
    used): each step a synthesis and an adjoint, as a Jacobi step; they stop when the gradient has
    shrunk to ``tol`` of the quadrature or after ``maxiter`` steps. A map of degree lmax up to
    2·nside comes back to ~1e-12 where three Jacobi steps leave 1e-5 to 1e-7. With
    ``return_residual`` the result is (alms, residual, steps): ||Y a - f|| / ||f|| and the steps
    taken of each map, or of T and of the pair Q, U with pol, floats for one map."""
    array, single = _as_maps(maps)
    nside = npix2nside(array.shape[1])
    lmax, mmax = _degrees(lmax, mmax, nside)
    if not isinstance(iter, (int, numpy.integer)) or iter < 0:
        raise ValueError(f"iter needs a count of steps from 0, not {iter!r}")
    tol, maxiter = _solver(solver, tol, maxiter)
    threads = _threads(threads)
    parts = [(array[:1], 0), (array[1:], 2)] if _polarised(array.shape[0], pol) else [(array, 0)]
    analysed = []
    for rows, spin in parts:
        done = _analyse(rows, spin, lmax, mmax, iter, solver, tol, maxiter, threads)
        analysed.append(_with_residual(rows, spin, lmax, mmax, threads, done) if return_residual else done)
    # One part's a_lm as they came: a copy would take fresh pages, as many as the a_lm's.
    alms = analysed[0][0] if len(parts) == 1 else numpy.concatenate([a[0] for a in analysed])
    if single and len(parts) == 1:
        alms = alms[0]
    if not return_residual:
        return alms
    residual = numpy.concatenate([a[1] for a in analysed])
    steps = numpy.concatenate([a[2] for a in analysed])
    if single and len(parts) == 1:
        return alms, float(residual[0]), int(steps[0])
    return alms, residual, steps


def alm2map(alms, nside, lmax=None, mmax=None, pol=True, *, threads=0):
    """healpy.alm2map: the map of one array of a_lm or of several; with pol and three (T, E, B)
    the maps T, Q and U. lmax and mmax as healpy infers them from the size unless given."""
    nside = int(nside)
    array, lmax, mmax, single = _as_alms(alms, lmax, mmax)
    threads = _threads(threads)
    if _polarised(array.shape[0], pol):
        t = _lobara.healpix_synthesis(array[:1], nside, lmax, mmax, threads)
        qu = _lobara.healpix_synthesis_spin(array[1:], nside, 2, lmax, mmax, threads)
        return numpy.concatenate([t, qu])
    maps = _lobara.healpix_synthesis(array, nside, lmax, mmax, threads)
    return maps[0] if single else maps


def map2alm_spin(maps, spin, lmax, mmax=None, *, threads=0, solver="jacobi", tol=1e-14, maxiter=100,
                 return_residual=False):
    """healpy.map2alm_spin: the gradient and curl a_lm (E and B for spin 2) of the two maps of a
    spin-weighted field (Q and U for spin 2), by the quadrature of weight 4π/npix alone; with
    ``solver="lsq"``, ``tol``, ``maxiter`` and ``return_residual`` as :func:`map2alm` has them."""
    array, _ = _as_maps(maps)
    if array.shape[0] != 2:
        raise ValueError(f"map2alm_spin needs two maps, not {array.shape[0]}")
    lmax, mmax = _degrees(lmax, mmax, npix2nside(array.shape[1]))
    spin = _spin(spin)
    tol, maxiter = _solver(solver, tol, maxiter)
    threads = _threads(threads)
    done = _analyse(array, spin, lmax, mmax, 0, solver, tol, maxiter, threads)
    if not return_residual:
        return done[0]
    alms, residual, steps = _with_residual(array, spin, lmax, mmax, threads, done)
    return alms, float(residual[0]), int(steps[0])


def alm2map_spin(alms, nside, spin, lmax, mmax=None, *, threads=0):
    """healpy.alm2map_spin: the two maps of a spin-weighted field from its gradient and curl a_lm."""
    array, lmax, mmax, _ = _as_alms(alms, lmax, mmax)
    if array.shape[0] != 2:
        raise ValueError(f"alm2map_spin needs two arrays of a_lm, not {array.shape[0]}")
    return _lobara.healpix_synthesis_spin(array, int(nside), _spin(spin), lmax, mmax, _threads(threads))


def alm2cl(alms1, alms2=None, lmax=None, mmax=None):
    """healpy.alm2cl: C_l = Σ_m Re(a_lm conj(b_lm)) / (2l + 1) over m = -l .. l, of one array of
    a_lm or of each pair of several: TT, EE, BB, TE, EB, TB for three."""
    a, lmax, mmax, single = _as_alms(alms1, lmax, mmax, "alms1")
    b = a if alms2 is None else _as_alms(alms2, lmax, mmax, "alms2")[0]
    if a.shape[0] != b.shape[0]:
        raise ValueError(f"alms1 and alms2 need as many components, not {a.shape[0]} and {b.shape[0]}")
    orders = numpy.arange(mmax + 1)
    m = numpy.repeat(orders, lmax + 1 - orders)
    l = numpy.arange(a.shape[1]) - m * (2 * lmax + 1 - m) // 2
    weight = numpy.where(m == 0, 1.0, 2.0)
    count = a.shape[0]
    # healpy's order: the diagonal, then each further off-diagonal (TE, EB; then TB).
    pairs = [(i, i + k) for k in range(count) for i in range(count - k)]
    spectra = []
    for i, j in pairs:
        products = weight * (a[i] * b[j].conj()).real
        spectra.append(numpy.bincount(l, products, minlength=lmax + 1) / (2.0 * numpy.arange(lmax + 1) + 1.0))
    return spectra[0] if single else numpy.array(spectra)


def anafast(map1, map2=None, lmax=None, pol=True, iter=3, *, threads=0):
    """healpy.anafast: the power spectrum of a map, or the cross spectrum of two; with pol and
    three maps (T, Q, U) the six spectra TT, EE, BB, TE, EB, TB. The a_lm come from map2alm with
    ``iter`` Jacobi steps (3, healpy's default)."""
    alms1 = map2alm(map1, lmax=lmax, iter=iter, pol=pol, threads=threads)
    alms2 = None if map2 is None else map2alm(map2, lmax=lmax, iter=iter, pol=pol, threads=threads)
    return alm2cl(alms1, alms2)


__all__ = ["UNSEEN", "alm2cl", "alm2map", "alm2map_spin", "anafast", "map2alm", "map2alm_spin", "mask_bad",
           "nest2ring", "npix2nside", "nside2npix", "read_alm", "read_map", "ring2nest", "write_alm", "write_map"]
