// The World Magnetic Model 2025 at the report's test points: WMM2025.COF read by the .cof reader
// and taken at geodetic places on WGS84, against the table of test values of the WMM2025
// technical report (NOAA NCEI and BGS, "The US/UK World Magnetic Model for 2025-2030", its test
// values, also distributed as WMM2025_TEST_VALUES.txt): X, Y, Z, H, F, I, D and their secular
// variation at 2025.0 and 2027.5, heights 0 and 100 km above the ellipsoid, to the printed digits
// (half a unit of the last: 0.05 nT, 0.005 degrees). docs/WMM2025.COF is the model's published
// coefficient file (NOAA NCEI, WMM2025COF, public domain), as distributed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fields/coefficient_file.h"
#include "fields/model_time.h"
#include "geodesy/geodetic_quantity.h"

namespace {

struct TestValue
{
    const char* pszDate;
    double dHeightKm, dLatitude, dLongitude;
    double x, y, z, h, f, i, d;
    double dx, dy, dz, dh, df, di, dd;
};

// Date, height (km), latitude, longitude, X, Y, Z, H, F (nT), I, D (deg), then their yearly rates
// (nT/yr and deg/yr), as the table prints them (its grid variation left out).
constexpr TestValue kTable[] = {
    {"2025.0", 0, 80, 0, 6521.6, 145.9, 54791.5, 6523.2, 55178.5, 83.21, 1.28, -8.3, 59.5, 31.1, -7.0, 30.1,
     0.01, 0.52},
    {"2025.0", 0, 0, 120, 39677.8, -109.6, -10580.2, 39677.9, 41064.3, -14.93, -0.16, 9.5, -23.1, 79.4, 9.6,
     -11.2, 0.11, -0.03},
    {"2025.0", 0, -80, 240, 6117.5, 15751.9, -52022.5, 16898.1, 54698.2, -72.00, 68.78, 33.3, -8.6, 95.5, 4.0,
     -89.6, 0.03, -0.12},
    {"2025.0", 100, 80, 0, 6216.0, 92.4, 52598.8, 6216.7, 52964.9, 83.26, 0.85, -7.7, 56.5, 28.7, -6.9, 27.6,
     0.01, 0.52},
    {"2025.0", 100, 0, 120, 37688.6, -96.2, -10152.1, 37688.7, 39032.1, -15.08, -0.15, 9.2, -21.0, 72.9, 9.2,
     -10.0, 0.11, -0.03},
    {"2025.0", 100, -80, 240, 5907.6, 14780.3, -49540.7, 15917.1, 52035.0, -72.19, 68.21, 30.6, -8.0, 89.2,
     3.9, -83.8, 0.03, -0.11},
    {"2027.5", 0, 80, 0, 6500.8, 294.5, 54869.4, 6507.5, 55253.9, 83.24, 2.59, -8.3, 59.5, 31.1, -5.6, 30.3,
     0.01, 0.53},
    {"2027.5", 0, 0, 120, 39701.6, -167.4, -10381.8, 39702.0, 41036.9, -14.65, -0.24, 9.5, -23.1, 79.4, 9.6,
     -10.7, 0.11, -0.03},
    {"2027.5", 0, -80, 240, 6200.7, 15730.3, -51783.7, 16908.3, 54474.2, -71.92, 68.49, 33.3, -8.6, 95.5, 4.2,
     -89.5, 0.04, -0.12},
    {"2027.5", 100, 80, 0, 6196.7, 233.8, 52670.5, 6201.1, 53034.3, 83.29, 2.16, -7.7, 56.5, 28.7, -5.6, 27.8,
     0.01, 0.52},
    {"2027.5", 100, 0, 120, 37711.5, -148.7, -9969.8, 37711.8, 39007.4, -14.81, -0.23, 9.2, -21.0, 72.9, 9.3,
     -9.7, 0.11, -0.03},
    {"2027.5", 100, -80, 240, 5984.0, 14760.1, -49317.7, 15927.0, 51825.7, -72.10, 67.93, 30.6, -8.0, 89.2,
     4.0, -83.7, 0.03, -0.11},
};

TEST(WmmTestValuesTest, MatchTheReportsTableToItsPrintedDigits)
{
    const Convention schmidt{Normalization::kSchmidt, false, SineSign::kStandard};
    for (const TestValue& row : kTable)
    {
        const CoefficientFile file =
            ReadCoefficientFile(LOBARA_GEODESY_DATA "/WMM2025.COF", -1, ParseEpoch(row.pszDate));
        ASSERT_TRUE(file.rates);
        EXPECT_TRUE(file.aWarnings.empty());
        const double r0 = file.header.dRadius;
        const GeodeticModel model{PotentialModel{Field{file.aTerms, schmidt}, r0, r0},
                                  PotentialModel{Field{*file.rates, schmidt}, r0, r0},
                                  FindReferenceEllipsoid("WGS84")};
        const GeodeticPlace place{row.dLatitude, row.dLongitude, row.dHeightKm * 1000.0};
        const auto at = [&](const char* pszName, bool bRate) {
            return QuantityAtPlaces(model, *FindQuantity(pszName), bRate, {place})[0];
        };
        const std::string strWhere = std::string(row.pszDate) + " " + std::to_string(row.dHeightKm) + " km " +
                                     std::to_string(row.dLatitude) + ", " + std::to_string(row.dLongitude);
        const double nT = 0.05 + 1e-9, degrees = 0.005 + 1e-9;
        EXPECT_NEAR(at("X", false), row.x, nT) << strWhere;
        EXPECT_NEAR(at("Y", false), row.y, nT) << strWhere;
        EXPECT_NEAR(at("Z", false), row.z, nT) << strWhere;
        EXPECT_NEAR(at("H", false), row.h, nT) << strWhere;
        EXPECT_NEAR(at("F", false), row.f, nT) << strWhere;
        EXPECT_NEAR(at("I", false), row.i, degrees) << strWhere;
        EXPECT_NEAR(at("D", false), row.d, degrees) << strWhere;
        EXPECT_NEAR(at("X", true), row.dx, nT) << strWhere;
        EXPECT_NEAR(at("Y", true), row.dy, nT) << strWhere;
        EXPECT_NEAR(at("Z", true), row.dz, nT) << strWhere;
        EXPECT_NEAR(at("H", true), row.dh, nT) << strWhere;
        EXPECT_NEAR(at("F", true), row.df, nT) << strWhere;
        EXPECT_NEAR(at("I", true), row.di, degrees) << strWhere;
        EXPECT_NEAR(at("D", true), row.dd, degrees) << strWhere;
    }
}

}  // namespace
