#pragma once

#include <functional>

// A bracket of a sign change of h: h(a) = ha > 0 and h(b) = hb < 0, a on either side of b.
struct SignChange
{
    double a, ha, b, hb;
};

// The bracket narrowed onto the sign change by regula falsi with the Illinois rule (the end that
// stays put twice running has its value halved), until the bracket's ends are adjacent doubles or
// nMostSteps are taken; or, once h at a point is 0 or below dTolerance in size, that point as both
// ends.
SignChange NarrowSignChange(const std::function<double(double)>& h, SignChange bracket, int nMostSteps,
                            double dTolerance = 0.0);
