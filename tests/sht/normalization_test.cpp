#include "sht/normalization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Factorial, SmallValuesAndNonPositiveArguments)
{
    EXPECT_EQ(Factorial(0), 1.0);
    EXPECT_EQ(Factorial(-5), 1.0);
    EXPECT_EQ(Factorial(1), 1.0);
    EXPECT_EQ(Factorial(5), 120.0);
    EXPECT_EQ(Factorial(20), 2432902008176640000.0);
}

TEST(Factorial, OverflowsToInfinityPast170AndReturnsAtOnce)
{
    EXPECT_TRUE(std::isfinite(Factorial(170)));
    EXPECT_TRUE(std::isinf(Factorial(171)));
    EXPECT_TRUE(std::isinf(Factorial(std::numeric_limits<int64_t>::max())));
}

TEST(NormalizationFactor, ReferenceValues)
{
    EXPECT_DOUBLE_EQ(NormalizationFactor(0, 0), 0.28209479177387814);
    EXPECT_DOUBLE_EQ(NormalizationFactor(1, 1), 0.34549414947133550);
    EXPECT_DOUBLE_EQ(NormalizationFactor(2, 0), 0.63078313050504001);
    // No (-1)^m factor: the sign of m does not matter.
    EXPECT_EQ(NormalizationFactor(3, -2), NormalizationFactor(3, 2));
}

TEST(NormalizationFactor, ExtremeArgumentsDoNotOverflowIntegers)
{
    EXPECT_TRUE(std::isnan(NormalizationFactor(-1, 0)));
    // |m| > l: (l - |m|)! is 1 and (l + |m|)! overflows, so N is 0.
    EXPECT_EQ(NormalizationFactor(2, std::numeric_limits<int32_t>::min()), 0.0);
    // Both factorials overflow: inf / inf.
    EXPECT_TRUE(std::isnan(NormalizationFactor(std::numeric_limits<int32_t>::max(), 0)));
}
