#include "fields/coefficient_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "file_folder_test.h"
#include "sht/build_limits.h"

namespace {

using TermTuple = std::tuple<int32_t, int32_t, double>;

std::string ErrorOf(const std::string& strPath)
{
    try
    {
        ReadCoefficientFile(strPath, -1);
    }
    catch (const std::runtime_error& error)
    {
        return error.what();
    }
    return "read without an error";
}

std::vector<TermTuple> Tuples(const std::vector<Term>& aTerms)
{
    std::vector<TermTuple> aTuples;
    for (const Term& term : aTerms)
        aTuples.emplace_back(term.l, term.m, term.c);
    return aTuples;
}

// Every file of a test in a folder of its own, removed afterwards.
class CoefficientFileTest : public CFileFolderTest
{
protected:
    std::string WriteDoubles(const std::string& strName, const std::vector<double>& values) const
    {
        std::string strBytes;
        for (const double d : values)
        {
            uint64_t nBits = 0;
            std::memcpy(&nBits, &d, sizeof d);
            for (int i = 0; i < 8; ++i)
                strBytes += static_cast<char>(nBits >> (8 * i) & 0xFF);
        }
        return Write(strName, strBytes);
    }
};

TEST_F(CoefficientFileTest, ReadsShtoolsRowsWithHeaderCommasErrorsAndFortranExponents)
{
    const std::string strPath = Write("mars.sh",
                                      "# Comment lines start with '#'.\n"
                                      "3.3895000e+06, 4.2828372e+13, 2\n"
                                      "degree order C S\n"
                                      "0, 0, 1.0, 0.0\n"
                                      "1, 0, 0.0D+00, 0.0\n"
                                      "1, 1, 2.5d-01, -5.0e-1, 1e-9, 1e-9\r\n"
                                      "\n"
                                      "2 0 -4.8416531671D-04 7.0  # S(2, 0) is no term\n"
                                      "2 1 0.0 1.5\n"
                                      "2 2 +2.0 -0.0\n");
    const CoefficientFile file = ReadCoefficientFile(strPath, -1);
    EXPECT_EQ(
        Tuples(file.aTerms),
        (std::vector<TermTuple>{
            {0, 0, 1.0}, {1, -1, -0.5}, {1, 1, 0.25}, {2, -1, 1.5}, {2, 0, -4.8416531671e-4}, {2, 2, 2.0}}));
    EXPECT_EQ(file.normalization, Normalization::k4Pi);
    EXPECT_FALSE(file.bNormalizationFromFile);
    EXPECT_TRUE(file.aWarnings.empty());
    EXPECT_FALSE(file.GetConvention().bCondonShortley);
    EXPECT_EQ(file.GetConvention().sine, SineSign::kStandard);

    EXPECT_EQ(Tuples(ReadCoefficientFile(strPath, 1).aTerms),
              (std::vector<TermTuple>{{0, 0, 1.0}, {1, -1, -0.5}, {1, 1, 0.25}}));
}

// pyshtools' shwrite(header=..., header2=...) writes two comma-separated header lines; the
// second may hold two whole numbers, which no row format has so few of.
TEST_F(CoefficientFileTest, ReadsBothPyshtoolsHeaderLinesAndRowsSeparatedByCommasAlone)
{
    const CoefficientFile file = ReadCoefficientFile(Write("two-headers.sh",
                                                           "6378136.3, 3.986004415e14\n"
                                                           "2, 2\n"
                                                           "0,0,1.0,0.0\n"
                                                           "2, 1, 0.5, -0.25\n"),
                                                     -1);
    EXPECT_EQ(Tuples(file.aTerms), (std::vector<TermTuple>{{0, 0, 1.0}, {2, -1, -0.25}, {2, 1, 0.5}}));
}

TEST_F(CoefficientFileTest, ReadsDovRowsWithNegativeOrdersAsSines)
{
    const CoefficientFile file = ReadCoefficientFile(Write("mars.shc",
                                                           "Reference radius:  0.339350E+04\n"
                                                           "  1   0  -0.1776756860E+01\n"
                                                           "  1   1  -0.3727294260E+00\n"
                                                           "  1  -1  -0.3445717196E+00\n"
                                                           "  2   0   0.0\n"
                                                           "  2  -2   0.8172537989E+00\n"),
                                                     -1);
    EXPECT_EQ(
        Tuples(file.aTerms),
        (std::vector<TermTuple>{
            {1, -1, -0.3445717196}, {1, 0, -1.776756860}, {1, 1, -0.3727294260}, {2, -2, 0.8172537989}}));
    EXPECT_EQ(file.normalization, Normalization::k4Pi);

    // Four numbers a row are dov with an error column, not shtools, once a negative order shows.
    const CoefficientFile errors = ReadCoefficientFile(Write("errors.txt",
                                                             "0 0 1.0 0.1\n"
                                                             "1 0 2.0 0.1\n"
                                                             "1 1 3.0 0.1\n"
                                                             "1 -1 4.0 0.1\n"),
                                                       -1);
    EXPECT_EQ(Tuples(errors.aTerms),
              (std::vector<TermTuple>{{0, 0, 1.0}, {1, -1, 4.0}, {1, 0, 2.0}, {1, 1, 3.0}}));
}

TEST_F(CoefficientFileTest, ReadsBshcDegreeByDegreeCosinesThenSines)
{
    // Degrees 0 to 2: C(0,0) C(1,0) C(1,1) C(2,0) C(2,1) C(2,2), then S in the same order.
    const std::string strPath = WriteDoubles("field.bshc", {0, 2, 1, 0, 2, 3, 0, 4, 9, 9, 5, 9, 6, 0});
    const CoefficientFile file = ReadCoefficientFile(strPath, -1);
    EXPECT_EQ(Tuples(file.aTerms),
              (std::vector<TermTuple>{
                  {0, 0, 1.0}, {1, -1, 5.0}, {1, 1, 2.0}, {2, -1, 6.0}, {2, 0, 3.0}, {2, 2, 4.0}}));
    EXPECT_EQ(file.normalization, Normalization::k4Pi);
    EXPECT_EQ(Tuples(ReadCoefficientFile(strPath, 1).aTerms),
              (std::vector<TermTuple>{{0, 0, 1.0}, {1, -1, 5.0}, {1, 1, 2.0}}));

    // A minimum degree of 2: the blocks begin at C(2, 0) and S(2, 0).
    EXPECT_EQ(Tuples(ReadCoefficientFile(WriteDoubles("from2.bshc", {2, 2, 1, 2, 3, 0, 4, 5}), -1).aTerms),
              (std::vector<TermTuple>{{2, -2, 5.0}, {2, -1, 4.0}, {2, 0, 1.0}, {2, 1, 2.0}, {2, 2, 3.0}}));
}

TEST_F(CoefficientFileTest, ReadsIcgemStaticPartAndCountsTimeVariableTermsLeftOut)
{
    const std::string strPath =
        Write("model.gfc",
              "A model made up for this test.\n"
              "norm of free text before the head is no key\n"
              "begin_of_head ==================\n"
              "product_type              gravity_field\n"
              "modelname                 TEST-1\n"
              "earth_gravity_constant    0.3986004415E+15\n"
              "radius                    0.6378136300E+07\n"
              "max_degree                2\n"
              "errors                    formal\n"
              "norm                      unnormalized\n"
              "tide_system               tide_free\n"
              "key   L  M        C                  S           sigma C  sigma S\n"
              "end_of_head =====================================================\n"
              "gfc   0  0  1.0D+00              0.0D+00            0.0  0.0\n"
              "gfct  2  0 -0.48416531671D-03    0.0                1e-12 0.0 20050101.0000\n"
              "trnd  2  0  1.0d-11              0.0                0    0\n"
              "gfc   1  1  0.0                  0.0                0    0\n"
              "acos  2  1  1.0E-12              2.0E-12            0    0  1.0\n"
              "asin  2  1  0.0                  0.0                0    0  1.0\n"
              "gfct  2  2  2.4D-06             -1.4D-06            0    0  20050101.0000\n"
              "dot   2  2  1.0E-12              0.0                0    0\n"
              "asin  2  2  3.0E-12              0.0                0    0  0.5\n");
    // The d of 'trnd' and 'dot' is no exponent. Truncating at the header's max_degree needs no
    // degree above it.
    for (const int32_t nMaxDegree : {-1, 2})
    {
        const CoefficientFile file = ReadCoefficientFile(strPath, nMaxDegree);
        EXPECT_EQ(Tuples(file.aTerms),
                  (std::vector<TermTuple>{
                      {0, 0, 1.0}, {2, -2, -1.4e-6}, {2, 0, -0.48416531671e-3}, {2, 2, 2.4e-6}}));
        EXPECT_EQ(file.normalization, Normalization::kUnnormalized);
        EXPECT_TRUE(file.bNormalizationFromFile);
        EXPECT_EQ(file.aWarnings,
                  std::vector<std::string>{"time-variable terms left out (1 'trnd', 1 'dot', 1 "
                                           "'acos', 1 'asin'): the field is the static part, 'gfc' "
                                           "and 'gfct' as written"});
    }
    // Below degree 2 no time-variable term is left out.
    const CoefficientFile low = ReadCoefficientFile(strPath, 1);
    EXPECT_EQ(Tuples(low.aTerms), (std::vector<TermTuple>{{0, 0, 1.0}}));
    EXPECT_TRUE(low.aWarnings.empty());

    // Found by its head under another name; without `norm` fully normalised; a file that stops
    // below its max_degree is said to be cut short.
    const CoefficientFile cut = ReadCoefficientFile(Write("cut.txt",
                                                          "max_degree 3\n"
                                                          "end_of_head\n"
                                                          "gfc 1 0 0.5 0.0\n"
                                                          "gfc 2 1 0.25 0.125\n"),
                                                    -1);
    EXPECT_EQ(Tuples(cut.aTerms), (std::vector<TermTuple>{{1, 0, 0.5}, {2, -1, 0.125}, {2, 1, 0.25}}));
    EXPECT_EQ(cut.normalization, Normalization::k4Pi);
    EXPECT_FALSE(cut.bNormalizationFromFile);
    EXPECT_EQ(cut.aWarnings, std::vector<std::string>{"the coefficients end at degree 2, below the header's "
                                                      "max_degree 3: the file may be cut short"});
}

TEST_F(CoefficientFileTest, RefusesBadFilesWithOneLineNamingFileLineAndFault)
{
    struct Case
    {
        std::string strName;
        std::string strBytes;
        std::string strFault;  // after "cannot read 'PATH'"
    };
    const std::vector<Case> aCases = {
        {"empty.txt", "", ": the file is empty"},
        {"packed.gfc.gz", "\x1F\x8B\x08\x00", ": the file is gzip-compressed: unpack it first"},
        {"short.sh", "0 0 1.0 0.0\n1 0 0.5\n",
         " line 2: a row needs degree, order, C and S, found 3 numbers"},
        {"ggm.gfc", "end_of_head\ngfc 2 0 1.0\n",
         " line 2: 'gfc' needs degree, order, C and S, found 3 numbers"},
        {"gap.sh", "0, 0, , 0.0\n", " line 1: C is missing"},
        {"nan.sh", "0 0 nan 0\n", " line 1: C is 'nan', not a finite number"},
        {"inf.dov", "1 0 -inf\n", " line 1: the value is '-inf', not a finite number"},
        {"typo.sh", "0 0 1.0.0 0\n", " line 1: C is '1.0.0', not a number"},
        {"negative.sh", "-1 0 1.0 0.0\n", " line 1: degree -1 is negative"},
        {"order.dov", "1 -2 1.0\n", " line 1: order -2 does not exist at degree 1"},
        {"twice.sh", "1 0 1 0\n1 1 1 1\n1 0 2 0\n", " line 3: C(1, 0) is given again, first on line 1"},
        {"twice.dov", "1 -1 1\n\n1 -1 2\n", " line 3: S(1, 1) is given again, first on line 1"},
        {"huge.sh", "40000 0 1.0 0.0\n",
         " line 1: degree 40000 is above 32768, the highest this program shows"},
        {"overflow.sh", "99999999999999999999 0 1 0\n",
         " line 1: the degree is '99999999999999999999', too large"},
        {"headers.sh", "a\nb\nc\n0 0 1 0\n",
         " line 3: expected a row of degree, order and coefficients, found 'c' "
         "(at most two header lines come before the rows)"},
        {"comments.sh", "# nothing but a comment\n", ": no rows of degree, order and coefficients"},
        {"oneline.sh", std::string(70000, 'x'), " line 1: the line is longer than 65536 bytes"},
        {"nohead.gfc", "modelname x\ngfc 0 0 1 0\n", ": no 'end_of_head' line ends the header"},
        {"norm.gfc", "norm semi\nend_of_head\ngfc 0 0 1 0\n",
         " line 1: 'norm' is 'semi', neither fully_normalized nor unnormalized"},
        {"key.gfc", "end_of_head\ngfcx 0 0 1 0\n",
         " line 2: the key 'gfcx' is none of gfc, gfct, trnd, dot, acos and asin"},
        {"above.gfc", "max_degree 1\nend_of_head\ngfc 2 0 1 0\n",
         " line 3: degree 2 is above the header's max_degree 1"},
        {"order.gfc", "end_of_head\ngfc 1 -1 1 0\n",
         " line 2: order -1 is negative: a row gives C and S of an order from 0 to l"},
        // A decimal comma among blanks would read C = 1, S = 5.
        {"comma.sh", "0 0 1 0\n1 1 1,5 0\n",
         " line 2: the numbers are separated by both blanks and commas (a decimal comma?): '1 1 1,5 0'"},
        {"comma.dov", "1 0 0,5\n",
         " line 1: the numbers are separated by both blanks and commas (a decimal comma?): '1 0 0,5'"},
        // The message reaches past a zero byte, and says what the file is.
        {"zero.sh", std::string("0 0 1\0 0\n", 10),
         " line 1: the line holds a zero byte: the file is not plain text (UTF-16 text must be saved as "
         "UTF-8)"},
        {"utf16.sh",
         std::string("\xFF\xFE"
                     "0\0 \0"
                     "0\0\n\0",
                     10),
         " line 1: the file is UTF-16 text: save it as UTF-8 or ASCII"},
    };
    for (const Case& c : aCases)
    {
        const std::string strPath = Write(c.strName, c.strBytes);
        EXPECT_EQ(ErrorOf(strPath), "cannot read '" + strPath + "'" + c.strFault);
    }

    struct BinaryCase
    {
        std::string strName;
        std::vector<double> aValues;
        std::string strFault;
    };
    const double dNaN = std::numeric_limits<double>::quiet_NaN();
    const std::vector<BinaryCase> aBinaryCases = {
        {"half.bshc", {0}, ": the file has 8 bytes, fewer than the 16 of its minimum and maximum degree"},
        {"claims10gb.bshc", {0, 25000, 1, 2}, ": degrees 0 to 25000 take 5000600032 bytes, the file has 32"},
        {"cut.bshc", {0, 1, 1, 2, 3, 4, 5}, ": degrees 0 to 1 take 64 bytes, the file has 56"},
        {"nanheader.bshc", {dNaN, 1}, ": the minimum degree nan is not a whole number from 0 to 2147483647"},
        {"reversed.bshc", {3, 1}, ": the minimum degree 3 is above the maximum 1"},
        {"nanvalue.bshc", {0, 0, dNaN, 0}, ": C(0, 0) is nan, not a finite number"},
    };
    for (const BinaryCase& c : aBinaryCases)
    {
        const std::string strPath = WriteDoubles(c.strName, c.aValues);
        EXPECT_EQ(ErrorOf(strPath), "cannot read '" + strPath + "'" + c.strFault);
    }

    const std::string strMissing = (m_folder / "missing.sh").string();
    EXPECT_EQ(ErrorOf(strMissing), "cannot read '" + strMissing + "': No such file or directory");
    EXPECT_EQ(ErrorOf(m_folder.string()), "cannot read '" + m_folder.string() + "': it is a folder");

    // A degree above the cap is no fault when the truncation leaves it out.
    EXPECT_EQ(Tuples(ReadCoefficientFile(Write("high.sh", "0 0 1 0\n40000 0 1 0\n"), 10).aTerms),
              (std::vector<TermTuple>{{0, 0, 1.0}}));
}

}  // namespace

// A .bshc file whose terms fit the memory budget twice over but whose run would not (a run holds
// about four times the terms at its peak) is refused before any is read: a sparse file of about a
// quarter of the budget, its values all 0.
TEST_F(CoefficientFileTest, RefusesBshcWhoseRunWouldNotFitTheMemory)
{
    const double dTarget = static_cast<double>(MemoryBudget()) / 4.0;  // the file's bytes
    const auto L = static_cast<int64_t>(std::sqrt(dTarget / 8.0));     // 16 (L + 1)(L + 2) / 2 bytes
    const std::string strPath = WriteDoubles("sparse.bshc", {0, static_cast<double>(L)});
    std::filesystem::resize_file(strPath, 16 + 16 * static_cast<uintmax_t>((L + 1) * (L + 2) / 2));
    EXPECT_NE(ErrorOf(strPath).find("more than the"), std::string::npos) << ErrorOf(strPath);
}
