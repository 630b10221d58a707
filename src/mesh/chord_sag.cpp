#include "mesh/chord_sag.h"

#include <array>
#include <cmath>

namespace {

// The most the unit normal may change along an edge, |m - n|, for the bend to be taken as
// resolved: a turn of about 14 degrees. Each vertex then moves by at most about a hundredth of
// its edges' length.
constexpr double kMaxTurn = 0.25;

// Counted for an unresolved triangle, so that any one leaves its vertices' count below 0.
constexpr int32_t kUnresolved = -(1 << 20);

}  // namespace

void LiftChords(LevelMesh& mesh)
{
    const size_t nVertices = mesh.aPoint.size() / 3;
    const auto point = [&mesh](int32_t v) {
        const float* p = &mesh.aPoint[3 * static_cast<size_t>(v)];
        return std::array<double, 3>{p[0], p[1], p[2]};
    };
    // Each vertex's normal: the sum of its triangles' normals, each as long as twice its area.
    std::vector<std::array<double, 3>> aNormal(nVertices, {0.0, 0.0, 0.0});
    for (const std::vector<Triangle>& aTriangles : mesh.aTriangles)
        for (const Triangle& t : aTriangles)
        {
            const std::array<double, 3> a = point(t[0]), b = point(t[1]), c = point(t[2]);
            const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                 u[0] * w[1] - u[1] * w[0]};
            for (const int32_t v : t)
                for (int k = 0; k < 3; ++k)
                    aNormal[static_cast<size_t>(v)][k] += n[k];
        }
    for (std::array<double, 3>& n : aNormal)
    {
        const double d = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (double& x : n)
            x = d > 0.0 ? x / d : 0.0;
    }
    // The depths of the triangles around each vertex, added up: along an edge from p to q the
    // surface bends by (m - n).(p - q) / |p - q|^2, m and n the normals at its ends. A triangle
    // along one of whose edges the normal turns by more than the grid resolves says nothing of
    // the curvature, and the vertices it touches stay where they are.
    std::vector<double> aDepth(nVertices, 0.0);
    std::vector<int32_t> aCount(nVertices, 0);
    for (const std::vector<Triangle>& aTriangles : mesh.aTriangles)
        for (const Triangle& t : aTriangles)
        {
            double dSum = 0.0;
            bool bResolved = true;
            for (int e = 0; e < 3; ++e)
            {
                const std::array<double, 3> p = point(t[e]), q = point(t[(e + 1) % 3]);
                const std::array<double, 3>& m = aNormal[static_cast<size_t>(t[e])];
                const std::array<double, 3>& n = aNormal[static_cast<size_t>(t[(e + 1) % 3])];
                double dTurn = 0.0;
                for (int k = 0; k < 3; ++k)
                {
                    dSum += (m[k] - n[k]) * (p[k] - q[k]);
                    dTurn += (m[k] - n[k]) * (m[k] - n[k]);
                }
                bResolved = bResolved && dTurn <= kMaxTurn * kMaxTurn;
            }
            for (const int32_t v : t)
            {
                if (bResolved)
                    aDepth[static_cast<size_t>(v)] += dSum / 24.0;
                aCount[static_cast<size_t>(v)] += bResolved ? 1 : kUnresolved;
            }
        }
    for (size_t v = 0; v < nVertices; ++v)
        if (aCount[v] > 0)
        {
            const double dLift = aDepth[v] / aCount[v];
            for (int k = 0; k < 3; ++k)
                mesh.aPoint[3 * v + k] = static_cast<float>(mesh.aPoint[3 * v + k] + dLift * aNormal[v][k]);
        }
}
