#!/usr/bin/python3
"""map2alm by least squares (lobara.healpix, solver="lsq") beside healpy's map2alm with iter=3 on
the same maps, lmax = 2 Nside: the residual ||Y a - f|| / ||f|| as healpy's alm2map measures it
(the solver's own in brackets), the largest error of the a_lm against those the map was made of
over the largest of them, the solver's steps and CPU seconds of each. Then white noise at lmax =
2 Nside and 3 Nside - 1, which no a_lm make: the residuals, and how far healpy's a_lm lie from the
least-squares optimum.

Usage: healpix_least_squares.py BUILD_DIR [NSIDE ...]   (default 64 128 256 512)"""
import sys
import time

import numpy

sys.path.insert(0, sys.argv[1] + "/python")
import healpy  # noqa: E402
import lobara.healpix as lh  # noqa: E402


def residual(maps, alm, lmax):
    made = healpy.alm2map(alm, healpy.npix2nside(maps.shape[-1]), lmax=lmax)
    return numpy.linalg.norm(made - maps) / numpy.linalg.norm(maps)


def error(got, expected):
    return numpy.abs(got - expected).max() / numpy.abs(expected).max()


def timed(call):
    start = time.process_time()
    result = call()
    return result, time.process_time() - start


def main():
    sides = [int(a) for a in sys.argv[2:]] or [64, 128, 256, 512]
    rng = numpy.random.default_rng(1)
    print("| Nside | healpy iter=3 residual | lsq residual | healpy a_lm error | lsq a_lm error | lsq steps "
          "| healpy / lsq CPU s |")
    print("|---|---|---|---|---|---|---|")
    noise_rows = []
    for nside in sides:
        lmax = 2 * nside
        l, m = healpy.Alm.getlm(lmax)
        alm = rng.standard_normal(l.size) + 1j * rng.standard_normal(l.size)
        alm[m == 0] = alm[m == 0].real
        sky = healpy.alm2map(alm, nside, lmax=lmax)
        theirs, their_time = timed(lambda: healpy.map2alm(sky, lmax=lmax, iter=3))
        (mine, left, steps), my_time = timed(lambda: lh.map2alm(sky, lmax=lmax, solver="lsq", return_residual=True))
        print(f"| {nside} | {residual(sky, theirs, lmax):.1e} | {residual(sky, mine, lmax):.1e} ({left:.1e}) "
              f"| {error(theirs, alm):.1e} | {error(mine, alm):.1e} | {steps} | {their_time:.2f} / {my_time:.2f} |")
        noise = rng.standard_normal(12 * nside * nside)
        for degree in (2 * nside, 3 * nside - 1):
            theirs = healpy.map2alm(noise, lmax=degree, iter=3)
            mine, left, steps = lh.map2alm(noise, lmax=degree, solver="lsq", return_residual=True)
            noise_rows.append(f"| {nside} | {degree} | {residual(noise, theirs, degree):.6f} | "
                              f"{residual(noise, mine, degree):.6f} | {steps} | {error(theirs, mine):.1e} |")
    print()
    print("| Nside | lmax | healpy iter=3 residual | lsq residual | lsq steps | healpy a_lm from the optimum |")
    print("|---|---|---|---|---|---|")
    print("\n".join(noise_rows))


if __name__ == "__main__":
    main()
