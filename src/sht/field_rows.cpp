#include "sht/field_rows.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "infra/vector_kernel.h"
#include "sht/angles.h"

FieldColumns MakeFieldColumns(int32_t nColumns, int32_t m)
{
    const size_t nSize = static_cast<size_t>(nColumns);
    FieldColumns columns{std::vector<double>(nSize), std::vector<double>(nSize), std::vector<double>(nSize)};
    const double dFactor = OwnAzimuthFactor(m);
    const double dOrder = std::fabs(static_cast<double>(m));  // m may be INT32_MIN
    for (size_t j = 0; j < nSize; ++j)
    {
        const double dPhi = SamplePhi(static_cast<int64_t>(j), nColumns);
        columns.aCosPhi[j] = std::cos(dPhi);
        columns.aSinPhi[j] = std::sin(dPhi);
        // No (-1)^m phase.
        columns.aA[j] = dFactor * (m == 0 ? 1.0 : m > 0 ? std::cos(dOrder * dPhi) : std::sin(dOrder * dPhi));
    }
    return columns;
}

namespace {

// One row of a harmonic's values: Y = ((A * S) * W) * N. Plain arrays in and out, so the loop
// vectorises.
LOBARA_VECTOR_KERNEL
void HarmonicRow(const RowFactors& row, double dN, const double* __restrict pA, int32_t nColumns,
                 double* __restrict pValue)
{
    for (int32_t j = 0; j < nColumns; ++j)
        pValue[j] = ((pA[j] * row.dS) * row.dW) * dN;
}

}  // namespace

CFieldRows::CFieldRows(const Field& field, const SurfacePlan& plan)
    : m_plan(plan),
      m_rows(field.aTerms.size() == 1 ? MakeHarmonicRows(field.aTerms[0].l, field.aTerms[0].m, plan.nRows)
                                      : HarmonicRows{MakeThetaRows(plan.nRows), 0.0}),
      m_columns(MakeFieldColumns(plan.nColumns, field.aTerms.size() == 1 ? field.aTerms[0].m : 0))
{
    if (field.aTerms.size() != 1)
    {
        m_pSynthesis = std::make_unique<CFieldSynthesis>(field, plan.nRows, plan.nColumns);
        return;
    }
    const Term& term = field.aTerms[0];
    const bool bZero = term.l < 0 || std::llabs(int64_t{term.m}) > term.l;
    const double dFactor = bZero ? 1.0 : term.c * FiniteConventionFactor(term.l, term.m, field.convention);
    for (double& dA : m_columns.aA)
        dA *= dFactor;
}

CFieldRows::~CFieldRows() = default;

void CFieldRows::FillAll(double* pValues, const BuildProgress& onRow) const
{
    if (m_pSynthesis)
        m_pSynthesis->Run(pValues, [&](int32_t nDone) {
            if (onRow)
                onRow(nDone, m_plan.nRows);
        });
}

void CFieldRows::FillRow(int32_t i, double* pRow) const
{
    if (!m_pSynthesis)
        HarmonicRow(Row(i), m_rows.dN, m_columns.aA.data(), m_plan.nColumns, pRow);
}

DoubleArray SampleField(const Field& field, int32_t nT, int32_t nP, const BuildProgress& onRow,
                        SampleGrid grid)
{
    const std::string strShape = GridShapeProblem(grid, nT, nP);
    if (!strShape.empty())
        throw std::invalid_argument(strShape);
    const SurfacePlan plan = PlanSurface(FieldMaxDegree(field), FieldMaxOrder(field), nT, nP);
    DoubleArray aValues;
    aValues.Reserve(plan.nVertices);
    aValues.SetSizeForOverwrite(plan.nVertices);
    if (grid != SampleGrid::kLobara)
    {
        if (plan.nVertices > 0)
            CFieldSynthesis(field, grid, plan.nRows, plan.nColumns)
                .Run(aValues.GetData(), [&](int32_t nDone) {
                    if (onRow)
                        onRow(nDone, plan.nRows);
                });
        return aValues;
    }
    const CFieldRows rows(field, plan);
    rows.FillAll(aValues.GetData(), onRow);
    for (int32_t i = 0; i < plan.nRows; ++i)
    {
        rows.FillRow(i, aValues.GetData() + static_cast<ptrdiff_t>(i) * plan.nColumns);
        if (onRow && !rows.FillAllReportsRows())
            onRow(i + 1, plan.nRows);
    }
    return aValues;
}
