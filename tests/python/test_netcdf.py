"""netCDF grids of lobara-render: files of --values read by xarray, files written by xarray (both
orders of latitude, both conventions of longitude, Gaussian latitudes from NumPy's leggauss)
analysed by --analyze back to the field they were made from, checked against SciPy's harmonics;
bad files refused in one line."""

import math
import os
import subprocess

import numpy
import pytest

from conftest import real_harmonic

xarray = pytest.importorskip("xarray")
pytest.importorskip("netCDF4")

RENDER = os.environ.get("LOBARA_RENDER")
pytestmark = pytest.mark.skipif(not RENDER, reason="LOBARA_RENDER names no lobara-render to run")
GEODESY_DATA = os.path.join(os.path.dirname(__file__), "..", "..", "docs")


def render(*arguments):
    result = subprocess.run([RENDER, *map(str, arguments)], capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    return result


def render_error(*arguments):
    result = subprocess.run([RENDER, *map(str, arguments)], capture_output=True, text=True)
    assert result.returncode != 0 and result.stderr.count("\n") == 1, result.stderr
    return result.stderr


def field(theta, phi):
    """Y(3, 2) + 0.5 Y(5, -4) in the program's convention, from SciPy."""
    return real_harmonic(3, 2, theta, phi) + 0.5 * real_harmonic(5, -4, theta, phi)


def latitudes(grid, n):
    if grid == "lobara":
        return numpy.linspace(90.0, -90.0, n)
    if grid == "cells":
        return 90.0 - 180.0 * (numpy.arange(n) + 0.5) / n
    if grid == "dh":
        return 90.0 - 180.0 * numpy.arange(n) / n
    nodes, _ = numpy.polynomial.legendre.leggauss(n)
    return numpy.degrees(numpy.arcsin(nodes))[::-1]


def test_values_open_in_xarray_with_their_coordinates_and_units(tmp_path):
    for grid, ntheta in (("lobara", 19), ("gl", 18)):
        path = tmp_path / f"{grid}.nc"
        render("-l", 3, "-m", 2, "--theta", ntheta, "--phi", 36, "--grid", grid, "--values", path)
        with xarray.open_dataset(path) as data:
            assert data.attrs["Conventions"] == "CF-1.8"
            assert data["lat"].attrs["units"] == "degrees_north" and data["lon"].attrs["units"] == "degrees_east"
            values = data["value"]
            assert values.dims == ("lat", "lon") and values.attrs["grid"] == grid
            numpy.testing.assert_allclose(data["lat"], latitudes(grid, ntheta), atol=1e-12)
            numpy.testing.assert_allclose(data["lon"], 10.0 * numpy.arange(36), atol=1e-12)
            theta, phi = numpy.meshgrid(numpy.radians(90.0 - data["lat"].values), numpy.radians(data["lon"].values),
                                        indexing="ij")
            numpy.testing.assert_allclose(values, real_harmonic(3, 2, theta, phi), atol=1e-12)
    # A model's quantity by its name, title and unit.
    path = tmp_path / "br.nc"
    render("--coeffs", os.path.join(GEODESY_DATA, "WMM2025.COF"), "--quantity", "Br", "--theta", 19, "--phi", 36,
           "--values", path)
    with xarray.open_dataset(path) as data:
        assert data["Br"].attrs["units"] == "nT" and data["Br"].attrs["long_name"]


@pytest.mark.parametrize("grid, ntheta, south_first, from_west", [
    ("lobara", 19, False, False), ("lobara", 19, True, True), ("cells", 18, True, False),
    ("dh", 18, False, True), ("gl", 18, True, True), ("gl", 18, False, False)])
def test_files_written_by_xarray_analyse_to_their_field(tmp_path, grid, ntheta, south_first, from_west):
    lat = latitudes(grid, ntheta)
    if south_first:
        lat = lat[::-1]
    lon = 10.0 * numpy.arange(36) - (180.0 if from_west else 0.0)
    theta, phi = numpy.meshgrid(numpy.radians(90.0 - lat), numpy.radians(lon), indexing="ij")
    path = tmp_path / "made.nc"
    xarray.Dataset({"h": (("lat", "lon"), field(theta, phi)), "other": ("lon", lon)},
                   coords={"lat": lat, "lon": lon}).to_netcdf(path)
    back = tmp_path / "back.npy"
    render("--analyze", path, "--theta", 7, "--phi", 12, "--values", back)
    theta, phi = numpy.meshgrid(numpy.linspace(0.0, math.pi, 7), 2 * math.pi * numpy.arange(12) / 12, indexing="ij")
    numpy.testing.assert_allclose(numpy.load(back), field(theta, phi), atol=1e-12)


def test_bad_files_get_one_line(tmp_path):
    lat, lon = numpy.linspace(90.0, -90.0, 19), 10.0 * numpy.arange(36)
    values = numpy.ones((19, 36))

    def write(name, dims=("lat", "lon"), lat=lat, lon=lon, values=values):
        path = tmp_path / name
        xarray.Dataset({"h": (dims, values)}, coords={dims[0]: lat, dims[1]: lon}).to_netcdf(path)
        return path

    assert "no variable is a field on lat and lon; the file holds" in render_error(
        "--analyze", write("xy.nc", dims=("y", "x")), "--values", os.devnull)
    gap = lat.copy()
    gap[5] += 2.0
    assert "latitudes (19 from 90 to -90" in render_error("--analyze", write("gap.nc", lat=gap), "--values", os.devnull)
    assert "longitudes (36 from 5" in render_error("--analyze", write("shifted.nc", lon=lon + 5.0), "--values",
                                                    os.devnull)
    holed = values.copy()
    holed[3, 4] = numpy.nan
    assert "at lat 60, lon 40 is missing or not finite" in render_error(
        "--analyze", write("nan.nc", values=holed), "--values", os.devnull)
    assert "there is no variable 'nope'; the file holds" in render_error(
        "--analyze", write("ok.nc"), "--variable", "nope", "--values", os.devnull)
    assert "not the cells of --grid" in render_error("--analyze", write("ok.nc"), "--grid", "cells", "--values",
                                                      os.devnull)
    text = tmp_path / "text.nc"
    text.write_text("lat,lon\n")
    assert "not a netCDF file" in render_error("--analyze", text, "--values", os.devnull)
    assert "--variable names a variable of a netCDF file" in render_error(
        "--analyze", tmp_path / "a.npy", "--variable", "h", "--values", os.devnull)
    assert "a netCDF grid (.nc) holds real values" in render_error(
        "-l", 2, "-m", 1, "--complex", "--values", tmp_path / "c.nc")
    assert not (tmp_path / "c.nc").exists()
