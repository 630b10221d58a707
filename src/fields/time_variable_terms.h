#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fields/coefficient_terms.h"

// The time-variable lines of an ICGEM model and the coefficients they give at an epoch. A
// coefficient's line `gfct` is its value at t0; `trnd` (or `dot`) adds a trend per year,
// `acos` and `asin` a cosine and a sine of a period in years, all counted in years of 365.25
// days from t0. In ICGEM 1.0 a coefficient has one `gfct`, whose t0 the others take; in
// ICGEM 2.0 every line holds on its own interval [t0, t1), from whose t0 it runs, and a
// coefficient may have several.
enum class TimeTermKind
{
    kOffset,  // gfct
    kTrend,   // trnd, dot
    kCosine,  // acos
    kSine,    // asin
};

struct TimeVariableLine
{
    TimeTermKind kind;
    CosineSineRow row;
    double dT0;      // days (fields/model_time.h); ICGEM 1.0: only on gfct
    double dT1;      // days; ICGEM 1.0: none
    double dPeriod;  // years, of acos and asin
    int64_t nLine;
};

class CTimeVariableTerms
{
public:
    // bIntervals: ICGEM 2.0, whose lines hold on [t0, t1).
    CTimeVariableTerms(std::string strPath, bool bIntervals);

    void Add(const TimeVariableLine& line) { m_aLines.push_back(line); }
    bool IsEmpty() const { return m_aLines.empty(); }

    // Adds to terms each coefficient's value at dEpoch (days). Throws, naming the coefficient and
    // a line, for an epoch outside every interval of its `gfct` lines, for two of them that hold
    // at once, for trend or periodic lines of a coefficient that has no `gfct`, and for a value
    // beyond the double range.
    void AddAtEpoch(double dEpoch, CCoefficientTerms& terms) const;

    // Adds to terms the static part: every `gfct` of ICGEM 1.0 as written, and of ICGEM 2.0 each
    // coefficient's `gfct` of the earliest t0. Returns how many other `gfct` lines that are not 0
    // are left out.
    int64_t AddStaticPart(CCoefficientTerms& terms) const;

private:
    // The lines sorted by coefficient, then by line.
    std::vector<TimeVariableLine> SortedLines() const;

    std::string m_strPath;
    bool m_bIntervals;
    std::vector<TimeVariableLine> m_aLines;
};
