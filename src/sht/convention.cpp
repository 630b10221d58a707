#include "sht/convention.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "names/named_values.h"
#include "sht/angles.h"

namespace {

constexpr NamedValue<Normalization> kNormalizationNames[] = {
    {"ortho", Normalization::kOrtho, "unit integral of Y^2 over the sphere"},
    {"4pi", Normalization::k4Pi, "mean square 1"},
    {"schmidt", Normalization::kSchmidt},
    {"unnorm", Normalization::kUnnormalized},
    {"sn3d", Normalization::kSn3d},
    {"n3d", Normalization::kN3d},
};

constexpr NamedValue<SineSign> kSineSignNames[] = {
    {"lobara", SineSign::kLobara, "-sqrt(2) sin(|m| phi) in ortho, as the viewer draws them"},
    {"standard", SineSign::kStandard, "+sqrt(2) sin(|m| phi)"},
};

}  // namespace

namespace {

// A number held to about 106 bits as hi + lo times 2^nExponent, for products of many integers
// that would lose a bit to rounding at every step in doubles, and leave the double range midway.
struct ScaledDoubleDouble
{
    double hi = 1.0, lo = 0.0;
    int64_t nExponent = 0;

    // Times a whole number below 2^53: the product of hi by it exactly (as its rounding and its
    // error), lo's product added, the pair made normal again and scaled back down when large.
    void MultiplyBy(double dWhole)
    {
        const double dProduct = hi * dWhole;
        const double dError = std::fma(hi, dWhole, -dProduct) + lo * dWhole;
        hi = dProduct + dError;
        lo = dError - (hi - dProduct);
        constexpr int kScale = 512;
        if (hi > std::ldexp(1.0, kScale))
        {
            hi = std::ldexp(hi, -kScale);
            lo = std::ldexp(lo, -kScale);
            nExponent += kScale;
        }
    }
};

// 4 pi to about 106 bits: 12.566370614359172 and the rest.
constexpr double kFourPiHigh = 12.566370614359172, kFourPiLow = 4.898587196589413e-16;

// K(l, a)^-1 = (l + a)! / (l - a)! by the products (l - j)(l + j + 1) for j = 0, 1, ..., in turn, so
// that every order of a degree takes the same steps to its factor.
class CInverseFactorialRatio
{
public:
    explicit CInverseFactorialRatio(int32_t l) : m_l(l) {}

    // From order a to a + 1.
    void Next()
    {
        m_ratio.MultiplyBy(static_cast<double>(int64_t{m_l} - m_nOrder));
        m_ratio.MultiplyBy(static_cast<double>(int64_t{m_l} + m_nOrder + 1));
        ++m_nOrder;
    }

    // sqrt(4 pi / ((2 - d) (2l + 1)) * the ratio), rounded once from about 106 bits: the factor of
    // unnorm over ortho; infinite beyond the double range.
    double FactorSize() const
    {
        const double dDivisor = (m_nOrder == 0 ? 1.0 : 2.0) * (2.0 * m_l + 1.0);
        // 4 pi / divisor: its rounding and the remainder's quotient.
        const double dQuotient = kFourPiHigh / dDivisor;
        const double dQuotientLow = (std::fma(-dQuotient, dDivisor, kFourPiHigh) + kFourPiLow) / dDivisor;
        // Times the ratio.
        const double dProduct = m_ratio.hi * dQuotient;
        const double dError =
            std::fma(m_ratio.hi, dQuotient, -dProduct) + m_ratio.hi * dQuotientLow + m_ratio.lo * dQuotient;
        double hi = dProduct + dError;
        double lo = dError - (hi - dProduct);
        int64_t nExponent = m_ratio.nExponent;
        if (nExponent % 2 != 0)
        {
            hi *= 2.0;
            lo *= 2.0;
            --nExponent;
        }
        // The square root and its correction, (x - s^2) / (2 s).
        const double dRoot = std::sqrt(hi);
        const double dRoot2 = dRoot + (std::fma(-dRoot, dRoot, hi) + lo) / (2.0 * dRoot);
        constexpr int64_t kFar = 4096;  // beyond any double, whose exponents end at 1024
        return std::ldexp(dRoot2, static_cast<int>(std::min(nExponent / 2, kFar)));
    }

    // Whether the factor is past the double range already, so that further orders need no steps.
    bool Overflowed() const { return m_ratio.nExponent > 2 * 1100; }

private:
    int32_t m_l;
    int64_t m_nOrder = 0;
    ScaledDoubleDouble m_ratio;
};

}  // namespace

double UnnormalizedFactorSize(int32_t l, int64_t a)
{
    CInverseFactorialRatio ratio(l);
    for (int64_t j = 0; j < a && !ratio.Overflowed(); ++j)
        ratio.Next();
    return ratio.Overflowed() ? HUGE_VAL : ratio.FactorSize();
}

void DegreeConventionFactors(int32_t l, const Convention& convention, double* pFactors)
{
    const bool bByOrder = convention.normalization == Normalization::kUnnormalized;
    double dSize = ConventionFactorSize(l, 0, convention);
    CInverseFactorialRatio ratio(l);
    for (int32_t a = 0; a <= l; ++a)
    {
        if (bByOrder && a > 0)
        {
            if (!ratio.Overflowed())
                ratio.Next();
            dSize = ratio.Overflowed() ? HUGE_VAL : ratio.FactorSize();
        }
        pFactors[l + a] = SignedConventionFactor(dSize, a, convention);
        pFactors[l - a] = SignedConventionFactor(dSize, -a, convention);
    }
}

double FiniteConventionFactor(int32_t l, int32_t m, const Convention& convention)
{
    const double dFactor = ConventionFactor(l, m, convention);
    if (!std::isfinite(dFactor))
        throw std::runtime_error("Y(" + std::to_string(l) + ", " + std::to_string(m) + ") in the " +
                                 NormalizationName(convention.normalization) +
                                 " normalisation is beyond the range of doubles");
    return dFactor;
}

const char* NormalizationName(Normalization normalization)
{
    return NameOf(kNormalizationNames, normalization);
}

bool FindNormalization(const std::string& strName, Normalization& normalization)
{
    return FindNamed(kNormalizationNames, strName, normalization);
}

const char* SineSignName(SineSign sine)
{
    return NameOf(kSineSignNames, sine);
}

bool FindSineSign(const std::string& strName, SineSign& sine)
{
    return FindNamed(kSineSignNames, strName, sine);
}

std::vector<std::string> SineSignNames()
{
    return NamesOf(kSineSignNames);
}

NamedValues<SineSign> SineSignNamedValues()
{
    return AllNamed(kSineSignNames);
}

std::vector<std::string> NormalizationNames()
{
    return NamesOf(kNormalizationNames);
}

NamedValues<Normalization> NormalizationNamedValues()
{
    return AllNamed(kNormalizationNames);
}
