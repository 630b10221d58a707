// Curtin University's binary coefficients: little-endian doubles, the minimum and the maximum
// degree, then the block of C(l, m) and the block of S(l, m), degree by degree, orders 0 to l.
#include <vector>

#include "export/coefficient_degrees.h"
#include "export/coefficient_writers.h"
#include "export/values_writer.h"

void WriteBshcCoefficients(COutputStream& stream, const Field& coefficients)
{
    const int32_t nMax = CCoefficientDegrees(coefficients.aTerms).GetMaxDegree();
    WriteLittleEndianDouble(stream, 0.0);
    WriteLittleEndianDouble(stream, nMax);
    // The cosines, then the sines: m >= 0 and m <= 0 of each degree, order by order.
    for (const int32_t nSign : {1, -1})
    {
        CCoefficientDegrees degrees(coefficients.aTerms);
        for (int32_t l = 0; l <= nMax; ++l)
        {
            const std::vector<double>& aDegree = degrees.Degree(l);
            for (int32_t m = 0; m <= l; ++m)
                WriteLittleEndianDouble(
                    stream, nSign < 0 && m == 0 ? 0.0 : aDegree[static_cast<size_t>(int64_t{l} + nSign * m)]);
        }
    }
}
