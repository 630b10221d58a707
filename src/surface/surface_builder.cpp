#include "surface/surface_builder.h"

#include <cmath>
#include <utility>
#include <vector>

#include "surface/angles.h"
#include "surface/build_limits.h"
#include "surface/harmonic_rows.h"
#include "surface/surface_faces.h"
#include "surface/vector_kernel.h"

namespace {

// Everything of the phi columns that does not depend on theta, one array per quantity.
struct ColumnTables
{
    std::vector<double> aCosPhi;
    std::vector<double> aSinPhi;
    std::vector<double> aA;  // 1, sqrt(2) cos(m phi) or sqrt(2) sin(m phi)
};

ColumnTables MakeColumns(int32_t nColumns, int32_t m)
{
    const size_t nSize = static_cast<size_t>(nColumns);
    ColumnTables columns{std::vector<double>(nSize), std::vector<double>(nSize), std::vector<double>(nSize)};
    const double dSqrt2 = std::sqrt(2.0);
    for (size_t j = 0; j < nSize; ++j)
    {
        const double dPhi = (static_cast<double>(j) / static_cast<double>(nColumns)) * kTwoPi;
        const double dMPhi = static_cast<double>(m) * dPhi;
        columns.aCosPhi[j] = std::cos(dPhi);
        columns.aSinPhi[j] = std::sin(dPhi);
        // No (-1)^m phase; for m < 0 the sine takes m itself, so A = -sqrt(2) sin(|m| phi).
        columns.aA[j] = m == 0 ? 1.0 : (m > 0 ? std::cos(dMPhi) : std::sin(dMPhi)) * dSqrt2;
    }
    return columns;
}

// A mesh whose storage is more than this many times what a build needs gives it back.
constexpr int64_t kReleaseFactor = 2;

// Grows the capacity of every array first, so that a failure leaves the previous mesh
// whole and the resizes that follow cannot fail.
void ReserveMesh(SurfaceMesh& mesh, const SurfacePlan& plan)
{
    // After a much larger surface, the new one is built in storage of its own size. That
    // storage is taken before the old is let go, so a failure still leaves the old mesh.
    if (mesh.m_aX.GetCapacity() > kReleaseFactor * plan.nVertices ||
        mesh.m_aPosQuads.GetCapacity() > kReleaseFactor * plan.nFaces)
    {
        SurfaceMesh fresh;
        ReserveMesh(fresh, plan);
        mesh = std::move(fresh);
        return;
    }
    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->Reserve(plan.nVertices);
    mesh.m_aValue.Reserve(plan.nVertices);
    mesh.m_aPosQuads.Reserve(plan.nFaces);
    mesh.m_aNegQuads.Reserve(plan.nFaces);
    for (FloatArray* pArray :
         {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ, &mesh.m_aNegNX, &mesh.m_aNegNY, &mesh.m_aNegNZ})
        pArray->Reserve(plan.nFaces);
}

// One row of samples: value Y = ((A * S) * W) * N and vertex |Y| along (sin theta cos phi,
// sin theta sin phi, cos theta), stored as floats. Plain arrays in and out, so the loop
// vectorises.
LOBARA_VECTOR_KERNEL
void SampleRow(const RowFactors& row, double dN, const double* __restrict pCosPhi,
               const double* __restrict pSinPhi, const double* __restrict pA, int32_t nColumns,
               double* __restrict pValue, float* __restrict pX, float* __restrict pY, float* __restrict pZ)
{
    for (int32_t j = 0; j < nColumns; ++j)
    {
        const double dY = ((pA[j] * row.dS) * row.dW) * dN;
        const double r = std::fabs(dY);
        pValue[j] = dY;
        pX[j] = static_cast<float>((pCosPhi[j] * row.dSinTheta) * r);
        pY[j] = static_cast<float>((pSinPhi[j] * row.dSinTheta) * r);
        pZ[j] = static_cast<float>(row.dX * r);
    }
}

RowSamples RowOf(const SurfaceMesh& mesh, int32_t nFirst)
{
    return RowSamples{mesh.m_aX.GetData() + nFirst, mesh.m_aY.GetData() + nFirst,
                      mesh.m_aZ.GetData() + nFirst, mesh.m_aValue.GetData() + nFirst, nFirst};
}

}  // namespace

void BuildSurfaceMesh(int32_t l, int32_t m, int32_t nT, int32_t nP, SurfaceMesh& mesh,
                      const BuildProgress& onRow)
{
    const SurfacePlan plan = PlanSurface(l, m, nT, nP);

    // Everything that allocates comes before the mesh is touched.
    const HarmonicRows rows = MakeHarmonicRows(l, m, plan.nRows);
    const ColumnTables columns = MakeColumns(plan.nColumns, m);
    FaceSorter sorter = MakeFaceSorter(plan.nColumns);
    ReserveMesh(mesh, plan);

    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->SetSizeForOverwrite(plan.nVertices);
    mesh.m_aValue.SetSizeForOverwrite(plan.nVertices);
    StartFaces(mesh, plan.nFaces, sorter);

    // Each row of vertices is followed at once by the faces between it and the row above,
    // while both rows are still in cache.
    const int32_t nColumns = plan.nColumns;
    for (int32_t i = 0; i < plan.nRows; ++i)
    {
        const int32_t nFirst = i * nColumns;
        SampleRow(rows.aRows[static_cast<size_t>(i)], rows.dN, columns.aCosPhi.data(), columns.aSinPhi.data(),
                  columns.aA.data(), nColumns, mesh.m_aValue.GetData() + nFirst, mesh.m_aX.GetData() + nFirst,
                  mesh.m_aY.GetData() + nFirst, mesh.m_aZ.GetData() + nFirst);
        if (i > 0)
            AppendFaceRow(RowOf(mesh, nFirst - nColumns), RowOf(mesh, nFirst), nColumns, sorter);
        if (onRow)
            onRow(i + 1, plan.nRows);
    }
    FinishFaces(sorter, mesh);
}
