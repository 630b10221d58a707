#include "sht/symmetry_zeros.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

// The rows fall into three kinds by which terms vanish on all of them.
enum RowKind
{
    kOrdinaryRow,
    kPoleRow,
    kEquatorRow,
    kRowKinds
};

RowKind KindOfRow(int64_t i, int64_t nRows)
{
    if (i == 0 || i == nRows - 1)
        return kPoleRow;
    // Only an odd count of rows has one exactly at theta = pi / 2.
    return nRows % 2 == 1 && 2 * i == nRows - 1 ? kEquatorRow : kOrdinaryRow;
}

bool VanishesOnRows(const Term& term, RowKind kind)
{
    const int64_t nAbsM = std::llabs(int64_t{term.m});
    if (kind == kPoleRow)
        return nAbsM != 0;
    return kind == kEquatorRow && (int64_t{term.l} - nAbsM) % 2 != 0;
}

// Whether A(phi_j) of order m is 0, phi_j = 2 pi j / nColumns: sin(|m| phi) where 2|m|j is a
// multiple of nColumns, cos(m phi) where 4mj is an odd multiple of nColumns. Worked out modulo
// the multiple so that nothing overflows.
bool VanishesOnColumn(int32_t m, int64_t j, int64_t nColumns)
{
    const auto nAbsM = static_cast<uint64_t>(std::llabs(int64_t{m}));
    const auto nCount = static_cast<uint64_t>(nColumns);
    const auto nJ = static_cast<uint64_t>(j);
    if (m < 0)
        return (2 * (nAbsM % nCount)) % nCount * nJ % nCount == 0;
    return m > 0 && (4 * (nAbsM % (2 * nCount))) % (2 * nCount) * nJ % (2 * nCount) == nCount;
}

}  // namespace

std::vector<unsigned char> SymmetryZeros(const Field& field, int64_t nRows, int64_t nColumns)
{
    // A count of 0 or less leaves no grid, as it leaves no surface.
    if (nRows <= 0 || nColumns <= 0)
        return {};
    std::vector<unsigned char> aZero(static_cast<size_t>(nRows * nColumns));
    // For each kind of row, the columns where every term that does not vanish on the row's kind
    // vanishes; each order is checked once, only on the columns still left.
    std::vector<int32_t> aColumns[kRowKinds];
    for (int kind = 0; kind < kRowKinds; ++kind)
    {
        std::vector<int32_t> aOrders;
        for (const Term& term : field.aTerms)
            if (!IsZeroTerm(term) && !VanishesOnRows(term, static_cast<RowKind>(kind)))
                aOrders.push_back(term.m);
        // m = 0 first: it vanishes on no column and ends the search at once.
        std::sort(aOrders.begin(), aOrders.end(), [](int32_t a, int32_t b) {
            return std::make_pair(std::llabs(int64_t{a}), a) < std::make_pair(std::llabs(int64_t{b}), b);
        });
        aOrders.erase(std::unique(aOrders.begin(), aOrders.end()), aOrders.end());
        std::vector<int32_t>& aLeft = aColumns[kind];
        for (int64_t j = 0; j < nColumns; ++j)
            aLeft.push_back(static_cast<int32_t>(j));
        for (size_t n = 0; n < aOrders.size() && !aLeft.empty(); ++n)
            aLeft.erase(std::remove_if(aLeft.begin(), aLeft.end(),
                                       [&](int32_t j) { return !VanishesOnColumn(aOrders[n], j, nColumns); }),
                        aLeft.end());
    }
    for (int64_t i = 0; i < nRows; ++i)
        for (const int32_t j : aColumns[KindOfRow(i, nRows)])
            aZero[static_cast<size_t>(i * nColumns + j)] = 1;
    return aZero;
}
