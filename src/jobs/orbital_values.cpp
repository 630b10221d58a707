#include "jobs/orbital_values.h"

#include <cmath>

#include "export/cube_writer.h"
#include "export/values_writer.h"
#include "options/request_error.h"

namespace {

// psi or |psi|^2 named, with its unit.
const char* QuantityName(OrbitalQuantity quantity)
{
    return quantity == OrbitalQuantity::kDensity ? "|psi|^2 in a0^-3" : "psi in a0^(-3/2)";
}

// The cube file of the box's values: the nucleus at the origin, as the atom of the nearest whole
// number to its charge (at least 1).
CubeHeader CubeOf(const HydrogenOrbital& orbital, const OrbitalBox& box, OrbitalQuantity quantity)
{
    CubeHeader header;
    const double Z = orbital.numbers.dCharge;
    header.strTitle = OrbitalName(orbital.numbers) +
                      " of the hydrogen-like atom of charge Z = " + DecimalText(Z) + ", by lobara-render";
    header.strComment = std::string(QuantityName(quantity)) + " on " + std::to_string(box.nSide) +
                        "^3 points, lengths in bohr, z fastest";
    header.aOrigin = {-box.dHalfWidth, -box.dHalfWidth, -box.dHalfWidth};
    header.anCount = {box.nSide, box.nSide, box.nSide};
    for (int nAxis = 0; nAxis < 3; ++nAxis)
        header.aaStep[nAxis][nAxis] = box.Step();
    header.aAtoms.push_back(CubeHeader::Atom{std::max(1, static_cast<int32_t>(std::lround(Z))), Z, {}});
    return header;
}

}  // namespace

bool AsksForOrbitalValues(const OrbitalValuesJob& values)
{
    return !values.aAt.empty() || !values.strValuesPath.empty() || !values.strCubePath.empty();
}

std::string OrbitalValuesError(const HydrogenOrbital& orbital, const OrbitalValuesJob& values)
{
    if (values.nBoxSide < kMinBoxSide || values.nBoxSide > kMaxBoxSide)
        return "the box's side must be from " + std::to_string(kMinBoxSide) + " to " +
               std::to_string(kMaxBoxSide) + " points, not " + std::to_string(values.nBoxSide);
    if (!values.strCubePath.empty() && orbital.bComplex && values.quantity == OrbitalQuantity::kPsi)
        return "a cube file holds real values: the complex orbital's psi does not go in one (|psi|^2 does)";
    for (const std::array<double, 3>& p : values.aAt)
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            return "each point needs three finite coordinates x,y,z";
    return {};
}

std::string WriteOrbitalValues(const HydrogenOrbital& orbital, const OrbitalValuesJob& values,
                               COutputSet& outputs, IRunHooks& hooks)
{
    std::string strLines;
    if (!values.aAt.empty())
    {
        const OrbitalSamples at = SampleOrbitalAt(
            orbital, values.aAt.size(), [&values](size_t k) { return values.aAt[k]; }, values.quantity);
        for (size_t k = 0; k < at.aRe.size(); ++k)
            strLines += DecimalText(at.aRe[k]) + (at.aIm.empty() ? "" : ' ' + DecimalText(at.aIm[k])) + '\n';
    }
    if (values.strValuesPath.empty() && values.strCubePath.empty())
        return strLines;
    const OrbitalBox box = OrbitalBoxOf(orbital, values.nBoxSide);
    OrbitalSamples samples;
    {
        CRunStep step(hooks, "sampling the orbital on its box");
        samples = SampleOrbitalBox(orbital, box, values.quantity, 0, [&step](size_t nDone, size_t nTotal) {
            step.Advance(static_cast<long long>(nDone), static_cast<long long>(nTotal));
        });
    }
    if (!values.strValuesPath.empty())
    {
        std::vector<double> aCoordinate;
        aCoordinate.reserve(static_cast<size_t>(box.nSide));
        for (int32_t k = 0; k < box.nSide; ++k)
            aCoordinate.push_back(box.Coordinate(k));
        outputs.Write(values.strValuesPath, [&](COutputStream& stream) {
            WriteBoxValues(stream, samples.aRe, ValuesFormatOf(values.strValuesPath), aCoordinate,
                           samples.aIm.empty() ? nullptr : &samples.aIm);
        });
    }
    if (!values.strCubePath.empty())
        outputs.Write(values.strCubePath, [&](COutputStream& stream) {
            WriteCube(stream, CubeOf(orbital, box, values.quantity), samples.aRe);
        });
    return strLines;
}

void RunOrbitalValues(const HydrogenOrbital& orbital, const OrbitalValuesJob& values, IRunHooks& hooks)
{
    const std::string strError = OrbitalValuesError(orbital, values);
    if (!strError.empty())
        throw RequestError(strError);
    COutputSet outputs;
    const std::string strLines = WriteOrbitalValues(orbital, values, outputs, hooks);
    if (!strLines.empty())
        hooks.Print(strLines);
    outputs.Commit();
}
