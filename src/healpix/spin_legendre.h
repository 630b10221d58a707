#pragma once

#include <complex>
#include <cstdint>
#include <vector>

#include "healpix/spin_kernels.h"

// The highest spin the transforms take: the spin recurrences start at l = s.
constexpr int32_t kMostSpin = 100;

// The degree sums of a spin-s field (s >= 1) at one order m >= 0, and their adjoint, in healpy's
// convention: with the spin-weighted harmonics sY_lm = sLambda_lm(theta) e^(i m phi),
// sLambda_lm = (-1)^s sqrt((2l + 1) / 4 pi) d^l_(m,-s)(theta) (Wigner's d) and (-s)Lambda_lm =
// sqrt((2l + 1) / 4 pi) d^l_(m,s)(theta), the maps of the gradient and curl coefficients E and B are
//   Q + i U = -sum (E_lm + i B_lm) sY_lm,  Q - i U = -sum (E_lm - i B_lm) (-s)Y_lm,
// so that order m of Q is -sum_l (E_lm L+ + i B_lm L-) and of U -sum_l (B_lm L+ - i E_lm L-) with
// L+- = (sLambda_lm +- (-s)Lambda_lm) / 2. At the mirror point pi - theta, L+ takes the sign
// (-1)^(l+m+s) and L- the opposite one.
//
// Both d^l_(m,-s) and d^l_(m,s) run the three-term recurrence in l from l0 = max(m, s), written in
// t = cos(theta) - 1; their start values, a power of sin(theta) of up to l0, are carried as a
// mantissa and a multiple of 2^512 below the double range until the recurrence has lifted them
// back into it (legendre_scaling), from the project's start kernel.
class CSpinLegendre
{
public:
    CSpinLegendre(int32_t nLmax, int32_t nSpin);

    // Makes the recurrences of order m (0 <= m <= L).
    void Remake(int32_t m);

    // For nCount points with theta <= pi / 2 (pT cos(theta) - 1, pU sin(theta)), from E_lm and B_lm of
    // l = m .. L: pOrders[4 i + 0, 1] order m of Q at point i and at its mirror, [4 i + 2, 3] of U.
    void Sums(const double* pT, const double* pU, int32_t nCount, const std::complex<double>* pE,
              const std::complex<double>* pB, std::complex<double>* pOrders);
    // The adjoint, times dWeight: from the orders G_m of Q and U laid out as Sums writes them, added
    // to E_lm and B_lm for l = m .. L: E -= w sum (L+ G_Q + i L- G_U), B -= w sum (L+ G_U - i L- G_Q).
    void Accumulate(const double* pT, const double* pU, int32_t nCount, const std::complex<double>* pOrders,
                    double dWeight, std::complex<double>* pE, std::complex<double>* pB);

private:
    struct Recurrence
    {
        // The start d^l0 = sign * 2^nExponent * dFactor * cos(theta / 2)^(2 p) * (sin(theta) / 2)^n.
        double dSign = 1.0, dFactor = 1.0;
        int64_t nExponent = 0, nPower = 0, nHalfPower = 0;
    };
    // The start of d^l_(m,a).
    void MakeStart(int32_t a, Recurrence& recurrence) const;
    // Both recurrences' steps, z^l = (A_l t + B_l) z^(l-1) - z^(l-2) for l = l0 + 1 .. L,
    // z^l = d^l / S_l: A_l alike for both, B_l each its own.
    void MakeSteps();
    // Each point's start value of one recurrence as a mantissa and a chunk count (<= 0).
    void Start(const Recurrence& recurrence, const double* pT, const double* pU, int32_t nCount,
               double* pValue, int64_t* pChunks);
    // Starts both recurrences at the points past the leading ones where the order's functions are
    // negligible, and clears the parts; returns how many were left out.
    int32_t Prepare(const double* pT, const double* pU, int32_t nCount);
    SpinTables Tables() const;
    SpinPoints Points(const double* pT);

    int32_t m_nLmax, m_nSpin, m_nOrder = 0, m_nStart = 0;
    Recurrence m_recurrences[2];        // d^l_(m,-s), d^l_(m,s)
    std::vector<double> m_aA, m_aB[2];  // by l - l0 - 1
    std::vector<double> m_aNorm;        // sqrt((2l + 1) / 4 pi) / 2
    // The order's S_l by l - l0, and the norm times S_l by l.
    std::vector<double> m_aScale, m_aScaledNorm;
    // sqrt(k) and 1 / sqrt(k) for k up to 2 (L + s + 1), of which the recurrences are made.
    std::vector<double> m_aRoot, m_aInverseRoot;
    // Per point: each recurrence's last two values and chunks; the eight parts of the kernels.
    std::vector<double> m_aPrevious[2], m_aCurrent[2], m_aParts, m_aScratch;
    std::vector<int64_t> m_aChunks[2];
};
