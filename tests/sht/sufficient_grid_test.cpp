#include <gtest/gtest.h>

#include "sht/field.h"

namespace {

// Four samples to a period: a degree L has L half-periods over theta's pi, so 2L + 1 rows from
// pole to pole; an order M has M periods around, so 4M columns.
TEST(SufficientGrid, IsTwoLPlusOneRowsAndFourMColumns)
{
    const Convention convention{};
    const struct
    {
        Field field;
        int64_t nRows, nColumns;
    } aCases[] = {
        {SingleHarmonic(0, 0), 1, 1},
        {SingleHarmonic(3, 0), 7, 1},
        {SingleHarmonic(5, -2), 11, 8},
        {Field{{{1, 1, 1.0}, {7, -3, 0.5}, {4, 4, 2.0}}, convention}, 15, 16},
        // Terms that add nothing anywhere ask for nothing.
        {Field{{{9, 9, 0.0}, {3, 5, 1.0}, {2, -1, 1.0}}, convention}, 5, 4},
        {Field{{}, convention}, 1, 1},
    };
    for (const auto& c : aCases)
    {
        const GridSize grid = SufficientGrid(c.field);
        EXPECT_EQ(grid.nRows, c.nRows);
        EXPECT_EQ(grid.nColumns, c.nColumns);
    }
}

}  // namespace
