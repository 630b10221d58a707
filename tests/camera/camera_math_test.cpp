#include "camera/camera_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void ExpectMatrixNear(const double* actual, std::initializer_list<double> expected, double dTolerance)
{
    int i = 0;
    for (double d : expected)
    {
        EXPECT_NEAR(actual[i], d, dTolerance) << "element " << i;
        ++i;
    }
}

struct Modelview
{
    bool bOk;
    double m[16];
};

Modelview CameraFrom(double fx, double fy, double fz, double tx = 0.0, double ty = 0.0, double tz = 0.0)
{
    const double from[3] = {fx, fy, fz};
    const double to[3] = {tx, ty, tz};
    Modelview result{};
    result.bOk = ComputeModelview(from, to, result.m);
    return result;
}

}  // namespace

TEST(Camera, DefaultViewpointIsExact)
{
    const Modelview mv = CameraFrom(0, -1, 0);
    ASSERT_TRUE(mv.bOk);
    const double expected[16] = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(mv.m[i], expected[i]) << "element " << i;
}

TEST(Camera, DistanceScalesThePicture)
{
    const Modelview mv = CameraFrom(0, -2, 0);
    ASSERT_TRUE(mv.bOk);
    ExpectMatrixNear(mv.m, {0.5, 0, 0, 0, 0, 0, -0.5, 0, 0, 0.5, 0, 0, 0, 0, 0, 1}, 1e-15);
}

TEST(Camera, VerticalViewsUseTheFallbackBasis)
{
    double ux, uy, uz, vx, vy, vz;
    ComputeViewBasis(0, 0, 5, &ux, &uy, &uz, &vx, &vy, &vz);
    EXPECT_EQ(ux, 1.0);
    EXPECT_EQ(vy, 1.0);
    ExpectMatrixNear(CameraFrom(0, 0, 5).m, {0.2, 0, 0, 0, 0, 0.2, 0, 0, 0, 0, 0.2, 0, 0, 0, 0, 1}, 1e-15);

    ComputeViewBasis(0, 0, -5, &ux, &uy, &uz, &vx, &vy, &vz);
    EXPECT_EQ(ux, -1.0);
    EXPECT_EQ(vy, 1.0);
    ExpectMatrixNear(CameraFrom(0, 0, -5).m, {-0.2, 0, 0, 0, 0, 0.2, 0, 0, 0, 0, -0.2, 0, 0, 0, 0, 1}, 1e-15);
}

TEST(Camera, AnyHorizontalComponentKeepsTheFirstFormula)
{
    double ux, uy, uz, vx, vy, vz;
    ComputeViewBasis(1e-9, 0, 5, &ux, &uy, &uz, &vx, &vy, &vz);
    EXPECT_NEAR(ux, 0.0, 1e-15);
    EXPECT_NEAR(uy, 1.0, 1e-15);
    EXPECT_EQ(uz, 0.0);
    EXPECT_NEAR(vx, -1.0, 1e-15);
    EXPECT_NEAR(vy, 0.0, 1e-15);
    EXPECT_NEAR(vz, 2e-10, 1e-16);
}

TEST(Camera, OffsetTargetTranslates)
{
    const Modelview mv = CameraFrom(1, 2, 3, 1, 2, 0);
    ASSERT_TRUE(mv.bOk);
    const double t = 1.0 / 3.0;
    ExpectMatrixNear(mv.m, {t, 0, 0, 0, 0, t, 0, 0, 0, 0, t, 0, -t, -2 * t, 0, 1}, 1e-15);
}

TEST(Camera, ViewpointRoundTripsWithinRounding)
{
    const Modelview mv = CameraFrom(3, 4, 0, 1, 1, 1);
    ASSERT_TRUE(mv.bOk);
    double from[3], to[3];
    ASSERT_TRUE(RecoverViewpoint(mv.m, from, to));
    const double expectedFrom[3] = {3, 4, 0}, expectedTo[3] = {1, 1, 1};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_NEAR(from[i], expectedFrom[i], 1e-14);
        EXPECT_NEAR(to[i], expectedTo[i], 1e-14);
    }
}

// A camera far away or very close is a camera: its modelview takes To to the eye's origin and
// From to eye (0, 0, 1), whatever the scale.
TEST(Camera, DistancesOfAnyScalePlaceACamera)
{
    const double cases[][6] = {
        {1e150, 0, 0, 0, 0, 0},
        {1e-160, 0, 0, 0, 0, 0},
        {1e300, 1e300, 1e300, 0, 0, 0},
        {1e-300, -2e-300, 1e-300, 0, 0, 0},
        {3e150, 1e150, 1e150, 1e150, 1e150, 1e150},
    };
    for (const auto& c : cases)
    {
        double m[16];
        ASSERT_TRUE(ComputeModelview(c, c + 3, m)) << c[0] << "," << c[1] << "," << c[2];
        const auto eye = [&m](const double* p, int i) {
            return m[i] * p[0] + m[4 + i] * p[1] + m[8 + i] * p[2] + m[12 + i];
        };
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(eye(c, i), i == 2 ? 1.0 : 0.0, 1e-12) << c[0] << " eye " << i;
            EXPECT_NEAR(eye(c + 3, i), 0.0, 1e-12) << c[0] << " eye " << i;
        }
    }
}

TEST(Camera, UndefinedCamerasAreRefusedWithoutWriting)
{
    const double cases[][6] = {
        {1, 2, 3, 1, 2, 3},           // From = To
        {kNaN, 0, 0, 0, 0, 0},        // not a number
        {0, -1, 0, kInf, 0, 0},       // infinite
        {1e308, 0, 0, -1e308, 0, 0},  // the distance overflows
        {1e-320, 0, 0, 0, 0, 0},      // its inverse overflows
    };
    for (const auto& c : cases)
    {
        double out[16];
        std::fill(out, out + 16, 7.0);
        EXPECT_FALSE(ComputeModelview(c, c + 3, out)) << c[0] << "," << c[1] << "," << c[2];
        for (double d : out)
            ASSERT_EQ(d, 7.0);
    }
}

TEST(InvertMatrix4, SingularAndNaNMatricesLeaveOutUntouched)
{
    const double zero[16] = {};
    double zeroColumn[16] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1};
    double withNaN[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    withNaN[5] = kNaN;
    for (const double* pIn :
         {zero, static_cast<const double*>(zeroColumn), static_cast<const double*>(withNaN)})
    {
        double out[16];
        std::fill(out, out + 16, 7.0);
        EXPECT_EQ(InvertMatrix4(pIn, out), 0);
        for (double d : out)
            ASSERT_EQ(d, 7.0);
    }
    double from[3] = {5, 5, 5}, to[3] = {6, 6, 6};
    EXPECT_FALSE(RecoverViewpoint(zero, from, to));
    EXPECT_EQ(from[0], 5.0);
    EXPECT_EQ(to[2], 6.0);
}

TEST(InvertMatrix4, GeneralMatrixTimesInverseIsIdentity)
{
    const double a[16] = {2, 1, 0, 3, -1, 4, 2, 0, 0.5, 0, 1, -2, 1, 1, 1, 5};
    double b[16];
    ASSERT_EQ(InvertMatrix4(a, b), 1);
    for (int i = 0; i < 4; ++i)
    {
        for (int j = 0; j < 4; ++j)
        {
            double d = 0.0;
            for (int k = 0; k < 4; ++k)
                d += a[4 * k + i] * b[4 * j + k];
            EXPECT_NEAR(d, i == j ? 1.0 : 0.0, 1e-14) << i << "," << j;
        }
    }
}
