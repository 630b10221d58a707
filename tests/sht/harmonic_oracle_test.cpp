// The sampled harmonic against GSL's normalised associated Legendre functions, written by
// other hands. This program's convention: no (-1)^m phase (GSL is asked to omit it), and
// sqrt(2) cos(m phi) for m > 0, sqrt(2) sin(m phi) with m itself for m < 0.

#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "mesh/surface_builder.h"
#include "sht/angles.h"

namespace {

double OracleValue(int l, int m, double theta, double phi)
{
    std::vector<double> aSpharm(gsl_sf_legendre_array_n(static_cast<size_t>(l)));
    const double kOmitPhase = 1.0;
    gsl_sf_legendre_array_e(GSL_SF_LEGENDRE_SPHARM, static_cast<size_t>(l), std::cos(theta), kOmitPhase,
                            aSpharm.data());
    const double dSpharm =
        aSpharm[gsl_sf_legendre_array_index(static_cast<size_t>(l), static_cast<size_t>(std::abs(m)))];
    if (m == 0)
        return dSpharm;
    return dSpharm * std::sqrt(2.0) * (m > 0 ? std::cos(m * phi) : std::sin(m * phi));
}

}  // namespace

// The power basis loses precision as l grows (coefficients grow and cancel): by degree 15
// it still keeps eleven digits of the largest value.
TEST(HarmonicOracle, ValuesAgreeWithGslUpToDegree15)
{
    const int nT = 37;
    const int nP = 23;  // prime, so sin(m phi) never vanishes on every column
    for (int l = 0; l <= 15; ++l)
    {
        for (int m : {-l, -(l / 2), -1, 0, 1, (l + 1) / 3, l})
        {
            if (std::abs(m) > l)
                continue;
            SurfaceMesh mesh;
            BuildSurfaceMesh(l, m, nT, nP, mesh);
            std::vector<double> aExpected;
            double dMax = 0.0;
            for (int i = 0; i < nT; ++i)
            {
                for (int j = 0; j < nP; ++j)
                {
                    aExpected.push_back(OracleValue(l, m, i * kPi / (nT - 1), j * 2.0 * kPi / nP));
                    dMax = std::max(dMax, std::fabs(aExpected.back()));
                }
            }
            for (int32_t k = 0; k < mesh.m_aValue.GetSize(); ++k)
                ASSERT_NEAR(mesh.m_aValue[k], aExpected[static_cast<size_t>(k)], 1e-11 * dMax)
                    << "l=" << l << " m=" << m << " sample " << k;
        }
    }
}
