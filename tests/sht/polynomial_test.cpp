#include "sht/polynomial.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "test_helpers.h"

using Coeffs = std::vector<double>;

namespace {

Coeffs Legendre(int32_t l)
{
    Polynomial p;
    LegendrePolynomial(l, p);
    return Coefficients(p);
}

Coeffs Derivative(int32_t l, int32_t nCount)
{
    Polynomial p;
    LegendrePolynomial(l, p);
    DifferentiatePolynomial(nCount, p);
    return Coefficients(p);
}

}  // namespace

TEST(LegendrePolynomial, ReferenceCoefficientsExactly)
{
    EXPECT_EQ(Legendre(0), (Coeffs{1.0}));
    EXPECT_EQ(Legendre(1), (Coeffs{0.0, 1.0}));
    EXPECT_EQ(Legendre(2), (Coeffs{-0.5, 0.0, 1.5}));
    EXPECT_EQ(Legendre(3), (Coeffs{0.0, -1.5, 0.0, 2.5}));
    EXPECT_EQ(Legendre(4), (Coeffs{0.375, 0.0, -3.75, 0.0, 4.375}));
}

TEST(LegendrePolynomial, RoundedFactorsAccumulateInTheStatedOrder)
{
    // (2k - 1)/k and -(k - 1)/k are rounded doubles: 0.375 * 1.8 + (-1.5) * (-0.8).
    const Coeffs p5 = Legendre(5);
    ASSERT_EQ(p5.size(), 6u);
    EXPECT_EQ(p5[1], 1.8750000000000002);
    EXPECT_EQ(p5[0], 0.0);  // zero coefficients are kept, not trimmed
}

TEST(LegendrePolynomial, LengthIsDegreePlusOne)
{
    for (int32_t l : {0, 1, 2, 7, 30, 100})
        EXPECT_EQ(Legendre(l).size(), static_cast<size_t>(l + 1)) << "l = " << l;
}

TEST(LegendrePolynomial, NegativeDegreeLeavesOutputUntouched)
{
    Polynomial p = MakePolynomial({4.0, 5.0});
    LegendrePolynomial(-1, p);
    EXPECT_EQ(Coefficients(p), (Coeffs{4.0, 5.0}));
    LegendrePolynomial(std::numeric_limits<int32_t>::min(), p);
    EXPECT_EQ(Coefficients(p), (Coeffs{4.0, 5.0}));

    Polynomial empty;
    LegendrePolynomial(-3, empty);
    EXPECT_EQ(empty.GetSize(), 0);
}

TEST(DifferentiatePolynomial, ReferenceDerivatives)
{
    EXPECT_EQ(Derivative(2, 1), (Coeffs{0.0, 3.0}));
    EXPECT_EQ(Derivative(2, 2), (Coeffs{3.0}));
    EXPECT_EQ(Derivative(2, 3), Coeffs{});
    EXPECT_EQ(Derivative(3, 1), (Coeffs{-1.5, 0.0, 7.5}));
    EXPECT_EQ(Derivative(3, 2), (Coeffs{0.0, 15.0}));
    EXPECT_EQ(Derivative(3, 3), (Coeffs{15.0}));
    EXPECT_EQ(Derivative(3, 4), Coeffs{});
}

TEST(DifferentiatePolynomial, ZeroOrNegativeCountLeavesPolynomialUnchanged)
{
    EXPECT_EQ(Derivative(3, 0), Legendre(3));
    EXPECT_EQ(Derivative(3, -1), Legendre(3));
    EXPECT_EQ(Derivative(3, std::numeric_limits<int32_t>::min()), Legendre(3));
}

TEST(DifferentiatePolynomial, EmptyStaysEmptyForAnyCount)
{
    // The zero polynomial's derivative is zero, however large the count.
    Polynomial p;
    DifferentiatePolynomial(1, p);
    EXPECT_EQ(p.GetSize(), 0);
    DifferentiatePolynomial(std::numeric_limits<int32_t>::max(), p);
    EXPECT_EQ(p.GetSize(), 0);
    EXPECT_EQ(Derivative(4, std::numeric_limits<int32_t>::max()), Coeffs{});
}

TEST(CombinePolynomials, ShiftsAndCoefficientOrder)
{
    Polynomial out = MakePolynomial({9.0, 9.0, 9.0, 9.0, 9.0});
    CombinePolynomials(2.0, -3.0, 1, 0, out, MakePolynomial({5.0, 7.0}), MakePolynomial({11.0}));
    // 2x(5 + 7x) - 3 * 11: the old contents and length of out are gone.
    EXPECT_EQ(Coefficients(out), (Coeffs{-33.0, 10.0, 14.0}));
}

TEST(CombinePolynomials, TwoEmptyPolynomialsGiveEmpty)
{
    Polynomial out = MakePolynomial({1.0});
    CombinePolynomials(1.0, 1.0, 0, 0, out, Polynomial(), Polynomial());
    EXPECT_EQ(out.GetSize(), 0);
}

TEST(CopyPolynomial, CopiesAndShrinks)
{
    Polynomial destination = MakePolynomial({1.0, 2.0, 3.0});
    CopyPolynomial(destination, MakePolynomial({4.0}));
    EXPECT_EQ(Coefficients(destination), (Coeffs{4.0}));
    CopyPolynomial(destination, Polynomial());
    EXPECT_EQ(destination.GetSize(), 0);
}
