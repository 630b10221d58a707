#include "sht/field.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

int32_t FieldMaxDegree(const Field& field)
{
    int32_t nMax = -1;
    for (const Term& term : field.aTerms)
        nMax = std::max(nMax, term.l);
    return nMax;
}

int32_t FieldMaxOrder(const Field& field)
{
    int64_t nMax = -1;
    for (const Term& term : field.aTerms)
        nMax = std::max<int64_t>(nMax, std::llabs(int64_t{term.m}));
    return static_cast<int32_t>(std::min<int64_t>(nMax, INT32_MAX));
}

GridSize SufficientGrid(const Field& field)
{
    int64_t nDegree = -1, nOrder = 0;
    for (const Term& term : field.aTerms)
        if (!IsZeroTerm(term))
        {
            nDegree = std::max<int64_t>(nDegree, term.l);
            nOrder = std::max<int64_t>(nOrder, std::llabs(int64_t{term.m}));
        }
    return GridSize{nDegree < 0 ? 1 : 2 * nDegree + 1, std::max<int64_t>(4 * nOrder, 1)};
}

GridSize DeterminingGrid(const Field& field, SampleGrid grid)
{
    int64_t nDegree = 0;
    for (const Term& term : field.aTerms)
        if (!IsZeroTerm(term))
            nDegree = std::max<int64_t>(nDegree, term.l);
    const int64_t nRows = grid == SampleGrid::kLobara ? nDegree + 2 : nDegree + 1;
    return GridSize{nRows, grid == SampleGrid::kDh ? 2 * nRows : 2 * nDegree + 1};
}

bool IsZeroField(const Field& field)
{
    for (const Term& term : field.aTerms)
        if (!IsZeroTerm(term))
            return false;
    return true;
}
