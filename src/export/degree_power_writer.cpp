#include "export/degree_power_writer.h"

#include <string>

#include "export/values_writer.h"

void WriteSpectrumCsv(COutputStream& stream, const std::vector<DegreePower>& aSpectrum)
{
    stream.Write("l,power,power_per_coefficient,cumulative_power\n");
    for (const DegreePower& row : aSpectrum)
        stream.Write(std::to_string(row.l) + ',' + DecimalText(row.dPower) + ',' +
                     DecimalText(row.dPerCoefficient) + ',' + DecimalText(row.dCumulative) + '\n');
}
