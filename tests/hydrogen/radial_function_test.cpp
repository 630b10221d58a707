#include "hydrogen/radial_function.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The textbook forms for n <= 3 (x = Zr), at several charges and radii.
TEST(RadialFunction, ClosedFormsForSmallN)
{
    const auto forms = [](int n, int l, double Z, double r) {
        const double x = Z * r, z3 = std::pow(Z, 1.5);
        switch (10 * n + l)
        {
            case 10:
                return 2.0 * z3 * std::exp(-x);
            case 20:
                return z3 / (2.0 * std::sqrt(2.0)) * (2.0 - x) * std::exp(-x / 2.0);
            case 21:
                return z3 / (2.0 * std::sqrt(6.0)) * x * std::exp(-x / 2.0);
            case 30:
                return 2.0 * z3 / (81.0 * std::sqrt(3.0)) * (27.0 - 18.0 * x + 2.0 * x * x) *
                       std::exp(-x / 3.0);
            case 31:
                return 4.0 * z3 / (81.0 * std::sqrt(6.0)) * (6.0 - x) * x * std::exp(-x / 3.0);
            default:
                return 4.0 * z3 / (81.0 * std::sqrt(30.0)) * x * x * std::exp(-x / 3.0);
        }
    };
    for (const double Z : {1.0, 2.5, 0.001, 1000.0})
        for (int n = 1; n <= 3; ++n)
            for (int l = 0; l < n; ++l)
            {
                const CRadialFunction radial(n, l, Z);
                for (const double x : {0.0, 0.3, 1.0, 2.0, 4.5, 9.0, 25.0})
                {
                    const double r = x / Z, dWant = forms(n, l, Z, r);
                    EXPECT_NEAR(radial(r), dWant, 1e-14 * std::pow(Z, 1.5) + 1e-14 * std::fabs(dWant))
                        << n << l << " Z " << Z << " r " << r;
                }
            }
}

// 50-digit values, from mpmath (mp.dps = 50):
//   rho = 2*r/n; N = sqrt((2/n)**3 * factorial(n-l-1) / (2*n*factorial(n+l)))
//   N * rho**l * exp(-rho/2) * laguerre(n-l-1, 2*l+1, rho)
// at n = 7 and at the highest n taken, 30, where the recurrence runs longest.
TEST(RadialFunction, AgreesWithMpmathAtN7AndN30)
{
    struct Row
    {
        int n;
        int l;
        std::vector<double> aWant;
    };
    const std::vector<double> aRadii7 = {0.5, 3, 12, 40, 97.5}, aRadii30 = {100, 900, 1750, 3000};
    const Row aRows[] = {
        {7,
         0,
         {6.2345243327881436e-2, -1.3772902125107146e-2, 3.1712158330349956e-3, -3.0478557698007524e-4,
          1.161565608847273e-3}},
        {7,
         1,
         {1.3789202804469614e-2, 1.7168991462349418e-2, -1.1357219843028929e-3, 7.5178363511597938e-4,
          -1.1140889133210307e-3}},
        {7,
         3,
         {1.6194596384709684e-5, 1.8300606308610325e-3, 6.7703893022801229e-3, 2.5816588443630233e-3,
          -8.6780765659510881e-4}},
        {7,
         6,
         {4.0934028059959298e-12, 1.3362472151962081e-7, 1.5131017776794127e-4, 3.8015673198735077e-3,
          2.1587953468856393e-4}},
        {30,
         0,
         {1.1205699004027741e-4, 2.3987691423789147e-5, -2.4396538176532252e-5, -5.0411672775920852e-14}},
        {30,
         7,
         {2.8045948090339414e-5, -2.8551552304562616e-5, 2.1378313016315671e-5, 2.7557794808727933e-14}},
        {30,
         29,
         {5.2660005617187493e-21, 6.506201219839566e-5, 7.6451816426797378e-9, 3.7687503572455131e-20}},
    };
    for (const Row& row : aRows)
    {
        const CRadialFunction radial(row.n, row.l, 1.0);
        const std::vector<double>& aRadii = row.n == 7 ? aRadii7 : aRadii30;
        for (size_t k = 0; k < aRadii.size(); ++k)
            EXPECT_NEAR(radial(aRadii[k]), row.aWant[k], 1e-12 * std::fabs(row.aWant[k]))
                << row.n << ", " << row.l << " at r = " << aRadii[k];
    }
}

TEST(RadialFunction, RefusesNumbersOfNoOrbital)
{
    EXPECT_EQ(OrbitalNumbersError({7, 6, -6, 1.0}), "");
    EXPECT_EQ(OrbitalNumbersError({30, 0, 0, 1000.0}), "");
    const OrbitalNumbers aBad[] = {{0, 0, 0, 1.0}, {31, 0, 0, 1.0},     {2, 2, 0, 1.0},   {3, -1, 0, 1.0},
                                   {3, 1, 2, 1.0}, {3, 1, -2, 1.0},     {1, 0, 0, 0.0},   {1, 0, 0, -1.0},
                                   {1, 0, 0, NAN}, {1, 0, 0, INFINITY}, {1, 0, 0, 1000.5}};
    for (const OrbitalNumbers& numbers : aBad)
    {
        const std::string strError = OrbitalNumbersError(numbers);
        EXPECT_FALSE(strError.empty()) << numbers.n << numbers.l << numbers.m << " Z " << numbers.dCharge;
        EXPECT_EQ(strError.find('\n'), std::string::npos) << strError;
    }
}

}  // namespace
