#pragma once

#include <cstdint>

#include "infra/growable_array.h"
#include "sht/field.h"

// The lowest and highest value of a field over the sphere: of f for a real field, of |f| for a
// complex one.
struct FieldExtremes
{
    double dLowest = 0.0;
    double dHighest = 0.0;
};

// The extremes of the samples alone (aIm empty for a real field).
FieldExtremes SampledExtremes(const DoubleArray& aRe, const DoubleArray& aIm);

// The field's true extremes, from its samples on the nRows x nColumns grid of the surfaces
// (index i * nColumns + j): from each of the few highest local maxima of the samples (and the
// lowest minima of a real field), Newton steps with the field evaluated exactly climb to the peak
// between the samples, good to about 1e-9 of the field's size on a map's grid (the side of the
// larger |f| is searched, and the other where it comes within 1 %). pIm is
// the imaginary part of a complex field (aIm its samples), nullptr for a real one; the lowest
// |f| is that of the samples. Throws as EvaluateField.
FieldExtremes FindFieldExtremes(const Field& re, const Field* pIm, const DoubleArray& aRe,
                                const DoubleArray& aIm, int32_t nRows, int32_t nColumns);
