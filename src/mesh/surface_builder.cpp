#include "mesh/surface_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "infra/vector_kernel.h"
#include "mesh/surface_faces.h"
#include "sht/build_limits.h"
#include "sht/field_rows.h"

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

// One row of vertices: radius(value) along (sin theta cos phi, sin theta sin phi, cos theta),
// stored as floats.
template <typename Radius>
LOBARA_VECTOR_KERNEL void VertexRow(const RowFactors& row, const double* __restrict pCosPhi,
                                    const double* __restrict pSinPhi, const double* __restrict pValue,
                                    int32_t nColumns, Radius radius, float* __restrict pX,
                                    float* __restrict pY, float* __restrict pZ)
{
    for (int32_t j = 0; j < nColumns; ++j)
    {
        const double r = radius(pValue[j]);
        pX[j] = static_cast<float>((pCosPhi[j] * row.dSinTheta) * r);
        pY[j] = static_cast<float>((pSinPhi[j] * row.dSinTheta) * r);
        pZ[j] = static_cast<float>(row.dX * r);
    }
}

// The row's vertices by the rule; the polar plot |f| by its own kernel, as the viewer builds it.
void RuledVertexRow(const RowFactors& row, const FieldColumns& columns, const double* pValue,
                    int32_t nColumns, const RadiusRule& rule, float* pX, float* pY, float* pZ)
{
    const double* pCos = columns.aCosPhi.data();
    const double* pSin = columns.aSinPhi.data();
    if (rule.kind == RadiusKind::kAbs)
        VertexRow(
            row, pCos, pSin, pValue, nColumns, [](double v) { return std::fabs(v); }, pX, pY, pZ);
    else
        VertexRow(
            row, pCos, pSin, pValue, nColumns, [&rule](double v) { return RadiusOf(rule, v); }, pX, pY, pZ);
}

RowSamples RowOf(const SurfaceMesh& mesh, int32_t nFirst)
{
    return RowSamples{mesh.m_aX.GetData() + nFirst, mesh.m_aY.GetData() + nFirst,
                      mesh.m_aZ.GetData() + nFirst, mesh.m_aValue.GetData() + nFirst, nFirst};
}

// The build shared by both entries: rows of samples, each filled by fillRow(i, pRow) just before
// its vertices are placed, or all of them already in the mesh's values when fillRow does nothing.
template <typename FillRow>
void BuildRows(const SurfacePlan& plan, const std::vector<RowFactors>& aRows, const FieldColumns& columns,
               const RadiusRule& rule, FillRow fillRow, SurfaceMesh& mesh, FaceSorter& sorter,
               const BuildProgress& onRow)
{
    // Each row of vertices is followed at once by the faces between it and the row above,
    // while both rows are still in cache.
    const int32_t nColumns = plan.nColumns;
    for (int32_t i = 0; i < plan.nRows; ++i)
    {
        const int32_t nFirst = i * nColumns;
        fillRow(i, mesh.m_aValue.GetData() + nFirst);
        RuledVertexRow(aRows[static_cast<size_t>(i)], columns, mesh.m_aValue.GetData() + nFirst, nColumns,
                       rule, mesh.m_aX.GetData() + nFirst, mesh.m_aY.GetData() + nFirst,
                       mesh.m_aZ.GetData() + nFirst);
        if (i > 0)
            AppendFaceRow(RowOf(mesh, nFirst - nColumns), RowOf(mesh, nFirst), nColumns, sorter);
        if (onRow)
            onRow(i + 1, plan.nRows);
    }
    FinishFaces(sorter, mesh);
}

// Sizes every array of the mesh for the plan, its faces started in the sorter.
void StartMesh(const SurfacePlan& plan, SurfaceMesh& mesh, FaceSorter& sorter)
{
    ReserveMesh(mesh, plan);
    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->SetSizeForOverwrite(plan.nVertices);
    mesh.m_aValue.SetSizeForOverwrite(plan.nVertices);
    StartFaces(mesh, plan.nFaces, sorter);
}

}  // namespace

void BuildSurfaceMesh(const Field& field, int32_t nT, int32_t nP, const RadiusRule& rule, SurfaceMesh& mesh,
                      const BuildProgress& onRow)
{
    const SurfacePlan plan = PlanSurface(FieldMaxDegree(field), FieldMaxOrder(field), nT, nP);

    // Everything that allocates comes before the mesh is touched.
    const CFieldRows rows(field, plan);
    FaceSorter sorter = MakeFaceSorter(plan.nColumns);
    StartMesh(plan, mesh, sorter);
    rows.FillAll(mesh.m_aValue.GetData(), onRow);

    BuildRows(
        plan, rows.Rows(), rows.Columns(), rule, [&rows](int32_t i, double* pRow) { rows.FillRow(i, pRow); },
        mesh, sorter, rows.FillAllReportsRows() ? BuildProgress() : onRow);
}

void BuildSurfaceMesh(const Field& field, int32_t nT, int32_t nP, SurfaceMesh& mesh,
                      const BuildProgress& onRow)
{
    BuildSurfaceMesh(field, nT, nP, RadiusRule{}, mesh, onRow);
}

void BuildSurfaceMesh(int32_t l, int32_t m, int32_t nT, int32_t nP, SurfaceMesh& mesh,
                      const BuildProgress& onRow)
{
    BuildSurfaceMesh(SingleHarmonic(l, m), nT, nP, mesh, onRow);
}

void BuildSurfaceMesh(const DoubleArray& aValues, int32_t nT, int32_t nP, const RadiusRule& rule,
                      SurfaceMesh& mesh)
{
    const SurfacePlan plan = PlanSurface(0, 0, nT, nP);
    if (aValues.GetSize() != plan.nVertices)
        throw std::invalid_argument("the values do not fill the grid of the surface");
    const std::vector<RowFactors> aRows = MakeThetaRows(plan.nRows);
    const FieldColumns columns = MakeFieldColumns(plan.nColumns, 0);
    FaceSorter sorter = MakeFaceSorter(plan.nColumns);
    StartMesh(plan, mesh, sorter);
    std::copy(aValues.GetData(), aValues.GetData() + plan.nVertices, mesh.m_aValue.GetData());
    BuildRows(
        plan, aRows, columns, rule, [](int32_t, double*) {}, mesh, sorter, nullptr);
}
