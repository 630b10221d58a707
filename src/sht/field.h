#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sht/convention.h"
#include "sht/sample_grid.h"

// A real field on the sphere, f(theta, phi) = sum of c * Y(l, m) over its terms, each Y in
// the field's convention. Terms may repeat an (l, m); terms with l < 0 or |m| > l are 0.
struct Field
{
    std::vector<Term> aTerms;
    Convention convention;
};

// Whether a term adds nothing anywhere: l < 0, |m| > l or c = 0.
inline bool IsZeroTerm(const Term& term)
{
    return term.l < 0 || std::llabs(int64_t{term.m}) > term.l || term.c == 0.0;
}

// The field of the single harmonic Y(l, m) of the viewer: coefficient 1, the default convention.
inline Field SingleHarmonic(int32_t l, int32_t m)
{
    return Field{{Term{l, m, 1.0}}, Convention{}};
}

// Whether no term adds anything anywhere: the field is 0 everywhere.
bool IsZeroField(const Field& field);

// The highest degree and |order| the terms ask for, also where a term is 0 everywhere; -1 when
// there is no term.
int32_t FieldMaxDegree(const Field& field);
int32_t FieldMaxOrder(const Field& field);

// The smallest grid that keeps about four samples to each period of the field's highest degree
// along theta and of its highest order along phi (2L + 1 rows, 4M columns), below which the
// polar plot and the values alias.
struct GridSize
{
    int64_t nRows;
    int64_t nColumns;
};
GridSize SufficientGrid(const Field& field);

// The smallest grid of that layout whose samples determine the field: its analysis limit is the
// field's highest degree L (rows L + 2 for lobara, L + 1 for the others; columns 2L + 1, dh's twice
// its rows). Sampled values alias only below it.
GridSize DeterminingGrid(const Field& field, SampleGrid grid);
