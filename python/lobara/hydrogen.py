"""Hydrogen-like orbitals: their boundary surfaces and slices, as lobara-render's --hydrogen draws
them."""

from .convention import LOBARA, Convention
from .pictures import _options, _text, options, run_mesh, run_page, run_picture


class HydrogenOrbital:
    """The orbital ψ(n, l, m) = R(n, l; r) · Y(l, m) of a one-electron atom of nuclear ``charge``
    Z, Y the real harmonic of the :class:`Convention` (the complex one when ``complex``): n from 1
    to 30, 0 <= l < n, |m| <= l; lengths in Bohr radii, the orbital shrinking as 1/Z. Its
    :meth:`picture`, :meth:`mesh` and :meth:`page` are of the boundary surface that holds the probability
    ``enclose`` (lobara-render's default unless ``iso`` gives the level |ψ| = iso instead); :meth:`slice` is the flat
    picture of ψ, or |ψ|² with ``density``, in a plane through the nucleus. The keywords are
    lobara-render's options of the same names, with its defaults; a value it refuses raises
    ValueError with its message."""

    def __init__(self, n, l, m, charge=None, convention=LOBARA, complex=False):
        if not isinstance(convention, Convention):
            raise TypeError(f"convention needs a lobara.Convention, not {convention!r}")
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

    def _repr_png_(self):
        return self.picture().png()

    def __repr__(self):
        return f"<lobara.HydrogenOrbital {self._text}>"
