#include "colour/field_coloring.h"

#include <gtest/gtest.h>

namespace {

FieldColoring ValueColoring(double dLowest, double dHighest)
{
    return ChooseColoring(ColorMode::kValue, kColorSchemes[0], "", std::nullopt, dLowest, dHighest, false);
}

// The cardioid 1 + x is never negative; its zero, sampled, comes out as a rounding error of
// either sign, -3.3e-16 say. It takes the sequential map from 0; a field that really dips below
// 0, by a millionth of its size, keeps the diverging one.
TEST(FieldColoringTest, NeverNegativeAllowsRoundingOfTheFieldsScale)
{
    const FieldColoring cardioid = ValueColoring(-3.3e-16, 2.0);
    EXPECT_EQ(cardioid.pMap, &DefaultColorMap(ColorMapKind::kSequential));
    EXPECT_EQ(cardioid.dLow, 0.0);
    EXPECT_EQ(cardioid.dHigh, 2.0);

    const FieldColoring dipping = ValueColoring(-2e-6, 2.0);
    EXPECT_EQ(dipping.pMap, &DefaultColorMap(ColorMapKind::kDiverging));
    EXPECT_EQ(dipping.dLow, -2.0);
}

}  // namespace
