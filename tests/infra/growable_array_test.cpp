#include "infra/growable_array.h"

#include <gtest/gtest.h>

TEST(GrowableArray, GrowingZeroFillsEvenOverOldContents)
{
    GrowableArray<double> a;
    a.SetSizeForOverwrite(8);
    for (int32_t i = 0; i < 8; ++i)
        a[i] = 7.0 + i;
    // Shrinking keeps the storage with its old values; growing again must not expose them.
    a.SetSize(3);
    a.SetSize(8);
    EXPECT_EQ(a[0], 7.0);
    EXPECT_EQ(a[2], 9.0);
    for (int32_t i = 3; i < 8; ++i)
        EXPECT_EQ(a[i], 0.0) << i;
}

TEST(GrowableArray, OverwriteResizeKeepsTheExistingElements)
{
    GrowableArray<int32_t> a;
    a.SetSize(2);
    a[0] = 4;
    a[1] = 5;
    a.SetSizeForOverwrite(1000);
    EXPECT_EQ(a.GetSize(), 1000);
    EXPECT_EQ(a[0], 4);
    EXPECT_EQ(a[1], 5);
}

TEST(GrowableArray, SizeOfZeroOrLessReleasesTheStorage)
{
    GrowableArray<float> a;
    a.SetSize(10);
    a.SetSizeForOverwrite(-1);
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetData(), nullptr);
    a.SetSize(4);
    a.SetSize(0);
    EXPECT_EQ(a.GetData(), nullptr);
}
