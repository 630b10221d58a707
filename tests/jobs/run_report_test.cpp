#include "jobs/run_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Job GridJob(const Field& field, int32_t nRows, int32_t nColumns)
{
    Job job;
    job.field = field;
    job.request.Set(opt::kTheta, nRows);
    job.request.Set(opt::kPhi, nColumns);
    job.request.Set(opt::kStats, true);  // a run that samples the grid
    return job;
}

bool WarnsOfTheGrid(const Job& job)
{
    for (const std::string& strWarning : FieldWarnings(job))
        if (strWarning.find("too coarse") != std::string::npos)
            return true;
    return false;
}

// The fields and the grids that just hold them: 2L + 1 rows and 4M columns for degree L and
// order M, counted by hand.
struct JustEnough
{
    Field field;
    int32_t nRows, nColumns;
};
const JustEnough kJustEnough[] = {
    {SingleHarmonic(2, 1), 5, 4},
    {SingleHarmonic(6, -6), 13, 24},
    {SingleHarmonic(9, 0), 19, 1},
    {Field{{{3, 1, 1.0}, {5, -2, 0.1}, {1, 1, 1.0}}, Convention{}}, 11, 8},
};

TEST(FieldWarnings, ExactlyEnoughSamplesDoNotWarn)
{
    for (const JustEnough& c : kJustEnough)
    {
        EXPECT_FALSE(WarnsOfTheGrid(GridJob(c.field, c.nRows, c.nColumns))) << c.nRows << "x" << c.nColumns;
        EXPECT_FALSE(WarnsOfTheGrid(GridJob(c.field, c.nRows + 1, c.nColumns + 1)));
    }
}

TEST(FieldWarnings, OneRowFewerWarns)
{
    for (const JustEnough& c : kJustEnough)
        EXPECT_TRUE(WarnsOfTheGrid(GridJob(c.field, c.nRows - 1, c.nColumns)))
            << c.nRows - 1 << "x" << c.nColumns;
}

TEST(FieldWarnings, OneColumnFewerWarns)
{
    for (const JustEnough& c : kJustEnough)
    {
        if (c.nColumns > 1)
        {
            EXPECT_TRUE(WarnsOfTheGrid(GridJob(c.field, c.nRows, c.nColumns - 1)))
                << c.nRows << "x" << c.nColumns - 1;
        }
    }
}

// Values alone warn only below the grid whose samples determine the field, L + 2 rows and 2L + 1
// columns for degree L: 302 x 600 holds degree 299 (it warned, as a surface's grid would).
TEST(FieldWarnings, ValuesAloneWarnOnlyBelowTheAnalysisLimit)
{
    Field field{{{299, 5, 1.0}, {3, -2, 0.5}}, Convention{}};
    const auto valuesJob = [&](int32_t nRows, int32_t nColumns) {
        Job job = GridJob(field, nRows, nColumns);
        job.request.Clear(opt::kStats);
        job.request.Set<std::string>(opt::kValues, "values.npy");
        return job;
    };
    EXPECT_FALSE(WarnsOfTheGrid(valuesJob(302, 600)));
    EXPECT_FALSE(WarnsOfTheGrid(valuesJob(301, 599)));
    EXPECT_EQ(
        FieldWarnings(valuesJob(300, 599)),
        std::vector<std::string>{"the grid is too coarse for the field (its samples do not determine it): it "
                                 "needs at least --theta 301 --phi 599"});
    EXPECT_TRUE(WarnsOfTheGrid(valuesJob(301, 598)));
    // With a surface as well, the surface's grid.
    Job both = valuesJob(302, 600);
    both.request.Set(opt::kStats, true);
    EXPECT_TRUE(WarnsOfTheGrid(both));
}

TEST(FieldWarnings, NameTheGridNeededAndTheHarmonicThatIsZero)
{
    EXPECT_EQ(FieldWarnings(GridJob(SingleHarmonic(6, -6), 12, 30)),
              std::vector<std::string>{
                  "the grid is too coarse for the field (fewer than four samples a period): it "
                  "needs at least --theta 13 --phi 24"});
    Job zero = GridJob(SingleHarmonic(2, 3), 5, 12);
    zero.bHarmonic = true;
    zero.request.Set(opt::kL, 2);
    zero.request.Set(opt::kM, 3);
    EXPECT_EQ(FieldWarnings(zero),
              std::vector<std::string>{"Y(2, 3) is 0 everywhere (it needs 0 <= |m| <= l)"});
}

}  // namespace
