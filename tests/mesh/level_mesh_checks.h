#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

#include "mesh/level_surface.h"

// Whether every edge is used once each way by the triangles (closed and consistently turned)
// and every triangle has area in its floats; and the count of the pieces that triangles sharing
// a corner make.
struct MeshShape
{
    bool bClosed = true;
    int nPieces = 0;
};

inline MeshShape ShapeOf(const LevelMesh& mesh)
{
    const size_t nVertices = mesh.aPoint.size() / 3;
    std::vector<uint32_t> aParent(nVertices);
    std::iota(aParent.begin(), aParent.end(), 0u);
    const auto find = [&aParent](uint32_t v) {
        while (aParent[v] != v)
            v = aParent[v] = aParent[aParent[v]];
        return v;
    };
    std::vector<uint64_t> aEdges;
    std::vector<bool> aUsed(nVertices);
    MeshShape shape;
    for (const std::vector<Triangle>& aTriangles : mesh.aTriangles)
        for (const Triangle& t : aTriangles)
        {
            double p[3][3];
            for (int k = 0; k < 3; ++k)
            {
                const auto a = static_cast<uint32_t>(t[k]), b = static_cast<uint32_t>(t[(k + 1) % 3]);
                aEdges.push_back((uint64_t{std::min(a, b)} << 32 | std::max(a, b)) << 1 | (a < b));
                aParent[find(a)] = find(b);
                aUsed[a] = true;
                for (int c = 0; c < 3; ++c)
                    p[k][c] = mesh.aPoint[3 * static_cast<size_t>(t[k]) + c];
            }
            const double u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
            const double w[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
            if (u[1] * w[2] - u[2] * w[1] == 0.0 && u[2] * w[0] - u[0] * w[2] == 0.0 &&
                u[0] * w[1] - u[1] * w[0] == 0.0)
                shape.bClosed = false;
        }
    // Each edge once each way: its two uses, sorted by their corners, come out as a pair turned
    // opposite ways.
    std::sort(aEdges.begin(), aEdges.end());
    for (size_t k = 0; k < aEdges.size(); k += 2)
        if (k + 1 == aEdges.size() || aEdges[k] >> 1 != aEdges[k + 1] >> 1 ||
            (aEdges[k] & 1) == (aEdges[k + 1] & 1) ||
            (k + 2 < aEdges.size() && aEdges[k + 2] >> 1 == aEdges[k] >> 1))
            shape.bClosed = false;
    for (uint32_t v = 0; v < nVertices; ++v)
        shape.nPieces += aUsed[v] && find(v) == v;
    return shape;
}

// The area and the enclosed volume (by the divergence theorem) of the outward-turned triangles.
struct MeshMeasure
{
    double dArea = 0.0;
    double dVolume = 0.0;
};

inline MeshMeasure MeasureOf(const LevelMesh& mesh)
{
    MeshMeasure measure;
    for (const std::vector<Triangle>& aTriangles : mesh.aTriangles)
        for (const Triangle& t : aTriangles)
        {
            const float* a = &mesh.aPoint[3 * static_cast<size_t>(t[0])];
            const float* b = &mesh.aPoint[3 * static_cast<size_t>(t[1])];
            const float* p = &mesh.aPoint[3 * static_cast<size_t>(t[2])];
            const double u[3] = {double{b[0]} - a[0], double{b[1]} - a[1], double{b[2]} - a[2]};
            const double w[3] = {double{p[0]} - a[0], double{p[1]} - a[1], double{p[2]} - a[2]};
            const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                 u[0] * w[1] - u[1] * w[0]};
            measure.dArea += 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            measure.dVolume += (a[0] * n[0] + a[1] * n[1] + a[2] * n[2]) / 6.0;
        }
    return measure;
}
