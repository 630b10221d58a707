#include "sht/field_synthesis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "infra/growable_array.h"
#include "infra/prefetch.h"
#include "infra/streaming_store.h"
#include "infra/thread_sharing.h"
#include "sht/angles.h"
#include "sht/build_limits.h"
#include "sht/healpy_layout.h"
#include "sht/meridian_circle.h"
#include "sht/normalized_legendre.h"
#include "sht/own_coefficients.h"
#include "sht/ring_fourier.h"

namespace {

// Rows summed over the orders together, side by side as the transform takes them.
constexpr size_t kBlockRows = CRingFourier::kBlockRings;
// For each block of rows and order, each row's C_m and S_m side by side, then its mirror's.
constexpr size_t kRowTerms = 2, kMirrorTerms = kRowTerms * kBlockRows, kBlockTerms = 2 * kMirrorTerms;

// The field as sums over Pbar_l^m (the normalised Legendre functions) at each order m >= 0:
// f = sum over m of C_m(theta) cos(m phi) + S_m(theta) sin(m phi). Each order with a term other
// than 0, its highest degree and its weights of Pbar_l^m in cos(m phi) and sin(m phi), as pairs by
// degree up to its highest. The program's own Y(l, m) is Pbar for m = 0, sqrt(2) Pbar cos(m phi)
// and -sqrt(2) Pbar sin(|m| phi).
struct Order
{
    int32_t m;
    int32_t nTop;
    const double* pPairs;
    // Or, where pPairs is null, a_mm .. a_(nTop)m in healpy's layout, made into pairs when used.
    const std::complex<double>* pAlm = nullptr;
};

// The orders' pairs (or healpy's a_lm, read where they are). For a field of every (l, m) up to L they lie in
// one array of large pages, kept from one synthesis to the next (written in one pass scattered over all the
// orders, fresh pages took faults from both threads at once); for any other field each order has its own.
struct FieldOrders
{
    std::vector<Order> aOrders;
    std::vector<double, LargePageAllocator<double>> aDense;
    std::vector<std::vector<double>> aSparse;
};

// A term's weight in its pair; false where the convention's factor is out of range.
bool TermWeight(const Term& term, const Convention& convention, double& dWeight)
{
    const double dFactor = ConventionFactor(term.l, term.m, convention);
    dWeight = OwnAzimuthFactor(term.m) * (term.c * dFactor);
    return std::isfinite(dFactor);
}

// For a field of every (l, m) with l <= L in order, as analyses give it: the orders with a term
// other than 0, and their weights, from one pass over the terms, degree by degree, which checks
// each degree's terms against their places. nFirstUnfit is the first term whose factor is out of
// range. False, with nothing made, for any other field.
bool DenseWeights(const Field& field, unsigned nThreads, FieldOrders& orders, size_t& nFirstUnfit)
{
    // The pairs laid out as the analysis lays them out, order by order (OrderStart).
    const std::vector<Term>& aTerms = field.aTerms;
    const int32_t L = aTerms.empty() ? -1 : OwnDegree(aTerms.size() - 1);
    if (L < 0 || L > kMaxDegree || OwnCount(L) != aTerms.size())
        return false;
    const auto nOrders = static_cast<size_t>(L) + 1;
    std::vector<double*> aPairs(nOrders);
    orders.aDense.resize(2 * OrderStart(L + 1, L));
    for (size_t m = 0; m < nOrders; ++m)
        aPairs[m] = orders.aDense.data() + 2 * OrderStart(static_cast<int32_t>(m), L);
    // Each thread a run of whole degrees, of about as many terms as the others'.
    const size_t nRuns = std::max(1u, nThreads);
    const auto runStart = [&](size_t r) {
        return static_cast<int32_t>(
            std::lround((L + 1) * std::sqrt(static_cast<double>(r) / static_cast<double>(nRuns))));
    };
    std::vector<std::vector<int32_t>> aRunTops(nRuns, std::vector<int32_t>(nOrders, -1));
    std::vector<char> aRunInPlace(nRuns, 1);
    std::vector<size_t> aFirstUnfit(nRuns, aTerms.size());
    // The program's own convention (Convention's defaults) has every factor 1, worked out once.
    const Convention& convention = field.convention;
    const Convention own;
    const bool bOwn = convention.normalization == own.normalization &&
                      convention.bCondonShortley == own.bCondonShortley && convention.sine == own.sine;
    ShareAmongThreads(nRuns, nThreads, [&](size_t r, unsigned) {
        std::vector<int32_t>& aTop = aRunTops[r];
        std::vector<double> aFactors(2 * nOrders - 1, 1.0);
        for (int32_t l = runStart(r); l < runStart(r + 1); ++l)
        {
            // The degree's terms and factors by m, the pair of order a taking (l, a) and (l, -a).
            const size_t nZero = OwnIndex(l, 0);
            const Term* pTerm = &aTerms[nZero];
            if (!bOwn)
                DegreeConventionFactors(l, convention, aFactors.data());
            const double* pFactor = aFactors.data() + l;
            bool bInPlace = true;
            for (int32_t a = 0; a <= l; ++a)
            {
                const Term &cosine = pTerm[a], &sine = pTerm[-a];
                bInPlace &= cosine.l == l && cosine.m == a && sine.l == l && sine.m == -a;
                // As added to 0, to the same bits; order 0 has no sine.
                double* pPair = aPairs[static_cast<size_t>(a)] + 2 * static_cast<size_t>(l - a);
                pPair[0] = 0.0 + (cosine.c != 0.0 ? OwnAzimuthFactor(a) * (cosine.c * pFactor[a]) : 0.0);
                pPair[1] =
                    0.0 + (a != 0 && sine.c != 0.0 ? OwnAzimuthFactor(-a) * (sine.c * pFactor[-a]) : 0.0);
                if (cosine.c != 0.0 || (a != 0 && sine.c != 0.0))
                    aTop[static_cast<size_t>(a)] = l;
                // Fields come by degree, across the orders' weights.
                PrefetchTwoLinesAhead<PrefetchFor::kWriting>(pPair);
            }
            if (!bInPlace)
            {
                aRunInPlace[r] = 0;
                return;
            }
            // The run's first term whose factor is out of range (unnorm's, at high degrees).
            const auto unfit = [](double dFactor) { return !std::isfinite(dFactor); };
            if (!bOwn && aFirstUnfit[r] == aTerms.size() && std::any_of(pFactor - l, pFactor + l + 1, unfit))
                for (int32_t m = -l; m <= l && aFirstUnfit[r] == aTerms.size(); ++m)
                    if (pTerm[m].c != 0.0 && unfit(pFactor[m]))
                        aFirstUnfit[r] = static_cast<size_t>(static_cast<int64_t>(nZero) + m);
        }
    });
    if (std::find(aRunInPlace.begin(), aRunInPlace.end(), 0) != aRunInPlace.end())
    {
        orders = FieldOrders{};
        return false;
    }
    for (size_t m = 0; m < nOrders; ++m)
    {
        int32_t nTop = -1;
        for (const std::vector<int32_t>& aTop : aRunTops)
            nTop = std::max(nTop, aTop[m]);
        if (nTop < 0)
            continue;
        orders.aOrders.push_back(Order{static_cast<int32_t>(m), nTop, aPairs[m]});
    }
    nFirstUnfit = *std::min_element(aFirstUnfit.begin(), aFirstUnfit.end());
    return true;
}

// The same for a field of any terms in any order.
void SparseWeights(const Field& field, unsigned nThreads, FieldOrders& orders, size_t& nFirstUnfit)
{
    std::vector<Order>& aOrders = orders.aOrders;
    // The highest degree at each order, then the weights. Each thread reads a run of the terms,
    // and sees whether they ascend by (l, m). A degree is checked where it first raises the number
    // of the run's orders (so that no room is made for orders beyond the limit), the highest of
    // all once all are seen.
    const std::vector<Term>& aTerms = field.aTerms;
    const size_t nRuns = std::max(1u, nThreads);
    const auto runStart = [&](size_t r) { return aTerms.size() * r / nRuns; };
    const auto ascending = [](const Term& a, const Term& b) {
        return a.l < b.l || (a.l == b.l && a.m < b.m);
    };
    std::vector<std::vector<int32_t>> aRunTops(nRuns);
    std::vector<char> aRunAscending(nRuns);
    ShareAmongThreads(nRuns, nThreads, [&](size_t r, unsigned) {
        std::vector<int32_t>& aRunTop = aRunTops[r];
        bool bAscending = true;
        const size_t nStart = runStart(r), nEnd = runStart(r + 1);
        for (size_t i = nStart; i < nEnd; ++i)
        {
            const Term& term = aTerms[i];
            bAscending &= i == nStart || ascending(aTerms[i - 1], term);
            if (IsZeroTerm(term))
                continue;
            const size_t m = static_cast<size_t>(std::llabs(int64_t{term.m}));
            if (m >= aRunTop.size())
            {
                CheckDegree(term.l);
                aRunTop.resize(m + 1, -1);
            }
            aRunTop[m] = std::max(aRunTop[m], term.l);
        }
        aRunAscending[r] = bAscending;
    });
    std::vector<int32_t> aTop;
    for (const std::vector<int32_t>& aRunTop : aRunTops)
    {
        aTop.resize(std::max(aTop.size(), aRunTop.size()), -1);
        for (size_t m = 0; m < aRunTop.size(); ++m)
            aTop[m] = std::max(aTop[m], aRunTop[m]);
    }
    CheckDegree(aTop.empty() ? -1 : *std::max_element(aTop.begin(), aTop.end()));
    for (size_t m = 0; m < aTop.size(); ++m)
        if (aTop[m] >= 0)
            aOrders.push_back(Order{static_cast<int32_t>(m), aTop[m], nullptr});
    // Each order's weights as pairs (cosine, sine) by degree, with each term added into place. A
    // part of the terms stops at its first whose factor is out of range; the first such term of
    // all is reported.
    std::vector<std::vector<double>>& aOrderPairs = orders.aSparse;
    aOrderPairs.resize(aOrders.size());
    std::vector<double*> aOrderWeights(aTop.size());
    std::vector<size_t> aFirstUnfit(nRuns, aTerms.size());
    const auto addTerm = [&](size_t i) {
        const Term& term = aTerms[i];
        const size_t m = static_cast<size_t>(std::llabs(int64_t{term.m}));
        double dWeight = 0.0;
        if (!TermWeight(term, field.convention, dWeight))
            return false;
        double* pPair = aOrderWeights[m] + 2 * (static_cast<size_t>(term.l) - m);
        pPair[term.m < 0 ? 1 : 0] += dWeight;
        // Fields come by degree, across the orders' weights.
        PrefetchTwoLinesAhead<PrefetchFor::kWriting>(pPair);
        return true;
    };
    const auto makeWeights = [&](size_t o) {
        const auto m = static_cast<size_t>(aOrders[o].m);
        aOrderPairs[o].assign(2 * (static_cast<size_t>(aOrders[o].nTop) - m + 1), 0.0);
        aOrderWeights[m] = aOrderPairs[o].data();
        aOrders[o].pPairs = aOrderPairs[o].data();
    };
    bool bAscending = std::all_of(aRunAscending.begin(), aRunAscending.end(), [](char b) { return b; });
    for (size_t r = 1; r < nRuns && bAscending; ++r)
        bAscending = runStart(r) == 0 || runStart(r) == aTerms.size() ||
                     ascending(aTerms[runStart(r) - 1], aTerms[runStart(r)]);
    if (bAscending)
    {
        // Each (l, m) at most once, so that the threads add their runs of the terms side by side,
        // into weights all made first.
        ShareAmongThreads(aOrders.size(), nThreads, [&](size_t o, unsigned) { makeWeights(o); });
        ShareAmongThreads(nRuns, nThreads, [&](size_t r, unsigned) {
            const size_t nEnd = runStart(r + 1);
            for (size_t i = runStart(r); i < nEnd; ++i)
                if (!IsZeroTerm(aTerms[i]) && !addTerm(i))
                {
                    aFirstUnfit[r] = i;
                    return;
                }
        });
    }
    else
    {
        // Terms in any order: each thread takes the orders m = its part modulo the parts, made by
        // it, and reads all the terms; the additions, scattered over all the orders, are what
        // cost. Each order's part is looked up, as a division at every term of every part would
        // take most of a part's time.
        std::vector<size_t> aOrderPart(aTop.size());
        for (const Order& order : aOrders)
            aOrderPart[static_cast<size_t>(order.m)] = static_cast<size_t>(order.m) % nRuns;
        ShareAmongThreads(nRuns, nThreads, [&](size_t nPart, unsigned) {
            for (size_t o = 0; o < aOrders.size(); ++o)
                if (aOrderPart[static_cast<size_t>(aOrders[o].m)] == nPart)
                    makeWeights(o);
            for (size_t i = 0; i < aTerms.size(); ++i)
            {
                // Only the nonzero terms' orders are in the tables.
                if (IsZeroTerm(aTerms[i]) ||
                    aOrderPart[static_cast<size_t>(std::llabs(int64_t{aTerms[i].m}))] != nPart)
                    continue;
                if (!addTerm(i))
                {
                    aFirstUnfit[nPart] = i;
                    return;
                }
            }
        });
    }
    nFirstUnfit = *std::min_element(aFirstUnfit.begin(), aFirstUnfit.end());
}

FieldOrders MakeOrders(const Field& field, unsigned nThreads)
{
    FieldOrders orders;
    size_t nUnfit = field.aTerms.size();
    if (!DenseWeights(field, nThreads, orders, nUnfit))
        SparseWeights(field, nThreads, orders, nUnfit);
    if (nUnfit < field.aTerms.size())
        FiniteConventionFactor(field.aTerms[nUnfit].l, field.aTerms[nUnfit].m,
                               field.convention);  // throws its message
    return orders;
}

// Healpy's a_lm of every order up to nMmax, degrees up to nLmax, as they lie (sht/healpy_layout.h).
FieldOrders AlmOrders(const std::complex<double>* pAlm, int32_t nLmax, int32_t nMmax)
{
    if (nLmax < 0 || nMmax < 0 || nMmax > nLmax)
        throw std::invalid_argument("a_lm need 0 <= mmax <= lmax, not lmax " + std::to_string(nLmax) +
                                    " and mmax " + std::to_string(nMmax));
    CheckDegree(nLmax);
    FieldOrders orders;
    for (int32_t m = 0; m <= nMmax; ++m)
        orders.aOrders.push_back(Order{m, nLmax, nullptr, pAlm + AlmIndex(m, m, nLmax)});
    return orders;
}

// An order's recurrence and its weights made ready, remade in place for each order in turn, in the
// cache just before they are used (all the orders' tables at once take tens of megabytes).
struct OrderTables
{
    // Room for the order of the most degrees, which every other's tables then take in turn.
    explicit OrderTables(const std::vector<Order>& aOrders)
    {
        int32_t nMost = -1;
        bool bAlm = false;
        for (const Order& order : aOrders)
        {
            nMost = std::max(nMost, order.nTop - order.m);
            bAlm |= order.pAlm != nullptr;
        }
        legendre.Remake(nMost, 0);
        aWeights.reserve(legendre.SumWeightCount());
        if (bAlm)
            aAlmPairs.resize(2 * static_cast<size_t>(nMost + 1));
    }

    void Make(const Order& order)
    {
        legendre.Remake(order.nTop, order.m);
        legendre.PrepareWeights(order.pPairs ? order.pPairs : AlmPairs(order), aWeights);
    }

    // The weights of Pbar_lm in cos(m phi) and sin(m phi) of an order of a_lm: Re a_l0 and none at
    // m = 0, and 2 (-1)^m (Re a_lm, -Im a_lm) above (sht/healpy_layout.h).
    const double* AlmPairs(const Order& order)
    {
        const double dScale = order.m == 0 ? 1.0 : order.m % 2 == 0 ? 2.0 : -2.0;
        const size_t nDegrees = static_cast<size_t>(order.nTop - order.m) + 1;
        const std::complex<double>* pAlm = order.pAlm;
        double* __restrict pPairs = aAlmPairs.data();
        for (size_t i = 0; i < nDegrees; ++i)
        {
            pPairs[2 * i] = dScale * pAlm[i].real();
            pPairs[2 * i + 1] = order.m == 0 ? 0.0 : -dScale * pAlm[i].imag();
        }
        return pPairs;
    }

    NormalizedLegendre legendre{-1, 0};
    NormalizedLegendre::SumWeights aWeights;
    std::vector<double> aAlmPairs;
};

// The sums over the orders along a block of rows, from each order's C_m and S_m.
class CRowSum
{
public:
    CRowSum(const std::vector<Order>& aOrders, int32_t nColumns);

    // A thread's buffers for SumBlock.
    CRingFourier::Workspace MakeWorkspace() const;

    // For nCount <= kBlockRows rows: C_m and S_m of the o-th order for row r at
    // pTerms[o * kBlockTerms + kRowTerms * r] and the next; row r's nColumns values into
    // pFirstRow + r * nRowStep.
    void SumBlock(const double* pTerms, size_t nCount, double* pFirstRow, ptrdiff_t nRowStep,
                  CRingFourier::Workspace& workspace) const;

private:
    // The bins of the real transform's half spectrum an order adds into (see SumBlock), or -1, and
    // whether it is the first order to reach each, which then writes it rather than adding to it.
    struct Bins
    {
        int32_t nBin;
        int32_t nMirror;
        bool bFirstInBin;
        bool bFirstInMirror;
    };

    const std::vector<Order>& m_aOrders;
    int32_t m_nColumns;
    bool m_bDirect;
    std::vector<double> m_aTrig;       // direct: cos(m phi_j), sin(m phi_j) for every order, column
    std::vector<Bins> m_aBins;         // by FFT: each order's
    std::vector<size_t> m_aEmptyBins;  // and those no order reaches
    std::optional<CRingFourier> m_fourier;
};

// A direct sum costs a multiply-add per order and column, an FFT about 2.5 log2(n) per column.
constexpr double kFftCostPerLog = 2.5;

CRowSum::CRowSum(const std::vector<Order>& aOrders, int32_t nColumns)
    : m_aOrders(aOrders),
      m_nColumns(nColumns),
      m_bDirect(static_cast<double>(aOrders.size()) <= kFftCostPerLog * std::log2(std::max(nColumns, 2)))
{
    const size_t nSize = static_cast<size_t>(nColumns);
    if (m_bDirect)
    {
        m_aTrig.resize(2 * aOrders.size() * nSize);
        for (size_t o = 0; o < aOrders.size(); ++o)
            for (size_t j = 0; j < nSize; ++j)
            {
                // m phi reduced by whole turns first, so that high orders keep their precision.
                const int64_t nTurn = (int64_t{aOrders[o].m} * static_cast<int64_t>(j)) % nColumns;
                const double dAngle = SamplePhi(nTurn, nColumns);
                m_aTrig[(2 * o) * nSize + j] = std::cos(dAngle);
                m_aTrig[(2 * o + 1) * nSize + j] = std::sin(dAngle);
            }
        return;
    }
    std::vector<char> aReached(nSize / 2 + 1);
    const auto reach = [&](int32_t nBin) {
        if (nBin < 0 || aReached[static_cast<size_t>(nBin)])
            return false;
        aReached[static_cast<size_t>(nBin)] = 1;
        return true;
    };
    for (const Order& order : aOrders)
    {
        const int32_t k = static_cast<int32_t>(order.m % int64_t{nColumns});
        Bins& bins = m_aBins.emplace_back(
            Bins{k <= nColumns / 2 ? k : -1,
                 nColumns - k <= nColumns / 2 || k == 0 ? (nColumns - k) % nColumns : -1, false, false});
        bins.bFirstInBin = reach(bins.nBin);
        bins.bFirstInMirror = reach(bins.nMirror);
    }
    for (size_t k = 0; k < aReached.size(); ++k)
        if (!aReached[k])
            m_aEmptyBins.push_back(k);
    m_fourier.emplace(nColumns, nColumns / 2 + 1, CRingFourier::Direction::kInverse);
}

CRingFourier::Workspace CRowSum::MakeWorkspace() const
{
    return m_fourier ? m_fourier->MakeWorkspace() : CRingFourier::Workspace{};
}

void CRowSum::SumBlock(const double* pTerms, size_t nCount, double* pFirstRow, ptrdiff_t nRowStep,
                       CRingFourier::Workspace& workspace) const
{
    const size_t nSize = static_cast<size_t>(m_nColumns);
    if (m_bDirect)
    {
        for (size_t r = 0; r < nCount; ++r)
        {
            double* pRow = pFirstRow + static_cast<ptrdiff_t>(r) * nRowStep;
            std::fill(pRow, pRow + nSize, 0.0);
            for (size_t o = 0; o < m_aOrders.size(); ++o)
            {
                const double* pCosTable = &m_aTrig[(2 * o) * nSize];
                const double* pSinTable = &m_aTrig[(2 * o + 1) * nSize];
                const double* p = pTerms + o * kBlockTerms + kRowTerms * r;
                const double dCos = p[0], dSin = p[1];
                for (size_t j = 0; j < nSize; ++j)
                    pRow[j] += dCos * pCosTable[j] + dSin * pSinTable[j];
            }
        }
        return;
    }
    // f_j = Re sum_m (C_m - i S_m) e^(i m phi_j); the orders fold onto the n bins of the grid
    // (m mod n), and the Hermitian half the real transform takes is X_k = (Z_k + conj Z_(n-k)) / 2.
    // A whole block writes each bin where an order first reaches it and clears the others; the
    // transform of a block short of rows also takes the rings beyond, which are cleared with all.
    double* pHalf = reinterpret_cast<double*>(workspace.pHalf.get());
    const bool bWhole = nCount == kBlockRows;
    const CRingFourier::HalfLayout layout = m_fourier->Layout();
    const size_t nFrequencyStride = layout.nFrequencyStride, nRingStride = layout.nRingStride;
    const auto bin = [&](size_t k, size_t r) { return pHalf + 2 * (k * nFrequencyStride + r * nRingStride); };
    if (bWhole)
        for (const size_t k : m_aEmptyBins)
            for (size_t r = 0; r < kBlockRows; ++r)
                bin(k, r)[0] = bin(k, r)[1] = 0.0;
    else
        std::fill(pHalf, pHalf + 2 * (nSize / 2 + 1) * kBlockRows, 0.0);
    // (C - i S) / 2 of each row, or its conjugate, into bin k, or written there first; side by side
    // where the rows are.
    const auto add = [&](const double* p, double dSine, size_t k, bool bFirst) {
        if (bFirst && bWhole)
        {
            for (size_t r = 0; r < kBlockRows; ++r)
            {
                bin(k, r)[0] = 0.5 * p[kRowTerms * r];
                bin(k, r)[1] = dSine * p[kRowTerms * r + 1];
            }
            return;
        }
        for (size_t r = 0; r < nCount; ++r)
        {
            bin(k, r)[0] += 0.5 * p[kRowTerms * r];
            bin(k, r)[1] += dSine * p[kRowTerms * r + 1];
        }
    };
    for (size_t o = 0; o < m_aOrders.size(); ++o)
    {
        const Bins& bins = m_aBins[o];
        const double* p = pTerms + o * kBlockTerms;
        if (bins.nBin >= 0)
            add(p, -0.5, static_cast<size_t>(bins.nBin), bins.bFirstInBin);
        if (bins.nMirror >= 0)
            add(p, 0.5, static_cast<size_t>(bins.nMirror), bins.bFirstInMirror);
    }
    m_fourier->Inverse(nCount, pFirstRow, nRowStep, workspace);
}

// One thread's tables and buffers.
struct Workspace
{
    OrderTables tables;
    std::vector<double> aSums;  // an order's four sums at each row of the part
    // The part's rows from the pole where every function of the orders the thread took vanished:
    // it takes the orders upwards, and at higher orders they vanish all the more, unless an order
    // goes to a higher degree (where they may come back).
    int32_t nVanished = 0, nVanishedTop = 0;
    CRingFourier::Workspace row;
    // Resampled in theta: a pair of orders' C_m + i S_m on the rings summed over and on the grid's
    // rows, and room for the circles' values and spectra.
    std::vector<std::complex<double>> aRings[2], aRows[2];
    FftwArray<fftw_complex> pFirstCircle, pSecondCircle;
};

// A run's progress as the rows' share of its work, in multiply-adds, counted whole: each order's
// recurrence takes four at each degree and northern row, each block's transforms kFftCostPerLog
// log2(n) for each of its n columns and rows. Told from any thread; onRow hears one call at a
// time, as the rows rise, the last when all is done.
class CRunProgress
{
public:
    CRunProgress(const std::function<void(int32_t nRowsDone)>& onRow, int32_t nRows, int64_t nWork)
        : m_onRow(onRow), m_nRows(nRows), m_nWork(std::max<int64_t>(nWork, 1))
    {}

    void Add(int64_t nWork)
    {
        if (!m_onRow)
            return;
        const std::lock_guard<std::mutex> lock(m_lock);
        m_nDone += nWork;
        // All of it makes a quotient of 1 exactly.
        const auto nRowsDone = static_cast<int32_t>(static_cast<double>(std::min(m_nDone, m_nWork)) /
                                                    static_cast<double>(m_nWork) * m_nRows);
        if (nRowsDone > m_nReported)
            m_onRow(m_nReported = nRowsDone);
    }

private:
    const std::function<void(int32_t nRowsDone)>& m_onRow;
    int32_t m_nRows;
    int64_t m_nWork;
    int64_t m_nDone = 0;
    int32_t m_nReported = 0;
    std::mutex m_lock;
};

// A part of the northern rows at a time: order by order, on all the threads, each order's sums at
// every row of the part from its tables made in the cache just before; then block by block of
// rows, the sums over the orders. The sums of the orders at the part's rows take no more than twice
// the room of the values they give (about as much on a grid of twice as many columns as orders), or
// kLeastTermBytes, or those of kLeastPartRows rows: at degree 1024 on 1026 rows, 17 MB in one part.
// Each part makes every order's tables again, which at degree 2048 took 4 % of a synthesis.
constexpr size_t kLeastTermBytes = size_t{64} << 20;
constexpr size_t kLeastPartRows = 4 * kBlockRows;

// The blocks of rows in a part, for nBlocks in all: as few parts as the room allows, of as even
// a number of blocks as can be.
size_t PartBlocks(size_t nBlocks, size_t nOrders, size_t nValues)
{
    const size_t nBlockBytes = sizeof(double) * kBlockTerms * std::max<size_t>(nOrders, 1);
    const size_t nMost = std::clamp(std::max(kLeastTermBytes, 2 * sizeof(double) * nValues) / nBlockBytes,
                                    kLeastPartRows / kBlockRows, std::max<size_t>(nBlocks, 1));
    const size_t nParts = std::max<size_t>((nBlocks + nMost - 1) / nMost, 1);
    return std::max<size_t>((nBlocks + nParts - 1) / nParts, 1);
}

}  // namespace

struct CFieldSynthesis::Implementation
{
    // The rows synthesised, aTheta (symmetric about the equator), of which the first nT are written.
    Implementation(FieldOrders fieldOrders, SampleGrid grid, const std::vector<double>& aTheta, int32_t nT,
                   int32_t nGridColumns, unsigned nThreadsAsked);

    // Order o's C_m and S_m at rows nFirst .. nEnd - 1 and their mirrors into aTerms.
    void SumOrder(size_t o, int32_t nFirst, int32_t nEnd, Workspace& workspace) const;
    // Resampled: the orders of aPairs[nPair] at the rings summed over, moved to every row, into aTerms.
    void SumPair(size_t nPair, Workspace& workspace) const;
    // The block of rows from nFirst (up to kBlockRows of them, before nEnd) and their mirrors into
    // pValues, from aTerms of the part of rows from nPart.
    void SumRows(int32_t nPart, int32_t nFirst, int32_t nEnd, Workspace& workspace, double* pValues) const;

    int64_t OrderWork(size_t o, int32_t nCount) const
    {
        const Order& order = orders.aOrders[o];
        return int64_t{4} * (order.nTop - order.m + 1) * nCount;
    }
    int64_t BlockWork() const
    {
        return std::llround(2.0 * kBlockRows * kFftCostPerLog * nColumns * std::log2(std::max(nColumns, 2)));
    }

    int32_t nRows;      // rows synthesised: the grid's, and dh's south pole
    int32_t nGridRows;  // rows written: all but dh's south pole
    int32_t nNorth;     // the northern rows and the equator; row nRows - 1 - i mirrors row i
    int32_t nColumns;
    // Of each northern row where the orders' sums are taken (the grid's or, resampled, the rings
    // summed over): CosineLessOne(theta) and sin(theta).
    std::vector<double> aT, aU;
    FieldOrders orders;
    CRowSum rowSum;
    int32_t nPartRows;  // a whole number of blocks of rows
    // Resampled in theta: the sums taken on the Clenshaw-Curtis rings of sumCircle, then moved by
    // their Fourier series to the rows of rowCircle, orders of opposite parity two at a time (the
    // indices of aPairs: the even one first, or SIZE_MAX where there is none).
    std::optional<CMeridianCircle> sumCircle, rowCircle;
    int32_t nTopDegree = -1;
    std::vector<std::array<size_t, 2>> aPairs;
    // For each block of the part's rows and order, kBlockTerms at (block * orders + order) *
    // kBlockTerms: written order by order, read block by block, not cleared first, in pages kept
    // from one synthesis to the next.
    mutable std::vector<double, LargePageAllocator<double>> aTerms;
    // Made before the threads run, so that nothing allocates (and throws) on them.
    mutable std::vector<Workspace> aWorkspaces;
};

namespace {

std::vector<double> SampleThetas(int32_t nRows)
{
    std::vector<double> aTheta(static_cast<size_t>(std::max(nRows, 0)));
    for (int32_t i = 0; i < nRows; ++i)
        aTheta[static_cast<size_t>(i)] = SampleTheta(i, nRows);
    return aTheta;
}

// The rows synthesised for a grid: its own, and for dh the south pole beyond its last row, so that
// they are symmetric about the equator.
std::vector<double> SynthesisThetas(SampleGrid grid, int32_t nT)
{
    switch (grid)
    {
        case SampleGrid::kLobara:
            return SampleThetas(nT);
        case SampleGrid::kDh:
            return SampleThetas(nT < 1 ? 0 : nT + 1);
        case SampleGrid::kCells:
        case SampleGrid::kGl:
            break;
    }
    return GridThetas(grid, nT);
}

// The orders taken together where resampled: each even one with the next odd one, and each
// other alone.
std::vector<std::array<size_t, 2>> PairOrders(const std::vector<Order>& aOrders)
{
    std::vector<std::array<size_t, 2>> aPairs;
    for (size_t o = 0; o < aOrders.size(); ++o)
    {
        const bool bEven = aOrders[o].m % 2 == 0;
        if (bEven && o + 1 < aOrders.size() && aOrders[o + 1].m % 2 != 0)
        {
            aPairs.push_back({o, o + 1});
            ++o;
        }
        else
            aPairs.push_back(bEven ? std::array<size_t, 2>{o, SIZE_MAX} : std::array<size_t, 2>{SIZE_MAX, o});
    }
    return aPairs;
}

}  // namespace

CFieldSynthesis::Implementation::Implementation(FieldOrders fieldOrders, SampleGrid grid,
                                                const std::vector<double>& aTheta, int32_t nT,
                                                int32_t nGridColumns, unsigned nThreadsAsked)
    : nRows(static_cast<int32_t>(aTheta.size())),
      nGridRows(std::max(nT, 0)),
      nNorth((nRows + 1) / 2),
      nColumns(nGridColumns),
      orders(std::move(fieldOrders)),
      rowSum(orders.aOrders, std::max(nGridColumns, 1))
{
    const size_t nOrders = orders.aOrders.size(),
                 nBlocks = (static_cast<size_t>(nNorth) + kBlockRows - 1) / kBlockRows;
    const size_t nPartBlocks =
        PartBlocks(nBlocks, nOrders, aTheta.size() * static_cast<size_t>(std::max(nColumns, 0)));
    nPartRows = static_cast<int32_t>(nPartBlocks * kBlockRows);
    for (const Order& order : orders.aOrders)
        nTopDegree = std::max(nTopDegree, order.nTop);
    // Resampled where the rows are equally spaced, in one part, and many more than the degree needs.
    const auto nSumRings = static_cast<int32_t>(FftFriendlyCircle(2 * int64_t{nTopDegree} + 2) / 2) + 1;
    double dDegreeTerms = 0.0;
    for (const Order& order : orders.aOrders)
        dDegreeTerms += order.nTop - order.m + 1;
    const int64_t nRowCircle = grid == SampleGrid::kCells ? 2 * int64_t{nRows} : 2 * int64_t{nRows} - 2;
    const double dMovingCost = static_cast<double>(PairOrders(orders.aOrders).size()) *
                               MovingCost(2 * int64_t{nSumRings} - 2, nRowCircle);
    const bool bResampled = grid != SampleGrid::kGl && nOrders > 0 && nPartRows >= nNorth &&
                            nRows > nSumRings && MovingPays(dDegreeTerms, nRows, nSumRings, dMovingCost);
    std::vector<double> aSumTheta = aTheta;
    if (bResampled)
    {
        sumCircle.emplace(CMeridianCircle::Rings::kBothPoles, nSumRings);
        rowCircle.emplace(
            grid == SampleGrid::kCells ? CMeridianCircle::Rings::kCells : CMeridianCircle::Rings::kBothPoles,
            nRows);
        aPairs = PairOrders(orders.aOrders);
        aSumTheta = SampleThetas(nSumRings);
    }
    const size_t nSumNorth = (aSumTheta.size() + 1) / 2;
    for (size_t i = 0; i < nSumNorth; ++i)
    {
        aT.push_back(CosineLessOne(aSumTheta[i]));
        aU.push_back(std::sin(aSumTheta[i]));
    }
    aTerms.resize(nPartBlocks * nOrders * kBlockTerms);
    const size_t nThreads = std::min<size_t>(
        ThreadsFor(nThreadsAsked), std::max<size_t>({bResampled ? aPairs.size() : nOrders, nPartBlocks, 1}));
    for (size_t t = 0; t < nThreads; ++t)
    {
        Workspace& workspace = aWorkspaces.emplace_back(
            Workspace{OrderTables(orders.aOrders),
                      std::vector<double>(4 * std::max(static_cast<size_t>(nPartRows), nSumNorth)),
                      0,
                      0,
                      rowSum.MakeWorkspace(),
                      {},
                      {},
                      nullptr,
                      nullptr});
        if (!bResampled)
            continue;
        for (int k = 0; k < 2; ++k)
        {
            workspace.aRings[k].resize(aSumTheta.size());
            workspace.aRows[k].resize(static_cast<size_t>(nRows));
        }
        const auto nCircle = static_cast<size_t>(std::max(sumCircle->Size(), rowCircle->Size()));
        workspace.pFirstCircle = AllocateFftwComplexes(nCircle);
        workspace.pSecondCircle = AllocateFftwComplexes(nCircle);
    }
}

void CFieldSynthesis::Implementation::SumOrder(size_t o, int32_t nFirst, int32_t nEnd,
                                               Workspace& workspace) const
{
    const Order& order = orders.aOrders[o];
    workspace.tables.Make(order);
    if (order.nTop > workspace.nVanishedTop)
        workspace.nVanished = 0;
    const int32_t nCount = nEnd - nFirst, nSkip = std::min(workspace.nVanished, nCount);
    const int32_t nFrom = nFirst + nSkip;
    workspace.nVanished =
        nSkip + workspace.tables.legendre.EvaluateSums(
                    &aT[static_cast<size_t>(nFrom)], &aU[static_cast<size_t>(nFrom)], nCount - nSkip,
                    workspace.tables.aWeights, workspace.aSums.data() + 4 * static_cast<size_t>(nSkip));
    workspace.nVanishedTop = order.nTop;
    std::fill(workspace.aSums.begin(), workspace.aSums.begin() + 4 * static_cast<ptrdiff_t>(nSkip), 0.0);
    if (sumCircle)
        return;
    // Each row's C_m and S_m, and its mirror's, a block at a time, streamed past the cache: they
    // are read only once every order is done (a fortieth less time at degree 1024).
    const size_t nOrders = orders.aOrders.size();
    for (size_t b = 0; b * kBlockRows < static_cast<size_t>(nCount); ++b)
    {
        alignas(64) double aBlock[kBlockTerms] = {};
        const size_t nRowsIn = std::min(kBlockRows, static_cast<size_t>(nCount) - b * kBlockRows);
        for (size_t r = 0; r < nRowsIn; ++r)
        {
            const double* s = &workspace.aSums[4 * (b * kBlockRows + r)];
            double* pTerms = aBlock + kRowTerms * r;
            pTerms[0] = s[0] + s[1];
            pTerms[1] = s[2] + s[3];
            pTerms[kMirrorTerms] = s[0] - s[1];
            pTerms[kMirrorTerms + 1] = s[2] - s[3];
        }
        StreamDoubles(&aTerms[(b * nOrders + o) * kBlockTerms], aBlock, kBlockTerms);
    }
    StreamFence();
}

void CFieldSynthesis::Implementation::SumPair(size_t nPair, Workspace& workspace) const
{
    const size_t nRings = workspace.aRings[0].size(), nSumNorth = aT.size();
    const std::array<size_t, 2>& pair = aPairs[nPair];
    for (int k = 0; k < 2; ++k)
    {
        if (pair[static_cast<size_t>(k)] == SIZE_MAX)
            continue;
        // The sums at the rings, C_m + i S_m at each and its mirror.
        SumOrder(pair[static_cast<size_t>(k)], 0, static_cast<int32_t>(nSumNorth), workspace);
        std::complex<double>* pRing = workspace.aRings[k].data();
        for (size_t i = 0; i < nSumNorth; ++i)
        {
            const double* s = &workspace.aSums[4 * i];
            pRing[i] = {s[0] + s[1], s[2] + s[3]};
            pRing[nRings - 1 - i] = {s[0] - s[1], s[2] - s[3]};
        }
    }
    const auto part = [&](int k) {
        return pair[static_cast<size_t>(k)] == SIZE_MAX ? nullptr : workspace.aRings[k].data();
    };
    fftw_complex* pFirst = workspace.pFirstCircle.get();
    fftw_complex* pSecond = workspace.pSecondCircle.get();
    sumCircle->ToSpectrum(0, part(0), part(1), pFirst, pSecond);
    CopyModes(pSecond, sumCircle->Size(), pFirst, rowCircle->Size(), nTopDegree);
    rowCircle->FromSpectrum(pFirst, pSecond, 1.0 / sumCircle->Size(), false, workspace.aRows[0].data(),
                            workspace.aRows[1].data());
    // Each order's C_m and S_m at every row and its mirror, a block of rows at a time, streamed past
    // the cache as SumOrder streams them.
    const size_t nOrders = orders.aOrders.size();
    for (int k = 0; k < 2; ++k)
    {
        const size_t o = pair[static_cast<size_t>(k)];
        if (o == SIZE_MAX)
            continue;
        const std::complex<double>* pRow = workspace.aRows[k].data();
        for (size_t b = 0; b * kBlockRows < static_cast<size_t>(nNorth); ++b)
        {
            alignas(64) double aBlock[kBlockTerms] = {};
            const size_t nRowsIn = std::min(kBlockRows, static_cast<size_t>(nNorth) - b * kBlockRows);
            for (size_t r = 0; r < nRowsIn; ++r)
            {
                const size_t i = b * kBlockRows + r;
                double* pTerms = aBlock + kRowTerms * r;
                pTerms[0] = pRow[i].real();
                pTerms[1] = pRow[i].imag();
                pTerms[kMirrorTerms] = pRow[static_cast<size_t>(nRows) - 1 - i].real();
                pTerms[kMirrorTerms + 1] = pRow[static_cast<size_t>(nRows) - 1 - i].imag();
            }
            StreamDoubles(&aTerms[(b * nOrders + o) * kBlockTerms], aBlock, kBlockTerms);
        }
    }
    StreamFence();
}

void CFieldSynthesis::Implementation::SumRows(int32_t nPart, int32_t nFirst, int32_t nEnd,
                                              Workspace& workspace, double* pValues) const
{
    // The rows, then their mirrors south of the equator from the last row up; a row on the equator
    // is its own mirror, and a south pole beyond the grid's rows (dh's) is not written.
    const auto nSize = static_cast<size_t>(nColumns);
    const int32_t nBlock = std::min(static_cast<int32_t>(kBlockRows), nEnd - nFirst);
    const double* pTerms =
        &aTerms[static_cast<size_t>(nFirst - nPart) / kBlockRows * orders.aOrders.size() * kBlockTerms];
    rowSum.SumBlock(pTerms, static_cast<size_t>(nBlock), pValues + static_cast<size_t>(nFirst) * nSize,
                    static_cast<ptrdiff_t>(nSize), workspace.row);
    const int32_t nOmitted = nRows - 1 - nFirst >= nGridRows ? nRows - nGridRows : 0;
    const int32_t nMirrored = std::min(nBlock, nRows / 2 - nFirst) - nOmitted;
    if (nMirrored > 0)
        rowSum.SumBlock(pTerms + kMirrorTerms + kRowTerms * static_cast<size_t>(nOmitted),
                        static_cast<size_t>(nMirrored),
                        pValues + static_cast<size_t>(nRows - 1 - nFirst - nOmitted) * nSize,
                        -static_cast<ptrdiff_t>(nSize), workspace.row);
}

CFieldSynthesis::CFieldSynthesis(const Field& field, int32_t nRows, int32_t nColumns, unsigned nThreads)
    : CFieldSynthesis(field, SampleGrid::kLobara, nRows, nColumns, nThreads)
{}

CFieldSynthesis::CFieldSynthesis(const Field& field, SampleGrid grid, int32_t nT, int32_t nP,
                                 unsigned nThreads)
    : m_pImplementation(std::make_unique<Implementation>(MakeOrders(field, ThreadsFor(nThreads)), grid,
                                                         SynthesisThetas(grid, nT), nT, nP, nThreads))
{}

CFieldSynthesis::CFieldSynthesis(const std::complex<double>* pAlm, int32_t nLmax, int32_t nMmax,
                                 SampleGrid grid, int32_t nT, int32_t nP, unsigned nThreads)
    : m_pImplementation(std::make_unique<Implementation>(AlmOrders(pAlm, nLmax, nMmax), grid,
                                                         SynthesisThetas(grid, nT), nT, nP, nThreads))
{}

CFieldSynthesis::~CFieldSynthesis() = default;

void CFieldSynthesis::Run(double* pValues, const std::function<void(int32_t nRowsDone)>& onRow) const
{
    const Implementation& impl = *m_pImplementation;
    const size_t nOrders = impl.orders.aOrders.size();
    if (impl.nGridRows <= 0 || impl.nColumns <= 0)
        return;
    if (nOrders == 0)
    {
        std::fill(pValues, pValues + static_cast<size_t>(impl.nGridRows) * static_cast<size_t>(impl.nColumns),
                  0.0);
        return;
    }
    const int32_t nBlocks =
        (impl.nNorth + static_cast<int32_t>(kBlockRows) - 1) / static_cast<int32_t>(kBlockRows);
    const auto nSumNorth = static_cast<int32_t>(impl.aT.size());
    int64_t nWork = nBlocks * impl.BlockWork();
    for (size_t o = 0; o < nOrders; ++o)
        nWork += impl.OrderWork(o, nSumNorth);
    CRunProgress progress(onRow, impl.nGridRows, nWork);
    const auto nThreads = static_cast<unsigned>(impl.aWorkspaces.size());
    for (int32_t nPart = 0; nPart < impl.nNorth; nPart += impl.nPartRows)
    {
        const int32_t nEnd = std::min(impl.nNorth, nPart + impl.nPartRows);
        for (Workspace& workspace : impl.aWorkspaces)
            workspace.nVanished = workspace.nVanishedTop = 0;
        if (impl.sumCircle)
            ShareAmongThreads(impl.aPairs.size(), nThreads, [&](size_t nPair, unsigned t) {
                impl.SumPair(nPair, impl.aWorkspaces[t]);
                for (const size_t o : impl.aPairs[nPair])
                    if (o != SIZE_MAX)
                        progress.Add(impl.OrderWork(o, nSumNorth));
            });
        else
            ShareAmongThreads(nOrders, nThreads, [&](size_t o, unsigned t) {
                impl.SumOrder(o, nPart, nEnd, impl.aWorkspaces[t]);
                progress.Add(impl.OrderWork(o, nEnd - nPart));
            });
        const auto nPartBlocks =
            static_cast<size_t>(nEnd - nPart + static_cast<int32_t>(kBlockRows) - 1) / kBlockRows;
        ShareAmongThreads(nPartBlocks, nThreads, [&](size_t b, unsigned t) {
            impl.SumRows(nPart, nPart + static_cast<int32_t>(b * kBlockRows), nEnd, impl.aWorkspaces[t],
                         pValues);
            progress.Add(impl.BlockWork());
        });
    }
}

std::vector<double> EvaluateField(const Field& field, const std::vector<std::array<double, 2>>& aPoints)
{
    const FieldOrders orders = MakeOrders(field, 1);
    OrderTables tables(orders.aOrders);
    // Each point's northern twin of the same |cos theta|; south of the equator odd degrees change sign.
    struct Place
    {
        double t, u, dParity;
    };
    std::vector<Place> aPlaces;
    aPlaces.reserve(aPoints.size());
    for (const auto& point : aPoints)
    {
        const bool bSouth = point[0] > 0.5 * kPi;
        aPlaces.push_back(Place{CosineLessOne(bSouth ? kPi - point[0] : point[0]),
                                std::fabs(std::sin(point[0])), bSouth ? -1.0 : 1.0});
    }
    std::vector<double> aValues(aPoints.size(), 0.0);
    double aSums[4];
    for (const Order& order : orders.aOrders)
    {
        tables.Make(order);
        for (size_t i = 0; i < aPoints.size(); ++i)
        {
            const Place& place = aPlaces[i];
            tables.legendre.EvaluateSums(&place.t, &place.u, 1, tables.aWeights, aSums);
            const double dC = aSums[0] + place.dParity * aSums[1], dS = aSums[2] + place.dParity * aSums[3];
            const double dAngle = static_cast<double>(order.m) * aPoints[i][1];
            aValues[i] += dC * std::cos(dAngle) + dS * std::sin(dAngle);
        }
    }
    return aValues;
}
