"""HEALPix maps and alm in FITS files against healpy: pixel numbers as nest2ring and ring2nest
give them, files healpy writes read here to the bit and files written here read by healpy to the
bit, bad files refused with one line, and paths taken as they are."""

import os
import subprocess

import numpy
import pytest

import lobara
from lobara import healpix_files as hf

healpy = pytest.importorskip("healpy")
fits = pytest.importorskip("astropy.io.fits")

RENDER = os.environ.get("LOBARA_RENDER")


def same_bits(a, b):
    """The same values to the bit, of the same type, each in the machine's byte order (healpy's
    arrays keep the file's big-endian order)."""
    a, b = (numpy.asarray(x) for x in (a, b))
    a, b = (x.astype(x.dtype.newbyteorder("="), copy=False) for x in (a, b))
    return a.dtype == b.dtype and a.shape == b.shape and a.tobytes() == b.tobytes()


def sky(nside, rng, count=1, dtype=numpy.float64):
    """Maps of random values with UNSEEN, a value near it and NaN among them."""
    maps = rng.standard_normal((count, 12 * nside * nside)).astype(dtype)
    maps[:, 3] = healpy.UNSEEN
    maps[:, 5] = healpy.UNSEEN * (1 + 1e-7)
    maps[:, 7] = numpy.nan
    return maps[0] if count == 1 else maps


@pytest.mark.parametrize("nside", [1, 2, 4, 16, 256])
def test_pixel_numbers_are_healpys(nside):
    pixels = numpy.arange(12 * nside * nside)
    assert numpy.array_equal(hf.nest2ring(nside, pixels), healpy.nest2ring(nside, pixels))
    assert numpy.array_equal(hf.ring2nest(nside, pixels), healpy.ring2nest(nside, pixels))


@pytest.mark.parametrize("nside", [8, 64])  # rows of 1 value, rows of 1024
@pytest.mark.parametrize("dtype", [numpy.float32, numpy.float64])
@pytest.mark.parametrize("nest", [False, True])
def test_healpys_maps_read_to_the_bit(tmp_path, rng, nside, dtype, nest):
    path = str(tmp_path / "map.fits")
    maps = sky(nside, rng, 3, dtype)
    healpy.write_map(path, maps, nest=nest, dtype=dtype, column_units="K")
    # healpy takes a name only in a sequence (a lone string would be its letters' names).
    for field in (0, 2, (0, 1, 2), None, ("Q_POLARISATION",), ("U_POLARISATION", 0)):
        for read_nest in (False, True, None):
            ours = hf.read_map(path, field=field, nest=read_nest)
            theirs = healpy.read_map(path, field=field, nest=read_nest)
            assert same_bits(ours, theirs), (field, read_nest)
    assert same_bits(hf.read_map(path, field=1, dtype=numpy.float64),
                     healpy.read_map(path, field=1, dtype=numpy.float64))
    assert same_bits(hf.read_map(path, field="q_polarisation"), healpy.read_map(path, field=1))


def test_one_value_a_row_and_the_header(tmp_path, rng):
    path = str(tmp_path / "map.fits")
    m = sky(32, rng)
    healpy.write_map(path, m, fits_IDL=False, column_names=["SIGNAL"], column_units="uK")
    assert same_bits(hf.read_map(path), healpy.read_map(path))
    _, ours = hf.read_map(path, h=True)
    _, theirs = healpy.read_map(path, h=True)
    assert dict(ours) == dict(theirs)


@pytest.mark.parametrize("nside", [8, 64])
@pytest.mark.parametrize("dtype", [numpy.float32, numpy.float64])
@pytest.mark.parametrize("nest", [False, True])
def test_maps_written_here_read_by_healpy_to_the_bit(tmp_path, rng, nside, dtype, nest):
    path = str(tmp_path / "map.fits")
    maps = sky(nside, rng, 3, dtype)
    hf.write_map(path, maps, nest=nest, column_units="K")
    for read_nest in (False, True, None):
        assert same_bits(hf.read_map(path, field=None, nest=read_nest),
                         healpy.read_map(path, field=None, nest=read_nest))
    assert same_bits(healpy.read_map(path, field=None, nest=None), _unseen_snapped(maps))
    with fits.open(path) as hdus:
        header = hdus[1].header
        assert (header["PIXTYPE"], header["ORDERING"], header["NSIDE"], header["INDXSCHM"], header["FIRSTPIX"],
                header["LASTPIX"], header["OBJECT"]) == (
                    "HEALPIX", "NESTED" if nest else "RING", nside, "IMPLICIT", 0, 12 * nside * nside - 1, "FULLSKY")
        assert [c.name for c in hdus[1].columns] == ["TEMPERATURE", "Q_POLARISATION", "U_POLARISATION"]
        assert hdus[1].columns[0].unit == "K"
        letter = "E" if dtype == numpy.float32 else "D"
        assert hdus[1].columns[0].format == (f"1024{letter}" if nside == 64 else letter)


def _unseen_snapped(maps):
    snapped = maps.copy()
    snapped[:, 5] = snapped.dtype.type(healpy.UNSEEN)
    return snapped


def test_write_map_conversions_as_healpys(tmp_path, rng):
    """dtype converts, a masked pixel is the array's fill value, names default as healpy's."""
    m = numpy.ma.masked_array(rng.standard_normal(12 * 16 * 16), mask=False)
    m.mask[10] = True
    for dtype in (numpy.float32, [numpy.float64]):
        ours, theirs = str(tmp_path / "ours.fits"), str(tmp_path / "theirs.fits")
        hf.write_map(ours, m, dtype=dtype, overwrite=True)
        healpy.write_map(theirs, m, dtype=dtype, overwrite=True)
        assert same_bits(healpy.read_map(ours), healpy.read_map(theirs))
        with fits.open(ours) as a, fits.open(theirs) as b:
            assert a[1].columns.names == b[1].columns.names and a[1].columns.formats == b[1].columns.formats


@pytest.mark.parametrize("dtype", [numpy.complex64, numpy.complex128])
def test_alm_both_ways_to_the_bit(tmp_path, rng, dtype):
    lmax = 20
    size = healpy.Alm.getsize(lmax)
    alms = (rng.standard_normal((3, size)) + 1j * rng.standard_normal((3, size))).astype(dtype)
    theirs, ours = str(tmp_path / "theirs.fits"), str(tmp_path / "ours.fits")
    healpy.write_alm(theirs, alms)
    hf.write_alm(ours, alms)
    for hdu in (1, 3, (1, 2, 3)):
        assert same_bits(hf.read_alm(theirs, hdu=hdu), healpy.read_alm(theirs, hdu=hdu))
        assert same_bits(healpy.read_alm(ours, hdu=hdu), healpy.read_alm(theirs, hdu=hdu))
    # Truncated on writing: lmax, mmax and the mmax read back.
    healpy.write_alm(theirs, alms[0], lmax=15, mmax=7, overwrite=True)
    hf.write_alm(ours, alms[0], lmax=15, mmax=7, overwrite=True)
    for path in (theirs, ours):
        alm, mmax = hf.read_alm(path, return_mmax=True)
        expected, expected_mmax = healpy.read_alm(theirs, return_mmax=True)
        assert same_bits(alm, expected) and mmax == expected_mmax == 7


def test_alm_file_is_a_coefficient_file(tmp_path, rng):
    """Field.from_file reads healpy's alm as the real field from_healpy makes of them."""
    alm = healpy.synalm(1.0 / (1.0 + numpy.arange(13)) ** 2, lmax=12)
    path = str(tmp_path / "alm.fits")
    healpy.write_alm(path, alm)
    field = lobara.Field.from_file(path)
    nside = 16
    theta, phi = healpy.pix2ang(nside, numpy.arange(12 * nside * nside))
    expected = healpy.alm2map(alm, nside)
    assert numpy.max(numpy.abs(field(theta, phi) - expected)) < 1e-12 * numpy.max(numpy.abs(expected))


def test_paths_are_taken_as_they_are(tmp_path, rng):
    m = sky(4, rng)
    for name in ("!clobber.fits", "map.fits[1]", "mem+x.fits", "a b(2).fits"):
        path = tmp_path / name
        hf.write_map(path, m)
        assert os.listdir(tmp_path) == [name]
        assert same_bits(hf.read_map(path), healpy.read_map(str(path)))
        path.unlink()


def test_writing_leaves_files_as_they_were(tmp_path, rng):
    path = tmp_path / "map.fits"
    path.write_bytes(b"old")
    with pytest.raises(OSError, match="already exists"):
        hf.write_map(path, sky(4, rng))
    with pytest.raises(OSError, match="already exists"):
        hf.write_alm(path, numpy.zeros(6, complex))
    with pytest.raises(ValueError):
        hf.write_map(path, numpy.zeros(100), overwrite=True)
    with pytest.raises(OSError):
        hf.write_map(tmp_path / "missing" / "map.fits", sky(4, rng))
    assert os.listdir(tmp_path) == ["map.fits"] and path.read_bytes() == b"old"


def write_table(path, columns, header=(), hdus_before=0):
    """A binary table written by astropy, not by the writer under test."""
    table = fits.BinTableHDU.from_columns([fits.Column(name=n, format=f, array=a) for n, f, a in columns])
    for key, value in header:
        table.header[key] = value
    fits.HDUList([fits.PrimaryHDU()] + [table] * (1 + hdus_before)).writeto(path, overwrite=True)


def map_header(nside, ordering="RING"):
    return [("PIXTYPE", "HEALPIX"), ("ORDERING", ordering), ("NSIDE", nside), ("INDXSCHM", "IMPLICIT")]


def test_bad_files_get_one_line(tmp_path):
    bad = str(tmp_path / "bad.fits")
    values = numpy.zeros(48)

    def refused(read, pattern):
        with pytest.raises(lobara.CoefficientFileError, match=pattern) as raised:
            read(bad)
        assert "\n" not in str(raised.value) and bad in str(raised.value)

    with open(bad, "w") as text:
        text.write("1 1 0.5 0.5\n")
    refused(hf.read_map, "not a FITS file")
    refused(hf.read_alm, "not a FITS file")
    write_table(bad, [("T", "D", values)], map_header(2))
    with open(bad, "r+b") as cut:
        cut.truncate(2880 * 2 + 100)
    refused(hf.read_map, "truncated")
    write_table(bad, [("T", "D", values)], map_header(2)[:2])
    refused(hf.read_map, "no NSIDE")
    write_table(bad, [("T", "D", values)], map_header(3))
    refused(hf.read_map, "holds 48 values, not the 12 Nside\\^2 = 108")
    write_table(bad, [("T", "D", numpy.zeros(108))], map_header(3, "NESTED"))
    refused(hf.read_map, "power of 2")
    write_table(bad, [("T", "D", values)], map_header(0))
    refused(hf.read_map, "NSIDE is 0")
    write_table(bad, [("T", "D", values)], map_header(2) + [("NSIDE", "two")])
    refused(hf.read_map, "not a whole number")
    write_table(bad, [("T", "D", values)], map_header(2, "SPIRAL"))
    refused(hf.read_map, "ORDERING")
    write_table(bad, [("T", "D", values)], map_header(2))
    refused(lambda p: hf.read_map(p, field=1), "no column 1")
    refused(lambda p: hf.read_map(p, field="Q"), "no column named")
    write_table(bad, [("T", "A8", numpy.array(["x"] * 48))], map_header(2))
    refused(hf.read_map, "does not hold numbers")
    # alm: an index below 1, one given twice, one of l above the largest degree, too few columns.
    for index, pattern in (([0, 2], "below 1"), ([1, 3, 3], "twice"), ([2 ** 31 - 1], "above the largest degree")):
        index = numpy.array(index, numpy.int32)
        write_table(bad, [("index", "J", index), ("real", "D", numpy.ones(index.size)),
                          ("imag", "D", numpy.zeros(index.size))])
        refused(hf.read_alm, pattern)
        refused(lobara.Field.from_file, pattern)
    write_table(bad, [("index", "J", numpy.array([1], numpy.int32)), ("real", "D", numpy.ones(1))])
    refused(hf.read_alm, "not the three")
    refused(lambda p: hf.read_alm(p, hdu=2), "no unit 2")


def test_unseen_pixels_are_read_as_they_are(tmp_path, rng):
    m = sky(8, rng)
    path = str(tmp_path / "map.fits")
    healpy.write_map(path, m)
    read = hf.read_map(path)
    assert read[3] == healpy.UNSEEN and numpy.isnan(read[7])


@pytest.mark.skipif(not RENDER, reason="LOBARA_RENDER names no lobara-render to run")
def test_render_writes_and_reads_alm_files(tmp_path):
    """--coeffs-out alm.fits read by healpy and synthesised by alm2map against lobara-render's
    own values at the same points, and --coeffs alm.fits written again as the same alm."""
    alm_path = str(tmp_path / "field.fits")
    subprocess.run([RENDER, "--term", "3,2,0.5", "--term", "4,-1,0.25", "--term", "0,0,1", "--norm", "4pi",
                    "--coeffs-out", alm_path, "--values", os.devnull], check=True)
    alm = healpy.read_alm(alm_path)
    nside = 8
    theta, phi = healpy.pix2ang(nside, numpy.arange(12 * nside * nside))
    points = [word for t, p in zip(theta[:40], phi[:40]) for word in ("--at", f"{t!r},{p!r}")]
    result = subprocess.run([RENDER, "--coeffs", alm_path, *points], capture_output=True, text=True, check=True)
    ours = numpy.array([float(line) for line in result.stdout.splitlines()])
    expected = healpy.alm2map(alm, nside)[:40]
    assert numpy.max(numpy.abs(ours - expected)) < 1e-13
    again = str(tmp_path / "again.fits")
    subprocess.run([RENDER, "--coeffs", alm_path, "--coeffs-out", again, "--values", os.devnull], check=True)
    # sqrt(2) Re a_lm read and sqrt(1/2) of it written: the same but for the last bit.
    assert numpy.allclose(healpy.read_alm(again), alm, rtol=4e-16, atol=0.0)
