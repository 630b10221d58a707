#pragma once

#include <complex>
#include <cstdint>
#include <optional>
#include <vector>

#include "sht/meridian_circle.h"
#include "sht/sample_grid.h"

// The rings over which analysis sums each order's values against Pbar_lm, and the weighted values
// there, so that the sum over the rings of the weighted values of order m times Pbar_lm is the
// integral over cos theta of F_m(theta) Pbar_lm(cos theta) for every l up to the degree asked, L,
// for every field of degree up to D, the grid's own limit: the exact projection of such a field.
//
// F_m Pbar_lm is a polynomial of degree D + L in cos theta (times sin theta for odd m), or, with
// each meridian continued over the poles, a trigonometric polynomial of that degree in theta.
// Where the grid's own rule integrates it exactly (Gauss-Legendre always; Clenshaw-Curtis with
// nT - 1 >= D + L, Fejer's first with nT - 1 >= D + L, Driscoll-Healy's with its south pole from
// the band limit and nT >= D + L) the grid's rings are used as they are, with the rule's weights.
// Otherwise each order's values are moved by their Fourier series onto a circle of at least
// 2 (D + L) points, where Clenshaw-Curtis's weights make the integral exact. Where that circle
// has more rings than the sums need (D well above L), only the Fourier modes up to L of the
// weighted values matter to Pbar_lm, and those are moved onto a Clenshaw-Curtis set of
// FFT-friendly size, whose plain sum then gives the integral exactly. Two orders of opposite
// parity are moved in one complex transform; the lengths are FFT-friendly but for the grid's own.
// Summing on the grid's own rings with its rule, or the values' series cut at L on rings for 2L
// (both exact only for fields of degree L), was off by up to 0.15 of the largest coefficient of a
// field of higher degree.
//
// The rings are symmetric about the equator: ring Rings() - 1 - i mirrors ring i.
class CMeridianQuadrature
{
public:
    // nMaxDegree no higher than nFieldDegree, which is no higher than AnalysisLimit allows in theta.
    // Throws std::bad_alloc.
    CMeridianQuadrature(SampleGrid grid, int32_t nT, int32_t nFieldDegree, int32_t nMaxDegree);

    int32_t Rings() const { return static_cast<int32_t>(m_aTheta.size()); }
    const std::vector<double>& Theta() const { return m_aTheta; }

    // A thread's working storage for WeighPair.
    struct Workspace
    {
        FftwArray<fftw_complex> pFirst, pSecond, pThird;
    };
    Workspace MakeWorkspace() const;

    // The weighted values on the Rings() rings (pEvenOut, pOddOut) of the even order m and an odd
    // one (pOdd, or none: nullptr), from their values on the grid's nT rings (pEven, pOdd).
    void WeighPair(int32_t m, const std::complex<double>* pEven, const std::complex<double>* pOdd,
                   std::complex<double>* pEvenOut, std::complex<double>* pOddOut, Workspace& workspace) const;

private:
    int32_t m_nMaxDegree;
    int32_t m_nFieldDegree = 0;  // moved: the modes of the grid's values kept
    SampleGrid m_grid;
    int32_t m_nT;
    std::vector<double> m_aTheta;
    // Each ring's weight (the grid's, for Driscoll-Healy also its south pole's; or the product
    // circle's); where moved on to fewer rings, the weight of each point of the product circle,
    // scaled by the transforms' lengths.
    std::vector<double> m_aWeight;
    // Moved: the grid's rings, and the rings summed over: the product circle's or fewer.
    std::optional<CMeridianCircle> m_source, m_product, m_target;
    int32_t m_nProduct = 0;
    FftwPlan m_productForward, m_productBackward;
};
