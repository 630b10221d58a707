#pragma once

#include <cstdint>
#include <vector>

#include "sht/field.h"

// The power of degree l: the mean square over the sphere of the field's part of degree l,
//   P(l) = 1/(4 pi) * integral of f_l^2 = sum over m of c(l, m)^2 * s(l, m),
// where s(l, m) is the mean square of Y(l, m) in the field's convention: 1 in 4pi and n3d
// (so P(l) = sum of C^2 + S^2), 1/(2l + 1) in schmidt and sn3d, 1/(4 pi) in ortho and
// (l + |m|)! / ((2 - d) (2l + 1) (l - |m|)!) unnormalised (d = 1 for m = 0). The degrees are
// orthogonal, so the powers add up to the mean square of the whole field.
struct DegreePower
{
    int32_t l;
    double dPower;
    double dPerCoefficient;  // P(l) / (2l + 1), the mean over its coefficients
    double dCumulative;      // the sum of P over the degrees from 0 to l
};

// One row for each degree from 0 to the field's highest with a term that is not 0; none for a
// field that is 0 everywhere. Computed from the coefficients in 4pi (InConvention), whose squares
// are added by order from -l to l. Throws std::runtime_error as InConvention does, and where
// the power is beyond the range of doubles.
std::vector<DegreePower> PowerSpectrum(const Field& field);
