#include "sht/own_coefficients.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "infra/large_blocks.h"
#include "infra/prefetch.h"
#include "infra/thread_sharing.h"

namespace {

// The field of the coefficients own(l, m) = coefficient(l, m) in ACN order, degree by degree on up to
// nThreads threads: each degree's factors worked out once, as a row. The first term in ACN order
// whose factor is out of range throws as FiniteConventionFactor, whichever thread met it. Written
// into field, whose storage is kept where it has room.
template <typename Coefficient>
void FieldFromCoefficients(int32_t nMaxDegree, const Convention& convention, unsigned nThreads,
                           const Coefficient& coefficient, Field& field)
{
    field.convention = convention;
    if (field.aTerms.capacity() < OwnCount(nMaxDegree))
    {
        field.aTerms = {};
        field.aTerms.reserve(OwnCount(nMaxDegree));
        AdviseLargePages(field.aTerms.data(), field.aTerms.capacity() * sizeof(Term));
    }
    field.aTerms.resize(OwnCount(nMaxDegree));
    Term* pTerms = field.aTerms.data();
    std::vector<std::vector<double>> aFactors(nThreads,
                                              std::vector<double>(2 * static_cast<size_t>(nMaxDegree) + 1));
    std::vector<size_t> aFirstUnfit(nThreads, field.aTerms.size());
    ShareAmongThreads(static_cast<size_t>(nMaxDegree) + 1, nThreads, [&](size_t nDegree, unsigned t) {
        const auto l = static_cast<int32_t>(nDegree);
        double* pFactors = aFactors[t].data();
        DegreeConventionFactors(l, convention, pFactors);
        for (int32_t m = -l; m <= l; ++m)
        {
            const size_t i = OwnIndex(l, m);
            if (!std::isfinite(pFactors[l + m]))
                aFirstUnfit[t] = std::min(aFirstUnfit[t], i);
            pTerms[i] = Term{l, m, coefficient(l, m) / pFactors[l + m]};
        }
    });
    const size_t nUnfit = *std::min_element(aFirstUnfit.begin(), aFirstUnfit.end());
    if (nUnfit < field.aTerms.size())
        FiniteConventionFactor(pTerms[nUnfit].l, pTerms[nUnfit].m, convention);  // throws its message
}

}  // namespace

Field FieldFromOwn(const std::vector<double>& aOwn, int32_t nMaxDegree, const Convention& convention)
{
    Field field;
    FieldFromCoefficients(
        nMaxDegree, convention, 1, [&](int32_t l, int32_t m) { return aOwn[OwnIndex(l, m)]; }, field);
    return field;
}

void FieldFromOrders(const double* pByOrder, int32_t nMaxDegree, const Convention& convention,
                     unsigned nThreads, Field& field)
{
    // Where each order's pairs would start for l = 0: a degree's coefficients are read across the
    // orders, whose pairs for the degrees close to it stay in the cache from one degree to the next.
    // Fetching ahead in each order takes two fifths off the building of the field.
    std::vector<size_t> aOrderBase(static_cast<size_t>(nMaxDegree) + 1);
    for (int32_t m = 0; m <= nMaxDegree; ++m)
        aOrderBase[static_cast<size_t>(m)] = 2 * (OrderStart(m, nMaxDegree) - static_cast<size_t>(m));
    FieldFromCoefficients(
        nMaxDegree, convention, nThreads,
        [&](int32_t l, int32_t m) {
            const double* pPair =
                pByOrder + aOrderBase[static_cast<size_t>(std::abs(m))] + 2 * static_cast<size_t>(l);
            if (m >= 0)
                PrefetchTwoLinesAhead<PrefetchFor::kReading>(pPair);
            return pPair[m < 0 ? 1 : 0];
        },
        field);
}

std::vector<double> OwnFromField(const Field& field, int32_t nMaxDegree)
{
    std::vector<double> aOwn(OwnCount(nMaxDegree));
    for (const Term& term : field.aTerms)
        if (!IsZeroTerm(term) && term.l <= nMaxDegree)
            aOwn[OwnIndex(term.l, term.m)] +=
                term.c * FiniteConventionFactor(term.l, term.m, field.convention);
    return aOwn;
}
