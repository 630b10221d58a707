// The coefficient writers, checked by what reads them: each file read back by the coefficient
// readers gives the same terms to the bit, the ACN channels parsed as numbers, and the headers
// of ICGEM and shtools files against their layout written out by hand.
#include "export/coefficient_writers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/coefficient_export.h"
#include "fields/coefficient_file.h"
#include "sht/coefficient_conversion.h"

namespace {

// Terms of every degree to 12 with coefficients of many magnitudes and both signs, some 0.
Field RandomField(const Convention& convention)
{
    std::mt19937_64 random(30);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    Field field{{}, convention};
    for (int32_t l = 0; l <= 12; ++l)
        for (int32_t m = -l; m <= l; ++m)
            if ((l + 3 * m) % 5 != 0)
                field.aTerms.push_back(Term{l, m, std::ldexp(mantissa(random), exponent(random) % 40)});
    return field;
}

class CoefficientWritersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const testing::TestInfo* pInfo = testing::UnitTest::GetInstance()->current_test_info();
        m_folder =
            std::filesystem::path(testing::TempDir()) / (std::string("coefficient-writers-") + pInfo->name());
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string Written(const std::string& strName, const Field& coefficients,
                        const GravityHeader& header = {})
    {
        const std::string strPath = (m_folder / strName).string();
        COutputSet outputs;
        WriteCoefficientFile(outputs, strPath, coefficients, header);
        outputs.Commit();
        return strPath;
    }

    std::filesystem::path m_folder;
};

template <typename Write>
std::string InMemory(const Write& write, const Field& coefficients)
{
    CMemorySink sink;
    COutputStream stream(sink, "memory");
    write(stream, coefficients);
    stream.Flush();
    return sink.GetBytes();
}

void ExpectSameTerms(const std::vector<Term>& aRead, const std::vector<Term>& aWritten)
{
    ASSERT_EQ(aRead.size(), aWritten.size());
    for (size_t i = 0; i < aRead.size(); ++i)
    {
        EXPECT_EQ(aRead[i].l, aWritten[i].l);
        EXPECT_EQ(aRead[i].m, aWritten[i].m);
        EXPECT_EQ(aRead[i].c, aWritten[i].c) << "Y(" << aRead[i].l << ", " << aRead[i].m << ")";
    }
}

TEST_F(CoefficientWritersTest, EveryFileReadsBackToTheSameTermsToTheBit)
{
    const Field coefficients =
        InConvention(RandomField(Convention{}), FormatConvention(CoefficientOutputFormat::kShtools));
    for (const char* pszName : {"field.txt", "field.sh", "field.dov", "field.gfc", "FIELD.GFC", "field.bshc"})
    {
        SCOPED_TRACE(pszName);
        const CoefficientFile file = ReadCoefficientFile(Written(pszName, coefficients), -1);
        ExpectSameTerms(file.aTerms, coefficients.aTerms);
        EXPECT_EQ(file.normalization, Normalization::k4Pi);
    }
    // An ICGEM file says when it is unnormalised, and the reader takes that from it.
    Field unnormalized = coefficients;
    unnormalized.convention.normalization = Normalization::kUnnormalized;
    const CoefficientFile file = ReadCoefficientFile(Written("unnormalized.gfc", unnormalized), -1);
    ExpectSameTerms(file.aTerms, unnormalized.aTerms);
    EXPECT_EQ(file.normalization, Normalization::kUnnormalized);
    EXPECT_TRUE(file.bNormalizationFromFile);

    // A field that is 0 everywhere is degree 0 with coefficient 0, which reads back as no terms.
    EXPECT_TRUE(
        ReadCoefficientFile(Written("zero.txt", Field{{}, coefficients.convention}), -1).aTerms.empty());
    EXPECT_TRUE(
        ReadCoefficientFile(Written("zero.bshc", Field{{}, coefficients.convention}), -1).aTerms.empty());
}

TEST_F(CoefficientWritersTest, AcnChannelsAreOneNumberALineInAcnOrder)
{
    const Field coefficients =
        InConvention(RandomField(Convention{}), FormatConvention(CoefficientOutputFormat::kAcn));
    std::ifstream file(Written("field.acn.txt", coefficients));
    std::vector<double> aChannels;
    for (std::string strLine; std::getline(file, strLine);)
    {
        char* pEnd = nullptr;
        aChannels.push_back(std::strtod(strLine.c_str(), &pEnd));
        EXPECT_EQ(*pEnd, '\0') << strLine;
    }
    ASSERT_EQ(aChannels.size(), 13u * 13u);
    std::vector<double> aExpected(aChannels.size(), 0.0);
    for (const Term& term : coefficients.aTerms)
        aExpected[static_cast<size_t>(term.l * term.l + term.l + term.m)] = term.c;
    EXPECT_EQ(aChannels, aExpected);
}

TEST(CoefficientWriters, HeadersAndRowsAreLaidOutAsTheFormatsDefineThem)
{
    const Field coefficients{{Term{0, 0, 1.0}, Term{1, 1, -0.25}, Term{2, -1, 0.1}},
                             Convention{Normalization::k4Pi, false, SineSign::kStandard}};
    const auto shtools = [](COutputStream& stream, const Field& field) {
        WriteShtoolsCoefficients(stream, field);
    };
    const auto dov = [](COutputStream& stream, const Field& field) { WriteDovCoefficients(stream, field); };
    EXPECT_EQ(InMemory(shtools, coefficients),
              "# degree, order, C, S: 4pi, no Condon-Shortley phase, S multiplies +sin(m phi)\n"
              "0, 0, 1, 0\n"
              "1, 0, 0, 0\n"
              "1, 1, -0.25, 0\n"
              "2, 0, 0, 0\n"
              "2, 1, 0, 0.10000000000000001\n"
              "2, 2, 0, 0\n");
    EXPECT_EQ(InMemory(dov, coefficients),
              "# degree, order, value (S at a negative order): 4pi, no Condon-Shortley phase, S multiplies "
              "+sin(m phi)\n"
              "0, 0, 1\n"
              "1, 0, 0\n"
              "1, 1, -0.25\n"
              "1, -1, 0\n"
              "2, 0, 0\n"
              "2, 1, 0\n"
              "2, -1, 0.10000000000000001\n"
              "2, 2, 0\n"
              "2, -2, 0\n");

    GravityHeader header;
    header.strModelName = "EGM-TEST";
    header.strTideSystem = "tide_free";
    header.dGm = 3.986004415e14;
    header.dRadius = 6378136.3;
    CMemorySink sink;
    COutputStream stream(sink, "memory");
    WriteIcgemCoefficients(stream, coefficients, header, "unused");
    stream.Flush();
    EXPECT_EQ(sink.GetBytes(),
              "begin_of_head\n"
              "product_type            gravity_field\n"
              "modelname               EGM-TEST\n"
              "earth_gravity_constant  398600441500000\n"
              "radius                  6378136.2999999998\n"
              "max_degree              2\n"
              "errors                  no\n"
              "norm                    fully_normalized\n"
              "tide_system             tide_free\n"
              "\n"
              "key    L    M    C    S\n"
              "end_of_head\n"
              "gfc 0 0 1 0\n"
              "gfc 1 0 0 0\n"
              "gfc 1 1 -0.25 0\n"
              "gfc 2 0 0 0\n"
              "gfc 2 1 0 0.10000000000000001\n"
              "gfc 2 2 0 0\n");
}

TEST_F(CoefficientWritersTest, AnIcgemModelKeepsItsNameAndConstantsThroughAnotherFile)
{
    const std::string strPath = (m_folder / "in.gfc").string();
    std::ofstream(strPath) << "begin_of_head\nmodelname GGM-X\nproduct_type topography\n"
                              "earth_gravity_constant 0.3986004415D+15\nradius 6.3781363E+06\n"
                              "tide_system zero_tide\nend_of_head\ngfc 0 0 1.0 0.0\n";
    const CoefficientFile file = ReadCoefficientFile(strPath, -1);
    EXPECT_EQ(file.header.strModelName, "GGM-X");
    EXPECT_EQ(file.header.strProductType, "topography");
    EXPECT_EQ(file.header.strTideSystem, "zero_tide");
    EXPECT_EQ(file.header.dGm, 3.986004415e14);
    EXPECT_EQ(file.header.dRadius, 6.3781363e6);
    const CoefficientFile copy =
        ReadCoefficientFile(Written("out.gfc", Field{file.aTerms, file.GetConvention()}, file.header), -1);
    EXPECT_EQ(copy.header.strModelName, "GGM-X");
    EXPECT_EQ(copy.header.strProductType, "topography");
    EXPECT_EQ(copy.header.strTideSystem, "zero_tide");
    EXPECT_EQ(copy.header.dGm, 3.986004415e14);
    EXPECT_EQ(copy.header.dRadius, 6.3781363e6);

    // Without an ICGEM input: the file's own name, a gravity field of constants 1, no tide system.
    const CoefficientFile plain =
        ReadCoefficientFile(Written("my model.gfc", Field{file.aTerms, file.GetConvention()}), -1);
    EXPECT_EQ(plain.header.strModelName, "my_model");
    EXPECT_EQ(plain.header.strProductType, "gravity_field");
    EXPECT_EQ(plain.header.strTideSystem, "");
    EXPECT_EQ(plain.header.dGm, 1.0);
    EXPECT_EQ(plain.header.dRadius, 1.0);
}

// A model's radius and GM go through shtools and dov rows as pyshtools' header line "R, GM,
// lmax", which the readers take: .gfc -> shtools -> .gfc keeps them (shtools rows once lost them,
// and the .gfc written from them then had constants 1).
TEST_F(CoefficientWritersTest, ShtoolsAndDovRowsKeepTheModelsRadiusAndGm)
{
    const std::string strPath = (m_folder / "in.gfc").string();
    std::ofstream(strPath) << "begin_of_head\nmodelname GGM-X\nearth_gravity_constant 0.3986004415D+15\n"
                              "radius 6.3781363E+06\nend_of_head\ngfc 0 0 1.0 0.0\ngfc 2 1 0.5 -0.25\n";
    const CoefficientFile file = ReadCoefficientFile(strPath, -1);
    const Field coefficients{file.aTerms, file.GetConvention()};
    for (const char* pszName : {"model.txt", "model.dov"})
    {
        const CoefficientFile rows = ReadCoefficientFile(Written(pszName, coefficients, file.header), -1);
        EXPECT_EQ(rows.header.dGm, 3.986004415e14) << pszName;
        EXPECT_EQ(rows.header.dRadius, 6.3781363e6) << pszName;
        ExpectSameTerms(rows.aTerms, file.aTerms);
        const CoefficientFile copy = ReadCoefficientFile(
            Written("copy.gfc", Field{rows.aTerms, rows.GetConvention()}, rows.header), -1);
        EXPECT_EQ(copy.header.dGm, 3.986004415e14) << pszName;
        EXPECT_EQ(copy.header.dRadius, 6.3781363e6) << pszName;
    }
    // The line as pyshtools writes it; a radius alone as "R, lmax".
    GravityHeader header;
    header.dRadius = 6378137.0;
    header.dGm = 3.986004418e14;
    const auto written = [&](const GravityHeader& constants) {
        return InMemory([&](COutputStream& stream,
                            const Field& field) { WriteShtoolsCoefficients(stream, field, constants); },
                        coefficients);
    };
    EXPECT_NE(written(header).find("\n6.3781370000000000e+06, 3.9860044180000000e+14, 2\n0, 0, 1, 0\n"),
              std::string::npos)
        << written(header);
    header.dGm = std::nan("");
    EXPECT_NE(written(header).find("\n6.3781370000000000e+06, 2\n0, 0, "), std::string::npos)
        << written(header);
    EXPECT_EQ(ReadCoefficientFile(Written("radius.txt", coefficients, header), -1).header.dRadius, 6378137.0);
}

TEST(CoefficientWriters, FormatsComeFromTheNameAndHoldOnlyTheirConventions)
{
    EXPECT_EQ(CoefficientOutputFormatOf("a.gfc"), CoefficientOutputFormat::kIcgem);
    EXPECT_EQ(CoefficientOutputFormatOf("a.BSHC"), CoefficientOutputFormat::kBshc);
    EXPECT_EQ(CoefficientOutputFormatOf("a.acn.txt"), CoefficientOutputFormat::kAcn);
    EXPECT_EQ(CoefficientOutputFormatOf("a.dov"), CoefficientOutputFormat::kDov);
    EXPECT_EQ(CoefficientOutputFormatOf("a.txt"), CoefficientOutputFormat::kShtools);
    EXPECT_EQ(CoefficientOutputFormatOf(".gfc"), CoefficientOutputFormat::kShtools);

    const Convention acn = FormatConvention(CoefficientOutputFormat::kAcn);
    EXPECT_EQ(acn.normalization, Normalization::kSn3d);
    EXPECT_EQ(ConventionRefusal(CoefficientOutputFormat::kAcn, Convention{}), "");
    EXPECT_EQ(ConventionRefusal(CoefficientOutputFormat::kShtools,
                                Convention{Normalization::kSchmidt, true, SineSign::kStandard}),
              "");
    EXPECT_NE(ConventionRefusal(CoefficientOutputFormat::kBshc,
                                Convention{Normalization::k4Pi, false, SineSign::kLobara}),
              "");
    EXPECT_NE(ConventionRefusal(CoefficientOutputFormat::kIcgem,
                                Convention{Normalization::kSchmidt, false, SineSign::kStandard}),
              "");

    // Terms out of order are no coefficients to write.
    const Field unsorted{{Term{2, 0, 1.0}, Term{1, 0, 1.0}}, acn};
    EXPECT_THROW(InMemory(WriteAcnChannels, unsorted), std::invalid_argument);
}

}  // namespace
