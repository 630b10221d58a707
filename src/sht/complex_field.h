#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "infra/growable_array.h"
#include "sht/build_progress.h"
#include "sht/field.h"
#include "sht/sample_grid.h"

// The complex field sum c * Y(l, m) with Y(l, m) = N(l, m) P_l^|m|(cos theta) e^(i m phi), c
// real, as its real and imaginary parts, each a real field of cosine and sine harmonics. N is
// the convention's normalisation without the factor sqrt(2 - d) of the real harmonics (ortho:
// sqrt((2l + 1) / (4 pi) (l - |m|)! / (l + |m|)!)); the Condon-Shortley phase, where chosen,
// is (-1)^m for m > 0 only, so that Y(l, -m) = (-1)^m conj Y(l, m). The sine sign of the
// convention plays no part.
struct ComplexField
{
    Field re;
    Field im;
};
ComplexField ComplexParts(const Field& field);

// The samples of the nRows x nColumns grid where the complex field is 0 by symmetry: those where
// both its parts are (see SymmetryZeros). Throws std::bad_alloc.
std::vector<unsigned char> ComplexSymmetryZeros(const ComplexField& field, int64_t nRows, int64_t nColumns);

// Both parts sampled on the nT x nP samples of a grid of analysis (index i * nP + j), lobara's
// the grid of the surfaces. Throws as SampleField.
struct ComplexSamples
{
    DoubleArray aRe;
    DoubleArray aIm;
};
ComplexSamples SampleComplexField(const ComplexField& field, int32_t nT, int32_t nP,
                                  const BuildProgress& onRow = nullptr,
                                  SampleGrid grid = SampleGrid::kLobara);

// Both parts at each point (theta in [0, pi], any phi): re, im.
std::vector<std::array<double, 2>> EvaluateComplexField(const ComplexField& field,
                                                        const std::vector<std::array<double, 2>>& aPoints);

// |re + i im| at each sample.
DoubleArray ComplexModulus(const ComplexSamples& samples);
