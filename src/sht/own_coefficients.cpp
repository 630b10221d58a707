#include "sht/own_coefficients.h"

Field FieldFromOwn(const std::vector<double>& aOwn, int32_t nMaxDegree, const Convention& convention)
{
    Field field{{}, convention};
    field.aTerms.reserve(OwnCount(nMaxDegree));
    for (int32_t l = 0; l <= nMaxDegree; ++l)
        for (int32_t m = -l; m <= l; ++m)
            field.aTerms.push_back(
                Term{l, m, aOwn[OwnIndex(l, m)] / FiniteConventionFactor(l, m, convention)});
    return field;
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
