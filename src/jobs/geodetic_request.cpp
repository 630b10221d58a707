#include "jobs/geodetic_request.h"

#include <string>
#include <vector>

#include "options/option_table.h"
#include "options/request_error.h"

namespace {

// The option that asks for one of the sphere's outputs, or nullptr.
const char* SphereOutput(const Request& r)
{
    const COptionBase* const apOutputs[] = {&opt::kAt,        &opt::kStats,     &opt::kMesh,
                                            &opt::kHtml,      &opt::kTurntable, &opt::kTable,
                                            &opt::kCoeffsOut, &opt::kSpectrum,  &opt::kRotate};
    for (const COptionBase* pOption : apOutputs)
        if (r.Has(*pOption))
            return pOption->Name().c_str();
    if (r.Has(opt::kOut) && !r.Has(opt::kMap))
        return "a 3D picture (--out without --map)";
    return nullptr;
}

}  // namespace

GeodeticItems GeodeticItemsOf(const Request& r)
{
    GeodeticItems items;
    items.aPlaces = r.Value(opt::kAtGeodetic);
    items.grid = r.Value(opt::kGrid).degrees;
    items.dSmoothRadius = r.Get(opt::kSmoothRadius);
    items.bSecularVariation = r.Value(opt::kSecularVariation);
    items.bNormalNone = r.Has(opt::kRemoveNormal) && r.Value(opt::kRemoveNormal) == nullptr;
    return items;
}

void CheckGeodeticRequest(const Request& r, const GeodeticItems& items)
{
    if ((items.grid || items.bNormalNone) && !r.Has(opt::kCoeffs))
        throw RequestError(std::string(items.grid ? "--grid degrees:" : "--remove-normal none") +
                           " reads the model of --coeffs: it goes with nothing else");
    // A quantity without --coeffs is the plan's to refuse.
    if (!r.Has(opt::kCoeffs))
        return;
    if (items.grid && !r.Has(opt::kValues))
        throw RequestError("--grid degrees: places the samples of --values: it needs --values");
    if (items.grid && r.Has(opt::kMap))
        throw RequestError("--grid degrees: places the samples of --values: a map samples the whole globe");
    const QuantityInfo* pQuantity = r.Value(opt::kQuantity);
    const bool bMagnetic = pQuantity && !pQuantity->bGravity;
    if (bMagnetic && (items.dSmoothRadius || items.bNormalNone))
        throw RequestError(std::string(items.dSmoothRadius ? "--smooth-radius" : "--remove-normal") +
                           " is for a gravity model: it does not go with --quantity " + pQuantity->pszName);
    if (pQuantity && pQuantity->bDisturbing && !r.Value(opt::kRemoveNormal) && !items.bNormalNone)
        throw RequestError(
            std::string("--quantity ") + pQuantity->pszName +
            " is of the disturbing potential: give --remove-normal GRS80 or WGS84, or --remove-normal "
            "none for a model of the disturbing potential");
    if (items.bSecularVariation && !(pQuantity && pQuantity->pszRateUnit))
        throw RequestError(
            std::string(
                "--secular-variation gives the yearly change of a magnetic element: it needs --quantity X, "
                "Y, Z, H, F, D or I") +
            (pQuantity ? std::string(", not ") + pQuantity->pszName : std::string()));
    const bool bGeodetic = !items.aPlaces.empty() || items.grid || (pQuantity && pQuantity->bGeodeticOnly);
    if (!bGeodetic)
        return;
    if (pQuantity && pQuantity->quantity == Quantity::kGeoid)
    {
        bool bAbove = r.Value(opt::kHeight) != 0.0;
        for (const GeodeticPlace& place : items.aPlaces)
            bAbove = bAbove || place.dHeight != 0.0;
        if (bAbove)
            throw RequestError(
                "--quantity geoid lies on the ellipsoid: its places need the height 0 (height-anomaly is T / "
                "gamma at a "
                "height)");
    }
    if (const char* pszOutput = SphereOutput(r))
        throw RequestError(
            (pQuantity && pQuantity->bGeodeticOnly
                 ? std::string("--quantity ") + pQuantity->pszName + " is taken at geodetic places"
                 : std::string("values at geodetic places")) +
            ": they give --at-geodetic, --values and maps, and " + pszOutput + " does not go with them");
}

bool UsesGeodeticRun(const Job& job)
{
    return !job.geodetic.aPlaces.empty() || job.geodetic.grid ||
           (job.request.Value(opt::kQuantity) && job.request.Value(opt::kQuantity)->bGeodeticOnly);
}
