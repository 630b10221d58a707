#pragma once

#include <cstdint>
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
    // The condition number of the weighted system, estimated from the iteration: large where
    // the points leave some combination of harmonics nearly undetermined (a hole in the coverage).
    double dCondition = 1.0;
    // The points cannot determine degree L: fewer points than coefficients; or a system so
    // ill-conditioned (condition above 1e4, or no convergence in the steps allowed) that some
    // coefficients are left to the noise of the values.
    bool bFewerPointsThanCoefficients = false;
    bool bIllConditioned = false;
};

// The coefficients of every (l, m) up to nMaxDegree, in the convention asked, that fit the values
// at the points best in the weighted least-squares sense, minimising the sum of w (f - v)^2: by
// conjugate gradients on the normal equations (CGLS), each step one synthesis at the points and
// its adjoint, both by the normalised recurrence, so that no matrix is ever stored: O(N + L^2)
// memory for N points. With fewer points than coefficients it gives the least-squares solution of
// least norm. The orders are shared among nThreads threads (0: one for each core); the results do
// not depend on their number.
//
// Throws std::bad_alloc, and std::runtime_error for a coefficient the convention takes beyond the
// double range.
PointAnalysis AnalyzePoints(const std::vector<SamplePoint>& aPoints, int32_t nMaxDegree,
                            const Convention& convention, unsigned nThreads = 0);
