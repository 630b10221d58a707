#include "sht/own_coefficients.h"

#include <cmath>
#include <cstdlib>

namespace {

// The factor of (l, m) from its degree's row of DegreeConventionFactors; throws as
// FiniteConventionFactor where it is not finite.
double FiniteFactor(const double* pDegreeFactors, int32_t l, int32_t m, const Convention& convention)
{
    const double dFactor = pDegreeFactors[l + m];
    return std::isfinite(dFactor) ? dFactor : FiniteConventionFactor(l, m, convention);
}

// The field of the coefficients own(l, m) = coefficient(l, m), in ACN order: each degree's
// factors worked out once, as a row.
template <typename Coefficient>
Field FieldFromCoefficients(int32_t nMaxDegree, const Convention& convention, const Coefficient& coefficient)
{
    Field field{{}, convention};
    field.aTerms.reserve(OwnCount(nMaxDegree));
    std::vector<double> aFactors(2 * static_cast<size_t>(nMaxDegree) + 1);
    for (int32_t l = 0; l <= nMaxDegree; ++l)
    {
        DegreeConventionFactors(l, convention, aFactors.data());
        for (int32_t m = -l; m <= l; ++m)
            field.aTerms.push_back(
                Term{l, m, coefficient(l, m) / FiniteFactor(aFactors.data(), l, m, convention)});
    }
    return field;
}

}  // namespace

Field FieldFromOwn(const std::vector<double>& aOwn, int32_t nMaxDegree, const Convention& convention)
{
    return FieldFromCoefficients(nMaxDegree, convention,
                                 [&](int32_t l, int32_t m) { return aOwn[OwnIndex(l, m)]; });
}

Field FieldFromOrders(const double* pByOrder, int32_t nMaxDegree, const Convention& convention)
{
    // Where each order's pairs would start for l = 0: a degree's coefficients are read across the
    // orders, whose pairs for the degrees close to it stay in the cache from one degree to the next.
    std::vector<size_t> aOrderBase(static_cast<size_t>(nMaxDegree) + 1);
    for (int32_t m = 0; m <= nMaxDegree; ++m)
        aOrderBase[static_cast<size_t>(m)] = 2 * (OrderStart(m, nMaxDegree) - static_cast<size_t>(m));
    return FieldFromCoefficients(nMaxDegree, convention, [&](int32_t l, int32_t m) {
        const size_t a = static_cast<size_t>(std::abs(m));
        return pByOrder[aOrderBase[a] + 2 * static_cast<size_t>(l) + (m < 0 ? 1 : 0)];
    });
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
