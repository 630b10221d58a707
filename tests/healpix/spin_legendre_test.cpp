#include "healpix/spin_legendre.h"

#include <gtest/gtest.h>

#include <complex>
#include <vector>

#include "healpix/healpix_rings.h"
#include "healpix/healpix_transform.h"

namespace {

TEST(SpinLegendre, ASpinAboveEveryDegreeAnalysesToZeros)
{
    // Spin-s harmonics start at l = s: with lmax = 1 and s = 3 every coefficient is 0. The adjoint
    // sized its sums by lmax - s + 1 degrees, which wrapped below 0 into a size beyond memory.
    const int64_t nSide = 2;
    const CHealpixTransform transform(nSide, 1, 1, 1, 3);
    const std::vector<double> aQ(static_cast<size_t>(HealpixPixels(nSide)), 1.0), aU(aQ.size(), -1.0);
    std::vector<std::complex<double>> aE(transform.Coefficients(), 5.0), aB(aE.size(), 5.0);
    transform.AnalyzeSpin(aQ.data(), aU.data(), 2, aE.data(), aB.data());
    for (size_t i = 0; i < aE.size(); ++i)
    {
        EXPECT_EQ(aE[i], 0.0);
        EXPECT_EQ(aB[i], 0.0);
    }
}

}  // namespace
