#include "sht/polynomial.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

void CopyPolynomial(Polynomial& destination, const Polynomial& source)
{
    const int32_t nLength = source.GetSize();
    destination.SetSize(nLength);
    for (int32_t i = 0; i < nLength; ++i)
        destination[i] = source[i];
}

void DifferentiatePolynomial(int32_t nCount, Polynomial& p)
{
    // Once p is empty every further pass leaves it empty, so the loop stops there:
    // a count of 2^31 - 1 costs no more than one of l + 1.
    for (int32_t nPass = 0; nPass < nCount && p.GetSize() > 0; ++nPass)
    {
        const int32_t n = p.GetSize() - 1;
        // Ascending i reads p[i + 1] before it is overwritten, so no copy is needed.
        for (int32_t i = 0; i < n; ++i)
            p[i] = static_cast<double>(i + 1) * p[i + 1];
        p.SetSize(n);
    }
}

void CombinePolynomials(double a, double b, int32_t nShiftA, int32_t nShiftB, Polynomial& out,
                        const Polynomial& pa, const Polynomial& pb)
{
    // 64-bit index arithmetic: no shift can overflow it.
    const int64_t nLengthA = pa.GetSize();
    const int64_t nLengthB = pb.GetSize();
    const int64_t nLength = std::max(nLengthA + nShiftA, nLengthB + nShiftB);
    if (nLength > std::numeric_limits<int32_t>::max())
        throw std::bad_alloc();
    out.SetSize(static_cast<int32_t>(std::max<int64_t>(nLength, 0)));

    for (int64_t i = 0; i < nLength; ++i)
    {
        double& dOut = out[static_cast<int32_t>(i)];
        dOut = 0.0;
        const int64_t iA = i - nShiftA;
        if (iA >= 0 && iA < nLengthA)
            dOut = pa[static_cast<int32_t>(iA)] * a + dOut;
        const int64_t iB = i - nShiftB;
        if (iB >= 0 && iB < nLengthB)
            dOut = pb[static_cast<int32_t>(iB)] * b + dOut;
    }
}

void LegendrePolynomial(int32_t l, Polynomial& out)
{
    if (l < 0)
        return;

    Polynomial prev2;  // P_(k-2)
    prev2.SetSize(1);
    prev2[0] = 1.0;
    Polynomial prev1;  // P_(k-1)
    prev1.SetSize(2);
    prev1[1] = 1.0;

    Polynomial next;
    for (int64_t k = 2; k <= l; ++k)
    {
        const double dK = static_cast<double>(k);
        const double a = static_cast<double>(2 * k - 1) / dK;
        const double b = static_cast<double>(-(k - 1)) / dK;
        CombinePolynomials(a, b, 1, 0, next, prev1, prev2);
        // Rotate the three buffers instead of copying: prev2 <- prev1 <- next.
        std::swap(prev2, prev1);
        std::swap(prev1, next);
    }
    CopyPolynomial(out, l == 0 ? prev2 : prev1);
}
