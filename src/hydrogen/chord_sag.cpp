#include "hydrogen/chord_sag.h"

#include <cmath>

void LiftChords(LevelMesh& mesh)
{
    // The directions of the vertices; the square of the distance between two is that of their
    // angle, to the order that matters.
    const size_t nVertices = mesh.aPoint.size() / 3;
    std::vector<double> aUnit(3 * nVertices);
    for (size_t v = 0; v < nVertices; ++v)
    {
        const float* p = &mesh.aPoint[3 * v];
        const double r = std::sqrt(double{p[0]} * p[0] + double{p[1]} * p[1] + double{p[2]} * p[2]);
        for (int c = 0; c < 3; ++c)
            aUnit[3 * v + c] = r > 0.0 ? p[c] / r : 0.0;
    }
    // The depths of the triangles around each vertex, added up.
    std::vector<double> aDepth(nVertices, 0.0);
    std::vector<int32_t> aCount(nVertices, 0);
    for (const std::vector<Triangle>& aTriangles : mesh.aTriangles)
        for (const Triangle& t : aTriangles)
        {
            double dSum = 0.0;
            for (int e = 0; e < 3; ++e)
            {
                const double* u = &aUnit[3 * static_cast<size_t>(t[e])];
                const double* w = &aUnit[3 * static_cast<size_t>(t[(e + 1) % 3])];
                dSum += (u[0] - w[0]) * (u[0] - w[0]) + (u[1] - w[1]) * (u[1] - w[1]) +
                        (u[2] - w[2]) * (u[2] - w[2]);
            }
            for (const int32_t v : t)
            {
                aDepth[static_cast<size_t>(v)] += dSum / 24.0;
                ++aCount[static_cast<size_t>(v)];
            }
        }
    for (size_t v = 0; v < nVertices; ++v)
        if (aCount[v] > 0)
        {
            const double dScale = 1.0 + aDepth[v] / aCount[v];
            for (int c = 0; c < 3; ++c)
                mesh.aPoint[3 * v + c] = static_cast<float>(mesh.aPoint[3 * v + c] * dScale);
        }
}
