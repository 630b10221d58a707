#pragma once

#include <fftw3.h>

#include <complex>
#include <cstdint>
#include <vector>

#include "sht/sample_grid.h"

// The rings on which analysis integrates over theta, and how each order's values get there from
// the rings of a grid. For order m, the ring values F_m(theta) of a field of degree at most L are
// a trigonometric polynomial of degree L in theta, even for even m and odd for odd m once each
// meridian is continued over the pole; F_m(theta) Pbar_lm(cos theta) is then a polynomial of degree
// up to 2L in cos theta. Where the grid's own rule integrates that exactly (Gauss-Legendre always;
// Clenshaw-Curtis with nT - 1 >= 2L; Fejer's with nT >= 2L + 1), its rings are used as they are;
// otherwise F_m is resampled by its cosine or sine series onto the 2L + 1 Clenshaw-Curtis rings
// that do. Driscoll-Healy rings are Clenshaw-Curtis rings less the south pole, whose value follows
// from the band limit.
//
// The rings are symmetric about the equator: ring Rings() - 1 - i mirrors ring i.
class CMeridianQuadrature
{
public:
    // nMaxDegree no higher than AnalysisLimit allows in theta.
    CMeridianQuadrature(SampleGrid grid, int32_t nT, int32_t nMaxDegree);
    ~CMeridianQuadrature();
    CMeridianQuadrature(const CMeridianQuadrature&) = delete;
    CMeridianQuadrature& operator=(const CMeridianQuadrature&) = delete;

    int32_t Rings() const { return static_cast<int32_t>(m_aTheta.size()); }
    const std::vector<double>& Theta() const { return m_aTheta; }
    // Weights of the integral over cos theta in [-1, 1].
    const std::vector<double>& Weight() const { return m_aWeight; }

    // The values of order m on the grid's nT rings (pSource) on the Rings() rings: pSource itself
    // where those are the grid's rings, or else pTarget, where they are written; aScratch is the
    // calling thread's working storage.
    const std::complex<double>* Transfer(int32_t m, const std::complex<double>* pSource,
                                         std::complex<double>* pTarget, std::vector<double>& aScratch) const;

private:
    // A real-to-real transform of a column of complex values: its real and imaginary parts.
    struct Plan
    {
        fftw_plan plan = nullptr;
        int32_t nSize = 0;
    };
    Plan MakePlan(int32_t nSize, fftw_r2r_kind kind);

    SampleGrid m_grid;
    int32_t m_nT;
    int32_t m_nMaxDegree;
    bool m_bResample = false;
    // The grid's rings as Clenshaw-Curtis nodes i pi / m_nSourceIntervals (lobara; dh with its
    // south pole) or as Fejer's m_nSourceIntervals nodes (cells).
    int32_t m_nSourceIntervals = 0;
    std::vector<double> m_aTheta, m_aWeight;
    // Forward (the grid's series) and back (onto the rings), for even and odd orders.
    Plan m_aForward[2], m_aBack[2];
};
