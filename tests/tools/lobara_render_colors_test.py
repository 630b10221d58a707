#!/usr/bin/python3
"""Colour from the values, checked against readers and formulas that share no code with
lobara-render: SciPy's sph_harm and closed forms for the values, matplotlib's tables for the
colours, ImageMagick for the PNG. One group of checks a capability."""
import math
import os

import matplotlib
import meshio
import numpy as np
from scipy.special import gammaln, sph_harm

from render_run import WORK, check, finish, read_png, run


def render_map(*args, name="map.png"):
    path = os.path.join(WORK, name)
    result = run(*args, "--out", path)
    check(result.returncode == 0, f"{args}: exit {result.returncode}: {result.stderr}")
    return read_png(path)


def pixel_directions(width, height):
    """theta and phi at the pixel centres of an equirectangular map of width x height."""
    theta = (np.arange(height)[:, None] + 0.5) / height * math.pi
    phi = ((np.arange(width)[None, :] + 0.5) / width * 2 - 1) * math.pi
    return theta + 0 * phi, phi + 0 * theta


def map_positions(pixels, name):
    """Each pixel's place on the colour map called name, from 0 to 1: its nearest entry."""
    table = np.round(matplotlib.colormaps[name](np.linspace(0, 1, 256))[:, :3] * 255)
    distance = ((pixels[..., None, :3].astype(float) - table) ** 2).sum(axis=-1)
    return np.argmin(distance, axis=-1) / 255


def test_map_orientation():
    """+x at the centre of every projection, +y (phi = 90 degrees east) halfway to the right edge,
    north up: the map's warmest pixel of Y(1, 1), Y(1, -1) with the standard sine and Y(1, 0)."""
    for projection, width, height in (("equirect", 240, 120), ("mollweide", 240, 120), ("ortho", 120, 120)):
        for l, m, where in ((1, 1, (0.5, 0.5)), (1, -1, (0.75, 0.5)), (1, 0, (0.5, 0.0))):
            if projection == "ortho" and m == -1:
                where = (1.0, 0.5)
            pixels = render_map("-l", l, "-m", m, "--sine", "standard", "--map", projection, "--background",
                                "white", "--size", f"{width}x{height + 30}")[:height]
            position = map_positions(pixels, "coolwarm")
            y, x = np.unravel_index(np.argmax(position), position.shape)
            # Round the north pole Y(1, 0) is flat: the top entry of the map covers a cap.
            x_right = abs(x / width - where[0]) < 0.05 or m == 0
            check(x_right and abs(y / height - where[1]) < (0.1 if m == 0 else 0.05),
                  f"{projection} Y({l},{m}): maximum at ({x}, {y}) of {width}x{height}, wanted {where}")


def test_value_colours():
    """--color value of Y(20, 7) on an equirectangular map: each pixel the colour that matplotlib's
    coolwarm gives its value from SciPy, on the scale -max|Y| .. max|Y|, to the map's resolution."""
    width, height = 800, 400
    pixels = render_map("-l", 20, "-m", 7, "--map", "equirect", "--color", "value", "--size",
                        f"{width}x{height + 80}")[:height, :, :3].astype(int)
    theta, phi = pixel_directions(width, height)
    # The real harmonic: sqrt(2) Re of the complex one, SciPy's (-1)^m undone.
    y = -math.sqrt(2) * sph_harm(7, 20, phi, theta).real
    fine_theta, fine_phi = np.meshgrid(np.linspace(0, math.pi, 2001), np.linspace(0, 2 * math.pi, 4001))
    peak = np.max(np.abs(sph_harm(7, 20, fine_phi, fine_theta).real)) * math.sqrt(2)
    expected = np.round(matplotlib.colormaps["coolwarm"]((y / peak + 1) / 2)[..., :3] * 255).astype(int)
    error = np.abs(pixels - expected).max(axis=2)
    check(np.percentile(error, 99) <= 3 and error.max() <= 8,
          f"Y(20,7) colours: 99th percentile {np.percentile(error, 99)}, worst {error.max()} levels")
    positive = render_map("-l", 0, "-m", 0, "--map", "equirect", "--size", "200x140")[20:100, :, :3]
    viridis_top = np.round(np.array(matplotlib.colormaps["viridis"](1.0)[:3]) * 255)
    check(np.abs(positive.astype(int) - viridis_top).max() <= 1, "Y(0,0) is not at the top of viridis")


def test_phase_wraps():
    """The hue along the equator of complex Y(l, m) on --colormap hsv turns |m| times, eastward
    for m > 0."""
    width, height = 720, 360
    for l, m in ((5, 3), (4, -2), (7, 1)):
        pixels = render_map("--complex", "-l", l, "-m", m, "--map", "equirect", "--colormap", "hsv", "--size",
                            f"{width}x{height + 72}")[:height]
        rgb = pixels[height // 2 - 1, :, :3].astype(float) / 255
        hue = matplotlib.colors.rgb_to_hsv(rgb)[:, 0] * 2 * math.pi
        turns = (np.unwrap(np.append(hue, hue[0])) [-1] - hue[0]) / (2 * math.pi)
        check(round(turns) == m and abs(turns - m) < 0.05, f"Y({l},{m}): the equator's hue turns {turns} times")


def test_map_title():
    """--title over a map has a strip of its own: no row holds both the title's grey text and the
    map's colours, and the map keeps the size it has without a title."""
    def colour_box(pixels):
        rgb = pixels[..., :3].astype(int)
        colour = rgb.max(axis=2) - rgb.min(axis=2) > 30
        rows, columns = np.nonzero(colour)
        return colour, rows.max() - rows.min() + 1, columns.max() - columns.min() + 1

    plain = render_map("-l", 3, "-m", 2, "--map", "mollweide", "--background", "white", name="plain.png")
    titled = render_map("-l", 3, "-m", 2, "--map", "mollweide", "--background", "white", "--title", "Y(3, 2)",
                        name="titled.png")
    colour, height, width = colour_box(titled)
    rgb = titled[..., :3].astype(int)
    text = (rgb.max(axis=2) - rgb.min(axis=2) < 8) & (rgb.max(axis=2) < 160)
    text_rows = np.nonzero(text[:titled.shape[0] // 4].any(axis=1))[0]
    check(len(text_rows) > 0 and not colour[text_rows].any(), "the title is drawn over the map")
    check(colour_box(plain)[1:] == (height, width), f"a title changes the map's size: {colour_box(plain)[1:]} "
          f"without it, {(height, width)} with it")


def sectoral(l, theta, phi):
    """Y(l, l) = N(l, l) (2l - 1)!! sin^l(theta) e^(i l phi), no Condon-Shortley phase, in logs so
    that no factor overflows."""
    log_n = 0.5 * (math.log((2 * l + 1) / (4 * math.pi)) - gammaln(2 * l + 1))
    log_double_factorial = gammaln(2 * l + 1) - l * math.log(2) - gammaln(l + 1)
    return np.exp(log_n + log_double_factorial + l * np.log(np.maximum(np.sin(theta), 1e-300))) * np.exp(1j * l * phi)


def test_complex_values():
    """--complex --values is complex128 of SciPy's sph_harm, its Condon-Shortley phase with --cs and
    none without, to 1e-14 of max|Y|; finite and equal to the closed form where SciPy gives NaN;
    --at prints re im; --term and --acn sum their terms; the surface lies at |Y|."""
    n_theta, n_phi = 31, 40
    theta = np.arange(n_theta)[:, None] / (n_theta - 1) * math.pi + np.zeros((1, n_phi))
    phi = np.arange(n_phi)[None, :] / n_phi * 2 * math.pi + np.zeros((n_theta, 1))
    path = os.path.join(WORK, "complex.npy")

    def values(*args):
        result = run("--complex", "--theta", n_theta, "--phi", n_phi, *args, "--values", path)
        check(result.returncode == 0, f"{args}: exit {result.returncode}: {result.stderr}")
        return np.load(path)

    for l, m in ((0, 0), (3, 2), (3, -2), (5, 1), (5, -3), (12, 11), (40, -17), (84, 84)):
        for cs in (True, False):
            expected = sph_harm(m, l, phi, theta) * (1 if cs or m <= 0 else (-1) ** m)
            got = values("-l", l, "-m", m, *(("--cs",) if cs else ()))
            error = np.abs(got - expected).max() / np.abs(expected).max()
            check(got.dtype == np.complex128 and error < 1e-14, f"Y({l},{m}) cs={cs}: error {error} of max|Y|")
    for l in (85, 100, 300):
        got = values("-l", l, "-m", l, "--phi", 4 * l)
        phi_fine = np.arange(4 * l)[None, :] / (4 * l) * 2 * math.pi
        expected = sectoral(l, theta[:, :1], phi_fine)
        error = np.abs(got - expected).max() / np.abs(expected).max()
        # The closed form in logs keeps about 1e-16 of its exponent, some hundreds at l = 300.
        check(np.isfinite(got).all() and error < 1e-12, f"Y({l},{l}): error {error} of max|Y|")
    got = values("--term", "2,1,0.5", "--term", "3,-2,2")
    expected = 0.5 * -sph_harm(1, 2, phi, theta) + 2 * sph_harm(-2, 3, phi, theta)
    check(np.abs(got - expected).max() < 1e-14 * np.abs(expected).max(), "--term sum differs from SciPy")
    # SN3D, the default of --acn: N without sqrt((2l + 1) / (4 pi)).
    got = values("--acn", "0,0,0,1")
    expected = sph_harm(1, 1, phi, theta) * -math.sqrt(4 * math.pi / 3)
    check(np.abs(got - expected).max() < 1e-14, "--acn channel 3 differs from SciPy's Y(1, 1) in SN3D")
    # The polar plot of |Y|, read back by meshio.
    result = run("--complex", "-l", 3, "-m", 2, "--theta", n_theta, "--phi", n_phi, "--mesh", "c.obj")
    radius = np.linalg.norm(meshio.read(os.path.join(WORK, "c.obj")).points, axis=1)
    expected = np.abs(sph_harm(2, 3, phi, theta)).ravel()
    check(result.returncode == 0 and np.abs(radius - expected).max() < 1e-6, "the surface is not at |Y(3, 2)|")
    result = run("--complex", "-l", 3, "-m", 2, "--at", "1,0.5")
    re, im = map(float, result.stdout.split())
    expected = sph_harm(2, 3, 0.5, 1.0)
    check(abs(re - expected.real) < 1e-15 and abs(im - expected.imag) < 1e-15, f"--at gives {result.stdout}")


def test_mesh_colours():
    """A mesh carries what the picture shows: complex Y(3, 2)'s PLY, read by meshio, holds SciPy's
    phase beside |Y| and each vertex in twilight's colour of it; --color value of a real field
    colours its vertices by coolwarm."""
    n_theta, n_phi = 31, 40
    theta = (np.arange(n_theta)[:, None] / (n_theta - 1) * math.pi + np.zeros((1, n_phi))).ravel()
    phi = (np.arange(n_phi)[None, :] / n_phi * 2 * math.pi + np.zeros((n_theta, 1))).ravel()
    path = os.path.join(WORK, "c.ply")

    def vertices(*args):
        result = run("--theta", n_theta, "--phi", n_phi, *args, "--mesh", path)
        check(result.returncode == 0, f"{args}: exit {result.returncode}: {result.stderr}")
        ply = meshio.read(path)
        # The samples come first; copies of shared vertices follow them.
        data = {name: values[:n_theta * n_phi] for name, values in ply.point_data.items()}
        # meshio 5 reads uchar as int8.
        return data, np.stack([data["red"], data["green"], data["blue"]], axis=1).astype(int) % 256

    data, colours = vertices("--complex", "-l", 3, "-m", 2)
    check("phase" in data, "complex Y(3,2): the PLY has no phase")
    y = sph_harm(2, 3, phi, theta)
    data.setdefault("phase", np.zeros_like(y.real))
    away = np.abs(y) > 1e-3 * np.abs(y).max()
    phase_error = np.abs(np.angle(np.exp(1j * (data["phase"] - np.angle(y)))))[away].max()
    check(phase_error < 1e-6, f"complex Y(3,2): the PLY's phase is off by {phase_error}")
    expected = np.round(matplotlib.colormaps["twilight"]((np.angle(y) + math.pi) / (2 * math.pi))[:, :3] * 255)
    colour_error = np.abs(colours - expected)[away].max()
    check(colour_error <= 6, f"complex Y(3,2): vertex colours off twilight by {colour_error} levels")

    data, colours = vertices("-l", 2, "-m", 1, "--color", "value")
    peak = np.abs(data["value"]).max()
    expected = np.round(matplotlib.colormaps["coolwarm"]((data["value"] / peak + 1) / 2)[:, :3] * 255)
    colour_error = np.abs(colours - expected).max()
    check("phase" not in data and colour_error <= 6, f"Y(2,1) --color value: vertex colours off by {colour_error}")


for test in (test_map_orientation, test_value_colours, test_phase_wraps, test_map_title, test_complex_values,
             test_mesh_colours):
    test()
finish("lobara-render colours")
