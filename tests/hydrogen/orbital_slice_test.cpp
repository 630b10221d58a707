#include "hydrogen/orbital_slice.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The slice's pixels against psi of 2p in closed form, R21 Y = (Z^(3/2) / (2 sqrt6)) Zr e^(-Zr/2)
// sqrt(3 / 4pi) (axis coordinate / r): in the named planes, the picture's right and up as
// stated (xz seen from -y: right +x, up +z), and in a tilted plane.
TEST(OrbitalSlice, PixelsHoldPsiWhereThePlanePutsThem)
{
    const double Z = 1.5;
    const auto psi2p = [Z](double a, double r) {
        return std::pow(Z, 1.5) / (2.0 * std::sqrt(6.0)) * Z * std::exp(-Z * r / 2.0) *
               std::sqrt(3.0 / (4.0 * M_PI)) * a;
    };
    const int nWidth = 40, nHeight = 30;
    const double dHalf = 6.0, dPixel = 2.0 * dHalf / nHeight;
    struct Case
    {
        const char* pszPlane;
        int m;  // 1: p_x, -1: p_y (the program's sine sign: -p_y), 0: p_z
        std::array<double, 3> aRight;
        std::array<double, 3> aUp;
    };
    const Case aCases[] = {{"xz", 1, {1, 0, 0}, {0, 0, 1}},
                           {"xz", 0, {1, 0, 0}, {0, 0, 1}},
                           {"xy", -1, {1, 0, 0}, {0, 1, 0}},
                           {"yz", 0, {0, 1, 0}, {0, 0, 1}}};
    for (const Case& test : aCases)
    {
        SlicePlane plane;
        ASSERT_TRUE(FindSlicePlane(test.pszPlane, plane));
        HydrogenOrbital orbital;
        orbital.numbers = {2, 1, test.m, Z};
        const SliceSamples samples = SampleSlice(orbital, plane, SliceQuantity::kPsi, nWidth, nHeight, dHalf);
        ASSERT_EQ(samples.aRe.GetSize(), nWidth * nHeight);
        EXPECT_EQ(samples.aIm.GetSize(), 0);
        for (int y = 0; y < nHeight; y += 7)
            for (int x = 0; x < nWidth; x += 5)
            {
                const double a = (x + 0.5 - nWidth / 2.0) * dPixel, b = (nHeight / 2.0 - y - 0.5) * dPixel;
                double p[3];
                for (int c = 0; c < 3; ++c)
                    p[c] = a * test.aRight[c] + b * test.aUp[c];
                const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
                const double dAxis = test.m == 1 ? p[0] : (test.m == 0 ? p[2] : -p[1]);
                EXPECT_NEAR(samples.aRe[y * nWidth + x], psi2p(dAxis, r), 1e-12)
                    << test.pszPlane << " m " << test.m << " pixel " << x << ", " << y;
            }
    }

    // A plane of normal (1, 1, 0) / sqrt2, seen from there: right (-1, 1, 0) / sqrt2, up +z;
    // |psi|^2 of the complex 2p of m = 1 is |R21|^2 3/(8pi) sin^2 theta.
    HydrogenOrbital orbital;
    orbital.numbers = {2, 1, 1, Z};
    orbital.bComplex = true;
    const SliceSamples density =
        SampleSlice(orbital, SlicePlane{{1.0, 1.0, 0.0}}, SliceQuantity::kDensity, nWidth, nHeight, dHalf);
    const int x = 31, y = 4;
    const double a = (x + 0.5 - nWidth / 2.0) * dPixel, b = (nHeight / 2.0 - y - 0.5) * dPixel;
    const double r = std::hypot(a, b), R = psi2p(r, r) / std::sqrt(3.0 / (4.0 * M_PI));
    EXPECT_NEAR(density.aRe[y * nWidth + x], R * R * 3.0 / (8.0 * M_PI) * (a * a) / (r * r), 1e-14);
    EXPECT_FALSE(SlicePlaneError(SlicePlane{{0.0, 0.0, 0.0}}).empty());
    EXPECT_FALSE(SlicePlaneError(SlicePlane{{NAN, 0.0, 1.0}}).empty());
}

}  // namespace
