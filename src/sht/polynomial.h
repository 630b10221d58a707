#pragma once

#include <cstdint>

#include "infra/growable_array.h"

// Element i is the coefficient of x^i. The empty array is the zero polynomial; zero
// coefficients are stored like any other, so P_l always has l + 1 coefficients.
using Polynomial = GrowableArray<double>;

// destination becomes an element-by-element copy of source.
void CopyPolynomial(Polynomial& destination, const Polynomial& source);

// Replaces p by its nCount-th derivative; nCount <= 0 leaves p unchanged. Each pass drops
// one coefficient, and the derivative of a constant (or of the zero polynomial) is empty.
void DifferentiatePolynomial(int32_t nCount, Polynomial& p);

// out = a * x^nShiftA * pa + b * x^nShiftB * pb. out must be neither pa nor pb.
void CombinePolynomials(double a, double b, int32_t nShiftA, int32_t nShiftB, Polynomial& out,
                        const Polynomial& pa, const Polynomial& pb);

// out = P_l by the three-term recursion. For l < 0, out is left as it was passed.
void LegendrePolynomial(int32_t l, Polynomial& out);
