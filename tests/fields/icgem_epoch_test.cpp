// Time-variable ICGEM models at epochs, against their sums written out by hand; epochs and
// times as users and files write them; the header's constants.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "fields/coefficient_file.h"
#include "fields/model_time.h"
#include "file_folder_test.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

class IcgemEpochTest : public CFileFolderTest
{
};

// The coefficient of Y(l, m) among the terms (0 when absent).
double Coefficient(const CoefficientFile& file, int32_t l, int32_t m)
{
    for (const Term& term : file.aTerms)
        if (term.l == l && term.m == m)
            return term.c;
    return 0.0;
}

double At(const std::string& strEpoch)
{
    const std::optional<double> dDays = ParseEpoch(strEpoch);
    EXPECT_TRUE(dDays) << strEpoch;
    return dDays.value_or(0.0);
}

std::string ErrorAt(const std::string& strPath, const std::string& strEpoch)
{
    try
    {
        ReadCoefficientFile(strPath, -1, At(strEpoch));
    }
    catch (const std::runtime_error& error)
    {
        return error.what();
    }
    return "read without an error";
}

TEST(ModelTimeTest, ReadsDatesDecimalYearsAndIcgemTimes)
{
    EXPECT_EQ(ParseEpoch("2000-01-01"), 0.0);
    EXPECT_EQ(ParseEpoch("2000-03-01"), 60.0);  // 2000 is a leap year
    EXPECT_EQ(ParseEpoch("1999-12-31"), -1.0);
    EXPECT_EQ(ParseEpoch("2100-03-01"), 36584.0);  // 2100 is not: 100 years of 36524 days, then 59 + 1
    EXPECT_EQ(ParseEpoch("2004.5"), 1461.0 + 183.0);
    EXPECT_EQ(ParseEpoch("2005"), 1827.0);
    EXPECT_EQ(ParseIcgemTime("20050101.1230"), 1827.0 + 0.5 + 30.0 / 1440.0);
    EXPECT_EQ(ParseIcgemTime("20050101"), 1827.0);
    EXPECT_EQ(ParseIcgemTime("20050101.06"), 1827.25);
    for (const char* pszBad : {"2005-13-01", "2005-02-29", "2005-1-1", "2005.", ".5", "-2005", "1e3",
                               "0000-01-01", "2005 ", "", "20050101"})
        EXPECT_FALSE(ParseEpoch(pszBad)) << pszBad;
    for (const char* pszBad :
         {"20051301.0000", "20050101.2400", "20050101.0060", "2005010.0000", "20050101.00000", "2005-01-01"})
        EXPECT_FALSE(ParseIcgemTime(pszBad)) << pszBad;
}

TEST_F(IcgemEpochTest, Icgem10AddsTrendAndPeriodicTermsFromTheGfctEpoch)
{
    const std::string strPath = Write("v1.gfc",
                                      "begin_of_head\n"
                                      "earth_gravity_constant 3.986004415E+14\n"
                                      "radius 6378136.3\n"
                                      "errors formal\n"
                                      "end_of_head\n"
                                      "gfc   0 0  1.0    0.0   0 0\n"
                                      "gfct  2 0 -4.0e-4 0.0   0 0 20050101.0000\n"
                                      "trnd  2 0  2.0e-9 0.0   0 0\n"
                                      "acos  2 0  3.0e-9 0.0   0 0 1.0\n"
                                      "asin  2 0  4.0e-9 0.0   0 0 0.5\n"
                                      "acos  3 1  1.0e-9 -5.0e-9 0 0 1.0\n"
                                      "gfct  3 1  2.0e-6 7.0e-7 0 0 20050101.1200\n");
    struct Case
    {
        const char* pszEpoch;
        double dDays20;  // days from 2005-01-01 00:00, counted on the calendar
    };
    // 2006-07-02 is 365 + 181 + 1 days on; 2004.5 is 2004-07-02, 183 days before.
    for (const Case& c : {Case{"2005-01-01", 0.0}, Case{"2006-07-02", 547.0}, Case{"2004.5", -183.0}})
    {
        const CoefficientFile file = ReadCoefficientFile(strPath, -1, At(c.pszEpoch));
        const double t = c.dDays20 / 365.25;
        const double t31 = (c.dDays20 - 0.5) / 365.25;  // C(3, 1) is given at noon
        EXPECT_NEAR(
            Coefficient(file, 2, 0),
            -4.0e-4 + 2.0e-9 * t + 3.0e-9 * std::cos(kTwoPi * t) + 4.0e-9 * std::sin(kTwoPi * t / 0.5), 1e-20)
            << c.pszEpoch;
        EXPECT_NEAR(Coefficient(file, 3, 1), 2.0e-6 + 1.0e-9 * std::cos(kTwoPi * t31), 1e-20) << c.pszEpoch;
        EXPECT_NEAR(Coefficient(file, 3, -1), 7.0e-7 - 5.0e-9 * std::cos(kTwoPi * t31), 1e-20) << c.pszEpoch;
        EXPECT_EQ(Coefficient(file, 0, 0), 1.0);
        EXPECT_TRUE(file.aWarnings.empty());
        EXPECT_TRUE(file.bTimeVariable);
        EXPECT_EQ(file.header.dGm, 3.986004415e14);
        EXPECT_EQ(file.header.dRadius, 6378136.3);
    }
}

TEST_F(IcgemEpochTest, Icgem20TakesTheLinesWhoseIntervalHoldsTheEpoch)
{
    const std::string strPath = Write("v2.gfc",
                                      "format icgem2.0\n"
                                      "end_of_head\n"
                                      "gfc   0 0  1.0  0.0\n"
                                      "gfct  2 0  5.0e-4 0.0     0 0 20020101.0000 20030101.0000\n"
                                      "trnd  2 0  1.0e-9 0.0     0 0 20020101.0000 20030101.0000\n"
                                      "acos  2 0  2.0e-9 0.0     0 0 20020101.0000 20040101.0000 1.0\n"
                                      "gfct  2 0  6.0e-4 0.0     0 0 20030101.0000 20040101.0000\n"
                                      "trnd  2 0 -3.0e-9 0.0     0 0 20030101.0000 20040101.0000\n"
                                      "gfct  2 2  1.0e-6 2.0e-6  0 0 20020101.0000 20040101.0000\n"
                                      "asin  2 2  4.0e-9 -6.0e-9 0 0 20030101.0000 20040101.0000 0.5\n");
    // From 2002-01-01: 2002-04-01 is 90 days on, 2003-01-01 365, 2003-07-01 546 (181 from 2003).
    const CoefficientFile april = ReadCoefficientFile(strPath, -1, At("2002-04-01"));
    EXPECT_NEAR(Coefficient(april, 2, 0),
                5.0e-4 + 1.0e-9 * 90 / 365.25 + 2.0e-9 * std::cos(kTwoPi * 90 / 365.25), 1e-20);
    EXPECT_EQ(Coefficient(april, 2, 2), 1.0e-6);
    EXPECT_EQ(Coefficient(april, 2, -2), 2.0e-6);

    const CoefficientFile turn = ReadCoefficientFile(strPath, -1, At("2003"));
    EXPECT_NEAR(Coefficient(turn, 2, 0), 6.0e-4 + 2.0e-9 * std::cos(kTwoPi * 365 / 365.25), 1e-20);

    const CoefficientFile july = ReadCoefficientFile(strPath, -1, At("2003-07-01"));
    EXPECT_NEAR(Coefficient(july, 2, 0),
                6.0e-4 - 3.0e-9 * 181 / 365.25 + 2.0e-9 * std::cos(kTwoPi * 546 / 365.25), 1e-20);
    EXPECT_NEAR(Coefficient(july, 2, 2), 1.0e-6 + 4.0e-9 * std::sin(kTwoPi * 181 / 365.25 / 0.5), 1e-20);
    EXPECT_NEAR(Coefficient(july, 2, -2), 2.0e-6 - 6.0e-9 * std::sin(kTwoPi * 181 / 365.25 / 0.5), 1e-20);

    // Without an epoch: each coefficient's earliest gfct, the rest counted.
    const CoefficientFile still = ReadCoefficientFile(strPath, -1);
    EXPECT_EQ(Coefficient(still, 2, 0), 5.0e-4);
    EXPECT_EQ(still.aWarnings,
              std::vector<std::string>{"time-variable terms left out (1 'gfct', 2 'trnd', 1 'acos', "
                                       "1 'asin'): the field is the static part, 'gfc' and each "
                                       "coefficient's earliest 'gfct' as written"});

    EXPECT_EQ(ErrorAt(strPath, "2004-01-01"),
              "cannot read '" + strPath +
                  "' line 4: the epoch is outside every interval of C(2, 0)'s "
                  "'gfct' lines");
    EXPECT_EQ(ErrorAt(strPath, "1999.9"), "cannot read '" + strPath +
                                              "' line 4: the epoch is outside every interval of C(2, 0)'s "
                                              "'gfct' lines");
}

TEST_F(IcgemEpochTest, RefusesBadTimesHeadersAndCoefficientsWithoutOneGfct)
{
    struct Case
    {
        std::string strBytes;
        std::string strFault;
    };
    const std::string strV2 = "format icgem2.0\nend_of_head\n";
    const std::vector<Case> aCases = {
        {"format icgem3.0\nend_of_head\ngfc 0 0 1 0\n",
         " line 1: 'format' is 'icgem3.0', neither icgem1.0 nor icgem2.0"},
        {"radius 6.4e6km\nend_of_head\ngfc 0 0 1 0\n",
         " line 1: 'radius' is '6.4e6km', not a positive number"},
        {"earth_gravity_constant -1\nend_of_head\ngfc 0 0 1 0\n",
         " line 1: 'earth_gravity_constant' is '-1', not a positive number"},
        {"end_of_head\ngfct 2 0 1 0 0 0 20051301.0000\n",
         " line 2: t0 is '20051301.0000', not a time yyyymmdd.hhmm"},
        {strV2 + "gfct 2 0 1 0 20050101\n",
         " line 3: 'gfct' needs degree, order, C, S, t0 and t1, found 5 numbers"},
        {strV2 + "gfct 2 0 1 0 20050101 20040101\n",
         " line 3: the interval ends at t1 before it begins at t0"},
        {strV2 + "acos 2 0 1 0 20040101 20050101 0\n",
         " line 3: the period is '0', not a positive number of years"},
        {strV2 + "gfct 2 0 1 0 20040101 20060101\ngfct 2 0 1 0 20050101 20070101\n",
         " line 4: C(2, 0) has two 'gfct' lines that hold at the epoch, the other on line 3"},
        {strV2 + "gfc 2 1 1 1\ngfct 2 1 1 0 20040101 20060101\n",
         " line 4: S(2, 1) is given again, first on line 3"},
        {"end_of_head\ngfc 0 0 1 0\ntrnd 2 1 1 1\n",
         " line 3: 'trnd' of C(2, 1) and S(2, 1), which has no 'gfct' line"},
    };
    for (size_t i = 0; i < aCases.size(); ++i)
    {
        const std::string strPath = Write("bad" + std::to_string(i) + ".gfc", aCases[i].strBytes);
        EXPECT_EQ(ErrorAt(strPath, "2005-06-01"), "cannot read '" + strPath + "'" + aCases[i].strFault);
    }
}

TEST_F(IcgemEpochTest, ShtoolsAndDovHeadersGivePyshtoolsConstants)
{
    const CoefficientFile gravity = ReadCoefficientFile(
        Write("g.sh",
              "6.3781363000000000e+06, 3.9860044150000000e+14, 7.2921150000000000e-05, 1\n"
              "0, 0, 1.0, 0.0\n1, 0, 0.0, 0.0\n1, 1, 0.0, 0.0\n"),
        -1);
    EXPECT_EQ(gravity.header.dRadius, 6378136.3);
    EXPECT_EQ(gravity.header.dGm, 3.986004415e14);
    EXPECT_FALSE(gravity.bTimeVariable);
    const CoefficientFile magnetic = ReadCoefficientFile(
        Write("m.dov", "IGRF-like model\n6.3712000000000000e+06, 1\n1 0 -29404.8\n1 1 -1450.9\n"), -1);
    EXPECT_EQ(magnetic.header.dRadius, 6371200.0);
    EXPECT_TRUE(std::isnan(magnetic.header.dGm));
}

}  // namespace
