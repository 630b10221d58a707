#include "text/table_captions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "../sht/closed_form_harmonic.h"
#include "text/orbital_captions.h"

namespace {

const std::string kMinus = "\u2212";

// The real orbitals as chemistry names them, each with its Cartesian polynomial: the words the
// cell of Y(l, m) shows in markup, and the polynomial as a function on the unit sphere.
struct Orbital
{
    int l, m;
    std::string strName, strPolynomial;
    std::function<double(double, double, double)> polynomial;
};
const std::vector<Orbital>& Orbitals()
{
    static const std::vector<Orbital> aOrbitals = {
        {0, 0, "s", "1", [](double, double, double) { return 1.0; }},
        {1, -1, "p<sub>y</sub>", "y", [](double, double y, double) { return y; }},
        {1, 0, "p<sub>z</sub>", "z", [](double, double, double z) { return z; }},
        {1, 1, "p<sub>x</sub>", "x", [](double x, double, double) { return x; }},
        {2, -2, "d<sub>xy</sub>", "xy", [](double x, double y, double) { return x * y; }},
        {2, -1, "d<sub>yz</sub>", "yz", [](double, double y, double z) { return y * z; }},
        {2, 0, "d<sub>z²</sub>", "3z²−r²", [](double, double, double z) { return 3 * z * z - 1; }},
        {2, 1, "d<sub>xz</sub>", "xz", [](double x, double, double z) { return x * z; }},
        {2, 2, "d<sub>x²−y²</sub>", "x²−y²", [](double x, double y, double) { return x * x - y * y; }},
        {3, -3, "f<sub>y(3x²−y²)</sub>", "y(3x²−y²)",
         [](double x, double y, double) { return y * (3 * x * x - y * y); }},
        {3, -2, "f<sub>xyz</sub>", "xyz", [](double x, double y, double z) { return x * y * z; }},
        {3, -1, "f<sub>yz²</sub>", "y(5z²−r²)",
         [](double, double y, double z) { return y * (5 * z * z - 1); }},
        {3, 0, "f<sub>z³</sub>", "z(5z²−3r²)", [](double, double, double z) { return z * (5 * z * z - 3); }},
        {3, 1, "f<sub>xz²</sub>", "x(5z²−r²)",
         [](double x, double, double z) { return x * (5 * z * z - 1); }},
        {3, 2, "f<sub>z(x²−y²)</sub>", "z(x²−y²)",
         [](double x, double y, double z) { return z * (x * x - y * y); }},
        {3, 3, "f<sub>x(x²−3y²)</sub>", "x(x²−3y²)",
         [](double x, double y, double) { return x * (x * x - 3 * y * y); }},
    };
    return aOrbitals;
}

// Whether Y(l, m) of the convention is the negative of the orbital: their ratio at a point where
// neither is 0, from the closed form of the harmonic.
bool IsNegativeOf(const Orbital& orbital, const Convention& convention)
{
    const double dTheta = 0.7, dPhi = 0.4;
    const double x = std::sin(dTheta) * std::cos(dPhi), y = std::sin(dTheta) * std::sin(dPhi),
                 z = std::cos(dTheta);
    return ClosedFormHarmonic(orbital.l, orbital.m, convention, dTheta, dPhi) / orbital.polynomial(x, y, z) <
           0.0;
}

const Convention kConventions[] = {
    {},
    {Normalization::k4Pi, true, SineSign::kStandard},
    {Normalization::kSchmidt, true, SineSign::kLobara},
    {Normalization::kUnnormalized, false, SineSign::kStandard},
};

TEST(TableCellCaption, ReadsYOfTheCellsOwnDegreeAndOrder)
{
    TableWords words;
    words.labels = TableLabels::kHarmonics;
    for (int l = 0; l <= 5; ++l)
        for (int m = -l; m <= l; ++m)
            EXPECT_EQ(TableCellCaption(l, m, words),
                      std::vector<std::string>{"Y(" + std::to_string(l) + "," + (m < 0 ? kMinus : "") +
                                               std::to_string(std::abs(m)) + ")"});
}

TEST(TableCellCaption, NamesTheOrbitalOfTheCellWithItsSignInTheConvention)
{
    for (const Convention& convention : kConventions)
        for (const bool bPolynomials : {false, true})
        {
            TableWords words;
            words.labels = TableLabels::kOrbitals;
            words.bPolynomials = bPolynomials;
            words.convention = convention;
            for (const Orbital& orbital : Orbitals())
            {
                const bool bNegative = IsNegativeOf(orbital, convention);
                const bool bSum = orbital.strPolynomial.find(kMinus) != std::string::npos &&
                                  orbital.strPolynomial.find('(') == std::string::npos;
                std::vector<std::string> aExpected = {(bNegative ? kMinus : "") + orbital.strName};
                if (bPolynomials)
                    aExpected.push_back(bNegative ? kMinus + (bSum ? "(" + orbital.strPolynomial + ")"
                                                                   : orbital.strPolynomial)
                                                  : orbital.strPolynomial);
                EXPECT_EQ(TableCellCaption(orbital.l, orbital.m, words), aExpected)
                    << NormalizationName(convention.normalization)
                    << (convention.bCondonShortley ? " --cs " : " ") << SineSignName(convention.sine) << " Y("
                    << orbital.l << ", " << orbital.m << ")";
            }
            // Beyond the orbitals the cells read Y(l,m).
            EXPECT_EQ(TableCellCaption(4, -3, words), std::vector<std::string>{"Y(4," + kMinus + "3)"});
        }
}

TEST(OrbitalCaption, NoneBeyondDegreeThreeOrOutsideTheHarmonics)
{
    OrbitalCaption caption;
    EXPECT_FALSE(FindOrbitalCaption(4, 0, Convention{}, caption));
    EXPECT_FALSE(FindOrbitalCaption(-1, 0, Convention{}, caption));
    EXPECT_FALSE(FindOrbitalCaption(2, 3, Convention{}, caption));
    // In the program's own convention Y(1, -1) is -p_y (its sine is -sin).
    ASSERT_TRUE(FindOrbitalCaption(1, -1, Convention{}, caption));
    EXPECT_EQ(caption.strName, kMinus + "p<sub>y</sub>");
    EXPECT_EQ(caption.strPolynomial, kMinus + "y");
}

}  // namespace
