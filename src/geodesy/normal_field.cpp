#include "geodesy/normal_field.h"

#include <algorithm>
#include <cmath>

std::vector<Term> NormalFieldTerms(const ReferenceEllipsoid& ellipsoid, double dGravityConstant,
                                   double dRadius, const Convention& convention, int32_t nMaxDegree)
{
    const Convention fullyNormalized{Normalization::k4Pi, false, SineSign::kStandard};
    const double dScale = ellipsoid.dGravityConstant / dGravityConstant;
    std::vector<Term> aTerms;
    for (int32_t l = 0; l <= std::min(kNormalFieldDegree, nMaxDegree); l += 2)
    {
        const double dFullyNormalized = l == 0 ? dScale
                                               : -EvenZonal(ellipsoid, l / 2) / std::sqrt(2.0 * l + 1.0) *
                                                     dScale * std::pow(ellipsoid.dA / dRadius, l);
        // c Y in 4pi is c * (factor of 4pi / factor of the convention) Y in the convention.
        aTerms.push_back(Term{
            l, 0,
            dFullyNormalized * ConventionFactor(l, 0, fullyNormalized) / ConventionFactor(l, 0, convention)});
    }
    return aTerms;
}

void RemoveNormalField(std::vector<Term>& aTerms, const std::vector<Term>& aNormal)
{
    std::vector<bool> aSubtracted(aNormal.size(), false);
    for (Term& term : aTerms)
    {
        if (term.m != 0 || term.l % 2 != 0 || term.l > kNormalFieldDegree)
            continue;
        for (size_t i = 0; i < aNormal.size(); ++i)
            if (!aSubtracted[i] && aNormal[i].l == term.l)
            {
                term.c -= aNormal[i].c;
                aSubtracted[i] = true;
            }
    }
    const size_t nGiven = aTerms.size();
    for (size_t i = 0; i < aNormal.size(); ++i)
        if (!aSubtracted[i])
            aTerms.push_back(Term{aNormal[i].l, 0, -aNormal[i].c});
    // Terms as the readers give them: by degree, then order.
    if (aTerms.size() > nGiven)
        std::stable_sort(aTerms.begin(), aTerms.end(),
                         [](const Term& a, const Term& b) { return a.l != b.l ? a.l < b.l : a.m < b.m; });
}
