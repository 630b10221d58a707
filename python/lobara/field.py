"""Real and complex fields on the sphere, sampled on the grid or at any points."""

import math
import warnings

import numpy

from . import _lobara
from .convention import AMBIX, LOBARA, Convention, _integers

#: The highest degree sampled: no grid of at most 2^31 - 1 samples shows a higher one.
MAX_DEGREE = _lobara.MAX_DEGREE
#: Samples along θ and along φ unless told: the viewer's and lobara-render's.
DEFAULT_GRID = tuple(_lobara.DEFAULT_GRID)


class AliasingWarning(UserWarning):
    """A grid whose samples alias: for :meth:`Field.sample`, one below the field's analysis limit
    (its samples do not determine the field); for pictures and meshes, one with fewer than about
    four samples to a period of the field's highest degree along θ or order along φ."""


class FitWarning(UserWarning):
    """A least-squares fit whose points cannot determine its degree: fewer distinct places than
    coefficients, or a system so ill-conditioned that some coefficients are left to the noise of the
    values. The message gives the condition estimate."""


def grid(ntheta=DEFAULT_GRID[0], nphi=DEFAULT_GRID[1], grid="lobara"):
    """The angles of a sample grid of :meth:`Field.sample` and :meth:`Field.analyze`, as arrays
    (θ, φ), φ_j = 2π·j/nphi, and for ``grid="gl"`` a third, the Gauss–Legendre weights of the rows
    (of the integral over cos θ, summing to 2). θ runs from the north pole southwards: "lobara"
    θ_i = i·π/(ntheta - 1), both poles (a single row at the north pole); "cells" θ_i = (i + ½)π/ntheta;
    "dh" (Driscoll–Healy, nphi = 2 ntheta) θ_i = iπ/ntheta; "gl" the zeros of P_ntheta(cos θ).
    Sample (i, j) lies at (θ_i, φ_j)."""
    theta, phi, weights = _lobara.sample_angles(ntheta, nphi, grid)
    return (theta, phi) if weights is None else (theta, phi, weights)


def _count(value, name):
    """A whole number given as a count or a degree (int or NumPy's integers, not bool): refuses
    anything else with TypeError, as a wrong type, before it reaches the libraries."""
    if isinstance(value, bool) or not isinstance(value, (int, numpy.integer)):
        raise TypeError(f"{name} needs a whole number, not {value!r}")
    if value < 0:
        raise ValueError(f"{name} needs a whole number from 0, not {value!r}")
    return int(value)


def _real_array(values, name, ndim=None):
    """values as a C-ordered float64 array of real numbers, all finite: refuses other types
    (None, strings, complex) with TypeError, NaN and inf with ValueError, and an array too large
    to copy with MemoryError, each in one line."""
    try:
        given = numpy.asarray(values)
        if given.dtype.kind not in "biuf":
            raise TypeError(f"{name} need real numbers, not values of type {given.dtype}")
        array = numpy.ascontiguousarray(given, dtype=float)
    except MemoryError:
        raise MemoryError(f"not enough memory for a copy of the {name} "
                          f"({numpy.size(given) * 8 / 1e9:.1f} GB)") from None
    if ndim is not None and array.ndim != ndim:
        raise ValueError(f"{name} need a {ndim}-dimensional array, not one of shape {array.shape}")
    bad = numpy.flatnonzero(~numpy.isfinite(array))
    if bad.size:
        place = numpy.unravel_index(bad[0], array.shape)
        raise ValueError(f"{name} need finite numbers: {array[place]} at {tuple(int(i) for i in place)}")
    return array


def _points(theta, phi):
    """theta and phi broadcast against each other, flattened, and their common shape."""
    theta, phi = numpy.broadcast_arrays(numpy.asarray(theta, dtype=float), numpy.asarray(phi, dtype=float))
    try:
        return numpy.ravel(theta), numpy.ravel(phi), theta.shape
    except MemoryError:
        raise MemoryError(f"not enough memory for {theta.size} points ({theta.size * 16 / 1e9:.1f} GB)") from None


def _shaped(values, shape):
    values = values.reshape(shape)
    return values[()] if values.ndim == 0 else values


class Field:
    """A real field on the sphere, f(θ, φ) = Σ c · Y(l, m) over its terms, each Y the real
    harmonic of the field's :class:`Convention`.

    ``Field([(l, m, c), ...], convention)`` makes one from its terms; the class methods make one
    from a single harmonic, arrays of terms, ambisonic channels, an orbital's name, a coefficient
    file, or pyshtools' and healpy's coefficient arrays. Terms may repeat an (l, m); terms with
    l < 0 or |m| > l are 0 everywhere. m < 0 is the sine harmonic of order |m|.

    A field is sampled on the grid of :func:`grid` with :meth:`sample`, and called as
    ``field(theta, phi)`` at any points (θ from 0 to π, radians). Fields add and subtract
    (``a + b``, ``a - b``: the sum in ``a``'s convention, with ``a``'s ``gm`` and ``r0``) and scale
    by finite real numbers (``2 * a``, ``a / 2``).
    """

    #: The model's GM (m³/s²) and reference radius (m), as pyshtools names them, where its file
    #: states them; a magnetic model's secular variation, the field of its yearly rates.
    gm = None
    r0 = None
    rate = None
    #: NumPy's scalars times a field leave the product to the field.
    __array_ufunc__ = None

    def __init__(self, terms=(), convention=LOBARA):
        terms = list(terms)
        if any(len(term) != 3 for term in terms):
            raise ValueError("each term needs three numbers: l, m and c")
        l, m, c = zip(*terms) if terms else ((), (), ())
        self._core = Field._make_core(l, m, c, convention)

    @staticmethod
    def _make_core(l, m, c, convention):
        if not isinstance(convention, Convention):
            raise TypeError(f"convention needs a lobara.Convention, not {convention!r}")
        c = numpy.asarray(c, dtype=float)
        if c.ndim > 1:
            raise ValueError("l, m and c need to be one-dimensional and of one length")
        return _lobara._Field(_integers(l, "l").ravel(), _integers(m, "m").ravel(), c.ravel(), convention.norm,
                              convention.cs, convention.sine)

    @classmethod
    def _of(cls, core):
        field = cls.__new__(cls)
        field._core = core
        return field

    @classmethod
    def from_arrays(cls, l, m, c, convention=LOBARA):
        """The field Σ c[k] · Y(l[k], m[k]), from three one-dimensional arrays of one length."""
        return cls._of(cls._make_core(l, m, c, convention))

    @classmethod
    def harmonic(cls, l, m, convention=LOBARA):
        """The single harmonic Y(l, m), coefficient 1. |m| > l (or l < 0) is 0 everywhere, with a
        warning."""
        if l < 0 or abs(m) > l:
            warnings.warn(f"Y({l}, {m}) is 0 everywhere (it needs 0 <= |m| <= l)", stacklevel=2)
        return cls([(l, m, 1.0)], convention)

    @classmethod
    def acn(cls, channels, convention=AMBIX):
        """The field of ambisonic channels in ACN order, channel n = l² + l + m, in SN3D with the
        standard sine (AmbiX) unless the convention says otherwise."""
        l, m, c = _lobara.acn_terms(numpy.asarray(channels, dtype=float).ravel())
        return cls.from_arrays(l, m, c, convention)

    @classmethod
    def orbital(cls, name, convention=LOBARA):
        """The real orbital of that name (s, p_x, d_xy, f_z3, ..., or a hybrid such as sp3 or
        sp3:2; see :data:`ORBITALS`), positive where its name's polynomial is, whatever the
        convention."""
        return cls._of(_lobara.orbital(name, convention.norm, convention.cs, convention.sine))

    @classmethod
    def from_file(cls, path, lmax=None, norm=None, epoch=None):
        """The field of a coefficient file, in the file's own convention: shtools text (rows
        ``l m C S``), dov (``l m value``, m < 0 the sine), Curtin binary ``.bshc``, ICGEM
        ``.gfc``, the World Magnetic Model's ``.cof`` or IGRF's table; S multiplies +sin(mφ), and
        there is no Condon–Shortley phase. healpy's alm ``.fits`` are the real field of its complex
        a_lm, as :meth:`from_healpy` makes it (ortho with the phase). The normalisation is the file's header's, else 4pi,
        else ``norm`` for a file whose header does not state one. ``lmax`` keeps the degrees up to
        it; ``epoch`` (a date ``YYYY-MM-DD`` or a decimal year) takes a time-variable model at that
        time. The model's constants its file states are kept as ``gm`` and ``r0`` (None where it
        does not), a magnetic model's secular variation as ``rate`` (see :mod:`lobara.geodesy`).
        A file that cannot be read raises :class:`CoefficientFileError` (an OSError and a
        ValueError) naming the file, the line and the fault; the file's warnings (time-variable
        terms left out) are issued as warnings."""
        if lmax is not None and not 0 <= lmax <= MAX_DEGREE:
            raise ValueError(f"lmax needs a degree from 0 to {MAX_DEGREE}, not {lmax!r}")
        core, rate, gm, r0, _, file_warnings = _lobara.read_model_file(
            str(path), -1 if lmax is None else int(lmax), "" if norm is None else norm,
            "" if epoch is None else str(epoch))
        for text in file_warnings:
            warnings.warn(f"{path}: {text}", stacklevel=2)
        field = cls._of(core)
        field.gm, field.r0 = (None if math.isnan(value) else value for value in (gm, r0))
        field.rate = None if rate is None else cls._of(rate)
        return field

    @classmethod
    def from_shtools(cls, cilm, normalization="4pi", csphase=1):
        """The field of coefficients in pyshtools' layout: ``cilm[0, l, m]`` multiplies cos(mφ)
        and ``cilm[1, l, m]`` sin(mφ), for 0 <= m <= l, with pyshtools' ``normalization``
        (``"4pi"``, ``"ortho"``, ``"schmidt"``, ``"unnorm"``) and ``csphase`` (1 without the
        Condon–Shortley phase, -1 with it). Entries with m > l are ignored."""
        from .layouts import shtools_terms
        l, m, c = shtools_terms(cilm)
        if csphase not in (1, -1):
            raise ValueError(f"csphase needs 1 or -1, not {csphase!r}")
        return cls.from_arrays(l, m, c, Convention(normalization, csphase == -1, "standard"))

    @classmethod
    def from_healpy(cls, alm, lmax=None, mmax=None):
        """The real field of healpy's complex coefficients a_lm (m >= 0, a_lm at index
        m·(2·lmax + 1 - m)/2 + l), the map healpy's alm2map makes: with healpy's orthonormal
        complex harmonics, which carry the (-1)^m phase,
        f = Σ_l (a_l0 Y_l0 + 2 Re Σ_(m>0) a_lm Y_lm). In the real harmonics of ortho with the
        phase and +sin (:data:`PHYSICS`) its coefficients are Re a_l0, √2 Re a_lm for Y(l, m) and
        -√2 Im a_lm for Y(l, -m); the field keeps that convention. lmax and mmax as healpy infers
        them unless given (the imaginary parts of a_l0 play no part, as in a real map)."""
        from .layouts import healpy_terms
        from .convention import PHYSICS
        l, m, c = healpy_terms(alm, lmax, mmax)
        return cls.from_arrays(l, m, c, PHYSICS)

    @classmethod
    def analyze(cls, values, grid="lobara", lmax=None, convention=LOBARA, threads=0, theta=None, phi=None,
                weights=None):
        """The field whose coefficients up to degree ``lmax`` fit values sampled on a grid, an
        array (rows, columns) with φ_j = 2πj/columns, in ``convention``: lobara-render's
        ``--analyze`` with ``--grid``. ``grid`` is "lobara" (θ_i = iπ/(rows − 1), both poles: the
        grid of :meth:`sample`; degrees up to rows − 2), "cells" (θ_i = (i + ½)π/rows), "dh"
        (Driscoll–Healy, columns = 2 rows, θ_i = iπ/rows) or "gl" (Gauss–Legendre latitudes),
        those three up to rows − 1; every grid up to (columns − 1)/2. ``lmax`` is the grid's limit
        unless given. A field of degree up to ``lmax`` comes back to rounding, and one of any degree
        up to the grid's limit gives its terms up to ``lmax``: the exact projection.

        ``grid="points"`` fits values at scattered points instead, as ``--grid points`` does:
        ``values``, ``theta`` and ``phi`` (radians, θ from 0 to π) of any shapes that broadcast,
        with ``weights`` (above 0, 1 each unless given), to the coefficients minimising
        Σ w (f − v)², up to ``lmax`` or, unless given, the highest degree the points determine
        (whose (L + 1)² coefficients have two distinct places each and leave the system's
        condition at most 1e4). A fit the points cannot determine warns with :class:`FitWarning`
        and its condition estimate. The work runs without the GIL on ``threads`` threads (0: one
        for each core)."""
        if not isinstance(convention, Convention):
            raise TypeError(f"convention needs a lobara.Convention, not {convention!r}")
        if lmax is not None and not 0 <= _count(lmax, "lmax") <= MAX_DEGREE:
            raise ValueError(f"lmax needs a degree from 0 to {MAX_DEGREE}, not {lmax!r}")
        like = cls._make_core((), (), (), convention)
        degree = -1 if lmax is None else int(lmax)
        if grid != "points":
            if theta is not None or phi is not None or weights is not None:
                raise ValueError(f"theta, phi and weights go with grid='points', not grid={grid!r}")
            return cls._of(_lobara.analyze_grid(_real_array(values, "values"), grid, degree, like,
                                                _threads(threads)))
        if theta is None or phi is None:
            raise ValueError("grid='points' needs the points' theta and phi")
        given = [_real_array(values, "values"), _real_array(theta, "theta"), _real_array(phi, "phi")]
        if weights is not None:
            given.append(_real_array(weights, "weights"))
        try:
            arrays = [numpy.ravel(array) for array in numpy.broadcast_arrays(*given)]
        except ValueError:
            raise ValueError("values, theta, phi and weights need shapes that broadcast, not " +
                             ", ".join(str(array.shape) for array in given)) from None
        core, problem = _lobara.analyze_points(arrays[1], arrays[2], arrays[0],
                                               arrays[3] if weights is not None else None, degree, like,
                                               _threads(threads))
        if problem:
            warnings.warn(problem, FitWarning, stacklevel=2)
        return cls._of(core)

    def rotated(self, *rotations, matrix=None, threads=0):
        """The field turned, f_R(x) = f(R⁻¹ x), in its own convention: each rotation a text as
        lobara-render's ``--rotate`` reads it, angles in degrees ("zyz:α,β,γ" for Rz(α) Ry(β) Rz(γ),
        "ypr:yaw,pitch,roll", "axis:x,y,z,degrees"), the first given turning first; or ``matrix``,
        the 3 × 3 matrix R taking x to R x (healpy's ``Rotator.mat``, SciPy's
        ``Rotation.as_matrix()``), orthogonal of determinant +1 (to 1e-9). The work runs without
        the GIL on ``threads`` threads (0: one for each core)."""
        return Field._of(_rotated_core(self._core, rotations, matrix, threads))

    @property
    def power(self):
        """(l, P) for each degree up to the highest: P(l) the mean square over the sphere of the
        field's part of degree l, as lobara-render's ``--spectrum`` writes it."""
        return _lobara.power(self._core)

    @property
    def convention(self):
        """The :class:`Convention` of the field's harmonics."""
        return Convention(self._core.norm, self._core.cs, self._core.sine)

    @property
    def terms(self):
        """The terms as three arrays (l, m, c): the field is Σ c[k] · Y(l[k], m[k])."""
        return self._core.terms()

    @property
    def max_degree(self):
        """The highest degree of the terms; -1 for no term."""
        return self._core.max_degree()

    @property
    def sufficient_grid(self):
        """(ntheta, nphi): the smallest grid with about four samples to each period of the
        highest degree along θ (2L + 1 rows) and order along φ (4M columns); below it the
        samples alias."""
        return self._core.sufficient_grid()

    def in_convention(self, convention):
        """The same function as a field of the other convention's harmonics: one term for each
        (l, m) that is not 0, by degree and then order. A coefficient beyond the range of doubles in
        either convention (unnormalised harmonics of high degree) raises ValueError naming it."""
        if not isinstance(convention, Convention):
            raise TypeError(f"convention needs a lobara.Convention, not {convention!r}")
        return Field._of(self._core.in_convention(convention.norm, convention.cs, convention.sine))

    def save(self, path, norm=None, cs=False, sine=None):
        """Writes the coefficients to ``path`` as lobara-render's ``--coeffs-out``, in the format of
        its name: ``.gfc`` ICGEM (with its header), ``.bshc`` Curtin binary, ``.dov`` rows
        ``l, m, value``, ``.acn.txt`` the ACN channels, any other name shtools rows
        ``l, m, C, S``; every degree up to the highest with every order, 17 significant digits. The
        convention is the format's own (4pi, no phase, +sin; SN3D for ACN) unless ``norm``, ``cs``
        and ``sine`` say otherwise (``--out-norm``, ``--out-cs``, ``--out-sine``); ``gm`` and ``r0``,
        where known, go into the header lines that hold them. A convention the format cannot hold
        raises ValueError, a file that cannot be written OSError, every existing file left as it
        was."""
        from .pictures import _runs
        if not isinstance(cs, (bool, numpy.bool_)):
            raise ValueError(f"cs needs True or False, not {cs!r}")
        constants = []
        for name, value in (("gm", self.gm), ("r0", self.r0)):
            if value is not None and not (isinstance(value, (int, float, numpy.integer, numpy.floating))
                                          and math.isfinite(value) and value > 0):
                raise ValueError(f"the field's {name} needs a finite number above 0 or None, not {value!r}")
            constants.append(math.nan if value is None else float(value))
        _runs().save_coefficients(path, self._core, norm, bool(cs), sine, *constants)

    def __add__(self, other):
        """The sum, in this field's convention (``other`` converted to it), with this field's
        ``gm`` and ``r0``."""
        if not isinstance(other, Field):
            return NotImplemented
        l1, m1, c1 = self.terms
        l2, m2, c2 = other.in_convention(self.convention).terms
        return self._like(Field.from_arrays(numpy.concatenate([l1, l2]), numpy.concatenate([m1, m2]),
                                            numpy.concatenate([c1, c2]), self.convention)
                          .in_convention(self.convention))

    def __sub__(self, other):
        if not isinstance(other, Field):
            return NotImplemented
        return self + other * -1.0

    def __mul__(self, scalar):
        """The field times a real number, finite, in its own convention."""
        if isinstance(scalar, Field):
            return NotImplemented
        scalar = _finite_scalar(scalar)
        if scalar is NotImplemented:
            return NotImplemented
        l, m, c = self.terms
        with numpy.errstate(over="ignore"):
            return self._like(Field.from_arrays(l, m, c * scalar, self.convention))

    __rmul__ = __mul__

    def __truediv__(self, scalar):
        if isinstance(scalar, Field):
            return NotImplemented
        scalar = _finite_scalar(scalar)
        if scalar is NotImplemented:
            return NotImplemented
        if scalar == 0:
            raise ZeroDivisionError("a field divided by 0")
        l, m, c = self.terms
        with numpy.errstate(over="ignore"):
            return self._like(Field.from_arrays(l, m, c / scalar, self.convention))

    def __neg__(self):
        return self * -1.0

    def _like(self, field):
        """field with this one's model constants."""
        field.gm, field.r0 = self.gm, self.r0
        return field

    def to_shtools(self, normalization="4pi", csphase=1, lmax=None):
        """The field's coefficients in pyshtools' layout cilm[i, l, m] (i = 0 cosine, 1 sine), of
        shape (2, lmax + 1, lmax + 1), in pyshtools' ``normalization`` and ``csphase``: the inverse
        of :meth:`from_shtools`. lmax is the field's highest degree unless given; terms above it
        are left out."""
        from .layouts import shtools_array
        if csphase not in (1, -1):
            raise ValueError(f"csphase needs 1 or -1, not {csphase!r}")
        l, m, c = self.in_convention(Convention(normalization, csphase == -1, "standard")).terms
        lmax = max(self.max_degree, 0) if lmax is None else _count(lmax, "lmax")
        if lmax > MAX_DEGREE:
            raise ValueError(f"lmax needs a degree from 0 to {MAX_DEGREE}, not {lmax!r}")
        keep = l <= lmax
        return shtools_array(l[keep], m[keep], c[keep], lmax)

    def to_healpy(self, lmax=None, mmax=None):
        """healpy's complex alm of the field (the inverse of :meth:`from_healpy`): a_l0 = c(l, 0),
        a_lm = (c(l, m) - i c(l, -m)) / √2 with c the coefficients in :data:`PHYSICS`. lmax is the
        field's highest degree and mmax lmax unless given; terms above them are left out."""
        from .convention import PHYSICS
        from .layouts import healpy_array
        l, m, c = self.in_convention(PHYSICS).terms
        lmax = max(self.max_degree, 0) if lmax is None else int(lmax)
        mmax = lmax if mmax is None else int(mmax)
        if not 0 <= mmax <= lmax:
            raise ValueError(f"mmax needs 0 <= mmax <= lmax, not {mmax} with lmax = {lmax}")
        keep = (l <= lmax) & (numpy.abs(m) <= mmax)
        return healpy_array(l[keep], m[keep], c[keep], lmax, mmax)

    def at_geodetic(self, lat, lon, h=0.0, quantity="potential", **options):
        """The model's quantity at geodetic places: :func:`lobara.geodesy.at_geodetic`."""
        from .geodesy import at_geodetic
        return at_geodetic(self, lat, lon, h, quantity, **options)

    def quantity(self, name, height=0.0, **options):
        """The field of the quantity's coefficients: :func:`lobara.geodesy.model_quantity`."""
        from .geodesy import model_quantity
        return model_quantity(self, name, height, **options)

    def sample(self, ntheta=DEFAULT_GRID[0], nphi=DEFAULT_GRID[1], grid="lobara"):
        """The field on a sample grid of :func:`grid` ("lobara", "cells", "dh" or "gl", as
        :meth:`analyze` reads them): an array of shape (ntheta, nphi), row i at θ_i and column j at
        φ_j, made by the libraries in place (NumPy takes their buffer without a copy). Sums of many
        terms are synthesised on all cores; the work runs without the GIL and Ctrl-C stops it. A grid
        whose samples do not determine the field (below its analysis limit) warns with
        :class:`AliasingWarning`."""
        ntheta, nphi = _count(ntheta, "ntheta"), _count(nphi, "nphi")
        values = self._core.sample(ntheta, nphi, grid)
        _warn_if_coarse(self._core, ntheta, nphi, grid)
        return values

    def __call__(self, theta, phi):
        """The field at the points (θ, φ), arrays of any shapes that broadcast against each other
        (θ from 0 to π and φ finite, radians): an array of their common shape, or a float."""
        theta, phi, shape = _points(theta, phi)
        return _shaped(self._core.evaluate(theta, phi), shape)

    def picture(self, width=None, height=None, from_=None, to=None, fit=False, scheme=None, background=None,
                title=None, supersample=None, theta=None, phi=None, radius=None, core=None, color=None,
                colormap=None, range=None, smooth=False):
        """The polar plot of the field as lobara-render's --out draws it: a :class:`Picture`. The
        keywords are lobara-render's options of the same names (see its --help), and one left out
        takes its default: ``width`` and ``height`` (--size; either alone keeps the other's
        default), the camera ``from_`` and ``to`` (x, y, z), ``fit`` the camera's distance to the
        surface, the lobes' colour ``scheme``, the ``background`` ("black", "white" or
        "transparent"), a ``title``, ``supersample``, the grid ``theta`` x ``phi``, the ``radius``
        rule or ``core``, the colouring ``color`` with its ``colormap`` and ``range`` (lo, hi), and
        ``smooth`` shading. A value lobara-render refuses raises ValueError with its message; its
        warnings (a grid too coarse) come as warnings."""
        from .pictures import _options, run_picture
        return run_picture(self._core, _options(width, height, from_=from_, to=to, fit=fit, scheme=scheme,
                                                background=background, title=title, supersample=supersample,
                                                theta=theta, phi=phi, radius=radius, core=core, color=color,
                                                colormap=colormap, range=range, smooth=smooth))

    def map(self, projection="mollweide", width=None, height=None, background=None, title=None, color=None,
            colormap=None, range=None, scheme=None, flip=None):
        """The flat map of the field as lobara-render's --map draws it, with its colour bar: a
        :class:`Picture`. ``projection`` is "mollweide", "equirect" or "ortho"; without a size the
        map is as wide as lobara-render makes it and as high as the projection needs, else
        ``width`` and ``height`` both. ``color`` is "value" unless told ("sign" or "phase"), with lobara-render's
        ``colormap`` and ``range``; ``flip`` "geo" (east to the right, the default) or "astro" (east
        to the left, as healpy's mollview); the others as :meth:`picture`'s."""
        from .pictures import _options, _text, run_picture
        if (width is None) != (height is None):
            raise ValueError("a map's width and height go together: give both, or neither for the "
                             "projection's own shape")
        return run_picture(self._core, [("--map", _text(projection))] + _options(
            width, height, background=background, title=title, color=color, colormap=colormap, range=range,
            scheme=scheme, flip=flip))

    def mesh(self, theta=None, phi=None, radius=None, core=None, scale=None, color=None, colormap=None,
             range=None, scheme=None):
        """The surface of the field as lobara-render's --mesh writes it: a :class:`Mesh` of arrays
        (``vertices``, ``faces``, ``values``, ``normals``) with ``save(path)`` for the files. The
        keywords are lobara-render's options: the grid ``theta`` x ``phi``, the ``radius`` rule or
        ``core``, ``scale`` (millimetres of the largest extent), and the colours the files carry
        (``color``, ``colormap``, ``range``, ``scheme``)."""
        from .pictures import _options, run_mesh
        return run_mesh(self._core, _options(theta=theta, phi=phi, radius=radius, core=core, scale=scale,
                                             color=color, colormap=colormap, range=range, scheme=scheme))

    def page(self, width=None, height=None, from_=None, to=None, fit=False, scheme=None, background=None,
             title=None, theta=None, phi=None, radius=None, core=None, color=None, colormap=None, range=None,
             smooth=False):
        """The self-contained interactive page of the field's surface as lobara-render's --html
        writes it: a :class:`Page`, turned with the mouse, with the controls of a single harmonic
        or orbital. The keywords are those of :meth:`picture`."""
        from .pictures import _options, run_page
        return run_page(self._core, _options(width, height, from_=from_, to=to, fit=fit, scheme=scheme,
                                             background=background, title=title, theta=theta, phi=phi,
                                             radius=radius, core=core, color=color, colormap=colormap,
                                             range=range, smooth=smooth))

    def _repr_png_(self):
        """The field's picture with lobara-render's defaults, for notebooks."""
        return self.picture().png()

    def _repr_html_(self):
        """The field's interactive page with lobara-render's defaults, for notebooks."""
        return self.page()._repr_html_()

    def __repr__(self):
        count = self._core.term_count
        return (f"<lobara.Field of {count} term{'' if count == 1 else 's'} up to degree {self.max_degree}, "
                f"{self.convention}>")


def _finite_scalar(value):
    """value as a float when it is a real number (not bool), NotImplemented for other types;
    ValueError when it is not finite."""
    if isinstance(value, (bool, numpy.bool_)) or not isinstance(value, (int, float, numpy.integer, numpy.floating)):
        return NotImplemented
    value = float(value)
    if not math.isfinite(value):
        raise ValueError(f"a field can be scaled by a finite number only, not {value}")
    return value


def _rotated_core(core, rotations, matrix, threads):
    """The core turned by the rotation texts or by the matrix."""
    if matrix is None:
        return _lobara.rotated(core, [str(text) for text in rotations], _threads(threads))
    if rotations:
        raise ValueError("give the rotation as texts or as matrix=, not both")
    return _lobara.rotated_by_matrix(core, _real_array(matrix, "matrix", ndim=2), _threads(threads))


def _threads(threads):
    if not isinstance(threads, int) or not 0 <= threads <= 1024:
        raise ValueError(f"threads needs a count from 0 to 1024, not {threads!r}")
    return threads


def _warn_if_coarse(core, ntheta, nphi, grid):
    rows, columns = core.determining_grid(grid)
    if ntheta > 0 and nphi > 0 and (ntheta < rows or nphi < columns):
        warnings.warn(f"the grid is too coarse for the field (its samples do not determine it): it needs "
                      f"at least {rows} x {columns}", AliasingWarning, stacklevel=3)


class ComplexField:
    """A complex field on the sphere, f(θ, φ) = Σ c · Y(l, m) over its terms, c complex, with the
    complex harmonics Y(l, m) = N(l, m) · P_l^|m|(cos θ) · e^(imφ): N is the convention's
    normalisation without the √2 of the real harmonics (ortho: √((2l + 1)/(4π) · K)) and the
    convention's ``cs`` the phase (-1)^m for m > 0 only, so that Y(l, -m) = (-1)^m conj Y(l, m);
    its ``sine`` plays no part. With ``Convention("ortho", cs=True)`` the harmonics are SciPy's
    ``sph_harm(m, l, φ, θ)``.

    The field is held as its real and imaginary parts, each a real :class:`Field` of the same
    normalisation (no phase, +sin), so that high degrees keep the accuracy of the real ones;
    :attr:`terms` gives its complex coefficients in its :attr:`convention`. It is analysed from
    complex values with :meth:`analyze`, turned with :meth:`rotated` and its degrees' power is
    :attr:`power`.
    """

    #: The model's GM (m³/s²) and reference radius (m), as pyshtools names them, where its file
    #: states them; a magnetic model's secular variation, the field of its yearly rates.
    gm = None
    r0 = None
    rate = None

    def __init__(self, terms=(), convention=LOBARA):
        terms = list(terms)
        if any(len(term) != 3 for term in terms):
            raise ValueError("each term needs three numbers: l, m and c")
        l, m, c = zip(*terms) if terms else ((), (), ())
        self._set(l, m, c, convention)

    def _set(self, l, m, c, convention):
        if not isinstance(convention, Convention):
            raise TypeError(f"convention needs a lobara.Convention, not {convention!r}")
        self._convention = convention
        c = numpy.asarray(c, dtype=complex)
        real, imag = (Field._make_core(l, m, part, convention).complex_parts() for part in (c.real, c.imag))
        # (a + ib) Y = a Re Y - b Im Y + i (a Im Y + b Re Y).
        self.real = Field._of(_joined(real[0], imag[1], -1.0))
        self.imag = Field._of(_joined(real[1], imag[0], 1.0))

    @classmethod
    def from_arrays(cls, l, m, c, convention=LOBARA):
        """The field Σ c[k] · Y(l[k], m[k]), c complex, from three arrays of one length."""
        field = cls.__new__(cls)
        field._set(l, m, c, convention)
        return field

    @classmethod
    def harmonic(cls, l, m, convention=LOBARA):
        """The single complex harmonic Y(l, m), coefficient 1."""
        if l < 0 or abs(m) > l:
            warnings.warn(f"Y({l}, {m}) is 0 everywhere (it needs 0 <= |m| <= l)", stacklevel=2)
        return cls([(l, m, 1.0)], convention)

    @classmethod
    def _of_parts(cls, real, imag, convention):
        field = cls.__new__(cls)
        field.real, field.imag, field._convention = real, imag, convention
        return field

    @classmethod
    def analyze(cls, values, grid="lobara", lmax=None, convention=LOBARA, threads=0, theta=None, phi=None,
                weights=None):
        """The complex field whose coefficients up to degree ``lmax`` fit complex values, on a grid
        or at points, as :meth:`Field.analyze` reads them (the same keywords): the real and the
        imaginary part each analysed as a real field. Its :attr:`terms` are in ``convention``."""
        if not isinstance(convention, Convention):
            raise TypeError(f"convention needs a lobara.Convention, not {convention!r}")
        try:
            given = numpy.asarray(values)
        except MemoryError:
            raise MemoryError("not enough memory for a copy of the values") from None
        if given.dtype.kind not in "biufc":
            raise TypeError(f"values need complex numbers, not values of type {given.dtype}")
        parts = _part_convention(convention)
        real, imag = (Field.analyze(part, grid, lmax, parts, threads, theta, phi, weights)
                      for part in (given.real, given.imag))
        return cls._of_parts(real, imag, convention)

    @property
    def convention(self):
        """The :class:`Convention` of the complex harmonics of :attr:`terms`."""
        return self._convention

    @property
    def terms(self):
        """The terms as three arrays (l, m, c), c complex, in :attr:`convention`: one for each
        (l, m) up to the highest degree, m from -l to l, by degree and then order."""
        parts = _part_convention(self._convention)
        real, imag = (part.in_convention(parts) for part in (self.real, self.imag))
        lmax = max(real.max_degree, imag.max_degree, 0)
        # Each part's coefficients by (l, m) in an array of 2 lmax + 1 orders.
        table = numpy.zeros((lmax + 1, 2 * lmax + 1), dtype=complex)
        for part, unit in ((real, 1.0), (imag, 1j)):
            l, m, c = part.terms
            numpy.add.at(table, (l, m + lmax), unit * c)
        # f's part of order |m| > 0 is C Y(l, |m|) + S Y(l, -|m|) in the real harmonics of the parts,
        # (C - iS) s e^(i|m|φ) + (C + iS) s e^(-i|m|φ) with s = 1/√2 (1/2 unnormalised).
        l, m = numpy.divmod(numpy.arange(table.size), 2 * lmax + 1)
        m = m - lmax
        keep = numpy.abs(m) <= l
        l, m = l[keep], m[keep]
        order = numpy.abs(m)
        cosine, sine = table[l, order + lmax], table[l, lmax - order]
        s = 0.5 if self._convention.norm == "unnorm" else math.sqrt(0.5)
        c = numpy.where(m == 0, cosine, s * numpy.where(m > 0, cosine - 1j * sine, cosine + 1j * sine))
        if self._convention.cs:
            c = numpy.where((m > 0) & (m % 2 == 1), -c, c)
        return l, m, c

    def rotated(self, *rotations, matrix=None, threads=0):
        """The field turned, f_R(x) = f(R⁻¹ x), as :meth:`Field.rotated` turns one: both parts alike
        (the rotation is real)."""
        real, imag = (Field._of(_rotated_core(part._core, rotations, matrix, threads))
                      for part in (self.real, self.imag))
        return ComplexField._of_parts(real, imag, self._convention)

    @property
    def power(self):
        """(l, P) for each degree up to the highest: P(l) the mean over the sphere of |f_l|², f_l
        the field's part of degree l (the sum of its two parts' powers)."""
        degrees = max(self.real.max_degree, self.imag.max_degree) + 1
        total = numpy.zeros(max(degrees, 0))
        for part in (self.real, self.imag):
            l, power = part.power
            total[l] += power
        return numpy.arange(total.size), total

    def sample(self, ntheta=DEFAULT_GRID[0], nphi=DEFAULT_GRID[1], grid="lobara"):
        """The field on a sample grid of :func:`grid`, complex128 of shape (ntheta, nphi): both parts
        sampled as :meth:`Field.sample` does, then joined (one copy)."""
        ntheta, nphi = _count(ntheta, "ntheta"), _count(nphi, "nphi")
        real = self.real._core.sample(ntheta, nphi, grid)
        values = numpy.empty(real.shape, dtype=complex)
        values.real = real
        del real
        values.imag = self.imag._core.sample(ntheta, nphi, grid)
        _warn_if_coarse(_joined(self.real._core, self.imag._core, 1.0), ntheta, nphi, grid)
        return values

    def __call__(self, theta, phi):
        """The field at the points (θ, φ), arrays of any shapes that broadcast (θ from 0 to π):
        complex values of their common shape, or a complex."""
        theta, phi, shape = _points(theta, phi)
        values = self.real._core.evaluate(theta, phi) + 1j * self.imag._core.evaluate(theta, phi)
        return _shaped(values, shape)

    def __repr__(self):
        return f"<lobara.ComplexField of degree up to {max(self.real.max_degree, self.imag.max_degree)}>"


def _part_convention(convention):
    """The convention of a complex field's two real parts: its normalisation, no phase, +sin."""
    return Convention(convention.norm, False, "standard")


def _joined(first, second, sign):
    """The field of first's terms and second's times sign, in first's convention (both share it)."""
    l1, m1, c1 = first.terms()
    l2, m2, c2 = second.terms()
    return _lobara._Field(numpy.concatenate([l1, l2]), numpy.concatenate([m1, m2]),
                          numpy.concatenate([c1, sign * c2]), first.norm, first.cs, first.sine)


#: The names of the orbitals :meth:`Field.orbital` knows.
ORBITALS = tuple(_lobara.orbital_names())
