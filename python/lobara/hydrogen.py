"""Hydrogen-like orbitals: their values at points and on a box, their boundary surfaces and slices,
as lobara-render's --hydrogen gives them."""

import numpy

from . import _lobara
from .convention import LOBARA, Convention
from .pictures import _options, _runs, _text, options, run_mesh, run_page, run_picture


class HydrogenOrbital:
    """The orbital ψ(n, l, m) = R(n, l; r) · Y(l, m) of a one-electron atom of nuclear ``charge``
    Z, Y the real harmonic of the :class:`Convention` (the complex one when ``complex``): n from 1
    to 30, 0 <= l < n, |m| <= l; lengths in Bohr radii, the orbital shrinking as 1/Z. Its
    :meth:`picture`, :meth:`mesh` and :meth:`page` are of the boundary surface that holds the probability
    ``enclose`` (lobara-render's default unless ``iso`` gives the level |ψ| = iso instead); :meth:`slice` is the flat
    picture of ψ, or |ψ|² with ``density``, in a plane through the nucleus. The keywords are
    lobara-render's options of the same names, with its defaults; a value it refuses raises
    ValueError with its message.

    Called as ``orbital(x, y, z)`` it gives ψ at points (Bohr radii; arrays that broadcast), and
    :meth:`density` |ψ|² there; :meth:`box` samples it on the cube that holds 99.9 % of it, and
    :meth:`cube` writes that as a Gaussian cube file."""

    def __init__(self, n, l, m, charge=None, convention=LOBARA, complex=False):
        if not isinstance(convention, Convention):
            raise TypeError(f"convention needs a lobara.Convention, not {convention!r}")
        self._arguments = (n, l, m, charge, convention.norm, convention.cs, convention.sine, bool(complex))
        self._orbital = None
        self._options = [("--hydrogen", _text((n, l, m))), ("--norm", convention.norm), ("--sine", convention.sine)]
        self._options += _options(charge=charge)
        self._options += [("--cs", "")] if convention.cs else []
        self._options += [("--complex", "")] if complex else []
        self._text = f"ψ({n}, {l}, {m}), Z = {options()['--charge']['default'] if charge is None else charge}"

    def picture(self, enclose=None, iso=None, width=None, height=None, from_=None, to=None, fit=False, scheme=None,
                background=None, title=None, supersample=None, theta=None, phi=None, color=None, colormap=None,
                smooth=False):
        """The boundary surface drawn as lobara-render's --out draws it: a :class:`Picture`."""
        return run_picture(None, self._options + _options(
            width, height, enclose=enclose, iso=iso, from_=from_, to=to, fit=fit, scheme=scheme,
            background=background, title=title, supersample=supersample, theta=theta, phi=phi, color=color,
            colormap=colormap, smooth=smooth))

    def mesh(self, enclose=None, iso=None, theta=None, phi=None, scale=None, color=None, colormap=None, scheme=None):
        """The boundary surface as lobara-render's --mesh writes it, closed: a :class:`Mesh`."""
        return run_mesh(None, self._options + _options(enclose=enclose, iso=iso, theta=theta, phi=phi, scale=scale,
                                                       color=color, colormap=colormap, scheme=scheme))

    def page(self, enclose=None, iso=None, width=None, height=None, from_=None, to=None, fit=False, scheme=None,
             background=None, title=None, theta=None, phi=None, color=None, colormap=None, smooth=False):
        """The boundary surface's self-contained interactive page as lobara-render's --html writes it:
        a :class:`Page`, turned with the mouse."""
        return run_page(None, self._options + _options(
            width, height, enclose=enclose, iso=iso, from_=from_, to=to, fit=fit, scheme=scheme,
            background=background, title=title, theta=theta, phi=phi, color=color, colormap=colormap,
            smooth=smooth))

    def slice(self, plane="xz", density=False, width=None, height=None, colormap=None, background=None, title=None):
        """ψ (or |ψ|² with ``density``) in the plane through the nucleus (``plane`` "xz", "xy", "yz"
        or a normal (x, y, z)), with its colour bar: a :class:`Picture`."""
        return run_picture(None, self._options + _options(width, height, slice=plane, density=density,
                                                          colormap=colormap, background=background, title=title))

    def _core(self):
        """The orbital of the C++ core, made at its first use (a ValueError for numbers that name none)."""
        if self._orbital is None:
            n, l, m, charge, norm, cs, sine, complex_ = self._arguments
            self._orbital = _lobara._Orbital(_whole(n, "n"), _whole(l, "l"), _whole(m, "m"), None if charge is None else _number(charge),
                                             norm, cs, sine, complex_)
        return self._orbital

    def __call__(self, x, y, z):
        """ψ at the points (x, y, z), in Bohr radii: arrays of any shapes that broadcast against each
        other; an array of their common shape (complex for a complex orbital), or a number. ψ is in
        a0^(-3/2)."""
        return self._at(x, y, z, False)

    def density(self, x, y, z):
        """|ψ|², the probability density in a0^-3, at the points as :meth:`__call__` takes them."""
        return self._at(x, y, z, True)

    def _at(self, x, y, z, density):
        x, y, z = numpy.broadcast_arrays(*(numpy.asarray(a, dtype=float) for a in (x, y, z)))
        values = self._core().evaluate(numpy.ravel(x), numpy.ravel(y), numpy.ravel(z), density).reshape(x.shape)
        return values[()] if values.ndim == 0 else values

    def peak(self):
        """The largest |ψ|, in a0^(-3/2): computed, not sampled (the largest --iso that leaves a surface)."""
        return self._core().peak()

    def cube(self, path, cube_size=None, density=False):
        """Writes ψ (or |ψ|² with ``density``) on the cube that holds 99.9 % of the orbital,
        ``cube_size`` points a side (2 to 400, lobara-render's default unless given), as a Gaussian
        cube file, the way lobara-render's --cube writes it:
        all or nothing (OSError when it cannot be written). A complex orbital's ψ does not go in
        one; its |ψ|² does."""
        if cube_size is None:
            cube_size = int(options()["--cube-size"]["default"])
        _runs().save_orbital_cube(self._core(), path, _whole(cube_size, "cube_size"), bool(density))

    def _repr_png_(self):
        return self.picture().png()

    def __repr__(self):
        return f"<lobara.HydrogenOrbital {self._text}>"


def _whole(value, name):
    """A whole number given as any integer type or an integral float; TypeError otherwise."""
    if isinstance(value, (bool, numpy.bool_)) or not isinstance(value, (int, numpy.integer, float, numpy.floating)):
        raise TypeError(f"{name} needs a whole number, not {value!r}")
    if value != value or value in (float("inf"), float("-inf")) or int(value) != value:
        raise ValueError(f"{name} needs a whole number, not {value!r}")
    return int(value)


def _number(value):
    if isinstance(value, (bool, numpy.bool_)) or not isinstance(value, (int, numpy.integer, float, numpy.floating)):
        raise TypeError(f"the charge needs a number, not {value!r}")
    return float(value)
