#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sht/convention.h"

// The coefficients of a field one degree after another, as the coefficient writers lay them
// out, from terms sorted by degree and then by order with no (l, m) twice (as InConvention
// gives them).
class CCoefficientDegrees
{
public:
    // Throws std::invalid_argument for terms that are not so sorted or not all of a harmonic.
    explicit CCoefficientDegrees(const std::vector<Term>& aTerms);

    // The highest degree of a term; 0 without terms, so that a file holds at least degree 0.
    int32_t GetMaxDegree() const { return m_nMaxDegree; }

    // The coefficients of degree l at index m + l, m from -l to l, 0 where there is no term.
    // Degrees are asked for in ascending order.
    const std::vector<double>& Degree(int32_t l);

private:
    const std::vector<Term>& m_aTerms;
    int32_t m_nMaxDegree = 0;
    size_t m_nNext = 0;
    std::vector<double> m_aDegree;
};
