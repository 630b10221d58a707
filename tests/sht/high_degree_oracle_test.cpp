// The sampled harmonic against GSL's normalised associated Legendre functions, at degrees
// where the power basis has long lost every digit, and over the whole range the power basis
// keeps. Same convention as harmonic_oracle_test.cpp: no (-1)^m phase, sqrt(2) cos(m phi) for
// m > 0 and sqrt(2) sin(m phi) with m itself for m < 0.

#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "mesh/surface_builder.h"
#include "sht/angles.h"
#include "sht/harmonic_rows.h"

namespace {

// GSL's normalised functions of every degree and order up to l at the builder's own rows
// (theta = (i / (nT - 1)) * pi), so that both sides see the same x.
class GslRows
{
public:
    GslRows(int l, int nT) : m_nL(l), m_aRows(static_cast<size_t>(nT))
    {
        const double kOmitPhase = 1.0;
        for (int i = 0; i < nT; ++i)
        {
            std::vector<double>& aRow = m_aRows[static_cast<size_t>(i)];
            aRow.resize(gsl_sf_legendre_array_n(static_cast<size_t>(l)));
            const double dTheta = (static_cast<double>(i) / static_cast<double>(nT - 1)) * kPi;
            gsl_sf_legendre_array_e(GSL_SF_LEGENDRE_SPHARM, static_cast<size_t>(l), std::cos(dTheta),
                                    kOmitPhase, aRow.data());
        }
    }

    // Y(l, m) at row i, column j of nP.
    double Value(int m, int i, int j, int nP) const
    {
        const std::vector<double>& aRow = m_aRows[static_cast<size_t>(i)];
        const double dSpharm =
            aRow[gsl_sf_legendre_array_index(static_cast<size_t>(m_nL), static_cast<size_t>(std::abs(m)))];
        if (m == 0)
            return dSpharm;
        const double dPhi = (static_cast<double>(j) / static_cast<double>(nP)) * kTwoPi;
        return dSpharm * std::sqrt(2.0) * (m > 0 ? std::cos(m * dPhi) : std::sin(m * dPhi));
    }

private:
    int m_nL;
    std::vector<std::vector<double>> m_aRows;
};

// The largest difference between the built values and GSL's, relative to the largest |Y|.
double RelativeError(const GslRows& gsl, int l, int m, int nT, int nP)
{
    SurfaceMesh mesh;
    BuildSurfaceMesh(l, m, nT, nP, mesh);
    double dMax = 0.0;
    double dError = 0.0;
    for (int i = 0; i < nT; ++i)
    {
        for (int j = 0; j < nP; ++j)
        {
            const double dExpected = gsl.Value(m, i, j, nP);
            dMax = std::max(dMax, std::fabs(dExpected));
            dError = std::max(dError, std::fabs(mesh.m_aValue[i * nP + j] - dExpected));
        }
    }
    return dError / dMax;
}

}  // namespace

TEST(HarmonicOracle, HighDegreesAgreeWithGsl)
{
    const int nT = 37;
    const int nP = 23;  // prime, so sin(m phi) never vanishes on every column
    for (int l : {50, 200, 1000, 2000})
    {
        const GslRows gsl(l, nT);
        for (int m : {0, l / 2, -(l / 2), l, -l})
            EXPECT_LT(RelativeError(gsl, l, m, nT, nP), 1e-10) << "l=" << l << " m=" << m;
    }
}

// Wherever the builder keeps to the power basis (and so to its exact values), those values
// are within 1e-12 of the largest |Y|. Orders are taken non-negative: the sign of m only
// changes A(phi).
TEST(HarmonicOracle, PowerBasisIsUsedOnlyWhereItIsAccurate)
{
    const int nT = 61;
    const int nP = 1;
    for (int l = 0; l <= 170; ++l)
    {
        const GslRows gsl(l, nT);
        for (int m = 0; m <= l; ++m)
        {
            if (UsesPowerBasis(l, m))
            {
                ASSERT_LT(RelativeError(gsl, l, m, nT, nP), 1e-12) << "l=" << l << " m=" << m;
            }
        }
    }
}
