#include <gtest/gtest.h>

#include "render/supersample.h"

// --supersample: each pixel is its block's mean rounded to nearest; against a transparent
// background the colour is averaged over the surface only and alpha is the covered share.
TEST(BoxFilter, RoundsEachBlocksMeanAndWeighsColourByAlpha)
{
    // One 3 x 3 block: five pixels (255, 200, 7, 255), four (0, 0, 0, 0).
    std::vector<uint8_t> aBlock;
    for (int i = 0; i < 9; ++i)
    {
        const bool bSurface = i < 5;
        for (uint8_t c : {uint8_t{255}, uint8_t{200}, uint8_t{7}, uint8_t{255}})
            aBlock.push_back(bSurface ? c : 0);
    }
    const Picture opaque = BoxFilter(aBlock, 3, 3, 3, false);
    ASSERT_EQ(opaque.aRgba.size(), 4u);
    // 5 * 255 / 9 = 141.67, 5 * 200 / 9 = 111.11, 5 * 7 / 9 = 3.89.
    EXPECT_EQ(opaque.aRgba[0], 142);
    EXPECT_EQ(opaque.aRgba[1], 111);
    EXPECT_EQ(opaque.aRgba[2], 4);

    const Picture clear = BoxFilter(aBlock, 3, 3, 3, true);
    EXPECT_EQ(clear.aRgba[0], 255);
    EXPECT_EQ(clear.aRgba[1], 200);
    EXPECT_EQ(clear.aRgba[2], 7);
    EXPECT_EQ(clear.aRgba[3], 142);
}
