#pragma once

#include <cstdint>
#include <vector>

// The zeros of orthogonal polynomials, found by bisection on Sturm's count: p_0 = 1,
// p_(k+1) = (a_k x + b_k) p_k - c_k p_(k-1) with a_k > 0 and c_k > 0 makes p_0 .. p_K a Sturm
// sequence whose sign changes at x, V(x), leave K - V(x) zeros of p_K below x. Each zero is
// bisected to adjacent doubles, so that it is exact to the rounding of the recurrence's values.
struct RecurrenceStep
{
    double a;
    double b;
    double c;  // of p_(k-1); unused at k = 0
};

// The zeros of p_K, K = aSteps.size(), ascending; all of them must lie in (dLow, dHigh).
std::vector<double> RecurrenceZeros(const std::vector<RecurrenceStep>& aSteps, double dLow, double dHigh);

// The zeros of the Laguerre polynomial L_k^alpha (alpha > -1), all in (0, 4k + 2 alpha + 2).
std::vector<double> LaguerreZeros(int32_t k, double dAlpha);

// The zeros of the Gegenbauer polynomial C_k^lambda (lambda > 0), all in (-1, 1): those of
// d^m P_l / dx^m, and so of P_l^m inside (-1, 1), for k = l - m and lambda = m + 1/2.
std::vector<double> GegenbauerZeros(int32_t k, double dLambda);
