#pragma once

#include "sht/field.h"

// The same field with its coefficients in the convention target: c' = c Y(l, m) / Y'(l, m),
// each the field's own Y over target's (so the normalisations' factors, the Condon-Shortley
// phase and the sine's sign cancel). Terms of one (l, m) are added in the field's order, and the
// result has one term for each (l, m) that is not 0, sorted by degree and then by m from -l to
// l; terms that are 0 everywhere are left out. Where the conventions agree the coefficients are
// the field's to the bit. Throws std::runtime_error, naming the coefficient, where one does not
// fit a double in either convention (unnormalised harmonics of high degree), so that no
// coefficient is lost to an overflow or to 0.
Field InConvention(const Field& field, const Convention& target);
