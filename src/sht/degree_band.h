#pragma once

#include <cstdint>

#include "sht/field.h"

// The part of the field of degrees nMin to nMax (no upper limit when nMax < 0): its terms of
// those degrees, in their order, in its convention. nMin = 0 and nMax < 0 keep the whole field.
Field DegreeBand(const Field& field, int32_t nMin, int32_t nMax);
