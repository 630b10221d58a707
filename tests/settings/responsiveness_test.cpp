#include "settings/responsiveness.h"

#include <gtest/gtest.h>

#include "sht/build_limits.h"

namespace {

constexpr int64_t kFullHd = 1920 * 1080;

}  // namespace

TEST(Responsiveness, WorkGrowsWithRowsTimesDegree)
{
    // A thin grid fits in memory easily; at the highest degree its rows alone take too long.
    EXPECT_NO_THROW(CheckResponsive(32768, 100, 20000, 1, kFullHd));
    EXPECT_THROW(CheckResponsive(32768, 100, 2000000, 1, kFullHd), SurfaceTooLarge);
    // The zero harmonic needs no evaluation, and the power basis only a few terms per row.
    EXPECT_NO_THROW(CheckResponsive(300, 301, 2000000, 1, kFullHd));
    EXPECT_NO_THROW(CheckResponsive(12, 0, 2000000, 1, kFullHd));
}

TEST(Responsiveness, FinerGridsAreRefusedOnceBuildAndPaintTogetherTakeTooLong)
{
    EXPECT_NO_THROW(CheckResponsive(2, 0, 480, 240, 3840 * 2160));
    EXPECT_NO_THROW(CheckResponsive(20, 7, 1920, 960, kFullHd));
    EXPECT_NO_THROW(CheckResponsive(2, 0, 3000, 1500, kFullHd));
    // Measured: 7000 x 3500 builds in 3 s and paints in 3.4 s; 10000 x 4950 takes 8 s and 2.4 GB.
    EXPECT_THROW(CheckResponsive(2, 0, 7000, 3500, kFullHd), SurfaceTooLarge);
    EXPECT_THROW(CheckResponsive(2, 0, 10000, 4950, kFullHd), SurfaceTooLarge);
    // Each alone would pass; the paint's share is what refuses this one.
    EXPECT_THROW(CheckResponsive(2, 0, 4500, 2250, kFullHd), SurfaceTooLarge);
}
