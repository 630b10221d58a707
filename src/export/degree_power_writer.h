#pragma once

#include <vector>

#include "export/output_stream.h"
#include "sht/degree_power.h"

// The spectrum as CSV: a header "l,power,power_per_coefficient,cumulative_power" and a row per
// degree, each number with the 17 significant digits that read back as the same double.
void WriteSpectrumCsv(COutputStream& stream, const std::vector<DegreePower>& aSpectrum);
