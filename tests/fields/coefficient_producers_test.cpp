#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "fields/coefficient_file.h"
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

// Files written as the programs that make them write them, in a folder of the test's own.
class CoefficientProducersTest : public CFileFolderTest
{
};

// A number to the last bit, with a Fortran exponent when asked.
std::string Number(double d, bool bFortran = false)
{
    char acText[40];
    std::snprintf(acText, sizeof acText, "%.17e", d);
    std::string strText = acText;
    if (bFortran)
        std::replace(strText.begin(), strText.end(), 'e', 'D');
    return strText;
}

// C(l, m) and S(l, m) of every degree and order up to nMax, about a third of them 0, and the
// terms that a reader is to find: the non-zero ones, by degree and then by m from -l to l.
struct Coefficients
{
    int nMax;
    std::vector<std::vector<double>> aC, aS;
    std::vector<TermTuple> aTerms;
};

Coefficients RandomCoefficients(unsigned nSeed, int nMax)
{
    std::mt19937 random(nSeed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::uniform_int_distribution<int> zero(0, 2);
    Coefficients coefficients{nMax, {}, {}, {}};
    for (int l = 0; l <= nMax; ++l)
    {
        coefficients.aC.emplace_back();
        coefficients.aS.emplace_back();
        for (int m = 0; m <= l; ++m)
        {
            coefficients.aC[l].push_back(zero(random) == 0 ? 0.0 : value(random) * std::pow(10.0, -l));
            coefficients.aS[l].push_back(m == 0 || zero(random) == 0 ? 0.0 : value(random) * 1e-7);
        }
        for (int m = -l; m <= l; ++m)
        {
            const double c = m < 0 ? coefficients.aS[l][-m] : coefficients.aC[l][m];
            if (c != 0.0)
                coefficients.aTerms.emplace_back(l, m, c);
        }
    }
    return coefficients;
}

TEST_F(CoefficientProducersTest, FilesWrittenInEveryFormatReadBackAsTheirTerms)
{
    for (const unsigned nSeed : {1u, 2u, 3u})
    {
        const Coefficients k = RandomCoefficients(nSeed, static_cast<int>(nSeed) * 4);
        std::string strShtools = "# written by the test\n", strDov, strIcgem;
        strIcgem =
            "begin_of_head\nmax_degree " + std::to_string(k.nMax) + "\nnorm fully_normalized\nend_of_head\n";
        std::vector<double> aBshc = {0.0, static_cast<double>(k.nMax)};
        for (int l = 0; l <= k.nMax; ++l)
            for (int m = 0; m <= l; ++m)
            {
                const std::string strLm = std::to_string(l) + " " + std::to_string(m) + " ";
                // As pyshtools writes them: every field followed by a comma and a blank.
                strShtools += std::to_string(l) + ", " + std::to_string(m) + ", " + Number(k.aC[l][m]) +
                              ", " + Number(k.aS[l][m]) + "\n";
                strIcgem +=
                    "gfc " + strLm + Number(k.aC[l][m], true) + " " + Number(k.aS[l][m], true) + " 0 0\n";
                strDov += strLm + Number(k.aC[l][m]) + "\n";
                if (m > 0)
                    strDov += std::to_string(l) + " -" + std::to_string(m) + " " + Number(k.aS[l][m]) + "\n";
            }
        for (const auto* pTable : {&k.aC, &k.aS})
            for (int l = 0; l <= k.nMax; ++l)
                for (int m = 0; m <= l; ++m)
                    aBshc.push_back((*pTable)[l][m]);
        std::string strBshc(aBshc.size() * sizeof(double), '\0');
        std::memcpy(strBshc.data(), aBshc.data(), strBshc.size());  // the machine is little-endian

        for (const auto& file : {std::make_pair("k.sh", strShtools), std::make_pair("k.dov", strDov),
                                 std::make_pair("k.gfc", strIcgem), std::make_pair("k.bshc", strBshc)})
        {
            const CoefficientFile read = ReadCoefficientFile(Write(file.first, file.second), -1);
            EXPECT_EQ(Tuples(read.aTerms), k.aTerms) << file.first << " of seed " << nSeed;
            EXPECT_EQ(read.normalization, Normalization::k4Pi) << file.first;
            EXPECT_TRUE(read.aWarnings.empty()) << file.first;
        }
    }
}

// An ICGEM file with every key of the header that models carry, free text before the head, and
// the 2.0 format's epochs on the time-variable lines.
TEST_F(CoefficientProducersTest, ReadsIcgemHeadersWithEveryKey)
{
    const std::string strPath = Write(
        "GOCO-like.gfc",
        "This is a combined model made up for the test; comments come before begin_of_head.\n"
        "Contact: nobody@example.org   version: 1.0\n"
        "\n"
        "begin_of_head ========================================================================\n"
        "product_type              gravity_field\n"
        "modelname                 TEST-COMBINED-2\n"
        "earth_gravity_constant    3.986004415E+14\n"
        "radius                    6.3781363E+06\n"
        "max_degree                3\n"
        "errors                    calibrated_and_formal\n"
        "norm                      fully_normalized\n"
        "tide_system               zero_tide\n"
        "format                    icgem2.0\n"
        "generating_institute      Nowhere University\n"
        "generating_date           2026-12-08\n"
        "product_version           1.0\n"
        "comment                   static part and a trend\n"
        "key     L    M         C                      S               sigma C    sigma S  t0 t1\n"
        "end_of_head ==========================================================================\n"
        "gfc     0    0  1.000000000000D+00  0.000000000000D+00  0.0000D+00 0.0000D+00\n"
        "gfc     1    0  0.000000000000D+00  0.000000000000D+00  0.0000D+00 0.0000D+00\n"
        "gfc     1    1  0.000000000000D+00  0.000000000000D+00  0.0000D+00 0.0000D+00\n"
        "gfc     2    0 -4.841651437908D-04  0.000000000000D+00  4.7400D-11 0.0000D+00\n"
        "gfct    2    1 -2.066155090741D-10  1.384413891379D-09  7.1600D-12 7.1200D-12 19500101 20500101\n"
        "trnd    2    1  1.0D-12             2.0D-12             1.0D-13    1.0D-13    19500101 20500101\n"
        "acos    2    1  1.0D-12             2.0D-12             1.0D-13    1.0D-13    19500101 20500101 "
        "1.0\n"
        "gfc     2    2  2.439383573283D-06 -1.400273703859D-06  4.6500D-12 4.6900D-12\n"
        "gfc     3    0  9.571612070934D-07  0.000000000000D+00  3.5600D-12 0.0000D+00\n"
        "gfc     3    1  2.030462010478D-06  2.482004158568D-07  4.5200D-12 4.5000D-12\n"
        "gfc     3    2  9.047878948095D-07 -6.190054751776D-07  4.8900D-12 4.9300D-12\n"
        "gfc     3    3  7.213217571215D-07  1.414349261929D-06  4.6400D-12 4.6700D-12\n");
    const CoefficientFile file = ReadCoefficientFile(strPath, -1);
    EXPECT_EQ(Tuples(file.aTerms), (std::vector<TermTuple>{{0, 0, 1.0},
                                                           {2, -2, -1.400273703859e-06},
                                                           {2, -1, 1.384413891379e-09},
                                                           {2, 0, -4.841651437908e-04},
                                                           {2, 1, -2.066155090741e-10},
                                                           {2, 2, 2.439383573283e-06},
                                                           {3, -3, 1.414349261929e-06},
                                                           {3, -2, -6.190054751776e-07},
                                                           {3, -1, 2.482004158568e-07},
                                                           {3, 0, 9.571612070934e-07},
                                                           {3, 1, 2.030462010478e-06},
                                                           {3, 2, 9.047878948095e-07},
                                                           {3, 3, 7.213217571215e-07}}));
    EXPECT_EQ(file.normalization, Normalization::k4Pi);
    EXPECT_TRUE(file.bNormalizationFromFile);
    ASSERT_EQ(file.aWarnings.size(), 1u);
    EXPECT_NE(file.aWarnings[0].find("time-variable terms left out"), std::string::npos) << file.aWarnings[0];
}

// pyshtools writes two header lines above its rows: the reference radius, GM, their errors and
// the degrees; then the names of the columns. Rows carry the errors of C and S.
TEST_F(CoefficientProducersTest, ReadsShtoolsFilesWithPyshtoolsTwoHeaderLines)
{
    const std::string strPath =
        Write("pyshtools.sh",
              "3.3960000000000000e+06, 4.2828372854187757e+13, 2.8e+05, 2, 2\n"
              "degree, order, C, S, sigma C, sigma S\n"
              "0, 0, 1.0000000000000000e+00, 0.0000000000000000e+00, 0.0e+00, 0.0e+00\n"
              "1, 0, 0.0000000000000000e+00, 0.0000000000000000e+00, 0.0e+00, 0.0e+00\n"
              "1, 1, 0.0000000000000000e+00, 0.0000000000000000e+00, 0.0e+00, 0.0e+00\n"
              "2, 0, -8.7502113195069998e-04, 0.0000000000000000e+00, 1.9e-11, 0.0e+00\n"
              "2, 1, 4.0462659123789999e-10, 2.3025627474140000e-11, 9.0e-12, 9.0e-12\n"
              "2, 2, -8.4633719437200001e-05, 4.8931003107600000e-05, 1.1e-11, 1.1e-11\n");
    const CoefficientFile file = ReadCoefficientFile(strPath, -1);
    EXPECT_EQ(Tuples(file.aTerms), (std::vector<TermTuple>{{0, 0, 1.0},
                                                           {2, -2, 4.8931003107600000e-05},
                                                           {2, -1, 2.3025627474140000e-11},
                                                           {2, 0, -8.7502113195069998e-04},
                                                           {2, 1, 4.0462659123789999e-10},
                                                           {2, 2, -8.4633719437200001e-05}}));
    EXPECT_FALSE(file.bNormalizationFromFile);
    EXPECT_EQ(ReadCoefficientFile(strPath, 1).aTerms.size(), 1u);
}

}  // namespace
