#include "geodesy/magnetic_components.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>

namespace {

using Complex = std::complex<double>;

// The cosine and sine coefficients of the components, of degrees 0 to nMax, at (l, m).
class CComponentSums
{
public:
    explicit CComponentSums(int32_t nMax) : m_nMax(nMax), m_aCos(Size(nMax)), m_aSin(Size(nMax)) {}

    // Adds Re[k P(l, m) e^(i m phi)] (Schmidt P): k's real part to the cosine, minus its
    // imaginary part to the sine.
    void Add(int32_t l, int32_t m, Complex k)
    {
        m_aCos[Index(l, m)] += k.real();
        m_aSin[Index(l, m)] -= k.imag();
    }

    std::vector<Term> TakeTerms(double q) const
    {
        std::vector<Term> aTerms;
        for (int32_t l = 0; l <= m_nMax; ++l)
        {
            const double dRadial = std::pow(q, l + 1);
            for (int32_t m = l; m >= 1; --m)
                if (m_aSin[Index(l, m)] != 0.0)
                    aTerms.push_back(Term{l, -m, dRadial * m_aSin[Index(l, m)]});
            for (int32_t m = 0; m <= l; ++m)
                if (m_aCos[Index(l, m)] != 0.0)
                    aTerms.push_back(Term{l, m, dRadial * m_aCos[Index(l, m)]});
        }
        return aTerms;
    }

private:
    static size_t Size(int32_t nMax)
    {
        return static_cast<size_t>(nMax + 1) * static_cast<size_t>(nMax + 2) / 2;
    }
    static size_t Index(int32_t l, int32_t m)
    {
        return static_cast<size_t>(l) * static_cast<size_t>(l + 1) / 2 + static_cast<size_t>(m);
    }

    int32_t m_nMax;
    std::vector<double> m_aCos;
    std::vector<double> m_aSin;
};

}  // namespace

std::array<std::vector<Term>, 3> MagneticComponentTerms(const std::vector<Term>& aTerms, double q)
{
    int32_t nMax = -1;
    for (const Term& term : aTerms)
        nMax = std::max(nMax, term.l);
    CComponentSums x(nMax + 1), y(nMax + 1), z(nMax + 1);
    const Complex i(0.0, 1.0);
    for (const Term& term : aTerms)
    {
        const int32_t l = term.l;
        if (l < 0 || std::abs(term.m) > l || term.c == 0.0)
            continue;
        const int32_t m = std::abs(term.m);
        // The term is Re[a S(l, m) r^-(l+1)], S = N P e^(i m phi) with Schmidt's N: a = g for a
        // cosine, -i h for a sine. The ratios of N below are Schmidt's factors
        // sqrt((2 - d) (l - m)! / (l + m)!) of (l, m) over (l + 1, m') written out.
        const Complex a = term.m >= 0 ? Complex(term.c, 0.0) : -i * term.c;
        const double dDelta = m == 0 ? 1.0 : 2.0;
        const Complex dz = -a * std::sqrt((l + 1.0 - m) * (l + 1.0 + m));
        const Complex dPlus = -a * std::sqrt(dDelta / 2.0 * (l + m + 1.0) * (l + m + 2.0));
        // B = -grad V: Bz = -Re dz, Bx = -Re (d+ + d-) / 2, By = Re i (d+ - d-) / 2.
        z.Add(l + 1, m, -dz);
        x.Add(l + 1, m + 1, -dPlus / 2.0);
        y.Add(l + 1, m + 1, i * dPlus / 2.0);
        if (m >= 1)
        {
            const Complex dMinus = a * std::sqrt((l - m + 1.0) * (l - m + 2.0) * 2.0 / (m == 1 ? 1.0 : 2.0));
            x.Add(l + 1, m - 1, -dMinus / 2.0);
            y.Add(l + 1, m - 1, -i * dMinus / 2.0);
        }
        else
        {
            // d- of an order 0 is the conjugate of d+: Re[k conj(S)] = Re[conj(k) S].
            x.Add(l + 1, 1, std::conj(-dPlus / 2.0));
            y.Add(l + 1, 1, std::conj(-i * dPlus / 2.0));
        }
    }
    const auto radial = [&](const CComponentSums& sums) { return sums.TakeTerms(q); };
    return {radial(x), radial(y), radial(z)};
}
