// ducc0 compiled into the bench alone: the .cc files its Python module includes that sht.cc needs,
// as one translation unit with the flags of ducc0's own setup.py (-ffast-math -O3 -march=native).
#include "ducc0_side.h"

#include "ducc0/fft/fft1d_impl.h"
#include "ducc0/fft/fftnd_impl.h"
#include "ducc0/infra/mav.cc"
#include "ducc0/infra/simd.h"
#include "ducc0/infra/string_utils.cc"
#include "ducc0/infra/threading.cc"
#include "ducc0/math/gl_integrator.cc"
#include "ducc0/math/gridding_kernel.cc"
#include "ducc0/sht/alm.h"
#include "ducc0/sht/sht.cc"

using namespace ducc0;

namespace {

vmav<size_t, 1> MStart(size_t nLmax)
{
    vmav<size_t, 1> mstart({nLmax + 1});
    for (size_t m = 0, idx = 0; m <= nLmax; ++m)
    {
        mstart(m) = idx - m;  // index(l, m) = mstart[m] + l
        idx += nLmax - m + 1;
    }
    return mstart;
}

size_t AlmCount(size_t nLmax)
{
    return (nLmax + 1) * (nLmax + 2) / 2;
}

}  // namespace

void DuccSynthesisCC(const std::complex<double>* pAlm, size_t nLmax, double* pMap, size_t nT, size_t nP,
                     size_t nThreads)
{
    cmav<std::complex<double>, 2> alm(pAlm, {1, AlmCount(nLmax)});
    vmav<double, 3> map(pMap, {1, nT, nP});
    synthesis_2d(alm, map, 0, nLmax, MStart(nLmax), 1, "CC", 0.0, nThreads, STANDARD);
}

void DuccAnalysisCC(std::complex<double>* pAlm, size_t nLmax, const double* pMap, size_t nT, size_t nP,
                    size_t nThreads)
{
    vmav<std::complex<double>, 2> alm(pAlm, {1, AlmCount(nLmax)});
    cmav<double, 3> map(pMap, {1, nT, nP});
    analysis_2d(alm, map, 0, nLmax, MStart(nLmax), 1, "CC", 0.0, nThreads);
}

void DuccRotate(std::complex<double>* pAlm, size_t nLmax, double dPsi, double dTheta, double dPhi,
                size_t nThreads)
{
    Alm_Base base(nLmax, nLmax);
    vmav<std::complex<double>, 1> alm(pAlm, {AlmCount(nLmax)});
    rotate_alm(base, alm, dPsi, dTheta, dPhi, nThreads);
}

void DuccRingSynthesis(const std::complex<double>* pAlm, size_t nComponents, size_t nSpin, size_t nLmax,
                       const DuccRings& rings, double* pMap, size_t nThreads)
{
    cmav<std::complex<double>, 2> alm(pAlm, {nComponents, AlmCount(nLmax)});
    vmav<double, 2> map(pMap, {nComponents, rings.nPixels});
    synthesis(alm, map, nSpin, nLmax, MStart(nLmax), 1, cmav<double, 1>(rings.pTheta, {rings.nRings}),
              cmav<size_t, 1>(rings.pPixels, {rings.nRings}), cmav<double, 1>(rings.pPhi0, {rings.nRings}),
              cmav<size_t, 1>(rings.pFirst, {rings.nRings}), 1, nThreads, STANDARD);
}

void DuccRingAdjoint(std::complex<double>* pAlm, size_t nComponents, size_t nSpin, size_t nLmax,
                     const DuccRings& rings, const double* pMap, size_t nThreads)
{
    vmav<std::complex<double>, 2> alm(pAlm, {nComponents, AlmCount(nLmax)});
    cmav<double, 2> map(pMap, {nComponents, rings.nPixels});
    adjoint_synthesis(alm, map, nSpin, nLmax, MStart(nLmax), 1, cmav<double, 1>(rings.pTheta, {rings.nRings}),
                      cmav<size_t, 1>(rings.pPixels, {rings.nRings}),
                      cmav<double, 1>(rings.pPhi0, {rings.nRings}),
                      cmav<size_t, 1>(rings.pFirst, {rings.nRings}), 1, nThreads, STANDARD);
}

size_t DuccVectorLength()
{
    return native_simd<double>::size();
}

void DuccLegendreSums(const std::complex<double>* pAlm, size_t nLmax, std::complex<double>* pLeg,
                      const double* pTheta, size_t nRings, size_t nThreads)
{
    cmav<std::complex<double>, 2> alm(pAlm, {1, AlmCount(nLmax)});
    vmav<std::complex<double>, 3> leg(pLeg, {1, nRings, nLmax + 1});
    cmav<double, 1> theta(pTheta, {nRings});
    vmav<size_t, 1> mval({nLmax + 1});
    for (size_t m = 0; m <= nLmax; ++m)
        mval(m) = m;
    alm2leg(alm, leg, 0, nLmax, mval, MStart(nLmax), 1, theta, nThreads, STANDARD);
}
