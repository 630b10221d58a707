#include "surface/surface_builder.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "surface/build_limits.h"
#include "surface/field_rows.h"
#include "surface/surface_faces.h"
#include "surface/vector_kernel.h"

namespace {

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

// One row of vertices: |value| along (sin theta cos phi, sin theta sin phi, cos theta), stored
// as floats.
LOBARA_VECTOR_KERNEL
void VertexRow(const RowFactors& row, const double* __restrict pCosPhi, const double* __restrict pSinPhi,
               const double* __restrict pValue, int32_t nColumns, float* __restrict pX, float* __restrict pY,
               float* __restrict pZ)
{
    for (int32_t j = 0; j < nColumns; ++j)
    {
        const double r = std::fabs(pValue[j]);
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

void BuildSurfaceMesh(const Field& field, int32_t nT, int32_t nP, SurfaceMesh& mesh,
                      const BuildProgress& onRow)
{
    const SurfacePlan plan = PlanSurface(FieldMaxDegree(field), FieldMaxOrder(field), nT, nP);

    // Everything that allocates comes before the mesh is touched.
    const CFieldRows rows(field, plan);
    FaceSorter sorter = MakeFaceSorter(plan.nColumns);
    ReserveMesh(mesh, plan);

    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->SetSizeForOverwrite(plan.nVertices);
    mesh.m_aValue.SetSizeForOverwrite(plan.nVertices);
    StartFaces(mesh, plan.nFaces, sorter);
    rows.FillAll(mesh.m_aValue.GetData(), onRow);

    // Each row of vertices is followed at once by the faces between it and the row above,
    // while both rows are still in cache.
    const int32_t nColumns = plan.nColumns;
    const FieldColumns& columns = rows.Columns();
    for (int32_t i = 0; i < plan.nRows; ++i)
    {
        const int32_t nFirst = i * nColumns;
        rows.FillRow(i, mesh.m_aValue.GetData() + nFirst);
        VertexRow(rows.Row(i), columns.aCosPhi.data(), columns.aSinPhi.data(),
                  mesh.m_aValue.GetData() + nFirst, nColumns, mesh.m_aX.GetData() + nFirst,
                  mesh.m_aY.GetData() + nFirst, mesh.m_aZ.GetData() + nFirst);
        if (i > 0)
            AppendFaceRow(RowOf(mesh, nFirst - nColumns), RowOf(mesh, nFirst), nColumns, sorter);
        if (onRow && !rows.FillAllReportsRows())
            onRow(i + 1, plan.nRows);
    }
    FinishFaces(sorter, mesh);
}

void BuildSurfaceMesh(int32_t l, int32_t m, int32_t nT, int32_t nP, SurfaceMesh& mesh,
                      const BuildProgress& onRow)
{
    BuildSurfaceMesh(SingleHarmonic(l, m), nT, nP, mesh, onRow);
}
