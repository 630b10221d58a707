#pragma once

#include <cstdint>

#include "mesh/radius_rule.h"
#include "mesh/surface_mesh.h"
#include "sht/build_progress.h"
#include "sht/field.h"

// Rebuilds every array of mesh from the real harmonic Y(l, m) sampled on nT rows of theta
// (north pole to south pole) and nP columns of phi. Inputs outside the harmonic's domain
// give a valid mesh: l < 0 or |m| > l gives Y = 0 everywhere, counts of 0 or less give an
// empty mesh, and a single row is the north pole with no faces.
// Throws std::bad_alloc (SurfaceTooLarge for a build beyond the limits) with mesh untouched.
// onRow, when given, is told after each row of samples how many rows of all are done.
void BuildSurfaceMesh(int32_t l, int32_t m, int32_t nT, int32_t nP, SurfaceMesh& mesh,
                      const BuildProgress& onRow = nullptr);

// The same for the field's polar plot: radius |f|, faces split by the sign of f. A single
// term is sampled as its harmonic above, times its coefficient in the program's convention.
void BuildSurfaceMesh(const Field& field, int32_t nT, int32_t nP, SurfaceMesh& mesh,
                      const BuildProgress& onRow = nullptr);

// The same with each sample at the distance the rule gives its value; the faces split by the
// sign of f as ever. RadiusKind::kAbs is the build above, bit for bit.
void BuildSurfaceMesh(const Field& field, int32_t nT, int32_t nP, const RadiusRule& rule, SurfaceMesh& mesh,
                      const BuildProgress& onRow = nullptr);

// The surface of values already sampled on the nT x nP grid (index i * nP + j, as SampleField
// gives them), placed by the rule and split by their sign. Throws std::invalid_argument when
// aValues does not hold one value a sample, std::bad_alloc as above.
void BuildSurfaceMesh(const DoubleArray& aValues, int32_t nT, int32_t nP, const RadiusRule& rule,
                      SurfaceMesh& mesh);
