"""HEALPix maps and healpy's alm in FITS files, read and written as healpy's read_map, write_map,
read_alm and write_alm do (the same signatures, layouts and values, to the bit), through the C++
readers and writers of lobara-render. A file that cannot be read raises CoefficientFileError
(an OSError and a ValueError) with one line naming the file and the fault; files are written
all or nothing, an existing one left as it was when the writing fails."""

import os

import numpy

from ._lobara import UNSEEN, nest2ring, read_alm_file, read_map_file, ring2nest
from .layouts import healpy_lmax, healpy_size

# healpy's names of the columns of 1, 2, 3 and 6 maps; COLUMN_1, COLUMN_2 ... otherwise. A single
# map's column is T: healpy takes the first letter of its "TEMPERATURE".
STANDARD_COLUMN_NAMES = {
    1: ["T"],
    2: ["Q_POLARISATION", "U_POLARISATION"],
    3: ["TEMPERATURE", "Q_POLARISATION", "U_POLARISATION"],
    6: ["II", "IQ", "IU", "QQ", "QU", "UU"],
}
_FORMS = {numpy.dtype(numpy.float32): "E", numpy.dtype(numpy.float64): "D"}
_DTYPES = {"E": numpy.float32, "D": numpy.float64, "B": numpy.uint8, "I": numpy.int16, "J": numpy.int32,
           "K": numpy.int64}


def _runs():
    from .pictures import _runs as runs
    return runs()


def _refuse_existing(filename, overwrite):
    if not overwrite and os.path.lexists(filename):
        raise OSError(f"File {os.fspath(filename)!r} already exists. If you mean to replace it then use the "
                      "argument \"overwrite=True\".")


def _header_value(text):
    """A card's value as astropy gives it: a string without its quotes and trailing blanks, a
    logical, a whole or a real number, else the text."""
    if text.startswith("'"):
        return text[1:text.rfind("'")].replace("''", "'").rstrip() if text.rfind("'") > 0 else text
    if text in ("T", "F"):
        return text == "T"
    for parse in (int, lambda t: float(t.replace("D", "E"))):
        try:
            return parse(text)
        except ValueError:
            pass
    return text


# mask_bad's values at a time (and lobara.healpix's check of finite values), through one buffer: a
# whole map's differences of Nside 2048 would take 800 MB, and fresh arrays a page fault for every
# few kB.
_MASK_BLOCK = 1 << 16


def mask_bad(m):
    """healpy's mask_bad: the values within 1e-5 of UNSEEN."""
    values = numpy.asarray(m)
    mask = numpy.empty(values.shape, dtype=bool)
    flat, flat_mask = values.reshape(-1), mask.reshape(-1)
    difference = numpy.empty(min(flat.size, _MASK_BLOCK))
    tolerance = 1.0e-8 + 1.0e-5 * numpy.absolute(UNSEEN)
    for start in range(0, flat.size, _MASK_BLOCK):
        part = flat[start:start + _MASK_BLOCK]
        d = difference[:part.size]
        numpy.subtract(part, UNSEEN, out=d)
        numpy.absolute(d, out=d)
        numpy.less_equal(d, tolerance, out=flat_mask[start:start + part.size])
    return mask[()] if mask.ndim == 0 else mask


def read_map(filename, field=0, nest=False, dtype=None, h=False):
    """The map or maps of a HEALPix FITS file as healpy.read_map gives them: the column(s) field
    (a place from 0, a name, a sequence of them, or None for all) in RING order (nest=False),
    NESTED (True) or the file's (None), each as the file's type unless dtype; values near UNSEEN
    made UNSEEN as healpy makes them; with h, also the header's (keyword, value) pairs."""
    single = not (field is None or (hasattr(field, "__len__") and not isinstance(field, str)))
    fields = None if field is None else [field] if single else list(field)
    # NESTED is asked of the file's own order, and RING of the C++ reader's.
    read = read_map_file(filename, fields, nest is None or bool(nest))
    columns = read["columns"]
    dtypes = dtype if isinstance(dtype, (list, tuple)) else [dtype] * len(columns)
    if len(dtypes) != len(columns):
        raise ValueError("The number of dtypes are not equal to the number of fields")
    maps = []
    for (_, _, form, values), chosen in zip(columns, dtypes):
        m = values.astype(_DTYPES[form] if chosen is None else chosen, copy=False)
        if nest and not read["nested"]:
            m = m[nest2ring(read["nside"], numpy.arange(m.size))]
        try:
            m[mask_bad(m)] = UNSEEN
        except OverflowError:
            pass
        maps.append(m)
    result = maps[0] if len(maps) == 1 else numpy.array(maps) if all(d == dtypes[0] for d in dtypes) else maps
    if h:
        return result, [(key, _header_value(value)) for key, value in read["header"]]
    return result


def write_map(filename, m, nest=False, overwrite=False, column_names=None, dtype=None, column_units=None):
    """Writes a map, or a sequence of maps of the same length (I, Q, U), as healpy.write_map
    does: a column each, float32 or float64 as dtype (one or one per map) or each map's own, in
    the order nest says the values are in (they are not reordered). A masked array's masked values
    are its fill value, as healpy writes them (UNSEEN for healpy.ma's arrays)."""
    if not hasattr(m, "__len__"):
        raise TypeError("The map must be a sequence")
    maps = [numpy.ma.filled(m)] if numpy.ndim(m[0]) == 0 else [numpy.ma.filled(x) for x in m]
    maps = [numpy.asarray(x) for x in maps]
    dtypes = list(dtype) if isinstance(dtype, (list, tuple)) else [dtype] * len(maps)
    dtypes = [x.dtype if d is None else numpy.dtype(d) for x, d in zip(maps, dtypes)]
    for d in dtypes:
        if d not in _FORMS:
            raise ValueError(f"a map file holds float32 or float64 columns here, not {d}")
    if column_names is None:
        column_names = STANDARD_COLUMN_NAMES.get(len(maps), [f"COLUMN_{n}" for n in range(1, len(maps) + 1)])
    elif isinstance(column_names, str):
        column_names = [column_names]
    if len(column_names) != len(maps):
        raise ValueError("Length column_names != number of maps")
    if column_units is None or isinstance(column_units, str):
        column_units = [column_units] * len(maps)
    if len({x.size for x in maps}) != 1:
        raise ValueError("Maps must have same length")
    nside = int(round(numpy.sqrt(maps[0].size / 12.0)))
    if nside < 1 or 12 * nside * nside != maps[0].size:
        raise ValueError("Invalid healpix map : wrong number of pixel")
    _refuse_existing(filename, overwrite)
    # float32 values are written from their doubles, which hold them exactly.
    columns = [x.astype(d, copy=False).astype(numpy.float64).ravel() for x, d in zip(maps, dtypes)]
    _runs().write_map_file(filename, columns, list(column_names), ["" if u is None else u for u in column_units],
                           "".join(_FORMS[d] for d in dtypes), nside, bool(nest))


def read_alm(filename, hdu=1, return_mmax=False):
    """healpy.read_alm: the complex alm of a unit (or a sequence of units, as rows) of a FITS file
    in healpy's layout, lmax and mmax the largest l and m the file holds; with return_mmax, also
    mmax."""
    hdus = [int(x) for x in numpy.atleast_1d(hdu)]
    components, _, mmax, single = read_alm_file(filename, hdus)
    dtype = numpy.complex64 if single else numpy.complex128
    components = [c.astype(dtype, copy=False) for c in components]
    alm = components[0] if len(components) == 1 else numpy.array(components)
    return (alm, mmax) if return_mmax else alm


def write_alm(filename, alms, lmax=None, mmax=None, overwrite=False):
    """healpy.write_alm: one unit for each of alms (an array of healpy's layout with mmax = lmax,
    or a sequence of them), the rows index = l^2 + l + m + 1, real and imag for l <= lmax and
    m <= mmax (default all), float32 for complex64 alm and float64 otherwise."""
    components = [numpy.asarray(alms)] if numpy.ndim(alms[0]) == 0 else [numpy.asarray(a) for a in alms]
    lmax_in = healpy_lmax(components[0].size)
    if lmax_in is None:
        raise ValueError(f"alm of size {components[0].size} is no healpy layout with mmax = lmax")
    lmax = lmax_in if lmax is None or lmax == -1 else int(lmax)
    if lmax > lmax_in:
        raise ValueError("Too big lmax in parameter")
    mmax = lmax if mmax is None or mmax == -1 else min(int(mmax), lmax_in)
    single = components[0].dtype == numpy.complex64
    for a in components:
        if a.size != healpy_size(lmax_in, lmax_in):
            raise ValueError("all alm must have the same size")
    _refuse_existing(filename, overwrite)
    _runs().write_alm_file(filename, [a.astype(numpy.complex128, copy=False) for a in components], lmax_in,
                           lmax_in, lmax, min(mmax, lmax), single)
