#pragma once

#include <cstdint>
#include <vector>

#include "sht/field.h"
#include "sht/normalized_legendre.h"

// A harmonic series whose part of degree l falls off outside a sphere of radius R as q^(l+1),
// q = R / r, as a potential and the components of its gradient do:
//   f(r, theta, lambda) = sum over l of q^(l+1) sum over m of c Y(l, m)(theta, lambda),
// each Y in the field's convention. It is summed on parallels: for a colatitude theta and a q,
// one run of the normalised recurrence over the degrees for each order gives C_m and S_m, and
// f = sum over m of C_m cos(m lambda) + S_m sin(m lambda) at any longitude on that parallel.
// A parallel of several longitudes, a row of a grid, costs the recurrence once.
class CRadialSeries
{
public:
    // Throws std::runtime_error where the convention takes a coefficient beyond the double range.
    explicit CRadialSeries(const Field& field);

    int32_t MaxDegree() const { return m_nMaxDegree; }
    int32_t MaxOrder() const { return m_aOrders.empty() ? -1 : m_aOrders.back().m; }

    // What one thread sums with: the recurrence's tables and the weights of a parallel.
    struct Scratch
    {
        NormalizedLegendre legendre{-1, 0};
        NormalizedLegendre::SumWeights aReady;
        std::vector<double> aWeights;
    };

    // C_m and S_m of the orders 0 to MaxOrder() on the parallel of colatitude theta (0 to pi)
    // with the factors aPower[l] = q^(l+1) of every degree up to MaxDegree(): aCos[m], aSin[m].
    void OrderSums(double dTheta, const std::vector<double>& aPower, Scratch& scratch,
                   std::vector<double>& aCos, std::vector<double>& aSin) const;

private:
    struct Order
    {
        int32_t m;
        int32_t nTop;
        std::vector<double> aPairs;  // wc, ws of Pbar_k(cos theta) for k = m .. nTop
    };
    std::vector<Order> m_aOrders;  // by m, those with a term other than 0
    int32_t m_nMaxDegree = -1;
};

// q^(l+1) for l = 0 .. nMaxDegree, each by pow.
std::vector<double> RadialPowers(double q, int32_t nMaxDegree);

// sum over m of aCos[m] cos(m lambda) + aSin[m] sin(m lambda), cos and sin of m lambda by
// rotation from those of lambda (an error of about m ulp at order m).
double SumAlongParallel(const std::vector<double>& aCos, const std::vector<double>& aSin, double dLambda);
