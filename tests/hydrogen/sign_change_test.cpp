#include "hydrogen/sign_change.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kRoot2 = std::sqrt(2.0);

}  // namespace

// The sign change of 2 - x^2 from a bracket below and above it, and of x^2 - 2 from one whose
// positive end lies above the other: narrowed to adjacent doubles about sqrt(2), each end's sign kept.
TEST(SignChange, NarrowsToAdjacentDoublesWhicheverWayTheBracketRuns)
{
    const auto falling = [](double x) { return 2.0 - x * x; };
    const SignChange up = NarrowSignChange(falling, SignChange{1.0, falling(1.0), 2.0, falling(2.0)}, 200);
    EXPECT_GT(falling(up.a), 0.0);
    EXPECT_LT(falling(up.b), 0.0);
    EXPECT_EQ(std::nextafter(up.a, 2.0), up.b);
    EXPECT_NEAR(up.a, kRoot2, 4e-16);

    const auto rising = [](double x) { return x * x - 2.0; };
    const SignChange down = NarrowSignChange(rising, SignChange{2.0, rising(2.0), 1.0, rising(1.0)}, 200);
    EXPECT_GT(rising(down.a), 0.0);
    EXPECT_EQ(std::nextafter(down.b, 2.0), down.a);
    EXPECT_NEAR(down.a, kRoot2, 4e-16);
}

// A point where the function is within the tolerance ends the search as both ends; a cap on the
// steps leaves a wider bracket, still about the sign change.
TEST(SignChange, StopsWithinTheToleranceOrAtTheCapOnSteps)
{
    const auto falling = [](double x) { return 2.0 - x * x; };
    const SignChange close = NarrowSignChange(falling, SignChange{1.0, 1.0, 2.0, -2.0}, 200, 1e-6);
    EXPECT_EQ(close.a, close.b);
    EXPECT_LE(std::fabs(falling(close.a)), 1e-6);

    const SignChange capped = NarrowSignChange(falling, SignChange{1.0, 1.0, 2.0, -2.0}, 2);
    EXPECT_LT(capped.a, kRoot2);
    EXPECT_GT(capped.b, kRoot2);
    EXPECT_GT(capped.b - capped.a, 1e-6);
}
