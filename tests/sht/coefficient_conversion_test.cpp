// Coefficients between conventions against the closed-form ratios of the harmonics: 4pi over
// Schmidt sqrt(2l + 1), ortho over 4pi 1/sqrt(4 pi), the unnormalised harmonic over 4pi
// 1/sqrt((2 - d)(2l + 1)(l - |m|)!/(l + |m|)!), the Condon-Shortley phase (-1)^m and the sine's sign.
// The normalisations' factors are ratios of rounded square roots: the coefficients agree to a
// few units in the last place.
#include "sht/coefficient_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace {

constexpr double kPi = 3.14159265358979323846;

Convention Geodesy(Normalization normalization)
{
    return Convention{normalization, false, SineSign::kStandard};
}

// Every (l, m) up to nMax with coefficient 1 + l / 7 - m / 11.
Field EveryHarmonic(int32_t nMax, const Convention& convention)
{
    Field field{{}, convention};
    for (int32_t l = 0; l <= nMax; ++l)
        for (int32_t m = -l; m <= l; ++m)
            field.aTerms.push_back(Term{l, m, 1.0 + l / 7.0 - m / 11.0});
    return field;
}

// (l + a)! / (l - a)! in long double, exact for these small degrees.
long double FactorialRatio(int32_t l, int32_t a)
{
    long double d = 1.0L;
    for (int32_t k = l - a + 1; k <= l + a; ++k)
        d *= k;
    return d;
}

void ExpectEachTerm(const Field& from, const Field& to, double (*expected)(const Term&), double dRelative)
{
    ASSERT_EQ(from.aTerms.size(), to.aTerms.size());
    for (size_t i = 0; i < from.aTerms.size(); ++i)
    {
        ASSERT_EQ(to.aTerms[i].l, from.aTerms[i].l);
        ASSERT_EQ(to.aTerms[i].m, from.aTerms[i].m);
        const double dExpected = expected(from.aTerms[i]);
        EXPECT_NEAR(to.aTerms[i].c, dExpected, dRelative * std::fabs(dExpected))
            << "Y(" << from.aTerms[i].l << ", " << from.aTerms[i].m << ")";
    }
}

TEST(CoefficientConversion, NormalisationsChangeByTheirClosedFormRatios)
{
    const Field schmidt = EveryHarmonic(60, Geodesy(Normalization::kSchmidt));
    // c Y_schmidt = c' Y_4pi with Y_4pi = sqrt(2l + 1) Y_schmidt.
    ExpectEachTerm(
        schmidt, InConvention(schmidt, Geodesy(Normalization::k4Pi)),
        [](const Term& t) { return t.c / std::sqrt(2.0 * t.l + 1.0); }, 5.6e-16);
    ExpectEachTerm(
        schmidt, InConvention(schmidt, Geodesy(Normalization::kSn3d)), [](const Term& t) { return t.c; },
        0.0);
    const Field geodesy = EveryHarmonic(60, Geodesy(Normalization::k4Pi));
    ExpectEachTerm(
        geodesy, InConvention(geodesy, Geodesy(Normalization::kOrtho)),
        [](const Term& t) { return t.c * std::sqrt(4.0 * kPi); }, 5.6e-16);
    ExpectEachTerm(
        geodesy, InConvention(geodesy, Geodesy(Normalization::kN3d)), [](const Term& t) { return t.c; }, 0.0);
    const Field low = EveryHarmonic(20, Geodesy(Normalization::k4Pi));
    ExpectEachTerm(
        low, InConvention(low, Geodesy(Normalization::kUnnormalized)),
        [](const Term& t) {
            const int32_t a = std::abs(t.m);
            return static_cast<double>(
                t.c * std::sqrt((a == 0 ? 1.0L : 2.0L) * (2 * t.l + 1) / FactorialRatio(t.l, a)));
        },
        1e-13);
}

TEST(CoefficientConversion, PhaseAndSineSignFlipSignsExactlyAndTheSameConventionKeepsEveryBit)
{
    const Field geodesy = EveryHarmonic(9, Geodesy(Normalization::k4Pi));
    ExpectEachTerm(
        geodesy, InConvention(geodesy, Convention{Normalization::k4Pi, true, SineSign::kStandard}),
        [](const Term& t) { return t.m % 2 != 0 ? -t.c : t.c; }, 0.0);
    // The program's own sine is -sin(|m| phi) where the common one is +sin.
    ExpectEachTerm(
        geodesy, InConvention(geodesy, Convention{Normalization::k4Pi, false, SineSign::kLobara}),
        [](const Term& t) { return t.m < 0 ? -t.c : t.c; }, 0.0);
    for (const Normalization normalization :
         {Normalization::kOrtho, Normalization::kSchmidt, Normalization::kUnnormalized})
    {
        const Field field = EveryHarmonic(9, Convention{normalization, true, SineSign::kLobara});
        ExpectEachTerm(
            field, InConvention(field, field.convention), [](const Term& t) { return t.c; }, 0.0);
    }
}

TEST(CoefficientConversion, TermsOfOneHarmonicAddUpAndNoneIsLostToTheDoubleRange)
{
    const Convention geodesy = Geodesy(Normalization::k4Pi);
    const Field field{{Term{2, 1, 0.5}, Term{1, 0, 3.0}, Term{2, 1, 0.25}, Term{3, -3, 1.0},
                       Term{3, -3, -1.0}, Term{-1, 0, 1.0}, Term{1, 2, 1.0}, Term{0, 0, 0.0}},
                      geodesy};
    const Field sum = InConvention(field, geodesy);
    ASSERT_EQ(sum.aTerms.size(), 2u);
    EXPECT_EQ(sum.aTerms[0].l, 1);
    EXPECT_EQ(sum.aTerms[0].c, 3.0);
    EXPECT_EQ(sum.aTerms[1].l, 2);
    EXPECT_EQ(sum.aTerms[1].m, 1);
    EXPECT_EQ(sum.aTerms[1].c, 0.75);

    // The unnormalised harmonic of degree and order 300 is beyond the range of doubles.
    EXPECT_THROW(InConvention(Field{{Term{300, 300, 1.0}}, geodesy}, Geodesy(Normalization::kUnnormalized)),
                 std::runtime_error);
    EXPECT_THROW(InConvention(Field{{Term{0, 0, 1e308}, Term{0, 0, 1e308}}, geodesy}, geodesy),
                 std::runtime_error);
}

}  // namespace
