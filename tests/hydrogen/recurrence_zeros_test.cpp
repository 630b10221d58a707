#include "hydrogen/recurrence_zeros.h"

#include <gsl/gsl_integration.h>
#include <gsl/gsl_sf_laguerre.h>
#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// The zeros of P_k (lambda = 1/2) are GSL's Gauss-Legendre nodes.
TEST(RecurrenceZeros, LegendreZerosAreGslGaussNodes)
{
    for (int32_t k = 1; k <= 30; ++k)
    {
        const std::vector<double> aZeros = GegenbauerZeros(k, 0.5);
        ASSERT_EQ(aZeros.size(), static_cast<size_t>(k));
        gsl_integration_glfixed_table* pTable = gsl_integration_glfixed_table_alloc(static_cast<size_t>(k));
        std::vector<double> aNodes;
        for (size_t q = 0; q < static_cast<size_t>(k); ++q)
        {
            double x = 0.0, w = 0.0;
            gsl_integration_glfixed_point(-1.0, 1.0, q, &x, &w, pTable);
            aNodes.push_back(x);
        }
        gsl_integration_glfixed_table_free(pTable);
        std::sort(aNodes.begin(), aNodes.end());
        for (size_t q = 0; q < aNodes.size(); ++q)
            EXPECT_NEAR(aZeros[q], aNodes[q], 1e-14) << k << " " << q;
    }
}

// Each zero is where GSL's L_k^a and P_l^m (m = l - k) change sign, each once and only there:
// their signs just below and above every zero differ, and agree between zeros.
TEST(RecurrenceZeros, LaguerreAndAssociatedLegendreChangeSignThere)
{
    const auto checkSigns = [](const std::vector<double>& aZeros, double dLow, double dHigh,
                               const std::function<double(double)>& f, const char* pszWhat, int k) {
        ASSERT_EQ(aZeros.size(), static_cast<size_t>(k)) << pszWhat;
        std::vector<double> aBounds{dLow};
        aBounds.insert(aBounds.end(), aZeros.begin(), aZeros.end());
        aBounds.push_back(dHigh);
        for (size_t q = 0; q + 1 < aBounds.size(); ++q)
        {
            // Three points inside each interval between zeros share the sign, which alternates.
            const double a = aBounds[q], b = aBounds[q + 1];
            const double dSign = f(a + 0.5 * (b - a)) > 0.0 ? 1.0 : -1.0;
            EXPECT_GT(dSign * f(a + 1e-9 * (b - a) + 1e-12 * std::fabs(a)), 0.0) << pszWhat << k << " " << q;
            EXPECT_GT(dSign * f(b - 1e-9 * (b - a) - 1e-12 * std::fabs(b)), 0.0) << pszWhat << k << " " << q;
            if (q > 0)
            {
                EXPECT_LT(dSign * f(a - 1e-9 * (a - aBounds[q - 1])), 0.0) << pszWhat << k << " " << q;
            }
        }
    };
    for (int32_t l = 0; l < 30; ++l)
        for (const int32_t k : {1, 2, 7, 29 - l})
        {
            if (k < 1)
                continue;
            const double a = 2.0 * l + 1.0;
            checkSigns(
                LaguerreZeros(k, a), 0.0, 4.0 * k + 2.0 * a + 2.0,
                [k, a](double x) { return gsl_sf_laguerre_n(k, a, x); }, "Laguerre ", k);
        }
    for (int32_t l = 1; l <= 29; l += 4)
        for (int32_t m = 1; m <= l; m += 3)
            checkSigns(
                GegenbauerZeros(l - m, m + 0.5), -1.0, 1.0,
                [l, m](double x) { return gsl_sf_legendre_Plm(l, m, x); }, "Legendre ", l - m);
}

}  // namespace
