#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "infra/growable_array.h"
#include "sht/build_limits.h"
#include "sht/build_progress.h"
#include "sht/field.h"
#include "sht/field_synthesis.h"
#include "sht/harmonic_rows.h"
#include "sht/sample_grid.h"

// Everything of the phi columns that does not depend on theta, one array per quantity.
struct FieldColumns
{
    std::vector<double> aCosPhi;
    std::vector<double> aSinPhi;
    std::vector<double> aA;  // a single term: 1, sqrt(2) cos(m phi) or sqrt(2) sin(m phi), times its factor
};

// The nColumns phi columns, with A of order m and factor 1.
FieldColumns MakeFieldColumns(int32_t nColumns, int32_t m);

// The values of a field on the sample grid, row by row: a single term from its exact rows,
// scaled by its coefficient in the program's convention (1 for the viewer's harmonics, which
// leaves them bit for bit), a sum of terms by synthesis. Everything that allocates is made by
// the constructor, which throws std::bad_alloc.
class CFieldRows
{
public:
    CFieldRows(const Field& field, const SurfacePlan& plan);
    ~CFieldRows();

    const RowFactors& Row(int32_t i) const { return m_rows.aRows[static_cast<size_t>(i)]; }
    const std::vector<RowFactors>& Rows() const { return m_rows.aRows; }
    const FieldColumns& Columns() const { return m_columns; }

    // A sum fills every row at once, before the first row is read; a single term row by row.
    // Rows reported as done go to onRow, by FillAll or, when it reports nothing, the caller.
    void FillAll(double* pValues, const BuildProgress& onRow) const;
    void FillRow(int32_t i, double* pRow) const;
    bool FillAllReportsRows() const { return m_pSynthesis != nullptr; }

private:
    SurfacePlan m_plan;
    HarmonicRows m_rows;
    FieldColumns m_columns;
    std::unique_ptr<CFieldSynthesis> m_pSynthesis;
};

// The field's values on nT x nP samples (index i * nP + j) of a grid of analysis: on lobara's, as
// the surface of the same grid holds them, without building the surface; on the others by the
// synthesis on the grid's rows. Throws std::bad_alloc (SurfaceTooLarge beyond the limits) and
// std::invalid_argument for a shape not of the grid (dh: nP = 2 nT).
DoubleArray SampleField(const Field& field, int32_t nT, int32_t nP, const BuildProgress& onRow = nullptr,
                        SampleGrid grid = SampleGrid::kLobara);
