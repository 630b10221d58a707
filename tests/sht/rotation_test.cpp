// Rotations of fields: values at random points against GSL's normalised Legendre functions
// summed directly at the point turned back; first-order fields against the rotation matrices
// written out (a first-order field v . x turns into (R v) . x); the text forms and their refusals.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "gsl_sums.h"
#include "sht/field_rotation.h"
#include "sht/field_synthesis.h"
#include "sht/rotation_text.h"

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;
using Point = std::array<double, 3>;

// Every coefficient up to nMax, uniform in [-1, 1]: the highest degrees weigh most.
Field RandomField(int nMax, unsigned nSeed, const Convention& convention = Convention{})
{
    return Field{RandomTerms(nMax, nSeed), convention};
}

std::vector<Point> RandomPoints(int nCount, unsigned nSeed)
{
    std::mt19937 random(nSeed);
    std::normal_distribution<double> normal;
    std::vector<Point> aPoints;
    for (int i = 0; i < nCount; ++i)
    {
        Point p = {normal(random), normal(random), normal(random)};
        const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        aPoints.push_back({p[0] / r, p[1] / r, p[2] / r});
    }
    return aPoints;
}

// theta by atan2, which keeps its digits near the poles where acos(z) loses them (an error of
// eps / theta, which a field of degree 2048 turns into 1e-8 of its values there).
std::array<double, 2> Angles(const Point& p)
{
    return {std::atan2(std::hypot(p[0], p[1]), p[2]), std::atan2(p[1], p[0])};
}

Point TurnedBack(const Rotation& rotation, const Point& p)
{
    return Apply(Inverse(rotation), p);
}

// The field summed at p by GSL.
double OracleValue(const Field& field, int nMax, const Point& p)
{
    const auto [theta, phi] = Angles(p);
    return GslSum(field.aTerms, nMax, theta, phi);
}

// The coefficients by (l, m), summed.
std::vector<double> Dense(const Field& field, int nMax)
{
    std::vector<double> aDense(static_cast<size_t>((nMax + 1) * (nMax + 1)));
    for (const Term& term : field.aTerms)
        aDense[static_cast<size_t>(term.l * term.l + term.l + term.m)] += term.c;
    return aDense;
}

// The AmbiX first order: W, Y, Z, X in ACN order, SN3D without phase, so that the channels
// are 1, y, z and x.
const Convention kAmbix{Normalization::kSn3d, false, SineSign::kStandard};
constexpr int kAcnM[4] = {0, -1, 0, 1};

// The first-order field w + v . x, turned, read back as w and R v.
std::array<double, 4> TurnFirstOrder(double w, const Point& v, const Rotation& rotation)
{
    const Field field{{{0, 0, w}, {1, -1, v[1]}, {1, 0, v[2]}, {1, 1, v[0]}}, kAmbix};
    const std::vector<double> aDense = Dense(RotateField(field, rotation), 1);
    return {aDense[0], aDense[3], aDense[1], aDense[2]};  // w, x, y, z
}

void ExpectTurnsAs(const Rotation& rotation, const Matrix& expected, const std::string& strCase)
{
    for (int j = 0; j < 3; ++j)
    {
        const Point v = {j == 0 ? 1.0 : 0.0, j == 1 ? 1.0 : 0.0, j == 2 ? 1.0 : 0.0};
        const std::array<double, 4> turned = TurnFirstOrder(0.5, v, rotation);
        EXPECT_NEAR(turned[0], 0.5, 1e-15) << strCase;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(turned[i + 1], expected[i][j], 1e-15) << strCase << " R[" << i << "][" << j << "]";
    }
}

}  // namespace

// Dense random fields against f(R^-1 x) at random points: general turns, a half turn about y, a
// turn barely off z, about z alone; and every coefficient up to 2048.
TEST(Rotation, TurnedFieldsAgreeWithGslAtRandomPoints)
{
    struct Case
    {
        int nMax;
        int nPoints;
        const char* pszRotation;
    };
    const Case aCases[] = {
        {40, 300, "zyz:30,50,70"},   {40, 300, "axis:1,-2,0.5,-123"}, {40, 100, "zyz:10,180,-20"},
        {40, 100, "zyz:10,1e-9,20"}, {40, 100, "ypr:77,0,0"},         {2048, 12, "axis:0.3,-0.5,0.8,71"},
    };
    for (const Case& c : aCases)
    {
        const Field field = RandomField(c.nMax, static_cast<unsigned>(c.nMax));
        const Rotation rotation = ParseRotation(c.pszRotation);
        const Field turned = RotateField(field, rotation);
        double dLargest = 0.0, dError = 0.0;
        for (const Point& p : RandomPoints(c.nPoints, 7))
        {
            const double dExpected = OracleValue(field, c.nMax, TurnedBack(rotation, p));
            const double dValue = OracleValue(turned, c.nMax, p);
            dLargest = std::max({dLargest, std::fabs(dExpected), std::fabs(dValue)});
            dError = std::max(dError, std::fabs(dValue - dExpected));
        }
        EXPECT_LT(dError, 1e-12 * dLargest) << c.pszRotation << " L=" << c.nMax;
    }
}

TEST(Rotation, TurningThereAndBackGivesTheCoefficientsBack)
{
    const int nMax = 1024;
    const Field field = RandomField(nMax, 3);
    const Rotation rotation = ParseRotation("zyz:-40,110,25");
    const Field back = RotateField(RotateField(field, rotation), Inverse(rotation));
    const std::vector<double> aBefore = Dense(field, nMax), aAfter = Dense(back, nMax);
    double dError = 0.0, dNorm = 0.0;
    for (size_t i = 0; i < aBefore.size(); ++i)
    {
        dError += (aAfter[i] - aBefore[i]) * (aAfter[i] - aBefore[i]);
        dNorm += aBefore[i] * aBefore[i];
    }
    EXPECT_LT(std::sqrt(dError / dNorm), 1e-13);
}

// Each thread turns whole degrees, the longest first as they come; the coefficients must not depend
// on which thread turned which.
TEST(Rotation, GivesTheSameBitsOnAnyNumberOfThreads)
{
    const Field field = RandomField(300, 4);
    const Rotation rotation = ParseRotation("zyz:40,70,110");
    const Field one = RotateField(field, rotation, 1);
    for (const unsigned nThreads : {2u, 3u})
    {
        const Field several = RotateField(field, rotation, nThreads);
        ASSERT_EQ(several.aTerms.size(), one.aTerms.size());
        for (size_t k = 0; k < one.aTerms.size(); ++k)
            ASSERT_EQ(several.aTerms[k].c, one.aTerms[k].c) << nThreads << " threads, term " << k;
    }
}

// The identity and whole turns about z written as one angle leave every coefficient as it was
// (repeated terms summed); a whole turn about z made of two leaves them to rounding.
TEST(Rotation, IdentityAndWholeTurnsAboutZGiveTheCoefficientsBack)
{
    const int nMax = 300;
    Field field = RandomField(nMax, 5, Convention{Normalization::kSchmidt, true, SineSign::kStandard});
    field.aTerms.push_back(Term{2, -1, 0.25});
    const std::vector<double> aBefore = Dense(field, nMax);
    for (const char* pszRotation : {"zyz:0,0,0", "zyz:0,0,360", "axis:1,2,3,-720", "ypr:360,0,0"})
        EXPECT_EQ(Dense(RotateField(field, ParseRotation(pszRotation)), nMax), aBefore) << pszRotation;
    const std::vector<double> aAfter =
        Dense(RotateField(field, ParseRotations({"zyz:100,0,0", "zyz:260,0,0"})), nMax);
    for (size_t i = 0; i < aBefore.size(); ++i)
        EXPECT_NEAR(aAfter[i], aBefore[i], 1e-13) << i;
}

// Every normalisation, phase and sine sign, and a complex field, against the field evaluated at
// the point turned back: the turned field is the same function whatever the convention.
TEST(Rotation, EveryConventionTurnsTheSameFunction)
{
    const Rotation rotation = ParseRotation("zyz:35,-65,120");
    std::vector<std::array<double, 2>> aAt, aBackAt;
    for (const Point& p : RandomPoints(50, 11))
    {
        aAt.push_back(Angles(p));
        aBackAt.push_back(Angles(TurnedBack(rotation, p)));
    }
    for (Normalization normalization :
         {Normalization::kOrtho, Normalization::k4Pi, Normalization::kSchmidt, Normalization::kUnnormalized,
          Normalization::kSn3d, Normalization::kN3d})
        for (bool bCs : {false, true})
            for (SineSign sine : {SineSign::kLobara, SineSign::kStandard})
            {
                const Field field = RandomField(12, 13, Convention{normalization, bCs, sine});
                const std::vector<double> aExpected = EvaluateField(field, aBackAt);
                const std::vector<double> aValues = EvaluateField(RotateField(field, rotation), aAt);
                double dLargest = 0.0;
                for (double d : aExpected)
                    dLargest = std::max(dLargest, std::fabs(d));
                for (size_t i = 0; i < aAt.size(); ++i)
                    EXPECT_NEAR(aValues[i], aExpected[i], 1e-12 * dLargest)
                        << NormalizationName(normalization) << " cs=" << bCs << " point " << i;
            }
    const ComplexField complex = ComplexParts(RandomField(9, 17, Convention{Normalization::kOrtho, true}));
    const auto aExpected = EvaluateComplexField(complex, aBackAt);
    const auto aValues = EvaluateComplexField(RotateComplexField(complex, rotation), aAt);
    for (size_t i = 0; i < aAt.size(); ++i)
        for (int part = 0; part < 2; ++part)
            EXPECT_NEAR(aValues[i][part], aExpected[i][part], 1e-13) << "complex point " << i;
}

// The head tracker's angles on the four AmbiX channels: each channel turns as its direction
// does under the matrix written out. A cardioid at +x goes to +y under yaw 90.
TEST(Rotation, AmbixFirstOrderChannelsFollowTheRotationMatrix)
{
    const Matrix kYaw90 = {{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};    // +x to +y
    const Matrix kPitch90 = {{{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}};  // +x to -z, +z to +x
    const Matrix kRoll90 = {{{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}};   // +y to +z
    const auto transpose = [](const Matrix& m) {
        Matrix t;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                t[i][j] = m[j][i];
        return t;
    };
    const std::pair<const char*, Matrix> aCases[] = {
        {"ypr:90,0,0", kYaw90},   {"ypr:-90,0,0", transpose(kYaw90)},
        {"ypr:0,90,0", kPitch90}, {"ypr:0,-90,0", transpose(kPitch90)},
        {"ypr:0,0,90", kRoll90},  {"ypr:0,0,-90", transpose(kRoll90)},
    };
    for (const auto& [pszRotation, expected] : aCases)
    {
        const Rotation rotation = ParseRotation(pszRotation);
        // Each channel alone, W included, in ACN order.
        for (int nAcn = 0; nAcn < 4; ++nAcn)
        {
            const Field channel{{{nAcn == 0 ? 0 : 1, kAcnM[nAcn], 1.0}}, kAmbix};
            const std::vector<double> aTurned = Dense(RotateField(channel, rotation), 1);
            // Channel direction v (W: none) goes to R v, read back in ACN order (W, y, z, x).
            const Point v = {nAcn == 3 ? 1.0 : 0.0, nAcn == 1 ? 1.0 : 0.0, nAcn == 2 ? 1.0 : 0.0};
            const Point rv = {expected[0][0] * v[0] + expected[0][1] * v[1] + expected[0][2] * v[2],
                              expected[1][0] * v[0] + expected[1][1] * v[1] + expected[1][2] * v[2],
                              expected[2][0] * v[0] + expected[2][1] * v[1] + expected[2][2] * v[2]};
            const std::array<double, 4> aExpected = {nAcn == 0 ? 1.0 : 0.0, rv[1], rv[2], rv[0]};
            ASSERT_EQ(aTurned.size(), 4u);
            for (int k = 0; k < 4; ++k)
                EXPECT_NEAR(aTurned[static_cast<size_t>(k)], aExpected[static_cast<size_t>(k)], 1e-15)
                    << pszRotation << " channel " << nAcn << " into " << k;
        }
    }
    const std::array<double, 4> cardioid = TurnFirstOrder(0.5, {0.5, 0.0, 0.0}, ParseRotation("ypr:90,0,0"));
    EXPECT_NEAR(cardioid[1], 0.0, 1e-15);
    EXPECT_NEAR(cardioid[2], 0.5, 1e-15);
}

// zyz against Rz(alpha) Ry(beta) Rz(gamma) multiplied out by hand, axis against Rodrigues'
// formula written out for (1, 1, 0) and 90 degrees, and rotations given in turn composing with
// the first applied first.
TEST(Rotation, EulerAnglesAxesAndTurnsInOrderFollowTheirMatrices)
{
    const double a = 30.0 * M_PI / 180.0, b = 50.0 * M_PI / 180.0, g = 70.0 * M_PI / 180.0;
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b), cg = std::cos(g),
                 sg = std::sin(g);
    const Matrix kZyz = {{{ca * cb * cg - sa * sg, -ca * cb * sg - sa * cg, ca * sb},
                          {sa * cb * cg + ca * sg, -sa * cb * sg + ca * cg, sa * sb},
                          {-sb * cg, sb * sg, cb}}};
    ExpectTurnsAs(ParseRotation("zyz:30,50,70"), kZyz, "zyz:30,50,70");
    const double h = std::sqrt(0.5);
    ExpectTurnsAs(ParseRotation("axis:1,1,0,90"), {{{0.5, 0.5, h}, {0.5, 0.5, -h}, {-h, h, 0.0}}},
                  "axis:1,1,0,90");
    ExpectTurnsAs(ParseRotation("axis: 2e-300 ,2e-300,0,+90"),
                  {{{0.5, 0.5, h}, {0.5, 0.5, -h}, {-h, h, 0.0}}}, "tiny axis");
    // z by 90 (x to y), then x by 90 (y to z): x goes to z.
    ExpectTurnsAs(ParseRotations({"zyz:90,0,0", "axis:1,0,0,90"}), {{{0, -1, 0}, {0, 0, -1}, {1, 0, 0}}},
                  "z then x");
}

TEST(Rotation, BadTextsAreRefusedWithOneLineNamingThem)
{
    for (const std::string& strText :
         {std::string(""), std::string("zyz"), std::string("zyz:"), std::string("zyz:1,2"),
          std::string("zyz:1,2,3,4"), std::string("zyz:1,,3"), std::string("zyz:nan,0,0"),
          std::string("ypr:0,inf,0"), std::string("zyz:1e999,0,0"), std::string("axis:0,0,0,90"),
          std::string("axis:1,0,0"), std::string("xyz:1,2,3"), std::string("ypr:1,2,3x"),
          std::string("ypr:1;2;3"), std::string("ZYZ:1,2,3"), std::string("axis:0,0,1,90\nrm -rf")})
    {
        try
        {
            ParseRotation(strText);
            ADD_FAILURE() << "accepted '" << strText << "'";
        }
        catch (const std::invalid_argument& error)
        {
            const std::string strMessage = error.what();
            EXPECT_EQ(strMessage.find('\n'), std::string::npos) << strMessage;
            EXPECT_NE(strMessage.find(strText.substr(0, strText.find('\n'))), std::string::npos)
                << strMessage;
        }
    }
}

TEST(Rotation, MatricesThatAreNoRotationAreRefused)
{
    // Rz(90) written out: taken as it is.
    const Matrix quarter = {{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};
    EXPECT_EQ(RotationFromMatrix(quarter).r, quarter);
    const double dNan = std::nan("");
    for (const Matrix& matrix : {Matrix{{{-1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},         // a mirror
                                 Matrix{{{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}},       // the inversion
                                 Matrix{{{2, 0, 0}, {0, 1, 0}, {0, 0, 1}}},          // a stretch
                                 Matrix{{{1, 1e-6, 0}, {0, 1, 0}, {0, 0, 1}}},       // a shear
                                 Matrix{{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},          // nothing
                                 Matrix{{{dNan, 0, 0}, {0, 1, 0}, {0, 0, 1}}},       // not a number
                                 Matrix{{{1, 0, 0}, {0, HUGE_VAL, 0}, {0, 0, 1}}}})  // infinite
    {
        try
        {
            RotationFromMatrix(matrix);
            ADD_FAILURE() << "accepted a matrix with first entry " << matrix[0][0];
        }
        catch (const std::invalid_argument& error)
        {
            EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos) << error.what();
        }
    }
}
