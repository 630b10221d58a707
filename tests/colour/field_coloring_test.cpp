#include "colour/field_coloring.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sht/angles.h"

namespace {

DoubleArray Samples(const std::vector<double>& adValues)
{
    DoubleArray a;
    a.SetSize(static_cast<int32_t>(adValues.size()));
    for (size_t k = 0; k < adValues.size(); ++k)
        a[static_cast<int32_t>(k)] = adValues[k];
    return a;
}

FieldColoring ValueColoring(const DoubleArray& aRe)
{
    return ChooseColoring(ColorMode::kValue, kColorSchemes[0], "", false, 0.0, 0.0, aRe, DoubleArray());
}

// The cardioid 1 + cos(theta) along a meridian is never negative; its zero at the south pole,
// sampled, is a rounding error of either sign. It takes the sequential map from 0; a field that
// really dips below 0, by a millionth of its size, keeps the diverging one.
TEST(FieldColoringTest, NeverNegativeAllowsRoundingOfTheFieldsScale)
{
    std::vector<double> adCardioid;
    for (int i = 0; i <= 8; ++i)
        adCardioid.push_back(1.0 + std::cos(kPi * i / 8.0));
    adCardioid.back() = -3.3e-16;
    const FieldColoring cardioid = ValueColoring(Samples(adCardioid));
    EXPECT_EQ(cardioid.pMap, &DefaultColorMap(ColorMapKind::kSequential));
    EXPECT_EQ(cardioid.dLow, 0.0);
    EXPECT_EQ(cardioid.dHigh, 2.0);

    const FieldColoring dipping = ValueColoring(Samples({2.0, 1.0, -2e-6}));
    EXPECT_EQ(dipping.pMap, &DefaultColorMap(ColorMapKind::kDiverging));
    EXPECT_EQ(dipping.dLow, -2.0);
}

}  // namespace
