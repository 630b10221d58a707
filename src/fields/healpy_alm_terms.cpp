#include "fields/healpy_alm_terms.h"

#include <algorithm>
#include <cstdlib>

#include "healpix/healpix_transform.h"

Convention HealpyConvention()
{
    return Convention{Normalization::kOrtho, true, SineSign::kStandard};
}

std::vector<Term> TermsOfAlm(const std::vector<std::complex<double>>& aAlm, int32_t nLmax, int32_t nMmax,
                             int32_t nLast)
{
    std::vector<Term> aTerms;
    for (int32_t l = 0; l <= std::min(nLast, nLmax); ++l)
        for (int32_t m = -std::min(l, nMmax); m <= std::min(l, nMmax); ++m)
        {
            const int64_t a = std::abs(m);
            const std::complex<double> value =
                aAlm[static_cast<size_t>(a * (2 * int64_t{nLmax} + 1 - a) / 2 + l)];
            const double c = m == 0 ? value.real() : m > 0 ? kSqrt2 * value.real() : -kSqrt2 * value.imag();
            if (c != 0.0)
                aTerms.push_back(Term{l, m, c});
        }
    return aTerms;
}

std::vector<std::complex<double>> AlmOfTerms(const std::vector<Term>& aTerms, int32_t nLmax)
{
    const int64_t nL = nLmax;
    std::vector<std::complex<double>> aAlm(AlmCount(nL, nL));
    for (const Term& term : aTerms)
    {
        const int64_t a = std::abs(term.m);
        std::complex<double>& value = aAlm[static_cast<size_t>(a * (2 * nL + 1 - a) / 2 + term.l)];
        if (term.m == 0)
            value.real(term.c);
        else if (term.m > 0)
            value.real(term.c * kSqrtHalf);
        else
            value.imag(0.0 - term.c * kSqrtHalf);
    }
    return aAlm;
}
