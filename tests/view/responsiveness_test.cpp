#include "view/responsiveness.h"

#include <gtest/gtest.h>

#include "surface/build_limits.h"

TEST(Responsiveness, WorkGrowsWithRowsTimesDegree)
{
    // A thin grid fits in memory easily; at the highest degree its rows alone take too long.
    EXPECT_NO_THROW(CheckResponsive(32768, 100, 20000, 1));
    EXPECT_THROW(CheckResponsive(32768, 100, 2000000, 1), SurfaceTooLarge);
    // The zero harmonic needs no evaluation, and the power basis only a few terms per row.
    EXPECT_NO_THROW(CheckResponsive(300, 301, 2000000, 1));
    EXPECT_NO_THROW(CheckResponsive(12, 0, 2000000, 1));
    EXPECT_NO_THROW(CheckResponsive(2, 0, 480, 240));
}
