// NESTED and RING pixel numbers against healpy's nest2ring and ring2nest (values printed by
// healpy 1.16), and the reordering of a whole map.
#include "healpix/pixel_order.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct Numbers
{
    int64_t nNside;
    std::vector<int64_t> aPixels;
    std::vector<int64_t> aNestToRing;
    std::vector<int64_t> aRingToNest;
};

TEST(PixelOrder, MatchesHealpyFromOneToTheLargestNside)
{
    const std::vector<Numbers> aCases = {
        {1, {0, 1, 5, 11}, {0, 1, 5, 11}, {0, 1, 5, 11}},
        {2, {0, 1, 5, 11, 47, 24, 23}, {13, 5, 7, 2, 35, 32, 14}, {3, 7, 1, 13, 44, 25, 26}},
        {4, {0, 1, 5, 11, 191, 96, 71}, {74, 58, 27, 12, 118, 144, 73}, {15, 31, 13, 61, 176, 102, 78}},
        {1024,
         {0, 1, 5, 11, 12582911, 6291456, 4194311},
         {6285824, 6281728, 6273537, 6269439, 6297088, 10481664, 10463233},
         {1048575, 2097151, 1048573, 4194301, 11534336, 6728362, 7187093}},
        {536870912,
         {0, 1, 5, 11, 3458764513820540927, 1729382256910270464, 1152921504606846983},
         {1729382253957480448, 1729382251809996800, 1729382247515029505, 1729382245367545855,
          1729382259863060480, 2882303759369633792, 2882303749705957377},
         {288230376151711743, 576460752303423487, 288230376151711741, 1152921504606846973,
          3170534137668829184, 1849478246973483690, 1975579036539857557}},
    };
    for (const Numbers& numbers : aCases)
        for (size_t i = 0; i < numbers.aPixels.size(); ++i)
        {
            EXPECT_EQ(NestToRing(numbers.nNside, numbers.aPixels[i]), numbers.aNestToRing[i])
                << "Nside " << numbers.nNside << " pixel " << numbers.aPixels[i];
            EXPECT_EQ(RingToNest(numbers.nNside, numbers.aPixels[i]), numbers.aRingToNest[i])
                << "Nside " << numbers.nNside << " pixel " << numbers.aPixels[i];
        }
}

// Each order numbers every pixel once, and the two are inverse, up to Nside 64.
TEST(PixelOrder, IsAPermutationAndItsInverse)
{
    for (int64_t nNside = 1; nNside <= 64; nNside *= 2)
    {
        const int64_t nPixels = 12 * nNside * nNside;
        std::vector<bool> aSeen(static_cast<size_t>(nPixels));
        for (int64_t i = 0; i < nPixels; ++i)
        {
            const int64_t nRing = NestToRing(nNside, i);
            ASSERT_TRUE(nRing >= 0 && nRing < nPixels && !aSeen[static_cast<size_t>(nRing)])
                << nNside << " " << i;
            aSeen[static_cast<size_t>(nRing)] = true;
            ASSERT_EQ(RingToNest(nNside, nRing), i) << nNside;
        }
    }
}

TEST(PixelOrder, ReordersANestedMapIntoRings)
{
    // healpy.ring2nest(2, arange(48)): the NESTED pixel at each RING place.
    const std::vector<int64_t> aRingToNest = {3,  7,  11, 15, 2,  1,  6,  5,  10, 9,  14, 13, 19, 0,  23, 4,
                                              27, 8,  31, 12, 17, 22, 21, 26, 25, 30, 29, 18, 16, 35, 20, 39,
                                              24, 43, 28, 47, 34, 33, 38, 37, 42, 41, 46, 45, 32, 36, 40, 44};
    std::vector<double> aNested(48);
    for (size_t i = 0; i < aNested.size(); ++i)
        aNested[i] = 0.5 + static_cast<double>(i);
    std::vector<double> aRing(48);
    NestedToRingMap(2, aNested.data(), aRing.data());
    for (size_t i = 0; i < aRing.size(); ++i)
        EXPECT_EQ(aRing[i], 0.5 + static_cast<double>(aRingToNest[i])) << i;
}

TEST(PixelOrder, NestedNeedsAPowerOfTwo)
{
    EXPECT_TRUE(IsNestedNside(1));
    EXPECT_TRUE(IsNestedNside(kMaxNside));
    EXPECT_FALSE(IsNestedNside(0));
    EXPECT_FALSE(IsNestedNside(3));
    EXPECT_FALSE(IsNestedNside(2 * kMaxNside));
}

}  // namespace
