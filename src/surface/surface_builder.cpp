#include "surface/surface_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "surface/angles.h"
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

// The vertices and faces of the plan's grid, row by row: fillRow(i, pRow) writes row i's
// values, and each row of vertices is followed at once by the faces between it and the row
// above, while both rows are still in cache; rowFactors(i) gives row i's theta. The mesh has
// room for the plan.
template <typename RowFactorsOf, typename FillRow>
void BuildRows(const SurfacePlan& plan, const RowFactorsOf& rowFactors, const std::vector<double>& aCosPhi,
               const std::vector<double>& aSinPhi, FaceSorter& sorter, SurfaceMesh& mesh,
               const FillRow& fillRow)
{
    const int32_t nColumns = plan.nColumns;
    for (int32_t i = 0; i < plan.nRows; ++i)
    {
        const int32_t nFirst = i * nColumns;
        fillRow(i, mesh.m_aValue.GetData() + nFirst);
        VertexRow(rowFactors(i), aCosPhi.data(), aSinPhi.data(), mesh.m_aValue.GetData() + nFirst, nColumns,
                  mesh.m_aX.GetData() + nFirst, mesh.m_aY.GetData() + nFirst, mesh.m_aZ.GetData() + nFirst);
        if (i > 0)
            AppendFaceRow(RowOf(mesh, nFirst - nColumns), RowOf(mesh, nFirst), nColumns, sorter);
    }
    FinishFaces(sorter, mesh);
}

// Sizes every array of the mesh for the plan, the values and vertices left to be written.
void StartMesh(const SurfacePlan& plan, SurfaceMesh& mesh, FaceSorter& sorter)
{
    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->SetSizeForOverwrite(plan.nVertices);
    mesh.m_aValue.SetSizeForOverwrite(plan.nVertices);
    StartFaces(mesh, plan.nFaces, sorter);
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

    StartMesh(plan, mesh, sorter);
    rows.FillAll(mesh.m_aValue.GetData(), onRow);
    const FieldColumns& columns = rows.Columns();
    const auto rowFactors = [&rows](int32_t i) -> const RowFactors& { return rows.Row(i); };
    BuildRows(plan, rowFactors, columns.aCosPhi, columns.aSinPhi, sorter, mesh, [&](int32_t i, double* pRow) {
        rows.FillRow(i, pRow);
        if (onRow && !rows.FillAllReportsRows())
            onRow(i + 1, plan.nRows);
    });
}

void BuildSurfaceMesh(const DoubleArray& aValue, int32_t nT, int32_t nP, SurfaceMesh& mesh)
{
    const SurfacePlan plan = PlanSurface(0, 0, nT, nP);
    if (aValue.GetSize() != plan.nVertices)
        throw std::invalid_argument("BuildSurfaceMesh: the values do not fill the grid");
    const std::vector<RowFactors> aRows = MakeThetaRows(plan.nRows);
    std::vector<double> aCosPhi(static_cast<size_t>(plan.nColumns)), aSinPhi(aCosPhi.size());
    for (size_t j = 0; j < aCosPhi.size(); ++j)
    {
        aCosPhi[j] = std::cos(SamplePhi(static_cast<int64_t>(j), plan.nColumns));
        aSinPhi[j] = std::sin(SamplePhi(static_cast<int64_t>(j), plan.nColumns));
    }
    FaceSorter sorter = MakeFaceSorter(plan.nColumns);
    ReserveMesh(mesh, plan);

    StartMesh(plan, mesh, sorter);
    const auto rowFactors = [&aRows](int32_t i) -> const RowFactors& {
        return aRows[static_cast<size_t>(i)];
    };
    BuildRows(plan, rowFactors, aCosPhi, aSinPhi, sorter, mesh, [&](int32_t i, double* pRow) {
        std::copy_n(aValue.GetData() + static_cast<ptrdiff_t>(i) * plan.nColumns, plan.nColumns, pRow);
    });
}

void BuildSurfaceMesh(int32_t l, int32_t m, int32_t nT, int32_t nP, SurfaceMesh& mesh,
                      const BuildProgress& onRow)
{
    BuildSurfaceMesh(SingleHarmonic(l, m), nT, nP, mesh, onRow);
}
