#include "sht/field_extremes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sht/angles.h"
#include "sht/complex_field.h"
#include "sht/field_rows.h"

namespace {

// The extremes between the samples of a map's grid (about 20 rows and 40 columns a period),
// against closed forms: |Y(3, 2)| = sqrt(105 / (2 pi)) / 4 sin^2(theta) |cos(theta)|, whose peak at
// cos^2(theta) = 1/3 is sqrt(105 / (2 pi)) / (6 sqrt(3)) = 0.393362...; the real Y(3, 2) reaches
// sqrt(2) times that, of either sign; Y(1, 1) + Y(1, -1) = sqrt(3 / (4 pi)) (x -+ y) reaches
// sqrt(3 / (2 pi)) at 45 degrees from the axes, where no column of 122 lies.
TEST(FieldExtremesTest, PeaksBetweenTheSamplesAreFound)
{
    const double dPeak32 = std::sqrt(105.0 / (2.0 * kPi)) / (6.0 * std::sqrt(3.0));
    const int32_t nRows = 81, nColumns = 122;

    const ComplexField complex = ComplexParts(Field{{Term{3, 2, 1.0}}, Convention{}});
    const ComplexSamples samples = SampleComplexField(complex, nRows, nColumns);
    EXPECT_LT(SampledExtremes(samples.aRe, samples.aIm).dHighest, dPeak32 - 1e-5);
    const FieldExtremes modulus =
        FindFieldExtremes(complex.re, &complex.im, samples.aRe, samples.aIm, nRows, nColumns);
    EXPECT_NEAR(modulus.dHighest, dPeak32, 1e-9 * dPeak32);

    for (const auto& [field, dPeak] :
         {std::pair{Field{{Term{3, 2, 1.0}}, Convention{}}, std::sqrt(2.0) * dPeak32},
          std::pair{Field{{Term{1, 1, 1.0}, Term{1, -1, 1.0}}, Convention{}}, std::sqrt(3.0 / (2.0 * kPi))}})
    {
        const DoubleArray aValues = SampleField(field, nRows, nColumns);
        const FieldExtremes extremes =
            FindFieldExtremes(field, nullptr, aValues, DoubleArray(), nRows, nColumns);
        EXPECT_NEAR(extremes.dHighest, dPeak, 1e-9 * dPeak);
        EXPECT_NEAR(extremes.dLowest, -dPeak, 1e-9 * dPeak);
    }
}

}  // namespace
