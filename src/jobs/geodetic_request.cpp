#include "jobs/geodetic_request.h"

#include <string>
#include <vector>

#include "jobs/request_error.h"
#include "jobs/value_text.h"

namespace {

// The option that asks for one of the sphere's outputs, or nullptr.
const char* SphereOutput(const Request& r)
{
    if (!r.aAt.empty())
        return "--at";
    if (r.bStats)
        return "--stats";
    if (!r.strMeshPath.empty())
        return "--mesh";
    if (!r.strPagePath.empty())
        return "--html";
    if (r.nTurntableFrames)
        return "--turntable";
    if (r.bTable)
        return "--table";
    if (!r.strPicturePath.empty() && !r.map)
        return "a 3D picture (--out without --map)";
    if (!r.strCoeffsOutPath.empty())
        return "--coeffs-out";
    if (!r.strSpectrumPath.empty())
        return "--spectrum";
    if (!r.aRotations.empty())
        return "--rotate";
    return nullptr;
}

}  // namespace

void CheckGeodeticRequest(const Request& r, const GeodeticItems& items)
{
    const bool bItems = !items.aPlaces.empty() || items.grid || items.dSmoothRadius ||
                        items.bSecularVariation || items.bNormalNone;
    if (bItems && r.strCoeffsPath.empty())
        throw RequestError(
            "--at-geodetic, --grid degrees:, --smooth-radius, --secular-variation and --remove-normal none "
            "read "
            "the model of --coeffs: they go with nothing else");
    // A quantity without --coeffs is the plan's to refuse.
    if ((!bItems && !r.pQuantity) || r.strCoeffsPath.empty())
        return;
    if (!items.aPlaces.empty() && !r.pQuantity)
        throw RequestError("--at-geodetic gives a quantity of the model: it needs --quantity");
    if (items.grid && r.strValuesPath.empty())
        throw RequestError("--grid degrees: places the samples of --values: it needs --values");
    if (items.grid && r.map)
        throw RequestError("--grid degrees: places the samples of --values: a map samples the whole globe");
    const QuantityInfo* pQuantity = r.pQuantity;
    const bool bMagnetic = pQuantity && !pQuantity->bGravity;
    if (bMagnetic && (items.dSmoothRadius || items.bNormalNone))
        throw RequestError(std::string(items.dSmoothRadius ? "--smooth-radius" : "--remove-normal") +
                           " is for a gravity model: it does not go with --quantity " + pQuantity->pszName);
    if (pQuantity && pQuantity->bDisturbing && !r.pNormalField && !items.bNormalNone)
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
        bool bAbove = r.dHeight.value_or(0.0) != 0.0;
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

bool UsesGeodeticRun(const Job& job, const GeodeticItems& items)
{
    return !items.aPlaces.empty() || items.grid || (job.pQuantity && job.pQuantity->bGeodeticOnly);
}

GeodeticPlace ParseGeodeticPlace(const std::string& strName, const std::string& strText)
{
    const std::vector<double> aNumbers = ParseNumbers(strName, strText, 3, "LAT,LON,H");
    const GeodeticPlace place{aNumbers[0], aNumbers[1], aNumbers[2]};
    const std::string strError = GeodeticPlaceError(place);
    if (!strError.empty())
        throw RequestError(strName + " '" + OneLine(strText) + "': " + strError);
    return place;
}

DegreeGrid ParseDegreeGrid(const std::string& strName, const std::string& strText)
{
    const std::string strPrefix = "degrees:";
    if (strText.compare(0, strPrefix.size(), strPrefix) != 0)
        throw RequestError(strName + " of geodetic degrees is degrees:S,N,W,E,STEP, not '" +
                           OneLine(strText) + "'");
    const std::vector<double> aNumbers =
        ParseNumbers(strName, strText.substr(strPrefix.size()), 5, "degrees:S,N,W,E,STEP");
    const DegreeGrid grid{aNumbers[0], aNumbers[1], aNumbers[2], aNumbers[3], aNumbers[4]};
    const std::string strError = DegreeGridError(grid);
    if (!strError.empty())
        throw RequestError(strName + " '" + OneLine(strText) + "': " + strError);
    return grid;
}
