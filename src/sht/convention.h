#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "names/named_values.h"
#include "sht/angles.h"

// How the real harmonic of degree l and order m is normalised and signed. With
// P_l^m(x) = (1 - x^2)^(m/2) d^m/dx^m P_l(x) (no Condon-Shortley phase) and K(l, m) =
// (l - |m|)! / (l + |m|)!, the real harmonic is
//   Y(l, m) = n(l, |m|) P_l^|m|(cos theta) * (1 for m = 0, cos(m phi) for m > 0, s sin(|m| phi) for m < 0)
// where n is the normalisation's factor and s the sine's sign:
//   ortho    sqrt((2 - d) (2l + 1) / (4 pi) K)   unit square integral over the sphere (d = 1 for m = 0)
//   4pi      sqrt((2 - d) (2l + 1) K)            mean square 1 (geodesy)
//   schmidt  sqrt((2 - d) K)                     Schmidt semi-normalised (geomagnetism)
//   unnorm   1
//   sn3d     sqrt((2 - d) K)                     ambisonics' semi-normalisation, as schmidt
//   n3d      sqrt((2 - d) (2l + 1) K)            ambisonics' full normalisation, as 4pi
// The Condon-Shortley phase, where chosen, multiplies by (-1)^m. s is -1 in this program's own
// rule (the viewer's harmonics) and +1 in the common one (geodesy files, ambisonics, most libraries).
enum class Normalization
{
    kOrtho,
    k4Pi,
    kSchmidt,
    kUnnormalized,
    kSn3d,
    kN3d,
};

enum class SineSign
{
    kLobara,    // -sqrt(2) sin(|m| phi) in ortho: the viewer's harmonics
    kStandard,  // +sin(|m| phi)
};

struct Convention
{
    Normalization normalization = Normalization::kOrtho;
    bool bCondonShortley = false;
    SineSign sine = SineSign::kLobara;
};

inline bool operator==(const Convention& a, const Convention& b)
{
    return a.normalization == b.normalization && a.bCondonShortley == b.bCondonShortley && a.sine == b.sine;
}

// The program's own real harmonic of order m is the fully normalised associated Legendre function
// times A(phi) = 1 for m = 0, sqrt(2) cos(m phi) for m > 0 and -sqrt(2) sin(|m| phi) for m < 0:
// the real harmonics carry sqrt(2) more than the complex ones where m != 0, and the viewer's sine
// harmonics the sign -1. This is that factor of cos(m phi) (m >= 0) or sin(|m| phi) (m < 0).
constexpr double kSqrt2 = 1.4142135623730951;     // sqrt(2) to the last bit
constexpr double kSqrtHalf = 0.7071067811865476;  // sqrt(1/2) to the last bit
inline double OwnAzimuthFactor(int32_t m)
{
    return m == 0 ? 1.0 : m > 0 ? kSqrt2 : -kSqrt2;
}

// One term c * Y(l, m) of a field; m < 0 is the sine harmonic of order |m|.
struct Term
{
    int32_t l;
    int32_t m;
    double c;
};

// The size of ConventionFactor for orders +-a (a >= 0) in unnorm, the one normalisation whose
// size depends on the order.
double UnnormalizedFactorSize(int32_t l, int64_t a);

// The size of ConventionFactor for orders +-a (a >= 0), which for all but unnorm is the same at
// every order of a degree. Inline, as syntheses take it for every term.
inline double ConventionFactorSize(int32_t l, int64_t a, const Convention& convention)
{
    // The factors over ortho's, whose n is sqrt((2 - d) (2l + 1) / (4 pi) K).
    switch (convention.normalization)
    {
        case Normalization::kOrtho:
            break;
        case Normalization::k4Pi:
        case Normalization::kN3d:
            return std::sqrt(kFourPi);
        case Normalization::kSchmidt:
        case Normalization::kSn3d:
            return std::sqrt(kFourPi / (2.0 * l + 1.0));
        case Normalization::kUnnormalized:
            return UnnormalizedFactorSize(l, a);
    }
    return 1.0;
}

// The factor of order m from its size: the Condon-Shortley phase and the sine's sign.
inline double SignedConventionFactor(double dSize, int32_t m, const Convention& convention)
{
    double dFactor = dSize;
    if (convention.bCondonShortley && (m % 2 != 0))
        dFactor = -dFactor;
    if (m < 0 && convention.sine == SineSign::kStandard)
        dFactor = -dFactor;
    return dFactor;
}

// Y(l, m) in the convention divided by the program's own Y(l, m) (ortho, no Condon-Shortley
// phase, the program's sine sign): the factor that turns a coefficient of the one into a
// coefficient of the other. Not finite where the convention's harmonic is beyond the double
// range (unnormalised, high degrees). l >= 0 and |m| <= l.
inline double ConventionFactor(int32_t l, int32_t m, const Convention& convention)
{
    return SignedConventionFactor(ConventionFactorSize(l, std::llabs(int64_t{m}), convention), m, convention);
}

// ConventionFactor of every order of degree l, to the same bits: pFactors[l + m] for m = -l .. l,
// at the cost of one factor (of l + 1 for unnorm).
void DegreeConventionFactors(int32_t l, const Convention& convention, double* pFactors);

// The same, for a term that is to be sampled: throws std::runtime_error where the factor is not
// finite.
double FiniteConventionFactor(int32_t l, int32_t m, const Convention& convention);

// The names of the normalisations, as options and statistics spell them: "ortho", "4pi",
// "schmidt", "unnorm", "sn3d", "n3d".
const char* NormalizationName(Normalization normalization);
// The normalisation of that name; false when there is none.
bool FindNormalization(const std::string& strName, Normalization& normalization);
// The names, in the order of the enumeration.
std::vector<std::string> NormalizationNames();
NamedValues<Normalization> NormalizationNamedValues();

// The sine signs' names: "lobara", "standard".
const char* SineSignName(SineSign sine);
// The sine sign of that name; false when there is none.
bool FindSineSign(const std::string& strName, SineSign& sine);
std::vector<std::string> SineSignNames();
NamedValues<SineSign> SineSignNamedValues();
