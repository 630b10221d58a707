#include "geodesy/field_quantity.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "geodesy/load_love_numbers.h"
#include "geodesy/magnetic_components.h"

namespace {

constexpr QuantityInfo kQuantities[] = {
    {"potential", "potential", "m\u00b2/s\u00b2", Quantity::kPotential, true, false, false, nullptr},
    {"geoid", "geoid height", "m", Quantity::kGeoid, true, false, true, nullptr},
    {"gravity-disturbance", "gravity disturbance", "mGal", Quantity::kGravityDisturbance, true, false, true,
     nullptr},
    {"gravity-anomaly", "gravity anomaly", "mGal", Quantity::kGravityAnomaly, true, false, true, nullptr},
    {"radial-gravity", "radial gravity", "mGal", Quantity::kRadialGravity, true, false, false, nullptr},
    {"Br", "radial magnetic field", "nT", Quantity::kRadialField, false, false, false, nullptr},
    {"intensity", "magnetic intensity", "nT", Quantity::kIntensity, false, false, false, nullptr},
    {"ewh", "equivalent water height", "m", Quantity::kWaterHeight, true, false, false, nullptr},
    {"height-anomaly", "height anomaly", "m", Quantity::kHeightAnomaly, true, true, true, nullptr},
    {"deflection-north", "deflection of the vertical north", "arcsec", Quantity::kDeflectionNorth, true, true,
     true, nullptr},
    {"deflection-east", "deflection of the vertical east", "arcsec", Quantity::kDeflectionEast, true, true,
     true, nullptr},
    {"gravity-north", "gravity north", "mGal", Quantity::kGravityNorth, true, true, false, nullptr},
    {"gravity-east", "gravity east", "mGal", Quantity::kGravityEast, true, true, false, nullptr},
    {"X", "magnetic field north", "nT", Quantity::kNorth, false, true, false, "nT/yr"},
    {"Y", "magnetic field east", "nT", Quantity::kEast, false, true, false, "nT/yr"},
    {"Z", "magnetic field down", "nT", Quantity::kDown, false, true, false, "nT/yr"},
    {"H", "horizontal intensity", "nT", Quantity::kHorizontal, false, true, false, "nT/yr"},
    {"F", "total intensity", "nT", Quantity::kTotal, false, true, false, "nT/yr"},
    {"D", "declination", "deg", Quantity::kDeclination, false, true, false, "deg/yr"},
    {"I", "inclination", "deg", Quantity::kInclination, false, true, false, "deg/yr"},
};

constexpr double kMilligalsPerMetrePerSecondSquared = 1.0e5;

std::string NumberText(double dValue)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "%.10g", dValue);
    return szText;
}

// R / r for the quantity at the setting's height, after checking the constants it needs.
double RadiusRatio(const QuantityInfo& info, const QuantitySetting& setting)
{
    const std::string strName = info.pszName;
    const double dHeight = setting.dHeight;
    if (!std::isfinite(dHeight))
        throw std::runtime_error("the height " + NumberText(dHeight) + " is not a finite number of metres");
    if ((info.bGravity || dHeight != 0.0) && !(setting.dRadius && *setting.dRadius > 0.0))
        throw std::runtime_error(strName +
                                 " needs the model's reference radius, which its file does not give");
    if (info.bGravity && info.quantity != Quantity::kWaterHeight &&
        !(setting.dGravityConstant && *setting.dGravityConstant > 0.0))
        throw std::runtime_error(strName + " needs the model's GM, which its file does not give");
    if (info.quantity == Quantity::kWaterHeight && dHeight != 0.0)
        throw std::runtime_error("ewh is a mass on the model's sphere: it has no height");
    if (info.quantity == Quantity::kGeoid && !(setting.dNormalGravity > 0.0))
        throw std::runtime_error("geoid needs the normal gravity of a reference ellipsoid");
    const double dRadius = setting.dRadius.value_or(1.0);
    const double r = dRadius + dHeight;
    if (!(r > 0.0))
        throw std::runtime_error("the height " + NumberText(dHeight) + " m is at or below the centre, " +
                                 NumberText(-dRadius) + " m below the sphere of the model's radius");
    return dHeight == 0.0 ? 1.0 : dRadius / r;
}

}  // namespace

std::array<std::vector<Term>, 3> IntensityComponents(const QuantitySetting& setting,
                                                     const std::vector<Term>& aTerms)
{
    return MagneticComponentTerms(aTerms, RadiusRatio(*FindQuantity("intensity"), setting));
}

const QuantityInfo* FindQuantity(std::string_view strName)
{
    for (const QuantityInfo& info : kQuantities)
        if (strName == info.pszName)
            return &info;
    return nullptr;
}

std::string QuantityNames()
{
    std::string strNames;
    for (const QuantityInfo& info : kQuantities)
        strNames += (strNames.empty() ? "" : ", ") + std::string(info.pszName);
    return strNames;
}

std::string QuantityNamesWithUnits()
{
    std::string strNames;
    for (const QuantityInfo& info : kQuantities)
        strNames += (strNames.empty() ? "" : ", ") + std::string(info.pszName) + " (" + info.pszUnit + ")";
    return strNames;
}

void ApplyQuantity(const QuantityInfo& info, const QuantitySetting& setting, std::vector<Term>& aTerms)
{
    if (info.quantity == Quantity::kIntensity || info.bGeodeticOnly)
        throw std::logic_error(std::string(info.pszName) + " has no factor per degree");
    const double q = RadiusRatio(info, setting);
    const double dRadius = setting.dRadius.value_or(1.0);
    const double dGm = setting.dGravityConstant.value_or(0.0);
    const double dPotential = dGm / dRadius;
    const double dGravity = kMilligalsPerMetrePerSecondSquared * dGm / (dRadius * dRadius);

    int32_t nMaxDegree = -1;
    for (const Term& term : aTerms)
        nMaxDegree = std::max(nMaxDegree, term.l);
    std::vector<double> aFactors(static_cast<size_t>(nMaxDegree + 1));
    for (int32_t l = 0; l <= nMaxDegree; ++l)
    {
        double dFactor = 0.0;
        switch (info.quantity)
        {
            case Quantity::kPotential:
                dFactor = dPotential * std::pow(q, l + 1);
                break;
            case Quantity::kGeoid:
                dFactor = dPotential * std::pow(q, l + 1) / setting.dNormalGravity;
                break;
            case Quantity::kGravityDisturbance:
                dFactor = dGravity * (l + 1.0) * std::pow(q, l + 2);
                break;
            case Quantity::kGravityAnomaly:
                dFactor = dGravity * (l - 1.0) * std::pow(q, l + 2);
                break;
            case Quantity::kRadialGravity:
                dFactor = -dGravity * (l + 1.0) * std::pow(q, l + 2);
                break;
            case Quantity::kRadialField:
                dFactor = (l + 1.0) * std::pow(q, l + 2);
                break;
            case Quantity::kWaterHeight:
                dFactor = WaterHeightFactor(l, dRadius);
                break;
            default:
                break;
        }
        if (!std::isfinite(dFactor))
            throw std::runtime_error("at the height " + NumberText(setting.dHeight) + " m, " + info.pszName +
                                     std::string(" of degree ") + std::to_string(l) +
                                     " is beyond the range of doubles");
        aFactors[static_cast<size_t>(l)] = dFactor;
    }
    for (Term& term : aTerms)
        if (term.l >= 0)
            term.c *= aFactors[static_cast<size_t>(term.l)];
}
