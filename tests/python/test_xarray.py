"""lobara.xarray on stacks of grids: each field as lobara.Field.analyze gives it, bit for bit, on
NumPy, on Dask's threads and on a dask.distributed cluster of two worker processes; synthesis back
to the stack; power, band and smoothing against their formulas (the Gaussian weights against SciPy's
modified spherical Bessel functions); bad arrays refused in one line."""

import math
import os

import numpy
import pytest
import scipy.special

import lobara
import lobara.xarray as lx

xarray = pytest.importorskip("xarray")


def cartesian(lat, lon):
    theta, phi = numpy.meshgrid(numpy.radians(90.0 - lat), numpy.radians(lon), indexing="ij")
    return numpy.sin(theta) * numpy.cos(phi), numpy.sin(theta) * numpy.sin(phi), numpy.cos(theta)


def stack(nfields, lat, lon, top, seed=3):
    """Fields of degree up to top, written without harmonics: a polynomial of degree 3 in x, y, z
    (degree 3 on the sphere) plus Re (x + iy)^top, the sectoral harmonic of degree top."""
    x, y, z = cartesian(lat, lon)
    rng = numpy.random.default_rng(seed)
    a = rng.uniform(-1.0, 1.0, (nfields, 6))
    return (a[:, 0, None, None] + a[:, 1, None, None] * x * y * z + a[:, 2, None, None] * z ** 3
            + a[:, 3, None, None] * x + a[:, 4, None, None] * y * y
            + a[:, 5, None, None] * ((x + 1j * y) ** top).real)


def data_array(values, lat, lon):
    return xarray.DataArray(values, dims=("time", "lat", "lon"),
                            coords={"time": numpy.arange(values.shape[0]), "lat": lat, "lon": lon})


def serial(values, grid, lmax, convention=lobara.LOBARA):
    return numpy.stack([lobara.Field.analyze(v, grid, lmax, convention).terms[2] for v in values])


LAT = numpy.linspace(90.0, -90.0, 19)
LON = 10.0 * numpy.arange(36)


def test_a_stack_is_each_field_analysed_whatever_its_order_and_dimensions():
    values = stack(6, LAT, LON, 17).reshape(2, 3, 19, 36)
    expected = serial(values.reshape(6, 19, 36), "lobara", 17).reshape(2, 3, -1)
    da = xarray.DataArray(values, dims=("member", "time", "lat", "lon"),
                          coords={"time": [10, 20, 30], "lat": LAT, "lon": LON})
    for given in (da, da.transpose("lat", "time", "lon", "member"),
                  da.isel(lat=slice(None, None, -1)),
                  da.roll(lon=18, roll_coords=True).assign_coords(lon=LON - 180.0)):
        coeffs = lx.analyze(given, threads=2)
        assert set(coeffs.dims) == {"member", "time", "coefficient"}
        numpy.testing.assert_array_equal(coeffs.transpose("member", "time", "coefficient"), expected)
    assert list(coeffs["time"].values) == [10, 20, 30]
    index = numpy.arange(18 * 18)
    l = numpy.floor(numpy.sqrt(index))
    numpy.testing.assert_array_equal(coeffs["l"], l)
    numpy.testing.assert_array_equal(coeffs["m"], index - l * l - l)


def test_gaussian_latitudes_and_other_conventions():
    nodes, _ = numpy.polynomial.legendre.leggauss(16)
    lat = numpy.degrees(numpy.arcsin(nodes))  # south first
    lon = 360.0 * numpy.arange(32) / 32 - 180.0
    values = stack(3, lat, lon, 15)
    coeffs = lx.analyze(data_array(values, lat, lon), lmax=12, convention=lobara.GEODESY)
    north_first = numpy.roll(values[:, ::-1, :], 16, axis=2)
    numpy.testing.assert_array_equal(coeffs, serial(north_first, "gl", 12, lobara.GEODESY))
    assert coeffs.attrs["grid"] == "gl" and coeffs.attrs["norm"] == "4pi"
    back = lx.synthesize(coeffs, "gl", 16, 32)
    assert back.dims == ("time", "lat", "lon") and back["lat"].attrs["units"] == "degrees_north"
    numpy.testing.assert_allclose(back["lat"], lat[::-1], atol=1e-12)


def test_synthesis_power_band_and_smoothing():
    values = stack(4, LAT, LON, 17)
    coeffs = lx.analyze(data_array(values, LAT, LON))
    back = lx.synthesize(coeffs, "lobara", 19, 36)
    numpy.testing.assert_allclose(back, values, atol=1e-12 * numpy.abs(values).max())
    numpy.testing.assert_allclose(back["lon"], LON, atol=1e-12)
    # The power is the mean square of each degree's part: all of it the mean square of the field,
    # by the exact quadrature of degree 2 * 17 on the Gauss-Legendre grid.
    nodes, weights = numpy.polynomial.legendre.leggauss(18)
    on_gl = lx.synthesize(coeffs, "gl", 18, 36)
    mean_square = numpy.einsum("tij,i->t", on_gl.values ** 2, weights[::-1]) / (2 * 36)
    numpy.testing.assert_allclose(lx.power(coeffs).sum("degree"), mean_square, rtol=1e-12)
    assert lx.power(coeffs).dims == ("time", "degree")
    high = lx.band(coeffs, 4, 17)
    assert int(high["l"].min()) == 4 and int(high["l"].max()) == 17
    numpy.testing.assert_allclose(lx.power(high).isel(degree=slice(0, 4)), 0.0)
    # Only the sectoral harmonic has a degree above 3.
    x, y, _ = cartesian(LAT, LON)
    sectoral = numpy.random.default_rng(3).uniform(-1.0, 1.0, (4, 6))[:, 5, None, None] * ((x + 1j * y) ** 17).real
    numpy.testing.assert_allclose(lx.synthesize(high, "lobara", 19, 36), sectoral, atol=1e-12)
    # Jekeli's weights, i_l(b) / i_0(b), b = ln 2 / (1 - cos(d / a)) with d half the full width.
    smooth = lx.smooth(coeffs, fwhm_km=2000.0)
    b = math.log(2.0) / (1.0 - math.cos(1000.0 / 6371.0))
    l = coeffs["l"].values
    weights = scipy.special.spherical_in(l, b) / scipy.special.spherical_in(0, b)
    numpy.testing.assert_allclose(smooth, coeffs * weights, rtol=1e-10, atol=1e-300)


def test_bad_arrays_get_one_line():
    values = stack(2, LAT, LON, 3)
    holed = values.copy()
    holed[1, 4, 7] = numpy.inf
    cases = {
        "a latitude dimension": xarray.DataArray(values, dims=("time", "y", "x")),
        "has no coordinate": xarray.DataArray(values, dims=("time", "lat", "lon")),
        "latitudes (19 from": data_array(values, LAT + numpy.where(LAT == 50.0, 3.0, 0.0), LON),
        "longitudes (36 from 5": data_array(values, LAT, LON + 5.0),
        "need finite numbers: inf in field 1 of the block, at ring 4": data_array(holed, LAT, LON),
    }
    for message, da in cases.items():
        with pytest.raises(ValueError) as raised:
            lx.analyze(da)
        assert message in str(raised.value) and "\n" not in str(raised.value)
    with pytest.raises(ValueError, match="lmax needs a degree from 0 to 17"):
        lx.analyze(data_array(values, LAT, LON), lmax=18)


def test_dask_stays_lazy_and_threads_give_the_same_bits():
    dask = pytest.importorskip("dask")
    values = stack(8, LAT, LON, 17)
    da = data_array(values, LAT, LON).chunk({"time": 3, "lat": 10})
    coeffs = lx.analyze(da)
    assert coeffs.chunks is not None
    # One task for each chunk of time, latitude whole in each.
    assert len(coeffs.data.dask.layers[coeffs.data.name]) == 3
    with dask.config.set(scheduler="threads"):
        numpy.testing.assert_array_equal(coeffs.compute(), serial(values, "lobara", 17))
        back = lx.synthesize(coeffs, "lobara", 19, 36)
        assert back.chunks is not None
        numpy.testing.assert_allclose(back.compute(), values, atol=1e-12 * numpy.abs(values).max())
        numpy.testing.assert_allclose(lx.power(coeffs).compute(), lx.power(coeffs.compute()), rtol=0, atol=0)


@pytest.fixture(scope="module")
def cluster_client():
    distributed = pytest.importorskip("distributed")
    try:
        cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                           dashboard_address=None)
    except Exception:
        if "libasan" in os.environ.get("LD_PRELOAD", ""):
            pytest.skip("a LocalCluster cannot start worker processes with the sanitizers' runtimes preloaded")
        raise
    client = distributed.Client(cluster)
    yield client
    client.close()
    cluster.close()


def test_a_stack_on_a_cluster_of_two_processes_is_the_serial_analysis_bit_for_bit(cluster_client):
    lat, lon = numpy.linspace(90.0, -90.0, 181), numpy.arange(360.0)
    values = stack(200, lat, lon, 179)
    coeffs = lx.analyze(data_array(values, lat, lon).chunk({"time": 25}))
    assert coeffs.sizes["coefficient"] == 180 * 180
    computed = cluster_client.compute(coeffs).result()
    numpy.testing.assert_array_equal(computed, serial(values, "lobara", 179))
    back = cluster_client.compute(lx.synthesize(coeffs, "lobara", 181, 360)).result()
    numpy.testing.assert_allclose(back, values, rtol=0, atol=1e-12 * numpy.abs(values).max())
