#include "hydrogen/sign_change.h"

#include <algorithm>
#include <cmath>

SignChange NarrowSignChange(const std::function<double(double)>& h, SignChange bracket, int nMostSteps,
                            double dTolerance)
{
    double &a = bracket.a, &ha = bracket.ha, &b = bracket.b, &hb = bracket.hb;
    int nSide = 0;
    for (int n = 0; n < nMostSteps; ++n)
    {
        double x = (a * hb - b * ha) / (hb - ha);
        const double lo = std::min(a, b), hi = std::max(a, b);
        if (!(x > lo && x < hi))
            x = 0.5 * (a + b);
        if (!(x > lo && x < hi))
            break;
        const double hx = h(x);
        if (std::fabs(hx) <= dTolerance)
            return SignChange{x, hx, x, hx};
        if (hx > 0.0)
        {
            a = x;
            ha = hx;
            if (nSide == 1)
                hb *= 0.5;
            nSide = 1;
        }
        else
        {
            b = x;
            hb = hx;
            if (nSide == -1)
                ha *= 0.5;
            nSide = -1;
        }
    }
    return bracket;
}
