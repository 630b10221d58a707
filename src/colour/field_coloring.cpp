#include "colour/field_coloring.h"

#include <algorithm>
#include <cmath>

#include "names/named_values.h"
#include "sht/angles.h"

FieldColoring ChooseColoring(ColorMode mode, const ColorScheme& scheme, const std::string& strMap,
                             const std::optional<std::array<double, 2>>& range, double dLowest,
                             double dHighest, bool bModulus)
{
    FieldColoring coloring;
    coloring.mode = mode;
    coloring.scheme = scheme;
    coloring.bModulus = bModulus;
    double dMin = std::min(dLowest, 0.0);
    double dMax = std::max(std::fabs(dLowest), std::fabs(dHighest));
    // Never negative but for rounding: a field such as 1 + x whose zero, sampled, comes out as
    // -3e-16. The evaluation is good to about 1e-12 of the largest value; 1e-10 leaves room.
    const bool bNonNegative = dMin >= -1e-10 * dMax;
    ColorMapKind kind = ColorMapKind::kCyclic;
    if (mode == ColorMode::kPhase)
    {
        coloring.dLow = -kPi;
        coloring.dHigh = kPi;
    }
    else
    {
        kind = bNonNegative ? ColorMapKind::kSequential : ColorMapKind::kDiverging;
        if (dMax == 0.0 || !std::isfinite(dMax))
            dMax = 1.0;
        coloring.dLow = range ? (*range)[0] : bNonNegative ? 0.0 : -dMax;
        coloring.dHigh = range ? (*range)[1] : dMax;
    }
    coloring.pMap = strMap.empty() ? &DefaultColorMap(kind) : FindColorMap(strMap);
    return coloring;
}

Rgb8 ColorOf(const FieldColoring& coloring, double dRe, double dIm)
{
    switch (coloring.mode)
    {
        case ColorMode::kSign:
            break;
        case ColorMode::kPhase:
            return PhaseColor(*coloring.pMap, dRe, dIm);
        case ColorMode::kValue:
            return ValueColor(*coloring.pMap, coloring.bModulus ? std::hypot(dRe, dIm) : dRe, coloring.dLow,
                              coloring.dHigh);
    }
    const float* pColor = dRe > 0.0 ? coloring.scheme.aPositive : coloring.scheme.aNegative;
    Rgb8 rgb;
    for (int i = 0; i < 3; ++i)
        rgb[static_cast<size_t>(i)] = static_cast<uint8_t>(std::lround(pColor[i] * 255.0f));
    return rgb;
}

namespace {

constexpr NamedValue<ColorMode> kColorModeNames[] = {
    {"sign", ColorMode::kSign, "the scheme's two colours"},
    {"phase", ColorMode::kPhase, "a cyclic map over -pi .. pi"},
    {"value", ColorMode::kValue,
     "a diverging map centred on 0 from -max|f| to max|f|, a sequential one from 0 for a field never "
     "negative, "
     "|f| for --complex"},
};

}  // namespace

std::vector<std::string> ColorModeNames()
{
    return NamesOf(kColorModeNames);
}

NamedValues<ColorMode> ColorModeNamedValues()
{
    return AllNamed(kColorModeNames);
}

bool FindColorMode(const std::string& strName, ColorMode& mode)
{
    return FindNamed(kColorModeNames, strName, mode);
}
