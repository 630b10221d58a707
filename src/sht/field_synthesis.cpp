#include "sht/field_synthesis.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "sht/angles.h"
#include "sht/build_limits.h"
#include "sht/growable_array.h"
#include "sht/normalized_legendre.h"
#include "sht/own_coefficients.h"
#include "sht/prefetch.h"
#include "sht/ring_fourier.h"
#include "sht/thread_sharing.h"

namespace {

constexpr int kLanes = NormalizedLegendre::kSumLanes;
// The rows sampled together go through every order's recurrence tables, which a few groups of
// lanes share while they are in the cache: up to four groups (with more, each row's sums of the
// orders leave the cache; at degree 1024 on one thread, the synthesis takes a sixth less time
// than with one group), and at least two of them to a thread where the rows are few (with four,
// 1026 rows at degree 1024 on two threads took 4 % longer: each group reads all the tables).
constexpr int kMostGroupsInRows = 4;
constexpr int kRowGroupsPerThread = 2;
// Rows summed over the orders together, side by side as the transform takes them.
constexpr size_t kBlockRows = CRingFourier::kBlockRings;
// For each block of rows and order, each row's C_m and S_m side by side, then its mirror's.
constexpr size_t kRowTerms = 2, kMirrorTerms = kRowTerms * kBlockRows, kBlockTerms = 2 * kMirrorTerms;

// The field as sums over Pbar_l^m (the normalised Legendre functions) at each order m >= 0:
// f = sum over m of C_m(theta) cos(m phi) + S_m(theta) sin(m phi).
struct Order
{
    int32_t m;
    int32_t nTop;                 // the highest degree of the order's terms
    NormalizedLegendre legendre;  // up to nTop
    NormalizedLegendre::SumWeights aWeights;
};

// Each order's weights of Pbar_l^m in cos(m phi) and sin(m phi) as pairs by degree, up to its
// highest degree. The program's own Y(l, m) is Pbar for m = 0, sqrt(2) Pbar cos(m phi) and
// -sqrt(2) Pbar sin(|m| phi).
//
// For a field of every (l, m) up to L all orders' pairs lie in one array of large pages, kept from
// one synthesis to the next (written in one pass scattered over all the orders, fresh pages took
// faults from both threads at once); for any other field each order has its own.
struct OrderWeights
{
    std::vector<double, LargePageAllocator<double>> aDense;
    std::vector<std::vector<double>> aSparse;
    std::vector<const double*> aPairs;  // each order's pairs, in one or the other
};

// A term's weight in its pair; false where the convention's factor is out of range.
bool TermWeight(const Term& term, const Convention& convention, double& dWeight)
{
    const double dFactor = ConventionFactor(term.l, term.m, convention);
    dWeight = OwnAzimuthFactor(term.m) * (term.c * dFactor);
    return std::isfinite(dFactor);
}

// For a field of every (l, m) with l <= L in order, as analyses give it: the orders with a term
// other than 0, and their weights, from one pass over the terms, which checks each against its
// place as it writes it (so that no two threads write one place). nFirstUnfit is the first term
// whose factor is out of range. False, with nothing made, for any other field.
bool DenseWeights(const Field& field, unsigned nThreads, std::vector<Order>& aOrders, OrderWeights& weights,
                  size_t& nFirstUnfit)
{
    // The pairs laid out as the analysis lays them out, order by order (OrderStart).
    const std::vector<Term>& aTerms = field.aTerms;
    const int32_t L = aTerms.empty() ? -1 : OwnDegree(aTerms.size() - 1);
    if (L < 0 || L > kMaxDegree || OwnCount(L) != aTerms.size())
        return false;
    const auto nOrders = static_cast<size_t>(L) + 1;
    std::vector<double*> aPairs(nOrders);
    weights.aDense.resize(2 * OrderStart(L + 1, L));
    for (size_t m = 0; m < nOrders; ++m)
        aPairs[m] = weights.aDense.data() + 2 * OrderStart(static_cast<int32_t>(m), L);
    const size_t nRuns = std::max(1u, nThreads);
    const auto runStart = [&](size_t r) { return aTerms.size() * r / nRuns; };
    std::vector<std::vector<int32_t>> aRunTops(nRuns, std::vector<int32_t>(nOrders, -1));
    std::vector<char> aRunInPlace(nRuns, 1);
    std::vector<size_t> aFirstUnfit(nRuns, aTerms.size());
    ShareAmongThreads(nRuns, nThreads, [&](size_t r, unsigned) {
        const size_t nStart = runStart(r), nEnd = runStart(r + 1);
        // The (l, m) of index i = l^2 + l + m.
        int32_t l = OwnDegree(nStart);
        auto m = static_cast<int32_t>(static_cast<int64_t>(nStart) - int64_t{l} * l - l);
        std::vector<int32_t>& aTop = aRunTops[r];
        for (size_t i = nStart; i < nEnd; ++i)
        {
            const Term& term = aTerms[i];
            if (term.l != l || term.m != m)
            {
                aRunInPlace[r] = 0;
                return;
            }
            const auto a = static_cast<size_t>(std::abs(m));
            double* pPair = aPairs[a] + 2 * (static_cast<size_t>(l) - a);
            double dWeight = 0.0;
            if (term.c != 0.0)
            {
                if (TermWeight(term, field.convention, dWeight))
                    aTop[a] = l;
                else
                    aFirstUnfit[r] = std::min(aFirstUnfit[r], i);
            }
            // As added to 0, to the same bits; order 0 has no sine.
            pPair[m < 0 ? 1 : 0] = 0.0 + dWeight;
            if (m == 0)
                pPair[1] = 0.0;
            // Fields come by degree, across the orders' weights.
            PrefetchTwoLinesAhead<PrefetchFor::kWriting>(pPair);
            if (++m > l)
            {
                ++l;
                m = -l;
            }
        }
    });
    if (std::find(aRunInPlace.begin(), aRunInPlace.end(), 0) != aRunInPlace.end())
    {
        weights = OrderWeights{};
        return false;
    }
    for (size_t m = 0; m < nOrders; ++m)
    {
        int32_t nTop = -1;
        for (const std::vector<int32_t>& aTop : aRunTops)
            nTop = std::max(nTop, aTop[m]);
        if (nTop < 0)
            continue;
        aOrders.push_back(Order{static_cast<int32_t>(m), nTop, NormalizedLegendre(-1, 0), {}});
        weights.aPairs.push_back(aPairs[m]);
    }
    nFirstUnfit = *std::min_element(aFirstUnfit.begin(), aFirstUnfit.end());
    return true;
}

// The same for a field of any terms in any order.
void SparseWeights(const Field& field, unsigned nThreads, std::vector<Order>& aOrders, OrderWeights& weights,
                   size_t& nFirstUnfit)
{
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
            aOrders.push_back(Order{static_cast<int32_t>(m), aTop[m], NormalizedLegendre(-1, 0), {}});
    // Each order's weights as pairs (cosine, sine) by degree, with each term added into place. A
    // part of the terms stops at its first whose factor is out of range; the first such term of
    // all is reported.
    std::vector<std::vector<double>>& aOrderPairs = weights.aSparse;
    aOrderPairs.resize(aOrders.size());
    weights.aPairs.resize(aOrders.size());
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
        weights.aPairs[o] = aOrderPairs[o].data();
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

std::vector<Order> MakeOrders(const Field& field, unsigned nThreads)
{
    std::vector<Order> aOrders;
    OrderWeights weights;
    size_t nUnfit = field.aTerms.size();
    if (!DenseWeights(field, nThreads, aOrders, weights, nUnfit))
        SparseWeights(field, nThreads, aOrders, weights, nUnfit);
    if (nUnfit < field.aTerms.size())
        FiniteConventionFactor(field.aTerms[nUnfit].l, field.aTerms[nUnfit].m,
                               field.convention);  // throws its message
    // Each order's recurrence, and its weights made ready, on all the threads (O(l) each).
    ShareAmongThreads(aOrders.size(), nThreads, [&](size_t o, unsigned) {
        Order& order = aOrders[o];
        order.legendre = NormalizedLegendre(order.nTop, order.m);
        order.aWeights = order.legendre.PrepareWeights(weights.aPairs[o]);
        if (!weights.aSparse.empty())
            weights.aSparse[o] = {};
    });
    return aOrders;
}

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

// The northern rows and the equator, in groups of nGroupRows; row nRows - 1 - i mirrors row i. Rows
// left over short of a whole group of lanes join the last group (as 513 rows, at L + 2 rows for
// degree 1024, in groups of 128 leave 1), where they read the tables the group has in the cache;
// as a group of their own they would read every order's tables again.
struct RowGroups
{
    int32_t nRows;
    int32_t nNorth;
    int32_t nGroupRows;
    int32_t nGroups;

    int32_t Count(int32_t g) const { return g + 1 < nGroups ? nGroupRows : nNorth - g * nGroupRows; }
    int32_t MostRows() const { return nGroups == 0 ? 0 : std::max(Count(0), Count(nGroups - 1)); }
};

RowGroups GroupRows(int32_t nRows, unsigned nThreads)
{
    const int32_t nNorth = (nRows + 1) / 2;
    const int64_t nLaneGroups = nNorth / (int64_t{kLanes} * kRowGroupsPerThread * nThreads);
    const auto nGroupRows =
        static_cast<int32_t>(kLanes * std::clamp<int64_t>(nLaneGroups, 1, kMostGroupsInRows));
    const int32_t nWhole = nNorth / nGroupRows, nLeft = nNorth % nGroupRows;
    return RowGroups{nRows, nNorth, nGroupRows,
                     nLeft >= kLanes || nWhole == 0 ? nWhole + (nLeft > 0) : nWhole};
}

// One thread's arrays.
struct Workspace
{
    std::vector<double> aT, aU, aSums;
    // Every order's sums of each block of the group's rows (see SampleGroup), all written before
    // they are read: megabytes not cleared first, in pages kept from one synthesis to the next.
    std::vector<double, LargePageAllocator<double>> aTerms;
    CRingFourier::Workspace row;
};

}  // namespace

struct CFieldSynthesis::Implementation
{
    Implementation(const Field& field, std::vector<double> aRowTheta, int32_t nGridColumns,
                   unsigned nThreadsAsked)
        : aTheta(std::move(aRowTheta)),
          aOrders(MakeOrders(field, ThreadsFor(nThreadsAsked))),
          rowSum(aOrders, std::max(nGridColumns, 1)),
          nColumns(nGridColumns),
          groups(GroupRows(static_cast<int32_t>(aTheta.size()), ThreadsFor(nThreadsAsked)))
    {
        const unsigned nThreads =
            std::min(ThreadsFor(nThreadsAsked), static_cast<unsigned>(std::max(groups.nGroups, 1)));
        const auto nMostRows = static_cast<size_t>(groups.MostRows());
        for (unsigned t = 0; t < nThreads; ++t)
        {
            Workspace& workspace =
                aWorkspaces.emplace_back(Workspace{{}, {}, {}, {}, rowSum.MakeWorkspace()});
            workspace.aT.resize(nMostRows);
            workspace.aU.resize(nMostRows);
            workspace.aSums.resize(4 * nMostRows);
            workspace.aTerms.resize((nMostRows + kBlockRows - 1) / kBlockRows * aOrders.size() * kBlockTerms);
        }
    }

    // The rows of group g into pValues.
    void SampleGroup(int32_t g, Workspace& workspace, double* pValues) const;

    std::vector<double> aTheta;  // of each row
    std::vector<Order> aOrders;
    CRowSum rowSum;
    int32_t nColumns;
    RowGroups groups;
    // Made before the threads run, so that nothing allocates (and throws) on them.
    mutable std::vector<Workspace> aWorkspaces;
};

void CFieldSynthesis::Implementation::SampleGroup(int32_t g, Workspace& workspace, double* pValues) const
{
    const size_t nOrders = aOrders.size(), nSize = static_cast<size_t>(nColumns);
    const int32_t nRows = groups.nRows;
    const int32_t nGroupRows = groups.nGroupRows;
    const int32_t nFirst = g * nGroupRows;
    const int32_t nCount = groups.Count(g);
    double* aT = workspace.aT.data();
    double* aU = workspace.aU.data();
    for (int32_t b = 0; b < nCount; ++b)
    {
        const double dTheta = aTheta[static_cast<size_t>(int64_t{nFirst} + b)];
        aT[b] = CosineLessOne(dTheta);
        aU[b] = std::sin(dTheta);
    }
    // C_m and S_m of each northern row and of its mirror side by side, by blocks of rows, in each
    // block order by order.
    auto& aTerms = workspace.aTerms;
    // The rows from the pole where every function of the orders so far vanished are left out of
    // the next order, unless it goes to a higher degree (where they may come back).
    int32_t nVanished = 0, nVanishedTop = 0;
    for (size_t o = 0; o < nOrders; ++o)
    {
        const Order& order = aOrders[o];
        if (order.nTop > nVanishedTop)
            nVanished = 0;
        const int32_t nSkip = std::min(nVanished, nCount);
        nVanished =
            nSkip + order.legendre.EvaluateSums(aT + nSkip, aU + nSkip, nCount - nSkip, order.aWeights,
                                                workspace.aSums.data() + 4 * static_cast<size_t>(nSkip));
        nVanishedTop = order.nTop;
        std::fill(workspace.aSums.begin(), workspace.aSums.begin() + 4 * static_cast<size_t>(nSkip), 0.0);
        for (int32_t b = 0; b < nCount; ++b)
        {
            const double* s = &workspace.aSums[4 * static_cast<size_t>(b)];
            const auto nRow = static_cast<size_t>(b);
            double* pTerms =
                &aTerms[(nRow / kBlockRows * nOrders + o) * kBlockTerms + kRowTerms * (nRow % kBlockRows)];
            pTerms[0] = s[0] + s[1];
            pTerms[1] = s[2] + s[3];
            pTerms[kMirrorTerms] = s[0] - s[1];
            pTerms[kMirrorTerms + 1] = s[2] - s[3];
        }
    }
    // Rows by blocks, then their mirrors south of the equator from the last row up; a row on the
    // equator is its own mirror.
    for (int32_t b = 0; b < nCount; b += static_cast<int32_t>(kBlockRows))
    {
        const int32_t nRow = nFirst + b, nBlock = std::min(static_cast<int32_t>(kBlockRows), nCount - b);
        const double* pTerms = &aTerms[static_cast<size_t>(b) / kBlockRows * nOrders * kBlockTerms];
        rowSum.SumBlock(pTerms, static_cast<size_t>(nBlock), pValues + static_cast<size_t>(nRow) * nSize,
                        static_cast<ptrdiff_t>(nSize), workspace.row);
        const int32_t nMirrored = std::min(nBlock, nRows / 2 - nRow);
        if (nMirrored > 0)
            rowSum.SumBlock(pTerms + kMirrorTerms, static_cast<size_t>(nMirrored),
                            pValues + static_cast<size_t>(nRows - 1 - nRow) * nSize,
                            -static_cast<ptrdiff_t>(nSize), workspace.row);
    }
}

namespace {

std::vector<double> SampleThetas(int32_t nRows)
{
    std::vector<double> aTheta(static_cast<size_t>(std::max(nRows, 0)));
    for (int32_t i = 0; i < nRows; ++i)
        aTheta[static_cast<size_t>(i)] = SampleTheta(i, nRows);
    return aTheta;
}

}  // namespace

CFieldSynthesis::CFieldSynthesis(const Field& field, int32_t nRows, int32_t nColumns, unsigned nThreads)
    : m_pImplementation(std::make_unique<Implementation>(field, SampleThetas(nRows), nColumns, nThreads))
{}

CFieldSynthesis::CFieldSynthesis(const Field& field, const std::vector<double>& aRowTheta, int32_t nColumns,
                                 unsigned nThreads)
    : m_pImplementation(std::make_unique<Implementation>(field, aRowTheta, nColumns, nThreads))
{}

CFieldSynthesis::~CFieldSynthesis() = default;

void CFieldSynthesis::Run(double* pValues, const std::function<void(int32_t nRowsDone)>& onRow) const
{
    const Implementation& impl = *m_pImplementation;
    const int32_t nRows = impl.groups.nRows;
    if (nRows <= 0 || impl.nColumns <= 0)
        return;
    if (impl.aOrders.empty())
    {
        std::fill(pValues, pValues + static_cast<size_t>(nRows) * static_cast<size_t>(impl.nColumns), 0.0);
        return;
    }
    std::atomic<int32_t> nRowsDone{0};
    std::mutex progress;
    ShareAmongThreads(static_cast<size_t>(impl.groups.nGroups),
                      static_cast<unsigned>(impl.aWorkspaces.size()), [&](size_t nGroup, unsigned t) {
                          const auto g = static_cast<int32_t>(nGroup);
                          impl.SampleGroup(g, impl.aWorkspaces[t], pValues);
                          const int32_t nCount = impl.groups.Count(g);
                          const int32_t nDone = nRowsDone.fetch_add(2 * nCount) + 2 * nCount;
                          if (onRow)
                          {
                              const std::lock_guard<std::mutex> lock(progress);
                              onRow(std::min(nDone, nRows));
                          }
                      });
}

std::vector<double> EvaluateField(const Field& field, const std::vector<std::array<double, 2>>& aPoints)
{
    const std::vector<Order> aOrders = MakeOrders(field, 1);
    std::vector<double> aValues;
    aValues.reserve(aPoints.size());
    double aSums[4];
    for (const auto& [dTheta, dPhi] : aPoints)
    {
        // The northern point of the same |cos theta|; south of the equator odd degrees change sign.
        const bool bSouth = dTheta > 0.5 * kPi;
        const double t = CosineLessOne(bSouth ? kPi - dTheta : dTheta), u = std::fabs(std::sin(dTheta));
        const double dParity = bSouth ? -1.0 : 1.0;
        double dValue = 0.0;
        for (const Order& order : aOrders)
        {
            order.legendre.EvaluateSums(&t, &u, 1, order.aWeights, aSums);
            const double dC = aSums[0] + dParity * aSums[1], dS = aSums[2] + dParity * aSums[3];
            const double dAngle = static_cast<double>(order.m) * dPhi;
            dValue += dC * std::cos(dAngle) + dS * std::sin(dAngle);
        }
        aValues.push_back(dValue);
    }
    return aValues;
}
