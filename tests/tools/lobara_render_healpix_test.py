#!/usr/bin/python3
"""lobara-render on the HEALPix grid against healpy: maps of --values equal healpy's alm2map of
the same a_lm, the coefficients of --analyze healpy's map2alm with the same iterations, both with
and without --pol; --map of a HEALPix map shows each pixel where healpy's ang2pix puts it (and as
healpy's mollview orients it); bad input is refused with one line and nothing written."""
import os

import healpy as hp
import numpy as np

from render_run import WORK, check, finish, read_png, run

rng = np.random.default_rng(49)
NSIDE = 32
LMAX = 50


def path(name):
    return os.path.join(WORK, name)


def random_alm(lmax):
    alm = rng.normal(size=hp.Alm.getsize(lmax)) + 1j * rng.normal(size=hp.Alm.getsize(lmax))
    alm[: lmax + 1] = alm[: lmax + 1].real  # a real map's a_l0 are real
    return alm


def relative(ours, theirs):
    return np.max(np.abs(np.asarray(ours) - np.asarray(theirs))) / np.max(np.abs(theirs))


def succeeded(result, what):
    check(result.returncode == 0, f"{what}: exit {result.returncode}, {result.stderr}")
    return result.returncode == 0


# Synthesis: --values of the coefficients of an alm file, as healpy's map file and as .npy; at an
# Nside that is no power of 2, which RING order allows.
alm = random_alm(LMAX)
hp.write_alm(path("alm.fits"), alm)
for nside in (NSIDE, 3):
    expected = hp.alm2map(alm, nside, lmax=LMAX)
    for name in ("map.fits", "map.npy"):
        if succeeded(run("--coeffs", "alm.fits", "--values", name, "--grid", "healpix", "--nside", nside), name):
            ours = hp.read_map(path(name), dtype=np.float64) if name.endswith(".fits") else np.load(path(name))
            check(ours.shape == expected.shape and relative(ours, expected) < 1e-12,
                  f"{name} at Nside {nside}: off healpy's alm2map by {relative(ours, expected)}")
# A degree beyond what the program's own grid (--theta x --phi) determines: the HEALPix map needs
# no more, and no warning says otherwise.
high = random_alm(150)
hp.write_alm(path("high.fits"), high)
result = run("--coeffs", "high.fits", "--values", "high_map.fits", "--nside", 64)
if succeeded(result, "degree 150"):
    check(result.stderr == "", f"degree 150 on the HEALPix grid: {result.stderr}")
    error = relative(hp.read_map(path("high_map.fits")), hp.alm2map(high, 64, lmax=150))
    check(error < 1e-12, f"degree 150 at Nside 64: off healpy's alm2map by {error}")
# A .fits --values is a HEALPix map without --grid; the field of terms in the program's own
# convention (no Condon-Shortley phase, Y(l, -m) = -sqrt(2) Pbar sin(m phi)) is healpy's a_lm.
if succeeded(run("--term", "3,2,1.5", "--term", "4,-1,2", "--values", "terms.fits", "--nside", 8), "terms"):
    terms = np.zeros(hp.Alm.getsize(4), complex)
    terms[hp.Alm.getidx(4, 3, 2)] = 1.5 / np.sqrt(2)
    terms[hp.Alm.getidx(4, 4, 1)] = -1j * 2 / np.sqrt(2)
    expected = hp.alm2map(terms, 8, lmax=4)
    check(relative(hp.read_map(path("terms.fits")), expected) < 1e-12, "terms on the HEALPix grid")

# Analysis: a map that is no band-limited field (noise added), as healpy's map file (RING and
# NESTED) and as .npy, with healpy's default lmax 3 Nside - 1 and iterations.
sky = hp.alm2map(alm, NSIDE, lmax=LMAX) + rng.normal(size=hp.nside2npix(NSIDE))
hp.write_map(path("sky.fits"), sky, dtype=np.float64)
hp.write_map(path("nested.fits"), hp.reorder(sky, r2n=True), nest=True, dtype=np.float64)
np.save(path("sky.npy"), sky)
for name, iterations in (("sky.fits", 3), ("nested.fits", 3), ("sky.npy", 3), ("sky.fits", 0)):
    result = run("--analyze", name, "--grid", "healpix", "--iter", iterations, "--coeffs-out", "out_alm.fits")
    if succeeded(result, f"--analyze {name}"):
        expected = hp.map2alm(sky, iter=iterations)
        ours = hp.read_alm(path("out_alm.fits"))
        check(ours.shape == expected.shape and relative(ours, expected) < 1e-10,
              f"--analyze {name} --iter {iterations}: off healpy's map2alm by {relative(ours, expected)}")
if succeeded(run("--analyze", "sky.fits", "--lmax", 20, "--coeffs-out", "low_alm.fits"), "--lmax 20"):
    check(relative(hp.read_alm(path("low_alm.fits")), hp.map2alm(sky, lmax=20)) < 1e-10, "--analyze --lmax 20")

# Polarisation: I, Q and U of T, E and B, and back.
teb = [random_alm(LMAX) for _ in range(3)]
hp.write_alm(path("teb.fits"), teb)
iqu = hp.alm2map(teb, NSIDE, lmax=LMAX, pol=True)
for name in ("iqu.fits", "iqu.npy"):
    if succeeded(run("--coeffs", "teb.fits", "--pol", "--values", name, "--grid", "healpix", "--nside", NSIDE),
                 f"--pol {name}"):
        ours = hp.read_map(path(name), field=(0, 1, 2)) if name.endswith(".fits") else np.load(path(name))
        check(ours.shape == iqu.shape and relative(ours, iqu) < 1e-12,
              f"--pol {name}: off healpy's alm2map by {relative(ours, iqu)}")
noisy = iqu + rng.normal(size=iqu.shape)
hp.write_map(path("noisy.fits"), noisy, dtype=np.float64)
np.save(path("noisy.npy"), noisy)
expected = hp.map2alm(noisy, iter=3, pol=True)
for name in ("noisy.fits", "noisy.npy"):
    result = run("--analyze", name, "--grid", "healpix", "--pol", "--coeffs-out", "teb_out.fits")
    if succeeded(result, f"--analyze {name} --pol"):
        ours = [hp.read_alm(path("teb_out.fits"), hdu=k) for k in (1, 2, 3)]
        error = max(relative(o, e) for o, e in zip(ours, expected))
        check(error < 1e-10, f"--analyze {name} --pol: off healpy's map2alm by {error}")
# --component picks the field the other outputs take: B's spectrum is healpy's C_l of B, the mean
# square of each degree's part (2l + 1) C_l / (4 pi).
result = run("--analyze", "noisy.fits", "--pol", "--component", "B", "--spectrum", "b.csv")
if succeeded(result, "--component B"):
    power = np.loadtxt(path("b.csv"), delimiter=",", skiprows=1)[:, 1]
    cl = hp.alm2cl(expected[2])
    ells = np.arange(len(cl))
    check(relative(power, (2 * ells + 1) * cl / (4 * np.pi)) < 1e-9, "--component B: the spectrum is not B's")


# --map: each picture pixel shows the HEALPix pixel that healpy's ang2pix finds at the direction
# of Mollweide's projection there, with longitude to the left (astro, the default) or right (geo).
def mollweide_pixels(nside, width, height, flip):
    """The HEALPix pixel at each picture pixel's centre, -1 off the ellipse."""
    u = 2 * (np.arange(width) + 0.5) / width - 1
    v = 1 - 2 * (np.arange(height) + 0.5) / height
    u, v = np.meshgrid(u, v)
    inside = u * u + v * v <= 1
    a = np.arcsin(np.clip(v, -1, 1))
    theta = np.pi / 2 - np.arcsin(np.clip((2 * a + np.sin(2 * a)) / np.pi, -1, 1))
    phi = np.pi * u / np.maximum(np.cos(a), 1e-300) * (-1 if flip == "astro" else 1)
    pixels = hp.ang2pix(nside, theta[inside], phi[inside])
    result = np.full(u.shape, -1)
    result[inside] = pixels
    return result


def sign_picture(name):
    """+1, -1 or 0 (the background) at each pixel of a picture coloured by sign, the colours' signs
    taken in either order (the caller turns them round); all 0 unless there are two colours."""
    rgb = read_png(path(name))[:, :, :3].astype(int)
    code = rgb[:, :, 0] * 65536 + rgb[:, :, 1] * 256 + rgb[:, :, 2]
    background = code[0, 0]
    colours = [c for c in np.unique(code) if c != background]
    result = np.zeros(code.shape, int)
    if len(colours) != 2:
        return result
    for colour, sign in zip(colours, (1, -1)):
        result[code == colour] = sign
    return result


NSIDE_MAP = 4
octant = np.where(np.arange(hp.nside2npix(NSIDE_MAP)) % 3 == 0, 1.0, -1.0)  # a pattern of pixels
theta, phi = hp.pix2ang(NSIDE_MAP, np.arange(hp.nside2npix(NSIDE_MAP)))
octant[(theta < np.pi / 2) & (phi < np.pi / 2)] = 1.0  # and the octant x, y, z > 0 all positive
hp.write_map(path("octant.fits"), octant, dtype=np.float64)
for flip in ("astro", "geo"):
    args = ("--map", "mollweide", "--color", "sign", "--size", "400x200", "--out", f"{flip}.png")
    result = run("--analyze", "octant.fits", *args, *(() if flip == "astro" else ("--flip", "geo")))
    if not succeeded(result, f"--map --flip {flip}"):
        continue
    expected_pixels = mollweide_pixels(NSIDE_MAP, 400, 200, flip)
    expected = np.where(expected_pixels >= 0, octant[np.maximum(expected_pixels, 0)], 0)
    ours = sign_picture(f"{flip}.png")
    if np.mean(ours[expected != 0] == -expected[expected != 0]) > 0.5:
        ours = -ours  # the colours' signs were taken the other way round
    agreement = np.mean(ours == expected)
    check(agreement > 0.999, f"--flip {flip}: {agreement:.4f} of the pixels as ang2pix puts them")
    # The octant x, y, z > 0 a quarter of the width left of the centre in the sky (astro), right of
    # it on a globe (geo), at latitude 30 and longitude 49 degrees.
    check(ours[60, 150 if flip == "astro" else 250] == 1, f"--flip {flip}: the octant is not where it belongs")
    # healpy's own projection, of pixel centres half a pixel from ours: the same picture but at the
    # edges of its pixels, and row 0 its south.
    projected = hp.mollview(octant, xsize=400, flip=flip, return_projected_map=True)
    theirs = np.where(np.ma.getmaskarray(projected), 0, np.sign(np.ma.filled(projected, 0)))[::-1]
    both = (theirs != 0) & (expected != 0)
    check(np.mean(ours[both] == theirs[both]) > 0.95, f"--flip {flip}: not as healpy's mollview orients it")
# --flip of a field's map: astro is geo mirrored left to right (the colour bar below aside), the
# sphere's own mirror symmetry.
pictures = {}
for flip in ("geo", "astro"):
    args = ("--term", "3,2,1", "--term", "3,-1,0.5", "--map", "mollweide", "--size", "400x300", "--flip", flip)
    if succeeded(run(*args, "--out", f"field_{flip}.png"), f"a field's map, --flip {flip}"):
        pictures[flip] = read_png(path(f"field_{flip}.png"))[:200, :, :3].astype(int)
if len(pictures) == 2:
    differing = np.mean(np.any(pictures["astro"] != pictures["geo"][:, ::-1], axis=2))
    check(differing < 0.001 and np.any(pictures["astro"] != pictures["geo"]),
          f"--flip astro is not geo's mirror: {differing:.4f} of the pixels differ")
# A map coloured by value, its bar's ends the extremes of the pixels.
succeeded(run("--analyze", "sky.fits", "--map", "mollweide", "--title", "sky", "--out", "sky.png"), "sky map")

# Bad input: one line, exit 1 (the file) or 2 (the request), nothing written and an existing file
# kept as it was.
np.save(path("short.npy"), np.zeros(100))
np.save(path("one.npy"), np.zeros(hp.nside2npix(2)))
unseen = sky.copy()
unseen[77] = hp.UNSEEN
hp.write_map(path("unseen.fits"), unseen, dtype=np.float64)
unseen_single = sky.astype(np.float32)
unseen_single[5] = hp.UNSEEN
hp.write_map(path("unseen32.fits"), unseen_single)
nan = sky.copy()
nan[3] = np.nan
np.save(path("nan.npy"), nan)
cases = [
    (("--analyze", "short.npy", "--grid", "healpix"), 1, "12 Nside^2"),
    (("--analyze", "sky.npy", "--grid", "healpix", "--pol"), 1, "(3, 12 Nside^2)"),
    (("--analyze", "one.npy", "--grid", "healpix", "--iter", -1), 2, "--iter"),
    (("--analyze", "unseen.fits"), 1, "pixel 77 (RING) is UNSEEN"),
    (("--analyze", "unseen32.fits"), 1, "pixel 5 (RING) is UNSEEN"),
    (("--analyze", "nan.npy", "--grid", "healpix"), 1, "pixel 3 (RING) is not a finite number"),
    (("--analyze", "sky.fits", "--pol"), 1, "sky.fits"),
    (("--analyze", "sky.fits", "--grid", "cells"), 2, "HEALPix map"),
    (("--analyze", "sky.csv", "--grid", "healpix"), 2, ".fits or .npy"),
    (("--coeffs", "alm.fits", "--grid", "healpix"), 2, "--nside"),
    (("--coeffs", "alm.fits", "--grid", "healpix", "--nside", 0), 2, "--nside"),
    (("--coeffs", "alm.fits", "--iter", 2), 2, "--iter"),
    (("-l", 2, "--grid", "healpix", "--nside", 4, "--pol"), 2, "--coeffs alm.fits"),
    (("--coeffs", "alm.fits", "--component", "E"), 2, "--pol"),
    (("--coeffs", "alm.fits", "--flip", "astro"), 2, "--map"),
]
with open(path("out.fits"), "w") as f:
    f.write("kept")
for args, status, words in cases:
    result = run(*args, "--values", "out.fits")
    lines = result.stderr.strip().splitlines()
    check(result.returncode == status and len(lines) == 1 and words in lines[0],
          f"{args}: exit {result.returncode}, {result.stderr!r}")
    with open(path("out.fits")) as f:
        check(f.read() == "kept", f"{args}: --values changed")
for args, words in ((("--analyze", "sky.fits", "--grid", "healpix", "--values", "x.csv"), ".fits or .npy"),
                    (("--analyze", "sky.fits", "--lmax", 4, "--map", "mollweide", "--out", "x.png"), "pixel for pixel"),
                    (("--coeffs", "alm.fits", "--nside", 4, "--values", "x.npy"), "--nside")):
    result = run(*args)
    lines = result.stderr.strip().splitlines()
    check(result.returncode == 2 and len(lines) == 1 and words in lines[0], f"{args}: {result.stderr!r}")
    check(not os.path.exists(path(args[-1])), f"{args}: wrote a file")

finish("lobara_render_healpix")
