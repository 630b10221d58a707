// The World Magnetic Model's .cof files and IGRF's table, written here with numbers whose field at
// an epoch is worked out by hand: g + gdot (t - t0), the linear interpolation between two of the
// table's epochs and its slope, the secular variation's column after the last; their refusals,
// one line each naming the file and line.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "fields/coefficient_file.h"
#include "fields/model_time.h"
#include "file_folder_test.h"

namespace {

using TermTuple = std::tuple<int32_t, int32_t, double>;

std::vector<TermTuple> Tuples(const std::vector<Term>& aTerms)
{
    std::vector<TermTuple> aTuples;
    for (const Term& term : aTerms)
        aTuples.emplace_back(term.l, term.m, term.c);
    return aTuples;
}

class MagneticFilesTest : public CFileFolderTest
{
protected:
    std::string ErrorOf(const std::string& strName, const std::string& strText,
                        const char* pszEpoch = nullptr)
    {
        try
        {
            ReadCoefficientFile(Write(strName, strText), -1, pszEpoch ? ParseEpoch(pszEpoch) : std::nullopt);
        }
        catch (const std::runtime_error& error)
        {
            const std::string strWhat = error.what();
            const size_t nQuote = strWhat.find(strName + "'");
            return nQuote == std::string::npos ? strWhat : strWhat.substr(nQuote + strName.size() + 1);
        }
        return "read without an error";
    }
};

constexpr const char* kWmm =
    "    2020.0            WMM-TEST        12/10/2019\n"
    "  1  0  -29404.5       0.0        6.7        0.0\n"
    "  1  1   -1450.7    4652.9        7.7      -25.1\n"
    "  2  2    1676.8    -734.8       -2.2      -23.9\n"
    "999999999999999999999999999999999999999999999999\n"
    "999999999999999999999999999999999999999999999999\n";

TEST_F(MagneticFilesTest, WmmFileAtItsEpochAndAnother)
{
    const std::string strPath = Write("model.COF", kWmm);
    const CoefficientFile own = ReadCoefficientFile(strPath, -1);
    EXPECT_EQ(Tuples(own.aTerms),
              (std::vector<TermTuple>{
                  {1, -1, 4652.9}, {1, 0, -29404.5}, {1, 1, -1450.7}, {2, -2, -734.8}, {2, 2, 1676.8}}));
    ASSERT_TRUE(own.rates);
    EXPECT_EQ(
        Tuples(*own.rates),
        (std::vector<TermTuple>{{1, -1, -25.1}, {1, 0, 6.7}, {1, 1, 7.7}, {2, -2, -23.9}, {2, 2, -2.2}}));
    EXPECT_EQ(own.normalization, Normalization::kSchmidt);
    EXPECT_TRUE(own.bNormalizationFromFile);
    EXPECT_EQ(own.header.dRadius, 6371200.0);
    EXPECT_EQ(own.header.strModelName, "WMM-TEST");
    EXPECT_TRUE(own.aWarnings.empty());

    const CoefficientFile later = ReadCoefficientFile(strPath, 1, ParseEpoch("2022.5"));
    EXPECT_EQ(Tuples(later.aTerms),
              (std::vector<TermTuple>{
                  {1, -1, 4652.9 - 25.1 * 2.5}, {1, 0, -29404.5 + 6.7 * 2.5}, {1, 1, -1450.7 + 7.7 * 2.5}}));
    const CoefficientFile outside = ReadCoefficientFile(strPath, -1, ParseEpoch("2026.5"));
    ASSERT_EQ(outside.aWarnings.size(), 1u);
    EXPECT_EQ(outside.aWarnings[0],
              "the epoch 2026.5 is outside the model's years 2020 to 2025: its field is carried there by its "
              "secular variation");
}

TEST_F(MagneticFilesTest, WmmFileRefusals)
{
    const std::string strRows = "  1  0  -29404.5       0.0        6.7        0.0\n";
    EXPECT_EQ(ErrorOf("a.cof", "2020.0\n"), " line 1: the first line needs the model's epoch and name");
    EXPECT_EQ(ErrorOf("a.cof", "year WMM\n"), " line 1: the epoch is 'year', not a number");
    EXPECT_EQ(ErrorOf("a.cof", "0.5 WMM\n"), " line 1: the epoch '0.5' is not a year from 1 to 9999");
    EXPECT_EQ(ErrorOf("a.cof", "2020.0 WMM\n" + strRows),
              ": no line of nines ends the rows: the file may be cut short");
    EXPECT_EQ(ErrorOf("a.cof", "2020.0 WMM\n  1 0 1.0 0.0 0.1\n9999\n"),
              " line 2: a row needs n, m, g, h and their rates gdot and hdot, found 5 fields");
    EXPECT_EQ(ErrorOf("a.cof", "2020.0 WMM\n  1 2 1.0 0.0 0.1 0.0\n9999\n"),
              " line 2: order 2 does not exist at degree 1");
    EXPECT_EQ(ErrorOf("a.cof", "2020.0 WMM\n  0 0 1.0 0.0 0.1 0.0\n9999\n"),
              " line 2: degree 0 has no Gauss coefficient: the rows begin at n = 1");
    EXPECT_EQ(ErrorOf("a.cof", "2020.0 WMM\n" + strRows + strRows + "9999\n"),
              " line 3: C(1, 0) is given again, first on line 2");
    EXPECT_EQ(ErrorOf("a.cof", "2020.0 WMM\n  1 0 1.0 0.0 nan 0.0\n9999\n"),
              " line 2: gdot is 'nan', not a finite number");
    EXPECT_EQ(ErrorOf("a.cof", "\n\n"), ": the file has no line of the model's epoch and name");
}

// Epochs 2010, 2015 and 2020, the secular variation after 2020.
constexpr const char* kIgrf =
    "# A table of IGRF's layout\n"
    "c/s deg ord DGRF DGRF IGRF SV\n"
    "g/h n m 2010.0 2015.0 2020.0 2020-25\n"
    "g 1 0 -29496.57 -29441.46 -29404.8 5.7\n"
    "g 1 1 -1586.42 -1501.77 -1450.9 7.4\n"
    "h 1 1 4944.26 4795.99 4652.5 -25.9\n"
    "g 2 0 -2396.06 -2445.88 -2499.6 -11.0\n";

TEST_F(MagneticFilesTest, IgrfTableInterpolatedAndCarriedOn)
{
    const std::string strPath = Write("igrf13coeffs.txt", kIgrf);
    // The last epoch without one, with the rates of its column.
    const CoefficientFile last = ReadCoefficientFile(strPath, -1);
    EXPECT_EQ(Tuples(last.aTerms),
              (std::vector<TermTuple>{{1, -1, 4652.5}, {1, 0, -29404.8}, {1, 1, -1450.9}, {2, 0, -2499.6}}));
    EXPECT_EQ(Tuples(*last.rates),
              (std::vector<TermTuple>{{1, -1, -25.9}, {1, 0, 5.7}, {1, 1, 7.4}, {2, 0, -11.0}}));
    EXPECT_EQ(last.normalization, Normalization::kSchmidt);
    EXPECT_EQ(last.header.dRadius, 6371200.0);
    // Halfway from 2010 to 2015 (2012-07-02 is 2012.5 of a leap year): the mean, and the slope.
    const CoefficientFile between = ReadCoefficientFile(strPath, -1, ParseEpoch("2012-07-02"));
    ASSERT_EQ(between.aTerms.size(), 4u);
    EXPECT_NEAR(between.aTerms[1].c, (-29496.57 + -29441.46) / 2.0, 1e-11);
    EXPECT_NEAR((*between.rates)[1].c, (-29441.46 + 29496.57) / 5.0, 1e-12);
    EXPECT_NEAR(between.aTerms[0].c, (4944.26 + 4795.99) / 2.0, 1e-11);
    // At an epoch of the table, its column; two years past the last, the rates' column carries it.
    EXPECT_NEAR(ReadCoefficientFile(strPath, -1, ParseEpoch("2015.0")).aTerms[3].c, -2445.88, 1e-11);
    const CoefficientFile after = ReadCoefficientFile(strPath, 1, ParseEpoch("2022.0"));
    EXPECT_EQ(after.aTerms.size(), 3u);
    EXPECT_NEAR(after.aTerms[1].c, -29404.8 + 5.7 * 2.0, 1e-11);
    EXPECT_TRUE(after.aWarnings.empty());
    const CoefficientFile far = ReadCoefficientFile(strPath, -1, ParseEpoch("2027.0"));
    ASSERT_EQ(far.aWarnings.size(), 1u);
    EXPECT_EQ(
        far.aWarnings[0],
        "the epoch 2027 is 7 years after the table's last, beyond the 5 years of its secular variation");
}

TEST_F(MagneticFilesTest, IgrfTableRefusals)
{
    const std::string strHead = "c/s deg ord IGRF IGRF SV\ng/h n m 2015.0 2020.0 2020-25\n";
    EXPECT_EQ(ErrorOf("i.txt", kIgrf, "2009.9"),
              " line 3: the epoch 2009.9 is before the table's first, 2010");
    EXPECT_EQ(
        ErrorOf("i.txt", "g/h n m 2015.0 2020.0\ng 1 0 1 2\n", "2021"),
        " line 1: the epoch 2021 is after the table's last, 2020, and the table has no column of secular "
        "variation");
    EXPECT_EQ(ErrorOf("i.txt", "g/h n m 2020.0 2015.0 2020-25\n"),
              " line 1: the epochs do not rise at '2015.0'");
    EXPECT_EQ(ErrorOf("i.txt", "g/h n m 2020-25\n"),
              " line 1: the epoch '2020-25' is not a year from 1 to 9999");
    EXPECT_EQ(ErrorOf("i.txt", "c/s deg ord IGRF\ng 1 0 1 2\n"),
              " line 2: a row comes before the line of epochs (g/h n m ...)");
    EXPECT_EQ(ErrorOf("i.txt", strHead + "g 1 0 1 2\n"),
              " line 3: a row needs g or h, n, m and 3 values, found 5 fields");
    EXPECT_EQ(ErrorOf("i.txt", strHead + "h 1 0 1 2 3\n"),
              " line 3: h of order 0 does not exist: h begins at order 1");
    EXPECT_EQ(ErrorOf("i.txt", strHead + "q 1 0 1 2 3\n"), " line 3: a row begins with g or h, not 'q'");
    EXPECT_EQ(ErrorOf("i.txt", strHead + "g 1 0 1 2 3\ng 1 0 1 2 3\n"),
              " line 4: C(1, 0) is given again, first on line 3");
    EXPECT_EQ(ErrorOf("i.txt", strHead + "g 1 2 1 2 3\n"), " line 3: order 2 does not exist at degree 1");
    EXPECT_EQ(ErrorOf("i.txt", strHead + strHead), " line 4: a second line of epochs");
    EXPECT_EQ(ErrorOf("i.txt", "c/s deg ord IGRF\n"), ": no line of epochs (g/h n m ...) heads the table");
}

TEST(ModelTimeTest, DecimalYearsOfMoments)
{
    EXPECT_EQ(DecimalYear(0.0), 2000.0);
    EXPECT_EQ(DecimalYear(*ParseEpoch("2024-12-31")), 2024.0 + 365.0 / 366.0);
    EXPECT_EQ(DecimalYear(*ParseEpoch("2027.5")), 2027.5);
    EXPECT_EQ(DecimalYear(*ParseEpoch("1899-03-01")), 1899.0 + 59.0 / 365.0);
    EXPECT_EQ(DecimalYear(*ParseEpoch("9999-12-31")), 9999.0 + 364.0 / 365.0);
}

}  // namespace
