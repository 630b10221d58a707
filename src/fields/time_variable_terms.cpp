#include "fields/time_variable_terms.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "fields/coefficient_input.h"
#include "fields/model_time.h"
#include "sht/angles.h"

namespace {

const char* KeyOf(TimeTermKind kind)
{
    switch (kind)
    {
        case TimeTermKind::kOffset:
            return "gfct";
        case TimeTermKind::kTrend:
            return "trnd";
        case TimeTermKind::kCosine:
            return "acos";
        case TimeTermKind::kSine:
            return "asin";
    }
    return "";
}

// "C(l, m)", or "C(l, m) and S(l, m)" for the two coefficients of a line of order m > 0.
std::string RowName(const CosineSineRow& row)
{
    const std::string strCosine = CoefficientName(row.l, row.m);
    return row.m > 0 ? strCosine + " and " + CoefficientName(row.l, -row.m) : strCosine;
}

bool IsZeroRow(const CosineSineRow& row)
{
    return row.c == 0.0 && (row.m == 0 || row.s == 0.0);
}

}  // namespace

CTimeVariableTerms::CTimeVariableTerms(std::string strPath, bool bIntervals)
    : m_strPath(std::move(strPath)), m_bIntervals(bIntervals)
{}

std::vector<TimeVariableLine> CTimeVariableTerms::SortedLines() const
{
    std::vector<TimeVariableLine> aLines = m_aLines;
    std::stable_sort(aLines.begin(), aLines.end(), [](const TimeVariableLine& a, const TimeVariableLine& b) {
        return std::tie(a.row.l, a.row.m) < std::tie(b.row.l, b.row.m);
    });
    return aLines;
}

void CTimeVariableTerms::AddAtEpoch(double dEpoch, CCoefficientTerms& terms) const
{
    const std::vector<TimeVariableLine> aLines = SortedLines();
    const auto holds = [&](const TimeVariableLine& line) {
        return !m_bIntervals || (line.dT0 <= dEpoch && dEpoch < line.dT1);
    };
    for (size_t nStart = 0, nEnd = 0; nStart < aLines.size(); nStart = nEnd)
    {
        const CosineSineRow& first = aLines[nStart].row;
        while (nEnd < aLines.size() && aLines[nEnd].row.l == first.l && aLines[nEnd].row.m == first.m)
            ++nEnd;
        // The coefficient's `gfct` that holds at the epoch: exactly one.
        const TimeVariableLine* pAnyOffset = nullptr;
        const TimeVariableLine* pOffset = nullptr;
        for (size_t i = nStart; i < nEnd; ++i)
        {
            const TimeVariableLine& line = aLines[i];
            if (line.kind != TimeTermKind::kOffset)
                continue;
            pAnyOffset = pAnyOffset ? pAnyOffset : &line;
            if (!holds(line))
                continue;
            if (pOffset)
                ThrowCoefficientError(m_strPath, line.nLine,
                                      RowName(first) +
                                          " has two 'gfct' lines that hold at the epoch, the other on line " +
                                          std::to_string(pOffset->nLine));
            pOffset = &line;
        }
        if (!pAnyOffset)
            ThrowCoefficientError(m_strPath, aLines[nStart].nLine,
                                  "'" + std::string(KeyOf(aLines[nStart].kind)) + "' of " + RowName(first) +
                                      ", which has no 'gfct' line");
        if (!pOffset)
            ThrowCoefficientError(
                m_strPath, pAnyOffset->nLine,
                "the epoch is outside every interval of " + RowName(first) + "'s 'gfct' lines");

        double c = pOffset->row.c, s = pOffset->row.s;
        for (size_t i = nStart; i < nEnd; ++i)
        {
            const TimeVariableLine& line = aLines[i];
            if (line.kind == TimeTermKind::kOffset || !holds(line))
                continue;
            const double dYears = (dEpoch - (m_bIntervals ? line.dT0 : pOffset->dT0)) / kDaysPerYear;
            double dWeight = dYears;
            if (line.kind == TimeTermKind::kCosine)
                dWeight = std::cos(kTwoPi * dYears / line.dPeriod);
            else if (line.kind == TimeTermKind::kSine)
                dWeight = std::sin(kTwoPi * dYears / line.dPeriod);
            c += dWeight * line.row.c;
            s += dWeight * line.row.s;
        }
        if (!std::isfinite(c) || !std::isfinite(s))
            ThrowCoefficientError(m_strPath, pOffset->nLine,
                                  RowName(first) + " at the epoch is beyond the range of doubles");
        terms.AddCosineSine(CosineSineRow{first.l, first.m, c, s}, pOffset->nLine);
    }
}

int64_t CTimeVariableTerms::AddStaticPart(CCoefficientTerms& terms) const
{
    const std::vector<TimeVariableLine> aLines = SortedLines();
    int64_t nLeftOut = 0;
    for (size_t nStart = 0, nEnd = 0; nStart < aLines.size(); nStart = nEnd)
    {
        const CosineSineRow& first = aLines[nStart].row;
        const TimeVariableLine* pEarliest = nullptr;
        for (nEnd = nStart;
             nEnd < aLines.size() && aLines[nEnd].row.l == first.l && aLines[nEnd].row.m == first.m; ++nEnd)
        {
            const TimeVariableLine& line = aLines[nEnd];
            if (line.kind != TimeTermKind::kOffset)
                continue;
            if (!m_bIntervals)
                terms.AddCosineSine(line.row, line.nLine);
            else if (!pEarliest || line.dT0 < pEarliest->dT0)
            {
                nLeftOut += pEarliest && !IsZeroRow(pEarliest->row) ? 1 : 0;
                pEarliest = &line;
            }
            else
                nLeftOut += IsZeroRow(line.row) ? 0 : 1;
        }
        if (pEarliest)
            terms.AddCosineSine(pEarliest->row, pEarliest->nLine);
    }
    return nLeftOut;
}
