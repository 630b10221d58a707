#pragma once

#include <cstdint>
#include <vector>

#include "geodesy/reference_ellipsoid.h"
#include "sht/convention.h"

// The highest degree of the normal field: its even zonal terms beyond it are below 1e-26 of C(0, 0).
constexpr int32_t kNormalFieldDegree = 20;

// The normal gravitational potential of the ellipsoid (its centrifugal part left out) as terms of
// a model of GM dGravityConstant and reference radius dRadius, in the model's convention: degree
// 0 and the even zonal degrees 2n up to 20 and nMaxDegree, fully normalised
//   C(0, 0) = GM_e / GM,  C(2n, 0) = -J_2n / sqrt(4n + 1) (GM_e / GM) (a / R)^2n.
std::vector<Term> NormalFieldTerms(const ReferenceEllipsoid& ellipsoid, double dGravityConstant,
                                   double dRadius, const Convention& convention, int32_t nMaxDegree);

// Subtracts the normal field from the terms: from the first term of each (l, 0), or as a new
// term where there is none.
void RemoveNormalField(std::vector<Term>& aTerms, const std::vector<Term>& aNormal);
