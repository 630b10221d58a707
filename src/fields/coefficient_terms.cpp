#include "fields/coefficient_terms.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "fields/coefficient_input.h"
#include "sht/build_limits.h"

CCoefficientTerms::CCoefficientTerms(std::string strPath, int32_t nMaxDegree)
    : m_strPath(std::move(strPath)), m_nMaxDegree(nMaxDegree)
{}

int64_t CCoefficientTerms::HighestKept(int64_t nDegree, int64_t nLine) const
{
    if (m_nMaxDegree >= 0 && nDegree > m_nMaxDegree)
        return m_nMaxDegree;
    if (nDegree > kMaxDegree)
        ThrowCoefficientError(m_strPath, nLine,
                              "degree " + std::to_string(nDegree) + " is above " +
                                  std::to_string(kMaxDegree) + ", the highest this program shows");
    return nDegree;
}

bool CCoefficientTerms::Keeps(int64_t l, int64_t m, int64_t nLine) const
{
    if (l < 0)
        ThrowCoefficientError(m_strPath, nLine, "degree " + std::to_string(l) + " is negative");
    // Written without |m|, which overflows for the most negative order.
    if (m > l || m < -l)
        ThrowCoefficientError(
            m_strPath, nLine,
            "order " + std::to_string(m) + " does not exist at degree " + std::to_string(l));
    return HighestKept(l, nLine) == l;
}

void CCoefficientTerms::Add(int64_t l, int64_t m, double c, int64_t nLine)
{
    if (Keeps(l, m, nLine))
        m_aEntries.push_back(Entry{Term{static_cast<int32_t>(l), static_cast<int32_t>(m), c}, nLine});
}

void CCoefficientTerms::AddCosineSine(const CosineSineRow& row, int64_t nLine)
{
    Add(row.l, row.m, row.c, nLine);
    if (row.m > 0)
        Add(row.l, -row.m, row.s, nLine);
}

std::vector<Term> CCoefficientTerms::TakeTerms()
{
    // Of two entries of one coefficient, the one read first comes first.
    std::sort(m_aEntries.begin(), m_aEntries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.term.l, a.term.m, a.nLine) < std::tie(b.term.l, b.term.m, b.nLine);
    });
    std::vector<Term> aTerms;
    for (size_t i = 0; i < m_aEntries.size(); ++i)
    {
        const Term& term = m_aEntries[i].term;
        if (i > 0 && m_aEntries[i - 1].term.l == term.l && m_aEntries[i - 1].term.m == term.m)
            ThrowCoefficientError(m_strPath, m_aEntries[i].nLine,
                                  CoefficientName(term.l, term.m) + " is given again, first on line " +
                                      std::to_string(m_aEntries[i - 1].nLine));
        if (term.c != 0.0)
            aTerms.push_back(term);
    }
    m_aEntries.clear();
    m_aEntries.shrink_to_fit();
    return aTerms;
}

std::string CoefficientName(int64_t l, int64_t m)
{
    return (m < 0 ? "S(" : "C(") + std::to_string(l) + ", " + std::to_string(m < 0 ? -m : m) + ")";
}
