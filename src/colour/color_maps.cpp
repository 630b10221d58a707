#include "colour/color_maps.h"

#include <cmath>

#include "colour/color_map_tables.h"
#include "sht/angles.h"

namespace {

const ColorMap kColorMaps[] = {
    {"twilight", ColorMapKind::kCyclic, kColorTableTwilight},
    {"hsv", ColorMapKind::kCyclic, kColorTableHsv},
    {"coolwarm", ColorMapKind::kDiverging, kColorTableCoolwarm},
    {"viridis", ColorMapKind::kSequential, kColorTableViridis},
};

Rgb8 Entry(const ColorMap& map, int nIndex)
{
    const uint8_t* p = map.aEntries[nIndex];
    return {p[0], p[1], p[2]};
}

}  // namespace

const ColorMap* FindColorMap(const std::string& strName)
{
    for (const ColorMap& map : kColorMaps)
        if (strName == map.pszName)
            return &map;
    return nullptr;
}

std::string ColorMapNames()
{
    std::string strNames;
    for (const ColorMap& map : kColorMaps)
        strNames += (strNames.empty() ? "" : ", ") + std::string(map.pszName);
    return strNames;
}

const ColorMap& DefaultColorMap(ColorMapKind kind)
{
    switch (kind)
    {
        case ColorMapKind::kCyclic:
            return kColorMaps[0];
        case ColorMapKind::kDiverging:
            return kColorMaps[2];
        case ColorMapKind::kSequential:
            break;
    }
    return kColorMaps[3];
}

Rgb8 MapColor(const ColorMap& map, double t)
{
    if (map.kind == ColorMapKind::kCyclic)
    {
        if (!std::isfinite(t))
            return Entry(map, 0);
        const double dTurn = t - std::floor(t);
        return Entry(map, static_cast<int>(std::lround(dTurn * kColorTableSize)) % kColorTableSize);
    }
    if (std::isnan(t))
        return Entry(map, 0);
    const double dClamped = t < 0.0 ? 0.0 : t > 1.0 ? 1.0 : t;
    return Entry(map, static_cast<int>(std::lround(dClamped * (kColorTableSize - 1))));
}

Rgb8 ValueColor(const ColorMap& map, double dValue, double dLow, double dHigh)
{
    // In halves, so that no difference of finite values overflows.
    return MapColor(map, (dValue / 2.0 - dLow / 2.0) / (dHigh / 2.0 - dLow / 2.0));
}

Rgb8 PhaseColor(const ColorMap& map, double dRe, double dIm)
{
    return MapColor(map, std::atan2(dIm, dRe) / kTwoPi + 0.5);
}
