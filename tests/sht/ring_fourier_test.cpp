#include "sht/ring_fourier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

// Each length against the transform summed directly in long double: lengths split at a prime
// factor (with an even, an odd and no short length, and the ends of the split primes' range) and
// lengths FFTW takes whole; full blocks and a short one; every order and fewer.
TEST(RingFourier, MatchesTheDirectSumForSplitAndWholeLengths)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (const int32_t nP : {82, 205, 41, 38, 381, 64, 90, 2 * 131})
        for (const size_t nCount : {CRingFourier::kBlockRings, size_t{3}})
            for (const int32_t nOrders : {nP / 2 + 1, nP / 3})
            {
                SCOPED_TRACE(testing::Message()
                             << nP << " values, " << nCount << " rings, " << nOrders << " orders");
                const size_t nSize = static_cast<size_t>(nP), nStride = nCount + 2;
                std::vector<double> aRings(nCount * nSize);
                for (double& d : aRings)
                    d = value(random);
                const CRingFourier fourier(nP, nOrders, CRingFourier::Direction::kForward);
                CRingFourier::Workspace workspace = fourier.MakeWorkspace();
                std::vector<std::complex<double>> aOrders(static_cast<size_t>(nOrders) * nStride, 7.0);
                fourier.Forward(aRings.data(), nCount, 0.5, aOrders.data(), nStride, workspace);
                for (size_t m = 0; m < static_cast<size_t>(nOrders); ++m)
                    for (size_t r = 0; r < nStride; ++r)
                    {
                        if (r >= nCount)
                        {
                            EXPECT_EQ(aOrders[m * nStride + r], 7.0) << "written beyond the rings";
                            continue;
                        }
                        std::complex<long double> sum = 0.0L;
                        for (size_t j = 0; j < nSize; ++j)
                        {
                            const long double dAngle = -2.0L * 3.14159265358979323846264338327950288L *
                                                       static_cast<long double>(m * j % nSize) / nP;
                            sum += static_cast<long double>(aRings[r * nSize + j]) * std::polar(1.0L, dAngle);
                        }
                        const std::complex<double> expected(static_cast<double>(0.5L * sum.real()),
                                                            static_cast<double>(0.5L * sum.imag()));
                        ASSERT_LT(std::abs(aOrders[m * nStride + r] - expected), 2e-14 * std::sqrt(nP))
                            << "order " << m << ", ring " << r;
                    }
            }
}

// The inverse against the sum over the whole spectrum in long double, the rings written from the
// last one back.
TEST(RingFourier, InverseMatchesTheDirectSum)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    constexpr size_t kLanes = CRingFourier::kBlockRings;
    for (const int32_t nP : {82, 205, 41, 64, 2 * 131})
        for (const size_t nCount : {kLanes, size_t{5}})
        {
            SCOPED_TRACE(testing::Message() << nP << " values, " << nCount << " rings");
            const size_t nSize = static_cast<size_t>(nP), nHalf = nSize / 2 + 1;
            const CRingFourier fourier(nP, nP / 2 + 1, CRingFourier::Direction::kInverse);
            CRingFourier::Workspace workspace = fourier.MakeWorkspace();
            auto* pHalf = reinterpret_cast<std::complex<double>*>(workspace.pHalf.get());
            std::vector<std::complex<double>> aHalf(nHalf * kLanes);
            for (size_t k = 0; k < nHalf; ++k)
                for (size_t r = 0; r < kLanes; ++r)
                {
                    const bool bReal = k == 0 || 2 * k == nSize;
                    aHalf[k * kLanes + r] = {value(random), bReal ? 0.0 : value(random)};
                }
            const auto [nFrequencyStride, nRingStride] = fourier.Layout();
            for (size_t k = 0; k < nHalf; ++k)
                for (size_t r = 0; r < kLanes; ++r)
                    pHalf[k * nFrequencyStride + r * nRingStride] = aHalf[k * kLanes + r];
            std::vector<double> aRings(nCount * nSize + 1, 7.0);
            fourier.Inverse(nCount, &aRings[(nCount - 1) * nSize], -nP, workspace);
            EXPECT_EQ(aRings.back(), 7.0) << "written beyond the rings";
            for (size_t r = 0; r < nCount; ++r)
                for (size_t j = 0; j < nSize; ++j)
                {
                    long double dSum = 0.0L;
                    for (size_t k = 0; k < nSize; ++k)
                    {
                        const bool bMirror = 2 * k > nSize;
                        const std::complex<double> x = aHalf[(bMirror ? nSize - k : k) * kLanes + r];
                        const long double dAngle = 2.0L * 3.14159265358979323846264338327950288L *
                                                   static_cast<long double>(k * j % nSize) / nP;
                        dSum +=
                            x.real() * std::cos(dAngle) - (bMirror ? -x.imag() : x.imag()) * std::sin(dAngle);
                    }
                    ASSERT_NEAR(aRings[(nCount - 1 - r) * nSize + j], static_cast<double>(dSum), 4e-16 * nP)
                        << "ring " << r << ", value " << j;
                }
        }
}
