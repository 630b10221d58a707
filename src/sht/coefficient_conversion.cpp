#include "sht/coefficient_conversion.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

[[noreturn]] void ThrowOutOfRange(const Term& term, const Convention& convention)
{
    throw std::runtime_error("the coefficient of Y(" + std::to_string(term.l) + ", " +
                             std::to_string(term.m) + ") is beyond the range of doubles in the " +
                             NormalizationName(convention.normalization) + " normalisation");
}

}  // namespace

Field InConvention(const Field& field, const Convention& target)
{
    std::vector<Term> aTerms;
    aTerms.reserve(field.aTerms.size());
    for (const Term& term : field.aTerms)
        if (!IsZeroTerm(term))
            aTerms.push_back(term);
    // A stable sort keeps the field's order among the terms of one (l, m), which are added in it.
    std::stable_sort(aTerms.begin(), aTerms.end(),
                     [](const Term& a, const Term& b) { return std::tie(a.l, a.m) < std::tie(b.l, b.m); });

    Field converted{{}, target};
    for (size_t i = 0; i < aTerms.size();)
    {
        Term sum = aTerms[i];
        for (++i; i < aTerms.size() && aTerms[i].l == sum.l && aTerms[i].m == sum.m; ++i)
            sum.c += aTerms[i].c;
        if (sum.c == 0.0)
            continue;
        const double dFrom = ConventionFactor(sum.l, sum.m, field.convention);
        const double dTo = ConventionFactor(sum.l, sum.m, target);
        if (!std::isfinite(dFrom))
            ThrowOutOfRange(sum, field.convention);
        // The same factor on both sides divides to exactly 1.
        const double dRatio = dFrom / dTo;
        const double dConverted = sum.c * dRatio;
        if (!std::isfinite(dTo) || !std::isfinite(dConverted) || dConverted == 0.0)
            ThrowOutOfRange(sum, target);
        converted.aTerms.push_back(Term{sum.l, sum.m, dConverted});
    }
    return converted;
}
