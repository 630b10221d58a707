#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sht/field.h"

// A value sampled at a point of the sphere, with its weight in the least squares (1 unless given).
struct SamplePoint
{
    double dTheta;  // [0, pi]
    double dPhi;
    double dValue;
    double dWeight;  // > 0
};

struct PointAnalysis
{
    Field field;
    // |W^(1/2) (f - v)| / |W^(1/2) v| at the points, for the field f found and the values v.
    double dRelativeResidual = 0.0;
    int32_t nIterations = 0;
    bool bConverged = false;
    // The places among the points: a place given twice or more counts once.
    size_t nDistinctPoints = 0;
    // The condition number of the weighted system: the larger of the fit's own estimate and a
    // probe's from a start with a part in every direction, which sees the combinations of
    // harmonics the points leave undetermined (infinite with fewer places than coefficients).
    double dCondition = 1.0;
    // The points cannot determine degree L: fewer distinct places than coefficients; or a system
    // so ill-conditioned (condition above 1e4, or no convergence in the steps allowed) that some
    // coefficients are left to the noise of the values, or to nothing at all.
    bool bFewerPointsThanCoefficients = false;
    bool bIllConditioned = false;
};

// The coefficients of every (l, m) up to nMaxDegree, in the convention asked, that fit the values
// at the points best in the weighted least-squares sense, minimising the sum of w (f - v)^2: by
// conjugate gradients on the normal equations (CGLS), each step one synthesis at the points and
// its adjoint, both by the normalised recurrence, so that no matrix is ever stored: O(N + L^2)
// memory for N points. With fewer points than coefficients it gives the least-squares solution of
// least norm. Weights and values are scaled by powers of two first, so that scaling either by
// any factor gives the same field (scaled with the values). The orders are shared among nThreads
// threads (0: one for each core); the results do not depend on their number.
//
// Throws std::invalid_argument for a point with theta outside [0, pi], a phi or value that is not
// finite, or a weight that is not finite and above 0; WorkTooLarge when the fit would need more
// memory than MemoryBudget(); std::bad_alloc; and std::runtime_error for a coefficient beyond the
// double range (in the convention asked).
PointAnalysis AnalyzePoints(const std::vector<SamplePoint>& aPoints, int32_t nMaxDegree,
                            const Convention& convention, unsigned nThreads = 0);

// Empty when the points determine the fit of degree nDegree; else why not, in one line: "the points
// cannot determine degree L: ..." with the distinct places and coefficients, or the condition.
std::string UndeterminedFitProblem(const PointAnalysis& analysis, int32_t nDegree);

// The places among the points (as PointAnalysis::nDistinctPoints).
size_t CountDistinctPoints(const std::vector<SamplePoint>& aPoints);

// The degree to fit when none is asked: the highest L whose (L + 1)^2 coefficients have at least
// two distinct places each (random points spread evenly then give a condition about 10, where as
// many places as coefficients give 1e4 to 1e6), stepped down by a quarter until the probe finds
// the system determined (condition at most 1e4): 0 when no degree above is. Throws as
// AnalyzePoints.
int32_t DefaultPointDegree(const std::vector<SamplePoint>& aPoints, unsigned nThreads = 0);

// Throws WorkTooLarge when a fit of nPoints points to degree nMaxDegree on nThreads threads would
// need more memory than MemoryBudget().
void CheckPointFitMemory(size_t nPoints, int32_t nMaxDegree, unsigned nThreads = 0);
