// The orbitals by name against the signs of their Cartesian polynomials, in every convention:
// each pure orbital has its polynomial's sign everywhere, each hybrid is largest along its
// documented direction, and each table caption names the orbital whose sign pattern its
// harmonic has.

#include "fields/orbitals.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "sht/field_synthesis.h"

namespace {

using Point = std::array<double, 3>;

struct NamedPolynomial
{
    const char* pszName;
    double (*polynomial)(double x, double y, double z);
};

const NamedPolynomial kPolynomials[] = {
    {"s", [](double, double, double) { return 1.0; }},
    {"p_x", [](double x, double, double) { return x; }},
    {"p_y", [](double, double y, double) { return y; }},
    {"p_z", [](double, double, double z) { return z; }},
    {"d_xy", [](double x, double y, double) { return x * y; }},
    {"d_yz", [](double, double y, double z) { return y * z; }},
    {"d_z²", [](double x, double y, double z) { return 2 * z * z - x * x - y * y; }},
    {"d_xz", [](double x, double, double z) { return x * z; }},
    {"d_x2-y2", [](double x, double y, double) { return x * x - y * y; }},
    {"f_z3", [](double x, double y, double z) { return z * (2 * z * z - 3 * x * x - 3 * y * y); }},
    {"f_xz2", [](double x, double y, double z) { return x * (4 * z * z - x * x - y * y); }},
    {"f_yz2", [](double x, double y, double z) { return y * (4 * z * z - x * x - y * y); }},
    {"f_xyz", [](double x, double y, double z) { return x * y * z; }},
    {"f_z(x²−y²)", [](double x, double y, double z) { return z * (x * x - y * y); }},
    {"f_x(x2-3y2)", [](double x, double y, double) { return x * (x * x - 3 * y * y); }},
    {"f_y(3x2-y2)", [](double x, double y, double) { return y * (3 * x * x - y * y); }},
};

struct Hybrid
{
    const char* pszName;
    Point direction;  // before normalising
};

const Hybrid kHybrids[] = {
    {"sp", {0, 0, 1}},
    {"sp:2", {0, 0, -1}},
    {"sp2", {1, 0, 0}},
    {"sp2:2", {-0.5, std::sqrt(0.75), 0}},
    {"sp2:3", {-0.5, -std::sqrt(0.75), 0}},
    {"sp3", {1, 1, 1}},
    {"sp3:2", {1, -1, -1}},
    {"sp3:3", {-1, 1, -1}},
    {"sp3:4", {-1, -1, 1}},
    {"sp3d", {0, 0, 1}},
    {"sp3d:2", {0, 0, -1}},
    {"sp3d:3", {1, 0, 0}},
    {"sp3d:4", {-0.5, std::sqrt(0.75), 0}},
    {"sp3d:5", {-0.5, -std::sqrt(0.75), 0}},
    {"sp3d2", {0, 0, 1}},
    {"sp3d2:2", {0, 0, -1}},
    {"sp3d2:3", {1, 0, 0}},
    {"sp3d2:4", {-1, 0, 0}},
    {"sp3d2:5", {0, 1, 0}},
    {"sp3d2:6", {0, -1, 0}},
};

std::vector<Convention> AllConventions()
{
    std::vector<Convention> aConventions;
    for (Normalization normalization :
         {Normalization::kOrtho, Normalization::k4Pi, Normalization::kSchmidt, Normalization::kUnnormalized})
        for (bool bCondonShortley : {false, true})
            for (SineSign sine : {SineSign::kLobara, SineSign::kStandard})
                aConventions.push_back(Convention{normalization, bCondonShortley, sine});
    return aConventions;
}

std::string Described(const Convention& convention)
{
    return std::string(NormalizationName(convention.normalization)) +
           (convention.bCondonShortley ? " cs" : "") +
           (convention.sine == SineSign::kLobara ? " lobara" : " standard");
}

// Unit directions: the axes, the diagonals of the examples, and random ones.
std::vector<Point> Directions()
{
    std::vector<Point> aPoints = {{1, 0, 0},
                                  {-1, 0, 0},
                                  {0, 1, 0},
                                  {0, -1, 0},
                                  {0, 0, 1},
                                  {0, 0, -1},
                                  {std::sqrt(0.5), std::sqrt(0.5), 0}};
    std::mt19937 random(21);
    std::normal_distribution<double> normal;
    for (int i = 0; i < 300; ++i)
        aPoints.push_back({normal(random), normal(random), normal(random)});
    for (Point& point : aPoints)
    {
        const double dLength = std::hypot(point[0], point[1], point[2]);
        for (double& d : point)
            d /= dLength;
    }
    return aPoints;
}

std::vector<double> ValuesAt(const Field& field, const std::vector<Point>& aPoints)
{
    std::vector<std::array<double, 2>> aAngles;
    for (const Point& p : aPoints)
        aAngles.push_back({std::acos(std::max(-1.0, std::min(1.0, p[2]))), std::atan2(p[1], p[0])});
    return EvaluateField(field, aAngles);
}

// Whether the values have the sign of dSign times the polynomial wherever it is clearly not 0.
void ExpectSignPattern(const std::vector<double>& aValues, const std::vector<Point>& aPoints,
                       double (*polynomial)(double, double, double), double dSign, const std::string& strWhat)
{
    for (size_t i = 0; i < aPoints.size(); ++i)
    {
        const double dPolynomial = dSign * polynomial(aPoints[i][0], aPoints[i][1], aPoints[i][2]);
        if (std::fabs(dPolynomial) <= 1e-3)
            continue;
        ASSERT_EQ(aValues[i] > 0.0, dPolynomial > 0.0)
            << strWhat << " at (" << aPoints[i][0] << ", " << aPoints[i][1] << ", " << aPoints[i][2] << ")";
    }
}

}  // namespace

TEST(Orbitals, EachNameHasItsSignsInEveryConvention)
{
    const std::vector<Point> aPoints = Directions();
    for (const Convention& convention : AllConventions())
    {
        for (const NamedPolynomial& named : kPolynomials)
        {
            Field field;
            ASSERT_TRUE(FindOrbital(named.pszName, convention, field)) << named.pszName;
            ExpectSignPattern(ValuesAt(field, aPoints), aPoints, named.polynomial, 1.0,
                              std::string(named.pszName) + " in " + Described(convention));
        }
        for (const Hybrid& hybrid : kHybrids)
        {
            Field field;
            ASSERT_TRUE(FindOrbital(hybrid.pszName, convention, field)) << hybrid.pszName;
            std::vector<Point> aAt = aPoints;
            const double dLength = std::hypot(hybrid.direction[0], hybrid.direction[1], hybrid.direction[2]);
            aAt.insert(aAt.begin(), {hybrid.direction[0] / dLength, hybrid.direction[1] / dLength,
                                     hybrid.direction[2] / dLength});
            const std::vector<double> aValues = ValuesAt(field, aAt);
            EXPECT_GT(aValues[0], 0.0) << hybrid.pszName << " in " << Described(convention);
            for (size_t i = 1; i < aValues.size(); ++i)
                ASSERT_LE(std::fabs(aValues[i]), aValues[0] + 1e-12)
                    << hybrid.pszName << " in " << Described(convention) << " is larger off its direction";
        }
    }
    Field field;
    for (const char* pszWrong :
         {"", "p", "p_w", "sp3:0", "sp3:5", "sp3:", "sp3:01x", "sp:99999999999", "d_z2 "})
        EXPECT_FALSE(FindOrbital(pszWrong, Convention{}, field)) << pszWrong;
}

TEST(Orbitals, EachHarmonicIsNamedAsTheOrbitalOfItsSigns)
{
    const std::vector<Point> aPoints = Directions();
    for (const Convention& convention : AllConventions())
        for (int32_t l = 0; l <= 3; ++l)
            for (int32_t m = -l; m <= l; ++m)
            {
                OrbitalOfHarmonic orbital;
                ASSERT_TRUE(FindOrbitalOfHarmonic(l, m, convention, orbital));
                const NamedPolynomial* pNamed = nullptr;
                for (const NamedPolynomial& named : kPolynomials)
                {
                    // The table types some names with ² and −, as a user may.
                    std::string strPlain = named.pszName;
                    for (const auto& [strTyped, strAscii] :
                         {std::pair<std::string, std::string>{"²", "2"}, {"³", "3"}, {"−", "-"}})
                        for (size_t i; (i = strPlain.find(strTyped)) != std::string::npos;)
                            strPlain.replace(i, strTyped.size(), strAscii);
                    if (orbital.strName == strPlain)
                        pNamed = &named;
                }
                ASSERT_NE(pNamed, nullptr) << orbital.strName;
                ExpectSignPattern(ValuesAt(Field{{Term{l, m, 1.0}}, convention}, aPoints), aPoints,
                                  pNamed->polynomial, orbital.bNegative ? -1.0 : 1.0,
                                  "the orbital " + orbital.strName + " of Y(" + std::to_string(l) + ", " +
                                      std::to_string(m) + ") in " + Described(convention));
            }
    // In the program's own convention the sine harmonics are the negatives of the orbitals.
    OrbitalOfHarmonic orbital;
    ASSERT_TRUE(FindOrbitalOfHarmonic(1, -1, Convention{}, orbital));
    EXPECT_EQ(orbital.strName, "p_y");
    EXPECT_TRUE(orbital.bNegative);
    EXPECT_FALSE(FindOrbitalOfHarmonic(4, 0, Convention{}, orbital));
}
