#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "sht/field.h"
#include "sht/sample_grid.h"

// The values of a field on the sample grid of the surface: nRows of theta from the north pole
// to the south pole (a single row is the north pole) and nColumns of phi = 2 pi j / nColumns.
// For each order m, one run of the normalised recurrence over the degrees gives the sums of
// both its cosine and sine terms at a theta row and at its mirror row south of the equator;
// each row's sum over the orders is then an inverse real FFT (or, for few orders, a direct sum).
// The orders, then the rows, are shared between the machine's cores.
//
// Everything that allocates is made by the constructor, which throws std::bad_alloc
// (SurfaceTooLarge for a degree above the build limit) and std::runtime_error for a coefficient
// the convention takes beyond the double range; Run then
// fills pValues with nRows * nColumns values, telling onRow, when given, how many rows' worth of
// the work is done, as it rises to nRows (from any thread, one call at a time).
class CFieldSynthesis
{
public:
    // nThreads 0: one thread for each core.
    CFieldSynthesis(const Field& field, int32_t nRows, int32_t nColumns, unsigned nThreads = 0);
    // The same on the nT x nP samples of any grid of analysis (the rows its thetas, phi = 2 pi j /
    // nP). Rows of lobara, cells or dh far more than the field's degree needs are not summed one by
    // one: each order's sums are taken on the fewest Clenshaw-Curtis rings that hold it, of about
    // its degree + 2, and moved to the rows by their Fourier series in theta.
    CFieldSynthesis(const Field& field, SampleGrid grid, int32_t nT, int32_t nP, unsigned nThreads = 0);
    // The same of the real field of healpy's a_lm, m = 0 .. nMmax <= nLmax, in its layout
    // (sht/healpy_layout.h), read where they lie, by Run too: they must outlive it.
    CFieldSynthesis(const std::complex<double>* pAlm, int32_t nLmax, int32_t nMmax, SampleGrid grid,
                    int32_t nT, int32_t nP, unsigned nThreads = 0);
    ~CFieldSynthesis();
    CFieldSynthesis(const CFieldSynthesis&) = delete;
    CFieldSynthesis& operator=(const CFieldSynthesis&) = delete;

    void Run(double* pValues, const std::function<void(int32_t nRowsDone)>& onRow = nullptr) const;

private:
    struct Implementation;
    std::unique_ptr<Implementation> m_pImplementation;
};

// The field at each point (theta in [0, pi], any phi), summed directly over the orders.
// Throws as the constructor above.
std::vector<double> EvaluateField(const Field& field, const std::vector<std::array<double, 2>>& aPoints);
