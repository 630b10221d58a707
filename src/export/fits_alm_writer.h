#pragma once

#include <cstdint>

#include "export/output_stream.h"
#include "fields/fits_alm_file.h"
#include "sht/field.h"

// Writes alm as healpy.write_alm writes them: an empty primary unit, then a binary table for
// each component with the columns index (int32, l^2 + l + m + 1), real and imag (float32 where
// alm.bSingle, else float64), a row for each l <= nLmax and m <= nMmax, m outermost as healpy
// orders them. nLmax <= alm.nLmax and nMmax <= alm.nMmax. Throws std::runtime_error when the
// stream fails.
void WriteFitsAlm(COutputStream& stream, const HealpixAlm& alm, int32_t nLmax, int32_t nMmax);

// The coefficients of a real field, in healpy's convention (ortho with the Condon-Shortley
// phase, +sin(m phi)) as InConvention gives them, as healpy's alm of float64 with lmax and mmax
// the highest degree: a_l0 = C(l, 0), a_lm = (C(l, m) - i S(l, m)) sqrt(1/2).
void WriteFitsAlmCoefficients(COutputStream& stream, const Field& coefficients);
