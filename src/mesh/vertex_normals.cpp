#include "mesh/vertex_normals.h"

#include <cmath>
#include <utility>
#include <vector>

namespace {

struct Sum
{
    double x;
    double y;
    double z;
};

void AddFaces(const FaceQuadArray& aQuads, const FloatArray& aNX, const FloatArray& aNY,
              const FloatArray& aNZ, std::vector<Sum>& aSum)
{
    const int32_t nFaces = aQuads.GetSize();
    for (int32_t i = 0; i < nFaces; ++i)
    {
        const FaceQuad& q = aQuads[i];
        // A triangle repeats its third corner as its fourth, which counts once.
        for (const int32_t v : {q.a, q.b, q.c, q.d == q.c ? -1 : q.d})
        {
            if (v < 0)
                continue;
            Sum& sum = aSum[static_cast<size_t>(v)];
            sum.x += aNX[i];
            sum.y += aNY[i];
            sum.z += aNZ[i];
        }
    }
}

}  // namespace

void ComputeVertexNormals(const SurfaceMesh& mesh, VertexNormals& normals)
{
    const int32_t nVertices = mesh.m_aX.GetSize();
    std::vector<Sum> aSum(static_cast<size_t>(nVertices), Sum{0.0, 0.0, 0.0});
    AddFaces(mesh.m_aPosQuads, mesh.m_aPosNX, mesh.m_aPosNY, mesh.m_aPosNZ, aSum);
    AddFaces(mesh.m_aNegQuads, mesh.m_aNegNX, mesh.m_aNegNY, mesh.m_aNegNZ, aSum);

    VertexNormals result;
    for (FloatArray* pArray : {&result.m_aNX, &result.m_aNY, &result.m_aNZ})
        pArray->SetSizeForOverwrite(nVertices);
    for (int32_t v = 0; v < nVertices; ++v)
    {
        const Sum& sum = aSum[static_cast<size_t>(v)];
        const double fLength = std::sqrt(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z);
        // Cancelled or not-a-number sums give no direction.
        const double fScale = fLength > 0.0 && std::isfinite(fLength) ? 1.0 / fLength : 0.0;
        result.m_aNX[v] = static_cast<float>(sum.x * fScale);
        result.m_aNY[v] = static_cast<float>(sum.y * fScale);
        result.m_aNZ[v] = static_cast<float>(sum.z * fScale);
    }
    normals = std::move(result);
}
