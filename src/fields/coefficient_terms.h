#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sht/convention.h"

// C(l, m) and S(l, m) of one degree and order, 0 <= m <= l.
struct CosineSineRow
{
    int64_t l;
    int64_t m;
    double c;
    double s;
};

// The coefficients a reader finds, gathered into the terms of a field: degrees and orders
// checked, the truncation applied, a coefficient given twice refused, zeros left out.
class CCoefficientTerms
{
public:
    // nMaxDegree < 0 keeps every degree up to kMaxDegree.
    CCoefficientTerms(std::string strPath, int32_t nMaxDegree);

    // The highest degree kept of a file whose degrees reach nDegree: nDegree, or the truncation
    // below it. Throws, naming nLine (0: none), for a degree above kMaxDegree that is kept.
    int64_t HighestKept(int64_t nDegree, int64_t nLine) const;

    // Checks degree l and order m (m < 0: the sine of order |m|) read at nLine; true when the
    // truncation keeps them.
    bool Keeps(int64_t l, int64_t m, int64_t nLine) const;

    // Adds the coefficient c of Y(l, m) read at nLine, after Keeps; left out above the truncation.
    void Add(int64_t l, int64_t m, double c, int64_t nLine);

    // Adds C(l, m) and, for m > 0, S(l, m); S(l, 0) multiplies sin(0) and is no term.
    void AddCosineSine(const CosineSineRow& row, int64_t nLine);

    // The terms, sorted by degree and then order; throws for a coefficient given twice.
    std::vector<Term> TakeTerms();

private:
    struct Entry
    {
        Term term;
        int64_t nLine;
    };

    std::string m_strPath;
    int32_t m_nMaxDegree;
    std::vector<Entry> m_aEntries;
};

// "C(l, m)" for m >= 0, "S(l, |m|)" for m < 0.
std::string CoefficientName(int64_t l, int64_t m);
