#include "camera/fit.h"

#include <algorithm>
#include <cmath>

#include "camera/camera_math.h"
#include "camera/turntable.h"

namespace {

// The surface may span this share of the limiting side: 5 % stay free at each end.
constexpr double kFill = 0.9;
// The view keeps what lies within 10 distances of To in depth; stay clear of that limit.
constexpr double kDepthReach = 9.0;

// The distance |From - To| that fits the mesh from that one camera, or 0.
double FitDistance(const SurfaceMesh& mesh, const double from[3], const double to[3], int nWidth, int nHeight)
{
    const double d[3] = {from[0] - to[0], from[1] - to[1], from[2] - to[2]};
    const double dLength = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const double w[3] = {d[0] / dLength, d[1] / dLength, d[2] / dLength};
    double u[3], v[3];
    ComputeViewBasis(d[0], d[1], d[2], &u[0], &u[1], &u[2], &v[0], &v[1], &v[2]);

    // The farthest reach of the vertices from To across the picture, up it and in depth.
    double dAcross = 0.0, dUp = 0.0, dDeep = 0.0;
    for (int32_t i = 0; i < mesh.m_aX.GetSize(); ++i)
    {
        const double p[3] = {mesh.m_aX[i] - to[0], mesh.m_aY[i] - to[1], mesh.m_aZ[i] - to[2]};
        dAcross = std::max(dAcross, std::fabs(p[0] * u[0] + p[1] * u[1] + p[2] * u[2]));
        dUp = std::max(dUp, std::fabs(p[0] * v[0] + p[1] * v[1] + p[2] * v[2]));
        dDeep = std::max(dDeep, std::fabs(p[0] * w[0] + p[1] * w[1] + p[2] * w[2]));
    }
    // At distance g the picture is 2g wide and 2g * H / W high in world units.
    const double dAspect = static_cast<double>(nHeight) / static_cast<double>(nWidth);
    return std::max({dAcross / kFill, dUp / (kFill * dAspect), dDeep / kDepthReach});
}

}  // namespace

void FitCamera(const SurfaceMesh& mesh, const double to[3], int nWidth, int nHeight, int nFrames,
               double from[3])
{
    double dDistance = 0.0;
    for (int k = 0; k < nFrames; ++k)
    {
        double frameFrom[3];
        TurntableFrom(from, to, k, nFrames, frameFrom);
        dDistance = std::max(dDistance, FitDistance(mesh, frameFrom, to, nWidth, nHeight));
    }
    const double d[3] = {from[0] - to[0], from[1] - to[1], from[2] - to[2]};
    const double dLength = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    double fitted[3], modelview[16];
    for (int k = 0; k < 3; ++k)
        fitted[k] = to[k] + d[k] / dLength * dDistance;
    if (dDistance > 0.0 && ComputeModelview(fitted, to, modelview))
        std::copy(fitted, fitted + 3, from);
}
