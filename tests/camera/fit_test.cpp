#include "camera/fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "camera/camera_math.h"
#include "camera/turntable.h"
#include "mesh/surface_builder.h"

namespace {

// How far the mesh reaches across the picture of a camera, as the view projects it: the
// orthographic view shows eye x from -1 to 1 and eye y from -H/W to H/W, so 1 is the border.
double PictureReach(const SurfaceMesh& mesh, const double from[3], const double to[3], double dAspect)
{
    double m[16];
    EXPECT_TRUE(ComputeModelview(from, to, m));
    double dReach = 0.0;
    for (int32_t i = 0; i < mesh.m_aX.GetSize(); ++i)
    {
        const double p[3] = {mesh.m_aX[i], mesh.m_aY[i], mesh.m_aZ[i]};
        const double x = m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12];
        const double y = m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13];
        dReach = std::max({dReach, std::fabs(x), std::fabs(y) / dAspect});
    }
    return dReach;
}

}  // namespace

// --fit over a turntable: every frame (From turned about the vertical through To) keeps the
// surface inside the picture, and the widest frame leaves exactly 5 % free at the border.
TEST(Fit, FramesTheSurfaceFromEveryTurntableFrameWithAFivePercentMargin)
{
    SurfaceMesh mesh;
    BuildSurfaceMesh(3, 1, 40, 80, mesh);
    const double to[3] = {0.1, 0.0, 0.0};
    for (int nFrames : {1, 12})
    {
        double from[3] = {1.0, -2.0, 1.0};
        FitCamera(mesh, to, 640, 480, nFrames, from);
        // Moved along the line from To through the given From.
        const double d[3] = {from[0] - to[0], from[1] - to[1], from[2] - to[2]};
        EXPECT_NEAR(d[1] / d[0], -2.0 / 0.9, 1e-12);
        EXPECT_NEAR(d[2] / d[0], 1.0 / 0.9, 1e-12);

        double dWidest = 0.0;
        for (int k = 0; k < nFrames; ++k)
        {
            const double a = 2.0 * M_PI * k / nFrames;
            const double expected[3] = {to[0] + d[0] * std::cos(a) - d[1] * std::sin(a),
                                        to[1] + d[0] * std::sin(a) + d[1] * std::cos(a), from[2]};
            double frame[3];
            TurntableFrom(from, to, k, nFrames, frame);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(frame[c], expected[c], 1e-12) << "frame " << k;
            const double dReach = PictureReach(mesh, frame, to, 480.0 / 640.0);
            EXPECT_LE(dReach, 0.9 + 1e-9) << nFrames << " frames: frame " << k << " cuts into the margin";
            dWidest = std::max(dWidest, dReach);
        }
        EXPECT_NEAR(dWidest, 0.9, 1e-9) << nFrames << " frames";
    }

    // Nothing to frame: From stays.
    double from[3] = {1.0, -2.0, 1.0};
    FitCamera(SurfaceMesh{}, to, 640, 480, 1, from);
    EXPECT_EQ(from[0], 1.0);
    EXPECT_EQ(from[1], -2.0);
}
