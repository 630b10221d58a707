"""Lobara's real and complex spherical harmonics in Python, over the same C++ libraries as the
viewer and lobara-render, with NumPy in and out.

    >>> import lobara
    >>> field = lobara.Field.harmonic(3, -2)                 # Y(3, -2), this program's convention
    >>> values = field.sample(480, 240)                     # (480, 240) on the grid of lobara.grid()
    >>> field(numpy.pi / 2, [0.0, 0.1])                      # at any points, broadcasting
    >>> lobara.Field.from_shtools(cilm)                      # pyshtools' c[i, l, m], 4pi by default
    >>> lobara.Field.from_healpy(alm)                        # healpy's complex alm of a real map
    >>> lobara.ComplexField.harmonic(3, 2, lobara.Convention("ortho", cs=True))  # SciPy's sph_harm
    >>> field.picture(width=400, height=300).rgba            # lobara-render's picture, (300, 400, 4)
    >>> field.map("mollweide").save("map.png")               # its --map, as the file it writes
    >>> field.mesh().vertices                                # its --mesh, as arrays
    >>> lobara.table(3)                                      # its --table
    >>> lobara.HydrogenOrbital(3, 2, 0).mesh()               # --hydrogen's boundary surface
    >>> lobara.Field.from_file("WMM.COF").at_geodetic(45.0, 7.0, 0.0, quantity="D")  # lobara.geodesy

Errors are ValueError (a bad argument, a grid or degree too large to build, a coefficient beyond
the range of doubles), CoefficientFileError (an OSError and a ValueError) and MemoryError, with
the one-line messages of lobara-render. Long work runs without the GIL, and Ctrl-C stops it.
"""

from ._lobara import CoefficientFileError, __version__
from .convention import AMBIX, CONVENTION_NAMES, GEODESY, LOBARA, NORMALIZATIONS, PHYSICS, SINES, Convention
from .field import DEFAULT_GRID, MAX_DEGREE, ORBITALS, AliasingWarning, ComplexField, Field, FitWarning, grid
from . import geodesy, healpix
from .hydrogen import HydrogenOrbital
from .pictures import Page, Picture, options, table
from .spin_grids import alm2grid, alm2grid_spin, grid2alm, grid2alm_spin


def __getattr__(name):
    # The mesh's class lives in the module of the runs, loaded only when asked for.
    if name == "Mesh":
        from .pictures import _runs
        return _runs().Mesh
    # The stacks of xarray, whose module imports xarray only when used.
    if name == "xarray":
        import importlib
        return importlib.import_module(".xarray", __name__)
    raise AttributeError(f"module 'lobara' has no attribute {name!r}")

__all__ = [
    "AMBIX", "AliasingWarning", "CONVENTION_NAMES", "CoefficientFileError", "ComplexField", "Convention", "DEFAULT_GRID", "Field", "FitWarning",
    "GEODESY", "HydrogenOrbital", "geodesy", "healpix", "LOBARA", "MAX_DEGREE", "NORMALIZATIONS", "Mesh", "ORBITALS", "PHYSICS", "Page", "Picture", "SINES", "alm2grid", "alm2grid_spin", "grid", "grid2alm", "grid2alm_spin", "options", "table", "__version__",
]
