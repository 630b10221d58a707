// Geoid heights, gravity disturbances and anomalies, the potential, radial gravity, the radial
// magnetic field and the magnetic intensity of a small model, against direct sums of GSL's Legendre functions
// written from the formulas of physical geodesy and geomagnetism.
#include "geodesy/field_quantity.h"

#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "sht/field_synthesis.h"

namespace {

constexpr double kGm = 3.986004415e14;
constexpr double kRadius = 6378136.3;

// C(l, m) and S(l, m) of a model, degrees 0 to kMax, with Kaula's decay.
constexpr int kMax = 8;
struct Model
{
    double c[kMax + 1][kMax + 1];
    double s[kMax + 1][kMax + 1];
};

Model RandomModel()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    Model model{};
    for (int l = 0; l <= kMax; ++l)
        for (int m = 0; m <= l; ++m)
        {
            model.c[l][m] = 1e-5 / (l * l + 1) * value(random);
            model.s[l][m] = m == 0 ? 0.0 : 1e-5 / (l * l + 1) * value(random);
        }
    return model;
}

std::vector<Term> ModelTerms(const Model& model)
{
    std::vector<Term> aTerms;
    for (int l = 0; l <= kMax; ++l)
        for (int m = 0; m <= l; ++m)
        {
            aTerms.push_back(Term{l, m, model.c[l][m]});
            if (m > 0)
                aTerms.push_back(Term{l, -m, model.s[l][m]});
        }
    return aTerms;
}

// sum over l of w(l) sum over m of (C cos m phi + S sin m phi) P(l, m), P Schmidt-normalised
// times sqrt(2l + 1) (fully normalised) when bFull.
double DirectSum(const Model& model, bool bFull, double theta, double phi,
                 const std::function<double(int)>& w)
{
    std::vector<double> aP(gsl_sf_legendre_array_n(kMax));
    gsl_sf_legendre_array_e(GSL_SF_LEGENDRE_SCHMIDT, kMax, std::cos(theta), 1.0, aP.data());
    double dSum = 0.0;
    for (int l = 0; l <= kMax; ++l)
    {
        double dDegree = 0.0;
        for (int m = 0; m <= l; ++m)
            dDegree += (model.c[l][m] * std::cos(m * phi) + model.s[l][m] * std::sin(m * phi)) *
                       aP[gsl_sf_legendre_array_index(l, m)] * (bFull ? std::sqrt(2.0 * l + 1.0) : 1.0);
        dSum += w(l) * dDegree;
    }
    return dSum;
}

TEST(FieldQuantityTest, MatchesDirectSumsOfTheFormulas)
{
    const Model model = RandomModel();
    const std::vector<std::array<double, 2>> aPoints = {
        {0.0, 0.0}, {0.3, 1.1}, {1.5707963267948966, 4.0}, {2.2, 5.9}, {3.141592653589793, 2.0}};
    const double dGamma = 9.7976446561;
    for (const double dHeight : {0.0, 250e3, -3000.0})
    {
        const double r = kRadius + dHeight;
        const auto q = [&](int n) { return std::pow(kRadius / r, n); };
        struct Case
        {
            const char* pszName;
            bool bFull;
            std::function<double(int)> w;
        };
        const std::vector<Case> aCases = {
            {"potential", true, [&](int l) { return kGm / r * q(l); }},
            {"geoid", true, [&](int l) { return kGm / (r * dGamma) * q(l); }},
            {"gravity-disturbance", true, [&](int l) { return 1e5 * kGm / (r * r) * (l + 1) * q(l); }},
            {"gravity-anomaly", true, [&](int l) { return 1e5 * kGm / (r * r) * (l - 1) * q(l); }},
            {"radial-gravity", true, [&](int l) { return -1e5 * kGm / (r * r) * (l + 1) * q(l); }},
            {"Br", false, [&](int l) { return (l + 1) * q(l + 2); }},
        };
        for (const Case& c : aCases)
        {
            const QuantityInfo* pInfo = FindQuantity(c.pszName);
            ASSERT_NE(pInfo, nullptr);
            std::vector<Term> aTerms = ModelTerms(model);
            ApplyQuantity(*pInfo, QuantitySetting{kRadius, kGm, dHeight, dGamma}, aTerms);
            const Convention convention{c.bFull ? Normalization::k4Pi : Normalization::kSchmidt, false,
                                        SineSign::kStandard};
            const std::vector<double> aValues = EvaluateField(Field{aTerms, convention}, aPoints);
            double dLargest = 0.0;
            std::vector<double> aExpected;
            for (const auto& point : aPoints)
            {
                aExpected.push_back(DirectSum(model, c.bFull, point[0], point[1], c.w));
                dLargest = std::max(dLargest, std::fabs(aExpected.back()));
            }
            for (size_t i = 0; i < aPoints.size(); ++i)
                EXPECT_NEAR(aValues[i], aExpected[i], 1e-10 * dLargest)
                    << c.pszName << " at height " << dHeight;
        }
    }
}

TEST(FieldQuantityTest, IntensityIsTheLengthOfMinusTheGradient)
{
    // Br, B_theta = -(1/r) dV/dtheta and B_phi = -(1/(r sin theta)) dV/dphi summed directly from
    // GSL's Schmidt functions and their derivatives, with V = R sum q^(l+1) (g cos + h sin) P.
    const Model model = RandomModel();
    const std::vector<std::array<double, 2>> aPoints = {
        {0.2, 0.0}, {0.9, 1.1}, {1.5707963267948966, 4.0}, {2.2, 5.9}, {3.0, 2.0}};
    const double dHeight = 400e3;
    const double q = kRadius / (kRadius + dHeight);
    const std::array<std::vector<Term>, 3> aComponents =
        IntensityComponents(QuantitySetting{kRadius, std::nullopt, dHeight, 0.0}, ModelTerms(model));
    const Convention schmidt{Normalization::kSchmidt, false, SineSign::kStandard};
    std::array<std::vector<double>, 3> aValues;
    for (size_t k = 0; k < 3; ++k)
        aValues[k] = EvaluateField(Field{aComponents[k], schmidt}, aPoints);
    for (size_t i = 0; i < aPoints.size(); ++i)
    {
        const double theta = aPoints[i][0], phi = aPoints[i][1];
        std::vector<double> aP(gsl_sf_legendre_array_n(kMax)), aDerivative(aP.size());
        gsl_sf_legendre_deriv_array_e(GSL_SF_LEGENDRE_SCHMIDT, kMax, std::cos(theta), 1.0, aP.data(),
                                      aDerivative.data());
        double dR = 0.0, dTheta = 0.0, dPhi = 0.0;
        for (int l = 0; l <= kMax; ++l)
            for (int m = 0; m <= l; ++m)
            {
                const double p = aP[gsl_sf_legendre_array_index(l, m)];
                const double dP = -std::sin(theta) * aDerivative[gsl_sf_legendre_array_index(l, m)];
                const double dCos = std::cos(m * phi), dSin = std::sin(m * phi);
                const double dRadial = std::pow(q, l + 2);
                dR += dRadial * (l + 1) * (model.c[l][m] * dCos + model.s[l][m] * dSin) * p;
                dTheta -= dRadial * (model.c[l][m] * dCos + model.s[l][m] * dSin) * dP;
                dPhi += dRadial * m * (model.c[l][m] * dSin - model.s[l][m] * dCos) * p / std::sin(theta);
            }
        const double dExpected = std::sqrt(dR * dR + dTheta * dTheta + dPhi * dPhi);
        const double dIntensity = std::sqrt(aValues[0][i] * aValues[0][i] + aValues[1][i] * aValues[1][i] +
                                            aValues[2][i] * aValues[2][i]);
        EXPECT_NEAR(dIntensity, dExpected, 1e-10 * dExpected) << "at point " << i;
    }
}

TEST(FieldQuantityTest, RefusesMissingConstantsAndHeightsAtOrBelowTheCentre)
{
    const auto errorOf = [](const char* pszName, const QuantitySetting& setting) -> std::string {
        std::vector<Term> aTerms = {{0, 0, 1.0}, {2190, 0, 1e-20}};
        try
        {
            ApplyQuantity(*FindQuantity(pszName), setting, aTerms);
        }
        catch (const std::runtime_error& error)
        {
            return error.what();
        }
        return "applied";
    };
    EXPECT_EQ(errorOf("geoid", {std::nullopt, kGm, 0.0, 9.8}),
              "geoid needs the model's reference radius, which its file does not give");
    EXPECT_EQ(errorOf("gravity-anomaly", {kRadius, std::nullopt, 0.0, 0.0}),
              "gravity-anomaly needs the model's GM, which its file does not give");
    EXPECT_EQ(
        errorOf("potential", {kRadius, kGm, -kRadius, 0.0}),
        "the height -6378136.3 m is at or below the centre, -6378136.3 m below the sphere of the model's "
        "radius");
    EXPECT_EQ(errorOf("potential", {kRadius, kGm, -6e6, 0.0}),
              "at the height -6000000 m, potential of degree 244 is beyond the range of doubles");
    // Br at the reference sphere needs no radius.
    EXPECT_EQ(errorOf("Br", {std::nullopt, std::nullopt, 0.0, 0.0}), "applied");
    EXPECT_EQ(FindQuantity("intensity2"), nullptr);
    EXPECT_THROW(IntensityComponents({std::nullopt, std::nullopt, 1.0, 0.0}, {{1, 0, 1.0}}),
                 std::runtime_error);
}

}  // namespace
