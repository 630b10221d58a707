#include <algorithm>
#include <complex>
#include <stdexcept>

#include "export/fits_alm_writer.h"
#include "export/healpix_map_writer.h"
#include "export/values_writer.h"
#include "fields/healpy_alm_terms.h"
#include "healpix/healpix_rings.h"
#include "healpix/healpix_transform.h"
#include "jobs/healpix_maps.h"
#include "options/request_error.h"
#include "sht/coefficient_conversion.h"

namespace {

// The fields in healpy's convention and their highest degree (0 without terms).
std::vector<Field> InHealpyConvention(const std::vector<Field>& aFields, int32_t& nLmax)
{
    std::vector<Field> aConverted;
    nLmax = 0;
    for (const Field& field : aFields)
    {
        aConverted.push_back(InConvention(field, HealpyConvention()));
        for (const Term& term : aConverted.back().aTerms)
            nLmax = std::max(nLmax, term.l);
    }
    return aConverted;
}

}  // namespace

HealpixMap SynthesizeHealpixMap(const Job& job, IRunHooks& hooks)
{
    const bool bPolarised = !job.healpix.aPolarised.empty();
    int32_t nLmax = 0;
    const std::vector<Field> aFields =
        InHealpyConvention(bPolarised ? job.healpix.aPolarised : std::vector<Field>{job.field}, nLmax);
    HealpixMap map;
    map.nNside = job.healpix.nSide;
    // healpy's names of the columns of one map and of three.
    for (const char* pszName : {"TEMPERATURE", "Q_POLARISATION", "U_POLARISATION"})
    {
        if (map.aColumns.size() == aFields.size())
            break;
        map.aColumns.emplace_back();
        map.aColumns.back().strName = pszName;
        map.aColumns.back().aValues.resize(static_cast<size_t>(HealpixPixels(map.nNside)));
    }
    CRunStep step(hooks, "synthesising the HEALPix map");
    try
    {
        CHealpixTransform(map.nNside, nLmax, nLmax)
            .Synthesize(AlmOfTerms(aFields[0].aTerms, nLmax).data(), map.aColumns[0].aValues.data());
        if (bPolarised)
            CHealpixTransform(map.nNside, nLmax, nLmax, 0, 2)
                .SynthesizeSpin(AlmOfTerms(aFields[1].aTerms, nLmax).data(),
                                AlmOfTerms(aFields[2].aTerms, nLmax).data(), map.aColumns[1].aValues.data(),
                                map.aColumns[2].aValues.data());
    }
    catch (const std::invalid_argument& error)
    {
        throw RequestError("--values on the HEALPix grid: " + std::string(error.what()));
    }
    return map;
}

void WriteHealpixValues(COutputStream& stream, const std::string& strPath, const HealpixMap& map)
{
    if (IsHealpixMapPath(strPath))
    {
        WriteHealpixMap(stream, map);
        return;
    }
    std::vector<const std::vector<double>*> apColumns;
    for (const HealpixMapColumn& column : map.aColumns)
        apColumns.push_back(&column.aValues);
    const int64_t nPixels = HealpixPixels(map.nNside);
    WriteNpyArray(stream,
                  apColumns.size() == 1
                      ? std::vector<int64_t>{nPixels}
                      : std::vector<int64_t>{static_cast<int64_t>(apColumns.size()), nPixels},
                  apColumns);
}

void WritePolarisedAlm(COutputStream& stream, const std::vector<Field>& aFields)
{
    HealpixAlm alm;
    const std::vector<Field> aConverted = InHealpyConvention(aFields, alm.nLmax);
    alm.nMmax = alm.nLmax;
    for (const Field& field : aConverted)
        alm.aComponents.push_back(AlmOfTerms(field.aTerms, alm.nLmax));
    WriteFitsAlm(stream, alm, alm.nLmax, alm.nMmax);
}
