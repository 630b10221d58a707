"""The coefficient arrays of pyshtools and healpy, as terms (l, m, c) of real harmonics."""

import numpy


def shtools_terms(cilm):
    """The nonzero terms of pyshtools' cilm[i, l, m] (i = 0 cosine, 1 sine; 0 <= m <= l): the
    cosine coefficient as the term of Y(l, m), the sine one as that of Y(l, -m)."""
    cilm = numpy.asarray(cilm, dtype=float)
    if cilm.ndim != 3 or cilm.shape[0] != 2 or cilm.shape[1] != cilm.shape[2]:
        raise ValueError(f"cilm needs the shape (2, L + 1, L + 1), not {cilm.shape}")
    i, l, m = numpy.nonzero(numpy.tril(cilm))
    m_signed = numpy.where(i == 0, m, -m)
    keep = (i == 0) | (m > 0)  # S(l, 0) multiplies sin(0)
    return l[keep], m_signed[keep], cilm[i, l, m][keep]


def healpy_size(lmax, mmax):
    """How many a_lm healpy holds for lmax and mmax."""
    return (mmax + 1) * (2 * lmax + 2 - mmax) // 2


def healpy_lmax(size, mmax=None):
    """healpy's lmax of an alm array of that size: mmax = lmax unless given."""
    if mmax is None:
        lmax = int((numpy.sqrt(8 * size + 1) - 3) // 2)
        return lmax if healpy_size(lmax, lmax) == size else None
    # size = (mmax + 1)(2 lmax + 2 - mmax) / 2
    lmax = (2 * size // (mmax + 1) - 2 + mmax) // 2
    return lmax if healpy_size(lmax, mmax) == size else None


def healpy_terms(alm, lmax=None, mmax=None):
    """The terms, in ortho with the (-1)^m phase and +sin, of the real field of healpy's complex
    a_lm at index m·(2·lmax + 1 - m)/2 + l: Re a_l0 for Y(l, 0), √2 Re a_lm for Y(l, m) and
    -√2 Im a_lm for Y(l, -m)."""
    alm = numpy.asarray(alm)
    if alm.ndim != 1:
        raise ValueError(f"alm needs one dimension, not {alm.ndim}")
    alm = alm.astype(complex, copy=False)
    if lmax is None:
        lmax = healpy_lmax(alm.size, mmax)
        if lmax is None:
            raise ValueError(f"alm of size {alm.size} is no healpy layout" +
                             ("" if mmax is None else f" with mmax = {mmax}"))
    lmax = int(lmax)
    mmax = lmax if mmax is None else int(mmax)
    if not 0 <= mmax <= lmax or alm.size != healpy_size(lmax, mmax):
        raise ValueError(f"alm of size {alm.size} does not hold lmax = {lmax} and mmax = {mmax}")
    orders = numpy.arange(mmax + 1)
    m = numpy.repeat(orders, lmax + 1 - orders)
    l = numpy.arange(alm.size) - m * (2 * lmax + 1 - m) // 2
    sqrt2 = numpy.sqrt(2.0)
    zonal = m == 0
    l_terms = numpy.concatenate([l, l[~zonal]])
    m_terms = numpy.concatenate([m, -m[~zonal]])
    c_terms = numpy.concatenate([numpy.where(zonal, alm.real, sqrt2 * alm.real), -sqrt2 * alm.imag[~zonal]])
    return l_terms, m_terms, c_terms


def shtools_array(l, m, c, lmax):
    """pyshtools' cilm[i, l, m] of terms (0 <= |m| <= l <= lmax), repeated terms summed."""
    cilm = numpy.zeros((2, lmax + 1, lmax + 1))
    numpy.add.at(cilm, ((m < 0).astype(int), l, numpy.abs(m)), c)
    return cilm


def healpy_array(l, m, c, lmax, mmax):
    """healpy's alm of the terms (0 <= |m| <= l <= lmax, |m| <= mmax) of ortho with the (-1)^m
    phase and +sin: the inverse of healpy_terms."""
    alm = numpy.zeros(healpy_size(lmax, mmax), dtype=complex)
    order = numpy.abs(m)
    index = order * (2 * lmax + 1 - order) // 2 + l
    scale = numpy.where(m == 0, 1.0, numpy.sqrt(0.5))
    numpy.add.at(alm, index, numpy.where(m < 0, -1j, 1.0) * scale * c)
    return alm
