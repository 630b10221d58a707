#pragma once

#include <complex>
#include <cstdint>

#include "healpix/healpix_transform.h"

// The coefficients a (l <= L, m <= M) that minimise ||Y a - f||, the distance from their synthesis
// Y a to a HEALPix map f over its pixels, by conjugate gradients on the normal equations
// (Y* Y) a = Y* f (CGLS): each step one synthesis and one adjoint, as a Jacobi step of
// CHealpixTransform::Analyze. The steps start from the quadrature a0 = w Y* f, w = 4 pi / Npix;
// the normal matrix w Y* Y is close to the identity, which CGLS takes as its preconditioner.
//
// The coefficients of m > 0 stand for both a_lm and a_l(-m): in the inner product of which the
// adjoint is Y*, they count twice, those of m = 0 once.
//
// The steps stop when the gradient w Y* (f - Y a) has shrunk to dTolerance of w Y* f (both in
// that inner product), or after nMostSteps. For a map of degree at most L that is ~ 1e-15 relative
// residual; for one with power beyond L (noise), the residual of the least-squares optimum.
struct LeastSquaresReport
{
    double dResidual = 0.0;  // ||Y a - f|| / ||f|| over the pixels, 0 for a map of zeros
    int32_t nSteps = 0;      // CG steps taken after the quadrature
    bool bConverged = false;
};

class CHealpixLeastSquares
{
public:
    // As CHealpixTransform's constructor, which throws the same.
    CHealpixLeastSquares(int64_t nSide, int32_t nLmax, int32_t nMmax, unsigned nThreads = 0,
                         int32_t nSpin = 0);

    const CHealpixTransform& Transform() const { return m_transform; }

    // Spin 0: the map pMap into pAlm. Throws std::invalid_argument for a tolerance that is not a
    // finite number >= 0 or a negative count of steps.
    LeastSquaresReport Solve(const double* pMap, double dTolerance, int32_t nMostSteps,
                             std::complex<double>* pAlm) const;
    // Spin s: Q and U into the gradient and curl coefficients E and B.
    LeastSquaresReport SolveSpin(const double* pQ, const double* pU, double dTolerance, int32_t nMostSteps,
                                 std::complex<double>* pE, std::complex<double>* pB) const;

    // ||Y a - f|| / ||f|| of coefficients from any analysis (0 where f is 0); pB and pU only for
    // spin s.
    double Residual(const double* pMap, const std::complex<double>* pAlm, const double* pU = nullptr,
                    const std::complex<double>* pB = nullptr) const;

private:
    LeastSquaresReport Run(const double* const* pMaps, double dTolerance, int32_t nMostSteps,
                           std::complex<double>* const* pAlms) const;

    CHealpixTransform m_transform;
    int32_t m_nLmax, m_nComponents;
};
