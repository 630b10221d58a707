#include "hydrogen/recurrence_zeros.h"

#include <cmath>

namespace {

// K - V(x): the zeros of p_K below x. A value 0 takes no side and changes no sign.
int32_t ZerosBelow(const std::vector<RecurrenceStep>& aSteps, double x)
{
    double dPrevious = 0.0, dValue = 1.0;
    int32_t nChanges = 0;
    bool bPositive = true;  // the sign of the last value that was not 0
    for (const RecurrenceStep& step : aSteps)
    {
        const double dNext = (step.a * x + step.b) * dValue - step.c * dPrevious;
        dPrevious = dValue;
        dValue = dNext;
        if (dValue != 0.0 && (dValue > 0.0) != bPositive)
        {
            ++nChanges;
            bPositive = dValue > 0.0;
        }
    }
    return static_cast<int32_t>(aSteps.size()) - nChanges;
}

}  // namespace

std::vector<double> RecurrenceZeros(const std::vector<RecurrenceStep>& aSteps, double dLow, double dHigh)
{
    std::vector<double> aZeros;
    double dFrom = dLow;
    for (int32_t q = 1; q <= static_cast<int32_t>(aSteps.size()); ++q)
    {
        // The q-th zero is the least x with q zeros at or below it: below hi, not below lo.
        double lo = dFrom, hi = dHigh;
        for (int n = 0; n < 2200; ++n)
        {
            const double dMid = 0.5 * (lo + hi);
            if (!(dMid > lo && dMid < hi))
                break;
            (ZerosBelow(aSteps, dMid) >= q ? hi : lo) = dMid;
        }
        aZeros.push_back(0.5 * (lo + hi));
        dFrom = lo;
    }
    return aZeros;
}

std::vector<double> LaguerreZeros(int32_t k, double dAlpha)
{
    // (k + 1) L_(k+1) = (2k + 1 + alpha - x) L_k - (k + alpha) L_(k-1), scaled to the monic
    // (-1)^k k! L_k: p_(k+1) = (x - (2k + 1 + alpha)) p_k - k (k + alpha) p_(k-1).
    std::vector<RecurrenceStep> aSteps;
    aSteps.reserve(static_cast<size_t>(k));
    for (int32_t j = 0; j < k; ++j)
        aSteps.push_back({1.0, -(2.0 * j + 1.0 + dAlpha), j * (j + dAlpha)});
    return RecurrenceZeros(aSteps, 0.0, 4.0 * k + 2.0 * dAlpha + 2.0);
}

std::vector<double> GegenbauerZeros(int32_t k, double dLambda)
{
    // (j + 1) C_(j+1) = 2 (j + lambda) x C_j - (j + 2 lambda - 1) C_(j-1).
    std::vector<RecurrenceStep> aSteps;
    aSteps.reserve(static_cast<size_t>(k));
    for (int32_t j = 0; j < k; ++j)
        aSteps.push_back({2.0 * (j + dLambda) / (j + 1.0), 0.0, (j + 2.0 * dLambda - 1.0) / (j + 1.0)});
    return RecurrenceZeros(aSteps, -1.0, 1.0);
}
