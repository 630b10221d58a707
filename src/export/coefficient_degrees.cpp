#include "export/coefficient_degrees.h"

#include <cstdlib>
#include <stdexcept>
#include <tuple>

CCoefficientDegrees::CCoefficientDegrees(const std::vector<Term>& aTerms) : m_aTerms(aTerms)
{
    for (size_t i = 0; i < aTerms.size(); ++i)
    {
        const Term& term = aTerms[i];
        if (term.l < 0 || std::llabs(int64_t{term.m}) > term.l ||
            (i > 0 && std::tie(aTerms[i - 1].l, aTerms[i - 1].m) >= std::tie(term.l, term.m)))
            throw std::invalid_argument(
                "coefficients to write must be one a harmonic, sorted by degree and order");
    }
    if (!aTerms.empty())
        m_nMaxDegree = aTerms.back().l;
}

const std::vector<double>& CCoefficientDegrees::Degree(int32_t l)
{
    m_aDegree.assign(2 * static_cast<size_t>(l) + 1, 0.0);
    while (m_nNext < m_aTerms.size() && m_aTerms[m_nNext].l < l)
        ++m_nNext;
    for (; m_nNext < m_aTerms.size() && m_aTerms[m_nNext].l == l; ++m_nNext)
        m_aDegree[static_cast<size_t>(int64_t{m_aTerms[m_nNext].m} + l)] = m_aTerms[m_nNext].c;
    return m_aDegree;
}
