#include "sht/symmetry_zeros.h"

#include <gtest/gtest.h>

#include "sht/build_limits.h"

namespace {

// A grid of no samples (a count of 0 or below, as the command line may ask) has no zeros to
// mark, as CountGrid has no vertices for it; a negative count times a positive one is no size.
TEST(SymmetryZerosTest, GridsWithoutSamplesHaveNone)
{
    const Field field = {{Term{3, 2, 1.0}}, Convention{}};
    for (const auto& [nRows, nColumns] : {std::pair{-1, 240}, {480, -1}, {-1, -1}, {0, 5}, {5, 0}})
    {
        EXPECT_EQ(SymmetryZeros(field, nRows, nColumns).size(),
                  static_cast<size_t>(CountGrid(nRows, nColumns).nVertices))
            << nRows << " x " << nColumns;
    }
    // Y(3, 2) vanishes at both poles: every sample of the first row of a 3 x 4 grid.
    const std::vector<unsigned char> aZeros = SymmetryZeros(field, 3, 4);
    ASSERT_EQ(aZeros.size(), 12u);
    EXPECT_EQ(aZeros[0] + aZeros[1] + aZeros[2] + aZeros[3], 4);
}

}  // namespace
