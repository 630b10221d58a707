#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The hydrogen-like atom of nuclear charge Z, lengths in Bohr radii a0 whatever Z (its orbitals
// shrink as 1/Z). Its orbital psi(n, l, m) = R(n, l; r) Y(l, m; theta, phi) with
//   R(n, l; r) = N rho^l e^(-rho/2) L_(n-l-1)^(2l+1)(rho),  rho = 2 Z r / n,
//   N = sqrt((2Z/n)^3 (n - l - 1)! / (2n (n + l)!)),
// L the associated Laguerre polynomial, so that the integral of R^2 r^2 over r >= 0 is 1.

// The highest principal number taken: up to there every value is within 1e-14 of the largest
// |R| of its orbital (the Laguerre recurrence, checked against 50-digit values).
constexpr int32_t kMaxPrincipal = 30;
// The nuclear charges taken.
constexpr double kMinCharge = 1e-3;
constexpr double kMaxCharge = 1e3;

struct OrbitalNumbers
{
    int32_t n = 1;
    int32_t l = 0;
    int32_t m = 0;
    double dCharge = 1.0;  // Z
};

// The orbital's name by its numbers, "psi(n,l,m)".
std::string OrbitalName(const OrbitalNumbers& numbers);

// Why the numbers name no orbital that can be built, in one line ("L must be below N: ..."),
// or empty when they do: 1 <= n <= kMaxPrincipal, 0 <= l < n, |m| <= l, Z finite in
// [kMinCharge, kMaxCharge].
std::string OrbitalNumbersError(const OrbitalNumbers& orbital);

// R(n, l; r) of valid numbers, for r >= 0. Values whose factor e^(-rho/2) is below the double
// range (rho above 1400, far beyond any probability a double holds) are 0.
class CRadialFunction
{
public:
    CRadialFunction(int32_t n, int32_t l, double dCharge);

    double operator()(double r) const;

    // n^2 / Z: the orbital's length scale (the mean radius is (3n^2 - l(l + 1)) / 2Z).
    double Scale() const { return m_dScale; }

    // The radii where R is 0, ascending: the n - l - 1 zeros of its Laguerre polynomial.
    std::vector<double> Nodes() const;

private:
    // The Laguerre recurrence's step to degree k + 1, divided through by k + 1:
    // L_(k+1) = (a_k - b_k rho) L_k - c_k L_(k-1).
    struct Step
    {
        double a;
        double b;
        double c;
    };

    int32_t m_n;
    int32_t m_l;
    double m_dRhoPerRadius;  // 2Z / n
    double m_dNorm;          // N
    double m_dScale;
    std::array<Step, kMaxPrincipal> m_aSteps;  // of k = 1 .. n - l - 2
};

// The first radius, in steps of n^2 / 64Z, within which the radial probability reaches
// dProbability.
double RadiusHolding(const CRadialFunction& radial, double dProbability);
