#include "infra/large_blocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(LargeBlocks, AFreedBlockIsTakenAgainOnlyForItsOwnSize)
{
    const size_t nBytes = 2 * kLargePageBytes;
    void* p = TakeLargeBlock(nBytes);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % kLargePageBytes, 0u);
    std::memset(p, 1, nBytes);
    void* pOther = TakeLargeBlock(nBytes);
    EXPECT_NE(pOther, p);
    ReturnLargeBlock(p, nBytes);
    void* pSmaller = TakeLargeBlock(kLargePageBytes);
    EXPECT_NE(pSmaller, p);
    EXPECT_EQ(TakeLargeBlock(nBytes), p);
    ReturnLargeBlock(pSmaller, kLargePageBytes);
    ReturnLargeBlock(pOther, nBytes);
    ReturnLargeBlock(p, nBytes);
}
