#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "export/mesh_faces.h"
#include "export/mesh_formats.h"

namespace {

// The triangle's normal (B - A) x (C - A), worked out in double from the float corners; the
// zero vector exactly when the triangle has no area.
void TriangleNormal(const SurfaceMesh& mesh, const int32_t* pCorners, double n[3])
{
    const auto point = [&mesh](int32_t v) {
        return std::array<double, 3>{mesh.m_aX[v], mesh.m_aY[v], mesh.m_aZ[v]};
    };
    const auto a = point(pCorners[0]), b = point(pCorners[1]), c = point(pCorners[2]);
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    n[0] = u[1] * w[2] - u[2] * w[1];
    n[1] = u[2] * w[0] - u[0] * w[2];
    n[2] = u[0] * w[1] - u[1] * w[0];
}

bool HasArea(const double n[3])
{
    return n[0] != 0.0 || n[1] != 0.0 || n[2] != 0.0;
}

// Calls visit(corners, normal) for every triangle with area, positive faces first.
template <typename Visit>
void ForEachTriangle(const SurfaceMesh& mesh, Visit visit)
{
    for (int nSign = 0; nSign < kSignCount; ++nSign)
    {
        const FaceQuadArray& aQuads = SignFaces(mesh, nSign);
        for (int32_t i = 0; i < aQuads.GetSize(); ++i)
        {
            int32_t anCorners[6];
            SplitFace(aQuads[i], anCorners);
            for (const int32_t* pTriangle : {anCorners, anCorners + 3})
            {
                double n[3];
                TriangleNormal(mesh, pTriangle, n);
                if (HasArea(n))
                    visit(pTriangle, n);
            }
        }
    }
}

}  // namespace

void WriteStl(COutputStream& stream, const SurfaceMesh& mesh)
{
    uint64_t nTriangles = 0;
    ForEachTriangle(mesh, [&nTriangles](const int32_t*, const double*) { ++nTriangles; });
    if (nTriangles > std::numeric_limits<uint32_t>::max())
        throw std::runtime_error("cannot write '" + stream.GetName() +
                                 "': more triangles than STL can count");

    std::string strHeader = "binary STL of a spherical harmonic surface, written by lobara-render";
    strHeader.resize(80, ' ');
    stream.Write(strHeader);
    WriteLittleEndian(stream, static_cast<uint32_t>(nTriangles));
    ForEachTriangle(mesh, [&stream, &mesh](const int32_t* pCorners, const double* n) {
        const double dLength = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        float afRecord[12] = {static_cast<float>(n[0] / dLength), static_cast<float>(n[1] / dLength),
                              static_cast<float>(n[2] / dLength)};
        for (int k = 0; k < 3; ++k)
        {
            afRecord[3 + 3 * k] = mesh.m_aX[pCorners[k]];
            afRecord[4 + 3 * k] = mesh.m_aY[pCorners[k]];
            afRecord[5 + 3 * k] = mesh.m_aZ[pCorners[k]];
        }
        stream.Write(afRecord, sizeof afRecord);
        WriteLittleEndian<uint16_t>(stream, 0);
    });
}
