#include "mesh/mesh_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "mesh/vertex_normals.h"
#include "sht/build_limits.h"

namespace {

// The sample values with the zeros of symmetry exactly 0 and each pole row at its mean value,
// which is all that remains there of the terms of order 0.
std::vector<double> ExactValues(const SurfaceMesh& mesh, const std::vector<unsigned char>& aZero,
                                const GridCounts& grid)
{
    std::vector<double> adValue(mesh.m_aValue.GetData(), mesh.m_aValue.GetData() + mesh.m_aValue.GetSize());
    for (size_t k = 0; k < adValue.size(); ++k)
        if (aZero[k])
            adValue[k] = 0.0;
    for (const int64_t i : {int64_t{0}, grid.nRows - 1})
    {
        if (grid.nVertices == 0)
            break;
        double* pRow = adValue.data() + i * grid.nColumns;
        double dSum = 0.0;
        for (int64_t j = 0; j < grid.nColumns; ++j)
            dSum += pRow[j];
        std::fill(pRow, pRow + grid.nColumns, dSum / static_cast<double>(grid.nColumns));
    }
    return adValue;
}

// The built vertices, those at radius 0 at the origin and the poles on the z axis.
std::vector<float> ExactPoints(const SurfaceMesh& mesh, const std::vector<double>& adValue,
                               const GridCounts& grid, const RadiusRule& rule)
{
    std::vector<float> afPoint(3 * adValue.size());
    for (size_t k = 0; k < adValue.size(); ++k)
    {
        const auto v = static_cast<int32_t>(k);
        const bool bOrigin = RadiusOf(rule, adValue[k]) == 0.0;
        const int64_t i = static_cast<int64_t>(k) / grid.nColumns;
        const bool bPole = i == 0 || i == grid.nRows - 1;
        const float fZ =
            bPole ? static_cast<float>((i == 0 ? 1.0 : -1.0) * RadiusOf(rule, adValue[k])) : mesh.m_aZ[v];
        // Adding +0 turns -0 into +0, so that equal coordinates are equal bits too.
        afPoint[3 * k] = bOrigin || bPole ? 0.0f : mesh.m_aX[v] + 0.0f;
        afPoint[3 * k + 1] = bOrigin || bPole ? 0.0f : mesh.m_aY[v] + 0.0f;
        afPoint[3 * k + 2] = bOrigin ? 0.0f : fZ + 0.0f;
    }
    return afPoint;
}

// The vertices' unit normals; one whose faces give none points away from the origin, or up.
std::vector<float> UnitNormals(const SurfaceMesh& mesh, const std::vector<float>& afPoint)
{
    VertexNormals normals;
    ComputeVertexNormals(mesh, normals);
    std::vector<float> afNormal(afPoint.size());
    for (size_t k = 0; k < afPoint.size() / 3; ++k)
    {
        const auto v = static_cast<int32_t>(k);
        float af[3] = {normals.m_aNX[v], normals.m_aNY[v], normals.m_aNZ[v]};
        if (af[0] == 0.0f && af[1] == 0.0f && af[2] == 0.0f)
        {
            const double dLength = std::hypot(afPoint[3 * k], afPoint[3 * k + 1], afPoint[3 * k + 2]);
            for (size_t c = 0; c < 3; ++c)
                af[c] =
                    dLength > 0.0 ? static_cast<float>(afPoint[3 * k + c] / dLength) : (c == 2 ? 1.0f : 0.0f);
        }
        std::copy(af, af + 3, afNormal.begin() + static_cast<ptrdiff_t>(3 * k));
    }
    return afNormal;
}

// Whether the triangle has area in the float coordinates: its cross product, worked out in
// double, is not zero. Corners that meet give exactly zero.
bool HasArea(const std::vector<float>& afPoint, int32_t a, int32_t b, int32_t c)
{
    const float* pA = &afPoint[3 * static_cast<size_t>(a)];
    const float* pB = &afPoint[3 * static_cast<size_t>(b)];
    const float* pC = &afPoint[3 * static_cast<size_t>(c)];
    const double u[3] = {double{pB[0]} - pA[0], double{pB[1]} - pA[1], double{pB[2]} - pA[2]};
    const double w[3] = {double{pC[0]} - pA[0], double{pC[1]} - pA[1], double{pC[2]} - pA[2]};
    return u[1] * w[2] - u[2] * w[1] != 0.0 || u[2] * w[0] - u[0] * w[2] != 0.0 ||
           u[0] * w[1] - u[1] * w[0] != 0.0;
}

// Equal coordinates are equal bits here, -0 having been made +0.
bool SamePoint(const std::vector<float>& afPoint, int32_t a, int32_t b)
{
    const float* pA = &afPoint[3 * static_cast<size_t>(a)];
    const float* pB = &afPoint[3 * static_cast<size_t>(b)];
    return pA[0] == pB[0] && pA[1] == pB[1] && pA[2] == pB[2];
}

void AddFaces(const FaceQuadArray& aQuads, const std::vector<float>& afPoint, std::vector<MeshFace>& aFaces)
{
    for (int32_t i = 0; i < aQuads.GetSize(); ++i)
    {
        const FaceQuad& q = aQuads[i];
        const bool bFirst = HasArea(afPoint, q.a, q.b, q.c);
        const bool bSecond = HasArea(afPoint, q.a, q.c, q.d);
        const bool bDistinct = !SamePoint(afPoint, q.a, q.b) && !SamePoint(afPoint, q.b, q.c) &&
                               !SamePoint(afPoint, q.c, q.d) && !SamePoint(afPoint, q.d, q.a) &&
                               !SamePoint(afPoint, q.a, q.c) && !SamePoint(afPoint, q.b, q.d);
        if (bFirst && bSecond && bDistinct)
            aFaces.push_back(MeshFace{{q.a, q.b, q.c, q.d}, 4});
        else
        {
            if (bFirst)
                aFaces.push_back(MeshFace{{q.a, q.b, q.c, 0}, 3});
            if (bSecond)
                aFaces.push_back(MeshFace{{q.a, q.c, q.d, 0}, 3});
        }
    }
}

// The files hold floats: a field beyond their range (about 3.4e38) has no coordinates there.
void CheckFloats(const std::vector<float>& afValues, const char* pszWhat)
{
    if (!std::all_of(afValues.begin(), afValues.end(), [](float f) { return std::isfinite(f); }))
        throw std::runtime_error(std::string("the surface does not fit a mesh file: ") + pszWhat +
                                 " go beyond the range of float (3.4e38)");
}

}  // namespace

std::vector<float> MeshPhases(const DoubleArray& aRe, const DoubleArray& aIm)
{
    std::vector<float> afPhase(static_cast<size_t>(aRe.GetSize()));
    for (int32_t k = 0; k < aRe.GetSize(); ++k)
        afPhase[static_cast<size_t>(k)] = static_cast<float>(std::atan2(aIm[k], aRe[k]));
    return afPhase;
}

void ScalePoints(std::vector<float>& afPoint, double dMillimetres)
{
    double dExtent = 0.0;
    for (size_t c = 0; c < 3; ++c)
    {
        float fMin = std::numeric_limits<float>::infinity(), fMax = -fMin;
        for (size_t k = c; k < afPoint.size(); k += 3)
        {
            fMin = std::min(fMin, afPoint[k]);
            fMax = std::max(fMax, afPoint[k]);
        }
        dExtent = std::max(dExtent, double{fMax} - double{fMin});
    }
    if (!(dExtent > 0.0))
        throw std::runtime_error("--scale needs a surface of some extent: this one is a single point");
    const double dFactor = dMillimetres / dExtent;
    for (float& f : afPoint)
    {
        f = static_cast<float>(f * dFactor) + 0.0f;
        if (!std::isfinite(f))
            throw std::runtime_error("--scale: the surface scaled to that size has no float coordinates");
    }
}

MeshGeometry MakeMeshGeometry(const SurfaceMesh& mesh, const std::vector<unsigned char>& aZeros,
                              const MeshShape& shape)
{
    const GridCounts grid = CountGrid(shape.nT, shape.nP);
    if (aZeros.size() != static_cast<size_t>(grid.nVertices))
        throw std::invalid_argument("MakeMeshGeometry: the zeros do not cover the grid");
    const std::vector<double> adValue = ExactValues(mesh, aZeros, grid);
    MeshGeometry geometry;
    geometry.aPoint = ExactPoints(mesh, adValue, grid, shape.rule);
    CheckFloats(geometry.aPoint, "its coordinates");
    if (shape.dScaleMillimetres > 0.0)
    {
        ScalePoints(geometry.aPoint, shape.dScaleMillimetres);
        geometry.bMillimetres = true;
    }
    geometry.aNormal = UnitNormals(mesh, geometry.aPoint);
    geometry.aValue.resize(adValue.size());
    std::transform(adValue.begin(), adValue.end(), geometry.aValue.begin(),
                   [](double d) { return static_cast<float>(d); });
    CheckFloats(geometry.aValue, "its values");
    AddFaces(mesh.m_aPosQuads, geometry.aPoint, geometry.aFaces[0]);
    AddFaces(mesh.m_aNegQuads, geometry.aPoint, geometry.aFaces[1]);
    return geometry;
}
