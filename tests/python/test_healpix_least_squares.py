"""lobara.healpix.map2alm(solver="lsq") against the coefficients a map was made of, with healpy's
synthesis as the judge of residuals and healpy's own map2alm as the bound to beat."""

import numpy
import pytest

import lobara.healpix as lh

hp = pytest.importorskip("healpy")


def random_alms(rng, count, lmax, spin=0):
    l, m = hp.Alm.getlm(lmax)
    alms = rng.standard_normal((count, l.size)) + 1j * rng.standard_normal((count, l.size))
    alms[:, m == 0] = alms[:, m == 0].real
    alms[:, l < spin] = 0.0
    return alms


def relative(got, expected):
    return numpy.abs(numpy.asarray(got) - expected).max() / numpy.abs(expected).max()


def residual(maps, alms, lmax):
    """||Y a - f|| / ||f|| with healpy's synthesis (T, Q, U with three maps)."""
    made = hp.alm2map(alms, hp.npix2nside(numpy.shape(maps)[-1]), lmax=lmax)
    return numpy.linalg.norm(made - maps) / numpy.linalg.norm(maps)


def test_band_limited_maps_come_back_to_their_coefficients_where_healpy_stops_short(rng):
    # lmax = 2 nside: healpy's three Jacobi steps leave ~1e-5 of the coefficients.
    nside, lmax = 32, 64
    alms = random_alms(rng, 3, lmax)
    alms[1:, hp.Alm.getlm(lmax)[0] < 2] = 0.0
    tqu = hp.alm2map(alms, nside, lmax=lmax)
    theirs = hp.map2alm(tqu, lmax=lmax, iter=3)
    got, residuals, steps = lh.map2alm(tqu, lmax=lmax, solver="lsq", return_residual=True, threads=2)
    assert relative(got, alms) < 1e-12
    assert relative(theirs, alms) > 1e-8
    assert residuals.max() < 1e-13
    assert residual(tqu, got, lmax) < 1e-6 * residual(tqu, theirs, lmax)
    # One residual and count of steps for T and one for the pair Q, U, each as healpy finds it.
    assert residuals.shape == steps.shape == (2,)
    assert residual(tqu[0], got[0], lmax) < 1e-12
    assert 0 < steps.min() and steps.max() < 100
    # The Jacobi steps' residual, as healpy's synthesis measures it for healpy's coefficients.
    mine, jacobi, count = lh.map2alm(tqu[0], lmax=lmax, iter=3, return_residual=True)
    assert count == 3
    assert jacobi == pytest.approx(residual(tqu[0], theirs[0], lmax), rel=1e-6)


@pytest.mark.parametrize("spin", [1, 2])
def test_spin_maps_come_back_to_their_gradient_and_curl(spin, rng):
    nside, lmax = 16, 32
    alms = random_alms(rng, 2, lmax, spin)
    maps = numpy.array(hp.alm2map_spin(list(alms), nside, spin, lmax))
    got, left, steps = lh.map2alm_spin(maps, spin, lmax, solver="lsq", return_residual=True)
    assert relative(got, alms) < 1e-12
    assert left < 1e-13 and 0 < steps < 100
    assert relative(lh.map2alm_spin(maps, spin, lmax), alms) > 1e-6


def test_a_noise_maps_residual_is_orthogonal_to_every_harmonic_and_no_larger_than_healpys(rng):
    # White noise has power at every degree: the least-squares optimum leaves a residual with no
    # component along any Y_lm up to lmax (healpy's quadrature of it is 0), which healpy's Jacobi
    # steps do not reach. Up to 3 nside - 1 the normal equations are ill-conditioned: the steps run
    # out, and the residual still undercuts healpy's.
    nside = 16
    noise = rng.standard_normal(hp.nside2npix(nside))
    lmax = 2 * nside
    got, left, _ = lh.map2alm(noise, lmax=lmax, solver="lsq", return_residual=True)
    theirs = hp.map2alm(noise, lmax=lmax, iter=3)
    assert left <= residual(noise, theirs, lmax) * (1.0 + 1e-12)
    remainder = noise - hp.alm2map(got, nside, lmax=lmax)
    assert numpy.abs(hp.map2alm(remainder, lmax=lmax, iter=0)).max() < 1e-11 * numpy.abs(got).max()
    assert numpy.abs(hp.map2alm(noise - hp.alm2map(theirs, nside, lmax=lmax), lmax=lmax, iter=0)).max() > 1e-9
    lmax = 3 * nside - 1
    got, left, steps = lh.map2alm(noise, lmax=lmax, solver="lsq", maxiter=40, return_residual=True)
    assert steps == 40
    assert residual(noise, got, lmax) < residual(noise, hp.map2alm(noise, lmax=lmax, iter=3), lmax) - 1e-3


def test_bad_solver_arguments_are_refused_in_one_line():
    values = numpy.zeros(48)
    with pytest.raises(ValueError, match="solver"):
        lh.map2alm(values, solver="cg")
    with pytest.raises(ValueError, match="tol"):
        lh.map2alm(values, solver="lsq", tol=-1.0)
    with pytest.raises(ValueError, match="tol"):
        lh.map2alm(values, solver="lsq", tol=float("nan"))
    with pytest.raises(ValueError, match="maxiter"):
        lh.map2alm(values, solver="lsq", maxiter=-1)
    alm, left, steps = lh.map2alm(values, solver="lsq", return_residual=True)
    assert not alm.any() and left == 0.0 and steps == 0
