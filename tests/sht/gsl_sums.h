#pragma once

// The independent expectation of the transform's tests: sums of real harmonics in the program's
// own convention (ortho, no Condon-Shortley phase; Y(l, m) = Pbar, sqrt(2) Pbar cos(m phi),
// -sqrt(2) Pbar sin(|m| phi)) by GSL's normalised Legendre functions, term by term.

#include <gsl/gsl_sf_legendre.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "sht/convention.h"

// The terms summed at (theta, phi), nMax at least their highest degree; terms of |m| > l are 0.
inline double GslSum(const std::vector<Term>& aTerms, int32_t nMax, double theta, double phi)
{
    std::vector<double> aSpharm(gsl_sf_legendre_array_n(static_cast<size_t>(nMax)));
    gsl_sf_legendre_array_e(GSL_SF_LEGENDRE_SPHARM, static_cast<size_t>(nMax), std::cos(theta), 1.0,
                            aSpharm.data());
    std::vector<double> aCos, aSin;
    for (int32_t m = 0; m <= nMax; ++m)
    {
        aCos.push_back(std::cos(m * phi));
        aSin.push_back(std::sin(m * phi));
    }
    double dSum = 0.0;
    for (const Term& term : aTerms)
    {
        const size_t a = static_cast<size_t>(std::abs(term.m));
        if (a > static_cast<size_t>(term.l))
            continue;
        const double p = aSpharm[gsl_sf_legendre_array_index(static_cast<size_t>(term.l), a)];
        dSum += term.c * (term.m == 0 ? p : std::sqrt(2.0) * p * (term.m > 0 ? aCos[a] : -aSin[a]));
    }
    return dSum;
}

// Every coefficient up to nMax, uniform in [-1, 1], in the order l, then m from -l.
inline std::vector<Term> RandomTerms(int32_t nMax, unsigned nSeed)
{
    std::mt19937 random(nSeed);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    std::vector<Term> aTerms;
    for (int32_t l = 0; l <= nMax; ++l)
        for (int32_t m = -l; m <= l; ++m)
            aTerms.push_back(Term{l, m, coefficient(random)});
    return aTerms;
}
