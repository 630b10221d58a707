// Grids recognised from latitudes and longitudes in degrees as files hold them: the latitudes
// written here from each grid's formula (Gaussian ones from GSL's nodes), in either order and
// rounded to float32, longitudes from 0 and from -180; anything else refused in one line.
#include "sht/grid_coordinates.h"

#include <gsl/gsl_integration.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

const double kPiHere = std::acos(-1.0);

std::vector<double> Latitudes(SampleGrid grid, int32_t nT)
{
    std::vector<double> a(static_cast<size_t>(nT));
    if (grid == SampleGrid::kGl)
    {
        gsl_integration_glfixed_table* pTable = gsl_integration_glfixed_table_alloc(static_cast<size_t>(nT));
        for (int32_t i = 0; i < nT; ++i)
        {
            double x = 0.0, w = 0.0;
            gsl_integration_glfixed_point(-1.0, 1.0, static_cast<size_t>(i), &x, &w, pTable);
            a[static_cast<size_t>(i)] = std::asin(x) * 180.0 / kPiHere;  // from the south
        }
        gsl_integration_glfixed_table_free(pTable);
        std::reverse(a.begin(), a.end());
        return a;
    }
    for (int32_t i = 0; i < nT; ++i)
        a[static_cast<size_t>(i)] = grid == SampleGrid::kLobara  ? 90.0 - 180.0 * i / (nT - 1)
                                    : grid == SampleGrid::kCells ? 90.0 - 180.0 * (i + 0.5) / nT
                                                                 : 90.0 - 180.0 * i / nT;
    return a;
}

std::vector<double> Longitudes(int32_t nP, double dFirst)
{
    std::vector<double> a(static_cast<size_t>(nP));
    for (int32_t j = 0; j < nP; ++j)
        a[static_cast<size_t>(j)] = dFirst + 360.0 * j / nP;
    return a;
}

std::vector<double> AsFloat(std::vector<double> a)
{
    for (double& d : a)
        d = static_cast<float>(d);
    return a;
}

TEST(GridCoordinatesTest, EachGridInEitherOrderFromZeroOrMinus180)
{
    for (const SampleGrid grid : {SampleGrid::kLobara, SampleGrid::kCells, SampleGrid::kDh, SampleGrid::kGl})
        for (const bool bSouthFirst : {false, true})
            for (const bool bFloat : {false, true})
            {
                const int32_t nT = 90, nP = 180;
                std::vector<double> aLatitude = Latitudes(grid, nT);
                if (bSouthFirst)
                    std::reverse(aLatitude.begin(), aLatitude.end());
                GridCoordinates found;
                const std::vector<double> aLongitude = Longitudes(nP, bSouthFirst ? -180.0 : 0.0);
                ASSERT_EQ(RecogniseGrid(bFloat ? AsFloat(aLatitude) : aLatitude,
                                        bFloat ? AsFloat(aLongitude) : aLongitude, found),
                          "")
                    << SampleGridName(grid);
                EXPECT_EQ(found.grid, grid);
                EXPECT_EQ(found.bSouthFirst, bSouthFirst);
                // Longitude -180 is the grid's column nP / 2.
                EXPECT_EQ(found.nColumnShift, bSouthFirst ? nP / 2 : 0);
            }
}

TEST(GridCoordinatesTest, TheWrittenLatitudesAreTheFormulas)
{
    for (const SampleGrid grid : {SampleGrid::kLobara, SampleGrid::kCells, SampleGrid::kDh, SampleGrid::kGl})
    {
        const std::vector<double> aExpected = Latitudes(grid, 33);
        const std::vector<double> aWritten = SampleGridLatitudes(grid, 33);
        for (size_t i = 0; i < aExpected.size(); ++i)
            EXPECT_NEAR(aWritten[i], aExpected[i], 1e-12) << SampleGridName(grid) << " ring " << i;
    }
    EXPECT_EQ(SampleGridLatitudes(SampleGrid::kLobara, 5).back(), -90.0);
    EXPECT_EQ(SampleGridLongitudes(8)[3], 135.0);
}

TEST(GridCoordinatesTest, OtherCoordinatesAreRefusedInOneLine)
{
    GridCoordinates found;
    std::vector<double> aGap = Latitudes(SampleGrid::kLobara, 19);
    aGap[7] += 3.0;
    const auto refusal = [&](const std::vector<double>& aLat, const std::vector<double>& aLon) {
        const std::string strWhy = RecogniseGrid(aLat, aLon, found);
        EXPECT_EQ(strWhy.find('\n'), std::string::npos);
        return strWhy;
    };
    EXPECT_NE(refusal(aGap, Longitudes(36, 0.0)).find("latitudes (19 from 90 to -90"), std::string::npos);
    EXPECT_NE(refusal(Latitudes(SampleGrid::kLobara, 19), Longitudes(36, 5.0)).find("longitudes (36 from 5"),
              std::string::npos);
    // Half a circle, and -180 on an odd count of longitudes, are no grid.
    EXPECT_NE(refusal(Latitudes(SampleGrid::kLobara, 19), Longitudes(35, -180.0)), "");
    std::vector<double> aHalf = Longitudes(36, 0.0);
    for (double& d : aHalf)
        d /= 2.0;
    EXPECT_NE(refusal(Latitudes(SampleGrid::kLobara, 19), aHalf), "");
    EXPECT_NE(refusal({}, Longitudes(36, 0.0)).find("empty or not finite"), std::string::npos);
    EXPECT_NE(refusal({90.0, NAN, -90.0}, Longitudes(36, 0.0)).find("empty or not finite"),
              std::string::npos);
    EXPECT_NE(refusal(Latitudes(SampleGrid::kLobara, 19), {1e300, 2e300}), "");
    // Driscoll-Healy latitudes on a count of longitudes other than twice theirs.
    EXPECT_NE(refusal(Latitudes(SampleGrid::kDh, 18), Longitudes(35, 0.0)).find("Driscoll-Healy"),
              std::string::npos);
}

}  // namespace
