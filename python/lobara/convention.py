"""Conventions of the real spherical harmonics, as values."""

from dataclasses import dataclass

import numpy

from . import _lobara

#: The normalisations by name, as lobara-render's --norm spells them.
NORMALIZATIONS = tuple(_lobara.normalization_names())
#: The signs of the sine harmonics: this program's own (-sin) and the common one (+sin).
SINES = tuple(_lobara.sine_names())


@dataclass(frozen=True)
class Convention:
    """How each real harmonic Y(l, m) is normalised and signed.

    With P_l^m(x) = (1 - x²)^(m/2) dᵐP_l/dxᵐ (no Condon–Shortley phase) and
    K = (l - |m|)! / (l + |m|)!, the real harmonic is

        Y(l, m) = n(l, m) · P_l^|m|(cos θ) · (1 for m = 0, cos(mφ) for m > 0, s · sin(|m|φ) for m < 0)

    norm
        n(l, m), with d = 1 for m = 0 and 0 otherwise: ``"ortho"`` √((2-d)(2l+1)/(4π) K), unit
        integral of Y² (quantum mechanics, graphics); ``"4pi"`` √((2-d)(2l+1) K), mean square 1
        (geodesy, pyshtools' default); ``"schmidt"`` √((2-d) K) (geomagnetism); ``"unnorm"`` 1;
        ``"sn3d"`` as schmidt and ``"n3d"`` as 4pi (ambisonics).
    cs
        True multiplies by the Condon–Shortley phase (-1)^m.
    sine
        s: ``"lobara"`` -1, the viewer's harmonics (-√2 sin(|m|φ) in ortho); ``"standard"`` +1, the
        common real form of most libraries, coefficient files and AmbiX.

    The default is this program's own convention. Conventions are values: equal when their
    three parts are, and usable as keys.
    """

    norm: str = "ortho"
    cs: bool = False
    sine: str = "lobara"

    def __post_init__(self):
        if self.norm not in NORMALIZATIONS:
            raise ValueError(f"norm needs {', '.join(NORMALIZATIONS[:-1])} or {NORMALIZATIONS[-1]}, "
                             f"not {self.norm!r}")
        if not isinstance(self.cs, (bool, numpy.bool_)):
            raise ValueError(f"cs needs True or False, not {self.cs!r}")
        object.__setattr__(self, "cs", bool(self.cs))
        if self.sine not in SINES:
            raise ValueError(f"sine needs lobara or standard, not {self.sine!r}")

    @classmethod
    def named(cls, name):
        """One of the common sets by name, as lobara-render's --convention takes them:
        :data:`CONVENTION_NAMES`."""
        return _named(name)

    def factors(self, l, m):
        """Y(l, m) in this convention over the program's own Y(l, m), for arrays of l and m
        (0 <= |m| <= l): the factor that turns a coefficient of this convention's harmonic into
        one of the program's own. Infinite where the harmonic is beyond the range of doubles
        (unnormalised, high degrees)."""
        l, m = numpy.broadcast_arrays(_integers(l, "l"), _integers(m, "m"))
        factors = _lobara.convention_factors(l.ravel(), m.ravel(), self.norm, self.cs, self.sine)
        return factors.reshape(l.shape)

    def convert(self, l, m, c, to):
        """The coefficients, in the convention ``to``, of the same function as the coefficients c
        of Y(l, m) in this one: c · (this convention's factor) / (to's factor)."""
        c = numpy.asarray(c, dtype=float)
        mine, theirs = self.factors(l, m), to.factors(l, m)
        lost = (c != 0) & ~(numpy.isfinite(mine) & numpy.isfinite(theirs))
        if numpy.any(lost):
            k = numpy.flatnonzero(lost)[0]
            l_k, m_k, mine_k = (numpy.broadcast_to(a, lost.shape).ravel()[k] for a in (l, m, mine))
            norm = to.norm if numpy.isfinite(mine_k) else self.norm
            raise ValueError(f"the coefficient of Y({l_k}, {m_k}) is beyond the range of doubles in the "
                             f"{norm} normalisation")
        return c * (mine / theirs)


def _integers(values, name):
    """values as an int64 array; refuses values that are not whole numbers."""
    array = numpy.asarray(values)
    if array.dtype.kind == "u" and array.size and array.max() > numpy.iinfo(numpy.int64).max:
        raise ValueError(f"{name} needs whole numbers below 2**63, not {array.max()}")
    if array.dtype.kind in "iu":
        return array.astype(numpy.int64, copy=False)
    if array.dtype.kind == "b" or array.size and not numpy.all(numpy.isfinite(array) & (array == numpy.round(array))):
        raise ValueError(f"{name} needs whole numbers")
    return array.astype(numpy.int64)


def _named(name):
    return Convention(*_lobara.named_convention(name))


#: The common sets by the names of lobara-render's --convention.
CONVENTION_NAMES = tuple(_lobara.convention_names())
#: This program's own convention: ortho, no Condon–Shortley phase, the sine sign lobara.
LOBARA = _named("lobara")
#: Geodesy's, pyshtools' and the coefficient files': 4pi, no phase, +sin.
GEODESY = _named("geodesy")
#: Ambisonics' AmbiX: SN3D, no phase, +sin (with ACN channel order).
AMBIX = _named("ambix")
#: Physics', SciPy's and healpy's real harmonics: ortho, the (-1)^m phase, +sin.
PHYSICS = _named("physics")
